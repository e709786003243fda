#include "calendar_commands.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "fields.h"

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

}  // namespace

std::vector<std::string> HolidayLines(int year) {
  std::shared_ptr<const Holiday> calendar = Holiday::Shared();
  struct Observed {
    Date date;
    std::string name;
  };
  std::vector<Observed> found;
  for (const HolidayEntry& entry : calendar->Entries) {
    std::string name(entry.Name, strnlen(entry.Name, sizeof entry.Name));
    for (Date date : entry.Dates) {
      if (date.IsValid() && date.Year() + 1900 == year) found.push_back({date, name});
    }
  }
  std::stable_sort(found.begin(), found.end(),
                   [](const Observed& a, const Observed& b) { return a.date < b.date; });
  std::vector<std::string> lines;
  for (const Observed& holiday : found)
    lines.push_back(DateText(holiday.date) + "  " + holiday.name);
  return lines;
}

std::vector<std::string> DueDateLines(Date date) {
  std::shared_ptr<const Holiday> calendar = Holiday::Shared();
  Date nextBusinessDay = date;
  nextBusinessDay.NextBusinessDay(calendar.get());
  Date fifteenth = date;
  fifteenth.SetFifteenthOfNextMonth(calendar.get());
  Date wednesdayOrFriday = date;
  wednesdayOrFriday.NextWednesdayOrFriday(calendar.get());
  return {
      DateText(date),
      DueLine("next business day ($100,000 next-day rule)", nextBusinessDay),
      DueLine("15th of the next month (monthly depositor)", fifteenth),
      DueLine("semi-weekly depositor", SemiweeklyDueDate(date)),
      DueLine("next Wednesday or Friday", wednesdayOrFriday),
  };
}

}  // namespace ledrix::cli
