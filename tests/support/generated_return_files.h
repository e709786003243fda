// Seeded random return files, as a payroll service would hand them to
// `ledrix batch`: every form (941 quarters; 944, 943, 945 and 940 years),
// monthly and semi-weekly depositors, deposits on time, late, short or
// missing, now and then a late return or a failure-to-pay notice.
#pragma once

#include <random>
#include <string>

namespace ledrix::testing {

/// The JSON text of one return file. `number` names the company, so that
/// each file of a batch can be told from the others.
std::string GenerateReturnFile(std::mt19937& rng, int number);

}  // namespace ledrix::testing
