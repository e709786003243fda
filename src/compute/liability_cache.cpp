#include "compute/liability_cache.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <limits>
#include <new>
#include <utility>

#include "compute/liability_slots.h"
#include "compute/period_rules.h"

namespace ledrix {

using detail::CatchupSlotCount;
using detail::RegularSlotCount;

namespace {

/// Makes `target` an exact copy of `source`: every field, the event index
/// array with its capacity, and copies of the applications. (The assignment
/// operator keeps the inherited fields and writes the index array entry by
/// entry; a restore needs the whole record as it was.)
bool CopyInto(CLiability& target, const CLiability& source) {
  target.FreeDeposits();
  static_cast<CDeposit&>(target) = source;
  target.SemiWeekly = source.SemiWeekly;
  target.EventIndices = source.EventIndices;
  target.UnpaidPenalty = source.UnpaidPenalty;
  target.UnpaidDays = source.UnpaidDays;
  target.UnpaidAmount = source.UnpaidAmount;
  target.Applied98 = source.Applied98;
  target.Catchup = source.Catchup;
  target.NextDay = source.NextDay;
  target.LiabilityDate = source.LiabilityDate;
  std::copy(std::begin(source.SkippedHolidays), std::end(source.SkippedHolidays),
            std::begin(target.SkippedHolidays));
  CDeposit* last = &target;
  last->Next = nullptr;
  for (const CDeposit* piece = source.Next; piece != nullptr; piece = piece->Next) {
    last = last->ExtendDeposit();
    if (last == nullptr) return false;
    *last = *piece;
    last->Next = nullptr;
  }
  return true;
}

/// Makes `slot` hold a copy of `stored` (or nothing), reusing the liability
/// already there.
bool Place(CLiability*& slot, const CLiability* stored) {
  if (stored == nullptr) {
    delete slot;
    slot = nullptr;
    return true;
  }
  if (slot == nullptr) slot = new (std::nothrow) CLiability();
  return slot != nullptr && CopyInto(*slot, *stored);
}

/// Fills `slots[0 .. count)` from `stored` (nothing past its end).
bool PlaceAll(const std::vector<std::unique_ptr<CLiability>>& stored, CLiability** slots,
              int count) {
  const int kept = std::min(count, static_cast<int>(stored.size()));
  bool complete = true;
  for (int i = 0; i < kept; ++i) {
    complete = Place(slots[i], stored[static_cast<size_t>(i)].get()) && complete;
  }
  const int held = kept + OccupiedEnd(slots + kept, count - kept);
  for (int i = kept; i < held; ++i) Place(slots[i], nullptr);
  return complete;
}

/// Copies of the liabilities of `slots[0 .. count)`, up to the last one;
/// false when one could not be made.
bool CopySlots(CLiability* const* slots, int count,
               std::vector<std::unique_ptr<CLiability>>& copies) {
  count = OccupiedEnd(slots, count);
  copies.clear();
  copies.resize(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) {
    if (slots[i] == nullptr) continue;
    copies[i] = std::make_unique<CLiability>();
    if (!CopyInto(*copies[i], *slots[i])) return false;
  }
  return true;
}

std::vector<std::int16_t> DatedSlotsOf(const Event* events) {
  std::vector<std::int16_t> slots;
  for (int i = 0; events != nullptr && i < MaxEvents; ++i) {
    if (events[i].Date.IsValid() && events[i].Type != -1) {
      slots.push_back(static_cast<std::int16_t>(i));
    }
  }
  return slots;
}

}  // namespace

namespace {
constexpr int kUnwritten = std::numeric_limits<int>::min();
const Date kUnwrittenDate = Date::FromSerial(Date::NoDate - 1);  // never a date
}  // namespace

RebuildOutputs RebuildOutputs::MarkBefore(CCompute& compute) {
  RebuildOutputs kept;
  kept.excessAdjustments_ = std::exchange(compute.ExcessAdjustmentsFlag, kUnwritten);
  kept.had100000Liability_ = std::exchange(compute.Had100000Liability, kUnwritten);
  kept.cumulateStartDate_ = std::exchange(compute.CumulateStartDate, kUnwrittenDate);
  return kept;
}

void RebuildOutputs::CollectAfter(CCompute& compute) {
  const auto collect = [](auto& field, auto mark, auto& kept, bool& wrote) {
    wrote = field != mark;
    if (wrote) {
      kept = field;
    } else {
      field = kept;
    }
  };
  collect(compute.ExcessAdjustmentsFlag, kUnwritten, excessAdjustments_, wroteExcessAdjustments_);
  collect(compute.Had100000Liability, kUnwritten, had100000Liability_, wroteHad100000Liability_);
  collect(compute.CumulateStartDate, kUnwrittenDate, cumulateStartDate_, wroteCumulateStartDate_);
}

void RebuildOutputs::ApplyTo(CCompute& compute) const {
  if (wroteExcessAdjustments_) compute.ExcessAdjustmentsFlag = excessAdjustments_;
  if (wroteHad100000Liability_) compute.Had100000Liability = had100000Liability_;
  if (wroteCumulateStartDate_) compute.CumulateStartDate = cumulateStartDate_;
}

RebuildInputs RebuildInputs::Of(const CCompute& compute, int pushSmall) {
  return {compute.Form,         compute.Quarter, compute.ComputeMethod, compute.LiabilitySlots,
          compute.CatchupSlots, pushSmall,       compute.ReturnDueDate, compute.StartDate};
}

bool LiabilityCache::SameEvents(const CCompute& compute) const {
  const size_t used = static_cast<size_t>(ListLength(compute.Events));
  if (used != events_.size()) return false;
  return used == 0 || std::memcmp(compute.Events, events_.data(), used * sizeof(Event)) == 0;
}

bool LiabilityCache::Restore(CCompute& compute, int pushSmall) {
  if (!(RebuildInputs::Of(compute, pushSmall) == inputs_) || !SameEvents(compute)) return false;
  if (compute.EventsGeneration != generation_) {
    // A new list or a new run: the holiday file may have changed, and so may
    // records past the end of the list.
    if (Holiday::Shared() != calendar_) return false;
    datedSlots_ = DatedSlotsOf(compute.Events);
    generation_ = compute.EventsGeneration;
  }
  if (!PlaceAll(regular_, compute.Liabilities, MaxLiabilitySlots) ||
      !PlaceAll(catchups_, compute.CatchupLiabilities, MaxCatchupSlots)) {
    return false;
  }
  outputs_.ApplyTo(compute);
  CCompute::pEvents = compute.Events;  // as the rebuild's sort left it
  return true;
}

bool LiabilityCache::Store(const CCompute& compute, int pushSmall,
                           std::shared_ptr<const Holiday> calendar, const RebuildOutputs& outputs) {
  if (!CopySlots(compute.Liabilities, RegularSlotCount(compute), regular_) ||
      !CopySlots(compute.CatchupLiabilities, CatchupSlotCount(compute), catchups_)) {
    return false;
  }
  generation_ = compute.EventsGeneration;
  inputs_ = RebuildInputs::Of(compute, pushSmall);
  events_.assign(compute.Events, compute.Events + ListLength(compute.Events));
  datedSlots_ = DatedSlotsOf(compute.Events);
  calendar_ = std::move(calendar);
  outputs_ = outputs;
  return true;
}

const std::vector<std::int16_t>* LiabilityCache::DatedEventSlots(const CCompute& compute) const {
  if (compute.EventsGeneration != generation_ || !SameEvents(compute)) return nullptr;
  return &datedSlots_;
}

}  // namespace ledrix
