// TEMPORARY stubs owned by the compute-core work; removed as the real code lands.
#include "ledrix/ledrix.h"
namespace ledrix {
CDeposit* CDeposit::ExtendDeposit() { return nullptr; }
void CDeposit::GetRate(char* b) const { b[0] = 0; }
void EventIndexArray::SetAtGrow(int i, int v) { if (i >= GetSize()) entries_.resize(i + 1, -1); entries_[i] = v; }
int EventIndexArray::UsedCount() const { return 0; }
void EventIndexArray::Reset() {}
CLiability::CLiability(const CLiability& s) : CDeposit() { *this = s; }
CLiability& CLiability::operator=(const CLiability&) { return *this; }
CLiability::~CLiability() {}
CDeposit* CLiability::AddDeposit() { return nullptr; }
void CLiability::AddEvent(int) {}
void CLiability::AddHoliday(ledrix::Date) {}
void CLiability::ClearHolidays() {}
ledrix::Date CLiability::SkippedHoliday(int) const { return {}; }
double CLiability::ComputeBalance() { return 0; }
double CLiability::RealBalance() { return 0; }
double CLiability::TotalPayments() const { return 0; }
double CLiability::TotalDeposits() const { return 0; }
double CLiability::GetNAAmount() const { return 0; }
CDeposit* CLiability::GetFinalDeposit() const { return nullptr; }
void CLiability::FreeDeposits() {}
void CLiability::SortDeposits(int) {}
ledrix::Date CLiability::GetPerEndDate() const { return {}; }
int CLiability::PaidIn10Days(ledrix::Date) const { return 0; }
int CLiability::DepositCount() const { return 0; }
thread_local Event* CCompute::pEvents = nullptr;
CCompute::CCompute() {}
CCompute::~CCompute() {}
int CCompute::GetForm() { return Form; }
void CCompute::SetForm(int f) { Form = f; }
void CCompute::SetEvents(Event*) {}
Event* CCompute::GetEvents() { return Events; }
Event* CCompute::GetEvent(int i) { return Events + i; }
void CCompute::SetCompany(ledrix::Company* c) { Company = c; }
ledrix::Company* CCompute::GetCompany() { return Company; }
void CCompute::SetC941Doc(C941Doc*) {}
void CCompute::SetComputeMethod(int m) { ComputeMethod = m; }
int CCompute::GetComputeMethod(Date) { return ComputeMethod; }
int CCompute::GetComputeMethod() { return ComputeMethod; }
Date CCompute::GetComputeDate() { return ComputeDate; }
double CCompute::GetPenalty() { return PenaltyTotal; }
int CCompute::GetIRSDirection() { return IRSDirection; }
std::string CCompute::GetHeaderVersion() { return HeaderVersion; }
void CCompute::SetHeaderVersion(const std::string& t) { HeaderVersion = t; }
void CCompute::TotalEvents(double[][32], double[]) {}
void CCompute::SetTaxBalance() {}
void CCompute::Penalty(int, int, int, int) {}
void CCompute::AddDeferredAmount(Date) {}
void CCompute::RemoveDeferredAmount() {}
void CCompute::BestDepositApplication(int, int) {}
void CCompute::ApplyDeposits(int, int) {}
void CCompute::SetDueDates() {}
void CCompute::FinalDueDateFixup(CLiability*, const Holiday*) {}
void CCompute::ComputePenalty() {}
int CCompute::Is944DeMinimisForQuarter(int) { return 0; }
int CCompute::SetPredictor(CPredictHandler*, C941Doc*) { return -1; }
void CCompute::BasicCompute(C941Doc*, int, int) {}
Date CCompute::DueDate() { return ReturnDueDate; }
void CCompute::SetDueDate(Date d) { GivenDueDate = d; }
void CCompute::SetStartDate(Date d) { StartDate = d; }
void CCompute::SetEndDate(Date d) { EndDate = d; }
void CCompute::SetComputeDate(Date d) { ComputeDate = d; }
int CCompute::ExcessAdjustments() { return ExcessAdjustmentsFlag; }
void CCompute::SetQuarter(int q) { Quarter = q; }
int CCompute::GetQuarter() { return Quarter; }
double CCompute::GetDepositTotal() { return DepositTotal; }
void CCompute::SetDepositTotal(double t) { DepositTotal = t; }
double CCompute::GetLiabilityTotal() { return LiabilityTotal; }
void CCompute::SetLiabilityTotal(double t) { LiabilityTotal = t; }
CPenalties* CCompute::Penalties() { return &PenaltyInputs; }
void CCompute::SetPenalties(CPenalties& p) { PenaltyInputs = p; }
int CCompute::IsMethodImplemented(int) { return 1; }
CLiability* CCompute::FindBestLiability1(Event*, int) { return nullptr; }
CLiability* CCompute::FindBestLiability2(Event*, int) { return nullptr; }
CLiability* CCompute::FindBestLiability3(Event*, int) { return nullptr; }
CLiability* CCompute::FindBestLiability4(Event*, int) { return nullptr; }
CLiability* CCompute::FindBestLiability5(Event*, int) { return nullptr; }
CLiability* CCompute::FindBestLiability6(Event*, int) { return nullptr; }
CLiability* CCompute::FindBestLiability7(Event*, int) { return nullptr; }
CLiability* CCompute::FindBestLiability8(Event*, int) { return nullptr; }
CLiability* CCompute::FindBestLiability9(Event*, int) { return nullptr; }
CLiability* CCompute::FindBestLiability10(Event*, int) { return nullptr; }
double CCompute::BalanceDue(Date) { return 0; }
void CCompute::DumpEvents() {}
double CCompute::GetNoFileLimit() { return 0; }
C941Compute::C941Compute() {}
void C941Compute::TotalEvents(double[][32], double[]) {}
void C941Compute::Set944() {}
C943Compute::C943Compute() {}
void C943Compute::TotalEvents(double[][32], double[]) {}
C945Compute::C945Compute() {}
C940Compute::C940Compute() {}
double C940Compute::NoFileLimit() { return 0; }
CAnnCompute::CAnnCompute() {}
CC6656::CC6656() {}
void CC6656::Clear() {}
CC6651A1::CC6651A1() {}
void CC6651A1::Clear() {}
CC6651A2::CC6651A2() {}
void CC6651A2::Clear() {}
void CC6651A2::Sort() {}
void CPenalties::Clear() {}
int CPenalties::Compute(CRunTimePenalties*) { return 0; }
void CPenalties::SortNoticeDates() {}
int CPenalties::CompareDates(const void*, const void*) { return 0; }
CRunTimePenalties::CRunTimePenalties() {}
void CRunTimePenalties::Clear() {}
ledrix::Date CRunTimePenalties::A2additionDate(int) const { return {}; }
double CRunTimePenalties::A2additionAmount(int) const { return 0; }
int CRunTimePenalties::Overlap(ledrix::Date) const { return -1; }
}  // namespace ledrix
