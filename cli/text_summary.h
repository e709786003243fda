// The computed return as a person reads it: the period and how the deposits
// were allocated (an alternative described in words), each liability with its
// due date and the deposits applied to it (days late, tier, penalty, and why
// where the tier departs from the days late), the catch-up liabilities, the
// totals, the return penalties and interest, and with the search the
// designation schedule.
#pragma once

#include <ostream>
#include <string>

#include "run_return.h"

namespace ledrix::cli {

void WriteSummary(std::ostream& out, const ComputedReturn& result);

/// The summary's opening lines: the version, the company, the form, period
/// and schedule, the return's due date and compute date, the allocation.
void WriteReturnHeading(std::ostream& out, const ComputedReturn& result);

/// "IRS rule, new method (IRS PAYMENT ALLOCATION 2)" or
/// "alternative 017 (the IRS rule gives 2,152.93) (ALTERNATIVE PAYMENT ALLOCATION 017)".
std::string AllocationText(const CCompute& compute);

}  // namespace ledrix::cli
