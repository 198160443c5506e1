#pragma once
// Conversions between stored text and setting values. Each answers empty when the text does not
// convert, so that the caller can keep what it had.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quellbox {

// Decimal numbers with optional sign, fraction and exponent, or &H / &O prefixed integers;
// surrounding blanks are allowed. The empty text converts to 0, as an unset value does.
std::optional<double> TextToNumber(std::string_view text);
// Rounded half to even; empty when out of range.
std::optional<std::int16_t> TextToInteger(std::string_view text);
std::optional<std::int32_t> TextToLong(std::string_view text);
// "True" / "False" in any case, or a number (0 is false).
std::optional<bool> TextToBoolean(std::string_view text);

std::string BooleanText(bool value);
// At least `digits` digits, zero-padded after any minus sign ("000042", "-000042", "1234567").
std::string ZeroPadded(std::int32_t value, int digits);

std::string UpperAscii(std::string_view text);
// Leading and trailing spaces removed (tabs and other white space stay).
std::string TrimBlanks(std::string_view text);

}  // namespace quellbox
