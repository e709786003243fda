// Deposit due dates: the depositor schedule in force, the due date of one
// liability (monthly, semi-weekly, next-day), the pass over a period's
// liabilities with the $100,000 switch and the merging of liabilities due
// together, the catch-up due dates, and the Form 940 quarterly carry.
#include <iterator>
#include <memory>

#include "compute/liability_slots.h"
#include "compute/period_rules.h"
#include "ledrix/compute.h"
#include "ledrix/events.h"
#include "ledrix/holiday.h"
#include "ledrix/liability.h"

namespace ledrix {

using detail::CatchupSlotCount;
using detail::FirstEventDate;
using detail::HasEvents;
using detail::LastEventDate;
using detail::NextDayAmount;
using detail::RegularSlotCount;

namespace {

constexpr int kWednesday = 1;
constexpr int kFriday = 3;

/// `date` moved forward to a business day.
Date BusinessDayOnOrAfter(Date date, const Holiday* holiday) {
  date.SkipToBusinessDay(holiday);
  return date;
}

/// The Form 941 return due date of quarter `q`, moved to a business day.
Date QuarterReturnDue(int q, const Holiday* holiday) {
  Date due;
  due.SetQuarterReturnDue(q);
  return BusinessDayOnOrAfter(due, holiday);
}

/// 31 January after the year of quarter `q`: the annual return's due date.
Date AnnualReturnDue(int q) {
  Date due;
  if (q >= 0) due.SetQuarterReturnDue(q / 4 * 4 + 3);
  return due;
}

/// The semi-weekly deposit day of the catch-up liability that follows one
/// due on `previous`: the 15th of the next month, then on to a Wednesday or
/// Friday that is a business day.
Date NextCatchupDueDate(Date previous, const Holiday* holiday) {
  previous.SetFifteenthOfNextMonth(nullptr);
  return previous.NextWednesdayOrFriday(holiday);
}

/// A monthly depositor reached $100,000 with the liability of slot `to`:
/// the earlier liabilities of the same month join it.
void MergeMonthInto(CCompute& compute, int to) {
  const int month = compute.Liabilities[to]->LiabilityDate.Month();
  for (int k = to - 1; k >= 0; --k) {
    const CLiability* earlier = compute.Liabilities[k];
    if (earlier == nullptr) continue;
    if (earlier->LiabilityDate.Month() != month) break;
    compute.CombineLiabilities(k, to);
  }
}

/// A semi-weekly period reached $100,000 with the liability of slot `to`:
/// the earlier liabilities of its period not already under the next-day rule
/// join it.
void MergeSemiweeklyPeriodInto(CCompute& compute, int to) {
  Date periodStart;
  periodStart.SetSemiweeklyPeriodStart(compute.Liabilities[to]->LiabilityDate);
  int first = to;
  while (first > 0) {
    const CLiability* earlier = compute.Liabilities[first - 1];
    if (earlier != nullptr && earlier->LiabilityDate < periodStart) break;
    --first;
  }
  for (int i = first; i < to; ++i) {
    const CLiability* earlier = compute.Liabilities[i];
    if (earlier != nullptr && earlier->NextDay == 0) compute.CombineLiabilities(i, to);
  }
}

/// Catch-up due dates of a period that switched to semi-weekly with
/// `switching`: semi-weekly deposit days from the month after the period
/// starts, kept between the first deposit day after the month of the
/// switching liability's first event and the return's due date.
void SetSwitchedCatchupDueDates(CCompute& compute, const CLiability& switching,
                                const Holiday* holiday) {
  const int count = CatchupSlotCount(compute);
  Date due = compute.FirstDayOfPeriod();
  for (int k = 0; k < count; ++k) {
    due = NextCatchupDueDate(due, holiday);
    if (compute.CatchupLiabilities[k] != nullptr) compute.CatchupLiabilities[k]->Date = due;
  }
  const Date earliest = NextCatchupDueDate(FirstEventDate(compute.Events, switching), holiday);
  const Date latest = BusinessDayOnOrAfter(compute.DueDate(), holiday);
  for (int k = 0; k < count; ++k) {
    CLiability* catchup = compute.CatchupLiabilities[k];
    if (catchup == nullptr) continue;
    if (catchup->Date < earliest) catchup->Date = earliest;
    if (catchup->Date > latest) catchup->Date = latest;
  }
}

/// Catch-up due dates of a period on one schedule throughout: a monthly
/// depositor's are due with the return; a semi-weekly depositor's k-th
/// (from 0) on the deposit day from the 15th of the (k + 1)-th month after
/// the period's first month, the last with the return.
void SetUnswitchedCatchupDueDates(CCompute& compute, const Holiday* holiday) {
  const int count = CatchupSlotCount(compute);
  const Date withReturn = BusinessDayOnOrAfter(compute.DueDate(), holiday);
  const bool monthly = compute.GetComputeMethod() == 0;
  Date fifteenth = compute.FirstDayOfPeriod();
  for (int k = 0; k < count; ++k) {
    fifteenth.SetFifteenthOfNextMonth(nullptr);
    CLiability* catchup = compute.CatchupLiabilities[k];
    if (catchup == nullptr) continue;
    catchup->SemiWeekly = monthly ? 0 : 1;
    if (monthly || k == count - 1) {
      catchup->Date = withReturn;
    } else {
      Date due = fifteenth;
      catchup->Date = due.NextWednesdayOrFriday(holiday);
    }
  }
}

/// A liability emptied by an earlier merge has no due date and is passed over.
bool MayMergeByDueDate(const CLiability* liability) {
  return liability != nullptr && liability->Date.IsValid() && liability->NextDay == 0;
}

/// Liabilities due on the same day are combined into the later slot. With
/// `nextDayRule`, two that together reach $100,000 become due the business
/// day after the last event.
void MergeSameDueDates(CCompute& compute, bool nextDayRule, const Holiday* holiday) {
  const int slots = RegularSlotCount(compute);
  for (int j = 1; j < slots; ++j) {
    CLiability* later = compute.Liabilities[j];
    if (!MayMergeByDueDate(later)) continue;
    for (int i = 0; i < j; ++i) {
      const CLiability* earlier = compute.Liabilities[i];
      if (!MayMergeByDueDate(earlier) || earlier->Date != later->Date) continue;
      const bool reachesNextDay =
          earlier->Amount < NextDayAmount && earlier->Amount + later->Amount >= NextDayAmount;
      compute.CombineLiabilities(i, j);
      if (nextDayRule && reachesNextDay) {
        later->Date = LastEventDate(compute.Events, *later);
        later->Date.NextBusinessDay(holiday);
      }
    }
  }
}

/// The Form 940 deposit date of a liability whose first event is `first`:
/// the last day of the month after its quarter, on a business day.
Date FutaQuarterDueDate(Date first, const Holiday* holiday) {
  return QuarterReturnDue(first.QuarterIndex(), holiday);
}

/// Sum of the deposit-class events dated on or before `date`.
double DepositsThrough(const Event* events, Date date) {
  double total = 0.0;
  const int count = ListLength(events);
  for (int i = 0; i < count; ++i) {
    if (IsDepositType(events[i].Type) && events[i].Date <= date) total += events[i].Amount;
  }
  return total;
}

}  // namespace

// ---- schedule in force ------------------------------------------------------

ScheduleSwitch FindScheduleSwitch(const Event* events, Date until) {
  ScheduleSwitch found;
  found.latest = Date::FromSerial(0);
  double monthTotal = 0.0;
  int month = -1;
  const int count = ListLength(events);
  for (int i = 0; i < count; ++i) {
    const Event& event = events[i];
    if (event.Date > until) break;
    if (event.Date > found.latest) found.latest = event.Date;
    if (event.Date.Month() != month) {
      monthTotal = 0.0;
      month = event.Date.Month();
    }
    if (AddsLiability(event)) monthTotal += event.Amount;
    if (monthTotal >= NextDayAmount) {
      found.event = i;  // semi-weekly from this day on
      return found;
    }
  }
  return found;
}

int C941Compute::GetComputeMethod(Date date) {
  if (ComputeMethod != 0) return ComputeMethod;
  return FindScheduleSwitch(Events, date).event >= 0 ? 1 : 0;
}

int C941Compute::GetComputeMethod() {
  return ComputeMethod;
}

int C941Compute::IsMethodImplemented(int alternative) {
  return ((alternative >> 3) & 7) == 7 ? 0 : 1;
}

// ---- period and return dates --------------------------------------------

Date CCompute::FirstDayOfPeriod() {
  return Date::StartOfYear(Date::QuarterStart(GetQuarter()));
}

Date C941Compute::FirstDayOfPeriod() {
  return Date::QuarterStart(GetQuarter());
}

Date C943Compute::FirstDayOfPeriod() {
  return CCompute::FirstDayOfPeriod();
}

void CCompute::SetDueDate(int q) {
  ReturnDueDate = Date::QuarterEnd(q);
}

void C941Compute::SetDueDate(int q) {
  ReturnDueDate.SetQuarterReturnDue(q);
}

void C943Compute::SetDueDate(int q) {
  ReturnDueDate = AnnualReturnDue(q);
}

void C940Compute::SetDueDate(int q) {
  ReturnDueDate = AnnualReturnDue(q);
}

// ---- one liability ---------------------------------------------------------

void CLiability::ComputeDueDate(const Holiday* holiday) {
  if (Amount >= detail::NextDayAmount) {
    Date.NextBusinessDay(holiday);
    return;
  }
  if (SemiWeekly == 0) {
    Date.SetFifteenthOfNextMonth(holiday);
    return;
  }
  // Wednesday-Friday liabilities are due the next Wednesday, Saturday-Tuesday
  // ones the next Friday.
  const int weekday = Date.Weekday();
  if (weekday >= kWednesday && weekday <= kFriday) {
    Date.NextWednesday();
  } else {
    Date.NextFriday();
  }
  const ledrix::Date depositDay = Date;
  Date.SkipToBusinessDay(holiday);
  if (Date == depositDay || holiday == nullptr) return;
  int recorded = 0;
  const int room = static_cast<int>(std::size(SkippedHolidays));
  for (ledrix::Date day = depositDay; day < Date && recorded < room; day = day + 1) {
    if (holiday->IsHoliday(day)) SkippedHolidays[recorded++] = day;
  }
}

void C941Compute::FinalDueDateFixup(CLiability* liability, const Holiday* holiday) {
  if (liability == nullptr || liability->Amount >= NextDayAmount || !HasEvents(*liability)) return;
  Date earliest = LastEventDate(Events, *liability);
  if (!earliest.IsValid()) return;
  earliest = detail::SemiweeklyPeriodEnd(earliest);
  // At least three business days after the semi-weekly period ends.
  for (int k = 0; k < 3; ++k) earliest.NextBusinessDay(holiday);
  if (liability->Date < earliest) liability->Date = earliest;
}

// ---- the period's pass -----------------------------------------------------

void C941Compute::SetDueDates() {
  const std::shared_ptr<const Holiday> calendar = Holiday::Shared();
  const Holiday* holiday = calendar.get();
  const int slots = RegularSlotCount(*this);
  const bool monthlyDepositor = GetComputeMethod() == 0;

  double periodTotal = 0.0;
  int month = -1;
  Date previous;
  bool switched = false;
  bool catchupDone = false;
  for (int j = 0; j < slots; ++j) {
    CLiability* liability = Liabilities[j];
    if (liability == nullptr || !HasEvents(*liability)) continue;
    if (monthlyDepositor && !switched) {
      if (liability->LiabilityDate.Month() != month) {
        periodTotal = 0.0;
        month = liability->LiabilityDate.Month();
      }
    } else {
      Date periodStart;
      periodStart.SetSemiweeklyPeriodStart(liability->LiabilityDate);
      if (periodStart > previous) periodTotal = 0.0;
    }
    periodTotal += liability->Amount;

    if (periodTotal >= NextDayAmount) {
      Had100000Liability = 1;
      if (monthlyDepositor && !switched) {
        // The monthly depositor becomes semi-weekly for the rest of the period.
        MergeMonthInto(*this, j);
        switched = true;
        for (int k = j; k < slots; ++k) {
          if (Liabilities[k] != nullptr) Liabilities[k]->SemiWeekly = 1;
        }
        SetSwitchedCatchupDueDates(*this, *liability, holiday);
        catchupDone = true;
      } else {
        MergeSemiweeklyPeriodInto(*this, j);
      }
      periodTotal = 0.0;
      liability->NextDay = 1;
    }
    liability->ComputeDueDate(holiday);
    previous = liability->LiabilityDate;
  }

  if (!catchupDone) SetUnswitchedCatchupDueDates(*this, holiday);

  for (int j = 0; j < slots; ++j) {
    CLiability* liability = Liabilities[j];
    if (liability != nullptr && liability->Amount > 0.001 && liability->SemiWeekly == 1) {
      FinalDueDateFixup(liability, holiday);
    }
  }
  MergeSameDueDates(*this, true, holiday);
  MergeSameDueDates(*this, false, holiday);
}

void C940Compute::SetDueDates() {
  // A constructed calendar has loaded the holiday file already, so the shared
  // loaded calendar serves here too.
  const std::shared_ptr<const Holiday> calendar = Holiday::Shared();
  const Holiday* holiday = calendar.get();
  const int slots = RegularSlotCount(*this);

  for (int j = 0; j < slots; ++j) {
    CLiability* liability = Liabilities[j];
    if (liability == nullptr || !HasEvents(*liability)) continue;
    liability->Date = FutaQuarterDueDate(FirstEventDate(Events, *liability), holiday);
  }

  int previous = -1;
  for (int j = 0; j < slots; ++j) {
    const CLiability* liability = Liabilities[j];
    if (liability == nullptr || !liability->Date.IsValid()) continue;
    if (previous >= 0 && Liabilities[previous]->Date == liability->Date) {
      CombineLiabilities(previous, j);
    }
    previous = j;
  }

  // Small quarters are carried: a quarter's liabilities are due with a later
  // quarter while the amount not yet deposited stays within the limit.
  Date carried[MaxLiabilitySlots];
  Date newDue[MaxLiabilitySlots];
  const int firstQuarter = GetQuarter() / 4 * 4;
  for (int q = firstQuarter; q < firstQuarter + 4; ++q) {
    const Date previousEnd = Date::QuarterEnd(q - 1);
    const Date previousDue = QuarterReturnDue(q - 1, holiday);
    double quarterAmount = 0.0;
    double earlierAmount = 0.0;
    for (int j = 0; j < slots; ++j) {
      const CLiability* liability = Liabilities[j];
      if (liability == nullptr || !HasEvents(*liability)) continue;
      const Date first = FirstEventDate(Events, *liability);
      if (first.IsInQuarter(q)) quarterAmount += liability->Amount;
      if (first < previousEnd) earlierAmount += liability->Amount;
    }
    const double deposited = DepositsThrough(Events, previousDue);
    const double limit = NoFileLimit();
    if (quarterAmount > limit || earlierAmount - deposited + quarterAmount > limit) continue;

    const Date carriedDue = QuarterReturnDue(q == firstQuarter + 3 ? q : q + 1, holiday);
    for (int j = 0; j < slots; ++j) {
      const CLiability* liability = Liabilities[j];
      if (liability == nullptr || !HasEvents(*liability)) continue;
      const Date first = FirstEventDate(Events, *liability);
      const bool carriedHere = carried[j].IsValid() && carried[j].IsInQuarter(q);
      if (!first.IsInQuarter(q) && !carriedHere) continue;
      carried[j] = (carried[j].IsValid() ? carried[j] : first).AddMonths(3);
      newDue[j] = carriedDue;
    }
  }
  for (int j = 0; j < slots; ++j) {
    if (Liabilities[j] != nullptr && newDue[j].IsValid()) Liabilities[j]->Date = newDue[j];
  }
}

void CAnnCompute::SetDueDates() {
  for (int j = 0; j < RegularSlotCount(*this); ++j) {
    CLiability* liability = Liabilities[j];
    if (liability != nullptr && HasEvents(*liability)) {
      liability->Date = FirstEventDate(Events, *liability);
    }
  }
}

}  // namespace ledrix
