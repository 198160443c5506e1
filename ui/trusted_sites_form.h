#pragma once
// The trusted-sites list and the dialog that adds a site to it.
#include "ui/dialog.h"

namespace quellbox {

class frmTrustedSites : public Dialog {
 public:
  explicit frmTrustedSites(DialogContext& context);
  void Form_Load() override;
  void ShowList();  // the list mirrors the trusted hosts entry for entry
  void Click(const std::string& control, int index) override;
};

class frmAdd : public Dialog {
 public:
  explicit frmAdd(DialogContext& context);
  void Form_Load() override;
  void Click(const std::string& control, int index) override;
};

}  // namespace quellbox
