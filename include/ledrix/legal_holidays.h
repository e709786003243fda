// The legal holidays of the District of Columbia, by rule.
//
// A federal tax deposit due on a legal holiday of the District of Columbia is
// due the next business day (IRC 7503), so these are the days the due-date
// moves step over. The built-in calendar (holiday.h) holds them for 1993 to
// 2024; these rules give them for the years after, to be kept as
// user-defined holidays in the holiday file.
//
// The rules as they stand since 2021, Juneteenth's first year:
//   - the federal holidays (5 U.S.C. 6103): New Year's Day (1 January),
//     Martin Luther King Jr.'s Birthday (third Monday of January),
//     Washington's Birthday (third Monday of February), Memorial Day (last
//     Monday of May), Juneteenth (19 June), Independence Day (4 July), Labor
//     Day (first Monday of September), Columbus Day (second Monday of
//     October), Veterans Day (11 November), Thanksgiving Day (fourth Thursday
//     of November), Christmas Day (25 December);
//   - DC Emancipation Day, 16 April;
//   - Inauguration Day, 20 January of each year after a presidential
//     election year (2025, 2029, ...).
// A holiday of fixed date that falls on a Saturday is observed the Friday
// before, one on a Sunday the Monday after. Inauguration Day moves only from
// a Sunday, to 21 January.
//
//   NewYearsDay(2028);      // Friday 31 December 2027: 1 January 2028 is a Saturday
//   DcLegalHolidays(2027);  // ends with Christmas (Fri 24 Dec) and New Year's Day 2028
//
// Years are four-digit years. A holiday whose date the calendar cannot hold
// is no date.
#pragma once

#include <vector>

#include "ledrix/date.h"
#include "ledrix/export.h"

namespace ledrix {

/// Where a holiday of fixed date is observed: a Saturday moves to the Friday
/// before, a Sunday to the Monday after; other days stay.
LEDRIX_API Date ObservedDay(Date holiday);

// ---- one rule per holiday: the day observed in `year` ---------------------------

/// 1 January, observed; 31 December of the year before when 1 January is a
/// Saturday.
LEDRIX_API Date NewYearsDay(int year);
/// The third Monday of January.
LEDRIX_API Date MartinLutherKingDay(int year);
/// 20 January, or 21 January when the 20th is a Sunday, in the years after a
/// presidential election year (year mod 4 = 1); no date in other years.
LEDRIX_API Date InaugurationDay(int year);
/// The third Monday of February.
LEDRIX_API Date WashingtonsBirthday(int year);
/// 16 April, observed.
LEDRIX_API Date DcEmancipationDay(int year);
/// The last Monday of May.
LEDRIX_API Date MemorialDay(int year);
/// 19 June, observed.
LEDRIX_API Date JuneteenthDay(int year);
/// 4 July, observed.
LEDRIX_API Date IndependenceDay(int year);
/// The first Monday of September.
LEDRIX_API Date LaborDay(int year);
/// The second Monday of October.
LEDRIX_API Date ColumbusDay(int year);
/// 11 November, observed.
LEDRIX_API Date VeteransDay(int year);
/// The fourth Thursday of November.
LEDRIX_API Date ThanksgivingDay(int year);
/// 25 December, observed.
LEDRIX_API Date ChristmasDay(int year);

// ---- the holidays of a year ----------------------------------------------------------

/// A legal holiday observed on a day. The names are those of the built-in
/// calendar ("MLK Birthday", "President's Day", ...).
struct LEDRIX_API LegalHoliday {
  const char* Name;
  ledrix::Date Date;
};

/// The District of Columbia legal holidays observed within `year`, in date
/// order: the New Year's Day of the next year when it is observed on 31
/// December, not this year's when it was. A day two rules give (Inauguration
/// Day on Martin Luther King Jr.'s Birthday, as in 2025) is listed under
/// each.
LEDRIX_API std::vector<LegalHoliday> DcLegalHolidays(int year);

/// The days on which federal tax deposits were due the next business day
/// that the built-in calendar lacks: Friday 31 December 2010 (New Year's Day
/// 2011 observed) and the national days of mourning of Wednesday 5 December
/// 2018 and Thursday 9 January 2025.
LEDRIX_API std::vector<LegalHoliday> DaysMissingFromBuiltInCalendar();

}  // namespace ledrix
