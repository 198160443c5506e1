#include "core/convert.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <random>
#include <string>

namespace quellbox {
namespace {

TEST(Convert, TextToNumbersAndBooleans) {
  const std::pair<const char*, std::optional<std::int16_t>> integers[] = {
      {"1", 1}, {"  12 ", 12}, {"-7", -7}, {"2.5", 2}, {"3.5", 4}, {"1e2", 100}, {"&H10", 16},
      {"&o17", 15}, {"", 0},  // an unset value reads as empty and converts to 0
      {"-32768", -32768}, {"32768", std::nullopt}, {"abc", std::nullopt}, {"1x", std::nullopt},
      {"x1", std::nullopt}, {"1.2.3", std::nullopt}, {"--1", std::nullopt}, {"+", std::nullopt},
      {".", std::nullopt}, {"inf", std::nullopt}, {"nan", std::nullopt}, {"0x10", std::nullopt},
      {"1e", std::nullopt}, {"&H", std::nullopt}, {"&HZZ", std::nullopt}, {"&Q1", std::nullopt},
      {"1 2", std::nullopt}};
  for (const auto& [text, value] : integers) EXPECT_EQ(TextToInteger(text), value) << text;
  EXPECT_FALSE(TextToLong("2147483648").has_value());
  EXPECT_EQ(TextToLong("2147483647"), 2147483647);
  EXPECT_FALSE(TextToLong("1e400").has_value());
  const std::pair<const char*, std::optional<bool>> booleans[] = {
      {"True", true}, {"FALSE", false}, {" true ", true}, {"0", false}, {"-1", true},
      {"2", true},    {"", false},      {"yes", std::nullopt}, {"Truex", std::nullopt}};
  for (const auto& [text, value] : booleans) EXPECT_EQ(TextToBoolean(text), value) << text;
}

// The C library's strtod is the reference: correctly rounded on glibc.
TEST(Convert, DecimalTextGivesTheNearestDouble) {
  std::mt19937 random(12345);
  auto digits = [&](int n) {
    std::string s;
    for (int i = 0; i < n; ++i) s += static_cast<char>('0' + random() % 10);
    return s;
  };
  for (int i = 0; i < 20000; ++i) {
    bool longForm = i % 4 == 0;  // beyond 15 digits or 10^22 the value may be an ulp off
    // Short forms: at most 10 + 5 significant digits and a power of ten within 10^±22.
    std::string text = (random() % 2 ? "-" : "") + digits(1 + static_cast<int>(random() % (longForm ? 25 : 10)));
    if (random() % 2) text += "." + digits(static_cast<int>(random() % 6));
    int exponent = static_cast<int>(random() % (longForm ? 600 : 13)) - (longForm ? 300 : 6);
    if (random() % 2) text += "e" + std::to_string(exponent);
    double expected = std::strtod(text.c_str(), nullptr);
    auto got = TextToNumber(text);
    if (!std::isfinite(expected)) {
      EXPECT_FALSE(got.has_value()) << text;
      continue;
    }
    ASSERT_TRUE(got.has_value()) << text;
    if (longForm) EXPECT_NEAR(*got, expected, std::abs(expected) * 1e-15) << text;
    else EXPECT_EQ(*got, expected) << text;
  }
  EXPECT_EQ(TextToNumber("+0.5"), 0.5);
  EXPECT_EQ(TextToNumber("000123.4500"), 123.45);
}

TEST(Convert, ZeroPaddingKeepsEveryDigitAndTheSign) {
  EXPECT_EQ(ZeroPadded(0, 6), "000000");
  EXPECT_EQ(ZeroPadded(42, 6), "000042");
  EXPECT_EQ(ZeroPadded(1234567, 6), "1234567");
  EXPECT_EQ(ZeroPadded(-42, 6), "-000042");
  EXPECT_EQ(ZeroPadded(-2147483647 - 1, 6), "-2147483648");
}

}  // namespace
}  // namespace quellbox
