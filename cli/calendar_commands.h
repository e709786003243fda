// Calendar look-ups for practitioners: the legal holidays of a year with
// where each comes from, the deposit due dates that follow from a date, and
// what to say when the calendar does not hold a year's legal holidays.
#pragma once

#include <set>
#include <string>
#include <vector>

#include "ledrix/ledrix.h"

namespace ledrix::cli {

/// The legal holidays of `year`, built-in and user-defined, in date order,
/// one a line with where it comes from:
///   "01-17-05 Mon  MLK Birthday                    built in"
///   "01-20-25 Mon  MLK Birthday, Inauguration Day  holiday file: DC legal holidays 2025-2027"
/// then, when the calendar does not hold the year's legal holidays, a
/// sentence that says so and names the command that adds them.
std::vector<std::string> HolidayLines(int year);

/// The due-date moves of `date`: the next business day (the $100,000
/// next-day rule), the 15th of the next month (monthly depositors), the
/// semi-weekly deposit due date, and the next Wednesday or Friday. When the
/// moves ran through a year whose legal holidays the calendar does not hold,
/// `warnings` receives the warning.
std::vector<std::string> DueDateLines(Date date, std::vector<std::string>& warnings);

/// Whether the calendar holds the legal holidays of `year`: it holds that
/// year's Thanksgiving Day, a legal holiday every year and never moved. The
/// days of mourning and days of the user's own do not make a year known.
bool CalendarHoldsYear(const Holiday& calendar, int year);

/// The warning for due dates and days late counted through `years`: those
/// of them whose legal holidays the calendar does not hold, and the command
/// that adds them. Empty when the calendar holds them all.
std::string MissingHolidaysWarning(const Holiday& calendar, const std::set<int>& years);

/// Adds to `years` every year from that of `from` to that of `to`.
void AddYearsBetween(std::set<int>& years, Date from, Date to);

}  // namespace ledrix::cli
