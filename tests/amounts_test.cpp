#include "ledrix/amounts.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

using namespace ledrix;

TEST(Amounts, RoundToCents) {
  struct Case {
    double value;
    double expected;
    bool negative;
  } cases[] = {
      {2.345, 2.35, false},   // a positive half rounds up
      {-2.345, -2.34, true},  // -234.49999999 after the nudge: toward zero
      {1.005, 1.01, false},   // stored as 1.00499999999999989; the nudge carries it up
      {0.125, 0.13, false},
      {-0.125, -0.12, true},
      {-0.015, -0.01, true},
      {0.004999999999, 0.01, false},
      {-2.346, -2.35, true},  // -234.6: a full -0.5 and more rounds
                              // away from zero
      {1234.5678, 1234.57, false},
      {0.0, 0.0, false},
  };
  for (const Case& c : cases) {
    double v = c.value;
    EXPECT_EQ(RoundTo(v, 2), c.negative) << c.value;
    EXPECT_DOUBLE_EQ(v, c.expected) << c.value;
  }
  double whole = 2.5;
  RoundTo(whole, 0);
  EXPECT_DOUBLE_EQ(whole, 3.0);
}

TEST(Amounts, MoneyText) {
  struct Case {
    double value;
    const char* text;
  } cases[] = {
      {1234567.891, "1,234,567.89"},
      {-0.004, "0.00"},  // under a cent: no sign
      {-0.009, "0.01"},  // exactly -0.009 carries no sign either
      {-1500, "-1,500.00"},
      {123.45, "123.45"},
      {1000, "1,000.00"},
      {999999999999.0, "999,999,999,999.00"},
      {-999999999999.0, "-999,999,999,999.00"},
      {999999999999.01, ""},
      {-1e13, ""},
  };
  for (const Case& c : cases) {
    char buffer[20];
    FormatAmount(buffer, c.value);
    EXPECT_STREQ(buffer, c.text);
    std::string s = "old";
    AmountToString(s, c.value);
    EXPECT_EQ(s, c.text);
  }
}

TEST(Amounts, ThousandsSeparators) {
  struct Case {
    const char* in;
    const char* out;
  } cases[] = {
      {"123.45", "123.45"},
      {"1234.56", "1,234.56"},
      {"1234567", "1,234,567"},
      {"123456", "123,456"},
      {"-123456", "-123,456"},
      {"123", "123"},
      {"0.123456", "0.123456"},  // digits after the point stay as they are
      {"123456789012345678901234567890123456789012345678901",
       "123456789012345678901234567890123456789012345678901"},
  };
  for (const Case& c : cases) {
    char text[80];
    std::strcpy(text, c.in);
    InsertThousandsSeparators(text);
    EXPECT_STREQ(text, c.out);
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
