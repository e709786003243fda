// TEMPORARY stubs owned by the alternative-allocation work.
#include "ledrix/ledrix.h"
namespace ledrix {
int CCompute::ComputeComplexity() { return 0; }
void C941Compute::BestDepositApplication(int, int) {}
CLiability* C941Compute::FindBestLiability1(Event*, int) { return nullptr; }
CLiability* C941Compute::FindBestLiability2(Event*, int) { return nullptr; }
CLiability* C941Compute::FindBestLiability3(Event*, int) { return nullptr; }
CLiability* C941Compute::FindBestLiability4(Event*, int) { return nullptr; }
CLiability* C941Compute::FindBestLiability5(Event*, int) { return nullptr; }
CLiability* C941Compute::FindBestLiability6(Event*, int) { return nullptr; }
CLiability* C941Compute::FindBestLiability7(Event*, int) { return nullptr; }
CLiability* C941Compute::FindBestLiability8(Event*, int) { return nullptr; }
CLiability* C941Compute::FindBestLiability9(Event*, int) { return nullptr; }
CLiability* C941Compute::FindBestLiability10(Event*, int) { return nullptr; }
}  // namespace ledrix
