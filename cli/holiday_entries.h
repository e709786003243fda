// The user-defined entries of the holiday file as the command manages them:
// the District of Columbia legal holidays of the years after the built-in
// calendar, written by rule three years to an entry (at most 38 days, within
// an entry's 40 slots); the days the built-in calendar lacks, in an entry of
// their own; and entries of the user's own. Every change goes through the
// library's Holiday and its Save, which rewrites the file whole. A change
// that does not fit the four user-defined entries writes nothing, and a
// holiday file the library cannot read is never written over.
#pragma once

#include <string>
#include <vector>

#include "ledrix/ledrix.h"

namespace ledrix::cli {

/// The years add-federal writes: from the first after the built-in calendar
/// to the last within which the library's calendar, whose every fourth year
/// is a leap year, agrees with the civil one.
constexpr int kFirstRuleYear = 2025;
constexpr int kLastRuleYear = 2099;

/// The entry of the days DaysMissingFromBuiltInCalendar names.
constexpr const char* kMissingDaysEntryName = "Days the built-in table lacks";

/// "DC legal holidays 2025-2027", or "DC legal holidays 2028" for one year:
/// the entry of the DC legal holidays of `first` to `last`.
std::string FederalEntryName(int first, int last);

/// The name of the text of an entry's Name field.
std::string EntryName(const HolidayEntry& entry);

/// What the command's own entries call `date`: the rules, or the missing
/// day, that fall on it ("MLK Birthday, Inauguration Day"); empty for any
/// other entry or date.
std::string WrittenHolidayName(const HolidayEntry& entry, Date date);

/// `ledrix holidays add-federal FROM[-TO]`: the DC legal holidays of the
/// years, joined with those the file already holds and written again three
/// years to an entry, and the missing days when the file lacks them. Returns
/// what was written, one entry a line.
std::vector<std::string> AddFederalHolidays(const std::string& years);
/// `ledrix holidays add NAME DATE...`: the dates join the entry of that
/// name, or take a free entry.
std::vector<std::string> AddHolidays(const std::string& name, const std::vector<Date>& dates);
/// `ledrix holidays remove NAME`: the entry of that name is emptied.
std::vector<std::string> RemoveHolidays(const std::string& name);

}  // namespace ledrix::cli
