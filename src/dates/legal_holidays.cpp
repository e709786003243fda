#include "ledrix/legal_holidays.h"

#include <algorithm>

namespace ledrix {

namespace {

// Weekdays as Date::Weekday numbers them.
constexpr int kMonday = 6;
constexpr int kThursday = 2;
constexpr int kSaturday = 4;
constexpr int kSunday = 5;

// A day of a four-digit year; Date takes years since 1900.
Date DayOf(int month, int day, int year) {
  return Date(month, day, year - 1900);
}

// The `n`th `weekday` of the month (n = 1 for the first).
Date NthWeekday(int n, int weekday, int month, int year) {
  const Date first = DayOf(month, 1, year);
  if (!first.IsValid()) return Date();
  return first + ((weekday - first.Weekday() + 7) % 7 + 7 * (n - 1));
}

// The last `weekday` of the month.
Date LastWeekday(int weekday, int month, int year) {
  Date last = DayOf(month, 1, year);
  if (!last.IsValid()) return Date();
  last.SetEndOfMonth();
  return last - (last.Weekday() - weekday + 7) % 7;
}

struct Rule {
  const char* name;
  Date (*observedIn)(int year);
};

// In date order within a year; the names are the built-in calendar's.
constexpr Rule kDcRules[] = {
    {"New Year's Day", NewYearsDay},
    {"MLK Birthday", MartinLutherKingDay},
    {"Inauguration Day", InaugurationDay},
    {"President's Day", WashingtonsBirthday},
    {"DC Emancipation Day", DcEmancipationDay},
    {"Memorial Day", MemorialDay},
    {"Juneteenth", JuneteenthDay},
    {"Independence Day", IndependenceDay},
    {"Labor Day", LaborDay},
    {"Columbus Day", ColumbusDay},
    {"Veteran's Day", VeteransDay},
    {"Thanksgiving", ThanksgivingDay},
    {"Christmas", ChristmasDay},
};

}  // namespace

Date ObservedDay(Date holiday) {
  if (!holiday.IsValid()) return Date();
  if (holiday.Weekday() == kSaturday) return holiday - 1;
  if (holiday.Weekday() == kSunday) return holiday + 1;
  return holiday;
}

Date NewYearsDay(int year) {
  return ObservedDay(DayOf(1, 1, year));
}

Date MartinLutherKingDay(int year) {
  return NthWeekday(3, kMonday, 1, year);
}

Date InaugurationDay(int year) {
  if (year % 4 != 1) return Date();
  const Date twentieth = DayOf(1, 20, year);
  return twentieth.IsValid() && twentieth.Weekday() == kSunday ? twentieth + 1 : twentieth;
}

Date WashingtonsBirthday(int year) {
  return NthWeekday(3, kMonday, 2, year);
}

Date DcEmancipationDay(int year) {
  return ObservedDay(DayOf(4, 16, year));
}

Date MemorialDay(int year) {
  return LastWeekday(kMonday, 5, year);
}

Date JuneteenthDay(int year) {
  return ObservedDay(DayOf(6, 19, year));
}

Date IndependenceDay(int year) {
  return ObservedDay(DayOf(7, 4, year));
}

Date LaborDay(int year) {
  return NthWeekday(1, kMonday, 9, year);
}

Date ColumbusDay(int year) {
  return NthWeekday(2, kMonday, 10, year);
}

Date VeteransDay(int year) {
  return ObservedDay(DayOf(11, 11, year));
}

Date ThanksgivingDay(int year) {
  return NthWeekday(4, kThursday, 11, year);
}

Date ChristmasDay(int year) {
  return ObservedDay(DayOf(12, 25, year));
}

std::vector<LegalHoliday> DcLegalHolidays(int year) {
  std::vector<LegalHoliday> holidays;
  // A holiday of the next year can be observed on 31 December of this one.
  for (int ruleYear : {year, year + 1}) {
    for (const Rule& rule : kDcRules) {
      const Date day = rule.observedIn(ruleYear);
      if (day.IsValid() && day.Year() + 1900 == year) holidays.push_back({rule.name, day});
    }
  }
  std::stable_sort(holidays.begin(), holidays.end(),
                   [](const LegalHoliday& a, const LegalHoliday& b) { return a.Date < b.Date; });
  return holidays;
}

std::vector<LegalHoliday> DaysMissingFromBuiltInCalendar() {
  return {{"New Year's Day", DayOf(12, 31, 2010)},
          {"National Day of Mourning", DayOf(12, 5, 2018)},
          {"National Day of Mourning", DayOf(1, 9, 2025)}};
}

}  // namespace ledrix
