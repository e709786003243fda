// The penalty reports: the failure-to-deposit detail, the return-penalty
// sections with the failure-to-pay input window and month summary.
#include <cstdio>
#include <cstring>
#include <iterator>
#include <string>

#include "ledrix/amounts.h"
#include "ledrix/compute.h"
#include "ledrix/events.h"
#include "ledrix/interest.h"
#include "ledrix/liability.h"
#include "ledrix/module.h"
#include "ledrix/penalties.h"
#include "ledrix/reports.h"
#include "reports/report_text.h"
#include "reports/templates.h"

namespace ledrix {

namespace {

using reports::ColumnLine;
using reports::DateWithWeekday;
using reports::Money;

// Columns of the failure-to-deposit lines.
constexpr int kDateColumn = 15;
constexpr int kAmountColumn = 27;
constexpr int kBaseColumn = 42;
constexpr int kDaysColumn = 56;
constexpr int kRateColumn = 63;
constexpr int kPenaltyColumn = 66;

constexpr int kFTPRowsUsed = 50;

/// "(IRS PAYMENT ALLOCATION 2)", or the alternative's number in octal:
/// allocation 1 prints 000, 9 prints 010, 256 prints 0377.
std::string MethodText(CCompute& compute) {
  const int method = compute.DepositAllocationMethod;
  char text[96];
  if (method != 0) {
    std::snprintf(text, sizeof text, LoadString(IDS_ALTERNATIVE_ALLOCATION).c_str(),
                  static_cast<unsigned>(method - 1));
  } else {
    std::snprintf(text, sizeof text, LoadString(IDS_IRS_ALLOCATION).c_str(),
                  compute.GetIRSDirection());
  }
  return text;
}

std::string Days(int days) {
  char text[16];
  std::snprintf(text, sizeof text, "%5d", days);
  return text;
}

std::string RateText(const CDeposit& piece) {
  char text[8];
  piece.GetRate(text);
  return text;
}

/// The label of an application: its deposit or payment number, or its type.
std::string ApplicationLabel(const CDeposit& piece) {
  char text[64];
  switch (piece.EventType) {
    case DEPOSIT:
      std::snprintf(text, sizeof text, "Deposit %d", piece.DepositNumber);
      return text;
    case PAYMENT:
      std::snprintf(text, sizeof text, "NonFTD %d", piece.PaymentNumber);
      return text;
    case COBRA_PMT:
    case COBRA_QTR:
      return "COBRA Subsidy";
    default:
      return LoadString(IDS_EVENT_TYPE_FIRST + piece.EventType);
  }
}

/// One application: what it paid (a credit's sign reversed, so it reads as
/// the reduction it is) and, when it cost a penalty, its base, lateness,
/// rate and penalty.
ColumnLine ApplicationLine(const CDeposit& piece) {
  ColumnLine line;
  line.Put(0, ApplicationLabel(piece));
  line.Put(kDateColumn, DateWithWeekday(piece.Date));
  const double paid = IsDepositType(piece.EventType) ? piece.Amount : -piece.Amount;
  if (piece.Penalty <= 0.001) {
    line.End(kAmountColumn, Money(paid, 14));
    return line;
  }
  line.Put(kAmountColumn, Money(paid, 14));
  line.Put(kBaseColumn, Money(piece.Amount, 14));
  // A non-deposit payment is priced at its rate whatever its lateness.
  line.Put(kDaysColumn, piece.EventType == PAYMENT ? "  N/A" : Days(piece.DaysLate));
  line.Put(kRateColumn, RateText(piece));
  line.End(kPenaltyColumn, Money(piece.Penalty, 14));
  return line;
}

/// The unpaid part at the compute date, priced at its lateness then.
ColumnLine SettlementLine(const CLiability& liability, Date computeDate) {
  ColumnLine line;
  line.Put(0, "Settlement");
  line.Put(kDateColumn, DateWithWeekday(computeDate));
  line.Put(kAmountColumn, Money(liability.UnpaidAmount, 14));
  line.Put(kBaseColumn, Money(liability.UnpaidAmount, 14));
  line.Put(kDaysColumn, Days(liability.UnpaidDays));
  line.Put(kRateColumn, RateText(liability));
  line.End(kPenaltyColumn, Money(liability.UnpaidPenalty, 14));
  return line;
}

/// Footer line with its run of '#' replaced by the total, right-justified
/// to the run's length.
std::string TotalLine(const char* templateLine, double total) {
  std::string line = templateLine;
  const std::size_t start = line.find('#');
  if (start == std::string::npos) return line;
  const std::size_t length = line.find_first_not_of('#', start) == std::string::npos
                                 ? line.size() - start
                                 : line.find_first_not_of('#', start) - start;
  char text[64];
  FormatAmount(text, total);
  RightJustify(text, static_cast<int>(length));
  line.replace(start, length, text);
  return line;
}

}  // namespace

int CReportGenerator::GeneratePenaltyReport(int fd) {
  // Without a compute object there is nothing to report.
  if (!Compute) return 0;
  Compute->SortLiabilities(1);
  RecordPageStart(0);
  int lineNo = 7;
  int pageNo = 1;
  // The first page's head carries the allocation method and no empty line.
  lineNo += WriteFixedLines(fd, reports::kPenaltyPageHead, 0, MethodText(*Compute).c_str());
  for (int i = 0; i < Compute->LiabilitySlots; ++i) {
    PrintOneLiability(fd, Compute->Liabilities[i], Compute, lineNo, pageNo);
  }
  for (int i = 0; i < Compute->CatchupSlots; ++i) {
    PrintOneLiability(fd, Compute->CatchupLiabilities[i], Compute, lineNo, pageNo);
  }
  WriteLine(fd, "");
  for (const char* const* line = reports::kPenaltyFooter; *line; ++line) {
    WriteLine(fd, TotalLine(*line, Compute->GetPenalty()).c_str());
  }
  return pageNo;
}

int CReportGenerator::PrintOneLiability(int fd, CLiability* liability, CCompute* compute,
                                        int& lineNo, int& pageNo) {
  if (!liability || liability->Amount <= 0.001) return 0;
  // The events cumulated into the liability.
  const EventIndexArray& indices = liability->EventIndices;
  for (int i = 0; Events && i < indices.GetSize() && indices[i] >= 0; ++i) {
    const Event& event = Events[indices[i]];
    char type[64];
    event.GetType(type, event.LiabilityNumber);
    ColumnLine line;
    line.Put(0, std::string(type) + " ");
    line.Put(kDateColumn, DateWithWeekday(event.Date));
    line.End(kAmountColumn, Money(event.Amount, 14));
    WriteLine(fd, line.Text());
    ++lineNo;
    CheckForNewPage(lineNo, fd, pageNo);
  }
  // A catch-up liability has no events of its own.
  if (indices.GetSize() == 0 || indices[0] < 0) {
    ColumnLine line;
    line.Put(0, "98% rule catchup");
    line.End(kAmountColumn, Money(liability->Amount, 14));
    WriteLine(fd, line.Text());
    ++lineNo;
  }
  ColumnLine due;
  due.Put(0, "Due date");
  due.End(kDateColumn, DateWithWeekday(liability->Date));
  WriteLine(fd, due.Text());
  ++lineNo;

  liability->SortDeposits(0);
  for (const CDeposit* piece = liability->Next; piece; piece = piece->Next) {
    WriteLine(fd, ApplicationLine(*piece).Text());
    ++lineNo;
    CheckForNewPage(lineNo, fd, pageNo);
  }
  if (liability->RealBalance() > 0.009) {
    if (liability->Applied98) {
      WriteLine(fd, "The 98% safe harbor rule (or $100 rule) was applied to this liability");
    } else {
      const Date settled = compute ? compute->ComputeDate : Date();
      WriteLine(fd, SettlementLine(*liability, settled).Text());
    }
    ++lineNo;
  }
  WriteLine(fd, "");
  ++lineNo;
  return pageNo;
}

void CReportGenerator::Generate6656Detail(int fd, CRunTimePenalties* pen) {
  if (pen)
    WriteTemplate(fd, reports::kAdditional5Detail, pen, SectionAdditional5, nullptr, nullptr);
}

void CReportGenerator::Generate6651a1Detail(int fd, CRunTimePenalties* pen) {
  if (pen) {
    WriteTemplate(fd, reports::kFailureToFileDetail, pen, SectionFailureToFile, nullptr, nullptr);
  }
}

void CReportGenerator::Generate6651a2Detail(int fd, CRunTimePenalties* pen) {
  if (pen) {
    WriteTemplate(fd, reports::kFailureToPayDetail, pen, SectionFailureToPay, nullptr, nullptr);
  }
}

void CReportGenerator::Generate6651a2Window(int fd, Date returnDue) {
  const CC6651A2 none;
  const CC6651A2& inputs = Penalties ? Penalties->CC6651A2 : none;
  const Date dates[] = {
      returnDue,         inputs.ExtendedPaymentDate, inputs.Notices[0],    inputs.Notices[1],
      inputs.Notices[2], inputs.Notices[3],          inputs.LevyNoticeDate};
  WriteDatedLines(fd, reports::kFailureToPayWindow, dates, static_cast<int>(std::size(dates)));
}

void CReportGenerator::Generate6651a1Window(int, Date) {}

void CReportGenerator::Generate6656Window(int, Date) {}

void CReportGenerator::Generate6651a2Summary(int fd, CRunTimePenalties* pen) {
  if (!pen) return;
  const FTPRow* rows = pen->FTPMonths;
  int row = 0;
  for (;;) {
    // A period: consecutive months of exactly the same base and rate.
    double penalty = rows[row].Penalty;
    int months = 1;
    while (row < kFTPRowsUsed && rows[row].Base == rows[row + 1].Base &&
           rows[row].RateCode == rows[row + 1].RateCode) {
      ++row;
      penalty += rows[row].Penalty;
      ++months;
    }
    const FTPRow& last = rows[row];
    if (last.Base < 0.009) return;
    char count[16];
    std::snprintf(count, sizeof count, "%4d", months);
    ColumnLine period;
    period.Put(0, "Penalty period through");
    period.Put(24, reports::DateText(last.MonthEnd));
    period.Put(33, Money(last.Base, 14));
    period.Put(47, count);
    period.Put(53, last.RateCode == 1 ? "0.5%" : "1.0%");
    period.Put(59, Money(penalty, 14));
    period.TrimRight();
    WriteLine(fd, period.Text());
    if (row >= kFTPRowsUsed) return;
    if (last.Paid > 0.0) {
      ColumnLine payment;
      payment.Put(0, "Payments affecting next period");
      payment.Put(33, Money(last.Paid, 14));
      payment.TrimRight();
      WriteLine(fd, payment.Text());
      WriteLine(fd, "");
    }
    if (last.Base <= 0.009) return;
    ++row;
  }
}

int CReportGenerator::GeneratePenaltySummary(int fd) {
  if (!Compute) return 0;
  RecordPageStart(0);
  CRunTimePenalties run;
  InterestEvent chain;
  // The run's due date is the compute object's, which the generator's
  // DueDate is set from.
  RunReturnPenalties(*Compute, Penalties, Document, run, chain);
  WriteTemplate(fd, reports::kPenaltySummary, &run, SectionAdditional5, &chain, Compute);
  return 1;
}

}  // namespace ledrix
