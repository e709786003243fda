// Liability building: the cumulation of the period's events into one
// liability per day, the credits set against them, and the slot operations
// (pack, sort, search, merge, free).
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <memory>
#include <new>
#include <utility>

#include "compute/liability_cache.h"
#include "compute/liability_slots.h"
#include "compute/period_rules.h"
#include "compute/search_buffers.h"
#include "dates/rounding.h"
#include "ledrix/compute.h"
#include "ledrix/events.h"

namespace ledrix {

using detail::CatchupSlotCount;
using detail::FirstEventDate;
using detail::HasEvents;
using detail::RegularSlotCount;

namespace {

/// Whether a credit dated `creditDate` may reduce `liability`: on a
/// semi-weekly schedule only liabilities on or after its date; on a monthly
/// schedule those of its month number or a later one.
bool CreditMayReduce(const CLiability& liability, Date creditDate, int scheduleAtCredit) {
  if (scheduleAtCredit != 0) return liability.Date >= creditDate;
  return liability.Date.Month() >= creditDate.Month();
}

int CompareDates(Date a, Date b) {
  if (a < b) return -1;
  if (a > b) return 1;
  return 0;
}

/// Null slots sort after liabilities; 2 when neither is null.
int CompareNullSlots(const CLiability* a, const CLiability* b) {
  if (a == nullptr) return b == nullptr ? 0 : 1;
  if (b == nullptr) return -1;
  return 2;
}

const CLiability* SlotAt(const void* slot) {
  return *static_cast<CLiability* const*>(slot);
}

/// The open liability the IRS rule pays next: the regular liability of the
/// earliest due date on or after `from` that `isOpen` accepts (the lower slot
/// on a tie), unless a catch-up liability falls due no later.
template <class IsOpen>
CLiability* NextDue(CCompute& compute, Date from, IsOpen isOpen) {
  CLiability* next = nullptr;
  for (int j = 0; j < RegularSlotCount(compute); ++j) {
    CLiability* liability = compute.Liabilities[j];
    if (liability == nullptr || liability->Date < from || !isOpen(*liability)) continue;
    if (next == nullptr || liability->Date < next->Date) next = liability;
  }
  for (int k = 0; k < CatchupSlotCount(compute); ++k) {
    CLiability* catchup = compute.CatchupLiabilities[k];
    if (catchup == nullptr || catchup->Balance <= 0.001 || catchup->Date < from) continue;
    if (next == nullptr || catchup->Date <= next->Date) return catchup;
  }
  return next;
}

/// The liabilities of two different regular slots; both null unless both
/// slots hold one.
std::pair<CLiability*, CLiability*> TwoLiabilities(CCompute& compute, int from, int to) {
  const auto inRange = [](int slot) { return slot >= 0 && slot < MaxLiabilitySlots; };
  if (from == to || !inRange(from) || !inRange(to)) return {nullptr, nullptr};
  CLiability* source = compute.Liabilities[from];
  CLiability* target = compute.Liabilities[to];
  if (source == nullptr || target == nullptr) return {nullptr, nullptr};
  return {source, target};
}

/// Appends the used event indices of `from` to those of `to`, then puts
/// them in ascending order.
void MergeEventIndices(const CLiability& from, CLiability& to) {
  const int used = to.EventIndices.UsedCount();
  const int added = from.EventIndices.UsedCount();
  if (added == 0) return;
  // Writing the last entry first grows the array once, to the needed size
  // or twice its capacity.
  to.EventIndices.SetAtGrow(used + added - 1, from.EventIndices[added - 1]);
  for (int k = 0; k < added - 1; ++k) to.EventIndices.SetAtGrow(used + k, from.EventIndices[k]);

  std::array<std::uint32_t, MaxEvents> keys;
  const int count = std::min(used + added, MaxEvents);
  for (int k = 0; k < count; ++k) keys[k] = static_cast<std::uint32_t>(to.EventIndices[k]);
  std::sort(keys.begin(), keys.begin() + count, [](const std::uint32_t& a, const std::uint32_t& b) {
    return CCompute::EventCallback(&a, &b) < 0;
  });
  for (int k = 0; k < count; ++k) to.EventIndices.SetAtGrow(k, static_cast<int>(keys[k]));
}

/// Moves the skipped holidays of `from` to `to` and clears them on `from`.
void MoveSkippedHolidays(CLiability& from, CLiability& to) {
  for (const Date holiday : from.SkippedHolidays) {
    if (!holiday.IsValid()) break;
    to.AddHoliday(holiday);
  }
  from.ClearHolidays();
}

/// Builds the liabilities from the events with their due dates; false when
/// the catch-up liabilities could not all be created (the rebuilding stops).
bool RebuildLiabilities(CCompute& compute, int pushSmall) {
  compute.FreeLiabilities();
  for (int k = 0; k < CatchupSlotCount(compute); ++k) {
    CLiability* catchup = new (std::nothrow) CLiability();
    if (catchup == nullptr) return false;
    catchup->SemiWeekly = compute.GetComputeMethod();
    catchup->Catchup = 1;
    compute.CatchupLiabilities[k] = catchup;
  }
  compute.CumulateLiabilities(nullptr);
  compute.PackLiabilities();
  compute.SetDueDates();
  compute.SortLiabilities(1);
  if (pushSmall != 0) {
    compute.Push100PeriodAmounts();
    compute.SortLiabilities(1);
  }
  return true;
}

}  // namespace

// Every allocation method starts from the same liabilities: they are built
// once and copied while nothing they are built from has changed.
void CCompute::InitLiabilities(int pushSmall) {
  if (!UseLiabilityCache) {
    CachedLiabilities.reset();
    RebuildLiabilities(*this, pushSmall);
    NoteRegularEnd(*this);
    return;
  }
  if (CachedLiabilities != nullptr && CachedLiabilities->Restore(*this, pushSmall)) return;
  std::shared_ptr<const Holiday> calendar = Holiday::Shared();  // the one the rebuild uses
  RebuildOutputs outputs = RebuildOutputs::MarkBefore(*this);
  const bool complete = RebuildLiabilities(*this, pushSmall);
  outputs.CollectAfter(*this);
  NoteRegularEnd(*this);
  if (CachedLiabilities == nullptr) CachedLiabilities = std::make_shared<LiabilityCache>();
  if (!complete || !CachedLiabilities->Store(*this, pushSmall, std::move(calendar), outputs)) {
    CachedLiabilities.reset();
  }
}

void CCompute::CumulateLiabilities(Date* start) {
  const Date first = start != nullptr ? *start : FirstDayOfPeriod();
  const int slots = RegularSlotCount(*this);
  const int events = ListLength(Events);

  for (int i = 0; i < events; ++i) {
    const Event& event = Events[i];
    if (event.Amount == 0.0 || !AddsLiability(event)) continue;
    // Events before the period's first day are left out too, not put in the
    // slot of their distance.
    if (event.Date < first) continue;
    const int k = first.DaysApart(event.Date);
    if (k >= slots) continue;
    CLiability*& liability = Liabilities[k];
    if (liability == nullptr) {
      liability = new (std::nothrow) CLiability();
      if (liability == nullptr) return;
      liability->SemiWeekly = GetComputeMethod();
      liability->Date = event.Date;
      liability->LiabilityDate = event.Date;
    }
    liability->Amount += event.Amount;
    liability->Amount = detail::Cents(liability->Amount);
    liability->Balance = liability->Amount;
    liability->AddEvent(i);
  }

  ExcessAdjustmentsFlag = 0;
  for (int i = 0; i < events; ++i) {
    const Event& credit = Events[i];
    if (!IsCredit(credit)) continue;
    const int schedule = GetComputeMethod(credit.Date);
    double left = -credit.Amount;
    for (int j = 0; j < slots && left > 0.0; ++j) {
      CLiability* liability = Liabilities[j];
      if (liability == nullptr || liability->Balance <= 0.0) continue;
      if (!CreditMayReduce(*liability, credit.Date, schedule)) continue;
      CDeposit* applied = liability->AddDeposit();
      if (applied == nullptr) return;
      applied->EventType = credit.Type;
      applied->Date = credit.Date;
      if (left <= liability->Balance) {
        applied->Amount = left;
        applied->Balance = liability->Balance - left;
        left = 0.0;
      } else {
        applied->Amount = liability->Balance;
        applied->Balance = 0.0;
        left -= liability->Balance;
      }
      applied->Amount = detail::Cents(applied->Amount);
      applied->Balance = detail::Cents(applied->Balance);
      liability->RealBalance();
    }
    if (left > 0.009) ExcessAdjustmentsFlag = 1;
  }

  for (int j = 0; j < slots; ++j) {
    if (Liabilities[j] != nullptr) Liabilities[j]->RealBalance();
  }
}

void C941Compute::CumulateLiabilities(Date*) {
  Date first = Date::QuarterStart(GetQuarter());
  if (GetForm() == form::k944) first = Date::StartOfYear(first);  // Form 944: the whole year
  CumulateStartDate = first;
  CCompute::CumulateLiabilities(&first);
}

void C943Compute::CumulateLiabilities(Date*) {
  CCompute::CumulateLiabilities(nullptr);
}

void C940Compute::CumulateLiabilities(Date*) {
  Date first = Date::StartOfYear(Date::QuarterStart(GetQuarter()));
  CumulateStartDate = first;
  CCompute::CumulateLiabilities(&first);
}

void CAnnCompute::CumulateLiabilities(Date*) {
  Date first = StartDate;
  CCompute::CumulateLiabilities(&first);
}

void CCompute::SetupLiabilities() {}

void CCompute::PackLiabilities() {
  ForgetRegularEnd(*this);
  int packed = 0;
  for (int j = 0; j < RegularSlotCount(*this); ++j) {
    if (Liabilities[j] == nullptr) continue;
    if (j != packed) {
      Liabilities[packed] = Liabilities[j];
      Liabilities[j] = nullptr;
    }
    ++packed;
  }
}

void CCompute::SortLiabilities(int byDueDate) {
  pEvents = Events;
  const auto callback = byDueDate != 0 ? SortByDueDateCallback : SortByPEDateCallback;
  const auto before = [callback](CLiability* const& a, CLiability* const& b) {
    return callback(&a, &b) < 0;
  };
  // Empty slots sort last, so a run of them at the end is in order whatever
  // comes before it: only the slots up to the last liability are sorted.
  // Every allocation method sorts slots that are already in order: a stable
  // sort would leave them as they are.
  CLiability** const used = Liabilities + UsedRegularSlots(*this);
  if (std::is_sorted(Liabilities, used, before)) return;
  std::stable_sort(Liabilities, used, before);
}

int CCompute::SortByDueDateCallback(const void* a, const void* b) {
  const CLiability* left = SlotAt(a);
  const CLiability* right = SlotAt(b);
  if (const int nulls = CompareNullSlots(left, right); nulls != 2) return nulls;
  if (const int due = CompareDates(left->Date, right->Date); due != 0) return due;
  if (pEvents != nullptr && HasEvents(*left) && HasEvents(*right)) {
    return CompareDates(FirstEventDate(pEvents, *left), FirstEventDate(pEvents, *right));
  }
  return 0;
}

int CCompute::SortByPEDateCallback(const void* a, const void* b) {
  const CLiability* left = SlotAt(a);
  const CLiability* right = SlotAt(b);
  if (const int nulls = CompareNullSlots(left, right); nulls != 2) return nulls;
  if (const int end = CompareDates(left->GetPerEndDate(), right->GetPerEndDate()); end != 0) {
    return end;
  }
  return CompareDates(left->LiabilityDate, right->LiabilityDate);
}

int CCompute::EventCallback(const void* a, const void* b) {
  std::uint32_t left = 0;
  std::uint32_t right = 0;
  std::memcpy(&left, a, sizeof left);
  std::memcpy(&right, b, sizeof right);
  if (left < right) return -1;
  return left > right ? 1 : 0;
}

CLiability* CCompute::GetFirstLiability() {
  for (int j = 0; j < RegularSlotCount(*this); ++j) {
    if (Liabilities[j] != nullptr) return Liabilities[j];
  }
  return nullptr;
}

CLiability* CCompute::NextLiabilityDue(Date date) {
  return NextDue(*this, date, [](const CLiability& l) { return l.Balance >= 0.009; });
}

CLiability* CCompute::NextLiabilityDue() {
  return NextDue(*this, Date::FromSerial(0),
                 [](const CLiability& l) { return l.Balance > 0.001 && l.Applied98 == 0; });
}

void CCompute::LinkDeposits(int from, int to) {
  const auto [source, target] = TwoLiabilities(*this, from, to);
  if (source == nullptr) return;
  CDeposit* last = target;
  while (last->Next != nullptr) last = last->Next;
  last->Next = source->Next;
  source->Next = nullptr;
}

void CCompute::CombineLiabilities(int from, int to) {
  const auto [source, target] = TwoLiabilities(*this, from, to);
  if (source == nullptr) return;

  LinkDeposits(from, to);
  target->Amount += source->Amount;
  MergeEventIndices(*source, *target);

  source->Amount = 0.0;
  source->Balance = 0.0;
  source->Date = Date();
  source->EventIndices.Reset();

  target->Balance = target->Amount;
  target->Balance = detail::Cents(target->Balance);
  MoveSkippedHolidays(*source, *target);
  target->RealBalance();
}

// Every slot is freed, whatever the slot counts say now: the object owns
// every liability it holds.
void CCompute::FreeDeposits() {
  for (CLiability* liability : Liabilities) {
    if (liability != nullptr) FreeChain(*this, *liability);
  }
  for (CLiability* catchup : CatchupLiabilities) {
    if (catchup != nullptr) FreeChain(*this, *catchup);
  }
  ReleasePooledPieces(*this);
}

void CCompute::FreeLiabilities() {
  const auto free = [this](CLiability*& liability) {
    if (liability == nullptr) return;
    FreeChain(*this, *liability);
    delete liability;
    liability = nullptr;
  };
  std::for_each(std::begin(Liabilities), std::end(Liabilities), free);
  std::for_each(std::begin(CatchupLiabilities), std::end(CatchupLiabilities), free);
  ReleasePooledPieces(*this);
  ForgetRegularEnd(*this);
}

}  // namespace ledrix
