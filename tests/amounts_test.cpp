#include "ledrix/amounts.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <utility>

namespace ledrix {
namespace {

TEST(Amounts, RoundToCents) {
  const struct {
    double value, expected;
    bool negative;
  } cases[] = {{2.345, 2.35, false},   // a positive half rounds up
               {-2.345, -2.34, true},  // -234.49999999 after the nudge: toward zero
               {-2.346, -2.35, true},  // -234.6: a full -0.5 and more rounds away from zero
               {1.005, 1.01, false},   // stored as 1.00499999999999989; the nudge carries it up
               {0.004999999999, 0.01, false}, {-0.015, -0.01, true},
               {1234.5678, 1234.57, false},   {0.0, 0.0, false}};
  for (const auto& c : cases) {
    double v = c.value;
    EXPECT_EQ(RoundTo(v, 2), c.negative) << c.value;
    EXPECT_DOUBLE_EQ(v, c.expected) << c.value;
  }
  double whole = 2.5;
  RoundTo(whole, 0);
  EXPECT_DOUBLE_EQ(whole, 3.0);
}

/// The rounding rule step by step, with the whole part and fraction taken by
/// the C library's modf.
bool RoundToWithModf(double& value, std::uint16_t decimals) {
  double scale = 1.0;
  for (int i = 0; i < decimals; ++i) scale *= 10.0;
  value += 1e-10;
  double whole = 0.0;
  const double fraction = std::modf(value * scale, &whole);
  const bool negative = value < 0.0;
  if (negative && fraction <= -0.5) whole -= 1.0;
  if (!negative && fraction >= 0.499999999) whole += 1.0;
  value = whole / scale;
  return negative;
}

/// Whether RoundTo gives the bits and the answer of the modf rule for `x`.
bool RoundsLikeModf(double x, std::uint16_t decimals) {
  double fast = x;
  double reference = x;
  const bool negative = RoundTo(fast, decimals);
  return negative == RoundToWithModf(reference, decimals) &&
         std::bit_cast<std::uint64_t>(fast) == std::bit_cast<std::uint64_t>(reference);
}

TEST(Amounts, RoundToGivesTheBitsOfModfOnEveryKindOfDouble) {
  using limits = std::numeric_limits<double>;
  const double twoTo52 = 4503599627370496.0;
  const double below2To52 = std::nextafter(twoTo52, 0.0);
  const double inf = limits::infinity();
  const double quietNaN = limits::quiet_NaN();
  const double signalingNaN = limits::signaling_NaN();
  const double nanWithPayload = std::bit_cast<double>(0x7ff8000000012345ULL);
  const double largest = limits::max();
  const double smallestNormal = limits::min();
  const double smallest = limits::denorm_min();
  const double edges[] = {0.0,     inf,     quietNaN,   signalingNaN, nanWithPayload,
                          1e300,   twoTo52, below2To52, twoTo52 + 1,  2 * twoTo52,
                          0.5,     0.25,    1e-10,      0.005,        0.004999999999,
                          1.005,   2.345,   99.995,     largest,      smallestNormal,
                          smallest};
  for (const double edge : edges) {
    for (const double x : {edge, -edge}) {
      for (const std::uint16_t decimals : {0, 1, 2, 3, 8, 17, 400}) {  // 400: an infinite scale
        EXPECT_TRUE(RoundsLikeModf(x, decimals)) << x << " to " << decimals;
      }
    }
  }
  // Every bit pattern (NaNs, huge and tiny magnitudes), amounts of up to a
  // million dollars, and the values next to each half cent, where the nudge
  // and the 0.499999999 threshold decide.
  std::mt19937_64 rng(20240517);
  std::uniform_int_distribution<std::int64_t> cents(-100000000, 100000000);
  std::uniform_int_distribution<int> ulps(-40, 40);
  int mismatches = 0;
  for (int i = 0; i < 3000000; ++i) {
    const double pattern = std::bit_cast<double>(rng());
    const double amount = static_cast<double>(cents(rng)) / 100.0 + ulps(rng) * 1e-12;
    const double half = (static_cast<double>(cents(rng)) + 0.5) / 100.0 - 1e-10;
    const double nearHalf = std::bit_cast<double>(std::bit_cast<std::int64_t>(half) + ulps(rng));
    for (const double x : {pattern, amount, nearHalf}) {
      if (!RoundsLikeModf(x, 2) && ++mismatches <= 5) ADD_FAILURE() << std::hexfloat << x;
    }
  }
  EXPECT_EQ(mismatches, 0);
}

TEST(Amounts, MoneyText) {
  // Under a cent no sign, -0.009 included; more than 12 digits: no text.
  const struct {
    double value;
    const char* text;
  } cases[] = {{1234567.891, "1,234,567.89"},
               {-0.004, "0.00"},
               {-0.009, "0.01"},
               {-1500, "-1,500.00"},
               {123.45, "123.45"},
               {1000, "1,000.00"},
               {-999999999999.0, "-999,999,999,999.00"},
               {999999999999.01, ""},
               {-1e13, ""}};
  for (const auto& c : cases) {
    char buffer[20];
    FormatAmount(buffer, c.value);
    EXPECT_STREQ(buffer, c.text);
    std::string s = "old";
    AmountToString(s, c.value);
    EXPECT_EQ(s, c.text);
  }
  // Digits after the point stay as they are; a text too long is left alone.
  const std::string tooLong(51, '1');
  for (const auto& [in, out] : {std::pair<std::string, std::string>{"-123456", "-123,456"},
                                {"0.123456", "0.123456"},
                                {"123", "123"},
                                {tooLong, tooLong}}) {
    char text[80];
    std::strcpy(text, in.c_str());
    InsertThousandsSeparators(text);
    EXPECT_EQ(text, out);
  }
}

TEST(Amounts, JustifyAndTrim) {
  char text[32];
  FormatAmountRight(text, 12.5, 10);
  EXPECT_STREQ(text, "     12.50");
  FormatAmountRight(text, 1234567.0, 5);  // too long: left alone
  EXPECT_STREQ(text, "1,234,567.00");
  std::strcpy(text, "6651(a)(1)");
  RightJustify(text, 12);  // one place past the field, under the amounts' last digit
  EXPECT_STREQ(text, "   6651(a)(1)");
  std::strcpy(text, "   ");
  EXPECT_EQ(TrimRight(text), -1);
  EXPECT_STREQ(text, "");
  std::strcpy(text, " ab  ");
  EXPECT_EQ(TrimRight(text), 2);
  EXPECT_STREQ(text, " ab");
  EXPECT_TRUE(IsPresent(0.009));
  EXPECT_FALSE(IsPresent(-0.0089));
}

}  // namespace
}  // namespace ledrix
