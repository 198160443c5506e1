#include "core/convert.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <random>
#include <string>

namespace quellbox {
namespace {

TEST(Convert, IntegersAcceptBlanksFractionsAndHexAndRoundHalfToEven) {
  EXPECT_EQ(TextToInteger("1"), 1);
  EXPECT_EQ(TextToInteger("  12 "), 12);
  EXPECT_EQ(TextToInteger("-7"), -7);
  EXPECT_EQ(TextToInteger("2.5"), 2);
  EXPECT_EQ(TextToInteger("3.5"), 4);
  EXPECT_EQ(TextToInteger("1e2"), 100);
  EXPECT_EQ(TextToInteger("&H10"), 16);
  EXPECT_EQ(TextToInteger("&o17"), 15);
  EXPECT_EQ(TextToInteger(""), 0);  // an unset value reads as empty and converts to 0
}

TEST(Convert, TextThatIsNoNumberOrOutOfRangeDoesNotConvert) {
  for (const char* bad : {"abc", "1x", "x1", "1.2.3", "--1", "+", ".", "inf", "nan", "0x10", "1e",
                          "&H", "&HZZ", "&Q1", "1 2"})
    EXPECT_FALSE(TextToInteger(bad).has_value()) << bad;
  EXPECT_FALSE(TextToInteger("32768").has_value());
  EXPECT_EQ(TextToInteger("-32768"), -32768);
  EXPECT_FALSE(TextToLong("2147483648").has_value());
  EXPECT_EQ(TextToLong("2147483647"), 2147483647);
  EXPECT_FALSE(TextToLong("1e400").has_value());
}

TEST(Convert, BooleansAcceptWordsInAnyCaseAndNumbers) {
  EXPECT_EQ(TextToBoolean("True"), true);
  EXPECT_EQ(TextToBoolean("FALSE"), false);
  EXPECT_EQ(TextToBoolean(" true "), true);
  EXPECT_EQ(TextToBoolean("0"), false);
  EXPECT_EQ(TextToBoolean("-1"), true);
  EXPECT_EQ(TextToBoolean("2"), true);
  EXPECT_EQ(TextToBoolean(""), false);
  EXPECT_FALSE(TextToBoolean("yes").has_value());
  EXPECT_FALSE(TextToBoolean("Truex").has_value());
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
