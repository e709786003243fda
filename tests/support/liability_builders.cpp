#include "support/liability_builders.h"

#include "support/allocation.h"
#include "support/returns.h"

namespace ledrix::testing {

void BuildLiabilities(CCompute& compute, int quarter, int schedule,
                      std::initializer_list<EventEntry> events) {
  auto list = MakeEventList();
  for (const EventEntry& e : events) AddEvent(list.get(), e.type, e.date, e.amount);
  Prepare(compute, quarter, schedule, list.get(), "12/31/07");  // no part in due dates
  compute.InitLiabilities(0);
}

const CLiability* FindLiability(CCompute& compute, const char* date) {
  const Date arose = D(date);
  for (int j = 0; j < compute.LiabilitySlots && j < MaxLiabilitySlots; ++j) {
    const CLiability* l = compute.Liabilities[j];
    if (l != nullptr && l->LiabilityDate == arose && l->Amount > 0.009) return l;
  }
  return nullptr;
}

}  // namespace ledrix::testing
