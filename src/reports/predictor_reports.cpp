// The main-screen data listing and the deposit predictor report.
#include <memory>
#include <string>

#include "ledrix/compute.h"
#include "ledrix/events.h"
#include "ledrix/predictor.h"
#include "ledrix/reports.h"
#include "reports/report_text.h"
#include "reports/templates.h"

namespace ledrix {

namespace {

using reports::ColumnLine;
using reports::DateWithWeekday;
using reports::Money;

// Columns of a main-screen row.
constexpr int kDateColumn = 20;
constexpr int kLiabilityColumn = 34;
constexpr int kDepositColumn = 50;
constexpr int kBalanceColumn = 65;

// Columns of a predictor row.
constexpr int kRowLabelColumn = 3;
constexpr int kRowAmountColumn = 24;
constexpr int kRowDueColumn = 43;
constexpr int kRowBalanceColumn = 55;

/// From the first quarter of 2009 the main screen's balance is the running
/// difference of its two totals, before it the event's own running balance.
constexpr int kFirstQuarterOf2009 = 116;

/// The main-screen lines a page keeps free below its last row.
constexpr int kMainScreenFooterLines = 5;
/// The count a page starts from before its head is written.
constexpr int kMainScreenPageStart = 7;
constexpr int kPredictorPageStart = 8;

/// Types shown in the deposit column: the deposit class and, as a negative
/// deposit, the deferred social security tax.
bool InDepositColumn(int type) {
  return IsDepositType(type) || type == DEFER_SS;
}

ColumnLine MainScreenTotals(double liabilities, double deposits) {
  ColumnLine line;
  line.Put(0, "Totals");
  line.Put(kLiabilityColumn, Money(liabilities, 14));
  line.Put(kDepositColumn, Money(deposits, 14));
  line.End(kBalanceColumn, Money(liabilities - deposits, 14));
  return line;
}

const char* RowLabel(int kind) {
  switch (kind) {
    case PredictApplied:
      return "Deposit(s) applied";
    case PredictCatchup:
      return "98% (or $100) catchup";
    case PredictAdjustment:
      return "Adjustment applied";
    default:
      return "";
  }
}

bool IsPrinted(int kind) {
  return kind == PredictLiability || kind == PredictApplied || kind == PredictCatchup ||
         kind == PredictAdjustment;
}

ColumnLine PredictorLine(const PredictorRow& row) {
  ColumnLine line;
  line.Put(kRowLabelColumn,
           row.Kind == PredictLiability ? DateWithWeekday(row.Date) : RowLabel(row.Kind));
  line.Put(kRowAmountColumn, Money(row.Amount, 16));
  line.Put(kRowDueColumn, DateWithWeekday(row.DueDate));
  line.End(kRowBalanceColumn, Money(row.Balance, 16));
  return line;
}

}  // namespace

int CReportGenerator::GenerateMainScreenReport(int fd) {
  RecordPageStart(0);
  int lineCount = kMainScreenPageStart;
  int pages = 1;
  double liabilities = 0.0;
  double deposits = 0.0;
  int depositNumber = 0;
  lineCount += WriteFixedLines(fd, reports::kMainScreenHead, 0);
  const int count = Events ? CountEvents(Events) : 0;
  for (int i = 0; i < count; ++i) {
    const Event& event = Events[i];
    // The quarter's COBRA total stands for the single subsidies listed.
    if (event.Type == COBRA_QTR) continue;
    if (lineCount >= LinesPerPage - kMainScreenFooterLines) {
      RecordPageStart(pages);
      ++pages;
      lineCount = kMainScreenPageStart + WriteFixedLines(fd, reports::kMainScreenHead, 0);
    }
    char label[64];
    event.GetType(label, event.Type == DEPOSIT ? ++depositNumber : 0);
    ColumnLine line;
    line.Put(0, label);
    line.Put(kDateColumn, DateWithWeekday(event.Date));
    if (InDepositColumn(event.Type)) {
      const double paid = event.Type == DEFER_SS ? -event.Amount : event.Amount;
      line.Put(kDepositColumn, Money(paid, 14));
      deposits += paid;
    } else {
      line.Put(kLiabilityColumn, Money(event.Amount, 14));
      liabilities += event.Amount;
    }
    const double balance =
        Quarter < kFirstQuarterOf2009 ? event.RunningBalance : liabilities - deposits;
    line.End(kBalanceColumn, Money(balance, 14));
    WriteLine(fd, line.Text());
    ++lineCount;
  }
  WriteLine(fd, reports::kMainScreenRules[0]);
  WriteLine(fd, MainScreenTotals(liabilities, deposits).Text());
  WriteLine(fd, reports::kMainScreenRules[1]);
  return pages;
}

int CReportGenerator::GenerateWizardReport(int fd) {
  if (!Compute) return 0;
  auto table = std::make_unique<CPredictHandler>();
  for (PredictorRow& row : table->Rows) row = PredictorRow{PredictNone, Date(), 0.0, Date(), 0.0};

  RecordPageStart(0);
  int lineCount = kPredictorPageStart;
  int pages = 0;
  const reports::Template head =
      Form == 2 ? reports::kPredictorFutaRule : reports::kPredictorDepositRules;
  lineCount += WriteFixedLines(fd, head, 0);

  const int last = Compute->SetPredictor(table.get(), Document);
  // Deposits after the compute date are not in the balance: a note says so
  // below the rows. It is kept out of the table, so a table filled to its
  // 35 rows still gets it.
  const bool laterDeposits = HasDepositsAfter(Events, Compute->ComputeDate);
  if (last < 0 && !laterDeposits) WriteLine(fd, " No deposits required");
  for (int r = 0; r <= last; ++r) {
    const PredictorRow& row = table->Rows[r];
    if (!IsPrinted(row.Kind)) continue;
    WriteLine(fd, PredictorLine(row).Text());
    if (++lineCount == LinesPerPage) {
      ++pages;
      RecordPageStart(pages);
      lineCount = kPredictorPageStart + WriteFixedLines(fd, head, 0);
    }
  }
  if (laterDeposits) {
    WriteLine(fd, "   Deposits dated after today's date are not included in the balance.");
  }
  const Date first = table->Rows[0].Date;
  if (first.IsValid() && first < Compute->ComputeDate) {
    WriteLine(fd, "");
    WriteLine(fd, "Warning: Penalties on past-due amounts can increase before above date(s).");
  }
  return pages + 1;
}

}  // namespace ledrix
