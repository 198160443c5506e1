#pragma once
// The About box.
#include <cstdint>

#include "ui/dialog.h"

namespace quellbox {

class FrmAbout : public Dialog {
 public:
  static constexpr std::int32_t kYellow = 65535, kRed = 255;
  static constexpr const char* kSalesAddress = "sales@quellbox.example";
  static constexpr const char* kSupportAddress = "support@quellbox.example";
  explicit FrmAbout(DialogContext& context);
  void Form_Load() override;
  void Click(const std::string& control, int index) override;
  void MouseMove(const std::string& control) override;
  bool linkPointer = false;  // the hand cursor is shown
};

}  // namespace quellbox
