#include "support/allocation.h"

#include "support/returns.h"

namespace ledrix::testing {

void Prepare(CCompute& c, int quarter, int schedule, const Event* events, const char* computeDate) {
  c.SetQuarter(quarter);
  c.SetComputeMethod(schedule);
  c.SetEvents(const_cast<Event*>(events));
  c.SetDueDate(quarter);
  c.SetComputeDate(D(computeDate));
}

CLiability* LiabilityDue(CCompute& c, const char* due) {
  const Date date = D(due);
  for (int i = 0; i < c.LiabilitySlots; ++i) {
    CLiability* l = c.Liabilities[i];
    if (l != nullptr && l->Amount > 0.001 && l->Date == date) return l;
  }
  return nullptr;
}

std::vector<CDeposit*> Pieces(const CLiability* liability) {
  std::vector<CDeposit*> pieces;
  for (CDeposit* d = liability->Next; d != nullptr; d = d->Next) pieces.push_back(d);
  return pieces;
}

}  // namespace ledrix::testing
