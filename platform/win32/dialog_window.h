#pragma once
// A dialog window and its form. The object lives with its window: handed to the window when it
// is made and kept in DWLP_USER until WM_NCDESTROY, so the window procedure finds it without a
// lookup. Properties go to the controls after every handler; user input comes back as property
// changes and handler calls. A kind of dialog that needs more overrides the hooks below.
#include <windows.h>
#include <commctrl.h>

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ui/dialog.h"

namespace quellbox::win32 {

class WinDialogs;
class DialogWindow;

// A dialog's template and the kind of window that shows it; its controls are the form's, each
// declared with its id in the template.
struct DialogLayout {
  const char* form;
  int templateId;
  std::shared_ptr<DialogWindow> (*make)(WinDialogs& dialogs, const DialogLayout& layout);
};

class DialogWindow : public std::enable_shared_from_this<DialogWindow> {
 public:
  DialogWindow(WinDialogs& dialogs, const DialogLayout& dialogLayout) : layout(dialogLayout), dialogs_(dialogs) {}
  virtual ~DialogWindow() = default;
  DialogWindow(const DialogWindow&) = delete;
  DialogWindow& operator=(const DialogWindow&) = delete;

  // The procedure of every dialog; CreateDialogParam's and DialogBoxParam's lParam is the object.
  static INT_PTR CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  // Shows the form's properties in the controls.
  void Push();
  HWND ControlOf(const std::string& control, int index) const;
  // The log viewer's list of rows, on the dialog that has one.
  virtual LineList* Lines() { return nullptr; }
  // Shows `dialog`, which from now on owns this object.
  void Attach(const std::shared_ptr<Dialog>& dialog);
  std::shared_ptr<Dialog> Owner() const { return owner_.lock(); }

  const DialogLayout& layout;
  Dialog* form = nullptr;  // the owner: there for as long as this object is
  HWND hwnd = nullptr;
  bool modal = false;

 protected:
  // Before the form loads, what the template cannot say.
  virtual void OnCreate() {}
  // After it loaded: false when the hook has put the focus where it belongs.
  virtual bool OnLoaded() { return true; }
  // WM_NOTIFY from a control: true when handled.
  virtual bool OnNotify(const NMHDR&, LPARAM) { return false; }
  // WM_CTLCOLOR*: the brush, or nothing for the system's colours.
  virtual std::optional<HBRUSH> OnColor(UINT, HDC, HWND) { return std::nullopt; }
  // WM_SETCURSOR over `control`: true when the hook set the cursor.
  virtual bool OnSetCursor(HWND) { return false; }

  // The form's control that `control` shows; null for none.
  Control* ControlFor(HWND control) const;
  WinDialogs& dialogs_;

 private:
  INT_PTR Init();
  INT_PTR Handle(UINT msg, WPARAM wParam, LPARAM lParam);
  bool ContainerVisible(std::string container) const;
  POINT AbsoluteOrigin(std::string container) const;
  void ReadGeometry();
  void ApplyGeometry();
  void ReadMinimumSize();
  void Tip(HWND control, const std::string& text);
  void Pull(HWND control, Control& c);

  std::weak_ptr<Dialog> owner_;
  HWND tooltip_ = nullptr;  // a child of the dialog: goes with it
  bool resized_ = false;
  int minWidth_ = 0, minHeight_ = 0;  // pixels; 0: no minimum
  std::map<int, std::vector<std::string>> items_;
  std::map<HWND, bool> tipped_;
};

// The kinds of dialog with hooks of their own.
std::shared_ptr<DialogWindow> MakePlainWindow(WinDialogs& dialogs, const DialogLayout& layout);
std::shared_ptr<DialogWindow> MakeLogWindow(WinDialogs& dialogs, const DialogLayout& layout);
std::shared_ptr<DialogWindow> MakeAboutWindow(WinDialogs& dialogs, const DialogLayout& layout);
std::shared_ptr<DialogWindow> MakeOptionsWindow(WinDialogs& dialogs, const DialogLayout& layout);

}  // namespace quellbox::win32
