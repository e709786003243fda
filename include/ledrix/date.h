// Date: the calendar value of the whole library.
//
// A Date is one unsigned 16-bit day serial: serial 0 is 1 January 1980 and
// each day adds one. Serials 0 and 65535 both mean "no date"; a
// default-constructed Date holds 65535, which sorts after every real date.
//
//   Date d(1, 2, 80);          // 2 January 1980, serial 1, a Wednesday
//   d.Weekday() == 1;          // serial mod 7; 0 = Tuesday
//   Date(1, 31, 4).AddMonths(1)  -> 29 February 2004 (the month-end maps to
//                                   the month-end, a missing day is clamped)
//   Date(4, 30, 5).AddMonths(1)  -> 31 May 2005 (30 April is April's last day)
//
// Years are held as years since 1900 (80 for 1980, 128 for 2028). Every
// fourth year is a leap year, 2000 and 2100 included: there is no century
// rule, so the calendar agrees with the civil one through 28 February 2100
// and runs one day ahead of it after that.
//
// Range. Every serial from 1 (2 January 1980) to 65534 (4 June 2159,
// `Date::LastSerial`) is a real date; 1 January 1980 is serial 0, itself a
// no date. A date built from parts outside that range, and any arithmetic
// whose result would leave it (`operator+`, the month and business-day
// moves), gives no date instead of wrapping into a wrong real date. Every
// operation on a no date (65535 or 0) gives no date, the weekday moves
// included.
//
// Years given as numbers (construction and `Parse`): a four-digit year is
// the year itself (2028; 1900 to 1979 are before the calendar and give no
// date); 80 to 99 mean 19xx and 0 to 79 mean 20xx (5 is 2005, 95 is 1995);
// 100 and above are years since 1900 (105 is 2005, 259 is 2159).
#pragma once

#include <cstdint>

#include "ledrix/export.h"

namespace ledrix {

class Holiday;

#pragma pack(push, 1)
struct LEDRIX_API Date {
  static constexpr std::uint16_t NoDate = 65535;
  /// Serial of 4 June 2159, the last date: the highest serial that is not
  /// the no-date value.
  static constexpr std::uint16_t LastSerial = 65534;

  std::uint16_t Serial = NoDate;

  Date() = default;
  Date(int month, int day, int year) { Set(month, day, year); }
  /// Builds a date from a raw serial (no implicit conversion from integers).
  static Date FromSerial(std::uint16_t serial) {
    Date d;
    d.Serial = serial;
    return d;
  }

  // --- construction and parts --------------------------------------------
  /// month 1-12, day 1 to the month's length, year as described above (2028,
  /// 28 or 128 for 2028). Anything else, or a date past LastSerial, leaves no
  /// date.
  void Set(int month, int day, int year);
  int Month() const;  ///< 1-12, or -1 for no date
  int Day() const;    ///< 1-31, or -1 for no date
  /// Years since 1900 (80 for 1980, 128 for 2028); -1 for no date.
  int Year() const;
  void GetMDY(int& month, int& day, int& year) const;
  bool IsValid() const { return Serial >= 1 && Serial <= LastSerial; }
  bool IsWeekend() const { return Weekday() == 4 || Weekday() == 5; }
  /// Serial mod 7: 0 Tuesday, 1 Wednesday, 2 Thursday, 3 Friday,
  /// 4 Saturday, 5 Sunday, 6 Monday.
  int Weekday() const { return Serial % 7; }

  // --- arithmetic ----------------------------------------------------------
  /// The date `days` later (earlier when negative). A no date stays no date;
  /// a result outside the supported range is no date.
  Date operator+(int days) const;
  Date operator-(int days) const { return *this + -days; }
  /// Absolute difference of the two serials.
  int DaysApart(Date other) const;
  /// Month stepping with month-end mapping: see the example above.
  Date AddMonths(int months) const;
  /// In place: the last day of the date's month.
  void SetEndOfMonth();
  /// 1 January of that date's year.
  static Date StartOfYear(Date date);

  // --- business-day moves (in place; `holiday` is optional) ---------------
  /// While a Saturday, Sunday or (with a calendar) holiday, add one day.
  void SkipToBusinessDay(const Holiday* holiday = nullptr);
  /// One day on, then the same loop: always moves at least a day.
  void NextBusinessDay(const Holiday* holiday = nullptr);
  /// The 15th of the following month; with a calendar, then on to a business
  /// day. From any day of December 2004 with the calendar this gives Tuesday
  /// 18 January 2005 (the 15th is a Saturday, the 17th Martin Luther King
  /// Day); without a calendar, Saturday 15 January 2005.
  void SetFifteenthOfNextMonth(const Holiday* holiday = nullptr);
  /// The first Wednesday (Friday) strictly after the date.
  void NextWednesday();
  void NextFriday();
  /// The first Wednesday or Friday on or after the date, then on past
  /// weekends and (with a calendar) holidays. Returns the new value.
  Date NextWednesdayOrFriday(const Holiday* holiday = nullptr);
  /// Sets the object to `date` moved back to the first day of its
  /// semi-weekly period (the latest Wednesday or Saturday on or before it).
  void SetSemiweeklyPeriodStart(Date date);

  // --- quarters: index = (years since 1980) * 4 + quarter - 1 --------------
  int QuarterIndex() const;
  static Date QuarterStart(int q);
  static Date QuarterEnd(int q);
  void SetQuarterStart(int q) { *this = QuarterStart(q); }
  void SetQuarterEnd(int q) { *this = QuarterEnd(q); }
  /// The last day of the month after the quarter: the quarterly return's
  /// due date before any weekend move.
  void SetQuarterReturnDue(int q);
  /// Previous quarter's end < this date <= quarter q's end; for a negative q,
  /// any serial above 0.
  bool IsInQuarter(int q) const;

  // --- text ---------------------------------------------------------------
  /// Reads 1/15/05, 01-15-2005, 1 15 95, 011505, 1/15/2028, 1-15 (current
  /// year), ...; the year as for construction. Returns IsValid(); a failed
  /// parse leaves no date.
  int Parse(const char* text);
  /// MM-DD-YY, with " Www" appended when `withWeekday` is non-zero. The
  /// buffer needs 13 bytes. A no date writes the empty text and returns 0.
  int Format(char* buffer, int withWeekday = 0) const;
  void FormatWithWeekday(char* buffer) const;
  /// Today's local date from the system clock.
  void SetToday();
  static const char* WeekdayName(int weekday);

  friend bool operator==(Date a, Date b) { return a.Serial == b.Serial; }
  friend bool operator!=(Date a, Date b) { return a.Serial != b.Serial; }
  friend bool operator<(Date a, Date b) { return a.Serial < b.Serial; }
  friend bool operator>(Date a, Date b) { return a.Serial > b.Serial; }
  friend bool operator<=(Date a, Date b) { return a.Serial <= b.Serial; }
  friend bool operator>=(Date a, Date b) { return a.Serial >= b.Serial; }
};
#pragma pack(pop)
static_assert(sizeof(Date) == 2, "Date is one 16-bit serial");

/// Length of `month` (1-12) in `year` (years since 1900): February has 29
/// days when the year is divisible by 4.
LEDRIX_API int MonthLength(int month, int year);

}  // namespace ledrix
