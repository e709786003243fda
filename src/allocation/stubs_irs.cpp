// TEMPORARY stubs owned by the safe-harbor, IRS-application and deposit-penalty work.
#include "ledrix/ledrix.h"
namespace ledrix {
int CLiability::Qualifies98() { return 0; }
double CCompute::PenaltyPercentage(int, Date, CLiability*, int* t) { if (t) *t = 0; return 0; }
double CCompute::PenaltyOn(CLiability*, int) { return 0; }
int CCompute::CatchupIndex(CLiability*) { return 0; }
void CCompute::PushToCatchup(CLiability*, double) {}
void CCompute::Undo98(CLiability*) {}
void CCompute::Push100PeriodAmounts() {}
void CCompute::RemoveExtraCUs() {}
void C941Compute::ApplyDeposits(int, int) {}
void C941Compute::ComputePenalty() {}
int C941Compute::CanDo98(CLiability*, Event*, double) { return 0; }
void C941Compute::ApplyDepositsUsingNewMethod(int) {}
void C941Compute::ApplyDepositsUsingOldMethod(int) {}
void C940Compute::ApplyDeposits(int, int) {}
void C940Compute::ComputePenalty() {}
void C940Compute::PushToCatchup(CLiability*, double) {}
void C940Compute::Push100PeriodAmounts() {}
int C940Compute::CanDo98(CLiability*, Event*, double) { return 0; }
void C940Compute::ApplyDepositsUsingNewMethod(int) {}
void C940Compute::ApplyDepositsUsingOldMethod(int) {}
void CAnnCompute::ComputePenalty() {}
void CAnnCompute::Push100PeriodAmounts() {}
}  // namespace ledrix
