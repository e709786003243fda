#include "ledrix/date.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <string>

#include "ledrix/holiday.h"
#include "ledrix/platform.h"

using ledrix::Date;

namespace {

std::string Text(Date d) {
  char buffer[13];
  d.Format(buffer, 1);
  return buffer;
}

}  // namespace

// Every supported serial against the standard library's civil calendar:
// parts, weekday (0 = Tuesday) and the way back from parts to the serial.
TEST(Date, EverySerialMatchesTheCivilCalendar) {
  using namespace std::chrono;
  const sys_days epoch = year{1980} / January / 1;
  for (int serial = 1; serial <= Date::LastSerial; ++serial) {
    const Date d = Date::FromSerial(static_cast<std::uint16_t>(serial));
    const sys_days day = epoch + days{serial};
    const year_month_day ymd{day};
    ASSERT_EQ(d.Month(), static_cast<int>(static_cast<unsigned>(ymd.month()))) << serial;
    ASSERT_EQ(d.Day(), static_cast<int>(static_cast<unsigned>(ymd.day()))) << serial;
    ASSERT_EQ(d.Year(), static_cast<int>(ymd.year()) - 1900) << serial;
    ASSERT_EQ(d.Weekday(), (weekday{day}.c_encoding() + 5) % 7) << serial;  // Tue -> 0
    ASSERT_EQ(Date(d.Month(), d.Day(), d.Year()), d) << serial;
  }
}

TEST(Date, ConstructionAndRange) {
  EXPECT_EQ(Date().Serial, Date::NoDate);
  EXPECT_EQ(Date(1, 1, 80).Serial, 0);  // 1 January 1980 is serial 0, a no date
  EXPECT_FALSE(Date(1, 1, 80).IsValid());
  EXPECT_EQ(Date(1, 2, 80).Serial, 1);
  EXPECT_EQ(Date(1, 2, 80).Weekday(), 1);                // Wednesday
  EXPECT_EQ(Date(12, 31, 27).Serial, Date::LastSerial);  // a Friday
  EXPECT_EQ(Date(12, 31, 27).Weekday(), 3);
  EXPECT_EQ(Date(2, 29, 0).Day(), 29);        // 2000 is a leap year
  EXPECT_EQ(Date(3, 1, 105), Date(3, 1, 5));  // years since 1900 or two digits
  for (Date bad : {Date(2, 29, 99), Date(13, 1, 5), Date(4, 31, 5), Date(0, 1, 5), Date(1, 0, 5),
                   Date(1, 1, 28), Date(1, 1, 2005)}) {
    EXPECT_EQ(bad.Serial, Date::NoDate);
  }
  EXPECT_TRUE(Date(1, 1, 5).IsWeekend());  // Saturday, weekday 4
  EXPECT_EQ(Date(1, 1, 5).Weekday(), 4);
  int m, d, y;
  Date().GetMDY(m, d, y);
  EXPECT_EQ(m + d + y, -3);
}

TEST(Date, DayArithmeticStaysInRange) {
  EXPECT_EQ(Date(2, 28, 0) + 1, Date(2, 29, 0));
  EXPECT_EQ(Date(2, 28, 0) + 2, Date(3, 1, 0));
  EXPECT_EQ(Date(3, 1, 4) - 1, Date(2, 29, 4));
  EXPECT_EQ(Date(1, 1, 5).DaysApart(Date(1, 1, 4)), 366);
  EXPECT_EQ(Date::FromSerial(1) + -1, Date());
  EXPECT_EQ(Date::FromSerial(Date::LastSerial) + 1, Date());
  EXPECT_EQ(Date() + 1, Date());
  EXPECT_EQ(Date() + -1, Date());
  EXPECT_EQ(Date::StartOfYear(Date(7, 4, 8)), Date(1, 1, 8));
  Date end = Date(2, 3, 4);
  end.SetEndOfMonth();
  EXPECT_EQ(end, Date(2, 29, 4));
}

TEST(Date, AddMonthsMapsMonthEndsAndClamps) {
  struct Case {
    Date from;
    int months;
    Date expected;
  } cases[] = {
      {Date(1, 31, 4), 1, Date(2, 29, 4)},   // clamped into leap February
      {Date(2, 29, 4), 1, Date(3, 31, 4)},   // month end to month end
      {Date(12, 15, 4), 1, Date(1, 15, 5)},  // over New Year
      {Date(4, 30, 5), 1, Date(5, 31, 5)},
      {Date(2, 28, 5), 1, Date(3, 31, 5)},
      {Date(1, 30, 5), 1, Date(2, 28, 5)},
      {Date(3, 31, 5), 25, Date(4, 30, 7)},   // two years on, April's end
      {Date(3, 15, 5), -3, Date(12, 15, 4)},  // one year borrowed
      {Date(3, 15, 5), -15, Date()},          // more than one year back
      {Date(2, 15, 80), -2, Date()},          // before 1980
      {Date(12, 15, 27), 1, Date()},          // past 2027
      {Date(), 1, Date()},
  };
  for (const Case& c : cases) EXPECT_EQ(c.from.AddMonths(c.months), c.expected) << Text(c.from);
}

TEST(Date, ParseFormsAndFailures) {
  const int thisYear = ledrix::LocalToday().Year();
  struct Case {
    const char* text;
    Date expected;
  } cases[] = {
      {"1/15/05", Date(1, 15, 5)},
      {"01-15-2005", Date(1, 15, 5)},
      {"1 15 95", Date(1, 15, 95)},
      {"011505", Date(1, 15, 5)},
      {"010193", Date(1, 1, 93)},
      {"1/15/05 and more", Date(1, 15, 5)},
      {"12/31/2027", Date(12, 31, 27)},
      {"1-15", Date(1, 15, thisYear)},
      {"1/15/", Date(1, 15, thisYear)},
      {"115", Date(11, 5, thisYear)},
      {"2/30/05", Date()},
      {"x1/1/05", Date()},
      {"13/1/05", Date()},
      {"1/32/05", Date()},
      {"1/15/x5", Date()},
      {"1/15/2028", Date()},
      {"1/15/10000", Date()},
      {"", Date()},
      {"1/1/80", Date()},  // serial 0 is no date
  };
  for (const Case& c : cases) {
    Date d = Date(6, 1, 5);
    EXPECT_EQ(d.Parse(c.text), c.expected.IsValid() ? 1 : 0) << c.text;
    EXPECT_EQ(d, c.expected) << c.text;
  }
}

TEST(Date, FormatText) {
  char buffer[13];
  EXPECT_EQ(Date(1, 15, 5).Format(buffer), 1);
  EXPECT_STREQ(buffer, "01-15-05");
  EXPECT_EQ(Date(1, 15, 5).Format(buffer, 1), 1);
  EXPECT_STREQ(buffer, "01-15-05 Sat");
  Date(2, 29, 0).FormatWithWeekday(buffer);
  EXPECT_STREQ(buffer, "02-29-00 Tue");
  EXPECT_EQ(Date().Format(buffer, 1), 0);
  EXPECT_STREQ(buffer, "");
  Date today;
  today.SetToday();
  EXPECT_EQ(today, ledrix::LocalToday());
}

TEST(Date, Quarters) {
  EXPECT_EQ(Date(5, 15, 5).QuarterIndex(), 101);
  EXPECT_EQ(Date().QuarterIndex(), -1);
  EXPECT_EQ(Date::QuarterStart(101), Date(4, 1, 5));
  EXPECT_EQ(Date::QuarterEnd(3), Date(12, 31, 80));
  EXPECT_EQ(Date::QuarterEnd(100), Date(3, 31, 5));
  EXPECT_EQ(Date::QuarterEnd(191), Date(12, 31, 27));
  EXPECT_EQ(Date::QuarterStart(192), Date());
  EXPECT_EQ(Date::QuarterStart(-1), Date());
  Date due;
  due.SetQuarterReturnDue(103);  // fourth quarter of 2005
  EXPECT_EQ(due, Date(1, 31, 6));
  due.SetQuarterReturnDue(101);
  EXPECT_EQ(due, Date(7, 31, 5));
  due.SetQuarterReturnDue(191);  // would be January 2028
  EXPECT_EQ(due, Date());
  EXPECT_TRUE(Date(3, 31, 5).IsInQuarter(100));
  EXPECT_FALSE(Date(4, 1, 5).IsInQuarter(100));
  EXPECT_TRUE(Date(4, 1, 5).IsInQuarter(101));
  EXPECT_FALSE(Date(12, 31, 4).IsInQuarter(100));
  EXPECT_TRUE(Date(1, 2, 80).IsInQuarter(0));
  EXPECT_FALSE(Date().IsInQuarter(191));
}

TEST(Date, BusinessDayMoves) {
  const ledrix::Holiday holidays;  // built-in calendar: no holiday file in the test folder
  for (int day = 1; day <= 31; ++day) {
    Date d(12, day, 4);
    d.SetFifteenthOfNextMonth(&holidays);
    EXPECT_EQ(d, Date(1, 18, 5)) << day;  // 15th Sat, 16th Sun, 17th MLK Day
    Date plain(12, day, 4);
    plain.SetFifteenthOfNextMonth();
    EXPECT_EQ(plain, Date(1, 15, 5));  // a Saturday, not moved
  }
  Date lastMonth(12, 1, 27);
  lastMonth.SetFifteenthOfNextMonth(&holidays);
  EXPECT_EQ(lastMonth, Date());

  EXPECT_EQ(Date(1, 13, 5).NextWednesdayOrFriday(), Date(1, 14, 5));         // Thu -> Fri
  EXPECT_EQ(Date(1, 12, 5).NextWednesdayOrFriday(), Date(1, 12, 5));         // Wed stays
  EXPECT_EQ(Date(1, 8, 5).NextWednesdayOrFriday(), Date(1, 12, 5));          // Sat -> Wed
  EXPECT_EQ(Date(7, 3, 8).NextWednesdayOrFriday(&holidays), Date(7, 7, 8));  // Fri 4 July -> Mon
  EXPECT_EQ(Date(7, 3, 8).NextWednesdayOrFriday(), Date(7, 4, 8));

  Date d(1, 12, 5);  // Wednesday
  d.NextWednesday();
  EXPECT_EQ(d, Date(1, 19, 5));
  d.NextFriday();
  EXPECT_EQ(d, Date(1, 21, 5));
  d.NextBusinessDay();  // Friday -> Monday
  EXPECT_EQ(d, Date(1, 24, 5));
  d.SkipToBusinessDay(&holidays);  // a business day does not move
  EXPECT_EQ(d, Date(1, 24, 5));
  Date mlk(1, 14, 5);  // Friday before the MLK weekend
  mlk.NextBusinessDay(&holidays);
  EXPECT_EQ(mlk, Date(1, 18, 5));

  Date start;
  start.SetSemiweeklyPeriodStart(Date(1, 11, 5));  // Tuesday -> Saturday 8th
  EXPECT_EQ(start, Date(1, 8, 5));
  start.SetSemiweeklyPeriodStart(Date(1, 14, 5));  // Friday -> Wednesday 12th
  EXPECT_EQ(start, Date(1, 12, 5));
  start.SetSemiweeklyPeriodStart(Date(1, 12, 5));
  EXPECT_EQ(start, Date(1, 12, 5));
}

TEST(Date, MovesNeverWrapPastTheRange) {
  Date end(12, 30, 27);  // Thursday; the next Wednesday is in 2028
  end.NextWednesday();
  EXPECT_EQ(end, Date());
  Date last = Date::FromSerial(Date::LastSerial);  // Friday
  last.NextBusinessDay();
  EXPECT_EQ(last, Date());
  for (auto move : {&Date::NextWednesday, &Date::NextFriday}) {
    Date none;
    (none.*move)();
    EXPECT_EQ(none, Date());
  }
  Date none;
  EXPECT_EQ(none.NextWednesdayOrFriday(), Date());
  none.SkipToBusinessDay();
  EXPECT_EQ(none, Date());
  none.SetSemiweeklyPeriodStart(Date());
  EXPECT_EQ(none, Date());
}
