#include "designation.h"

#include <algorithm>
#include <map>

#include "reasons.h"

namespace ledrix::cli {
namespace {

using nlohmann::ordered_json;

/// Pieces under a cent are rounding, not money.
constexpr double kLeastAmount = 0.005;

using PartsByEvent = std::map<int, std::vector<DesignatedPart>>;

/// Deposits that the allocations apply: deposits, non-deposit payments and
/// the period's COBRA total.
bool IsAppliedDeposit(int type) {
  return type == DEPOSIT || type == PAYMENT || type == COBRA_QTR;
}

void CollectRegularParts(const CCompute& compute, PartsByEvent& parts) {
  for (const CLiability* liability : compute.Liabilities) {
    if (!liability) continue;
    for (const CDeposit* piece = liability->Next; piece; piece = piece->Next) {
      if (!IsAppliedDeposit(piece->EventType) || piece->Amount < kLeastAmount) continue;
      parts[piece->EventIndex].push_back(
          {liability->LiabilityDate, liability->Date, piece->Amount, Date()});
    }
  }
}

/// Each payment of catch-up `slot` pays the shortfalls it holds in due-date
/// order; what is left over pays the catch-up as such.
void CollectCatchupParts(CCompute& compute, int slot, PartsByEvent& parts) {
  const CLiability* catchup = compute.CatchupLiabilities[slot];
  if (!catchup) return;
  const std::vector<const CLiability*> held = ShortfallsHeldBy(compute, slot);
  std::vector<double> shortfalls;
  for (const CLiability* liability : held) {
    shortfalls.push_back(Cents(liability->Amount - liability->TotalPayments()));
  }
  size_t next = 0;
  for (const CDeposit* piece = catchup->Next; piece; piece = piece->Next) {
    if (!IsAppliedDeposit(piece->EventType)) continue;
    double left = piece->Amount;
    for (; next < held.size() && left >= kLeastAmount; ++next) {
      const double paid = std::min(left, shortfalls[next]);
      parts[piece->EventIndex].push_back(
          {held[next]->LiabilityDate, held[next]->Date, Cents(paid), catchup->Date});
      left -= paid;
      shortfalls[next] -= paid;
      if (shortfalls[next] >= kLeastAmount) break;
    }
    if (left >= kLeastAmount) {
      parts[piece->EventIndex].push_back({Date(), catchup->Date, Cents(left), catchup->Date});
    }
  }
}

bool InDueDateOrder(const DesignatedPart& a, const DesignatedPart& b) {
  if (a.dueDate != b.dueDate) return a.dueDate < b.dueDate;
  return a.liabilityDate < b.liabilityDate;
}

std::string CsvAmount(double amount) {
  return Format("%.2f", amount);
}

}  // namespace

std::string EventLabel(int type, int number) {
  Event event;
  event.Type = static_cast<std::int16_t>(type);
  char text[64] = {};
  event.GetType(text, number);
  return text;
}

bool HasDesignation(const ComputedReturn& result) {
  return result.file->settings.allocationFlags == 0;
}

Designation MakeDesignation(const ComputedReturn& result) {
  CCompute& compute = *result.compute;
  Designation designation;
  designation.method = compute.DepositAllocationMethod;
  designation.irsPenalty = compute.MethodResults[0].Penalty;
  designation.penalty = compute.PenaltyTotal;
  if (designation.IrsRuleCheapest()) return designation;

  PartsByEvent parts;
  CollectRegularParts(compute, parts);
  for (int slot = 0; slot < compute.CatchupSlots; ++slot) CollectCatchupParts(compute, slot, parts);

  int deposits = 0, payments = 0;
  for (int i = 0; i < MaxEvents && !compute.Events[i].EndsList(); ++i) {
    const Event& event = compute.Events[i];
    if (!IsAppliedDeposit(event.Type)) continue;
    DesignatedDeposit deposit;
    deposit.type = event.Type;
    deposit.number = event.Type == DEPOSIT ? ++deposits : event.Type == PAYMENT ? ++payments : 0;
    deposit.date = event.Date;
    deposit.amount = event.Amount;
    deposit.parts = std::move(parts[i]);
    std::stable_sort(deposit.parts.begin(), deposit.parts.end(), InDueDateOrder);
    double applied = 0.0;
    for (const DesignatedPart& part : deposit.parts) applied += part.amount;
    if (deposit.amount - applied >= kLeastAmount) {
      deposit.parts.push_back({Date(), Date(), Cents(deposit.amount - applied), Date()});
    }
    designation.deposits.push_back(std::move(deposit));
  }
  return designation;
}

void WriteDesignation(std::ostream& out, const Designation& designation) {
  out << "\nDesignation of deposits (IRC 6656(e))\n";
  if (designation.IrsRuleCheapest()) {
    out << "  The IRS rule is already the cheapest allocation (penalty "
        << Money(designation.irsPenalty) << "): there is nothing to designate.\n";
    return;
  }
  const std::string summary =
      "Alternative " + AlternativeNumber(designation.method) + " costs " +
      Money(designation.penalty) + " against " + Money(designation.irsPenalty) +
      " by the IRS rule: the designation saves " + Money(designation.Saving()) +
      ". Within 90 days of the penalty notice, ask the IRS to apply each deposit to the "
      "liabilities listed with it.";
  for (const std::string& line : Wrapped(summary, 2)) out << line << "\n";
  out << "\n"
      << Format("%-13s %-12s %13s  %-12s %-12s %12s\n", "Deposit", "Date", "Amount", "Liability of",
                "Due", "Applied");
  for (const DesignatedDeposit& deposit : designation.deposits) {
    std::string label = EventLabel(deposit.type, deposit.number);
    std::string date = DateText(deposit.date), amount = Money(deposit.amount);
    for (const DesignatedPart& part : deposit.parts) {
      const std::string liability = part.liabilityDate.IsValid() ? DateText(part.liabilityDate)
                                    : part.makeUpDate.IsValid()  ? std::string("catch-up")
                                                                 : std::string("not applied");
      out << Format("%-13s %-12s %13s  %-12s %-12s %12s\n", label.c_str(), date.c_str(),
                    amount.c_str(), liability.c_str(), DateText(part.dueDate).c_str(),
                    Money(part.amount).c_str());
      if (part.makeUpDate.IsValid()) {
        out << Format("%42s%s\n", "",
                      ("shortfall; make-up date " + DateText(part.makeUpDate)).c_str());
      }
      label.clear();
      date.clear();
      amount.clear();
    }
  }
}

void WriteDesignationCsv(std::ostream& out, const Designation& designation) {
  out << "deposit_date,deposit,deposit_amount,liability_date,due_date,amount,make_up_date\n";
  for (const DesignatedDeposit& deposit : designation.deposits) {
    for (const DesignatedPart& part : deposit.parts) {
      out << IsoDate(deposit.date) << "," << EventLabel(deposit.type, deposit.number) << ","
          << CsvAmount(deposit.amount) << "," << IsoDate(part.liabilityDate) << ","
          << IsoDate(part.dueDate) << "," << CsvAmount(part.amount) << ","
          << IsoDate(part.makeUpDate) << "\n";
    }
  }
}

ordered_json DesignationJson(const Designation& designation) {
  auto date = [](Date value) {
    return value.IsValid() ? ordered_json(IsoDate(value)) : ordered_json(nullptr);
  };
  ordered_json deposits = ordered_json::array();
  for (const DesignatedDeposit& deposit : designation.deposits) {
    ordered_json parts = ordered_json::array();
    for (const DesignatedPart& part : deposit.parts) {
      parts.push_back({{"liability_date", date(part.liabilityDate)},
                       {"due_date", date(part.dueDate)},
                       {"amount", part.amount},
                       {"make_up_date", date(part.makeUpDate)}});
    }
    deposits.push_back({{"date", date(deposit.date)},
                        {"type", EventTypeName(deposit.type)},
                        {"number", deposit.number},
                        {"amount", deposit.amount},
                        {"parts", parts}});
  }
  const bool irs = designation.IrsRuleCheapest();
  return {{"irs_rule_cheapest", irs},
          {"allocation_method", designation.method},
          {"alternative",
           irs ? ordered_json(nullptr) : ordered_json(AlternativeNumber(designation.method))},
          {"in_words",
           irs ? ordered_json(nullptr) : ordered_json(AlternativeInWords(designation.method - 1))},
          {"irs_penalty", designation.irsPenalty},
          {"penalty", designation.penalty},
          {"saving", designation.Saving()},
          {"deposits", deposits}};
}

}  // namespace ledrix::cli
