// The 98% / $100 safe harbor. A liability deposited on time and short by no
// more than the larger of $100 or 2% of it moves its shortfall ("pushes" it)
// to the catch-up liability of its month; the catch-up liability is paid by
// later deposits and priced against its own due date, the make-up date.
#include "allocation/safe_harbor.h"

#include <algorithm>
#include <limits>

#include "compute/liability_slots.h"
#include "compute/search_buffers.h"
#include "ledrix/compute.h"
#include "ledrix/liability.h"

namespace ledrix {

namespace {

/// 1 - 0.98 as the double nearest to it: the 2% allowance.
constexpr double kAllowanceFactor = 0.020000000000000018;
/// Rounding slack of the 2% test.
constexpr double kAllowanceSlack = 0.01;
/// A shortfall of $100 or less always qualifies.
constexpr double kSmallShortfall = 100.009;
/// Liabilities of $100 or less go to catch-up at once.
constexpr double kSmallLiability = 100.0;
/// An amount under a cent is gone.
constexpr double kCent = 0.01;

bool HasPieceAfterDueDate(const CLiability* liability) {
  for (const CDeposit* d = liability->Next; d != nullptr; d = d->Next) {
    if (d->Date > liability->Date) return true;
  }
  return false;
}

CDeposit* FirstPieceOfDeposit(const CLiability* liability, int depositNumber) {
  for (CDeposit* d = liability->Next; d != nullptr; d = d->Next) {
    if (d->DepositNumber == depositNumber) return d;
  }
  return nullptr;
}

/// Appends a copy of `piece` (all fields but the link) to the chain.
CDeposit* AppendCopy(CLiability* liability, const CDeposit* piece) {
  CDeposit* copy = liability->AddDeposit();
  if (copy == nullptr) return nullptr;
  *copy = *piece;
  copy->Next = nullptr;
  return copy;
}

/// The catch-up index of each regular liability, asked at most once while
/// the catch-up liabilities are tidied: that moves money between chains but
/// changes no slot, due date or period.
class CatchupIndexBySlot {
 public:
  explicit CatchupIndexBySlot(CCompute& c) : c_(c) {
    std::fill_n(index_, detail::RegularSlotCount(c), kUnknown);
  }
  int Of(int slot) {
    if (index_[slot] == kUnknown) index_[slot] = c_.CatchupIndex(c_.Liabilities[slot]);
    return index_[slot];
  }

 private:
  // Not a real index; were it ever the answer, it would only be asked again.
  static constexpr int kUnknown = std::numeric_limits<int>::min();
  CCompute& c_;
  int index_[MaxLiabilitySlots];
};

/// Gives money that catch-up liability `k` received through `piece` back to
/// the 98% liabilities of its month that the piece pays on time. With
/// `copyPieces`, a piece also lands as a copy on a liability it did not pay.
void ReturnPieceToLiabilities(CCompute& c, CatchupIndexBySlot& catchupIndex, int k,
                              CLiability* catchup, CDeposit* piece, bool copyPieces) {
  for (int i = 0; i < detail::RegularSlotCount(c) && c.Liabilities[i] != nullptr; ++i) {
    CLiability* liability = c.Liabilities[i];
    if (!liability->Applied98) continue;
    const int slot = catchupIndex.Of(i);
    if (slot < k) continue;
    if (slot > k) return;
    if (piece->Date > liability->Date) continue;

    double shortfall = detail::Cents(liability->Amount - liability->TotalPayments());
    if (CDeposit* same = FirstPieceOfDeposit(liability, piece->DepositNumber)) {
      const double moved = std::min(piece->Amount, shortfall);
      shortfall = detail::Cents(shortfall - moved);
      same->Amount = detail::Cents(same->Amount + moved);
      piece->Amount = detail::Cents(piece->Amount - moved);
      catchup->Amount = detail::Cents(catchup->Amount - moved);
    }
    if (shortfall < kCent) {
      liability->Applied98 = 0;
      continue;
    }
    if (piece->Amount < kCent) return;
    if (!copyPieces) continue;

    CDeposit* copy = AppendCopy(liability, piece);
    if (copy == nullptr) return;
    if (shortfall > piece->Amount) {
      shortfall = detail::Cents(shortfall - piece->Amount);
      catchup->Amount = detail::Cents(catchup->Amount - piece->Amount);
      piece->Amount = 0.0;
      if (shortfall < kCent) return;
    } else {
      catchup->Amount = detail::Cents(catchup->Amount - shortfall);
      piece->Amount = detail::Cents(piece->Amount - shortfall);
      copy->Amount = detail::Cents(shortfall);
      return;
    }
  }
}

/// Unlinks and frees the pieces of less than a cent.
void DropEmptyPieces(const CCompute& c, CLiability* catchup) {
  CDeposit* previous = catchup;
  while (CDeposit* piece = previous->Next) {
    if (piece->Amount < kCent) {
      previous->Next = piece->Next;
      FreePiece(c, piece);
    } else {
      previous = piece;
    }
  }
}

}  // namespace

CLiability* CatchupLiabilityOf(CCompute& compute, CLiability* liability) {
  const int k = compute.CatchupIndex(liability);
  if (k < 0 || k >= detail::CatchupSlotCount(compute)) return nullptr;
  return compute.CatchupLiabilities[k];
}

bool PushIfPaidLate(CCompute& compute, CLiability* liability, Date paid) {
  if (paid <= liability->Date || !liability->Qualifies98()) return false;
  compute.PushToCatchup(liability, 0.0);
  return liability->Applied98 != 0;
}

int CLiability::Qualifies98() {
  if (Catchup || Applied98) return 0;
  const CDeposit* last = GetFinalDeposit();
  if (last != nullptr && last->Date > Date) return 0;
  const double balance = RealBalance();
  const double base = GetNAAmount();  // the liability net of credits
  if (base < kAmountPresent || balance < kAmountPresent) return 0;
  if (base * kAllowanceFactor >= balance - kAllowanceSlack) return 1;
  return balance <= kSmallShortfall ? 1 : 0;
}

int SafeHarborRule(const CLiability* liability, bool paidAfterDue, double paid, double amount) {
  if (liability->Catchup || paidAfterDue) return 0;
  const double limit100 = liability->Amount - 100.0;
  const double limit98 = liability->Amount * 0.98;
  const double paidThen = paid + amount;
  if (paidThen < limit100 && paidThen < limit98) return 0;
  // Up to $5,000 the $100 rule allows more than 2%.
  return limit98 >= limit100 ? 100 : 98;
}

int C941Compute::CanDo98(CLiability* liability, Event* /*event*/, double amount) {
  if (liability->Catchup) return 0;
  // While an alternative extends the chain, its ledger knows what the chain
  // holds.
  if (const ChainLedger* chain = LedgerBeingExtended(*this, liability)) {
    return SafeHarborRule(liability, chain->paidAfterDue, chain->paid, amount);
  }
  return SafeHarborRule(liability, HasPieceAfterDueDate(liability), liability->TotalPayments(),
                        amount);
}

int C940Compute::CanDo98(CLiability* /*liability*/, Event* /*event*/, double /*amount*/) {
  return 0;
}

namespace {

/// The catch-up slot of a liability due on `due`: the months from the first
/// month of the period, the last slot taking every later month.
int CatchupSlotOfDueDate(CCompute& c, Date due) {
  // Each date taken apart once (month, day and year come from one reading).
  int month = 0;
  int day = 0;
  int year = 0;
  due.GetMDY(month, day, year);
  int startMonth = 0;
  int startYear = 0;
  c.FirstDayOfPeriod().GetMDY(startMonth, day, startYear);
  int months = month - startMonth;
  if (months < 0) months += 12;
  if (year != startYear) months += 12;
  return months >= c.CatchupSlots ? c.CatchupSlots - 1 : months;
}

}  // namespace

int CCompute::CatchupIndex(CLiability* liability) {
  const Date due = liability->Date;
  SearchBuffers* buffers = Buffers.get();
  // During a run of one of the library's own classes the first day of the
  // period and the slot count stay as they are: each due date is worked out
  // once.
  if (buffers == nullptr || !buffers->OwnRun) return CatchupSlotOfDueDate(*this, due);
  return buffers->CatchupSlotByDueDate.Of(due, [&] { return CatchupSlotOfDueDate(*this, due); });
}

void CCompute::PushToCatchup(CLiability* liability, double amount) {
  CLiability* catchup = CatchupLiabilityOf(*this, liability);
  if (catchup == nullptr) return;  // no catch-up liability: the shortfall stays unpaid here
  liability->Applied98 = 1;
  catchup->Amount = detail::Cents(catchup->Amount + (amount > 0.0 ? amount : liability->Balance));
  catchup->Balance = catchup->Amount;
  liability->Balance = 0.0;
}

void C940Compute::PushToCatchup(CLiability* /*liability*/, double /*amount*/) {}

void CCompute::Undo98(CLiability* liability) {
  if (!liability->Applied98) return;
  CLiability* catchup = CatchupLiabilityOf(*this, liability);
  if (catchup == nullptr) return;  // nothing was pushed anywhere to take back
  const double shortfall = liability->RealBalance();
  catchup->Amount = detail::Cents(catchup->Amount - shortfall);
  catchup->Balance = detail::Cents(catchup->Balance - shortfall);
  liability->Balance = detail::Cents(shortfall);
  liability->Applied98 = 0;
}

void CCompute::Push100PeriodAmounts() {
  for (int i = 0; i < detail::RegularSlotCount(*this); ++i) {
    CLiability* liability = Liabilities[i];
    if (liability != nullptr && liability->Amount <= kSmallLiability) {
      PushToCatchup(liability, 0.0);
    }
  }
}

void C940Compute::Push100PeriodAmounts() {}

void CAnnCompute::Push100PeriodAmounts() {}

void CCompute::RemoveExtraCUs() {
  CatchupIndexBySlot catchupIndex(*this);
  for (int pass = 0; pass < 2; ++pass) {
    for (int k = 0; k < detail::CatchupSlotCount(*this) && CatchupLiabilities[k] != nullptr; ++k) {
      CLiability* catchup = CatchupLiabilities[k];
      for (CDeposit* piece = catchup->Next; piece != nullptr; piece = piece->Next) {
        ReturnPieceToLiabilities(*this, catchupIndex, k, catchup, piece, pass == 1);
        if (piece->Amount < kCent) break;
      }
      DropEmptyPieces(*this, catchup);
    }
  }
}

}  // namespace ledrix
