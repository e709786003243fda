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
#include <bit>
#include <cstdint>
#include <iterator>
#include <vector>

#include "allocation/compute_scope.h"
#include "allocation/safe_harbor.h"
#include "compute/liability_cache.h"
#include "compute/liability_slots.h"
#include "compute/search_buffers.h"
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

/// The other strategy whose first pass uses the same window (and whose
/// passes use the same three windows), or the strategy itself.
int SameFirstPass(int strategy) {
  constexpr int kPartner[8] = {2, 4, 0, 5, 1, 3, 6, 7};
  return kPartner[strategy];
}

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

/// Still owed and not covered by the safe harbor, `paid` being the sum of
/// its chain.
bool IsOpen(const CLiability* liability, double paid) {
  return liability->Applied98 == 0 && paid < liability->Amount - 0.009;
}

/// Open, its chain added up.
bool IsOpen(const CLiability* liability) {
  return liability != nullptr && IsOpen(liability, liability->TotalPayments());
}

/// An open catch-up liability that deposits have not yet paid in full.
bool IsOpenCatchup(const CLiability* liability) {
  return IsOpen(liability) && liability->Amount > liability->TotalDeposits();
}

bool IsOpenCatchup(const ChainLedger& ledger) {
  const CLiability* catchup = ledger.liability;
  return catchup != nullptr && IsOpen(catchup, ledger.paid) && catchup->Amount > ledger.deposited;
}

/// The first of the slots 0 .. count - 1, in the given order, that `wanted`
/// accepts, or -1.
template <typename Predicate>
int FirstInScan(int count, bool fromLast, Predicate wanted) {
  for (int k = 0; k < count; ++k) {
    const int slot = fromLast ? count - 1 - k : k;
    if (wanted(slot)) return slot;
  }
  return -1;
}

/// The lateness window (on time, 1-5 or 6-15 days late) that d lies in for a
/// due date, or None: the first of the three in which InWindow holds.
Window WindowOf(int d, int due) {
  if (d <= due) return d > 1 ? Window::OnTime : Window::None;
  if (d <= due + 5) return Window::Late1To5;
  return d <= due + 15 ? Window::Late6To15 : Window::None;
}

/// A liability a search may pick, with the ledger of its chain: regular slot
/// j has ledger j, catch-up slot k ledger MaxLiabilitySlots + k.
struct Pick {
  CLiability* liability = nullptr;
  int ledger = -1;
};

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

  /// The slots of `slots[0 .. used)` that hold a liability.
  SlotList(CLiability* const* slots, int used) {
    for (int j = 0; j < used; ++j) {
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
  /// of the entries are dropped; true when entries moved.
  bool Compact() {
    for (; begin < end && entry[begin].slot < 0; ++begin) --dropped;
    for (; end > begin && entry[end - 1].slot < 0; --end) --dropped;
    if (dropped * 4 < end - begin) return false;
    end = static_cast<int>(
        std::remove_if(entry + begin, entry + end, [](const Entry& e) { return e.slot < 0; }) -
        entry);
    dropped = 0;
    return true;
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

/// An alternative's method index, decoded once for all its searches.
struct SearchPlan {
  AlternativeMethod how;
  const Window* windows;  ///< the window of each pass

  explicit SearchPlan(int method = 0)
      : how(DecodeMethod(method)), windows(PassWindows[how.strategy]) {}
};

/// The open regular liabilities a deposit dated d could pay, from one walk
/// over the slots in scan order: the first in each lateness window, and the
/// first open one in slot order (the fallback), each by its slot (-1: none).
/// Entries found closed are dropped from `slots` (compacted afterwards).
class RegularCandidates {
 public:
  /// Walks until the first pass is sure to succeed, or, in due-date order,
  /// until no other liability of the walk can change the outcome; else over
  /// every slot. `isOpen` tells whether the liability of a slot is open.
  template <class IsOpenSlot>
  RegularCandidates(SlotList& slots, bool fromLast, int d, const Window* passes, IsOpenSlot isOpen)
      : d_(d), fromLast_(fromLast), anyHolds_(InWindow(Window::Any, d, 0)) {
    const unsigned passMask = Bit(passes[0]) | Bit(passes[1]) | Bit(passes[2]);
    const int firstPass = Index(passes[0]);
    const bool sorted = slots.byDueDate;
    const auto notYetDue = [d](int due) { return due < d; };
    const auto tooLate = [d](int due) { return due + 15 < d; };
    const int first = slots.begin;
    const int last = slots.end;
    for (int k = 0; k < last - first; ++k) {
      const int position = fromLast ? last - 1 - k : first + k;
      const int slot = slots.entry[position].slot;
      if (slot < 0) continue;
      const int due = slots.entry[position].due;
      // Backwards, everything from here on is more than 15 days late: the
      // first open liability in slot order matters only when no pass succeeds.
      if (sorted && fromLast && tooLate(due) && (found_ & passMask) != 0) break;
      if (!isOpen(slot)) {
        slots.Drop(position);
        continue;
      }
      Note(slot, due);
      if (first_[firstPass] >= 0) break;  // the first pass succeeds
      if (!sorted) continue;
      if (!fromLast && due >= d) break;  // the rest is not late either: all is settled
      if (!fromLast && tooLate(due)) {
        // The first open liability is known; skip the others more than 15
        // days late.
        k = slots.FirstNotBefore(position + 1, last, tooLate) - first - 1;
      } else if (fromLast && due >= d && (found_ & passMask) != 0) {
        // The first liability on time is known; skip the others on time.
        k = last - slots.FirstNotBefore(first, position, notYetDue) - 1;
      }
    }
  }

  /// The first open liability of the scan for which d lies in `window`.
  int FirstIn(Window window) const { return first_[Index(window)]; }

  /// The first open liability in slot order (asked only when no pass found
  /// one, that is after a walk over every slot).
  int FirstInSlotOrder() const { return fromLast_ ? lastOpen_ : firstOpen_; }

 private:
  void Note(int slot, int due) {
    if (firstOpen_ < 0) {
      firstOpen_ = slot;
      if (anyHolds_) Found(Window::Any, slot);
    }
    lastOpen_ = slot;
    const Window window = WindowOf(d_, due);
    if (window != Window::None && first_[Index(window)] < 0) Found(window, slot);
  }

  void Found(Window window, int slot) {
    first_[Index(window)] = slot;
    found_ |= Bit(window);
  }

  static int Index(Window window) { return static_cast<int>(window); }
  static unsigned Bit(Window window) { return 1u << Index(window); }

  int d_;
  bool fromLast_;
  bool anyHolds_;                        ///< the deposit's date lies in the window "any"
  int first_[5] = {-1, -1, -1, -1, -1};  ///< by window; None stays -1
  unsigned found_ = 0;                   ///< the windows with a first liability
  int firstOpen_ = -1;
  int lastOpen_ = -1;
};

/// The liability an alternative gives (part of) a deposit dated d to, from
/// the regular candidates and the catch-up candidate.
inline Pick ChooseLiability(const SearchPlan& plan, int d, CLiability* const* liabilities,
                            const RegularCandidates& found, const Pick& catchup) {
  const AlternativeMethod& how = plan.how;
  for (int pass = 0; pass < PassCount; ++pass) {
    const int slot = found.FirstIn(plan.windows[pass]);
    if (slot < 0) continue;
    if (catchup.liability != nullptr &&
        CatchupWins(how, pass, d, liabilities[slot], catchup.liability)) {
      return catchup;
    }
    return {liabilities[slot], slot};
  }

  // No window fits: the first open liability in due-date order, unless a
  // catch-up liability is at most 15 days past its make-up date.
  const int slot = found.FirstInSlotOrder();
  if (catchup.liability != nullptr && (slot < 0 || d <= Due(catchup.liability) + 15)) {
    return catchup;
  }
  return slot < 0 ? Pick{} : Pick{liabilities[slot], slot};
}

/// While C941Compute::BestDepositApplication runs, what the searches of its
/// deposits and the pieces it appends share:
/// - a ledger of every liability's chain (last piece, running sums), opened
///   when the application starts. Only the application extends a chain while
///   it runs, and only through the ledger;
/// - the regular slots that may still hold an open liability. A liability
///   found closed stays closed until the application ends (pieces are only
///   added to open liabilities and Applied98 is only set), so each search
///   walks only the slots still worth testing. During a run of one of the
///   library's own classes a liability closes only when the application
///   extends its chain or pushes its shortfall, and it is dropped then: the
///   slots left are open without a test;
/// - the catch-up candidate of each scan order, found again only after the
///   application changed a catch-up liability (a piece applied to it, a push).
class ApplicationScope : public ComputeScope<ApplicationScope, CCompute> {
 public:
  ApplicationScope(CCompute& compute, ChainLedger* ledgers)
      : ComputeScope(compute),
        open_(compute.Liabilities, UsedRegularSlots(compute)),
        ledgers_(ledgers),
        ownSteps_(compute.Buffers != nullptr && compute.Buffers->OwnRun) {
    for (int k = open_.begin; k < open_.end; ++k) {
      const int slot = open_.entry[k].slot;
      ledgers_[slot].Read(compute.Liabilities[slot]);
      position_[slot] = static_cast<std::int16_t>(k);
      if (ownSteps_ && !IsOpenSlot(slot)) open_.Drop(k);
    }
    Compact();
    for (int k = 0; k < detail::CatchupSlotCount(compute); ++k) {
      ChainLedger& ledger = ledgers_[MaxLiabilitySlots + k];
      if (compute.CatchupLiabilities[k] != nullptr) {
        ledger.Read(compute.CatchupLiabilities[k]);
      } else {
        ledger = ChainLedger{};
      }
    }
  }

  SlotList& OpenSlots() { return open_; }

  /// Whether the object's steps are the library's own (then the slots left
  /// in the list are known to be open).
  bool OwnSteps() const { return ownSteps_; }

  /// Whether the liability of regular slot `slot` is open.
  bool IsOpenSlot(int slot) const { return IsOpen(ledgers_[slot].liability, ledgers_[slot].paid); }

  /// The liability the search of `plan` picks for a deposit dated d, from
  /// the slots still open and the catch-up candidate.
  Pick Choose(const SearchPlan& plan, int d) {
    const Pick catchup = CatchupCandidate(plan.how.catchupsFromLast);
    const bool known = ownSteps_;
    const RegularCandidates found(open_, plan.how.liabilitiesFromLast, d, plan.windows,
                                  [this, known](int slot) { return known || IsOpenSlot(slot); });
    Compact();
    const Pick pick = ChooseLiability(plan, d, Owner().Liabilities, found, catchup);
    if (twinCount_ > 0) CompareTwins(d, found, pick, plan.how.strategy);
    picked_ = pick.ledger;
    return pick;
  }

  /// Watches the alternatives that come after `alternative`, have no known
  /// result yet (`sameResultAs`, by method number) and differ from it only
  /// in the order the catch-up slots are scanned in, in the catch-up rule
  /// and in the order of the second and third pass. Their searches walk the
  /// same regular slots the same way and stop at the same place (the walk
  /// reads only the first pass's window and which of the three windows the
  /// passes use), so each choice of theirs follows from this one's
  /// candidates.
  void WatchTwins(int alternative, const int* sameResultAs) {
    const AlternativeMethod how = DecodeMethod(alternative);
    constexpr int kTwinBits = 1 | (7 << 3) | (3 << 6);
    for (const int strategy : {how.strategy, SameFirstPass(how.strategy)}) {
      for (int variant = 0; variant < 8; ++variant) {
        const int twin =
            (alternative & ~kTwinBits) | (variant & 1) | (strategy << 3) | ((variant >> 1) << 6);
        if (twin > alternative && sameResultAs[twin + 1] < 0) {
          twins_[twinCount_++] = {SearchPlan(twin), twin};
        }
      }
      if (SameFirstPass(how.strategy) == how.strategy) break;
    }
  }

  /// The watched alternatives that made every choice this one made: their
  /// allocations are this one's.
  template <class Named>
  void NameTwins(Named named) const {
    for (int k = 0; k < twinCount_; ++k) {
      if (twins_[k].same) named(twins_[k].alternative);
    }
  }

  /// The first open catch-up candidate in the scan order.
  Pick CatchupCandidate(bool fromLast) {
    if (!catchupsKnown_) {
      catchupsKnown_ = true;
      openCatchups_ = 0;
      for (int k = 0; k < detail::CatchupSlotCount(Owner()); ++k) RetestCatchup(k);
    }
    if (openCatchups_ == 0) return Pick{};
    const int k = fromLast ? std::bit_width(openCatchups_) - 1 : std::countr_zero(openCatchups_);
    return Pick{Owner().CatchupLiabilities[k], MaxLiabilitySlots + k};
  }

  /// The ledger of the chain a piece is to be appended to: that of the
  /// liability the search picked, else (a host's search) of the slot that
  /// holds it, else one opened for it alone.
  ChainLedger& LedgerOf(CLiability* liability) {
    extended_ =
        picked_ >= 0 && ledgers_[picked_].liability == liability ? picked_ : SlotOf(liability);
    if (extended_ < 0) {
      spare_.Read(liability);
      return spare_;
    }
    return ledgers_[extended_];
  }

  /// The ledger of the chain being extended, when it is that of `liability`.
  const ChainLedger* Extending(const CLiability* liability) const {
    const ChainLedger* ledger = extended_ >= 0 ? &ledgers_[extended_] : &spare_;
    return ledger->liability == liability ? ledger : nullptr;
  }

  /// After the chain was extended and the shortfall maybe pushed (`pushed`):
  /// a regular liability now closed leaves the open slots, and a change to a
  /// catch-up liability calls for new catch-up candidates.
  void Extended(bool pushed) {
    if (!ownSteps_) {
      if (pushed || extended_ >= MaxLiabilitySlots) catchupsKnown_ = false;
      return;
    }
    // Only the liability extended and the catch-up liability its shortfall
    // went to have changed.
    if (extended_ >= MaxLiabilitySlots) RetestCatchup(extended_ - MaxLiabilitySlots);
    if (extended_ < 0 || extended_ >= MaxLiabilitySlots) return;
    if (pushed) RetestCatchup(Owner().CatchupIndex(ledgers_[extended_].liability));
    if (IsOpenSlot(extended_)) return;
    open_.Drop(position_[extended_]);
    Compact();
  }

 private:
  /// Drops trimmed off the slot list and, now and then, its gaps closed (the
  /// entries' places noted again).
  void Compact() {
    if (open_.dropped == 0 || !open_.Compact()) return;
    for (int k = open_.begin; k < open_.end; ++k) {
      position_[open_.entry[k].slot] = static_cast<std::int16_t>(k);
    }
  }
  int SlotOf(const CLiability* liability) const {
    const CCompute& c = Owner();
    for (int j = 0; j < detail::RegularSlotCount(c); ++j) {
      if (c.Liabilities[j] == liability) return j;
    }
    for (int k = 0; k < detail::CatchupSlotCount(c); ++k) {
      if (c.CatchupLiabilities[k] == liability) return MaxLiabilitySlots + k;
    }
    return -1;
  }

  /// Notes whether catch-up slot k (if there is one) holds an open candidate.
  void RetestCatchup(int k) {
    if (!catchupsKnown_ || k < 0 || k >= detail::CatchupSlotCount(Owner())) return;
    const std::uint32_t bit = 1u << k;
    openCatchups_ =
        IsOpenCatchup(ledgers_[MaxLiabilitySlots + k]) ? openCatchups_ | bit : openCatchups_ & ~bit;
  }

  /// Drops the watched twins whose choice for this deposit would differ.
  void CompareTwins(int d, const RegularCandidates& found, const Pick& pick, int strategy) {
    const Pick first = CatchupCandidate(false);
    const Pick last = CatchupCandidate(true);
    // Without a catch-up candidate every rule and scan order picks the same.
    const bool noCatchup = first.liability == nullptr && last.liability == nullptr;
    for (int k = 0; k < twinCount_; ++k) {
      Twin& twin = twins_[k];
      if (!twin.same || (noCatchup && twin.plan.how.strategy == strategy)) continue;
      const Pick catchup = twin.plan.how.catchupsFromLast ? last : first;
      twin.same = ChooseLiability(twin.plan, d, Owner().Liabilities, found, catchup).liability ==
                  pick.liability;
    }
  }

  struct Twin {
    SearchPlan plan;
    int alternative;
    bool same = true;
  };

  SlotList open_;
  ChainLedger* ledgers_;
  bool ownSteps_;  ///< the object's steps are the library's own
  Twin twins_[16];
  int twinCount_ = 0;
  std::int16_t position_[MaxLiabilitySlots];  ///< of each open slot in open_
  ChainLedger spare_;
  int picked_ = -1;
  int extended_ = -1;
  bool catchupsKnown_ = false;
  std::uint32_t openCatchups_ = 0;  ///< a bit for each open catch-up candidate
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

/// The amount a deposit may still pay under the 98% / $100 limit `rule`,
/// `paid` being the sum of the liability's chain.
double OpenUnderSafeHarborLimit(const CLiability* liability, double paid, int rule) {
  const double limit = rule == 98 ? liability->Amount * 0.98 : liability->Amount - 100.0;
  const double open = limit - paid;
  return detail::Cents(open < 0.0 ? 0.0 : open);
}

}  // namespace

const ChainLedger* LedgerBeingExtended(const CCompute& compute, const CLiability* liability) {
  const ApplicationScope* scope = ApplicationScope::For(compute);
  return scope != nullptr ? scope->Extending(liability) : nullptr;
}

void C941Compute::BestDepositApplication(int method, int /*unused*/) {
  const SearchPlan plan(method);
  const AlternativeMethod& how = plan.how;
  Event* const events = GetEvents();
  SearchBuffers* const buffers = BuffersOf(*this);
  // Without memory for the ledgers no piece could be made either.
  if (events == nullptr || buffers == nullptr) return;
  DepositCounters counters =
      how.eventsFromLast ? DepositCounters::ForReverseOrder(events) : DepositCounters{};
  ApplicationScope scope(*this, buffers->Ledgers);
  // In a search, the later alternatives that make the same choices take
  // this one's result.
  const bool sharing = scope.OwnSteps() && buffers->SharingMethod == method + 1;
  if (sharing) scope.WatchTwins(method, buffers->SameResultAs);
  const EventSlots visited(*this);
  for (int k = 0; k < visited.Count(); ++k) {
    const int slot = visited.At(how.eventsFromLast ? visited.Count() - 1 - k : k);
    Event* event = events + slot;
    if (!event->Date.IsValid() || event->Type == -1 || !IsAppliedByAlternatives(event->Type)) {
      continue;
    }
    double remaining = event->Amount;
    while (remaining > 0.005 && how.strategy != NotImplementedStrategy) {
      // The library's own steps are called directly, a host's through the
      // virtual operations.
      CLiability* liability = scope.OwnSteps() ? scope.Choose(plan, event->Date.Serial).liability
                                               : FindBestLiability1(event, method);
      if (liability == nullptr) break;
      CDeposit* piece = NewPiece(*this);
      if (piece == nullptr) return;
      piece->EventType = event->Type;
      piece->Date = event->Date;
      piece->EventIndex = slot;
      piece->DepositNumber = counters.deposit;
      piece->PaymentNumber = counters.payment;
      ChainLedger& chain = scope.LedgerOf(liability);
      chain.Append(piece);

      // The new piece counts for nothing yet: its amount is 0.
      double open = liability->Balance - chain.deposited;
      const int rule = scope.OwnSteps()
                           ? SafeHarborRule(liability, chain.paidAfterDue, chain.paid, remaining)
                           : CanDo98(liability, event, remaining);
      if (rule != 0) open = OpenUnderSafeHarborLimit(liability, chain.paid, rule);
      if (remaining > open) {
        piece->Amount = detail::Cents(open);
        piece->Balance = 0.0;
        remaining -= open;
        if (rule != 0) liability->Applied98 = 1;
      } else {
        piece->Amount = detail::Cents(remaining);
        piece->Balance = detail::Cents(open - remaining);
        remaining = 0.0;
      }
      chain.Counted(*piece, true);  // DEPOSIT, COBRA_QTR and PAYMENT are of the deposit class
      bool pushed = false;
      if (rule != 0) {
        // The part the deposit may leave unpaid moves to the catch-up liability.
        const double shortfall = liability->Balance - chain.deposited;
        if (shortfall > 0.0) {
          PushToCatchup(liability, shortfall);
          pushed = true;
        }
      }
      scope.Extended(pushed);
      // A liability that can take nothing more would be chosen again and
      // again (its balance says paid while its chain says open): the rest of
      // the deposit stays unapplied.
      if (rule == 0 && open <= 0.0) break;
    }
    counters.Passed(event->Type);
  }
  if (sharing) scope.NameTwins([&](int twin) { buffers->SameResultAs[twin + 1] = method + 1; });
}

CLiability* C941Compute::FindBestLiability1(Event* deposit, int method) {
  const SearchPlan plan(method);
  const int d = deposit->Date.Serial;
  if (ApplicationScope* scope = ApplicationScope::For(*this))
    return scope->Choose(plan, d).liability;
  // Asked outside an application: every chain is added up.
  SlotList every(Liabilities, UsedRegularSlots(*this));
  const RegularCandidates found(every, plan.how.liabilitiesFromLast, d, plan.windows,
                                [this](int slot) { return IsOpen(Liabilities[slot]); });
  const int k = FirstInScan(detail::CatchupSlotCount(*this), plan.how.catchupsFromLast,
                            [this](int k) { return IsOpenCatchup(CatchupLiabilities[k]); });
  const Pick catchup = k < 0 ? Pick{} : Pick{CatchupLiabilities[k], MaxLiabilitySlots + k};
  return ChooseLiability(plan, d, Liabilities, found, catchup).liability;
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

namespace {

/// The number of pieces in the liability's chain and the sum of their
/// amounts (TotalPayments), from one walk.
struct ChainCount {
  int pieces = 0;
  double paid = 0.0;

  explicit ChainCount(const CLiability& liability) {
    for (const CDeposit* d = liability.Next; d != nullptr; d = d->Next) {
      ++pieces;
      paid += d->Amount;
    }
  }
};

}  // namespace

int CCompute::ComputeComplexity() {
  int complexity = 0;
  for (int i = 0; i < detail::RegularSlotCount(*this) && Liabilities[i] != nullptr; ++i) {
    const CLiability* liability = Liabilities[i];
    const ChainCount chain(*liability);
    complexity += chain.pieces;
    if (liability->Applied98 != 0 || detail::Cents(liability->Amount - chain.paid) != 0.0) ++complexity;
  }
  for (int k = 0; k < detail::CatchupSlotCount(*this) && CatchupLiabilities[k] != nullptr; ++k) {
    const CLiability* catchup = CatchupLiabilities[k];
    if (catchup->Amount == 0.0) continue;
    const ChainCount chain(*catchup);
    complexity += 2 + chain.pieces;
    if (detail::Cents(catchup->Amount - chain.paid) != 0.0) ++complexity;
  }
  return complexity;
}

}  // namespace ledrix
