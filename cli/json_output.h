// The whole result of a computed return as JSON, for programs: amounts are
// the library's doubles (printed shortest round-trip, so they compare
// exactly), dates ISO or null.
#pragma once

#include <nlohmann/json.hpp>

#include "run_return.h"

namespace ledrix::cli {

/// Keys in this order: the period and its settings, the totals, the method
/// results, the document's liability tables, the events, the liabilities and
/// the catch-up liabilities, the return penalties and the interest chain; then
/// the schema version, the period ("2005Q1", "2005"), the company and the
/// designation (null without the search). Later sections are added at the end.
nlohmann::ordered_json ResultJson(const ComputedReturn& result);

}  // namespace ledrix::cli
