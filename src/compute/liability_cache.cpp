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
#include "compute/search_buffers.h"

namespace ledrix {

using detail::CatchupSlotCount;
using detail::OccupiedEnd;
using detail::RegularSlotCount;

namespace {

/// Makes `target`, whose chain is empty, an exact copy of `source`: every
/// field, the event index array with its capacity (unless `target` holds the
/// same already), and copies of the applications, each made by `newPiece`.
/// (The assignment operator keeps the inherited fields and writes the index
/// array entry by entry; a restore needs the whole record as it was.) False
/// when a piece could not be made.
template <class NewPiece>
bool CopyInto(CLiability& target, const CLiability& source, bool sameIndices, NewPiece newPiece) {
  static_cast<CDeposit&>(target) = source;
  target.SemiWeekly = source.SemiWeekly;
  if (!sameIndices) target.EventIndices = source.EventIndices;
  target.UnpaidPenalty = source.UnpaidPenalty;
  target.UnpaidDays = source.UnpaidDays;
  target.UnpaidAmount = source.UnpaidAmount;
  target.Applied98 = source.Applied98;
  target.Catchup = source.Catchup;
  target.NextDay = source.NextDay;
  target.LiabilityDate = source.LiabilityDate;
  for (int i = 0; i < 4; ++i) target.SkippedHolidays[i] = source.SkippedHolidays[i];
  CDeposit* last = &target;
  last->Next = nullptr;
  for (const CDeposit* piece = source.Next; piece != nullptr; piece = piece->Next) {
    CDeposit* copy = newPiece();
    if (copy == nullptr) return false;
    *copy = *piece;
    copy->Next = nullptr;
    last->Next = copy;
    last = copy;
  }
  return true;
}

/// Frees the chains of `slots[0 .. count)`.
void FreeChains(const CCompute& compute, CLiability* const* slots, int count) {
  for (int i = 0; i < count; ++i) {
    if (slots[i] != nullptr) FreeChain(compute, *slots[i]);
  }
}

void FindDatedSlots(const Event* events, std::vector<std::int16_t>& slots) {
  slots.clear();
  for (int i = 0; events != nullptr && i < MaxEvents; ++i) {
    if (events[i].Date.IsValid() && events[i].Type != -1) {
      slots.push_back(static_cast<std::int16_t>(i));
    }
  }
}

}  // namespace

bool LiabilityCache::KeptSlots::Keep(CLiability* const* slots, int count) {
  count = OccupiedEnd(slots, count);
  copies.resize(static_cast<size_t>(count));
  placed.assign(static_cast<size_t>(count), nullptr);
  const auto newPiece = [] { return new (std::nothrow) CDeposit(); };
  for (int i = 0; i < count; ++i) {
    std::unique_ptr<CLiability>& copy = copies[static_cast<size_t>(i)];
    if (slots[i] == nullptr) {
      copy.reset();
      continue;
    }
    if (copy == nullptr) copy = std::make_unique<CLiability>();
    copy->FreeDeposits();
    if (!CopyInto(*copy, *slots[i], false, newPiece)) return false;
  }
  return true;
}

bool LiabilityCache::KeptSlots::PlaceInto(CCompute& compute, CLiability** slots, int count,
                                          bool indicesKept) {
  const int kept = std::min(count, static_cast<int>(copies.size()));
  const auto newPiece = [&compute] { return NewPiece(compute); };
  bool complete = true;
  for (int i = 0; i < kept; ++i) {
    CLiability*& slot = slots[i];
    const CLiability* from = copies[static_cast<size_t>(i)].get();
    const CLiability*& last = placed[static_cast<size_t>(i)];
    if (from == nullptr) {
      delete slot;
      slot = nullptr;
      last = nullptr;
      continue;
    }
    if (slot == nullptr) slot = new (std::nothrow) CLiability();
    const bool sameIndices = indicesKept && slot == last;
    last = slot;
    complete = slot != nullptr && CopyInto(*slot, *from, sameIndices, newPiece) && complete;
  }
  for (int i = kept; i < count; ++i) {
    delete slots[i];
    slots[i] = nullptr;
  }
  return complete;
}

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
  if (!(RebuildInputs::Of(compute, pushSmall) == inputs_)) return false;
  // During a run of one of the library's own classes no step writes the
  // event indices of a liability: a slot that still holds the liability the
  // last restore of the run placed there has the right ones.
  const bool indicesKept = compute.EventsGeneration == generation_ && compute.Buffers != nullptr &&
                           compute.Buffers->OwnRun;
  SearchBuffers* const buffers = compute.Buffers.get();
  if (buffers != nullptr && std::exchange(buffers->LeftAsRestored, false) && indicesKept) {
    return true;  // the liabilities are as the last restore left them
  }
  if (compute.EventsGeneration != generation_) {
    // A new list or a new run: the events may have been written, the holiday
    // file may have changed, and so may records past the end of the list.
    if (!SameEvents(compute) || Holiday::Shared() != calendar_) return false;
    FindDatedSlots(compute.Events, datedSlots_);
    generation_ = compute.EventsGeneration;
  }
  // The previous method's chains go first, and with them every pooled piece.
  // (Past the slots in use only a host can have put a liability.)
  const int used = buffers != nullptr && buffers->RegularEnd >= 0
                       ? buffers->RegularEnd
                       : OccupiedEnd(compute.Liabilities, MaxLiabilitySlots);
  const int regularHeld = std::max(static_cast<int>(regular_.copies.size()), used);
  FreeChains(compute, compute.Liabilities, regularHeld);
  FreeChains(compute, compute.CatchupLiabilities, MaxCatchupSlots);
  ReleasePooledPieces(compute);
  if (!regular_.PlaceInto(compute, compute.Liabilities, regularHeld, indicesKept) ||
      !catchups_.PlaceInto(compute, compute.CatchupLiabilities, MaxCatchupSlots, indicesKept)) {
    return false;
  }
  outputs_.ApplyTo(compute);
  CCompute::pEvents = compute.Events;  // as the rebuild's sort left it
  NoteRegularEnd(compute, static_cast<int>(regular_.copies.size()));
  return true;
}

bool LiabilityCache::Store(const CCompute& compute, int pushSmall,
                           std::shared_ptr<const Holiday> calendar, const RebuildOutputs& outputs) {
  if (!regular_.Keep(compute.Liabilities, RegularSlotCount(compute)) ||
      !catchups_.Keep(compute.CatchupLiabilities, CatchupSlotCount(compute))) {
    return false;
  }
  generation_ = compute.EventsGeneration;
  inputs_ = RebuildInputs::Of(compute, pushSmall);
  events_.assign(compute.Events, compute.Events + ListLength(compute.Events));
  FindDatedSlots(compute.Events, datedSlots_);
  calendar_ = std::move(calendar);
  outputs_ = outputs;
  return true;
}

const std::vector<std::int16_t>* LiabilityCache::DatedEventSlots(const CCompute& compute) const {
  return compute.EventsGeneration == generation_ ? &datedSlots_ : nullptr;
}

}  // namespace ledrix
