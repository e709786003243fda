#include "text_summary.h"

#include <algorithm>
#include <cstdio>
#include <string_view>

#include "designation.h"
#include "reasons.h"
#include "return_penalties_text.h"

namespace ledrix::cli {
namespace {

/// The string table's label with its one number put in: `slot` ("%d" or
/// "%.2o") replaced by `number`. Empty when the table has no such text.
std::string TableLabel(int id, std::string_view slot, const std::string& number) {
  std::string label = LoadString(id);
  size_t at = label.find(slot);
  if (at == std::string::npos) return {};
  return label.replace(at, slot.size(), number);
}

std::string Lateness(int days) {
  if (days <= 0) return "on time";
  return std::to_string(days) + (days == 1 ? " day late" : " days late");
}

std::string Rate(const CDeposit& record) {
  char text[8] = {};
  record.GetRate(text);
  return text;
}

std::string PieceLabel(const CDeposit& piece) {
  return EventLabel(piece.EventType, piece.EventType == DEPOSIT   ? piece.DepositNumber
                                     : piece.EventType == PAYMENT ? piece.PaymentNumber
                                                                  : 0);
}

/// A note under a line of the summary: why its figures are what they are.
void WriteReason(std::ostream& out, const std::string& reason, int indent = 6) {
  if (reason.empty()) return;
  for (const std::string& line : Wrapped(reason, indent)) out << line << "\n";
}

/// The days late shown are the calendar's, even where the penalty counted none.
void WritePieces(std::ostream& out, const ComputedReturn& result, const CLiability& liability) {
  for (const CDeposit* piece = liability.Next; piece; piece = piece->Next) {
    const int days = std::max(piece->DaysLate, DaysAfter(liability.Date, piece->Date));
    out << Format("    %-14s %-12s %14s  %-14s %3s %12s\n", PieceLabel(*piece).c_str(),
                  DateText(piece->Date).c_str(), Money(piece->Amount).c_str(),
                  Lateness(days).c_str(), Rate(*piece).c_str(), Money(piece->Penalty).c_str());
    WriteReason(out, PieceReason(result, liability, *piece));
  }
}

void WriteUnpaid(std::ostream& out, const ComputedReturn& result, const CLiability& liability) {
  if (liability.Applied98) {
    WriteReason(out, CatchupMoveReason(result, liability));
    return;
  }
  if (!IsPresent(liability.UnpaidAmount)) return;
  const Date computeDate = result.compute->ComputeDate;
  const int days = std::max(liability.UnpaidDays, DaysAfter(liability.Date, computeDate));
  out << Format("    %-14s %-12s %14s  %-14s %3s %12s\n", "Unpaid", DateText(computeDate).c_str(),
                Money(liability.UnpaidAmount).c_str(), Lateness(days).c_str(),
                Rate(liability).c_str(), Money(liability.UnpaidPenalty).c_str());
  WriteReason(out, UnpaidReason(result, liability));
}

void WriteNotes(std::ostream& out, const CLiability& liability) {
  if (liability.NextDay) out << "      next-day rule: $100,000 reached\n";
  for (int i = 0; i < 4; ++i) {
    Date holiday = liability.SkippedHoliday(i);
    if (holiday.IsValid())
      out << "      due date moved past the holiday " << DateText(holiday) << "\n";
  }
}

void WriteLiability(std::ostream& out, const ComputedReturn& result, const CLiability& liability,
                    const char* label, const std::string& note = {}) {
  out << Format("  %-16s %-12s %14s  due %-14s %12s\n", label,
                DateText(liability.LiabilityDate).c_str(), Money(liability.Amount).c_str(),
                DateText(liability.Date).c_str(), Money(liability.Penalty).c_str());
  WriteNotes(out, liability);
  WriteReason(out, note);
  WritePieces(out, result, liability);
  WriteUnpaid(out, result, liability);
}

// ---- sections, in print order ------------------------------------------------

void WriteHeading(std::ostream& out, const ComputedReturn& result) {
  const CCompute& compute = *result.compute;
  const C941Doc& doc = *result.file->doc;
  const ReturnSettings& settings = result.file->settings;
  if (doc.Company.Name[0] || doc.Company.EIN[0]) {
    out << doc.Company.Name << (doc.Company.EIN[0] ? "   EIN " : "") << doc.Company.EIN << "\n";
  }
  static const char* const kSchedules[] = {"monthly", "semi-weekly", "first-time semi-weekly"};
  const char* schedule =
      kSchedules[doc.ComputeMethod >= 0 && doc.ComputeMethod <= 2 ? doc.ComputeMethod : 1];
  out << "Form " << settings.form->name << "   " << PeriodText(settings) << "   " << schedule
      << " depositor\n";
  out << "Return due " << DateText(compute.ReturnDueDate) << "   penalty computed to "
      << DateText(compute.ComputeDate) << "\n";
  out << "Allocation: " << AllocationText(compute) << "\n";
  if (compute.DepositAllocationMethod > 0) {
    WriteReason(out, AlternativeInWords(compute.DepositAllocationMethod - 1), 2);
  }
}

void WriteLiabilities(std::ostream& out, const ComputedReturn& result) {
  const CCompute& compute = *result.compute;
  out << "\n"
      << Format("%-18s %-12s %14s  %-18s %12s\n", "Liabilities", "Arose", "Amount", "Due",
                "Penalty");
  int number = 0;
  for (const CLiability* liability : compute.Liabilities) {
    if (!liability || !IsPresent(liability->Amount)) continue;
    WriteLiability(out, result, *liability, Format("Liability %d", ++number).c_str());
  }
  if (number == 0) out << "  none\n";
}

void WriteCatchups(std::ostream& out, const ComputedReturn& result) {
  const CCompute& compute = *result.compute;
  bool any = false;
  for (int slot = 0; slot < compute.CatchupSlots; ++slot) {
    const CLiability* catchup = compute.CatchupLiabilities[slot];
    if (!catchup || !IsPresent(catchup->Amount)) continue;
    if (!any) out << "\nCatch-up liabilities (shortfalls to make up under the 98% / $100 rule)\n";
    any = true;
    WriteLiability(out, result, *catchup, "Catch-up", CatchupHoldsReason(result, slot));
  }
}

void WriteTotals(std::ostream& out, const ComputedReturn& result) {
  const CCompute& compute = *result.compute;
  out << "\nTotals\n";
  out << Format("  %-28s %14s\n", "Liabilities", Money(compute.LiabilityTotal).c_str());
  out << Format("  %-28s %14s\n", "Deposits", Money(compute.DepositTotal).c_str());
  out << Format("  %-28s %14s\n", "Tax balance", Money(compute.TaxBalance).c_str());
  if (compute.Had100000Liability) out << "  A $100,000 liability arose in the period.\n";
  if (result.file->doc->ExcessAdjustments) {
    out << "  Credits exceeded the liabilities they could reduce.\n";
  }
  out << Format("  %-28s %14s\n", "Failure-to-deposit penalty",
                Money(compute.PenaltyTotal).c_str());
}

/// With the search, what to designate and what it saves.
void WriteDesignationSection(std::ostream& out, const ComputedReturn& result) {
  if (HasDesignation(result)) WriteDesignation(out, MakeDesignation(result));
}

using SummarySection = void (*)(std::ostream&, const ComputedReturn&);
// Reports go after these as they are added.
constexpr SummarySection kSections[] = {WriteHeading,        WriteLiabilities,       WriteCatchups,
                                        WriteTotals,         WriteReturnPenalties,   WriteInterest,
                                        WritePenaltySummary, WriteDesignationSection};

}  // namespace

void WriteReturnHeading(std::ostream& out, const ComputedReturn& result) {
  WriteHeading(out, result);
}

std::string AllocationText(const CCompute& compute) {
  const int method = compute.DepositAllocationMethod;
  if (method == 0) {
    static const char* const kDirections[] = {"no IRS method applied", "old method", "new method"};
    int direction =
        compute.IRSDirection >= 0 && compute.IRSDirection <= 2 ? compute.IRSDirection : 0;
    std::string text = std::string("IRS rule, ") + kDirections[direction];
    std::string label = TableLabel(IDS_IRS_ALLOCATION, "%d", std::to_string(compute.IRSDirection));
    return label.empty() ? text : text + " " + label;
  }
  const std::string octal = AlternativeNumber(method);
  std::string text = "alternative " + octal + " (the IRS rule gives " +
                     Money(compute.MethodResults[0].Penalty) + ")";
  std::string label = TableLabel(IDS_ALTERNATIVE_ALLOCATION, "0%.2o", octal);
  return label.empty() ? text : text + " " + label;
}

void WriteSummary(std::ostream& out, const ComputedReturn& result) {
  for (SummarySection section : kSections) section(out, result);
}

}  // namespace ledrix::cli
