#include "holiday_entries.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>
#include <span>
#include <utility>

#include "fields.h"

namespace ledrix::cli {
namespace {

constexpr const char* kFederalPrefix = "DC legal holidays ";
constexpr int kYearsPerEntry = 3;
constexpr size_t kLongestName = sizeof(HolidayEntry::Name) - 1;

using Years = std::pair<int, int>;  // first and last

std::span<HolidayEntry> UserEntries(Holiday& calendar) {
  return {calendar.Entries + calendar.Count, Holiday::UserEntryCount};
}

bool IsFree(const HolidayEntry& entry) {
  return entry.Name[0] == '\0' && std::none_of(std::begin(entry.Dates), std::end(entry.Dates),
                                               [](Date date) { return date.IsValid(); });
}

int DayCount(const HolidayEntry& entry) {
  return static_cast<int>(std::count_if(std::begin(entry.Dates), std::end(entry.Dates),
                                        [](Date date) { return date.IsValid(); }));
}

std::vector<Date> DaysOf(const HolidayEntry& entry) {
  std::vector<Date> days;
  for (const Date date : entry.Dates) {
    if (date.IsValid()) days.push_back(date);
  }
  return days;
}

/// Writes `name` and `days` (in date order, each once, at most the 40 slots)
/// over the entry.
void FillEntry(HolidayEntry& entry, const std::string& name, std::vector<Date> days) {
  std::sort(days.begin(), days.end());
  days.erase(std::unique(days.begin(), days.end()), days.end());
  std::memset(entry.Name, 0, sizeof entry.Name);
  std::memcpy(entry.Name, name.data(), std::min(name.size(), kLongestName));
  for (int k = 0; k < Holiday::SlotCount; ++k) {
    entry.Dates[k] = k < static_cast<int>(days.size()) ? days[k] : Date();
  }
}

/// The years of an entry add-federal wrote, read from its name.
bool FederalYears(const HolidayEntry& entry, Years& years) {
  const std::string name = EntryName(entry);
  const std::string_view rest = std::string_view(name).substr(
      name.starts_with(kFederalPrefix) ? std::strlen(kFederalPrefix) : name.size());
  if (rest.size() == 4 && ReadDigits(rest, years.first)) {
    years.second = years.first;
    return true;
  }
  return rest.size() == 9 && rest[4] == '-' && ReadDigits(rest.substr(0, 4), years.first) &&
         ReadDigits(rest.substr(5), years.second) && years.first <= years.second;
}

/// The years in runs of consecutive years, each run cut into entries of
/// three years from its start.
std::vector<Years> EntriesOfYears(const std::set<int>& years) {
  std::vector<Years> entries;
  for (const int year : years) {
    if (!entries.empty() && entries.back().second == year - 1 &&
        year - entries.back().first < kYearsPerEntry) {
      entries.back().second = year;
    } else {
      entries.push_back({year, year});
    }
  }
  return entries;
}

std::vector<Date> FederalDays(Years years) {
  std::vector<Date> days;
  for (int year = years.first; year <= years.second; ++year) {
    for (const LegalHoliday& holiday : DcLegalHolidays(year)) days.push_back(holiday.Date);
  }
  return days;
}

std::vector<Date> MissingDays() {
  std::vector<Date> days;
  for (const LegalHoliday& day : DaysMissingFromBuiltInCalendar()) days.push_back(day.Date);
  return days;
}

/// FROM or FROM-TO, each within the years the rules are written for.
Years ReadYears(const std::string& text) {
  Years years;
  const bool read = text.size() == 4 ? ReadDigits(text, years.first)
                    : text.size() == 9
                        ? text[4] == '-' && ReadDigits(text.substr(0, 4), years.first) &&
                              ReadDigits(text.substr(5), years.second)
                        : false;
  if (text.size() == 4) years.second = years.first;
  if (!read || years.first > years.second) {
    throw InputError(Quoted(text) + " is not a year or a range of years (as 2025 or 2025-2027)");
  }
  if (years.first < kFirstRuleYear || years.second > kLastRuleYear ||
      !ThanksgivingDay(years.second).IsValid()) {
    throw InputError("add-federal writes the years " + std::to_string(kFirstRuleYear) + " to " +
                     std::to_string(kLastRuleYear) +
                     "; the built-in calendar holds 1993 to 2024, and other years' holidays are "
                     "added with `ledrix holidays add NAME DATE...`");
  }
  return years;
}

std::string HolidayFileText(const Holiday& calendar) {
  return "the holiday file " + calendar.FilePath();
}

/// "2025", or "2025 to 2027".
std::string YearsText(int first, int last) {
  return std::to_string(first) + (first == last ? "" : " to " + std::to_string(last));
}

/// A holiday file the library cannot read is the user's to keep: the
/// calendar was loaded without its entries, and saving would lose them.
void RefuseUnreadableFile(const Holiday& calendar) {
  namespace fs = std::filesystem;
  const fs::path path = calendar.FilePath();
  std::error_code error;
  if (!fs::exists(path, error)) return;
  const auto size = fs::file_size(path, error);
  // The three forms the holiday file has: 4 records of a name and 40, 30 or 20 days.
  const auto form = [size](int slots) {
    return size == Holiday::UserEntryCount * (sizeof(HolidayEntry::Name) + 2 * slots);
  };
  const bool readable =
      !error && std::ifstream(path, std::ios::binary).good() && (form(40) || form(30) || form(20));
  if (!readable) {
    throw InputError(HolidayFileText(calendar) +
                     " cannot be read (a holiday file is 484, 404 or 324 bytes); it is left as it "
                     "is, and nothing was written");
  }
}

void SaveCalendar(Holiday& calendar) {
  CreateFolderOf(calendar.FilePath());
  if (!calendar.Save()) throw InputError("cannot write " + HolidayFileText(calendar));
}

std::string EntryLine(const HolidayEntry& entry) {
  const int days = DayCount(entry);
  return Format("  %-40s %2d day%s", EntryName(entry).c_str(), days, days == 1 ? "" : "s");
}

/// The refusal when `needed` entries are wanted, `free` can take them and
/// `others` hold the rest.
[[noreturn]] void RefuseFull(const std::string& what, size_t needed, size_t free,
                             const std::vector<std::string>& others) {
  std::string text = what + (needed == 1 ? " needs " : " need ") + std::to_string(needed) +
                     " of the holiday file's " + std::to_string(Holiday::UserEntryCount) +
                     " user-defined entries, and " + std::to_string(free) +
                     (free == 1 ? " is" : " are") + " free";
  if (!others.empty()) {
    std::string names;
    for (const std::string& name : others) names += (names.empty() ? "" : ", ") + Quoted(name);
    text += "; the others hold " + names + ": `ledrix holidays remove NAME` frees one";
  }
  throw InputError(text + ". Nothing was written.");
}

}  // namespace

std::string FederalEntryName(int first, int last) {
  return kFederalPrefix + std::to_string(first) +
         (first == last ? std::string() : "-" + std::to_string(last));
}

std::string EntryName(const HolidayEntry& entry) {
  return std::string(entry.Name, strnlen(entry.Name, sizeof entry.Name));
}

std::string WrittenHolidayName(const HolidayEntry& entry, Date date) {
  Years years;
  std::vector<LegalHoliday> candidates;
  if (FederalYears(entry, years)) {
    candidates = DcLegalHolidays(date.Year() + 1900);
  } else if (EntryName(entry) == kMissingDaysEntryName) {
    candidates = DaysMissingFromBuiltInCalendar();
  }
  std::string names;
  for (const LegalHoliday& holiday : candidates) {
    if (holiday.Date == date) names += (names.empty() ? "" : ", ") + std::string(holiday.Name);
  }
  return names;
}

std::vector<std::string> AddFederalHolidays(const std::string& text) {
  const Years wanted = ReadYears(text);
  Holiday calendar;
  RefuseUnreadableFile(calendar);
  std::set<int> years;
  for (int year = wanted.first; year <= wanted.second; ++year) years.insert(year);
  std::vector<HolidayEntry*> reusable;  // free, or holding federal years written again
  std::vector<std::string> others;
  bool missingDaysHeld = false;
  for (HolidayEntry& entry : UserEntries(calendar)) {
    Years held;
    if (FederalYears(entry, held)) {
      for (int year = held.first; year <= held.second; ++year) years.insert(year);
      reusable.push_back(&entry);
    } else if (EntryName(entry) == kMissingDaysEntryName) {
      missingDaysHeld = true;
      others.push_back(EntryName(entry));
    } else if (IsFree(entry)) {
      reusable.push_back(&entry);
    } else {
      others.push_back(EntryName(entry));
    }
  }
  const std::vector<Years> entries = EntriesOfYears(years);
  const size_t needed = entries.size() + (missingDaysHeld ? 0 : 1);
  if (needed > reusable.size()) {
    RefuseFull("The DC legal holidays of " + YearsText(*years.begin(), *years.rbegin()) +
                   (missingDaysHeld ? "" : " and the days the built-in table lacks"),
               needed, reusable.size(), others);
  }
  for (HolidayEntry* entry : reusable) FillEntry(*entry, "", {});
  std::vector<std::string> lines = {"Written to " + HolidayFileText(calendar) + ":"};
  auto next = reusable.begin();
  for (const Years& entry : entries) {
    FillEntry(**next, FederalEntryName(entry.first, entry.second), FederalDays(entry));
    lines.push_back(EntryLine(**next++));
  }
  if (!missingDaysHeld) {
    FillEntry(**next, kMissingDaysEntryName, MissingDays());
    lines.push_back(EntryLine(**next));
  }
  SaveCalendar(calendar);
  return lines;
}

std::vector<std::string> AddHolidays(const std::string& name, const std::vector<Date>& dates) {
  if (name.empty() || name.size() > kLongestName) {
    throw InputError("an entry's name is 1 to " + std::to_string(kLongestName) + " characters");
  }
  Holiday calendar;
  RefuseUnreadableFile(calendar);
  HolidayEntry* target = nullptr;
  std::vector<std::string> others;
  for (HolidayEntry& entry : UserEntries(calendar)) {
    if (EntryName(entry) == name) {
      target = &entry;
    } else if (!target && IsFree(entry)) {
      target = &entry;
    } else if (!IsFree(entry)) {
      others.push_back(EntryName(entry));
    }
  }
  if (!target) RefuseFull(Quoted(name), 1, 0, others);
  std::vector<Date> days = DaysOf(*target);
  days.insert(days.end(), dates.begin(), dates.end());
  std::sort(days.begin(), days.end());
  if (std::unique(days.begin(), days.end()) - days.begin() > Holiday::SlotCount) {
    throw InputError(Quoted(name) + " would hold more than the " +
                     std::to_string(Holiday::SlotCount) +
                     " days an entry can; nothing was written");
  }
  FillEntry(*target, name, days);
  SaveCalendar(calendar);
  return {"Written to " + HolidayFileText(calendar) + ":", EntryLine(*target)};
}

std::vector<std::string> RemoveHolidays(const std::string& name) {
  Holiday calendar;
  RefuseUnreadableFile(calendar);
  std::string names;
  for (HolidayEntry& entry : UserEntries(calendar)) {
    if (EntryName(entry) == name && !IsFree(entry)) {
      const std::string line = EntryLine(entry);
      FillEntry(entry, "", {});
      SaveCalendar(calendar);
      return {"Removed from " + HolidayFileText(calendar) + ":", line};
    }
    if (!IsFree(entry)) names += (names.empty() ? "" : ", ") + Quoted(EntryName(entry));
  }
  throw InputError("the holiday file has no entry named " + Quoted(name) +
                   (names.empty() ? "; it has none" : "; its entries are " + names));
}

}  // namespace ledrix::cli
