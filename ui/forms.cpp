#include "ui/forms.h"

#include "ui/options_form.h"
#include "ui/about_form.h"
#include "ui/log_form.h"
#include "ui/trusted_sites_form.h"

namespace quellbox {

std::shared_ptr<Dialog> Forms::Find(const std::string& name) const {
  auto it = loaded_.find(name);
  return it == loaded_.end() ? nullptr : it->second;
}

std::shared_ptr<Dialog> Forms::Load(const std::string& name) {
  if (auto open = Find(name)) return open;
  auto dialog = Create(name);
  if (dialog) dialog->Form_Load();
  return dialog;
}

std::shared_ptr<Dialog> Forms::Create(const std::string& name) {
  std::shared_ptr<Dialog> dialog;
  if (name == "frmOptions") dialog = std::make_shared<frmOptions>(*context_);
  else if (name == "frmLog") dialog = std::make_shared<frmLog>(*context_);
  else if (name == "frmTrustedSites") dialog = std::make_shared<frmTrustedSites>(*context_);
  else if (name == "frmAdd") dialog = std::make_shared<frmAdd>(*context_);
  else if (name == "FrmAbout") dialog = std::make_shared<FrmAbout>(*context_);
  if (dialog) loaded_[name] = dialog;
  return dialog;
}

void Forms::Unload(const std::string& name) { loaded_.erase(name); }

void Forms::TrustedSitesChanged() const {
  if (auto sites = Get<frmTrustedSites>("frmTrustedSites")) sites->ShowList();
}

std::vector<std::shared_ptr<Dialog>> Forms::Loaded() const {
  std::vector<std::shared_ptr<Dialog>> dialogs;
  for (const auto& entry : loaded_) dialogs.push_back(entry.second);
  return dialogs;
}

}  // namespace quellbox
