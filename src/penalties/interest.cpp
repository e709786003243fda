// The interest chain: daily-compounded interest on the unpaid tax from the
// return's due date, and on each penalty from the day it falls due.
#include "ledrix/interest.h"

#include <cmath>
#include <memory>
#include <new>

#include "ledrix/amounts.h"
#include "ledrix/compute.h"
#include "ledrix/events.h"
#include "ledrix/holiday.h"

namespace ledrix {

namespace {

constexpr double kPresent = 0.009;
constexpr int kNoticeDays = 10;

bool IsCobraSubsidy(int type) {
  return type == COBRA_PMT || type == COBRA_QTR;
}

// One run of CCompute::ComputeInterest: the balance, what is still to come and
// where the chain has got to.
class InterestChain {
 public:
  InterestChain(CCompute& compute, const CRunTimePenalties& run)
      : compute_(compute),
        run_(run),
        inputs_(*compute.Penalties()),
        computeDate_(compute.ComputeDate) {}

  void Build(InterestEvent& first);
  /// Whether the table lacks the rate of the compute date's quarter.
  int MissingRateFlag() const { return rates_.IsMissingForDate(computeDate_); }

 private:
  void SetUpPenaltySteps();
  void OpenAtDueDate(InterestEvent& first);
  void ChooseSegmentEnd(InterestEvent& link) const;
  void CloseSegment(InterestEvent& link);

  // The payment event at index `e`, or null when the list has ended.
  const Event* PaymentAt(int e) const {
    if (!compute_.GetEvents() || e < 0 || e >= MaxEvents) return nullptr;
    const Event* event = compute_.GetEvent(e);
    return event->EndsList() ? nullptr : event;
  }
  // COBRA premium assistance is counted in the tax balance as the period's
  // total and is no payment after the due date: such an event never ends a
  // segment, and the payments after it are still taken.
  int SkipCobraSubsidies(int e) const {
    for (const Event* event = PaymentAt(e); event && IsCobraSubsidy(event->Type);
         event = PaymentAt(++e)) {
    }
    return e;
  }
  double Rate() const { return rates_.RateForQuarter(quarter_) / 100.0; }

  CCompute& compute_;
  const CRunTimePenalties& run_;
  const CPenalties inputs_;
  const Date computeDate_;
  RateTable rates_;

  Date noticeDate_;         // N: the deposit penalty's notice, when active
  Date additionalStart_;    // S: interest on the additional 5% begins
  Date failureToFileDate_;  // F: the extended due date, else the due date
  bool noticeDone_ = true;
  bool additionalDone_ = true;
  bool failureToFileDone_ = false;

  double balance_ = 0.0;    // T: what interest accrues on
  double unpaidTax_ = 0.0;  // P: the part of it that payments can reduce
  int event_ = 0;           // e: the next payment after the due date
  int addition_ = 0;        // a: the next failure-to-pay addition
  int quarter_ = 0;         // q: the rate quarter of the segment
  Date start_;
};

// The deposit penalty enters the balance on its notice date, and the
// additional 5% on its own start, only once the notice has run ten days by
// the compute date; and interest on the additional 5% runs only while tax
// was unpaid at the notice and ten days after that start.
void InterestChain::SetUpPenaltySteps() {
  const CC6656& notice = inputs_.CC6656;
  noticeDate_ = notice.Active ? notice.NoticeDate : Date();
  noticeDone_ = additionalDone_ =
      !noticeDate_.IsValid() || run_.ComputeDate < noticeDate_ + kNoticeDays;
  additionalStart_ = notice.InterestStart;
  if (additionalStart_.IsValid() && compute_.BalanceDue(noticeDate_) < kPresent) {
    additionalStart_ = Date();
  }
  if (compute_.BalanceDue(additionalStart_ + kNoticeDays) < kPresent) additionalStart_ = Date();

  const Date extended = inputs_.CC6651A1.ExtendedDueDate;
  failureToFileDate_ = extended.IsValid() ? extended : run_.ReturnDueDate;
}

// The first link: the tax unpaid at the due date (moved to a business day),
// from which interest runs.
void InterestChain::OpenAtDueDate(InterestEvent& first) {
  Date due = run_.ReturnDueDate;
  due.SkipToBusinessDay(Holiday::Shared().get());
  balance_ = compute_.BalanceDue(due);
  if (balance_ < kPresent) balance_ = 0.0;
  unpaidTax_ = balance_;

  event_ = 0;
  for (const Event* event = PaymentAt(0); event && event->Date <= due;
       event = PaymentAt(++event_)) {
  }
  event_ = SkipCobraSubsidies(event_);

  start_ = run_.ReturnDueDate;
  quarter_ = RateTable::QuarterOfDate(start_, rates_.LastQuarter());
  first.StartDate = first.EndDate = start_;
  first.Kind = INTEREST_LIABILITY;
  first.Principal = first.Balance = balance_;
  first.Rate = Rate();
  first.Compute();
}

// The segment ends at the compute date unless something that changes the
// balance or the rate comes first. A payment and a quarter's end must come
// strictly earlier; the penalties also on the same day, the later test
// winning on equal dates.
void InterestChain::ChooseSegmentEnd(InterestEvent& link) const {
  auto endAt = [&link](std::int32_t kind, Date date) {
    link.Kind = kind;
    link.EndDate = date;
  };
  const Event* payment = PaymentAt(event_);
  if (payment && payment->Date < link.EndDate && !IsCobraSubsidy(payment->Type) &&
      unpaidTax_ > 0.0) {
    endAt(INTEREST_PAYMENT, payment->Date);
  }
  // Past the table's last quarter (2024 Q4, or the last the rate file
  // holds) the rate stays that of the last quarter: no quarter end lies
  // before the segment's start, and none ends a segment.
  const Date quarterEnd = RateTable::QuarterEndOfIndex(quarter_, rates_.LastQuarter());
  if (quarterEnd < link.EndDate && !(quarterEnd < start_)) endAt(INTEREST_QUARTER_END, quarterEnd);
  if (!additionalDone_ && inputs_.CC6656.Active && additionalStart_.IsValid() &&
      additionalStart_ <= link.EndDate) {
    endAt(INTEREST_ADDITIONAL_5, additionalStart_);
  }
  if (!noticeDone_ && inputs_.CC6656.Active && noticeDate_.IsValid() &&
      noticeDate_ <= link.EndDate) {
    endAt(INTEREST_DEPOSIT_PENALTY, noticeDate_);
  }
  const Date addition = run_.A2additionDate(addition_);
  if (inputs_.CC6651A2.Active && addition.IsValid() && addition <= link.EndDate) {
    endAt(INTEREST_FAILURE_TO_PAY, addition);
  }
  if (inputs_.CC6651A1.Active && !failureToFileDone_ && failureToFileDate_ <= link.EndDate) {
    endAt(INTEREST_FAILURE_TO_FILE, failureToFileDate_);
  }
  // A penalty dated before the segment's start (a notice or an extended due
  // date entered before the due date) enters the balance at the start: no
  // interest is counted backwards.
  if (link.EndDate < start_) link.EndDate = start_;
}

// What the segment's end adds to or takes from the balance; its interest
// compounds into the balance.
void InterestChain::CloseSegment(InterestEvent& link) {
  double change = 0.0;
  switch (link.Kind) {
    case INTEREST_PAYMENT: {
      // Payments reduce the balance only as far as tax remains unpaid.
      const double paid = PaymentAt(event_)->Amount;
      const double taken = paid > unpaidTax_ ? unpaidTax_ : paid;
      link.Balance = taken;
      change = -taken;
      unpaidTax_ -= taken;
      event_ = SkipCobraSubsidies(event_ + 1);
      break;
    }
    case INTEREST_DEPOSIT_PENALTY:
      change = link.Balance = compute_.GetPenalty() - run_.Additional5Penalty;
      noticeDone_ = true;
      break;
    case INTEREST_FAILURE_TO_PAY:
      change = link.Balance = run_.A2additionAmount(addition_++);
      break;
    case INTEREST_QUARTER_END:
      ++quarter_;
      break;
    case INTEREST_FAILURE_TO_FILE:
      change = link.Balance = run_.FTFPenalty;
      failureToFileDone_ = true;
      break;
    case INTEREST_ADDITIONAL_5:
      change = link.Balance = run_.Additional5Penalty;
      additionalDone_ = true;
      break;
    default:
      break;
  }
  balance_ += change + link.Interest;
}

void InterestChain::Build(InterestEvent& first) {
  SetUpPenaltySteps();
  OpenAtDueDate(first);
  InterestEvent* link = first.SetNext(nullptr);
  // Without a compute date there is no end to run the interest to.
  if (!computeDate_.IsValid()) return;
  while (link && start_ < computeDate_) {
    link->StartDate = start_;
    link->Kind = INTEREST_SETTLEMENT;
    link->EndDate = computeDate_;
    link->Rate = Rate();
    ChooseSegmentEnd(*link);
    link->Principal = balance_;
    link->Compute();
    start_ = link->EndDate;
    CloseSegment(*link);
    if (!(start_ < computeDate_)) break;
    link = link->SetNext(nullptr);
  }
}

}  // namespace

// ---- InterestEvent ----------------------------------------------------------------

InterestEvent::~InterestEvent() {
  FreeChain();
}

double InterestEvent::Compute() {
  const int daysInYear = EndDate.Year() % 4 == 0 ? 366 : 365;
  const double dailyRate = Rate / daysInYear;
  const int days = StartDate.DaysApart(EndDate);
  Factor = std::pow(1.0 + dailyRate, days) - 1.0;
  double interest = Factor * Principal;
  RoundTo(interest, 2);
  Interest = interest < 0.0 ? 0.0 : interest;
  return Interest;
}

InterestEvent* InterestEvent::SetNext(InterestEvent* next) {
  if (!next) next = new (std::nothrow) InterestEvent;
  Next = next;
  return next;
}

double InterestEvent::TotalAllInterest() const {
  double total = 0.0;
  for (const InterestEvent* link = this; link; link = link->Next) total += link->Interest;
  return total;
}

void InterestEvent::FreeChain() {
  InterestEvent* link = Next;
  Next = nullptr;
  while (link) {
    // Detached before it is deleted, so its destructor frees nothing more.
    InterestEvent* following = link->Next;
    link->Next = nullptr;
    delete link;
    link = following;
  }
}

// ---- CCompute -------------------------------------------------------------------------

void CCompute::ComputeInterest(CRunTimePenalties* run, InterestEvent* first) {
  if (!run || !first) return;
  first->FreeChain();
  InterestChain chain(*this, *run);
  chain.Build(*first);
  MissingRateFlag = chain.MissingRateFlag();
}

}  // namespace ledrix
