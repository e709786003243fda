#include "ledrix/amounts.h"

#include <gtest/gtest.h>

#include <cstring>
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
