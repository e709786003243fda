#include "return_penalties_text.h"

#include "rates.h"

namespace ledrix::cli {
namespace {

/// "MM-DD-YY", or "none" for no date.
std::string ShortDate(Date date) {
  char text[16] = {};
  return date.Format(text) ? text : "none";
}

void WriteAmountLine(std::ostream& out, const char* label, double amount) {
  out << Format("  %-44s %14s\n", label, Money(amount).c_str());
}

// ---- additional 5% ------------------------------------------------------------------

/// Why the additional 5% is what it is.
std::string AdditionalFivePercentReason(const CRunTimePenalties& run, double unpaid, Date lastDay) {
  if (IsPresent(run.Additional5Penalty)) return "5% of the tax unpaid on the last day to pay.";
  if (unpaid < 0.009) return "Nothing was unpaid on the last day to pay.";
  if (!(run.ComputeDate > lastDay)) return "The last day to pay has not passed.";
  return "The notice had not run ten days by the compute date.";
}

void WriteAdditionalFivePercent(std::ostream& out, const ComputedReturn& result) {
  const CC6656& notice = result.file->doc->Penalties.CC6656;
  const CRunTimePenalties& run = *result.penalties;
  const Date lastDay = notice.LastDayToPay;
  const double unpaid = result.compute->BalanceDue(lastDay);
  out << "\nAdditional 5% deposit penalty (IRC 6656)\n";
  out << Format("  %-44s %14s\n", "Notice date", DateText(notice.NoticeDate).c_str());
  out << Format("  %-44s %14s\n", "Last day to pay", DateText(lastDay).c_str());
  if (notice.AddTenDays) {
    out << Format("  %-44s %14s\n", "Last day to pay to avoid the additional 5%",
                  DateText(lastDay + 10).c_str());
  }
  WriteAmountLine(out, "Unpaid on the last day to pay", unpaid);
  WriteAmountLine(out, "Additional 5% deposit penalty", run.Additional5Penalty);
  out << "  " << AdditionalFivePercentReason(run, unpaid, lastDay) << "\n";
  if (run.WithinTenDays) {
    out << "  The compute date lies within the ten days before the last day to pay.\n";
  }
}

// ---- failure to file ----------------------------------------------------------------

void WriteFailureToFile(std::ostream& out, const ComputedReturn& result) {
  const CC6651A1& filing = result.file->doc->Penalties.CC6651A1;
  const CRunTimePenalties& run = *result.penalties;
  out << "\nFailure to file (IRC 6651(a)(1))\n";
  out << Format("  %-44s %14s\n", "Return filed", DateText(filing.DateFiled).c_str());
  out << Format(
      "  %-44s %14s\n", "Extended due date",
      filing.ExtendedDueDate.IsValid() ? DateText(filing.ExtendedDueDate).c_str() : "none");
  out << Format("  %-44s %14s\n", "Fraudulent", filing.Fraudulent ? "yes" : "no");
  out << Format("  %-44s %14d\n", "Months late, counting parts of months", run.FTFMonthCount);
  if (run.FTFMonthCount == 0) {
    out << "  No penalty: filed on time, or no tax was unpaid at the due date.\n";
    return;
  }
  out << Format("  %-14s %14s %16s %14s\n", "Month ending", "Penalty", "Failure to pay", "Net");
  for (const FTFRow& row : run.FTFMonths) {
    if (!row.MonthEnd.IsValid()) break;
    out << Format("  %-14s %14s %16s %14s\n", DateText(row.MonthEnd).c_str(),
                  Money(row.Penalty).c_str(), Money(row.Reduction).c_str(), Money(row.Net).c_str());
  }
  out << Format("  (%s a month of %s, the tax unpaid at the due date; at most 5 months)\n",
                filing.Fraudulent ? "15%" : "5%", Money(run.AmountSubject).c_str());
  WriteAmountLine(out, "Failure-to-file penalty", run.FTFPenalty);
}

// ---- failure to pay -----------------------------------------------------------------

void WriteFailureToPay(std::ostream& out, const ComputedReturn& result) {
  const CRunTimePenalties& run = *result.penalties;
  out << "\nFailure to pay (IRC 6651(a)(2))\n";
  WriteAmountLine(out, "Amount subject (unpaid at the due date)", run.AmountSubject);
  double total = 0.0;
  bool any = false;
  for (const FTPRow& row : run.FTPMonths) {
    if (!row.MonthEnd.IsValid()) break;
    if (!any) {
      out << Format("  %-14s %14s %5s %12s %14s  %s\n", "Month ending", "Unpaid at start", "Rate",
                    "Penalty", "Paid in month", "Notice");
    }
    any = true;
    total += row.Penalty;
    const std::string notice =
        row.HasNotice ? ShortDate(row.NoticeDate) + " assessed " + Money(row.NoticeAmount)
                      : std::string();
    std::string line = Format("  %-14s %14s %5s %12s %14s  %s", DateText(row.MonthEnd).c_str(),
                              Money(row.Base).c_str(), row.RateCode == 2 ? "1.0%" : "0.5%",
                              Money(row.Penalty).c_str(), Money(row.Paid).c_str(), notice.c_str());
    out << line.erase(line.find_last_not_of(' ') + 1) << "\n";
  }
  if (!any) {
    out << "  No penalty: the tax was not yet late at the compute date.\n";
    return;
  }
  WriteAmountLine(out, "Penalty before the maximum", total);
  WriteAmountLine(out, "Maximum, 25% of the amount subject", run.FTPMaximum);
  WriteAmountLine(out, "Failure-to-pay penalty", run.FTPPenalty);
}

// ---- interest -----------------------------------------------------------------------

/// What a segment's end does to the balance: "Deposit -4,000.00".
std::string SegmentEnd(const InterestEvent& link) {
  static const char* const kLabels[] = {"",           "Deposit",     "6656",
                                        "6651(a)(2)", "Quarter end", "Settlement",
                                        "Due date",   "6651(a)(1)",  "6656 (5%)"};
  const int kind = link.Kind >= 0 && link.Kind <= 8 ? link.Kind : 0;
  std::string text = kLabels[kind];
  switch (kind) {
    case INTEREST_PAYMENT:
      return text + " -" + Money(link.Balance);
    case INTEREST_DEPOSIT_PENALTY:
    case INTEREST_FAILURE_TO_PAY:
    case INTEREST_FAILURE_TO_FILE:
    case INTEREST_ADDITIONAL_5:
      return text + " +" + Money(link.Balance);
    default:
      return text;
  }
}

void WriteSegment(std::ostream& out, const InterestEvent& link) {
  out << Format("  %-8s  %-8s %5d %6s %13s %10s  %s\n", ShortDate(link.StartDate).c_str(),
                ShortDate(link.EndDate).c_str(), link.StartDate.DaysApart(link.EndDate),
                PercentText(link.Rate * 100.0).c_str(), Money(link.Principal).c_str(),
                Money(link.Interest).c_str(), SegmentEnd(link).c_str());
}

}  // namespace

void WriteReturnPenalties(std::ostream& out, const ComputedReturn& result) {
  const PenaltySummary& summary = result.summary;
  if (summary.Active6656) WriteAdditionalFivePercent(out, result);
  if (summary.ActiveFTF) WriteFailureToFile(out, result);
  if (summary.ActiveFTP) WriteFailureToPay(out, result);
}

void WriteInterest(std::ostream& out, const ComputedReturn& result) {
  const CCompute& compute = *result.compute;
  out << "\nInterest (compounded daily at the IRS rate of each quarter)\n";
  if (!(compute.ComputeDate > compute.ReturnDueDate)) {
    out << "  None: computed to the return's due date or before.\n";
    return;
  }
  if (!InterestRan(result)) {
    out << "  None: nothing was unpaid after the return's due date.\n";
    return;
  }
  out << Format("  %-8s  %-8s %5s %6s %13s %10s  %s\n", "Start", "End", "Days", "Rate", "Principal",
                "Interest", "Ends with");
  for (const InterestEvent* link = result.interest.get(); link; link = link->Next) {
    if (link->Kind != INTEREST_FRESH) WriteSegment(out, *link);
  }
  WriteAmountLine(out, "Total interest", result.summary.InterestTotal);
  for (const MissingRateRun& run :
       MissingRateRuns(RateTable(), compute.ReturnDueDate, compute.ComputeDate)) {
    out << "  " << run.note << "\n";
  }
}

void WritePenaltySummary(std::ostream& out, const ComputedReturn& result) {
  const PenaltySummary& s = result.summary;
  const auto amountOrInactive = [](bool active, double amount) {
    return active ? Money(amount) : std::string("Inactive");
  };
  const auto line = [&out](const char* label, const std::string& value) {
    out << Format("%s %14s\n", label, value.c_str());
  };
  out << "\nPENALTY AND INTEREST SUMMARY\n";
  line("Deposit penalty--IRC 6656..........:", Money(s.DepositPenalty));
  line("Add'l 5% deposit penalty--IRC 6656.:",
       amountOrInactive(s.Active6656, s.Additional5Penalty));
  line("Failure to file--IRC 6651(a)(1)....:", amountOrInactive(s.ActiveFTF, s.FTFPenalty));
  line("Failure to pay--IRC 6651(a)(2).....:", amountOrInactive(s.ActiveFTP, s.FTPPenalty));
  out << "\n";
  line("Penalty total......................:", Money(s.PenaltyTotal));
  line("Interest total.....................:", Money(s.InterestTotal));
  line("Unpaid tax.........................:", Money(s.UnpaidTax));
  out << std::string(38, ' ') << "-------------\n";
  line("Grand total........................:", s.Overpaid ? "N/A" : Money(s.GrandTotal));
  out << std::string(38, ' ') << "=============\n";
  if (!s.Overpaid) return;
  out << "\nYour deposits exceed your liabilities by .........: " << Money(-s.Balance) << "\n"
      << "\n"
      << "This report shows an unpaid tax balance of 0.00 and a notation that the\n"
      << "Grand Total figure is \"N/A.\"  Ledrix will apply deposits against\n"
      << "outstanding liabilities, but will not apply excess deposits against\n"
      << "penalties or interest.  Ledrix does not determine whether the\n"
      << "overpayment was previously refunded or credited, nor does it make any\n"
      << "allocation of any allowable overpayment.\n";
}

}  // namespace ledrix::cli
