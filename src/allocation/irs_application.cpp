// The IRS's own allocation of deposits to liabilities, when the taxpayer
// designated nothing. Periods before 2002: deposits pay liabilities in the
// order they fell due (the old rule). From 2002: each deposit pays the most
// recent liability whose deposit period has ended, and a later one only when
// none has (the new rule). From 2002 the cheaper of the two may be kept.
#include <algorithm>

#include "allocation/safe_harbor.h"
#include "compute/liability_slots.h"
#include "ledrix/compute.h"
#include "ledrix/events.h"
#include "ledrix/holiday.h"
#include "ledrix/liability.h"

namespace ledrix {

namespace {

/// Quarter index of January-March 2002, the first period of the new rule.
constexpr int kFirstNewRuleQuarter = 88;
/// The Form 940 old rule drops remainders of a tenth of a cent or less.
constexpr double k940OldRemainder = 0.001;

/// Running numbers of the DEPOSIT and the PAYMENT events taken up.
struct Counters {
  int deposit;
  int payment;
};

/// Deposit-class events that the IRS rule applies; COBRA premium payments
/// only where the form counts them one by one.
bool IsAppliedDeposit(int type, bool cobraPayments) {
  return IsDepositType(type) && (type != COBRA_PMT || cobraPayments);
}

/// PAYMENT numbers the payments; DEPOSIT numbers the deposits, and so do
/// the COBRA credits on Form 940.
void Count(Counters& counters, int type, bool cobraIsDeposit) {
  if (type == PAYMENT) {
    ++counters.payment;
  } else if (type == DEPOSIT || (cobraIsDeposit && IsDepositType(type))) {
    ++counters.deposit;
  }
}

/// Appends a piece of event `index` to the liability's chain; its balance
/// follows from the liability's current Balance. Null when out of memory.
CDeposit* RecordPiece(CLiability* liability, const Event& event, int index, double piece,
                      const Counters& counters) {
  CDeposit* d = liability->AddDeposit();
  if (d == nullptr) return nullptr;
  d->Date = event.Date;
  d->Amount = detail::Cents(piece);
  d->Balance = detail::Cents(liability->Balance - piece);
  d->EventIndex = index;
  d->EventType = event.Type;
  d->DepositNumber = counters.deposit;
  d->PaymentNumber = counters.payment;
  return d;
}

// ---- choosing the rule ----------------------------------------------------

template <class Form>
void RunOldRule(Form& c, int limitToComputeDate) {
  c.InitLiabilities(1);
  c.ApplyDepositsUsingOldMethod(limitToComputeDate);
  c.ComputePenalty();
}

/// Flags: 0 the library chooses; bit 0 runs the old rule, bit 1 the new one.
/// Periods before 2002 always take the old rule; a tie keeps the new one.
template <class Form>
void ApplyIrsRule(Form& c, int flags, int limitToComputeDate) {
  const bool newRulePeriod = c.GetQuarter() >= kFirstNewRuleQuarter;
  double oldPenalty = 0.0;
  double newPenalty = 0.0;
  c.IRSDirection = 0;
  if (flags == 0 || (flags & 1) != 0 || !newRulePeriod) {
    RunOldRule(c, limitToComputeDate);
    oldPenalty = c.PenaltyTotal;
    c.IRSDirection = 1;
  }
  if ((flags == 0 || (flags & 2) != 0) && newRulePeriod) {
    c.InitLiabilities(1);
    c.ApplyDepositsUsingNewMethod(0);
    c.ComputePenalty();
    newPenalty = c.PenaltyTotal;
    c.IRSDirection += 2;
  }
  if (c.IRSDirection == 3) {
    if (newPenalty > oldPenalty) {
      RunOldRule(c, limitToComputeDate);
      c.IRSDirection = 1;
    } else {
      c.IRSDirection = 2;
    }
  }
}

// ---- the new rule: most recent ended period first ------------------------

struct NewRule {
  bool safeHarbor;       ///< catch-up liabilities compete; 98% pushes and undos
  bool periodEndIsPast;  ///< a period ending on the deposit day counts as ended
  bool cobraPayments;    ///< COBRA_PMT applied; COBRA credits numbered as deposits
};
constexpr NewRule kNewRule941{true, false, false};
constexpr NewRule kNewRule940{false, true, true};

struct Candidate {
  CLiability* liability = nullptr;
  int stop = 0;  ///< where the walk stopped (the slot count when it did not)
};

bool IsOpen(CLiability* liability) {
  return liability->RealBalance() > kAmountPresent;
}

bool CatchupStillOpen(CCompute& c, CLiability* liability) {
  CLiability* catchup = CatchupLiabilityOf(c, liability);
  return catchup != nullptr && catchup->RealBalance() >= 0.01;
}

/// The latest open liability whose deposit period ended before `paid`;
/// the walk stops at the first open one whose period has not.
Candidate LatestEndedLiability(CCompute& c, Date paid, const NewRule& rule) {
  Candidate found;
  int i = 0;
  for (; i < detail::RegularSlotCount(c); ++i) {
    CLiability* liability = c.Liabilities[i];
    if (liability == nullptr || !IsOpen(liability)) continue;
    const Date end = liability->GetPerEndDate();
    if (rule.periodEndIsPast ? end > paid : end >= paid) break;
    // A 98% liability competes only while its shortfall is still owed.
    if (!rule.safeHarbor || !liability->Applied98 || CatchupStillOpen(c, liability)) {
      found.liability = liability;
    }
  }
  found.stop = i;
  return found;
}

/// The last open catch-up liability due on or before `paid`.
Candidate LatestDueCatchup(CCompute& c, Date paid) {
  Candidate found;
  int i = 0;
  for (; i < detail::CatchupSlotCount(c); ++i) {
    CLiability* catchup = c.CatchupLiabilities[i];
    if (catchup == nullptr || catchup->Balance <= kAmountPresent) continue;
    if (catchup->Date > paid) break;
    found.liability = catchup;
  }
  found.stop = i;
  return found;
}

CLiability* FirstOpenLiabilityFrom(CCompute& c, int slot) {
  for (int i = slot; i < detail::RegularSlotCount(c); ++i) {
    if (c.Liabilities[i] != nullptr && IsOpen(c.Liabilities[i])) return c.Liabilities[i];
  }
  return nullptr;
}

CLiability* FirstOpenCatchupFrom(CCompute& c, int slot) {
  for (int i = slot; i < detail::CatchupSlotCount(c); ++i) {
    CLiability* catchup = c.CatchupLiabilities[i];
    if (catchup != nullptr && catchup->Balance > kAmountPresent) return catchup;
  }
  return nullptr;
}

/// The liability that the deposit of `paid` pays next, or null when the rest
/// of it finds nothing to pay.
CLiability* NewRuleTarget(CCompute& c, Date paid, const NewRule& rule) {
  const Candidate ended = LatestEndedLiability(c, paid, rule);
  const Candidate catchup = rule.safeHarbor ? LatestDueCatchup(c, paid) : Candidate{};
  if (ended.liability != nullptr && catchup.liability != nullptr) {
    return catchup.liability->Date >= ended.liability->GetPerEndDate() ? catchup.liability
                                                                       : ended.liability;
  }
  if (ended.liability != nullptr) return ended.liability;
  if (catchup.liability != nullptr) return catchup.liability;

  // No open period has ended yet: pay the earliest one still running.
  if (ended.stop >= detail::RegularSlotCount(c)) return nullptr;
  CLiability* next = FirstOpenLiabilityFrom(c, ended.stop);
  CLiability* nextCatchup = rule.safeHarbor ? FirstOpenCatchupFrom(c, catchup.stop) : nullptr;
  if (next != nullptr && nextCatchup != nullptr) {
    return nextCatchup->Date <= next->GetPerEndDate() ? nextCatchup : next;
  }
  return next != nullptr ? next : nextCatchup;
}

/// Applies every deposit by the new rule. Out of memory it stops at once,
/// leaving the liabilities in period-end order.
void ApplyByPeriodEnd(CCompute& c, const NewRule& rule) {
  c.SortLiabilities(0);
  Counters counters{1, 1};
  CLiability* last = nullptr;  // the liability the previous deposit finished on
  for (int i = 0; i < MaxEvents; ++i) {
    const Event& event = *c.GetEvent(i);
    if (!event.Date.IsValid() || !IsAppliedDeposit(event.Type, rule.cobraPayments)) continue;
    if (rule.safeHarbor && last != nullptr) PushIfPaidLate(c, last, event.Date);
    double remaining = event.Amount;
    while (remaining > kAmountPresent) {
      CLiability* target = NewRuleTarget(c, event.Date, rule);
      if (target == nullptr) {
        last = nullptr;  // the rest of this deposit stays unapplied
        break;
      }
      if (rule.safeHarbor && !target->Catchup && target->Applied98) c.Undo98(target);
      const double piece = std::min(remaining, target->Balance);
      if (RecordPiece(target, event, i, piece, counters) == nullptr) return;
      remaining -= piece;
      target->ComputeBalance();
      if (remaining <= kAmountPresent) last = target;
    }
    Count(counters, event.Type, rule.cobraPayments);
  }
  if (rule.safeHarbor && last != nullptr && last->Qualifies98()) c.PushToCatchup(last, 0.0);
  c.SortLiabilities(1);
}

// ---- the old rule, Form 941 family: liabilities in due-date order --------

class DueDateOrderWalk {
 public:
  DueDateOrderWalk(CCompute& c, int limitToComputeDate)
      : c_(c),
        limitToComputeDate_(limitToComputeDate),
        slots_(detail::RegularSlotCount(c)),
        catchupSlots_(detail::CatchupSlotCount(c)) {}

  void Run() {
    bool pastLastSlot = false;
    while (event_ < MaxEvents) {
      if (slot_ > slots_) {
        pastLastSlot = true;
        break;
      }
      const int k = FirstOpenCatchup();
      CLiability* catchup = k < catchupSlots_ ? c_.CatchupLiabilities[k] : nullptr;
      CLiability* liability = nullptr;
      if (slot_ < slots_) {
        liability = c_.Liabilities[slot_];
      } else {
        if (catchup == nullptr) break;
        liability = catchup;
        --slot_;  // come back to the same position afterwards
      }
      if (liability == nullptr || liability->Applied98) {
        ++slot_;
        continue;
      }
      // A catch-up liability due first is paid first; the regular one waits.
      if (catchup != nullptr && !liability->Catchup && catchup->Date <= liability->Date) {
        liability = catchup;
        --slot_;
      }
      const Outcome outcome = Pay(liability);
      if (outcome == Outcome::OutOfMemory) return;
      if (outcome == Outcome::NoDepositLeft && PushWhenQualified(liability)) {
        event_ = MaxEvents - 1;  // go on: the next liability meets the same end of the events
      }
      ++slot_;
    }
    if (!pastLastSlot) PushUnreachedSmallLiabilities();
    MoveLateMakeUpDates();
  }

 private:
  enum class Outcome { Settled, NoDepositLeft, OutOfMemory };

  int FirstOpenCatchup() const {
    int k = 0;
    while (k < catchupSlots_ && (c_.CatchupLiabilities[k] == nullptr ||
                                 c_.CatchupLiabilities[k]->Balance <= kAmountPresent)) {
      ++k;
    }
    return k;
  }

  bool PushWhenQualified(CLiability* liability) {
    if (!liability->Qualifies98()) return false;
    c_.PushToCatchup(liability, 0.0);
    return true;
  }

  int NextDepositSlot() const {
    int i = event_ + 1;
    while (i < MaxEvents && !IsAppliedDeposit(c_.GetEvent(i)->Type, false)) ++i;
    return i;
  }

  /// Pays the liability from the current remainder and the following
  /// deposits until it is settled or the deposits run out.
  Outcome Pay(CLiability* liability) {
    for (;;) {
      const double balance = liability->ComputeBalance();
      if (balance <= kAmountPresent) return Outcome::Settled;
      if (rest_ > kAmountPresent) {
        const Event& event = *c_.GetEvent(event_);
        if (PushIfPaidLate(c_, liability, event.Date)) continue;
        const double piece = std::min(rest_, balance);
        if (RecordPiece(liability, event, event_, piece, counters_) == nullptr) {
          return Outcome::OutOfMemory;
        }
        rest_ -= piece;
        continue;
      }
      const int next = NextDepositSlot();
      if (next >= MaxEvents) {
        event_ = MaxEvents;  // used up: the walk ends here unless the safe harbor carries it on
        return Outcome::NoDepositLeft;
      }
      const Event& event = *c_.GetEvent(next);
      const bool dated = event.Date.IsValid() && event.Type != -1;
      if (dated && PushIfPaidLate(c_, liability, event.Date)) continue;
      Count(counters_, event.Type, false);
      event_ = next;
      if (!dated) return Outcome::NoDepositLeft;
      if (limitToComputeDate_ != 0 && event.Date > c_.ComputeDate) {
        rest_ = 0.0;  // after the compute date: taken up, never applied
        return Outcome::Settled;
      }
      const double amount = event.Amount;
      const double piece = std::min(amount, balance);
      if (RecordPiece(liability, event, event_, piece, counters_) == nullptr) {
        return Outcome::OutOfMemory;
      }
      rest_ = amount - piece;
    }
  }

  /// Liabilities the deposits never reached go to catch-up when small.
  void PushUnreachedSmallLiabilities() {
    for (int i = std::max(slot_, 0); i < slots_; ++i) {
      CLiability* liability = c_.Liabilities[i];
      if (liability != nullptr && liability->Balance < 100.009) c_.PushToCatchup(liability, 0.0);
    }
  }

  /// A make-up date never falls after the return's due date (moved to a
  /// business day).
  void MoveLateMakeUpDates() {
    const Date returnDue = c_.DueDate();
    auto holidays = Holiday::Shared();
    Date latest = returnDue;
    latest.SkipToBusinessDay(holidays.get());
    for (int k = 0; k < catchupSlots_; ++k) {
      CLiability* catchup = c_.CatchupLiabilities[k];
      if (catchup == nullptr || catchup->Amount <= 0.0 || catchup->Date <= returnDue) continue;
      catchup->Date = latest;
      catchup->LiabilityDate = latest;
    }
  }

  CCompute& c_;
  const int limitToComputeDate_;
  const int slots_;
  const int catchupSlots_;
  int slot_ = 0;     ///< regular liability slot
  int event_ = -1;   ///< current deposit event (-1 none)
  double rest_ = 0;  ///< what the current deposit still has to give
  Counters counters_{0, 0};
};

}  // namespace

void C941Compute::ApplyDeposits(int flags, int limitToComputeDate) {
  ApplyIrsRule(*this, flags, limitToComputeDate);
}

void C940Compute::ApplyDeposits(int flags, int limitToComputeDate) {
  ApplyIrsRule(*this, flags, limitToComputeDate);
}

void C941Compute::ApplyDepositsUsingNewMethod(int /*unused*/) {
  ApplyByPeriodEnd(*this, kNewRule941);
}

void C940Compute::ApplyDepositsUsingNewMethod(int /*unused*/) {
  ApplyByPeriodEnd(*this, kNewRule940);
}

void C941Compute::ApplyDepositsUsingOldMethod(int limitToComputeDate) {
  DueDateOrderWalk(*this, limitToComputeDate).Run();
}

void C940Compute::ApplyDepositsUsingOldMethod(int limitToComputeDate) {
  Counters counters{0, 0};
  for (int i = 0; i < MaxEvents; ++i) {
    const Event& event = *GetEvent(i);
    if (event.EndsList()) break;
    if (!IsAppliedDeposit(event.Type, false)) continue;
    if (limitToComputeDate != 0 && event.Date > ComputeDate) continue;
    Count(counters, event.Type, true);
    double remaining = event.Amount;
    while (remaining > k940OldRemainder) {
      CLiability* liability = NextLiabilityDue();
      if (liability == nullptr) break;
      if (liability->Date > event.Date) EarlyDepositSeen = 1;
      const double piece = std::min(remaining, liability->Balance);
      if (RecordPiece(liability, event, i, piece, counters) == nullptr) break;
      // This rule keeps the balance by subtraction.
      liability->Balance = detail::Cents(liability->Balance - piece);
      remaining -= piece;
    }
  }
}

}  // namespace ledrix
