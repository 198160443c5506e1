#pragma once
// A multi-line text box over a control's Text: lines end at CR LF, and none wraps.
#include "ui/dialog.h"

namespace quellbox::sim {

class SimTextBox : public TextBox {
 public:
  explicit SimTextBox(Control& control) : control_(control) {}
  void Focus() override { focused = true; }
  int LineCount() override;
  int LineIndex(int line) override;
  bool SetSelection(int start, int end) override;
  std::string SelectedText() override;
  int TextLength() override { return static_cast<int>(control_.Text.size()); }
  int CaretPosition() override { return caret; }
  int LineFromChar(int position) override;
  std::string LineText(int line) override;
  void ScrollCaret() override {}

  int caret = 0, selectionStart = 0, selectionEnd = 0;
  bool focused = false;

 private:
  Control& control_;
};

}  // namespace quellbox::sim
