// The failure-to-deposit penalty of IRC section 6656: each piece of a
// deposit is priced by how late it came (2% for 1-5 days, 5% for 6-15, 10%
// after that, 15% once a notice's last day to pay has passed); the part of a
// liability still unpaid is priced by its lateness at the compute date.
// Non-FTD payments cost at least 10%.
#include "allocation/compute_scope.h"
#include "allocation/safe_harbor.h"
#include "compute/liability_cache.h"
#include "compute/liability_slots.h"
#include "compute/period_rules.h"
#include "compute/search_buffers.h"
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
  return detail::Cents(penalty);
}

double PriceUnpaid(double rate, double amount) {
  const double penalty = detail::Cents(rate * amount);
  return penalty < 0.0 ? 0.0 : penalty;
}

double TotalRegularAmount(const CCompute& c, int usedSlots) {
  double total = 0.0;
  for (int i = 0; i < usedSlots; ++i) {
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

/// While C941Compute::ComputePenalty prices its liabilities, the Form 944
/// de minimis answer of each quarter, asked once. The answer depends on the
/// slots and on the liabilities' due dates, amounts and applications, and
/// pricing writes none of them. During a run of one of the library's own
/// classes the answer for any form but 944 is known to be no.
class DeMinimisByQuarter : public ComputeScope<DeMinimisByQuarter, CCompute> {
 public:
  explicit DeMinimisByQuarter(CCompute& c)
      : ComputeScope(c),
        never_(c.Buffers != nullptr && c.Buffers->OwnRun && c.GetForm() != form::k944) {}

  /// The answer for the quarter of `due`; liabilities come in due-date order,
  /// so the last due date asked is asked again most often.
  int ForDueDate(Date due) {
    if (never_) return 0;
    if (!asked_ || due != lastDue_) {
      asked_ = true;
      lastDue_ = due;
      lastAnswer_ = ForQuarter(due.QuarterIndex());
    }
    return lastAnswer_;
  }

 private:
  int ForQuarter(int q) {
    for (int i = 0; i < kept_; ++i) {
      if (quarter_[i] == q) return answer_[i];
    }
    const int answer = Owner().Is944DeMinimisForQuarter(q);
    if (kept_ < kCapacity) {
      quarter_[kept_] = q;
      answer_[kept_++] = answer;
    }
    return answer;
  }

  // More quarters than a return's due dates fall in; past that, asked each time.
  static constexpr int kCapacity = 8;
  bool never_;
  bool asked_ = false;
  Date lastDue_;
  int lastAnswer_ = 0;
  int kept_ = 0;
  int quarter_[kCapacity] = {};
  int answer_[kCapacity] = {};
};

/// Whether the Form 944 de minimis rule waives the deposit penalty in the
/// quarter of `due`.
int IsDeMinimisQuarter(CCompute& c, Date due) {
  DeMinimisByQuarter* kept = DeMinimisByQuarter::For(c);
  return kept != nullptr ? kept->ForDueDate(due) : c.Is944DeMinimisForQuarter(due.QuarterIndex());
}

/// The tier of an amount `daysLate` days late, paid (or counted) on `date`,
/// with `notice` the additional 5% inputs.
int PenaltyTier(const CC6656& notice, Date computeDate, int daysLate, Date date) {
  if (notice.Active != 0 && date > notice.LastDayToPay && computeDate > notice.LastDayToPay) {
    return kTierNotice;
  }
  if (daysLate < 1) return 0;
  if (daysLate < 6) return 1;
  return daysLate < 16 ? 2 : 3;
}

}  // namespace

double CCompute::PenaltyPercentage(int daysLate, Date date, CLiability* /*liability*/, int* tier) {
  const int t = PenaltyTier(Penalties()->CC6656, ComputeDate, daysLate, date);
  if (tier != nullptr) *tier = t;
  return kRateByTier[t];
}

double CCompute::PenaltyOn(CLiability* liability, int penaltyFlag) {
  liability->ComputeBalance();
  if (IsDeMinimisQuarter(*this, liability->Date)) penaltyFlag = 0;
  // During a run of one of the library's own classes its own rule prices
  // each piece, without the virtual calls.
  const bool ownRule = Buffers != nullptr && Buffers->OwnRun;
  const auto rateOf = [&](int daysLate, Date date, CLiability* l, int* tier) {
    if (!ownRule) return PenaltyPercentage(daysLate, date, l, tier);
    *tier = PenaltyTier(PenaltyInputs.CC6656, ComputeDate, daysLate, date);
    return kRateByTier[*tier];
  };

  double result = 0.0;
  if (liability->Next != nullptr) {
    double unpaid = liability->Amount;
    for (CDeposit* d = liability->Next; d != nullptr; d = d->Next) {
      d->DaysLate = DaysLate(liability->Date, d->Date, penaltyFlag);
      double rate = rateOf(d->DaysLate, d->Date, liability, &d->RateIndex);
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
        const double rate = rateOf(days, ComputeDate, liability, &liability->RateIndex);
        const double p = PriceUnpaid(rate, unpaid);
        liability->UnpaidDays = days;
        liability->UnpaidPenalty = p;
        liability->UnpaidAmount = unpaid;
        result += p;
      }
    }
  } else {
    const int days = DaysLate(liability->Date, ComputeDate, liability->Applied98 ? 0 : penaltyFlag);
    const double rate = rateOf(days, ComputeDate, liability, &liability->RateIndex);
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
  // The regular slots up to the last liability: the rest of a year's 732
  // hold nothing to add up or price.
  const int used = UsedRegularSlots(*this);
  int penaltyFlag = 1;
  if (GetNoFileLimit() > TotalRegularAmount(*this, used)) {
    // A small return paid in full by its due date owes no deposit penalty.
    auto holidays = Holiday::Shared();
    Date returnDue = DueDate();
    returnDue.SkipToBusinessDay(holidays.get());
    if (BalanceDue(returnDue) < kUnpaidSlack) penaltyFlag = 0;
  }
  DeMinimisByQuarter deMinimis(*this);
  const double regular = AddPenalties(*this, Liabilities, used, penaltyFlag, 0.0);
  PenaltyTotal = AddPenalties(*this, CatchupLiabilities, detail::CatchupSlotCount(*this),
                              penaltyFlag, regular);
}

void C940Compute::ComputePenalty() {
  SortLiabilities(1);
  const int used = UsedRegularSlots(*this);
  const int penaltyFlag = NoFileLimit() >= TotalRegularAmount(*this, used) ? 0 : 1;
  PenaltyTotal = AddPenalties(*this, Liabilities, used, penaltyFlag, 0.0);
}

void CAnnCompute::ComputePenalty() {
  SortLiabilities(1);
  PenaltyTotal = AddPenalties(*this, Liabilities, UsedRegularSlots(*this), 1, 0.0);
}

}  // namespace ledrix
