// The return in the IRS's account-listing layout: the banner and name block,
// the daily liabilities of the quarter's three months, and the credit
// transactions three to a line, with margin strings down the left edge.
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "ledrix/amounts.h"
#include "ledrix/compute.h"
#include "ledrix/events.h"
#include "ledrix/liability.h"
#include "ledrix/reports.h"
#include "reports/report_text.h"
#include "reports/templates.h"

namespace ledrix {

namespace {

constexpr int kMaxMarginStrings = 10;
/// Transaction lines of a credit listing: blank form rows fill the rest.
constexpr int kTransactionLines = 17;
constexpr int kCellsPerLine = 3;
constexpr int kCellStride = 27;
/// Day totals of a quarter: 31 for each of its three months.
constexpr int kDaysPerMonth = 31;
constexpr int kQuarterDays = 3 * kDaysPerMonth;

/// The deposits of one date, in list order.
struct DepositGroup {
  Date date;
  double amount = 0.0;
};

/// Deposits and COBRA subsidies grouped by date: a deposit of the date of
/// the group before it joins that group. Non-deposit payments are not
/// listed.
std::vector<DepositGroup> GroupDeposits(CCompute& compute) {
  std::vector<DepositGroup> groups;
  const Event* events = compute.GetEvents();
  const int count = events ? CountEvents(events) : 0;
  for (int i = 0; i < count; ++i) {
    const Event& event = events[i];
    if (event.Type != DEPOSIT && event.Type != COBRA_PMT && event.Type != COBRA_QTR) continue;
    if (groups.empty() || groups.back().date != event.Date) groups.push_back({event.Date, 0.0});
    groups.back().amount += event.Amount;
  }
  return groups;
}

/// What the liability's applications of `date` add up to.
double AppliedOn(const CLiability& liability, Date date) {
  double sum = 0.0;
  for (const CDeposit* piece = liability.Next; piece; piece = piece->Next) {
    if (piece->Date == date) sum += piece->Amount;
  }
  return sum;
}

/// The catch-up liabilities as the listing numbers them: a monthly
/// depositor's all in position 1, a semi-weekly depositor's each in its
/// own, the fourth with the third. Positions that receive none stay null.
std::vector<std::unique_ptr<CLiability>> CombinedCatchups(CCompute& compute,
                                                          void (*merge)(CLiability*, CLiability*)) {
  const int slots = compute.CatchupSlots < MaxCatchupSlots ? compute.CatchupSlots : MaxCatchupSlots;
  std::vector<std::unique_ptr<CLiability>> positions(slots > 0 ? slots : 0);
  const bool monthly = compute.GetComputeMethod() == 0;
  for (int k = 0; k < slots; ++k) {
    CLiability* catchup = compute.CatchupLiabilities[k];
    if (catchup == nullptr) continue;
    const int position = monthly ? 0 : (k == 3 ? 2 : k);
    if (positions[position]) {
      merge(catchup, positions[position].get());
    } else {
      positions[position] = std::make_unique<CLiability>(*catchup);
    }
  }
  return positions;
}

std::string DayTotalsLine(const double* totals, int i) {
  char line[128];
  const double* m1 = totals;
  const double* m2 = totals + kDaysPerMonth;
  const double* m3 = totals + 2 * kDaysPerMonth;
  std::snprintf(line, sizeof line, "%2d %9.2f %2d %9.2f  %2d %9.2f %2d %9.2f  %2d %9.2f %2d %9.2f",
                i, m1[i - 1], i + 15, m1[i + 14], i, m2[i - 1], i + 15, m2[i + 14], i, m3[i - 1],
                i + 15, m3[i + 14]);
  return line;
}

}  // namespace

void CReportGenerator::MarginLine(char* out, int k, const char* const* margin) {
  int n = 0;
  for (int s = 0; margin && s < kMaxMarginStrings && margin[s]; ++s) {
    const std::size_t length = std::strlen(margin[s]);
    out[n++] = static_cast<std::size_t>(k) < length ? margin[s][k] : ' ';
  }
  out[n] = '\0';
}

void CReportGenerator::WriteMarginLine(int fd, const char* text, const char* const* margin,
                                       int& k) {
  char prefix[kMaxMarginStrings + 1];
  MarginLine(prefix, k++, margin);
  WriteLine(fd, (std::string(prefix) + text).c_str());
}

bool CReportGenerator::WriteIRSPartHead(int fd, const char* title, const char* const* head,
                                        const char* const* margin, int& k) {
  if (!Compute) return false;
  char line[ReportLineSize];
  // No penalty section fills these lines: `which` is none of them.
  constexpr int kNoSection = -1;
  if (title) {
    std::memset(line, 0, sizeof line);
    std::strncpy(line, title, sizeof line - 1);
    DoReplacement(line, nullptr, kNoSection, fd, nullptr, Compute);
    WriteLine(fd, line);
  }
  for (const char* const* text = head; *text; ++text) {
    std::memset(line, 0, sizeof line);
    std::strncpy(line, *text, sizeof line - 1);
    DoReplacement(line, nullptr, kNoSection, fd, nullptr, Compute);
    WriteMarginLine(fd, line, margin, k);
  }
  return true;
}

int CReportGenerator::PutTransaction(int fd, char* line, int column, char letter, int number,
                                     Date date, double amount, bool withCode,
                                     const char* const* margin, int& k) {
  int month = 0, day = 0, year = 0;
  date.GetMDY(month, day, year);
  const std::string money = reports::Money(amount, 13);
  char cell[64];
  if (withCode) {
    std::snprintf(cell, sizeof cell, "%c%.2d %.2d%.2d%.4d %s", letter, number, month, day,
                  year + 1900, money.c_str());
  } else {
    std::snprintf(cell, sizeof cell, "    %.2d%.2d%.4d %s", month, day, year + 1900, money.c_str());
  }
  const int at = column * kCellStride;
  reports::Overwrite(line, at, cell);
  if (column < kCellsPerLine - 1) return 0;
  line[at + std::strlen(cell)] = '\0';
  WriteMarginLine(fd, line, margin, k);
  std::strcpy(line, reports::kBlankFormRow);
  return 1;
}

void CReportGenerator::FinishTransactions(int fd, char* line, int column, int lines,
                                          const char* const* margin, int& k) {
  if (column != 0) {
    WriteMarginLine(fd, line, margin, k);
    ++lines;
  }
  for (; lines < kTransactionLines; ++lines) WriteMarginLine(fd, reports::kBlankFormRow, margin, k);
  WriteLine(fd, "");
}

void CReportGenerator::MergeCatchupLiability(CLiability* from, CLiability* into) {
  into->Amount = Cents(into->Amount + from->Amount);
  for (const CDeposit* piece = from->Next; piece; piece = piece->Next) {
    CDeposit* same = into->Next;
    while (same && same->DepositNumber != piece->DepositNumber) same = same->Next;
    if (same) {
      same->Amount = Cents(same->Amount + piece->Amount);
      continue;
    }
    CDeposit* added = into->AddDeposit();
    if (!added) return;
    added->Amount = Cents(piece->Amount);
    added->EventType = piece->EventType;
    added->Date = piece->Date;
    added->EventIndex = piece->EventIndex;
    added->PaymentNumber = piece->PaymentNumber;
    added->DepositNumber = piece->DepositNumber;
  }
}

void CReportGenerator::GenerateIRSHeader(int fd, int* lineCount) {
  WriteTemplate(fd, ppIRSOnlyHdr, nullptr, SectionAdditional5, nullptr, Compute);
  int lines = 0;
  while (ppIRSOnlyHdr[lines]) ++lines;
  if (lineCount) *lineCount += lines;
}

int CReportGenerator::GenerateLiabilityDetail(int fd, const char* title,
                                              const char* const* margin) {
  int k = 0;
  if (!WriteIRSPartHead(fd, title, reports::kIRSLiabilityHead, margin, k)) return 0;
  // The liability of each day: 31 entries for each month of the quarter.
  double totals[kQuarterDays] = {};
  const int firstMonth = Date::QuarterStart(Compute->GetQuarter()).Month();
  const Event* events = Compute->GetEvents();
  const int count = events ? CountEvents(events) : 0;
  for (int i = 0; i < count; ++i) {
    const Event& event = events[i];
    if (!IsLiabilityType(event.Type)) continue;
    const int index = (event.Date.Month() - firstMonth) * kDaysPerMonth + event.Date.Day() - 1;
    if (index >= 0 && index < kQuarterDays) totals[index] += event.Amount;
  }
  for (int i = 1; i <= 15; ++i) WriteMarginLine(fd, DayTotalsLine(totals, i).c_str(), margin, k);
  char last[128];
  std::snprintf(last, sizeof last,
                "             31 %9.2f               31 %9.2f               31 %9.2f", totals[30],
                totals[61], totals[92]);
  WriteMarginLine(fd, last, margin, k);
  WriteMarginLine(fd, "", margin, k);
  return k;
}

int CReportGenerator::GenerateDepositDetail(int fd, const char* title, const char* const* margin) {
  int k = 0;
  if (!WriteIRSPartHead(fd, title, reports::kIRSDepositHead, margin, k)) return 0;
  char line[ReportLineSize];
  std::strcpy(line, reports::kBlankFormRow);
  int column = 0;
  int lines = 0;
  for (const DepositGroup& group : GroupDeposits(*Compute)) {
    // The listing ends at a group that adds up to nothing.
    if (group.amount <= 0.0) break;
    lines += PutTransaction(fd, line, column, ' ', 0, group.date, group.amount, false, margin, k);
    column = (column + 1) % kCellsPerLine;
  }
  FinishTransactions(fd, line, column, lines, margin, k);
  return k;
}

int CReportGenerator::GenerateIRSInputReport(int fd, const char* title, const char* const* margin) {
  int k = 0;
  if (!WriteIRSPartHead(fd, title, reports::kIRSDepositHead, margin, k)) return 0;
  char line[ReportLineSize];
  std::strcpy(line, reports::kBlankFormRow);
  const auto catchups = CombinedCatchups(*Compute, MergeCatchupLiability);
  int column = 0;
  int lines = 0;
  auto put = [&](char letter, int position, Date date, double amount) {
    lines += PutTransaction(fd, line, column, letter, position, date, amount, true, margin, k);
    column = (column + 1) % kCellsPerLine;
  };
  for (const DepositGroup& group : GroupDeposits(*Compute)) {
    if (group.amount <= 0.0) break;
    for (int j = 0; j < Compute->LiabilitySlots && j < MaxLiabilitySlots; ++j) {
      const CLiability* liability = Compute->Liabilities[j];
      const double paid = liability ? AppliedOn(*liability, group.date) : 0.0;
      if (paid != 0.0) put('L', j + 1, group.date, paid);
    }
    for (std::size_t p = 0; p < catchups.size(); ++p) {
      const double paid = catchups[p] ? AppliedOn(*catchups[p], group.date) : 0.0;
      if (paid != 0.0) put('S', static_cast<int>(p) + 1, group.date, paid);
    }
  }
  FinishTransactions(fd, line, column, lines, margin, k);
  return k;
}

}  // namespace ledrix
