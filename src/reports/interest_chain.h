// What the report keys read from an interest chain.
#pragma once

namespace ledrix {
struct InterestEvent;
}

namespace ledrix::reports {

/// The interest of every link of `chain`, from its first link on.
double TotalInterest(const InterestEvent* chain);

}  // namespace ledrix::reports
