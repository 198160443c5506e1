#pragma once
#include <array>
#include <cstdint>
#include <string>

namespace quellbox {

// The tray icon's tip: "12 closed" CR LF "popup windows".
inline std::string TrayTipText(std::int32_t count) {
  return std::to_string(count) + " closed\r\npopup windows";
}

// The 64-byte tip field: the text, a NUL, blanks to the end. A longer text is cut so that the
// NUL still fits: the shell reads the field as a C string.
inline std::array<char, 64> TipField(const std::string& text) {
  std::array<char, 64> field;
  field.fill(' ');
  std::size_t n = text.size() < field.size() - 1 ? text.size() : field.size() - 1;
  text.copy(field.data(), n);
  field[n] = '\0';
  return field;
}

}  // namespace quellbox
