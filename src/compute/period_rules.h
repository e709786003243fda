// Rules the compute core shares: form codes, the last quarter of the lower
// FUTA limits, and how an event list is read (its length and the side of
// the tax balance each event falls on).
#pragma once

#include "ledrix/events.h"

namespace ledrix {

/// Form codes of the compute objects.
namespace form {
constexpr int k941 = 1;
constexpr int k940 = 2;
constexpr int k943 = 3;
constexpr int k945 = 4;
constexpr int kUserPeriod = 6;
constexpr int k944 = 10;
}  // namespace form

/// Quarter index of October-December 2004, the last quarter of the lower
/// FUTA limits.
constexpr int kLastQuarterOf2004 = 99;

/// Records in use from `events`; a list not yet copied (null) is empty.
inline int ListLength(const Event* events) {
  return events ? CountEvents(events) : 0;
}

/// A liability-class event, or a positive adjustment (extra liability on its
/// date).
inline bool AddsLiability(const Event& event) {
  return IsLiabilityType(event.Type) || (IsAdjustmentType(event.Type) && event.Amount > 0.0);
}

/// An adjustment of zero or less: a credit against the liabilities.
inline bool IsCredit(const Event& event) {
  return IsAdjustmentType(event.Type) && event.Amount <= 0.0;
}

/// Where a monthly depositor of the Form 941 family turns semi-weekly: the
/// first event, in list order, at which the liabilities added up from the
/// first event of its month (by month number) reach $100,000, and the latest
/// date of the events up to it.
struct ScheduleSwitch {
  int event = -1;  ///< -1: no month reached it
  Date latest;

  /// Whether a walk over the events that stops at the first one dated after
  /// `date` reaches the switch.
  bool ReachedBy(Date date) const { return event >= 0 && latest <= date; }
};

/// The switch, the walk stopping at the first event dated after `until`.
ScheduleSwitch FindScheduleSwitch(const Event* events, Date until);

/// Index of the first event of `type` in the list, or -1.
inline int FindEventOfType(const Event* events, int type) {
  const int n = ListLength(events);
  for (int i = 0; i < n; ++i) {
    if (events[i].Type == type) return i;
  }
  return -1;
}

/// Whether the list carries the period's COBRA total.
inline bool HasCobraTotal(const Event* events) {
  return FindEventOfType(events, COBRA_QTR) >= 0;
}

/// With a COBRA total in the list, the single COBRA payments stay off the
/// deposit side: the total stands for them.
inline bool LeftOutByCobraTotal(const Event& event, bool hasCobraTotal) {
  return hasCobraTotal && event.Type == COBRA_PMT;
}

}  // namespace ledrix
