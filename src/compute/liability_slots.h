// Shared pieces of liability building and the deposit due-date rules: the
// slot ranges in use and the events a liability was built from.
#pragma once

#include <algorithm>
#include <cstdint>

#include "ledrix/compute.h"

namespace ledrix::detail {

/// A liability of this amount or more is due the next business day.
constexpr double NextDayAmount = 100000.00;

/// Regular slots in use, kept within the slot array.
inline int RegularSlotCount(const CCompute& compute) {
  return std::clamp(compute.LiabilitySlots, 0, MaxLiabilitySlots);
}

/// One past the last slot of `slots[0 .. count)` that holds a liability. The
/// empty tail (most of a year's slots) is skipped eight slots at a time.
inline int OccupiedEnd(CLiability* const* slots, int count) {
  while (count >= 8) {
    std::uintptr_t held = 0;
    for (int i = count - 8; i < count; ++i) held |= reinterpret_cast<std::uintptr_t>(slots[i]);
    if (held != 0) break;
    count -= 8;
  }
  while (count > 0 && slots[count - 1] == nullptr) --count;
  return count;
}

/// Catch-up slots in use, kept within the slot array.
inline int CatchupSlotCount(const CCompute& compute) {
  return std::clamp(compute.CatchupSlots, 0, MaxCatchupSlots);
}

/// The date of the event that entry `entry` of the liability's event
/// indices names; no date when there is no such event.
inline Date EventDateOf(const Event* events, const CLiability& liability, int entry) {
  if (events == nullptr || entry < 0 || entry >= liability.EventIndices.GetSize()) return Date();
  const int index = liability.EventIndices[entry];
  if (index < 0 || index >= MaxEvents) return Date();
  return events[index].Date;
}

/// The date of the liability's first event (the earliest: indices are in
/// list order and the list is in date order).
inline Date FirstEventDate(const Event* events, const CLiability& liability) {
  return EventDateOf(events, liability, 0);
}

/// The date of the liability's last event.
inline Date LastEventDate(const Event* events, const CLiability& liability) {
  return EventDateOf(events, liability, liability.EventIndices.UsedCount() - 1);
}

/// The last day of the semi-weekly period (Wednesday-Friday or
/// Saturday-Tuesday) that holds `date`.
inline Date SemiweeklyPeriodEnd(Date date) {
  Date start;
  start.SetSemiweeklyPeriodStart(date);
  constexpr int kWednesday = 1;
  return start + (start.Weekday() == kWednesday ? 2 : 3);
}

inline bool HasEvents(const CLiability& liability) {
  return liability.EventIndices.GetSize() > 0 && liability.EventIndices[0] != -1;
}

}  // namespace ledrix::detail
