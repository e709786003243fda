#include "calendar_commands.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "fields.h"
#include "holiday_entries.h"

namespace ledrix::cli {
namespace {

/// The due date the semi-weekly rule gives a liability arising on `date`,
/// with the third-business-day minimum, as the compute object sets it.
Date SemiweeklyDueDate(Date date) {
  auto doc = std::make_unique<C941Doc>();
  doc->Form = 1;
  doc->Quarter = date.QuarterIndex();
  doc->ComputeMethod = 1;
  Event& liability = doc->Events[0];
  liability.Clear();
  liability.Type = LIABILITY;
  liability.Date = date;
  liability.Amount = 1000.0;

  C941Compute compute;
  compute.SetComputeDate(date);
  compute.SetDueDate(doc->Quarter);
  Event::CurrentForm = doc->Form;
  compute.BasicCompute(doc.get(), /*flags=*/3, 0);
  const CLiability* first = compute.GetFirstLiability();
  return first ? first->Date : Date();
}

std::string DueLine(const char* label, Date date) {
  std::string text = DateText(date);
  return std::string("  ") + label + std::string(44 - std::strlen(label), ' ') +
         (text.empty() ? "-" : text);
}

int YearOf(Date date) {
  return date.Year() + 1900;
}

/// "2025", "2025 and 2026", "2024, 2025 and 2026".
std::string YearList(const std::vector<int>& years) {
  std::string text;
  for (size_t i = 0; i < years.size(); ++i) {
    text += (i == 0 ? "" : i + 1 == years.size() ? " and " : ", ") + std::to_string(years[i]);
  }
  return text;
}

/// The command that adds the legal holidays of `years` (in order).
std::string AddHolidaysCommand(const std::vector<int>& years) {
  if (years.front() < kFirstRuleYear || years.back() > kLastRuleYear) {
    return "`ledrix holidays add NAME DATE...` adds them";
  }
  const std::string span =
      std::to_string(years.front()) + (years.size() == 1 ? "" : "-" + std::to_string(years.back()));
  return "`ledrix holidays add-federal " + span + "` adds them";
}

}  // namespace

bool CalendarHoldsYear(const Holiday& calendar, int year) {
  return calendar.IsHoliday(ThanksgivingDay(year)) != 0;
}

void AddYearsBetween(std::set<int>& years, Date from, Date to) {
  if (!from.IsValid() || !to.IsValid()) return;
  for (int year = YearOf(std::min(from, to)); year <= YearOf(std::max(from, to)); ++year) {
    years.insert(year);
  }
}

std::string MissingHolidaysWarning(const Holiday& calendar, const std::set<int>& years) {
  std::vector<int> missing;
  for (const int year : years) {
    if (!CalendarHoldsYear(calendar, year)) missing.push_back(year);
  }
  if (missing.empty()) return {};
  const std::string list = YearList(missing);
  return "The holiday calendar does not hold the legal holidays of " + list +
         ", so due dates and days late there took no holiday into account. " +
         AddHolidaysCommand(missing) + ".";
}

std::vector<std::string> HolidayLines(int year) {
  std::shared_ptr<const Holiday> calendar = Holiday::Shared();
  struct Observed {
    Date date;
    std::string name;
    std::string source;
  };
  std::vector<Observed> found;
  for (int row = 0; row < Holiday::EntryCount; ++row) {
    const HolidayEntry& entry = calendar->Entries[row];
    const bool builtIn = row < calendar->Count;
    for (Date date : entry.Dates) {
      if (!date.IsValid() || YearOf(date) != year) continue;
      std::string name = builtIn ? EntryName(entry) : WrittenHolidayName(entry, date);
      found.push_back({date, name.empty() ? EntryName(entry) : name,
                       builtIn ? "built in" : "holiday file: " + EntryName(entry)});
    }
  }
  std::stable_sort(found.begin(), found.end(),
                   [](const Observed& a, const Observed& b) { return a.date < b.date; });
  std::vector<std::string> lines;
  for (const Observed& holiday : found) {
    lines.push_back(DateText(holiday.date) + "  " +
                    Format("%-30s  %s", holiday.name.c_str(), holiday.source.c_str()));
  }
  if (!CalendarHoldsYear(*calendar, year)) {
    lines.push_back("The holiday calendar does not hold the legal holidays of " +
                    std::to_string(year) + ": " + AddHolidaysCommand({year}) + ".");
  }
  return lines;
}

std::vector<std::string> DueDateLines(Date date, std::vector<std::string>& warnings) {
  std::shared_ptr<const Holiday> calendar = Holiday::Shared();
  Date nextBusinessDay = date;
  nextBusinessDay.NextBusinessDay(calendar.get());
  Date fifteenth = date;
  fifteenth.SetFifteenthOfNextMonth(calendar.get());
  Date wednesdayOrFriday = date;
  wednesdayOrFriday.NextWednesdayOrFriday(calendar.get());
  const Date semiweekly = SemiweeklyDueDate(date);
  std::set<int> years;
  for (const Date due : {nextBusinessDay, fifteenth, wednesdayOrFriday, semiweekly}) {
    AddYearsBetween(years, date, due);
  }
  if (std::string warning = MissingHolidaysWarning(*calendar, years); !warning.empty()) {
    warnings.push_back(warning);
  }
  return {
      DateText(date),
      DueLine("next business day ($100,000 next-day rule)", nextBusinessDay),
      DueLine("15th of the next month (monthly depositor)", fifteenth),
      DueLine("semi-weekly depositor", semiweekly),
      DueLine("next Wednesday or Friday", wednesdayOrFriday),
  };
}

}  // namespace ledrix::cli
