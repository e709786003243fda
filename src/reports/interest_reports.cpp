// The interest reports: the return-penalty sections with the interest detail,
// and the table of IRS interest rates with the legal holidays.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "ledrix/amounts.h"
#include "ledrix/compute.h"
#include "ledrix/holiday.h"
#include "ledrix/interest.h"
#include "ledrix/reports.h"
#include "reports/report_text.h"
#include "reports/templates.h"

namespace ledrix {

namespace {

using reports::DateText;
using reports::Money;

// Columns of an interest line.
constexpr int kDateColumn = 12;
constexpr int kDaysColumn = 22;
constexpr int kRateColumn = 30;
constexpr int kFactorColumn = 38;
constexpr int kAmountColumn = 50;
constexpr int kInterestColumn = 64;
constexpr int kInterestLineWidth = 80;

/// The rate pages indent the header block by three blanks.
constexpr int kRatePageIndent = 3;
/// The first year of the rate table: slot 0 is its first quarter.
constexpr int kFirstRateYear = 1993;

// The built-in holidays are listed for the last four years of their table,
// latest first, at these columns.
constexpr int kListedHolidaySlots[] = {31, 30, 29, 28};
constexpr int kListedHolidayColumns[] = {33, 43, 53, 63};
constexpr int kHolidayNameColumn = 3;
constexpr int kUserHolidayDateColumn = 32;

/// The label of a chain entry by what ends its segment.
const char* InterestLabel(int kind) {
  switch (kind) {
    case INTEREST_PAYMENT:
      return "Deposit";
    case INTEREST_DEPOSIT_PENALTY:
      return "6656";
    case INTEREST_FAILURE_TO_PAY:
      return "6651(a)(2)";
    case INTEREST_QUARTER_END:
      return "Interest";
    case INTEREST_SETTLEMENT:
      return "Settlement";
    case INTEREST_LIABILITY:
      return "Liability";
    case INTEREST_FAILURE_TO_FILE:
      return "6651(a)(1)";
    case INTEREST_ADDITIONAL_5:
      return "6656 (5%)";
    default:
      return "";
  }
}

/// The line of chain entry `e` shown as an entry of `kind`, in `line` (a
/// buffer of ReportLineSize bytes).
void BuildInterestLine(char* line, const InterestEvent& e, int kind) {
  std::memset(line, ' ', kInterestLineWidth);
  line[kInterestLineWidth] = '\0';
  reports::Overwrite(line, kDateColumn, DateText(e.StartDate));
  reports::Overwrite(line, kAmountColumn, Money(e.Balance > 0.001 ? e.Balance : e.Principal, 14));
  switch (kind) {
    case INTEREST_PAYMENT:
    case INTEREST_LIABILITY:
      reports::Overwrite(line, 0, InterestLabel(kind));
      TrimRight(line);
      return;
    case INTEREST_DEPOSIT_PENALTY:
    case INTEREST_FAILURE_TO_PAY:
    case INTEREST_FAILURE_TO_FILE:
    case INTEREST_ADDITIONAL_5:
      // A penalty that falls due: what it adds, whatever its size.
      reports::Overwrite(line, 0, InterestLabel(kind));
      TrimRight(line);
      reports::Overwrite(line, kAmountColumn, Money(e.Balance, 14));
      return;
    case INTEREST_QUARTER_END:
      reports::Overwrite(line, 0, InterestLabel(kind));
      reports::Overwrite(line, kAmountColumn, Money(e.Principal, 14));
      break;
    case INTEREST_SETTLEMENT:
      reports::Overwrite(line, 0, InterestLabel(kind));
      reports::Overwrite(line, kDateColumn, DateText(e.StartDate));
      break;
    default:
      break;
  }
  char text[32];
  std::snprintf(text, sizeof text, "%4d", e.EndDate.DaysApart(e.StartDate));
  reports::Overwrite(line, kDaysColumn, text);
  reports::Overwrite(line, kRateColumn, Money(e.Rate * 100.0, 5));
  std::snprintf(text, sizeof text, "%11.9lf", e.Factor);
  reports::Overwrite(line, kFactorColumn, text);
  reports::Overwrite(line, kInterestColumn, Money(e.Interest, 14));
  TrimRight(line);
}

bool AnyActive(const CPenalties* inputs) {
  return inputs && (inputs->CC6656.Active || inputs->CC6651A1.Active || inputs->CC6651A2.Active);
}

}  // namespace

int CReportGenerator::GenerateInterestReport(int fd) {
  if (!Compute) return 0;
  CRunTimePenalties run;
  InterestEvent chain;
  // The run's due date is the compute object's, which the generator's
  // DueDate is set from.
  RunReturnPenalties(*Compute, Penalties, Document, run, chain);
  int sections = 0;
  if (AnyActive(Penalties)) {
    if (Penalties->CC6656.Active) {
      RecordPageStart(sections++);
      Generate6656Detail(fd, &run);
    }
    if (Penalties->CC6651A1.Active) {
      RecordPageStart(sections++);
      Generate6651a1Detail(fd, &run);
    }
    if (Penalties->CC6651A2.Active) {
      RecordPageStart(sections++);
      Generate6651a2Detail(fd, &run);
    }
  }
  if (Compute->ComputeDate > DueDate && chain.TotalAllInterest() > 0.001) {
    RecordPageStart(sections++);
    GenerateInterestDetail(fd, &chain);
  }
  return sections;
}

void CReportGenerator::GenerateInterestDetail(int fd, InterestEvent* chain) {
  WriteFixedLines(fd, reports::kInterestDetail, 0);
  char line[ReportLineSize];
  if (chain) {
    GenerateInterestLine(line, chain, chain->Kind);
    WriteLine(fd, line);
  }
  for (InterestEvent* e = chain ? chain->Next : nullptr; e; e = e->Next) {
    const bool accrues = e->Interest > 0.009;
    if (e->Kind == INTEREST_QUARTER_END && !accrues) continue;
    // The interest accrued up to an event that changes the balance comes first.
    if (e->Kind != INTEREST_QUARTER_END && e->Kind != INTEREST_SETTLEMENT && accrues) {
      GenerateInterestLine(line, e, INTEREST_QUARTER_END);
      WriteLine(fd, line);
    }
    GenerateInterestLine(line, e, e->Kind);
    WriteLine(fd, line);
  }
  WriteLine(fd, "");
  const char* const* closing = reports::kInterestClosing;
  WriteLine(fd, closing[0]);
  reports::ColumnLine total;
  total.Put(0, closing[1]);
  total.End(kInterestColumn, Money(chain ? chain->TotalAllInterest() : 0.0, 14));
  WriteLine(fd, total.Text());
  WriteLine(fd, closing[2]);
}

void CReportGenerator::GenerateInterestLine(char* out, InterestEvent* entry, int kind) {
  char line[ReportLineSize] = {};
  BuildInterestLine(line, *entry, kind);
  // The caller's buffer holds 80 characters; a wider amount is cut there.
  const std::size_t length = std::min(std::strlen(line), std::size_t{kInterestLineWidth});
  std::memcpy(out, line, length);
  out[length] = '\0';
}

int CReportGenerator::GenerateInterestRatesReport(int fd) {
  const RateTable rates;
  const Holiday calendar;
  RecordPageStart(0);
  int slot = 0;
  for (const char* const* line = reports::kRateTable; *line; ++line) {
    if (!std::strstr(*line, reports::kYearMark)) {
      WriteFixedLine(fd, *line, kRatePageIndent);
      continue;
    }
    // One row per year until a quarter without a rate ends the table (the
    // last slot ends it too).
    bool ended = false;
    for (int year = kFirstRateYear; !ended; ++year) {
      std::string row = *line;
      char text[16];
      std::snprintf(text, sizeof text, "%4.4d", year);
      row.replace(row.find(reports::kYearMark), 4, text);
      for (std::size_t mark = row.find('#'); mark != std::string::npos;
           mark = row.find('#', mark + 1), ++slot) {
        const bool hasRate = slot < RateTable::QuarterCount && rates.Rates[slot] > 0.0;
        if (hasRate) {
          row.replace(mark, 5, Money(rates.Rates[slot], 5));
        } else {
          row[mark] = ' ';
          ended = true;
        }
      }
      WriteLine(fd, row.c_str());
    }
  }

  int pages = 1;
  RecordPageStart(pages);
  const auto openPage = [&] {
    WriteLine(fd, reports::kPageOpening);
    WriteLine(fd, reports::kHolidaysContinued);
    BytesWritten += static_cast<std::int32_t>(GenerateHeader(fd, kRatePageIndent));
  };
  openPage();
  WriteFixedLines(fd, reports::kHolidayHead, kRatePageIndent);

  int count = 9;
  for (int row = 0; row < calendar.Count && row < Holiday::EntryCount; ++row) {
    const HolidayEntry& entry = calendar.Entries[row];
    reports::ColumnLine listed;
    listed.Put(kHolidayNameColumn, entry.Name);
    for (int k = 0; k < 4; ++k) {
      const std::string date = DateText(entry.Dates[kListedHolidaySlots[k]]);
      if (k < 3) {
        listed.Put(kListedHolidayColumns[k], date);
      } else {
        listed.End(kListedHolidayColumns[k], date);
      }
    }
    // A holiday with no date in those years is left out.
    std::string stripped = listed.Text();
    stripped.erase(0, stripped.find_first_not_of(' '));
    stripped.erase(stripped.find_last_not_of(' ') + 1);
    if (stripped == entry.Name) continue;
    WriteLine(fd, listed.Text());
    ++count;
  }

  WriteLine(fd, reports::kUserHolidaysHead);
  for (int row = calendar.Count; row < Holiday::EntryCount; ++row) {
    const HolidayEntry& entry = calendar.Entries[row];
    for (const Date date : entry.Dates) {
      if (!date.IsValid()) continue;
      reports::ColumnLine line;
      line.Put(kHolidayNameColumn, entry.Name);
      line.End(kUserHolidayDateColumn, DateText(date));
      WriteLine(fd, line.Text());
      // A page full of holidays: the next one opens as the second did.
      if (++count >= LinesPerPage) {
        RecordPageStart(++pages);
        openPage();
        count = 8;
      }
    }
  }
  return pages + 1;
}

}  // namespace ledrix
