// Builds the compute object of a return's form, sets what the document does
// not carry, and runs the computation.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "return_file.h"

namespace ledrix::cli {

struct ComputedReturn {
  const ReturnFile* file = nullptr;
  std::unique_ptr<CCompute> compute;
  /// The return penalties and the interest chain (its first link), run as
  /// the penalty summary runs them, and what is owed in all.
  std::unique_ptr<CRunTimePenalties> penalties;
  std::unique_ptr<InterestEvent> interest;
  PenaltySummary summary;
  /// What the result should be read with (see warnings.h).
  std::vector<std::string> warnings;
};

/// The compute object of `form`: 941 and 944 (C941Compute, Set944 for the
/// annual return), 943, 945, 940.
std::unique_ptr<CCompute> MakeCompute(const FormInfo& form);

/// Computes the return: the compute date, the return's due date, the penalty
/// inputs, then BasicCompute with the allocation flags; then the return
/// penalties and interest to the compute date, and the warnings.
ComputedReturn ComputeReturn(ReturnFile& file);

/// Runs the allocation methods of the search one at a time, gathering each
/// one's statistics, then the whole search for the winner's (method 257),
/// and appends their lines to the statistics file at `path`. The compute
/// object is left with the allocation the file chose. False when the lines
/// could not be appended and flushed to disk (LastFileError() says why).
bool AppendRunStatistics(ComputedReturn& result, const std::string& path);

/// Whether interest ran on anything: the compute date lies after the
/// return's due date and some tax or penalty was unpaid then.
bool InterestRan(const ComputedReturn& result);

}  // namespace ledrix::cli
