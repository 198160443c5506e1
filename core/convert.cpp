#include "core/convert.h"

#include <cmath>
#include <limits>

namespace quellbox {
namespace {

// mantissa × 10^exponent, correctly rounded whenever the mantissa has at most 53 bits and the
// power of ten is exact (|exponent| <= 22): every number the settings and forms hold. Beyond
// that, within a few units in the last place. Kept free of the C library's parser, which is
// locale-bound and, in the Windows release, much larger than the program needs.
double DecimalValue(std::uint64_t mantissa, int exponent) {
  static constexpr double kExact[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                      1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                      1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
  if (mantissa == 0) return 0.0;
  if (mantissa < (std::uint64_t{1} << 53) && exponent >= -22 && exponent <= 22) {
    double m = static_cast<double>(mantissa);
    return exponent >= 0 ? m * kExact[exponent] : m / kExact[-exponent];
  }
  long double value = static_cast<long double>(mantissa);
  for (; exponent > 0 && value < 1e400L; --exponent) value *= 10;
  for (; exponent < 0 && value > 1e-400L; ++exponent) value /= 10;
  return static_cast<double>(value);
}

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
  // Only plain decimal notation: sign, digits with at most one point, an optional exponent.
  std::size_t i = 0;
  bool negative = t[i] == '-';
  if (t[i] == '+' || t[i] == '-') ++i;
  std::uint64_t mantissa = 0;
  int exponent = 0, significant = 0;
  std::size_t mantissaDigits = 0;
  auto digit = [&](char c, bool afterPoint) {
    ++mantissaDigits;
    if (mantissa == 0 && c == '0') {
      if (afterPoint) --exponent;
      return;
    }
    if (significant < 19) {
      mantissa = mantissa * 10 + static_cast<unsigned>(c - '0');
      ++significant;
      if (afterPoint) --exponent;
    } else if (!afterPoint) {
      ++exponent;  // a digit beyond what 64 bits hold only scales
    }
  };
  while (i < t.size() && t[i] >= '0' && t[i] <= '9') digit(t[i++], false);
  if (i < t.size() && t[i] == '.') {
    ++i;
    while (i < t.size() && t[i] >= '0' && t[i] <= '9') digit(t[i++], true);
  }
  if (mantissaDigits == 0) return std::nullopt;
  if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
    ++i;
    bool negativeExponent = i < t.size() && t[i] == '-';
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
    std::size_t expDigits = 0;
    int e = 0;
    while (i < t.size() && t[i] >= '0' && t[i] <= '9') {
      if (e < 100000) e = e * 10 + (t[i] - '0');
      ++i, ++expDigits;
    }
    if (expDigits == 0) return std::nullopt;
    exponent += negativeExponent ? -e : e;
  }
  if (i != t.size()) return std::nullopt;
  double value = DecimalValue(mantissa, exponent);
  if (!std::isfinite(value)) return std::nullopt;
  return negative ? -value : value;
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
