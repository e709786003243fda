// Helpers for the deposit-application and penalty tests: a compute object
// prepared for one period, and readers of its liabilities and chains.
//
//   auto events = ledrix::testing::MakeEventList();
//   AddEvent(events.get(), ledrix::LIABILITY, "01/14/05", 3000.00);
//   C941Compute c;
//   Prepare(c, 100, 0, events.get(), "06/30/05");  // 2005 Q1, monthly
//   c.ApplyDeposits(1, 0);
#pragma once

#include <vector>

#include "ledrix/compute.h"

namespace ledrix::testing {

/// Quarter, schedule, a copy of the events, the return's due date of
/// `quarter` and the compute date: what a host sets before ApplyDeposits.
void Prepare(CCompute& c, int quarter, int schedule, const Event* events, const char* computeDate);

/// The regular liability due on `due`, or null.
CLiability* LiabilityDue(CCompute& c, const char* due);

/// The pieces of the liability's chain, in order.
std::vector<CDeposit*> Pieces(const CLiability* liability);

}  // namespace ledrix::testing
