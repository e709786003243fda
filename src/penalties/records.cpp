// The return-penalty inputs and the working record of one return-penalty run.
#include <algorithm>
#include <cstdlib>
#include <iterator>
#include <utility>

#include "ledrix/penalties.h"

namespace ledrix {

namespace {

constexpr int kFTPRowsUsed = 50;

void ClearFTFAmounts(FTFRow& row) {
  row.Penalty = 0.0;
  row.Reduction = 0.0;
  row.Net = 0.0;
}

void ClearFTPAmounts(FTPRow& row) {
  row.Base = 0.0;
  row.Penalty = 0.0;
  row.Paid = 0.0;
  row.RateCode = 0;
  row.HasNotice = 0;
  row.NoticeAmount = 0.0;
}

}  // namespace

// ---- input records -----------------------------------------------------------------

CC6656::CC6656() : AddTenDays(0) {
  Clear();
}

void CC6656::Clear() {
  Active = 0;
  LastDayToPay = Date();
  NoticeDate = Date();
  InterestStart = Date();
}

CC6651A1::CC6651A1() {
  Clear();
}

void CC6651A1::Clear() {
  Active = 0;
  ExtendedDueDate = Date();
  DateFiled = Date();
  SpareDate = Date();
  Fraudulent = 0;
}

CC6651A2::CC6651A2() {
  Clear();
}

void CC6651A2::Clear() {
  Active = 0;
  ExtendedPaymentDate = Date();
  std::fill(std::begin(Notices), std::end(Notices), Date());
  FifthNotice = Date();
  LevyNoticeDate = Date();
  JeopardyDate = Date();
}

void CC6651A2::Sort() {
  Date* slots[] = {&Notices[0], &Notices[1], &Notices[2], &Notices[3], &FifthNotice};
  constexpr int kCount = 5;
  for (int i = 0; i < kCount; ++i) {
    for (int j = i + 1; j < kCount; ++j) {
      // A later valid date moves in front of a smaller one or of no date.
      Date& here = *slots[i];
      Date& later = *slots[j];
      if (later.IsValid() && (!here.IsValid() || later < here)) std::swap(here, later);
    }
  }
}

// ---- CPenalties -----------------------------------------------------------------------

void CPenalties::Clear() {
  CC6656.Clear();
  CC6651A1.Clear();
  CC6651A2.Clear();
}

int CPenalties::CompareDates(const void* a, const void* b) {
  const auto left = static_cast<const Date*>(a)->Serial;
  const auto right = static_cast<const Date*>(b)->Serial;
  return left < right ? -1 : (left > right ? 1 : 0);
}

void CPenalties::SortNoticeDates() {
  // The jeopardy date is for the reports; the computation never uses it.
  CC6651A2.JeopardyDate = Date();
  for (Date& notice : CC6651A2.Notices) {
    if (notice.Serial == 0) notice = Date();
  }
  std::qsort(CC6651A2.Notices, std::size(CC6651A2.Notices), sizeof(Date), CompareDates);
}

// ---- CRunTimePenalties ------------------------------------------------------------------

CRunTimePenalties::CRunTimePenalties() : Document(nullptr), Compute(nullptr) {
  ReturnDueDate = Date();
  ComputeDate = Date();
  for (FTFRow& row : FTFMonths) row.MonthEnd = Date();
  for (FTPRow& row : FTPMonths) {
    row.MonthEnd = Date();
    row.NoticeDate = Date();
  }
  Clear();
}

void CRunTimePenalties::Clear() {
  AmountSubject = 0.0;
  for (FTFRow& row : FTFMonths) ClearFTFAmounts(row);
  for (FTPRow& row : FTPMonths) ClearFTPAmounts(row);
  FTFMonthCount = 0;
  FTFMaxRate = 0.0;
  FTFMinimum = 0.0;
  FTPMaximum = 0.0;
  FTPMinimum = 0.0;
  FTFPenalty = 0.0;
  FTPPenalty = 0.0;
  Additional5Penalty = 0.0;
  WithinTenDays = 0;
  for (A2Addition& addition : A2Additions) addition = A2Addition{Date(), 0.0};
}

Date CRunTimePenalties::A2additionDate(int i) const {
  if (i < 0 || i >= AdditionCount) return Date();
  return A2Additions[i].Date;
}

double CRunTimePenalties::A2additionAmount(int i) const {
  if (i < 0 || i >= AdditionCount) return 0.0;
  return A2Additions[i].Amount;
}

int CRunTimePenalties::Overlap(Date monthEnd) const {
  const Date monthStart = monthEnd.AddMonths(-1) + 1;
  for (int j = 0; j < kFTPRowsUsed; ++j) {
    if (!FTPMonths[j].MonthEnd.IsValid()) return -1;
    const Date lastDay = FTPMonths[j].MonthEnd - 1;
    if (lastDay > monthEnd) return -1;
    if (lastDay > monthStart) return j;
  }
  return -1;
}

}  // namespace ledrix
