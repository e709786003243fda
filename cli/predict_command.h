// `ledrix predict RETURN.json [--json]`: what must still be deposited, and
// by when. The return is computed as `compute` does; the deposit predictor
// then lists each open liability with its events and what was already set
// against it, and each open catch-up liability, grouped under their due
// dates with what is still to deposit by each.
#pragma once

#include <nlohmann/json.hpp>
#include <ostream>
#include <vector>

#include "run_return.h"

namespace ledrix::cli {

struct Prediction {
  std::vector<PredictorRow> rows;
  /// The table's 35 rows were all used: more may be open than is shown.
  bool capacityReached = false;
  /// Deposits or credits dated after the compute date, which the balance
  /// leaves out.
  bool laterDeposits = false;
};

/// Runs the predictor of the computed return.
Prediction Predict(ComputedReturn& result);

/// For a person: the rows under their due dates, with a total for each and
/// in all.
void WritePrediction(std::ostream& out, const ComputedReturn& result, const Prediction& p);

/// For programs: the rows as the predictor wrote them, and the total still
/// to deposit by each due date.
nlohmann::ordered_json PredictionJson(const ComputedReturn& result, const Prediction& p);

}  // namespace ledrix::cli
