// Alternative deposit allocations: the 256 ways a taxpayer who designates
// deposits might divide them among the liabilities, each named by a method
// index whose bits choose the scan orders, the preferred lateness windows and
// how catch-up liabilities compete with regular ones.
//
//   bit 0    catch-up slots scanned from the last     (else from the first)
//   bit 1    regular slots scanned from the last      (else from the first)
//   bit 2    deposits applied from the last event     (else from the first)
//   bits 3-5 strategy: the order of the three lateness windows (7: none)
//   bits 6-7 catch-up rule: when a catch-up liability beats the one found
//
// Dates are compared as unsigned 16-bit serials widened to int, so "due date
// + 15" never wraps and a liability without a due date (65535) lies after
// every deposit.
#include <algorithm>
#include <cstdint>
#include <iterator>
#include <vector>

#include "allocation/compute_scope.h"
#include "allocation/safe_harbor.h"
#include "compute/liability_cache.h"
#include "compute/liability_slots.h"
#include "ledrix/compute.h"
#include "ledrix/events.h"
#include "ledrix/liability.h"

namespace ledrix {
namespace {

/// The fields of an alternative's method index.
struct AlternativeMethod {
  bool catchupsFromLast;
  bool liabilitiesFromLast;
  bool eventsFromLast;
  int strategy;
  int catchupRule;
};

AlternativeMethod DecodeMethod(int method) {
  return {(method & 1) != 0, (method & 2) != 0, (method & 4) != 0, (method >> 3) & 7,
          (method >> 6) & 3};
}

constexpr int NotImplementedStrategy = 7;
constexpr int PassCount = 3;

/// How late a deposit dated d is against a due date D.
enum class Window { OnTime, Late1To5, Late6To15, Any, None };

bool InWindow(Window window, int d, int due) {
  switch (window) {
    case Window::OnTime:
      return 1 < d && d <= due;
    case Window::Late1To5:
      return due < d && d <= due + 5;
    case Window::Late6To15:
      return due + 5 < d && d <= due + 15;
    case Window::Any:
      return 1 < d && d <= 65534;
    case Window::None:
      return false;
  }
  return false;
}

/// The window of each pass, by strategy. Strategy 7 is not implemented: it
/// has no window, so only the fallback answers for it.
constexpr Window PassWindows[8][PassCount] = {
    {Window::OnTime, Window::Late1To5, Window::Late6To15},
    {Window::Late1To5, Window::OnTime, Window::Late6To15},
    {Window::OnTime, Window::Late6To15, Window::Late1To5},
    {Window::Late6To15, Window::OnTime, Window::Late1To5},
    {Window::Late1To5, Window::Late6To15, Window::OnTime},
    {Window::Late6To15, Window::Late1To5, Window::OnTime},
    {Window::Any, Window::Any, Window::Any},
    {Window::None, Window::None, Window::None},
};

/// Catch-up rule 1: when the catch-up liability is preferred, by strategy and
/// by the pass that found the regular liability.
enum class CatchupTest {
  CatchupDueFirst,        // D(C) <= D(L)
  CatchupDueWithin5,      // D(C) <= D(L) + 5
  OnTimeForCatchup,       // d <= D(C)
  AtMost5LateForCatchup,  // d <= D(C) + 5
  Always,
};

constexpr CatchupTest RuleOneTests[7][PassCount] = {
    {CatchupTest::CatchupDueFirst, CatchupTest::OnTimeForCatchup,
     CatchupTest::AtMost5LateForCatchup},
    {CatchupTest::CatchupDueFirst, CatchupTest::OnTimeForCatchup,
     CatchupTest::AtMost5LateForCatchup},
    {CatchupTest::CatchupDueFirst, CatchupTest::AtMost5LateForCatchup,
     CatchupTest::AtMost5LateForCatchup},
    {CatchupTest::CatchupDueWithin5, CatchupTest::OnTimeForCatchup,
     CatchupTest::AtMost5LateForCatchup},
    {CatchupTest::CatchupDueFirst, CatchupTest::AtMost5LateForCatchup,
     CatchupTest::OnTimeForCatchup},
    {CatchupTest::CatchupDueWithin5, CatchupTest::OnTimeForCatchup, CatchupTest::OnTimeForCatchup},
    {CatchupTest::Always, CatchupTest::Always, CatchupTest::Always},
};

bool Holds(CatchupTest test, int d, int regularDue, int catchupDue) {
  switch (test) {
    case CatchupTest::CatchupDueFirst:
      return catchupDue <= regularDue;
    case CatchupTest::CatchupDueWithin5:
      return catchupDue <= regularDue + 5;
    case CatchupTest::OnTimeForCatchup:
      return d <= catchupDue;
    case CatchupTest::AtMost5LateForCatchup:
      return d <= catchupDue + 5;
    case CatchupTest::Always:
      return true;
  }
  return false;
}

int Due(const CLiability* liability) {
  return liability->Date.Serial;
}

/// Whether the catch-up liability takes the deposit instead of the regular
/// liability a pass found.
bool CatchupWins(const AlternativeMethod& how, int pass, int d, const CLiability* regular,
                 const CLiability* catchup) {
  switch (how.catchupRule) {
    case 1:
      return Holds(RuleOneTests[how.strategy][pass], d, Due(regular), Due(catchup));
    case 2:
      return Due(catchup) <= Due(regular);
    case 3:
      return InWindow(PassWindows[how.strategy][pass], d, Due(catchup));
    default:
      return false;
  }
}

/// Still owed and not covered by the safe harbor.
bool IsOpen(const CLiability* liability) {
  if (liability == nullptr || liability->Applied98 != 0) return false;
  // Most catch-up liabilities have nothing applied yet: no chain to add up.
  const double paid = liability->Next == nullptr ? 0.0 : liability->TotalPayments();
  return paid < liability->Amount - 0.009;
}

/// An open catch-up liability that deposits have not yet paid in full.
bool IsOpenCatchup(const CLiability* liability) {
  return IsOpen(liability) && liability->Amount > liability->TotalDeposits();
}

/// The first slot of `slots[0 .. count)` in the given order that satisfies
/// `wanted`, or null.
template <typename Predicate>
CLiability* FirstInScan(CLiability* const* slots, int count, bool fromLast, Predicate wanted) {
  for (int k = 0; k < count; ++k) {
    CLiability* liability = slots[fromLast ? count - 1 - k : k];
    if (wanted(liability)) return liability;
  }
  return nullptr;
}

/// The lateness window (on time, 1-5 or 6-15 days late) that d lies in for a
/// due date, or None.
Window WindowOf(int d, int due) {
  for (Window window : {Window::OnTime, Window::Late1To5, Window::Late6To15}) {
    if (InWindow(window, d, due)) return window;
  }
  return Window::None;
}

/// The regular slots a search walks, in slot order, with their due dates.
/// An entry whose liability was found closed is dropped (slot -1, due kept).
struct SlotList {
  struct Entry {
    std::int16_t slot;
    std::uint16_t due;
  };
  Entry entry[MaxLiabilitySlots];
  int begin = 0;  ///< the entries in use: [begin, end)
  int end = 0;
  int dropped = 0;        ///< dropped entries inside [begin, end)
  bool byDueDate = true;  ///< the due dates never decrease along the list

  /// The slots of `slots[0 .. slotCount)` that hold a liability.
  SlotList(CLiability* const* slots, int slotCount) {
    slotCount = OccupiedEnd(slots, slotCount);
    for (int j = 0; j < slotCount; ++j) {
      if (slots[j] == nullptr) continue;
      const auto due = static_cast<std::uint16_t>(Due(slots[j]));
      if (end > 0 && due < entry[end - 1].due) byDueDate = false;
      entry[end++] = {static_cast<std::int16_t>(j), due};
    }
  }

  void Drop(int position) {
    entry[position].slot = -1;
    ++dropped;
  }

  /// Trims dropped entries off both ends, and closes the gaps once a quarter
  /// of the entries are dropped.
  void Compact() {
    for (; begin < end && entry[begin].slot < 0; ++begin) --dropped;
    for (; end > begin && entry[end - 1].slot < 0; --end) --dropped;
    if (dropped * 4 < end - begin) return;
    end = static_cast<int>(
        std::remove_if(entry + begin, entry + end, [](const Entry& e) { return e.slot < 0; }) -
        entry);
    dropped = 0;
  }

  /// The first position of [from, to) whose due date is not `before` d, in
  /// due-date order.
  template <typename Before>
  int FirstNotBefore(int from, int to, Before before) const {
    return static_cast<int>(
        std::partition_point(entry + from, entry + to,
                             [&](const Entry& e) { return before(static_cast<int>(e.due)); }) -
        entry);
  }
};

/// While C941Compute::BestDepositApplication runs, what the searches of its
/// deposits share:
/// - the regular slots that may still hold an open liability. A liability
///   found closed stays closed until the application ends (pieces are only
///   added to open liabilities and Applied98 is only set), so each search
///   walks only the slots still worth testing;
/// - the catch-up candidate of each scan order, found again only after the
///   application changed a catch-up liability (a piece applied to it, a push).
class OpenSlotScope : public ComputeScope<OpenSlotScope, const CCompute> {
 public:
  explicit OpenSlotScope(const CCompute& compute)
      : ComputeScope(compute), open_(compute.Liabilities, detail::RegularSlotCount(compute)) {}

  SlotList& OpenSlots() { return open_; }

  CLiability* CatchupCandidate(bool fromLast) {
    const int order = fromLast ? 1 : 0;
    if (!catchupKnown_[order]) {
      catchup_[order] = FirstInScan(Owner().CatchupLiabilities, detail::CatchupSlotCount(Owner()),
                                    fromLast, IsOpenCatchup);
      catchupKnown_[order] = true;
    }
    return catchup_[order];
  }

  void CatchupsChanged() { catchupKnown_[0] = catchupKnown_[1] = false; }

 private:
  SlotList open_;
  bool catchupKnown_[2] = {};
  CLiability* catchup_[2] = {};
};

/// The open regular liabilities a deposit dated d could pay, from one walk
/// over the slots in scan order: the first in each lateness window, and the
/// first open one in slot order (the fallback). Entries found closed are
/// dropped from `slots`.
class RegularCandidates {
 public:
  /// Walks until the first pass is sure to succeed, or, in due-date order,
  /// until no other liability of the walk can change the outcome; else over
  /// every slot.
  RegularCandidates(CLiability* const* liabilities, SlotList& slots, bool fromLast, int d,
                    const Window* passes)
      : d_(d), fromLast_(fromLast) {
    const bool sorted = slots.byDueDate;
    const auto notYetDue = [d](int due) { return due < d; };
    const auto tooLate = [d](int due) { return due + 15 < d; };
    const int first = slots.begin;
    const int last = slots.end;
    for (int k = 0; k < last - first; ++k) {
      const int position = fromLast ? last - 1 - k : first + k;
      if (slots.entry[position].slot < 0) continue;
      CLiability* liability = liabilities[slots.entry[position].slot];
      const int due = Due(liability);
      // Backwards, everything from here on is more than 15 days late: the
      // first open liability in slot order matters only when no pass succeeds.
      if (sorted && fromLast && tooLate(due) && AnyPassSucceeds(passes)) break;
      if (!IsOpen(liability)) {
        slots.Drop(position);
        continue;
      }
      Note(liability, due);
      if (FirstIn(passes[0]) != nullptr) break;  // the first pass succeeds
      if (!sorted) continue;
      if (!fromLast && due >= d) break;  // the rest is not late either: all is settled
      if (!fromLast && tooLate(due)) {
        // The first open liability is known; skip the others more than 15
        // days late.
        k = slots.FirstNotBefore(position + 1, last, tooLate) - first - 1;
      } else if (fromLast && due >= d && AnyPassSucceeds(passes)) {
        // The first liability on time is known; skip the others on time.
        k = last - slots.FirstNotBefore(first, position, notYetDue) - 1;
      }
    }
    slots.Compact();
  }

  /// The first open liability of the scan for which d lies in `window`.
  CLiability* FirstIn(Window window) const {
    switch (window) {
      case Window::Any:
        return InWindow(Window::Any, d_, 0) ? firstOpen_ : nullptr;
      case Window::None:
        return nullptr;
      default:
        return firstIn_[Index(window)];
    }
  }

  /// The first open liability in slot order (asked only when no pass found
  /// one, that is after a walk over every slot).
  CLiability* FirstInSlotOrder() const { return fromLast_ ? lastOpen_ : firstOpen_; }

 private:
  void Note(CLiability* liability, int due) {
    if (firstOpen_ == nullptr) firstOpen_ = liability;
    lastOpen_ = liability;
    const Window window = WindowOf(d_, due);
    if (window != Window::None && firstIn_[Index(window)] == nullptr) {
      firstIn_[Index(window)] = liability;
    }
  }

  bool AnyPassSucceeds(const Window* passes) const {
    return std::any_of(passes, passes + PassCount,
                       [this](Window window) { return FirstIn(window) != nullptr; });
  }

  static int Index(Window window) { return static_cast<int>(window); }

  int d_;
  bool fromLast_;
  CLiability* firstIn_[3] = {};
  CLiability* firstOpen_ = nullptr;
  CLiability* lastOpen_ = nullptr;
};

bool IsAppliedByAlternatives(int type) {
  return type == DEPOSIT || type == COBRA_QTR || type == PAYMENT;
}

/// Running numbers of the deposits and payments, kept so that each carries
/// its ordinal number among its kind whichever way the events are visited.
struct DepositCounters {
  int deposit = 1;
  int payment = 1;
  int step = 1;

  /// Reverse order starts from the totals of the list and counts down.
  static DepositCounters ForReverseOrder(const Event* events) {
    DepositCounters counters{0, 0, -1};
    for (int i = 0; i < MaxEvents && !events[i].EndsList(); ++i) {
      if (events[i].Type == DEPOSIT) ++counters.deposit;
      if (events[i].Type == PAYMENT) ++counters.payment;
    }
    return counters;
  }

  void Passed(int type) {
    if (type == DEPOSIT) deposit += step;
    if (type == PAYMENT) payment += step;
  }
};

/// The event slots an application visits, in slot order: every slot of the
/// array, or, while the liability cache is current, only those holding a
/// dated event (the others are skipped anyway).
class EventSlots {
 public:
  explicit EventSlots(const CCompute& compute)
      : dated_(compute.UseLiabilityCache && compute.CachedLiabilities != nullptr
                   ? compute.CachedLiabilities->DatedEventSlots(compute)
                   : nullptr) {}
  int Count() const { return dated_ != nullptr ? static_cast<int>(dated_->size()) : MaxEvents; }
  int At(int k) const { return dated_ != nullptr ? (*dated_)[static_cast<size_t>(k)] : k; }

 private:
  const std::vector<std::int16_t>* dated_;
};

bool IsCatchupOf(const CCompute& compute, const CLiability* liability) {
  return std::find(std::begin(compute.CatchupLiabilities), std::end(compute.CatchupLiabilities),
                   liability) != std::end(compute.CatchupLiabilities);
}

/// The amount a deposit may still pay under the 98% / $100 limit `rule`.
double OpenUnderSafeHarborLimit(const CLiability* liability, int rule) {
  const double limit = rule == 98 ? liability->Amount * 0.98 : liability->Amount - 100.0;
  const double open = limit - liability->TotalPayments();
  return Cents(open < 0.0 ? 0.0 : open);
}

}  // namespace

void C941Compute::BestDepositApplication(int method, int /*unused*/) {
  const AlternativeMethod how = DecodeMethod(method);
  Event* const events = GetEvents();
  if (events == nullptr) return;
  DepositCounters counters =
      how.eventsFromLast ? DepositCounters::ForReverseOrder(events) : DepositCounters{};
  OpenSlotScope scope(*this);
  const EventSlots visited(*this);
  for (int k = 0; k < visited.Count(); ++k) {
    const int slot = visited.At(how.eventsFromLast ? visited.Count() - 1 - k : k);
    Event* event = events + slot;
    if (!event->Date.IsValid() || event->Type == -1 || !IsAppliedByAlternatives(event->Type)) {
      continue;
    }
    double remaining = event->Amount;
    while (remaining > 0.005 && how.strategy != NotImplementedStrategy) {
      CLiability* liability = FindBestLiability1(event, method);
      if (liability == nullptr) break;
      CDeposit* piece = liability->AddDeposit();
      if (piece == nullptr) return;
      piece->EventType = event->Type;
      piece->Date = event->Date;
      piece->EventIndex = slot;
      piece->DepositNumber = counters.deposit;
      piece->PaymentNumber = counters.payment;

      double open = liability->Balance - liability->TotalDeposits();
      const int rule = CanDo98(liability, event, remaining);
      if (rule != 0) open = OpenUnderSafeHarborLimit(liability, rule);
      if (remaining > open) {
        piece->Amount = Cents(open);
        piece->Balance = 0.0;
        remaining -= open;
        if (rule != 0) liability->Applied98 = 1;
      } else {
        piece->Amount = Cents(remaining);
        piece->Balance = Cents(open - remaining);
        remaining = 0.0;
      }
      bool catchupsChanged = IsCatchupOf(*this, liability);
      if (rule != 0) {
        // The part the deposit may leave unpaid moves to the catch-up liability.
        const double shortfall = liability->Balance - liability->TotalDeposits();
        if (shortfall > 0.0) {
          PushToCatchup(liability, shortfall);
          catchupsChanged = true;
        }
      }
      if (catchupsChanged) scope.CatchupsChanged();
      // A liability that can take nothing more would be chosen again and
      // again (its balance says paid while its chain says open): the rest of
      // the deposit stays unapplied.
      if (rule == 0 && open <= 0.0) break;
    }
    counters.Passed(event->Type);
  }
}

CLiability* C941Compute::FindBestLiability1(Event* deposit, int method) {
  const AlternativeMethod how = DecodeMethod(method);
  const int d = deposit->Date.Serial;
  OpenSlotScope* scope = OpenSlotScope::For(*this);
  CLiability* catchup = scope != nullptr
                            ? scope->CatchupCandidate(how.catchupsFromLast)
                            : FirstInScan(CatchupLiabilities, detail::CatchupSlotCount(*this),
                                          how.catchupsFromLast, IsOpenCatchup);
  const Window* windows = PassWindows[how.strategy];
  SlotList every(Liabilities, scope != nullptr ? 0 : detail::RegularSlotCount(*this));
  const RegularCandidates found(Liabilities, scope != nullptr ? scope->OpenSlots() : every,
                                how.liabilitiesFromLast, d, windows);

  for (int pass = 0; pass < PassCount; ++pass) {
    CLiability* regular = found.FirstIn(windows[pass]);
    if (regular == nullptr) continue;
    if (catchup != nullptr && CatchupWins(how, pass, d, regular, catchup)) return catchup;
    return regular;
  }

  // No window fits: the first open liability in due-date order, unless a
  // catch-up liability is at most 15 days past its make-up date.
  CLiability* first = found.FirstInSlotOrder();
  if (catchup != nullptr && (first == nullptr || d <= Due(catchup) + 15)) return catchup;
  return first;
}

CLiability* C941Compute::FindBestLiability2(Event*, int) {
  return nullptr;
}
CLiability* C941Compute::FindBestLiability3(Event*, int) {
  return nullptr;
}
CLiability* C941Compute::FindBestLiability4(Event*, int) {
  return nullptr;
}
CLiability* C941Compute::FindBestLiability5(Event*, int) {
  return nullptr;
}
CLiability* C941Compute::FindBestLiability6(Event*, int) {
  return nullptr;
}
CLiability* C941Compute::FindBestLiability7(Event*, int) {
  return nullptr;
}
CLiability* C941Compute::FindBestLiability8(Event*, int) {
  return nullptr;
}
CLiability* C941Compute::FindBestLiability9(Event*, int) {
  return nullptr;
}
CLiability* C941Compute::FindBestLiability10(Event*, int) {
  return nullptr;
}

int CCompute::ComputeComplexity() {
  int complexity = 0;
  for (int i = 0; i < detail::RegularSlotCount(*this) && Liabilities[i] != nullptr; ++i) {
    CLiability* liability = Liabilities[i];
    complexity += liability->DepositCount();
    if (liability->Applied98 != 0 || Cents(liability->Amount - liability->TotalPayments()) != 0.0) {
      ++complexity;
    }
  }
  for (int k = 0; k < detail::CatchupSlotCount(*this) && CatchupLiabilities[k] != nullptr; ++k) {
    CLiability* catchup = CatchupLiabilities[k];
    if (catchup->Amount == 0.0) continue;
    complexity += 2 + catchup->DepositCount();
    if (Cents(catchup->Amount - catchup->TotalPayments()) != 0.0) ++complexity;
  }
  return complexity;
}

}  // namespace ledrix
