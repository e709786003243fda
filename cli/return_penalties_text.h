// The return penalties and interest as a practitioner checks them: each
// active return penalty with its months, the interest segments, and what is
// owed in all.
#pragma once

#include <ostream>

#include "run_return.h"

namespace ledrix::cli {

/// The additional 5%, failure to file and failure to pay, each when active.
void WriteReturnPenalties(std::ostream& out, const ComputedReturn& result);
/// The interest segments, their total, and the quarters without a rate.
void WriteInterest(std::ostream& out, const ComputedReturn& result);
/// Penalties, interest, unpaid tax and the grand total.
void WritePenaltySummary(std::ostream& out, const ComputedReturn& result);

}  // namespace ledrix::cli
