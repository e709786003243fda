// Builders for liability tests: a compute object whose liabilities were built
// from a short list of events, and a look-up by the day a liability arose.
//
//   auto c = ledrix::testing::MakeLiabilities(100, 0, {{ledrix::LIABILITY, "03/10/05", 5000.00}});
//   FindLiability(*c, "03/10/05")->Date;  // due 04-15-05
#pragma once

#include <initializer_list>
#include <memory>

#include "ledrix/compute.h"

namespace ledrix::testing {

struct EventEntry {
  int type;
  const char* date;  ///< any text Date::Parse reads
  double amount;
};

/// Prepares `compute` for `quarter` and `schedule` with the events (Prepare),
/// then builds the liabilities with their due dates (InitLiabilities(0)).
void BuildLiabilities(CCompute& compute, int quarter, int schedule,
                      std::initializer_list<EventEntry> events);

template <class Compute = C941Compute>
std::unique_ptr<Compute> MakeLiabilities(int quarter, int schedule,
                                         std::initializer_list<EventEntry> events) {
  auto compute = std::make_unique<Compute>();
  BuildLiabilities(*compute, quarter, schedule, events);
  return compute;
}

/// The regular liability that arose on `date` and still holds an amount
/// (not one emptied by a merge), or null.
const CLiability* FindLiability(CCompute& compute, const char* date);

}  // namespace ledrix::testing
