#include "reports/interest_chain.h"

namespace ledrix::reports {

// The interest chain is filled by the interest computation; until a report
// runs it, a chain carries no interest.
double TotalInterest(const InterestEvent*) {
  return 0.0;
}

}  // namespace ledrix::reports
