#include "ledrix/compute.h"

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <new>

#include "compute/period_rules.h"
#include "compute/search_buffers.h"
#include "dates/rounding.h"

namespace ledrix {

constinit thread_local Event* CCompute::pEvents = nullptr;

namespace {

constexpr int kQuarterSlots = 93;
constexpr int kQuarterCatchupSlots = 4;

constexpr int kLastAlternativeMethod = 256;

// The date of an event that stands for the whole period (the COBRA total,
// the deferral): 1 January for Forms 944 and 943, else the first day of the
// quarter.
Date PeriodStartForForm(int form, int quarter) {
  const Date quarterStart = Date::QuarterStart(quarter);
  if (form == form::k944 || form == form::k943) return Date::StartOfYear(quarterStart);
  return quarterStart;
}

// Writes an event into the first free record of the list; a full list gets
// nothing.
void AppendEvent(Event* events, EventType type, Date date, double amount) {
  const int end = ListLength(events);
  if (end >= MaxEvents) return;
  Event& event = events[end];
  event.Clear();
  event.Type = type;
  event.Date = date;
  event.Amount = amount;
}

void ResetMethodResults(MethodResult* results) {
  std::fill(results, results + MethodResultCount, MethodResult{});
}

// The method with the lowest penalty (difference rounded to cents), ties to
// the lower complexity, then to the lower method number.
int PickBestMethod(const MethodResult* results) {
  int best = 0;
  for (int j = 1; j <= kLastAlternativeMethod; ++j) {
    const double difference = detail::Cents(results[j].Penalty - results[best].Penalty);
    if (difference < 0.0 ||
        (difference == 0.0 && results[j].Complexity < results[best].Complexity)) {
      best = j;
    }
  }
  return best;
}

// Applies the deposits by the IRS rule (method 0) or by alternative m - 1.
void ApplyMethod(CCompute& compute, int method, int flags, int limitToComputeDate) {
  if (method == 0) {
    compute.ApplyDeposits(flags, limitToComputeDate);
  } else {
    compute.BestDepositApplication(method - 1, limitToComputeDate);
  }
  compute.DepositAllocationMethod = method;
}

bool IsAlternative(int method) {
  return method >= 1 && method <= kLastAlternativeMethod;
}

/// What the methods of one Penalty run share when the object's steps are
/// the library's own (for a host's subclass nothing is shared):
/// - the steps know where the liabilities of the regular slots end;
/// - while a search runs its alternatives, their deposit pieces come from the
///   object's pool;
/// - a method whose allocation is known to be that of an earlier one takes
///   its result: the alternatives that apply no deposit (in the 941 family
///   those whose strategy is not implemented, for the other forms every one)
///   all price the same rebuilt liabilities, and an alternative's
///   application names the later ones that would make every choice it made
///   (see BestDepositApplication). Each such method still rebuilds its
///   liabilities.
class MethodRun {
 public:
  MethodRun(CCompute& compute, bool search)
      : compute_(compute),
        search_(search),
        buffers_(RunsOwnSteps(compute) ? BuffersOf(compute) : nullptr) {
    if (buffers_ == nullptr) return;
    buffers_->OwnRun = true;
    buffers_->CatchupSlotByDueDate.Clear();
    std::fill(std::begin(buffers_->SameResultAs), std::end(buffers_->SameResultAs), -1);
  }
  ~MethodRun() {
    if (buffers_ == nullptr) return;
    buffers_->PoolPieces = false;
    buffers_->OwnRun = false;
    buffers_->RegularEnd = -1;
    buffers_->SharingMethod = -1;
    buffers_->LeftAsRestored = false;
  }
  MethodRun(const MethodRun&) = delete;
  MethodRun& operator=(const MethodRun&) = delete;

  /// Before method `m` rebuilds its liabilities.
  void Starting(int m) {
    if (buffers_ == nullptr) return;
    buffers_->PoolPieces = search_ && IsAlternative(m);
    buffers_->SharingMethod = search_ && IsAlternative(m) ? m : -1;
    // Only an alternative restores with pooled pieces as the one before did.
    if (!buffers_->PoolPieces) buffers_->LeftAsRestored = false;
  }
  /// The result method `m` gives when an earlier one of the run gave it
  /// already; null when `m` must be priced.
  const MethodResult* KnownResult(int m) const {
    if (buffers_ == nullptr || !search_ || buffers_->SameResultAs[m] < 0) return nullptr;
    return &compute_.MethodResults[buffers_->SameResultAs[m]];
  }
  /// After method `m` took a known result: no step ran on its liabilities.
  void TookKnownResult() {
    if (buffers_ != nullptr) buffers_->LeftAsRestored = true;
  }
  void Priced(int m) {
    if (buffers_ == nullptr || !search_ || !AppliesNoDeposit(m)) return;
    for (int later = m + 1; later <= kLastAlternativeMethod; ++later) {
      if (AppliesNoDeposit(later)) buffers_->SameResultAs[later] = m;
    }
  }

 private:
  bool AppliesNoDeposit(int m) const {
    if (!IsAlternative(m)) return false;
    return dynamic_cast<const C941Compute*>(&compute_) == nullptr ||
           compute_.IsMethodImplemented(m - 1) == 0;
  }

  CCompute& compute_;
  bool search_;
  SearchBuffers* buffers_;
};

// One allocation method: rebuild, apply, price, tidy the catch-ups and
// record the penalty and complexity.
void RunMethod(CCompute& compute, int method, int flags, int limitToComputeDate, MethodRun& run) {
  run.Starting(method);
  compute.InitLiabilities(1);
  // Numbers past the winner step (or below 0) apply and record nothing.
  if (method < 0 || method > BestMethod) return;
  MethodResult& result = compute.MethodResults[method];
  if (const MethodResult* known = run.KnownResult(method)) {
    result = *known;
    compute.PenaltyTotal = known->Penalty;
    compute.DepositAllocationMethod = method;
    run.TookKnownResult();
    return;
  }
  const int applied = method == BestMethod ? PickBestMethod(compute.MethodResults) : method;
  ApplyMethod(compute, applied, flags, limitToComputeDate);

  compute.ComputePenalty();
  result.Penalty = compute.PenaltyTotal;
  compute.RemoveExtraCUs();
  const bool implemented = method == 0 || compute.IsMethodImplemented(method - 1) != 0;
  result.Complexity = implemented ? compute.ComputeComplexity() : WorstComplexity;
  run.Priced(method);
}

// The additional-notice date of a return whose additional 5% inputs are
// active: none when the tax is paid by the last day to pay.
Date AdditionalNoticeDateFor(CCompute& compute, const CPenalties& inputs) {
  const CC6656& notice = inputs.CC6656;
  if (compute.BalanceDue(notice.LastDayToPay) < 0.009) return Date();
  if (notice.LastDayToPay == inputs.CC6651A2.JeopardyDate) return notice.LastDayToPay;
  if (notice.NoticeDate + 10 == notice.LastDayToPay) {
    return notice.NoticeDate;
  }
  return inputs.CC6651A2.LevyNoticeDate;
}

}  // namespace

// ---- lifetime ------------------------------------------------------------------

CCompute::CCompute() {
  ComputeDate.SetToday();
  ClearStats();
}

CCompute::~CCompute() {
  delete[] Events;
  Events = nullptr;
  FreeLiabilities();
}

// ---- accessors -------------------------------------------------------------------

int CCompute::GetForm() {
  return Form;
}
void CCompute::SetForm(int form) {
  Form = form;
}
Event* CCompute::GetEvents() {
  return Events;
}
Event* CCompute::GetEvent(int i) {
  return Events + i;
}
void CCompute::SetCompany(ledrix::Company* company) {
  Company = company;
}
ledrix::Company* CCompute::GetCompany() {
  return Company;
}
void CCompute::SetComputeMethod(int method) {
  ComputeMethod = method;
}
int CCompute::GetComputeMethod(Date) {
  return ComputeMethod;
}
int CCompute::GetComputeMethod() {
  return ComputeMethod;
}
Date CCompute::GetComputeDate() {
  return ComputeDate;
}
void CCompute::SetComputeDate(Date date) {
  ComputeDate = date;
}
double CCompute::GetPenalty() {
  return PenaltyTotal;
}
int CCompute::GetIRSDirection() {
  return IRSDirection;
}
std::string CCompute::GetHeaderVersion() {
  return HeaderVersion;
}
void CCompute::SetHeaderVersion(const std::string& text) {
  HeaderVersion = text;
}
Date CCompute::DueDate() {
  return ReturnDueDate;
}
void CCompute::SetDueDate(Date date) {
  GivenDueDate = date;
}
void CCompute::SetStartDate(Date date) {
  StartDate = date;
}
void CCompute::SetEndDate(Date date) {
  EndDate = date;
}
int CCompute::ExcessAdjustments() {
  return ExcessAdjustmentsFlag;
}
void CCompute::SetQuarter(int q) {
  Quarter = q;
}
int CCompute::GetQuarter() {
  return Quarter;
}
double CCompute::GetDepositTotal() {
  return DepositTotal;
}
void CCompute::SetDepositTotal(double total) {
  DepositTotal = total;
}
double CCompute::GetLiabilityTotal() {
  return LiabilityTotal;
}
void CCompute::SetLiabilityTotal(double total) {
  LiabilityTotal = total;
}
CPenalties* CCompute::Penalties() {
  return &PenaltyInputs;
}
void CCompute::SetPenalties(CPenalties& penalties) {
  PenaltyInputs = penalties;
}

// ---- form-specific steps: nothing in the base class ------------------------------

void CCompute::BestDepositApplication(int, int) {}
void CCompute::ApplyDeposits(int, int) {}
void CCompute::SetDueDates() {}
void CCompute::FinalDueDateFixup(CLiability*, const Holiday*) {}
void CCompute::ComputePenalty() {}
int CCompute::IsMethodImplemented(int) {
  return 1;
}
CLiability* CCompute::FindBestLiability1(Event*, int) {
  return nullptr;
}
CLiability* CCompute::FindBestLiability2(Event*, int) {
  return nullptr;
}
CLiability* CCompute::FindBestLiability3(Event*, int) {
  return nullptr;
}
CLiability* CCompute::FindBestLiability4(Event*, int) {
  return nullptr;
}
CLiability* CCompute::FindBestLiability5(Event*, int) {
  return nullptr;
}
CLiability* CCompute::FindBestLiability6(Event*, int) {
  return nullptr;
}
CLiability* CCompute::FindBestLiability7(Event*, int) {
  return nullptr;
}
CLiability* CCompute::FindBestLiability8(Event*, int) {
  return nullptr;
}
CLiability* CCompute::FindBestLiability9(Event*, int) {
  return nullptr;
}
CLiability* CCompute::FindBestLiability10(Event*, int) {
  return nullptr;
}

// ---- the event copy ----------------------------------------------------------------

void CCompute::SetEvents(Event* source) {
  ++EventsGeneration;
  // The copy of the previous return is written over: one buffer serves
  // every return the object computes.
  if (Events == nullptr) Events = new (std::nothrow) Event[MaxEvents];
  if (Events == nullptr) return;
  if (source != Events) std::copy_n(source, MaxEvents, Events);

  // The quarter's COBRA premium assistance is credited once, as one total.
  double cobraTotal = 0.0;
  const int n = ListLength(Events);
  for (int i = 0; i < n; ++i) {
    if (Events[i].Type == COBRA_PMT) cobraTotal += Events[i].Amount;
  }
  if (cobraTotal != 0.0) {
    AppendEvent(Events, COBRA_QTR, PeriodStartForForm(GetForm(), GetQuarter()), cobraTotal);
  }
  Events[0].Sort(0);
}

void CCompute::AddDeferredAmount(Date date) {
  if (!(DeferredAmount > 0.0) || ListLength(Events) == 0 || !date.IsValid()) return;
  if (FindEventOfType(Events, DEFER_SS) >= 0) return;
  AppendEvent(Events, DEFER_SS, date, -DeferredAmount);
  Events[0].Sort(0);
  ++EventsGeneration;
}

void CCompute::RemoveDeferredAmount() {
  const int found = FindEventOfType(Events, DEFER_SS);
  if (found < 0) return;
  ++EventsGeneration;
  const int n = ListLength(Events);
  // Later records, the end-of-list record included, move one slot forward.
  const int moved = std::min(n, MaxEvents - 1);
  for (int i = found; i < moved; ++i) Events[i] = Events[i + 1];
  // A full list has no end record to move: its last slot becomes one.
  if (n == MaxEvents) Events[MaxEvents - 1].Clear();
}

void CCompute::DumpEvents() {
  const int n = ListLength(Events);
  for (int i = 0; i < n; ++i) {
    char date[16];
    char amount[64];
    char line[96];
    Events[i].GetDate(date, 0);
    Events[i].GetAmount(amount);
    std::snprintf(line, sizeof line, "%s %s", date, amount);
    Trace(line);
  }
}

// ---- the driver -------------------------------------------------------------------

void CCompute::Penalty(int freeAfter, int flags, int limitToComputeDate, int method) {
  ++EventsGeneration;  // a new run: the holiday file and the event list are looked at again
  ResetMethodResults(MethodResults);
  int first = 0;
  int last = BestMethod;
  if (flags != 0) {
    first = last = 0;
    DepositAllocationMethod = 0;
  } else if (method != -1) {
    first = last = method;
    DepositAllocationMethod = method;
  }
  MethodRun run(*this, first != last);
  for (int m = first; m <= last; ++m) RunMethod(*this, m, flags, limitToComputeDate, run);
  if (freeAfter != 0) FreeLiabilities();
}

void CCompute::BasicCompute(C941Doc* doc, int flags, int limitToComputeDate) {
  SetC941Doc(doc);
  if (Events != nullptr) Events[0].Sort(0);
  SetCompany(&doc->Company);
  TotalEvents(doc->DailyLiabilities, doc->PeriodTotals);
  SetTaxBalance();
  // After the totals: they still see the schedule in force before.
  SetComputeMethod(doc->ComputeMethod);
  Penalty(0, flags, limitToComputeDate, -1);
  doc->ExcessAdjustments = ExcessAdjustments();
}

void CCompute::SetC941Doc(C941Doc* doc) {
  SetQuarter(doc->Quarter);
  SetEvents(doc->Events);
  DeferredAmount = doc->DeferredAmount;

  // The deferral is dated the first day of the quarter (Form 941) or of the
  // year (Forms 944 and 943); other forms defer nothing.
  const bool defers = doc->Form == form::k941 || doc->Form == form::k944 || doc->Form == form::k943;
  AddDeferredAmount(defers ? PeriodStartForForm(doc->Form, GetQuarter()) : Date());

  if (doc->Penalties.CC6656.Active != 0) {
    AdditionalNoticeDate = AdditionalNoticeDateFor(*this, doc->Penalties);
  }
}

// ---- the form classes ---------------------------------------------------------------

C941Compute::C941Compute() {
  Form = form::k941;
  LiabilitySlots = kQuarterSlots;
  CatchupSlots = kQuarterCatchupSlots;
}

void C941Compute::Set944() {
  Form = form::k944;
  LiabilitySlots = MaxLiabilitySlots;
  CatchupSlots = MaxCatchupSlots;
}

C943Compute::C943Compute() {
  Form = form::k943;
  LiabilitySlots = MaxLiabilitySlots;
  CatchupSlots = MaxCatchupSlots;
}

C945Compute::C945Compute() {
  Form = form::k945;
}

// Form 940 carries small quarters forward instead of using catch-ups.
C940Compute::C940Compute() {
  Form = form::k940;
  LiabilitySlots = MaxLiabilitySlots;
  CatchupSlots = 0;
}

CAnnCompute::CAnnCompute() {
  Form = form::kUserPeriod;
  LiabilitySlots = MaxLiabilitySlots;
  CatchupSlots = 0;
}

}  // namespace ledrix
