#include "predict_command.h"

#include <map>

#include "text_summary.h"

namespace ledrix::cli {
namespace {

using nlohmann::ordered_json;

/// The rows of one due date, and what is still to deposit by it.
struct DueGroup {
  Date due;
  std::vector<const PredictorRow*> rows;
  double open = 0.0;
};

bool AddsToBalance(int kind) {
  return kind == PredictLiability || kind == PredictCatchup;
}

/// The rows under their due dates, earliest first. A liability's or catch-up
/// row names the due date; what was applied to it follows it.
std::vector<DueGroup> GroupByDueDate(const Prediction& p) {
  std::map<std::uint16_t, DueGroup> groups;
  DueGroup* current = nullptr;
  for (const PredictorRow& row : p.rows) {
    if (AddsToBalance(row.Kind)) {
      current = &groups[row.DueDate.Serial];
      current->due = row.DueDate;
    }
    if (!current) continue;
    current->rows.push_back(&row);
    current->open += AddsToBalance(row.Kind) ? row.Amount : -row.Amount;
  }
  std::vector<DueGroup> ordered;
  for (auto& entry : groups) ordered.push_back(std::move(entry.second));
  return ordered;
}

std::string RowLabel(const PredictorRow& row) {
  switch (row.Kind) {
    case PredictLiability:
      return "Liability";
    case PredictApplied:
      return row.Date.IsValid() ? "Paid" : "Paid on the catch-up";
    case PredictCatchup:
      return "Catch-up (98% / $100 rule)";
    case PredictAdjustment:
      return "Credit applied";
    default:
      return "";
  }
}

/// The date a row shows: an event's or a deposit's; an adjustment's is the
/// due date it is listed under.
Date RowDate(const PredictorRow& row) {
  return row.Kind == PredictLiability || row.Kind == PredictApplied ? row.Date : Date();
}

const char* KindName(int kind) {
  switch (kind) {
    case PredictLiability:
      return "liability";
    case PredictApplied:
      return "applied";
    case PredictCatchup:
      return "catchup";
    case PredictAdjustment:
      return "adjustment";
    default:
      return "none";
  }
}

ordered_json DateJson(Date date) {
  return date.IsValid() ? ordered_json(IsoDate(date)) : ordered_json(nullptr);
}

}  // namespace

Prediction Predict(ComputedReturn& result) {
  CPredictHandler table;
  for (PredictorRow& row : table.Rows) row = PredictorRow{PredictNone, Date(), 0.0, Date(), 0.0};
  const int last = result.compute->SetPredictor(&table, result.file->doc.get());
  Prediction p;
  p.rows.assign(table.Rows, table.Rows + last + 1);
  p.capacityReached = last == PredictorRowCount - 1;
  p.laterDeposits = HasDepositsAfter(result.compute->Events, result.compute->ComputeDate);
  return p;
}

void WritePrediction(std::ostream& out, const ComputedReturn& result, const Prediction& p) {
  WriteReturnHeading(out, result);
  const Date asOf = result.compute->ComputeDate;
  const std::vector<DueGroup> groups = GroupByDueDate(p);
  double open = 0.0;
  for (const DueGroup& group : groups) {
    out << "\nDue " << DateText(group.due) << (group.due < asOf ? ", past due" : "") << "\n";
    for (const PredictorRow* row : group.rows) {
      const double shown = AddsToBalance(row->Kind) ? row->Amount : -row->Amount;
      out << Format("  %-28s %-12s %14s\n", RowLabel(*row).c_str(), DateText(RowDate(*row)).c_str(),
                    Money(shown).c_str());
    }
    out << Format("  %-41s %14s\n", "Still to deposit", Money(group.open).c_str());
    open += group.open;
  }
  if (groups.empty()) {
    out << "\nNothing is left to deposit as of " << DateText(asOf) << ".\n";
  } else {
    out << "\n" << Format("%-43s %14s\n", "Still to deposit in all", Money(open).c_str());
  }
  if (p.laterDeposits) {
    out << "Deposits dated after " << DateText(asOf) << " are not included.\n";
  }
  if (p.capacityReached) {
    out << "The predictor shows its first " << PredictorRowCount
        << " rows; more is open than is listed.\n";
  }
  if (!groups.empty() && groups.front().due < asOf) {
    out << "Penalties on past-due amounts grow until they are deposited.\n";
  }
}

ordered_json PredictionJson(const ComputedReturn& result, const Prediction& p) {
  ordered_json rows = ordered_json::array();
  for (const PredictorRow& row : p.rows) {
    // The row is packed: its amounts are taken by value.
    const double amount = row.Amount;
    const double balance = row.Balance;
    rows.push_back({{"kind", KindName(row.Kind)},
                    {"date", DateJson(row.Date)},
                    {"amount", amount},
                    {"due_date", DateJson(row.DueDate)},
                    {"balance", balance}});
  }
  ordered_json due = ordered_json::array();
  for (const DueGroup& group : GroupByDueDate(p)) {
    due.push_back({{"due_date", DateJson(group.due)}, {"still_to_deposit", group.open}});
  }
  return {{"compute_date", DateJson(result.compute->ComputeDate)},
          {"rows", rows},
          {"due", due},
          {"capacity_reached", p.capacityReached},
          {"later_deposits", p.laterDeposits},
          {"warnings", result.warnings}};
}

}  // namespace ledrix::cli
