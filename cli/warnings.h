// What the command warns of after computing a return, on standard error and
// under "warnings" in --json: due dates and days late counted through a year
// whose legal holidays the calendar does not hold, and interest run through
// quarters without a rate. Each warning names the command that fixes it.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "run_return.h"

namespace ledrix::cli {

std::vector<std::string> ReturnWarnings(const ComputedReturn& result);

/// Writes each warning on a line of its own: "ledrix: warning: <text>".
void WriteWarnings(std::ostream& out, const std::vector<std::string>& warnings);

}  // namespace ledrix::cli
