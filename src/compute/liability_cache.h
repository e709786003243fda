// The liabilities of one rebuild, kept so that the allocation methods of a
// search start from copies instead of rebuilding the same liabilities from
// the same events 258 times.
//
// A copy is served only while everything the rebuild read is unchanged: the
// form and slot counts, the quarter, the depositor schedule, the return due
// date, the start date and the push of small amounts, on every call; the
// used events byte for byte and the holiday calendar in force whenever the
// object's EventsGeneration moves on (a new event list, a new Penalty run).
// A copy stands for the whole rebuild, its virtual steps included
// (FreeLiabilities, CumulateLiabilities, SetDueDates, SortLiabilities,
// Push100PeriodAmounts): a host whose overrides of them depend on anything
// else turns UseLiabilityCache off.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "ledrix/compute.h"
#include "ledrix/holiday.h"

namespace ledrix {

/// What a rebuild writes on the compute object besides the liabilities.
/// While a rebuild is recorded its fields hold marks that no rebuild writes,
/// so that afterwards each field tells whether the rebuild wrote it.
class RebuildOutputs {
 public:
  /// Marks the fields of `compute`, keeping their values here.
  static RebuildOutputs MarkBefore(CCompute& compute);
  /// After the rebuild: records the fields it wrote; the others get their
  /// values back.
  void CollectAfter(CCompute& compute);
  /// Writes the recorded values into the fields the rebuild wrote.
  void ApplyTo(CCompute& compute) const;

 private:
  int excessAdjustments_ = 0;
  int had100000Liability_ = 0;
  Date cumulateStartDate_;
  bool wroteExcessAdjustments_ = false;
  bool wroteHad100000Liability_ = false;
  bool wroteCumulateStartDate_ = false;
};

/// What a rebuild reads, apart from the events and the holiday calendar.
struct RebuildInputs {
  int Form;
  int Quarter;
  int ComputeMethod;
  int LiabilitySlots;
  int CatchupSlots;
  int PushSmall;
  Date DueDate;
  Date StartDate;

  static RebuildInputs Of(const CCompute& compute, int pushSmall);
  friend bool operator==(const RebuildInputs&, const RebuildInputs&) = default;
};

class LiabilityCache {
 public:
  /// Puts copies of the stored liabilities in the object's slots (freeing
  /// the chains there first), with the rebuild's other outputs, when nothing
  /// they were built from has changed. False otherwise (or when a copy could
  /// not be made): rebuild then.
  bool Restore(CCompute& compute, int pushSmall);
  /// Keeps copies of the liabilities a rebuild with `pushSmall` and
  /// `calendar` left in the object, and its other outputs. False when a copy
  /// could not be made: drop the cache then.
  bool Store(const CCompute& compute, int pushSmall, std::shared_ptr<const Holiday> calendar,
             const RebuildOutputs& outputs);
  /// The slots of every record of the event array that holds a dated event
  /// (a valid date and a type), in slot order, while the cache is current for
  /// the object's events (its EventsGeneration was checked); null otherwise.
  const std::vector<std::int16_t>* DatedEventSlots(const CCompute& compute) const;

 private:
  bool SameEvents(const CCompute& compute) const;

  std::uint32_t generation_ = 0;  ///< EventsGeneration last checked in full
  RebuildInputs inputs_{};
  std::vector<Event> events_;  ///< the used events
  std::vector<std::int16_t> datedSlots_;
  std::shared_ptr<const Holiday> calendar_;  ///< held, so its identity stays unique
  /// Copies of the liabilities of one slot array, and the liability each
  /// slot held when the last restore left it.
  struct KeptSlots {
    std::vector<std::unique_ptr<CLiability>> copies;
    std::vector<const CLiability*> placed;

    /// Copies of the liabilities of `slots[0 .. count)`, up to the last one,
    /// reusing the copies kept before; false when one could not be made.
    bool Keep(CLiability* const* slots, int count);
    /// Makes `slots[0 .. count)`, whose chains are freed, hold copies of the
    /// kept liabilities (nothing past them), reusing the liabilities already
    /// there; with `indicesKept`, a slot that holds the liability placed
    /// there last keeps its event indices.
    bool PlaceInto(CCompute& compute, CLiability** slots, int count, bool indicesKept);
  };

  KeptSlots regular_;
  KeptSlots catchups_;
  RebuildOutputs outputs_;
};

}  // namespace ledrix
