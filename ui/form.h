#pragma once
// Windows as data: a form owns named controls with the properties the program reads and
// writes. Handlers change properties; a platform binding shows them and reports user input.
#include <cstdint>
#include <exception>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace quellbox {

struct Control {
  std::string Name;
  int Index = -1;  // position in a control array, -1 for a single control
  int Id = 0;       // its control in the dialog template (resources/resource.h)
  std::string In;   // the frame or tab it lies on, its position being relative to that
  std::string Tag;  // English text identifier, empty: not translated
  std::string Caption;
  std::string ToolTipText;
  std::string Text;
  int Value = 0;  // check box 0/1, option button 0/1
  bool Enabled = true;
  bool Visible = true;
  std::vector<std::string> Items;  // list and combo boxes
  int ListIndex = -1;
  int HelpContextID = 0;
  bool HasCaption = true;  // text, list and combo boxes have none
  std::int32_t ForeColor = 0;  // 0x00BBGGRR
  // Position and size in twips (1/1440 inch: 15 per pixel at 96 dots per inch), as the
  // dialog template lays them out; the form's resize rule moves them.
  int Left = 0, Top = 0, Width = 0, Height = 0;
};

// Thrown for a control name no form has: a programming error.
class MissingControl : public std::exception {
 public:
  explicit MissingControl(std::string message) : message_(std::move(message)) {}
  const char* what() const noexcept override { return message_.c_str(); }

 private:
  std::string message_;
};

class Form {
 public:
  virtual ~Form() = default;
  std::string Name;
  std::string Caption;  // the window title
  std::string Tag;
  std::vector<Control> Controls;  // in control order
  int Width = 0, Height = 0;      // outer size in twips
  std::string ActiveControl;      // name of the control with the focus
  int ActiveIndex = -1;

  Control& operator[](const std::string& name) { return Find(name, -1); }
  Control& At(const std::string& name, int index) { return Find(name, index); }
  const Control* Get(const std::string& name, int index = -1) const;
  Control& Add(Control control);

 private:
  Control& Find(const std::string& name, int index);
};

// Looks a text identifier up in the chosen language.
using TextLookup = std::function<std::optional<std::string>(int id)>;

// Sets every tagged control's caption and tooltip, then, when asked, the title. A missing entry
// leaves the property as it was.
void LocalizeForm(Form& form, const TextLookup& text, bool withTitle = true);

}  // namespace quellbox
