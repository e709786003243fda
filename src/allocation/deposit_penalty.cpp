// The failure-to-deposit penalty of IRC section 6656: each piece of a
// deposit is priced by how late it came (2% for 1-5 days, 5% for 6-15, 10%
// after that, 15% once a notice's last day to pay has passed); the part of a
// liability still unpaid is priced by its lateness at the compute date.
// Non-FTD payments cost at least 10%.
#include "allocation/safe_harbor.h"
#include "compute/liability_slots.h"
#include "ledrix/compute.h"
#include "ledrix/events.h"
#include "ledrix/holiday.h"
#include "ledrix/liability.h"

namespace ledrix {

namespace {

constexpr int kTierNotice = 4;
constexpr int kTierPayment = 3;
constexpr double kRateByTier[RateTierCount] = {0.0, 0.02, 0.05, 0.1, 0.15};
/// An unpaid remainder of a tenth of a cent or less is no remainder.
constexpr double kUnpaidSlack = 0.001;

/// Days from the due date to `paid`; 0 when paid before it or when lateness
/// does not count.
int DaysLate(Date due, Date paid, int penaltyFlag) {
  if (due > paid || penaltyFlag == 0) return 0;
  return due.DaysApart(paid);
}

double PricePiece(double rate, double amount) {
  double penalty = rate * amount;
  if (penalty < 0.0) penalty = 0.0;
  return Cents(penalty);
}

double PriceUnpaid(double rate, double amount) {
  const double penalty = Cents(rate * amount);
  return penalty < 0.0 ? 0.0 : penalty;
}

double TotalRegularAmount(const CCompute& c) {
  double total = 0.0;
  for (int i = 0; i < detail::RegularSlotCount(c); ++i) {
    if (c.Liabilities[i] != nullptr) total += c.Liabilities[i]->Amount;
  }
  return total;
}

/// Adds to `total`, one by one, the penalties of the liabilities of `slots`
/// that carry an amount.
double AddPenalties(CCompute& c, CLiability* const* slots, int count, int penaltyFlag,
                    double total) {
  for (int i = 0; i < count; ++i) {
    if (slots[i] != nullptr && slots[i]->Amount > kUnpaidSlack) {
      total += c.PenaltyOn(slots[i], penaltyFlag);
    }
  }
  return total;
}

}  // namespace

double CCompute::PenaltyPercentage(int daysLate, Date date, CLiability* /*liability*/, int* tier) {
  const CC6656& notice = Penalties()->CC6656;
  int t = 3;
  if (notice.Active != 0 && date > notice.LastDayToPay && ComputeDate > notice.LastDayToPay) {
    t = kTierNotice;
  } else if (daysLate < 1) {
    t = 0;
  } else if (daysLate < 6) {
    t = 1;
  } else if (daysLate < 16) {
    t = 2;
  }
  if (tier != nullptr) *tier = t;
  return kRateByTier[t];
}

double CCompute::PenaltyOn(CLiability* liability, int penaltyFlag) {
  liability->ComputeBalance();
  if (Is944DeMinimisForQuarter(liability->Date.QuarterIndex())) penaltyFlag = 0;

  double result = 0.0;
  if (liability->Next != nullptr) {
    double unpaid = liability->Amount;
    for (CDeposit* d = liability->Next; d != nullptr; d = d->Next) {
      d->DaysLate = DaysLate(liability->Date, d->Date, penaltyFlag);
      double rate = PenaltyPercentage(d->DaysLate, d->Date, liability, &d->RateIndex);
      if (d->EventType == PAYMENT && rate < kRateByTier[kTierPayment]) {
        d->RateIndex = kTierPayment;
        rate = kRateByTier[kTierPayment];
      }
      d->Penalty = PricePiece(rate, d->Amount);
      result += d->Penalty;
      unpaid -= d->Amount;
    }
    if (unpaid > kUnpaidSlack) {
      if (liability->Applied98) {
        // The shortfall is priced on the catch-up liability.
        liability->UnpaidDays = 0;
        liability->UnpaidPenalty = 0.0;
        liability->UnpaidAmount = 0.0;
      } else {
        const int days = DaysLate(liability->Date, ComputeDate, penaltyFlag);
        const double rate = PenaltyPercentage(days, ComputeDate, liability, &liability->RateIndex);
        const double p = PriceUnpaid(rate, unpaid);
        liability->UnpaidDays = days;
        liability->UnpaidPenalty = p;
        liability->UnpaidAmount = unpaid;
        result += p;
      }
    }
  } else {
    const int days = DaysLate(liability->Date, ComputeDate, liability->Applied98 ? 0 : penaltyFlag);
    const double rate = PenaltyPercentage(days, ComputeDate, liability, &liability->RateIndex);
    const double p = PriceUnpaid(rate, liability->Balance);
    liability->UnpaidDays = days;
    liability->UnpaidPenalty = p;
    liability->UnpaidAmount = liability->Balance;
    result = p;
  }
  liability->Penalty = result;
  return result;
}

void C941Compute::ComputePenalty() {
  SortLiabilities(1);
  int penaltyFlag = 1;
  if (GetNoFileLimit() > TotalRegularAmount(*this)) {
    // A small return paid in full by its due date owes no deposit penalty.
    auto holidays = Holiday::Shared();
    Date returnDue = DueDate();
    returnDue.SkipToBusinessDay(holidays.get());
    if (BalanceDue(returnDue) < kUnpaidSlack) penaltyFlag = 0;
  }
  const double regular =
      AddPenalties(*this, Liabilities, detail::RegularSlotCount(*this), penaltyFlag, 0.0);
  PenaltyTotal = AddPenalties(*this, CatchupLiabilities, detail::CatchupSlotCount(*this),
                              penaltyFlag, regular);
}

void C940Compute::ComputePenalty() {
  SortLiabilities(1);
  const int penaltyFlag = NoFileLimit() >= TotalRegularAmount(*this) ? 0 : 1;
  PenaltyTotal =
      AddPenalties(*this, Liabilities, detail::RegularSlotCount(*this), penaltyFlag, 0.0);
}

void CAnnCompute::ComputePenalty() {
  SortLiabilities(1);
  PenaltyTotal = AddPenalties(*this, Liabilities, detail::RegularSlotCount(*this), 1, 0.0);
}

}  // namespace ledrix
