#pragma once
#include "ui/dialog.h"

namespace quellbox {

// The options: every control a view of a setting, written through on every change.
class frmOptions : public Dialog {
 public:
  explicit frmOptions(DialogContext& context);
  void Form_Load() override;
  void Form_Resize() override;
  void Click(const std::string& control, int index) override;

 private:
  void ModeButtonsEnabled(bool enabled);
};

}  // namespace quellbox
