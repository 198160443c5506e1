#pragma once
// The dialogs on screen: each form shown in its dialog window, one instance at a time. The open
// ones are the forms loaded in Forms, each with its window object.
#include <windows.h>

#include <memory>
#include <string>

#include "shell/main_form.h"
#include "ui/forms.h"

namespace quellbox::win32 {

class DialogWindow;

class WinDialogs : public DialogHost {
 public:
  WinDialogs(HINSTANCE instance, Services& services, AppState& state, MainForm& mainForm);
  ~WinDialogs() override;

  void ShowForm(const std::string& name);  // modeless, one instance, brought to the front
  void UnloadAll();
  // Keyboard navigation of the modeless dialogs; true when the message was theirs.
  bool PreTranslate(MSG& msg);
  // Every open dialog shows its form again: a handler of one may change another's (the log
  // viewer adds to the trusted-sites list).
  void PushAll();
  void TrustedSitesChanged();

  void Unload(const std::string& form) override;
  void ShowModal(const std::string& form, const std::string& owner) override;
  bool IsLoaded(const std::string& form) override;
  std::optional<std::string> OpenFile(const std::string& initialDirectory, const std::string& filter,
                                      const std::string& title) override;
  void ReloadMenu() override;
  std::intptr_t ControlWindow(const std::string& form, const std::string& control, int index) override;
  LineList* LineListOf(const std::string& form, const std::string& control) override;

 private:
  std::shared_ptr<DialogWindow> Open(const std::string& name) const;
  std::shared_ptr<DialogWindow> Make(const std::string& name);
  void Forget(const std::string& name);

  HINSTANCE instance_;
  MainForm& mainForm_;
  Forms forms_;
  DialogContext context_;
};

}  // namespace quellbox::win32
