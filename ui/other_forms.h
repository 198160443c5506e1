#pragma once
// The log viewer, the trusted-sites dialogs and the About box.
#include "ui/dialog.h"

namespace quellbox {

// Selects from the start of line `firstLine` to the start of line `endLine` and answers the
// selected text; lines as the edit control counts them, from 0.
std::string SelectTextLines(TextBox& box, int firstLine, int endLine);

// The host of a log line's address: what lies between "://" and the next "/", or a whole
// about: or file: address; empty when the line holds no address. `found` tells the two apart.
std::string HostOfLogLine(const std::string& line, bool& found);

class frmLog : public Dialog {
 public:
  explicit frmLog(DialogContext& context);
  void Form_Load() override;
  void Form_Resize() override;
  void Click(const std::string& control, int index) override;
  void DoubleClick(const std::string& control) override;
  void ControlKeyDown(const std::string& control, int key) override;
  void Refresh();
  std::string SelectedLine;

 private:
  TextBox* Box();
};

class frmTrustedSites : public Dialog {
 public:
  explicit frmTrustedSites(DialogContext& context);
  void Form_Load() override;
  void Click(const std::string& control, int index) override;
};

class frmAdd : public Dialog {
 public:
  explicit frmAdd(DialogContext& context);
  void Form_Load() override;
  void Click(const std::string& control, int index) override;
};

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
