#include "ledrix/date.h"

#include <gtest/gtest.h>

#include <chrono>
#include <iterator>
#include <tuple>

#include "ledrix/holiday.h"
#include "ledrix/platform.h"

namespace ledrix {
namespace {

// Every serial is the day after the one before, and through 28 February
// 2100 (where the civil calendar's century rule first differs) it matches
// the standard library's civil calendar: parts, weekday (0 = Tuesday) and
// the way back from parts to the serial.
TEST(Date, EverySerialMatchesTheCivilCalendar) {
  using namespace std::chrono;
  const sys_days epoch = year{1980} / January / 1;
  const Date lastCivil = Date(2, 28, 2100);
  int m = 1, d = 1, y = 80;  // serial 0
  for (int serial = 1; serial <= Date::LastSerial; ++serial) {
    const Date date = Date::FromSerial(static_cast<std::uint16_t>(serial));
    if (++d > MonthLength(m, y)) {
      d = 1;
      if (++m > 12) m = 1, ++y;
    }
    ASSERT_EQ(std::tuple(date.Month(), date.Day(), date.Year()), std::tuple(m, d, y)) << serial;
    ASSERT_EQ(Date(m, d, y), date) << serial;
    if (date > lastCivil) continue;
    const year_month_day ymd{epoch + days{serial}};
    ASSERT_EQ(ymd, year{y + 1900} / m / d) << serial;
    ASSERT_EQ(date.Weekday(), (weekday{epoch + days{serial}}.c_encoding() + 5) % 7) << serial;
  }
  EXPECT_EQ(std::tuple(m, d, y), std::tuple(6, 4, 259));  // 4 June 2159
}

// The range is serial 1 (2 Jan 1980) to LastSerial (4 Jun 2159); whatever
// would leave it gives no date. Weekdays past 2027 as `date -d` gives them.
TEST(Date, RangeAndDayArithmetic) {
  EXPECT_FALSE(Date(1, 1, 80).IsValid());  // serial 0
  EXPECT_EQ(Date(12, 31, 27) + 1, Date(1, 1, 28));
  EXPECT_EQ(Date(1, 1, 28).Year(), 128);
  EXPECT_EQ(Date(2, 29, 28).Weekday(), 0);             // Tue 29 Feb 2028
  EXPECT_EQ(Date(12, 31, 2099).Weekday(), 2);          // Thu 31 Dec 2099
  EXPECT_EQ(Date(2, 29, 2100) + 1, Date(3, 1, 2100));  // no century rule
  EXPECT_EQ(Date(1, 1, 5).DaysApart(Date(1, 1, 4)), 366);
  for (Date end : {Date(2, 3, 4), Date(2, 3, 28)}) {
    end.SetEndOfMonth();
    EXPECT_EQ(end.Day(), 29);
  }
  EXPECT_EQ(Date(3, 1, 105), Date(3, 1, 5));  // years since 1900 or two digits
  EXPECT_EQ(Date::StartOfYear(Date(7, 4, 8)), Date(1, 1, 8));
  for (Date none : {Date::FromSerial(1) + -1, Date::FromSerial(Date::LastSerial) + 1, Date() + 1,
                    Date(2, 29, 99), Date(13, 1, 5), Date(4, 31, 5), Date(0, 1, 5), Date(1, 0, 5),
                    Date(6, 5, 2159), Date(1, 1, 260), Date(12, 31, 1979)}) {
    EXPECT_EQ(none, Date());
  }
  int m, d, y;
  Date().GetMDY(m, d, y);
  EXPECT_EQ(m + d + y, -3);
}

TEST(Date, Text) {
  char text[13];
  Date(2, 29, 0).FormatWithWeekday(text);
  EXPECT_STREQ(text, "02-29-00 Tue");
  Date(2, 29, 28).FormatWithWeekday(text);
  EXPECT_STREQ(text, "02-29-28 Tue");
  EXPECT_EQ(Date().Format(text, 1), 0);
  EXPECT_STREQ(text, "");
}

TEST(Date, AddMonthsMapsMonthEndsAndClamps) {
  const struct {
    Date from;
    int months;
    Date expected;
  } cases[] = {{Date(1, 31, 4), 1, Date(2, 29, 4)},   // clamped into leap February
               {Date(2, 29, 4), 1, Date(3, 31, 4)},   // month end to month end
               {Date(12, 15, 4), 1, Date(1, 15, 5)},  // over New Year
               {Date(4, 30, 5), 1, Date(5, 31, 5)},
               {Date(1, 30, 5), 1, Date(2, 28, 5)},
               {Date(3, 31, 5), 25, Date(4, 30, 7)},
               {Date(3, 15, 5), -3, Date(12, 15, 4)},  // one year borrowed
               {Date(3, 15, 5), -15, Date()},          // more than one year back
               {Date(2, 15, 80), -2, Date()},
               {Date(12, 15, 27), 1, Date(1, 15, 28)},
               {Date(1, 31, 28), 1, Date(2, 29, 28)},
               {Date(5, 15, 2159), 1, Date()},  // past 4 June 2159
               {Date(), 1, Date()}};
  for (const auto& c : cases) EXPECT_EQ(c.from.AddMonths(c.months), c.expected) << c.from.Serial;
}

// Parts read, the year as years since 1900: two-digit years 80-99 are 19xx
// and 0-79 20xx; four-digit years are taken as written.
TEST(Date, ParseFormsAndFailures) {
  const int thisYear = LocalToday().Year();
  const struct {
    const char* text;
    int month, day, year;
  } cases[] = {
      {"1/15/05", 1, 15, 105},    {"01-15-2005", 1, 15, 105}, {"1 15 95", 1, 15, 95},
      {"011505", 1, 15, 105},     {"010193", 1, 1, 93},       {"1/15/05 and more", 1, 15, 105},
      {"1/15/80", 1, 15, 80},     {"1/15/1980", 1, 15, 80},   {"1/15/79", 1, 15, 179},
      {"2/29/2028", 2, 29, 128},  {"6/4/2159", 6, 4, 259},    {"1-15", 1, 15, thisYear},
      {"1/15/", 1, 15, thisYear}, {"115", 11, 5, thisYear}};
  for (const auto& c : cases) {
    Date d = Date(6, 1, 5);
    EXPECT_EQ(d.Parse(c.text), 1) << c.text;
    EXPECT_EQ(std::tuple(d.Month(), d.Day(), d.Year()), std::tuple(c.month, c.day, c.year))
        << c.text;
  }
  for (const char* text : {"2/30/05", "x1/1/05", "13/1/05", "1/32/05", "1/15/x5", "6/5/2159",
                           "1/15/1979", "1/15/10000", "", "1/1/80"}) {  // 1/1/80 is serial 0
    Date d = Date(6, 1, 5);
    EXPECT_EQ(d.Parse(text), 0) << text;
    EXPECT_EQ(d, Date()) << text;
  }
}

TEST(Date, Quarters) {
  EXPECT_EQ(Date(5, 15, 5).QuarterIndex(), 101);
  EXPECT_EQ(Date().QuarterIndex(), -1);
  EXPECT_EQ(Date::QuarterStart(101), Date(4, 1, 5));
  EXPECT_EQ(Date::QuarterEnd(3), Date(12, 31, 80));
  EXPECT_EQ(Date(5, 15, 28).QuarterIndex(), 193);  // (128 - 80) x 4 + 1
  EXPECT_EQ(Date::QuarterStart(193), Date(4, 1, 28));
  EXPECT_EQ(Date::QuarterEnd(195), Date(12, 31, 28));
  EXPECT_EQ(Date::QuarterStart(717), Date(4, 1, 2159));
  EXPECT_EQ(Date::QuarterEnd(717), Date());  // 30 June 2159 is past the last date
  EXPECT_EQ(Date::QuarterStart(-1), Date());
  Date due;
  due.SetQuarterReturnDue(103);  // fourth quarter of 2005: 31 January 2006
  EXPECT_EQ(due, Date(1, 31, 6));
  due.SetQuarterReturnDue(191);  // fourth quarter of 2027: Mon 31 January 2028
  EXPECT_EQ(due, Date(1, 31, 28));
  EXPECT_TRUE(Date(3, 31, 5).IsInQuarter(100));
  EXPECT_FALSE(Date(4, 1, 5).IsInQuarter(100));
  EXPECT_FALSE(Date(12, 31, 4).IsInQuarter(100));
  EXPECT_TRUE(Date(1, 2, 80).IsInQuarter(0));
  EXPECT_TRUE(Date(1, 1, 28).IsInQuarter(192));
  EXPECT_FALSE(Date().IsInQuarter(191));
}

// The date `d` after the move.
template <class... Args>
Date Moved(Date d, void (Date::*move)(Args...), Args... args) {
  (d.*move)(args...);
  return d;
}

TEST(Date, BusinessDayMoves) {
  const Holiday calendar;  // built in: no holiday file in the test folder
  const Holiday* const h = &calendar;
  const Holiday* const none = nullptr;
  const struct {
    Date got, expected;
  } cases[] = {
      {Moved(Date(12, 1, 4), &Date::SetFifteenthOfNextMonth, h), Date(1, 18, 5)},  // Sat, Sun, MLK
      {Moved(Date(12, 31, 4), &Date::SetFifteenthOfNextMonth, h), Date(1, 18, 5)},
      {Moved(Date(12, 31, 4), &Date::SetFifteenthOfNextMonth, none), Date(1, 15, 5)},   // a Sat
      {Moved(Date(12, 1, 27), &Date::SetFifteenthOfNextMonth, none), Date(1, 15, 28)},  // a Sat
      {Date(1, 13, 5).NextWednesdayOrFriday(), Date(1, 14, 5)},  // Thu -> Fri
      {Date(1, 12, 5).NextWednesdayOrFriday(), Date(1, 12, 5)},  // Wed stays
      {Date(1, 8, 5).NextWednesdayOrFriday(), Date(1, 12, 5)},   // Sat -> Wed
      {Date(7, 3, 8).NextWednesdayOrFriday(h), Date(7, 7, 8)},   // Fri 4 July -> Mon
      {Date(7, 3, 8).NextWednesdayOrFriday(), Date(7, 4, 8)},
      {Date().NextWednesdayOrFriday(), Date()},
      {Moved(Date(1, 12, 5), &Date::NextWednesday), Date(1, 19, 5)},    // a Wednesday moves a week
      {Moved(Date(12, 30, 27), &Date::NextWednesday), Date(1, 5, 28)},  // Thu -> Wed
      {Moved(Date(1, 19, 5), &Date::NextFriday), Date(1, 21, 5)},
      {Moved(Date(), &Date::NextFriday), Date()},
      {Moved(Date(1, 21, 5), &Date::NextBusinessDay, none), Date(1, 24, 5)},  // Fri -> Mon
      {Moved(Date(1, 14, 5), &Date::NextBusinessDay, h), Date(1, 18, 5)},  // over the MLK weekend
      {Moved(Date(12, 31, 27), &Date::NextBusinessDay, none), Date(1, 3, 28)},  // Fri -> Mon
      {Moved(Date(6, 4, 2159), &Date::NextBusinessDay, none), Date()},       // past the last date
      {Moved(Date(1, 24, 5), &Date::SkipToBusinessDay, h), Date(1, 24, 5)},  // a business day
      {Moved(Date(), &Date::SkipToBusinessDay, none), Date()},
      {Moved(Date(), &Date::SetSemiweeklyPeriodStart, Date(1, 11, 5)), Date(1, 8, 5)},   // Tue: Sat
      {Moved(Date(), &Date::SetSemiweeklyPeriodStart, Date(1, 14, 5)), Date(1, 12, 5)},  // Fri: Wed
      {Moved(Date(), &Date::SetSemiweeklyPeriodStart, Date(1, 12, 5)), Date(1, 12, 5)},
      {Moved(Date(1, 12, 5), &Date::SetSemiweeklyPeriodStart, Date()), Date()}};
  for (size_t i = 0; i < std::size(cases); ++i) EXPECT_EQ(cases[i].got, cases[i].expected) << i;
}

}  // namespace
}  // namespace ledrix
