#pragma once
// The Win32 side of the dialogs: each form bound to its dialog template. Properties go to the
// controls after every handler; user input comes back as property changes and handler calls.
#include <windows.h>
#include <commctrl.h>

#include <map>
#include <memory>
#include <string>

#include "shell/main_form.h"
#include "ui/forms.h"

namespace quellbox::win32 {

struct DialogLayout;
class WinDialog;

class WinDialogs : public DialogHost {
 public:
  WinDialogs(HINSTANCE instance, Services& services, AppState& state, MainForm& mainForm);
  ~WinDialogs() override;

  void ShowForm(const std::string& name);  // modeless, one instance, brought to the front
  void UnloadAll();
  // Keyboard navigation of the modeless dialogs; true when the message was theirs.
  bool PreTranslate(MSG& msg);

  void Unload(const std::string& form) override;
  void ShowModal(const std::string& form, const std::string& owner) override;
  bool IsLoaded(const std::string& form) override;
  std::optional<std::string> OpenFile(const std::string& initialDirectory, const std::string& filter,
                                      const std::string& title) override;
  void ReloadMenu() override;
  std::intptr_t ControlWindow(const std::string& form, const std::string& control, int index) override;
  LineList* LineListOf(const std::string& form, const std::string& control) override;

 private:
  static INT_PTR CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  // Every open dialog shows its form again: a handler of one may change another's (the log
  // viewer adds to the trusted-sites list).
  void PushAll();
  bool Notify(WinDialog& dialog, const NMHDR& header, LPARAM lParam);
  std::shared_ptr<WinDialog> Open(const std::string& name) const;
  void Forget(const std::string& name);

  HINSTANCE instance_;
  Services& services_;
  MainForm& mainForm_;
  Forms forms_;
  DialogContext context_;
  std::map<std::string, std::shared_ptr<WinDialog>> open_;
  std::shared_ptr<WinDialog> creating_;  // the dialog whose window is being made
};

}  // namespace quellbox::win32
