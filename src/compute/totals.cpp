// The period's money totals: daily and monthly liabilities, total liability
// and deposits, the running tax balance, the balance due on a date and the
// no-file thresholds.
#include <algorithm>

#include "compute/liability_slots.h"
#include "compute/period_rules.h"
#include "compute/search_buffers.h"
#include "ledrix/compute.h"

namespace ledrix {

namespace {

constexpr double kTotalledMarker = 1000000000001.0;
// Backup withholding adjustments are kept for periods before 1994.
constexpr int kFirstQuarterOf1994 = 56;
constexpr int kDailyRows = 3;
constexpr int kDailyColumns = 32;
constexpr int kPeriodTotalEntries = 14;
constexpr int kPeriodTotalIndex = 3;

// Place of the event's month in its quarter (0, 1, 2).
int MonthOfQuarter(const Event& event) {
  return (event.Date.Month() - 1) % 3;
}

// Posts the period's events into the daily table and the month totals. A
// semi-weekly depositor sets the credits carried so far against the next
// liabilities; a monthly depositor takes them in the month's total.
class PeriodTally {
 public:
  /// With `schedule`, the object's schedule on a date is that of the Form
  /// 941 rule for the switch given; else GetComputeMethod(Date) answers.
  PeriodTally(CCompute& compute, double daily[][kDailyColumns], double totals[],
              const ScheduleSwitch* schedule = nullptr)
      : compute_(compute), daily_(daily), totals_(totals), schedule_(schedule) {}

  void PostLiability(const Event& event) {
    double amount = event.Amount;
    if (ScheduleOn(event.Date) != 0) amount = UseCarriedCredit(amount);
    const int m = MonthOfQuarter(event);
    compute_.LiabilityTotal += amount;
    daily_[m][event.Date.Day()] += amount;
    totals_[m] += amount;
    compute_.TaxBalance += amount;
  }

  void PostCredit(const Event& event) {
    carry_ -= event.Amount;
    if (ScheduleOn(event.Date) == 0) totals_[MonthOfQuarter(event)] += event.Amount;
    compute_.TaxBalance += event.Amount;
  }

  void PostDeposit(const Event& event) {
    compute_.TaxBalance -= event.Amount;
    compute_.DepositTotal += event.Amount;
  }

  double carry() const { return carry_; }

 private:
  int ScheduleOn(Date date) {
    if (schedule_ == nullptr) return compute_.GetComputeMethod(date);
    return schedule_->ReachedBy(date) ? 1 : 0;
  }
  double UseCarriedCredit(double amount) {
    amount -= carry_;
    if (amount >= 0.0) {
      carry_ = 0.0;
      return amount;
    }
    carry_ = -amount;
    return 0.0;
  }

  CCompute& compute_;
  double (*daily_)[kDailyColumns];
  double* totals_;
  const ScheduleSwitch* schedule_;
  double carry_ = 0.0;
};

void ClearDaily(double daily[][kDailyColumns]) {
  std::fill(&daily[0][0], &daily[0][0] + kDailyRows * kDailyColumns, 0.0);
}

// A negative month is carried into the next; the last stays at 0.
void CarryNegativeMonths(double totals[]) {
  for (int m = 0; m < 2; ++m) {
    if (totals[m] < 0.0) {
      totals[m + 1] += totals[m];
      totals[m] = 0.0;
    }
  }
  if (totals[2] < 0.0) totals[2] = 0.0;
}

void ClearCompanyAdjustments(ledrix::Company& company, bool keepsBackupWithholding) {
  company.WithholdingAdjustments = 0.0;
  company.SocialSecurityAdjustments = 0.0;
  if (keepsBackupWithholding) company.BackupWithholdingAdjustments = 0.0;
}

void AddCompanyAdjustment(ledrix::Company& company, const Event& event,
                          bool keepsBackupWithholding) {
  switch (event.Type) {
    case ADJ_WIT:
      company.WithholdingAdjustments += event.Amount;
      break;
    case ADJ_SS:
    case ADJ_SICK:
      company.SocialSecurityAdjustments += event.Amount;
      break;
    case ADJ_BW:
      if (keepsBackupWithholding) company.BackupWithholdingAdjustments += event.Amount;
      break;
    default:
      break;
  }
}

}  // namespace

void CCompute::TotalEvents(double daily[][32], double totals[]) {
  const bool cobraTotal = HasCobraTotal(Events);
  LiabilityTotal = 0.0;
  DepositTotal = 0.0;
  ClearDaily(daily);
  std::fill(totals, totals + kPeriodTotalIndex + 1, 0.0);

  PeriodTally tally(*this, daily, totals);
  const int n = ListLength(Events);
  for (int i = 0; i < n; ++i) {
    const Event& event = Events[i];
    if (AddsLiability(event)) {
      tally.PostLiability(event);
    } else if (IsCredit(event)) {
      tally.PostCredit(event);
    } else if (!LeftOutByCobraTotal(event, cobraTotal)) {
      tally.PostDeposit(event);
    }
  }
}

void C941Compute::TotalEvents(double daily[][32], double totals[]) {
  const bool cobraTotal = HasCobraTotal(Events);
  const bool keepsBackupWithholding = GetQuarter() < kFirstQuarterOf1994;
  Had100000Liability = 0;
  TaxBalance = 0.0;
  LiabilityTotal = 0.0;
  DepositTotal = 0.0;
  ClearDaily(daily);
  std::fill(totals, totals + kPeriodTotalEntries, 0.0);
  if (Company != nullptr) ClearCompanyAdjustments(*Company, keepsBackupWithholding);

  // The library's own class asks its monthly rule for every liability: the
  // switch is found in one walk over the events instead of one per event.
  const bool ownRule = ComputeMethod == 0 && RunsOwnSteps(*this);
  const ScheduleSwitch schedule =
      ownRule ? FindScheduleSwitch(Events, Date::FromSerial(Date::NoDate)) : ScheduleSwitch{};
  PeriodTally tally(*this, daily, totals, ownRule ? &schedule : nullptr);
  double rawMonths[3] = {0.0, 0.0, 0.0};  // before any credit
  const int n = ListLength(Events);
  for (int i = 0; i < n; ++i) {
    Event& event = Events[i];
    event.Marker = kTotalledMarker;
    if (AddsLiability(event)) {
      rawMonths[MonthOfQuarter(event)] += event.Amount;
      tally.PostLiability(event);
    } else if (IsCredit(event)) {
      tally.PostCredit(event);
      LiabilityTotal += event.Amount;
    } else if (!LeftOutByCobraTotal(event, cobraTotal)) {
      tally.PostDeposit(event);
    }
    if (Company != nullptr) AddCompanyAdjustment(*Company, event, keepsBackupWithholding);
  }
  TaxBalance -= tally.carry();

  CarryNegativeMonths(totals);
  totals[kPeriodTotalIndex] = totals[0] + totals[1] + totals[2];
  if (std::any_of(std::begin(rawMonths), std::end(rawMonths),
                  [](double sum) { return sum >= detail::NextDayAmount; })) {
    Had100000Liability = 1;
  }
}

// Form 943 and 945 returns have no record of daily liability.
void C943Compute::TotalEvents(double daily[][32], double totals[]) {
  ClearDaily(daily);
  std::fill(totals, totals + kPeriodTotalEntries, 0.0);
}

void CCompute::SetTaxBalance() {
  const bool cobraTotal = HasCobraTotal(Events);
  TaxBalance = 0.0;
  if (Events == nullptr) return;
  // Running balances only make sense on a list in date order.
  for (int i = 1; i < MaxEvents && Events[i - 1].Type != -1 && Events[i].Type != -1; ++i) {
    if (Events[i].Date < Events[i - 1].Date) return;
  }

  double balance = 0.0;
  const int n = ListLength(Events);
  for (int i = 0; i < n; ++i) {
    Event& event = Events[i];
    if (IsLiabilityType(event.Type) || IsAdjustmentType(event.Type)) {
      balance += event.Amount;
    } else if (!LeftOutByCobraTotal(event, cobraTotal)) {
      balance -= event.Amount;
    }
    event.RunningBalance = balance;
    event.Marker = kTotalledMarker;
  }
  TaxBalance = balance;
}

double CCompute::BalanceDue(Date date) {
  double due = 0.0;
  const int n = ListLength(Events);
  for (int i = 0; i < n; ++i) {
    const Event& event = Events[i];
    if (event.Type == COBRA_PMT) continue;  // counted as the COBRA total
    const bool paidBy = event.Date <= date;
    if (IsLiabilityType(event.Type) || (IsAdjustmentType(event.Type) && event.Amount > 0.009)) {
      due += event.Amount;
    } else if (IsDepositType(event.Type)) {
      if (paidBy) due -= event.Amount;
    } else if (paidBy) {
      due += event.Amount;
    }
  }
  return due;
}

int CCompute::Is944DeMinimisForQuarter(int q) {
  if (GetForm() != form::k944) return 0;
  const Date start = Date::QuarterStart(q);
  const Date end = Date::QuarterEnd(q);
  Date returnDue;
  returnDue.SetQuarterReturnDue(q);

  double total = 0.0;
  for (int i = 0; i < LiabilitySlots; ++i) {
    const CLiability* liability = Liabilities[i];
    if (liability == nullptr || liability->Date < start) continue;
    if (liability->Date > end) return 1;
    total += liability->Amount;
    if (total >= GetNoFileLimit()) return 0;
    for (const CDeposit* d = liability->Next; d != nullptr; d = d->Next) {
      if (d->Date > returnDue) return 0;
    }
    if (liability->TotalPayments() < liability->Amount) return 0;
  }
  return 1;
}

double CCompute::GetNoFileLimit() {
  constexpr int kSecondQuarterOf1998 = 73;
  constexpr int kLastQuarterOf2000 = 83;
  const int q = GetQuarter();
  if (GetForm() == form::k940) return q <= kLastQuarterOf2004 ? 100.005 : 500.005;
  if (q <= kSecondQuarterOf1998) return 500.00;
  if (q <= kLastQuarterOf2000) return 1000.00;
  return 2500.00;
}

double C940Compute::NoFileLimit() {
  return Quarter <= kLastQuarterOf2004 ? 100.001 : 500.001;
}

}  // namespace ledrix
