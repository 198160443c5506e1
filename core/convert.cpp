#include "core/convert.h"

#include <cmath>
#include <cstdlib>
#include <limits>

namespace quellbox {
namespace {

bool IsBlank(char c) { return c == ' '; }

std::optional<double> PrefixedInteger(std::string_view digits, int base) {
  if (digits.empty() || digits.size() > 16) return std::nullopt;
  std::uint64_t value = 0;
  for (char c : digits) {
    int d;
    if (c >= '0' && c <= '9') d = c - '0';
    else if (c >= 'a' && c <= 'f') d = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F') d = c - 'A' + 10;
    else return std::nullopt;
    if (d >= base) return std::nullopt;
    value = value * static_cast<std::uint64_t>(base) + static_cast<std::uint64_t>(d);
  }
  return static_cast<double>(value);
}

template <typename Int>
std::optional<Int> RoundedInRange(std::string_view text) {
  auto number = TextToNumber(text);
  if (!number) return std::nullopt;
  double rounded = std::nearbyint(*number);  // default rounding mode: half to even
  if (rounded < static_cast<double>(std::numeric_limits<Int>::min()) ||
      rounded > static_cast<double>(std::numeric_limits<Int>::max()))
    return std::nullopt;
  return static_cast<Int>(rounded);
}

}  // namespace

std::string TrimBlanks(std::string_view text) {
  std::size_t first = 0, last = text.size();
  while (first < last && IsBlank(text[first])) ++first;
  while (last > first && IsBlank(text[last - 1])) --last;
  return std::string(text.substr(first, last - first));
}

std::string UpperAscii(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return out;
}

std::optional<double> TextToNumber(std::string_view text) {
  std::string t = TrimBlanks(text);
  if (t.empty()) return 0.0;
  if (t.size() > 2 && t[0] == '&') {
    char kind = static_cast<char>(t[1] | 0x20);
    if (kind == 'h') return PrefixedInteger(std::string_view(t).substr(2), 16);
    if (kind == 'o') return PrefixedInteger(std::string_view(t).substr(2), 8);
    return std::nullopt;
  }
  // Only plain decimal notation: strtod would also take "inf", "nan" and hex floats.
  std::size_t i = 0;
  if (t[i] == '+' || t[i] == '-') ++i;
  std::size_t mantissaDigits = 0;
  while (i < t.size() && t[i] >= '0' && t[i] <= '9') ++i, ++mantissaDigits;
  if (i < t.size() && t[i] == '.') {
    ++i;
    while (i < t.size() && t[i] >= '0' && t[i] <= '9') ++i, ++mantissaDigits;
  }
  if (mantissaDigits == 0) return std::nullopt;
  if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
    ++i;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
    std::size_t expDigits = 0;
    while (i < t.size() && t[i] >= '0' && t[i] <= '9') ++i, ++expDigits;
    if (expDigits == 0) return std::nullopt;
  }
  if (i != t.size()) return std::nullopt;
  double value = std::strtod(t.c_str(), nullptr);
  if (!std::isfinite(value)) return std::nullopt;
  return value;
}

std::optional<std::int16_t> TextToInteger(std::string_view text) {
  return RoundedInRange<std::int16_t>(text);
}

std::optional<std::int32_t> TextToLong(std::string_view text) {
  return RoundedInRange<std::int32_t>(text);
}

std::optional<bool> TextToBoolean(std::string_view text) {
  std::string upper = UpperAscii(TrimBlanks(text));
  if (upper == "TRUE") return true;
  if (upper == "FALSE") return false;
  auto number = TextToNumber(text);
  if (!number) return std::nullopt;
  return *number != 0.0;
}

std::string BooleanText(bool value) { return value ? "True" : "False"; }

std::string ZeroPadded(std::int32_t value, int digits) {
  std::int64_t magnitude = value < 0 ? -static_cast<std::int64_t>(value) : value;
  std::string body = std::to_string(magnitude);
  if (static_cast<int>(body.size()) < digits)
    body.insert(0, static_cast<std::size_t>(digits) - body.size(), '0');
  return value < 0 ? "-" + body : body;
}

}  // namespace quellbox
