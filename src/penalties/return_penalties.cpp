// The return penalties: the additional 5% deposit penalty after a notice
// (IRC 6656), failure to pay (IRC 6651(a)(2)) and failure to file
// (IRC 6651(a)(1)).
#include <algorithm>
#include <cstdlib>

#include "ledrix/amounts.h"
#include "ledrix/compute.h"
#include "ledrix/holiday.h"
#include "ledrix/penalties.h"

namespace ledrix {

namespace {

constexpr double kPresent = 0.009;
constexpr int kNoticeDays = 10;

constexpr double kAdditionalRate = 0.05;

constexpr double kFailureToPayRate = 0.005;
constexpr double kFailureToPayLevyRate = 0.01;
constexpr int kRateCodeRegular = 1;
constexpr int kRateCodeLevy = 2;
constexpr double kFailureToPayMaximum = 0.25;
constexpr int kFailureToPayMonths = 50;

constexpr double kFailureToFileRate = 0.05;
constexpr double kFraudulentRate = 0.15;
constexpr double kFailureToFileMaximum = 0.25;
constexpr double kFraudulentMaximum = 0.75;
constexpr int kFailureToFileRows = CRunTimePenalties::FTFRowCount;

double Unpaid(const CRunTimePenalties* run, Date date) {
  return run->Compute->BalanceDue(date);
}

// The failure-to-pay rate rises to 1% a month once a notice of intent to levy
// has run ten days with tax still unpaid at its tenth day.
bool LevyRateApplies(const CRunTimePenalties* run, Date levyNotice, Date asOf) {
  if (!levyNotice.IsValid()) return false;
  const Date inForce = levyNotice + kNoticeDays;
  return inForce <= asOf && Unpaid(run, inForce) > kPresent;
}

// A negative amount subject to penalty (more paid than owed on the due date)
// is set to zero and nothing is charged.
bool NegativeSubjectCleared(CRunTimePenalties* run) {
  if (run->AmountSubject >= 0.0) return false;
  run->AmountSubject = 0.0;
  return true;
}

void ClearUnusedFTPRow(FTPRow& row) {
  row.MonthEnd = Date();
  row.Base = 0.0;
  row.Penalty = 0.0;
  row.NoticeAmount = 0.0;
  row.HasNotice = 0;
}

}  // namespace

int CPenalties::Compute(CRunTimePenalties* run) {
  SortNoticeDates();
  if (!run || !run->Compute) return 0;
  // Failure to file comes last: its reduction reads the failure-to-pay rows.
  // The return codes are not passed on.
  comp6656(run);
  comp6651a2(run);
  comp6651a1(run);
  return 0;
}

// Charged once the notice's last day to pay has passed and the notice has run
// ten days, on what was unpaid on that last day; what is paid later does not
// reduce it.
int CPenalties::comp6656(CRunTimePenalties* run) {
  run->WithinTenDays = 0;
  run->Additional5Penalty = 0.0;
  const Date lastDay = CC6656.LastDayToPay;
  const double unpaid = Unpaid(run, lastDay);
  if (unpaid < kPresent) return 0;
  if (run->ComputeDate > lastDay) {
    if (!CC6656.Active || CC6656.NoticeDate + kNoticeDays > run->ComputeDate) return 0;
    run->Additional5Penalty = Cents(std::max(0.0, kAdditionalRate * unpaid));
    return 0;
  }
  // The ten days before the last day to pay are the ones a reminder matters
  // in, whether or not the penalty is being computed.
  if (run->ComputeDate > lastDay - kNoticeDays) run->WithinTenDays = 1;
  return 0;
}

// 0.5% (1% after a levy notice) of the tax unpaid at the start of each month
// or part of a month, counted from the due date (or the extended payment
// date), charged in full whatever is paid during the month; at most 25% of
// the tax unpaid on the due date. At each late-payment notice, what has
// accrued since the last one is assessed (A2Additions), from which interest
// runs.
int CPenalties::comp6651a2(CRunTimePenalties* run) {
  if (!CC6651A2.Active) return 0;
  if (NegativeSubjectCleared(run)) return 1;
  constexpr int kNoticeCount = 4;
  Date notices[kNoticeCount];
  for (int i = 0; i < kNoticeCount; ++i) {
    notices[i] = CC6651A2.Notices[i].IsValid() ? CC6651A2.Notices[i] : Date();
  }
  std::qsort(notices, kNoticeCount, sizeof(Date), CompareDates);

  // The maximum is an amount of penalty, so it is held in cents like every
  // other.
  run->FTPMaximum = Cents(kFailureToPayMaximum * run->AmountSubject);
  Date start = run->ReturnDueDate;
  const Date extended = CC6651A2.ExtendedPaymentDate;
  if (extended.IsValid() && extended > start) start = extended;
  Date firstLate = start;
  firstLate.SkipToBusinessDay(Holiday::Shared().get());
  if (firstLate == start) firstLate = start + 1;
  double unpaid = std::max(0.0, Unpaid(run, firstLate));
  if (run->ComputeDate < firstLate) return 0;

  run->FTPPenalty = 0.0;
  const Date levyNotice = CC6651A2.LevyNoticeDate;
  bool raised = LevyRateApplies(run, levyNotice, firstLate);
  double accrued = 0.0;
  int assessed = 0;
  int last = 0;
  for (int k = 0; k < kFailureToPayMonths; ++k) {
    last = k;
    FTPRow& row = run->FTPMonths[k];
    const int rateCode = raised ? kRateCodeLevy : kRateCodeRegular;
    row.HasNotice = 0;
    row.Base = unpaid;
    row.NoticeAmount = 0.0;
    row.RateCode = rateCode;
    const Date monthEnd = start.AddMonths(k + 1);
    row.MonthEnd = monthEnd;
    if (Unpaid(run, start.AddMonths(k) + 1) < kPresent) {
      row.Penalty = 0.0;
      break;
    }
    const double penalty = Cents(unpaid * (raised ? kFailureToPayLevyRate : kFailureToPayRate));
    row.Penalty = penalty;
    run->FTPPenalty += penalty;
    accrued += penalty;
    while (assessed < kNoticeCount && notices[assessed].IsValid() &&
           notices[assessed] <= monthEnd) {
      row.NoticeDate = notices[assessed];
      row.NoticeAmount = accrued;
      row.HasNotice = 1;
      run->A2Additions[assessed] = A2Addition{notices[assessed], accrued};
      ++assessed;
      accrued = 0.0;
    }
    if (!(monthEnd < run->ComputeDate)) break;
    if (!raised) raised = LevyRateApplies(run, levyNotice, monthEnd);
    const double next = Unpaid(run, monthEnd + 1);
    row.Paid = unpaid - next;
    unpaid = next;
    if (next < kPresent) break;
  }
  for (int k = last + 1; k < kFailureToPayMonths; ++k) ClearUnusedFTPRow(run->FTPMonths[k]);

  if (run->FTPMinimum > run->FTPPenalty) run->FTPPenalty = run->FTPMinimum;
  if (run->FTPPenalty > run->FTPMaximum) run->FTPPenalty = run->FTPMaximum;
  return 0;
}

// 5% (15% when fraudulent) of the tax unpaid on the due date for each month or
// part of a month from the due date (or the extended due date) to filing, at
// most five months, each month less the failure-to-pay penalty of the same
// month. No minimum applies: FTFMinimum is 0.
int CPenalties::comp6651a1(CRunTimePenalties* run) {
  if (!CC6651A1.Active) return 0;
  if (NegativeSubjectCleared(run)) return 1;
  const Date filed = CC6651A1.DateFiled;
  if (!filed.IsValid()) return 2;
  const bool fraudulent = CC6651A1.Fraudulent != 0;
  run->FTFMaxRate =
      fraudulent && IsPresent(run->AmountSubject) ? kFraudulentMaximum : kFailureToFileMaximum;
  run->FTFMinimum = 0.0;

  Date due = run->ReturnDueDate;
  due.SkipToBusinessDay(Holiday::Shared().get());
  const double base = Unpaid(run, due);
  if (base < kPresent || !(filed > due)) return 0;

  const Date extended = CC6651A1.ExtendedDueDate;
  const Date start =
      extended.IsValid() && !(extended < run->ReturnDueDate) ? extended : run->ReturnDueDate;
  run->FTFPenalty = 0.0;
  run->FTFMonthCount = 0;
  const double rate = fraudulent ? kFraudulentRate : kFailureToFileRate;
  if (start < filed) {
    Date monthEnd = start;
    int k = 0;
    do {
      monthEnd = monthEnd.AddMonths(1);
      if (k < kFailureToFileRows) {
        FTFRow& row = run->FTFMonths[k];
        row.MonthEnd = monthEnd;
        row.Penalty = Cents(rate * base);
        const int overlap = CC6651A2.Active ? run->Overlap(monthEnd) : -1;
        row.Reduction = overlap >= 0 ? double{run->FTPMonths[overlap].Penalty} : 0.0;
        row.Net = row.Penalty - row.Reduction;
        run->FTFPenalty += row.Net;
      }
      ++run->FTFMonthCount;
      ++k;
    } while (monthEnd < filed);
  }
  if (run->FTFMinimum > run->FTFPenalty) run->FTFPenalty = run->FTFMinimum;
  return 0;
}

}  // namespace ledrix
