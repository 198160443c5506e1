#include "platform/sim/sim_text_box.h"

#include <algorithm>

namespace quellbox::sim {

int SimTextBox::LineCount() {
  int lines = 1;
  for (std::size_t p = control_.Text.find("\r\n"); p != std::string::npos; p = control_.Text.find("\r\n", p + 2))
    ++lines;
  return lines;
}

int SimTextBox::LineIndex(int line) {
  if (line < 0) return -1;
  std::size_t start = 0;
  for (int n = 0; n < line; ++n) {
    auto p = control_.Text.find("\r\n", start);
    if (p == std::string::npos) return -1;
    start = p + 2;
  }
  return static_cast<int>(start);
}

bool SimTextBox::SetSelection(int start, int end) {
  int length = TextLength();
  selectionStart = std::clamp(start, 0, length);
  selectionEnd = end < 0 ? length : std::clamp(end, 0, length);
  caret = selectionEnd;
  return true;
}

std::string SimTextBox::SelectedText() {
  int from = std::min(selectionStart, selectionEnd), to = std::max(selectionStart, selectionEnd);
  return control_.Text.substr(static_cast<std::size_t>(from), static_cast<std::size_t>(to - from));
}

int SimTextBox::LineFromChar(int position) {
  int line = 0;
  for (std::size_t p = control_.Text.find("\r\n"); p != std::string::npos && static_cast<int>(p) + 2 <= position;
       p = control_.Text.find("\r\n", p + 2))
    ++line;
  return line;
}

std::string SimTextBox::LineText(int line) {
  int start = LineIndex(line);
  if (start < 0) return {};
  auto end = control_.Text.find("\r\n", static_cast<std::size_t>(start));
  return control_.Text.substr(static_cast<std::size_t>(start),
                              end == std::string::npos ? std::string::npos : end - static_cast<std::size_t>(start));
}

}  // namespace quellbox::sim
