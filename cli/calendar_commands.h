// Calendar look-ups for practitioners: the legal holidays of a year and the
// deposit due dates that follow from a date.
#pragma once

#include <string>
#include <vector>

#include "ledrix/ledrix.h"

namespace ledrix::cli {

/// The legal holidays of `year` (1980-2159), built-in and user-defined, in
/// date order, one a line: "01-17-05 Mon  MLK Birthday".
std::vector<std::string> HolidayLines(int year);

/// The due-date moves of `date`: the next business day (the $100,000
/// next-day rule), the 15th of the next month (monthly depositors), the
/// semi-weekly deposit due date, and the next Wednesday or Friday.
std::vector<std::string> DueDateLines(Date date);

}  // namespace ledrix::cli
