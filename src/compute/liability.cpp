#include "ledrix/liability.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "compute/liability_slots.h"
#include "compute/period_rules.h"
#include "ledrix/events.h"

namespace ledrix {

namespace {

const char* const kRateTexts[RateTierCount] = {" 0%", " 2%", " 5%", "10%", "15%"};

// A semi-weekly period runs Wednesday-Friday or Saturday-Tuesday.
constexpr int kWednesday = 1;
constexpr int kWednesdayPeriodLength = 3;
constexpr int kSaturdayPeriodLength = 4;

// Sum of the amounts of the applications from `first` on that `keep` accepts.
template <typename Filter>
double SumApplications(const CDeposit* first, Filter keep) {
  double total = 0.0;
  for (const CDeposit* d = first; d != nullptr; d = d->Next) {
    if (keep(*d)) total += d->Amount;
  }
  return total;
}

bool IsDepositApplication(const CDeposit& d) {
  return IsDepositType(d.EventType);
}

}  // namespace

// ---- CDeposit ---------------------------------------------------------------

CDeposit* CDeposit::ExtendDeposit() {
  Next = new (std::nothrow) CDeposit();
  return Next;
}

void CDeposit::GetRate(char* buffer) const {
  // A tier outside 0-4 has no text.
  const bool known = RateIndex >= 0 && RateIndex < RateTierCount;
  std::strcpy(buffer, known ? kRateTexts[RateIndex] : "");
}

// ---- EventIndexArray --------------------------------------------------------

void EventIndexArray::SetAtGrow(int i, int value) {
  if (i >= GetSize()) {
    entries_.resize(static_cast<size_t>(std::max(i + 1, 2 * GetSize())), -1);
  }
  entries_[static_cast<size_t>(i)] = value;
}

int EventIndexArray::UsedCount() const {
  auto firstFree = std::find(entries_.begin(), entries_.end(), -1);
  return static_cast<int>(firstFree - entries_.begin());
}

void EventIndexArray::Reset() {
  std::fill(entries_.begin(), entries_.end(), -1);
}

// ---- CLiability: copying and lifetime ----------------------------------------

CLiability::CLiability(const CLiability& source) : CDeposit() {
  *this = source;
}

CLiability& CLiability::operator=(const CLiability& source) {
  for (int i = 0; i < source.EventIndices.GetSize(); ++i) {
    EventIndices.SetAtGrow(i, source.EventIndices[i]);
  }
  SemiWeekly = source.SemiWeekly;
  UnpaidPenalty = source.UnpaidPenalty;
  UnpaidDays = source.UnpaidDays;
  UnpaidAmount = source.UnpaidAmount;
  Applied98 = source.Applied98;
  Catchup = source.Catchup;
  NextDay = source.NextDay;
  LiabilityDate = source.LiabilityDate;
  std::copy(std::begin(source.SkippedHolidays), std::end(source.SkippedHolidays),
            std::begin(SkippedHolidays));

  // Counted first, so that assigning a liability to itself copies its
  // applications once.
  int remaining = source.DepositCount();
  for (const CDeposit* from = source.Next; from != nullptr && remaining > 0;
       from = from->Next, --remaining) {
    CDeposit* copy = AddDeposit();
    if (copy == nullptr) break;
    *copy = *from;
    copy->Next = nullptr;
  }
  return *this;
}

CLiability::~CLiability() {
  FreeDeposits();
}

// ---- CLiability: chain of applications ----------------------------------------

CDeposit* CLiability::AddDeposit() {
  CDeposit* last = this;
  while (last->Next != nullptr) last = last->Next;
  return last->ExtendDeposit();
}

CDeposit* CLiability::GetFinalDeposit() const {
  CDeposit* last = Next;
  while (last != nullptr && last->Next != nullptr) last = last->Next;
  return last;
}

int CLiability::DepositCount() const {
  int count = 0;
  for (const CDeposit* d = Next; d != nullptr; d = d->Next) ++count;
  return count;
}

void CLiability::FreeDeposits() {
  while (Next != nullptr) {
    CDeposit* first = Next;
    Next = first->Next;
    delete first;
  }
}

void CLiability::SortDeposits(int mode) {
  if (mode != 0) return;
  bool swapped = true;
  while (swapped) {
    swapped = false;
    // `link` is the pointer that holds the first of the pair compared.
    for (CDeposit** link = &Next; *link != nullptr && (*link)->Next != nullptr;
         link = &(*link)->Next) {
      CDeposit* first = *link;
      CDeposit* second = first->Next;
      if (first->DepositNumber > second->DepositNumber) {
        first->Next = second->Next;
        second->Next = first;
        *link = second;
        swapped = true;
      }
    }
  }
}

// ---- CLiability: events and holidays -------------------------------------------

void CLiability::AddEvent(int eventIndex) {
  EventIndices.SetAtGrow(EventIndices.UsedCount(), eventIndex);
}

void CLiability::AddHoliday(ledrix::Date date) {
  if (!date.IsValid()) return;
  for (ledrix::Date& entry : SkippedHolidays) {
    if (entry == date) return;
    if (!entry.IsValid()) {
      entry = date;
      return;
    }
  }
}

void CLiability::ClearHolidays() {
  for (ledrix::Date& entry : SkippedHolidays) {
    if (!entry.IsValid()) break;
    entry = ledrix::Date();
  }
}

ledrix::Date CLiability::SkippedHoliday(int i) const {
  if (i < 0 || i >= 4) return ledrix::Date();
  return SkippedHolidays[i];
}

// ---- CLiability: balances and totals ---------------------------------------------

double CLiability::ComputeBalance() {
  RealBalance();
  if (Applied98 != 0) Balance = 0.0;
  return Balance;
}

double CLiability::RealBalance() {
  Balance = Amount - TotalPayments();
  return Balance;
}

double CLiability::TotalPayments() const {
  return SumApplications(Next, [](const CDeposit&) { return true; });
}

double CLiability::TotalDeposits() const {
  return SumApplications(Next, IsDepositApplication);
}

double CLiability::GetNAAmount() const {
  const double credits =
      SumApplications(Next, [](const CDeposit& d) { return !IsDepositApplication(d); });
  return Amount - credits;
}

// ---- CLiability: deposit period ---------------------------------------------------

ledrix::Date CLiability::GetPerEndDate() const {
  if (Catchup != 0) return Date;
  if (Amount >= detail::NextDayAmount) return LiabilityDate;
  if (SemiWeekly == 0) {
    ledrix::Date monthEnd = LiabilityDate;
    monthEnd.SetEndOfMonth();
    return monthEnd;
  }
  ledrix::Date periodStart;
  periodStart.SetSemiweeklyPeriodStart(LiabilityDate);
  const int length =
      periodStart.Weekday() == kWednesday ? kWednesdayPeriodLength : kSaturdayPeriodLength;
  return periodStart + (length - 1);
}

int CLiability::PaidIn10Days(ledrix::Date date) const {
  if (Balance > 0.0) return 0;
  const CDeposit* last = GetFinalDeposit();
  if (last == nullptr) return 0;
  return last->Date <= date ? 1 : 0;
}

}  // namespace ledrix
