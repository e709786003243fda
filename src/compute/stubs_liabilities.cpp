// TEMPORARY stubs owned by the liability-building and due-date work.
#include "ledrix/ledrix.h"
namespace ledrix {
void CLiability::ComputeDueDate(const Holiday*) {}
void CCompute::CumulateLiabilities(Date*) {}
void CCompute::InitLiabilities(int) {}
void CCompute::FreeLiabilities() {}
void CCompute::FreeDeposits() {}
void CCompute::SortLiabilities(int) {}
void CCompute::CombineLiabilities(int, int) {}
void CCompute::SetupLiabilities() {}
void CCompute::SetDueDate(int) {}
Date CCompute::FirstDayOfPeriod() { return {}; }
void CCompute::LinkDeposits(int, int) {}
void CCompute::PackLiabilities() {}
CLiability* CCompute::GetFirstLiability() { return nullptr; }
CLiability* CCompute::NextLiabilityDue(Date) { return nullptr; }
CLiability* CCompute::NextLiabilityDue() { return nullptr; }
int CCompute::SortByDueDateCallback(const void*, const void*) { return 0; }
int CCompute::SortByPEDateCallback(const void*, const void*) { return 0; }
int CCompute::EventCallback(const void*, const void*) { return 0; }
int C941Compute::GetComputeMethod(Date) { return ComputeMethod; }
int C941Compute::GetComputeMethod() { return ComputeMethod; }
void C941Compute::CumulateLiabilities(Date*) {}
void C941Compute::SetDueDates() {}
void C941Compute::FinalDueDateFixup(CLiability*, const Holiday*) {}
void C941Compute::SetDueDate(int) {}
Date C941Compute::FirstDayOfPeriod() { return {}; }
int C941Compute::IsMethodImplemented(int) { return 1; }
void C943Compute::CumulateLiabilities(Date*) {}
void C943Compute::SetDueDate(int) {}
Date C943Compute::FirstDayOfPeriod() { return {}; }
void C940Compute::CumulateLiabilities(Date*) {}
void C940Compute::SetDueDates() {}
void C940Compute::SetDueDate(int) {}
void CAnnCompute::CumulateLiabilities(Date*) {}
void CAnnCompute::SetDueDates() {}
}  // namespace ledrix
