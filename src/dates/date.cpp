#include "ledrix/date.h"

#include <cstdlib>

#include "ledrix/holiday.h"
#include "ledrix/platform.h"

namespace ledrix {

namespace {

constexpr int kFirstYear = 80;  // 1980, years since 1900
constexpr int kLastYear = 259;  // 2159, the year of the last serial
constexpr int kCenturyBase = 1900;
constexpr int kDaysPerLeapCycle = 4 * 365 + 1;
// Calendar parts are worked out on years that begin on 1 March, so that the
// leap day is the last day of its year and a four-year cycle is one block of
// kDaysPerLeapCycle days. Day 0 of that count is 1 March 1976.
constexpr int kMarchYearBase = 76;
constexpr int kSerialOfMarchBase = 60 - kDaysPerLeapCycle;  // 1 March 1980 is serial 60
constexpr int kWednesday = 1;
constexpr int kFriday = 3;
constexpr int kSaturday = 4;
constexpr const char* kWeekdayNames[7] = {"Tue", "Wed", "Thu", "Fri", "Sat", "Sun", "Mon"};

struct Parts {
  int month;
  int day;
  int year;  // years since 1900
};

// Months counted from March: 0 for March through 11 for February.
int MonthFromMarch(int month) {
  return month > 2 ? month - 3 : month + 9;
}

// Days from 1 March to the first day of the month counted from March (the
// month lengths from March on repeat 31, 30, 31, 30, 31 every five months).
int DaysBeforeMonthFromMarch(int monthFromMarch) {
  return (153 * monthFromMarch + 2) / 5;
}

// Years since 1900 of a year given as a number: a four-digit year is taken
// as written, so 1900 to 1979 fall before the calendar (-1) rather than into
// the two-digit window; 0 to 79 mean 20xx; 80 to 1899 are already years
// since 1900.
int YearsSince1900(int year) {
  if (year >= kCenturyBase) return year - kCenturyBase >= kFirstYear ? year - kCenturyBase : -1;
  return year >= 0 && year < kFirstYear ? year + 100 : year;
}

// The date of a computed serial, or no date when the serial leaves the
// calendar (never a wrap into another real date).
Date InRange(int serial) {
  return serial >= 1 && serial <= Date::LastSerial
             ? Date::FromSerial(static_cast<std::uint16_t>(serial))
             : Date();
}

// Serial of parts already checked to be a real day of the calendar's years.
int SerialOf(int month, int day, int year) {
  const int marchYears = year - (month <= 2 ? 1 : 0) - kMarchYearBase;
  const int dayOfMarchYear = DaysBeforeMonthFromMarch(MonthFromMarch(month)) + day - 1;
  return marchYears * 365 + marchYears / 4 + dayOfMarchYear + kSerialOfMarchBase;
}

// Parts of a valid date, in constant time.
Parts PartsOf(Date date) {
  const int days = date.Serial - kSerialOfMarchBase;
  const int dayOfCycle = days % kDaysPerLeapCycle;
  // The leap day, the cycle's last day, belongs to its fourth year.
  const int yearOfCycle = dayOfCycle / 365 < 3 ? dayOfCycle / 365 : 3;
  const int dayOfYear = dayOfCycle - 365 * yearOfCycle;
  const int monthFromMarch = (5 * dayOfYear + 2) / 153;
  const int month = monthFromMarch < 10 ? monthFromMarch + 3 : monthFromMarch - 9;
  const int year =
      kMarchYearBase + 4 * (days / kDaysPerLeapCycle) + yearOfCycle + (month <= 2 ? 1 : 0);
  return {month, dayOfYear - DaysBeforeMonthFromMarch(monthFromMarch) + 1, year};
}

// Serial of month, day and year (years since 1900, no two-digit window):
// 0 for 1 January 1980; -1 for a day that is not in the calendar, a day of
// 2159 after 4 June included.
int CalendarSerial(int month, int day, int year) {
  if (year < kFirstYear || year > kLastYear || day < 1 || day > MonthLength(month, year)) {
    return -1;
  }
  const int serial = SerialOf(month, day, year);
  return serial <= Date::LastSerial ? serial : -1;
}

// The date of month, day and year (years since 1900), or no date.
Date FromParts(int month, int day, int year) {
  return InRange(CalendarSerial(month, day, year));
}

// Writes `value` (0-99) as two digits with a leading zero; returns the end.
char* WriteTwoDigits(char* out, int value) {
  *out++ = static_cast<char>('0' + value / 10);
  *out++ = static_cast<char>('0' + value % 10);
  return out;
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

bool IsDateSeparator(char c) {
  return c == '-' || c == '/' || c == ' ';
}

// One or two digits at `p`; false when there is no digit.
bool ReadOneOrTwoDigits(const char*& p, int& number) {
  if (!IsDigit(*p)) return false;
  number = *p++ - '0';
  if (IsDigit(*p)) number = number * 10 + (*p++ - '0');
  return true;
}

// Reads the year digits; text after the first non-digit is ignored. The
// number is read as construction reads it (05 and 2005 both mean 2005).
bool ReadYear(const char* p, int& year) {
  if (!IsDigit(*p)) return false;
  year = 0;
  for (; IsDigit(*p); ++p) {
    year = year * 10 + (*p - '0');
    if (year > 9999) return false;
  }
  return true;
}

}  // namespace

int MonthLength(int month, int year) {
  static constexpr int kLengths[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 0;
  return kLengths[month - 1] + (month == 2 && year % 4 == 0 ? 1 : 0);
}

void Date::Set(int month, int day, int year) {
  const int serial = CalendarSerial(month, day, YearsSince1900(year));
  // 1 January 1980 holds serial 0, which is itself a no date.
  Serial = serial >= 0 ? static_cast<std::uint16_t>(serial) : NoDate;
}

int Date::Month() const {
  return IsValid() ? PartsOf(*this).month : -1;
}

int Date::Day() const {
  return IsValid() ? PartsOf(*this).day : -1;
}

int Date::Year() const {
  return IsValid() ? PartsOf(*this).year : -1;
}

void Date::GetMDY(int& month, int& day, int& year) const {
  if (!IsValid()) {
    month = day = year = -1;
    return;
  }
  const Parts parts = PartsOf(*this);
  month = parts.month;
  day = parts.day;
  year = parts.year;
}

Date Date::operator+(int days) const {
  if (!IsValid()) return Date();
  return InRange(Serial + days);
}

int Date::DaysApart(Date other) const {
  return std::abs(Serial - other.Serial);
}

Date Date::AddMonths(int months) const {
  if (!IsValid()) return Date();
  const Parts from = PartsOf(*this);
  const int length = MonthLength(from.month, from.year);
  int month = from.month + months;
  int year = from.year;
  if (month > 12) {
    const int years = (month - 13) / 12 + 1;
    year += years;
    month -= 12 * years;
  }
  if (month <= 0) {
    // Only one year is borrowed; before 1980 there is no date to borrow from.
    if (--year < kFirstYear) return Date();
    month += 12;
  }
  const int targetLength = MonthLength(month, year);
  // The month's last day maps to the target month's last day; a day the
  // target month lacks is clamped to its end.
  const int day = from.day < length && from.day <= targetLength ? from.day : targetLength;
  return FromParts(month, day, year);
}

void Date::SetEndOfMonth() {
  if (!IsValid()) {
    Serial = NoDate;
    return;
  }
  const Parts parts = PartsOf(*this);
  Set(parts.month, MonthLength(parts.month, parts.year), parts.year);
}

Date Date::StartOfYear(Date date) {
  if (!date.IsValid()) return Date();
  return FromParts(1, 1, PartsOf(date).year);
}

void Date::SkipToBusinessDay(const Holiday* holiday) {
  if (!IsValid()) {
    Serial = NoDate;
    return;
  }
  while (IsValid() && (IsWeekend() || (holiday && holiday->IsHoliday(*this)))) {
    *this = *this + 1;
  }
}

void Date::NextBusinessDay(const Holiday* holiday) {
  *this = *this + 1;
  SkipToBusinessDay(holiday);
}

void Date::SetFifteenthOfNextMonth(const Holiday* holiday) {
  if (!IsValid()) {
    Serial = NoDate;
    return;
  }
  const Parts parts = PartsOf(*this);
  *this = parts.month == 12 ? FromParts(1, 15, parts.year + 1)
                            : FromParts(parts.month + 1, 15, parts.year);
  if (holiday) SkipToBusinessDay(holiday);
}

void Date::NextWednesday() {
  const int ahead = (kWednesday - Weekday() + 7) % 7;
  *this = *this + (ahead == 0 ? 7 : ahead);
}

void Date::NextFriday() {
  const int ahead = (kFriday - Weekday() + 7) % 7;
  *this = *this + (ahead == 0 ? 7 : ahead);
}

Date Date::NextWednesdayOrFriday(const Holiday* holiday) {
  const int toWednesday = (kWednesday - Weekday() + 7) % 7;
  const int toFriday = (kFriday - Weekday() + 7) % 7;
  *this = *this + (toWednesday < toFriday ? toWednesday : toFriday);
  SkipToBusinessDay(holiday);
  return *this;
}

void Date::SetSemiweeklyPeriodStart(Date date) {
  // Semi-weekly periods run Wednesday-Friday and Saturday-Tuesday.
  const int sinceWednesday = (date.Weekday() - kWednesday + 7) % 7;
  const int sinceSaturday = (date.Weekday() - kSaturday + 7) % 7;
  *this = date + -(sinceWednesday < sinceSaturday ? sinceWednesday : sinceSaturday);
}

int Date::QuarterIndex() const {
  if (!IsValid()) return -1;
  const Parts parts = PartsOf(*this);
  return (parts.year - kFirstYear) * 4 + (parts.month - 1) / 3;
}

Date Date::QuarterStart(int q) {
  if (q < 0) return Date();
  return FromParts(1 + (q % 4) * 3, 1, kFirstYear + q / 4);
}

Date Date::QuarterEnd(int q) {
  if (q < 0) return Date();
  const int month = (q % 4) * 3 + 3;
  const int year = kFirstYear + q / 4;
  return FromParts(month, MonthLength(month, year), year);
}

void Date::SetQuarterReturnDue(int q) {
  if (q < 0) {
    Serial = NoDate;
    return;
  }
  int month = (q % 4) * 3 + 4;
  int year = kFirstYear + q / 4;
  if (month > 12) {
    month = 1;
    ++year;
  }
  *this = FromParts(month, MonthLength(month, year), year);
}

bool Date::IsInQuarter(int q) const {
  if (q < 0) return Serial > 0;
  const Date end = QuarterEnd(q);
  if (!end.IsValid()) return false;
  const std::uint16_t after = q == 0 ? 0 : QuarterEnd(q - 1).Serial;
  return Serial > after && Serial <= end.Serial;
}

int Date::Parse(const char* text) {
  Serial = NoDate;
  if (!text) return 0;
  const char* p = text;
  int month = 0;
  int day = 0;
  if (!ReadOneOrTwoDigits(p, month) || month > 12) return 0;
  if (IsDateSeparator(*p)) ++p;
  if (!ReadOneOrTwoDigits(p, day) || day > 31) return 0;
  if (IsDateSeparator(*p)) ++p;
  int year = 0;
  if (*p == '\0') {
    year = LocalToday().Year();
  } else if (!ReadYear(p, year)) {
    return 0;
  }
  Set(month, day, year);
  if (!IsValid()) Serial = NoDate;
  return IsValid() ? 1 : 0;
}

int Date::Format(char* buffer, int withWeekday) const {
  if (!IsValid()) {
    buffer[0] = '\0';
    return 0;
  }
  const Parts parts = PartsOf(*this);
  char* out = WriteTwoDigits(buffer, parts.month);
  *out++ = '-';
  out = WriteTwoDigits(out, parts.day);
  *out++ = '-';
  out = WriteTwoDigits(out, parts.year % 100);
  if (withWeekday) {
    *out++ = ' ';
    for (const char* name = WeekdayName(Weekday()); *name != '\0'; ++name) *out++ = *name;
  }
  *out = '\0';
  return 1;
}

void Date::FormatWithWeekday(char* buffer) const {
  Format(buffer, 1);
}

void Date::SetToday() {
  *this = LocalToday();
}

const char* Date::WeekdayName(int weekday) {
  return weekday >= 0 && weekday < 7 ? kWeekdayNames[weekday] : "";
}

}  // namespace ledrix
