#pragma once
// A dialog over the form model: its handlers, and what it needs from the rest of the program.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "core/services.h"
#include "core/settings.h"
#include "ui/form.h"

namespace quellbox {

inline constexpr int kKeyF1 = 112;
inline constexpr int kKeyUp = 38;

// The log viewer's list of lines. It holds no text: it asks the dialog for the rows it shows,
// so that showing a log costs the same at any size.
class LineList {
 public:
  virtual ~LineList() = default;
  virtual void SetRowCount(std::size_t rows) = 0;  // and no row selected
  virtual std::optional<std::size_t> SelectedRow() = 0;
  virtual void Select(std::size_t row) = 0;
  virtual void ShowRow(std::size_t row) = 0;  // scrolls it into view
};

// What a dialog asks of the platform and of the other windows.
class DialogHost {
 public:
  virtual ~DialogHost() = default;
  virtual void Unload(const std::string& form) = 0;
  virtual void ShowModal(const std::string& form, const std::string& owner) = 0;
  virtual bool IsLoaded(const std::string& form) = 0;
  // The chosen path, or nothing when the user cancelled.
  virtual std::optional<std::string> OpenFile(const std::string& initialDirectory,
                                              const std::string& filter, const std::string& title) = 0;
  virtual void ReloadMenu() = 0;
  // The dialog's own windows as numbers the help viewer can own its popups with.
  virtual std::intptr_t ControlWindow(const std::string& form, const std::string& control, int index) = 0;
  virtual LineList* LineListOf(const std::string& form, const std::string& control) = 0;
};

class Forms;

struct DialogContext {
  Services& services;
  AppState& state;
  DialogHost& host;
  Forms& forms;
};

class Dialog : public Form {
 public:
  explicit Dialog(DialogContext& context) : context_(context) {}
  virtual void Form_Load() = 0;
  virtual void Form_Resize() {}
  // A button, check box, option button, list or combo box was clicked or changed by the user
  // (the binding has already stored the control's new Value, ListIndex or Text).
  virtual void Click(const std::string& control, int index) = 0;
  virtual void DoubleClick(const std::string&, int) {}
  virtual void ControlKeyDown(const std::string&, int) {}
  virtual void MouseMove(const std::string&) {}
  // The dialog sees keys before its controls: F1 shows the focused control's help popup.
  void Form_KeyDown(int& keyCode);
  // The platform's window showing this dialog, kept with it: the open dialogs are listed once,
  // in Forms.
  std::shared_ptr<void> window;

 protected:
  // Sets a value the way a user change would: the control's handler runs when it differs.
  void SetValue(const std::string& control, int index, int value);
  void SetListIndex(const std::string& control, int index);
  // Selects one option button of a group; the others of the group are cleared.
  void SelectOption(const std::string& control, int index, const std::vector<std::string>& group = {});
  std::optional<std::string> Text(int id) const;
  void Localize(bool withTitle = true);

  DialogContext& context_;
};

}  // namespace quellbox
