// The designation schedule: how the cheapest allocation the search found
// applies each deposit, as the taxpayer asks the IRS to apply it. Within 90
// days of the penalty notice a taxpayer may designate the period to which a
// deposit applies (IRC 6656(e)); the schedule lists each deposit (date,
// amount) with the liabilities it is to pay (liability date, due date,
// amount), and what the designation saves against the IRS rule.
//
// A shortfall the 98% / $100 rule moved into a catch-up liability is paid
// through it: its part of a catch-up payment is listed against the liability
// it came from, with the make-up date.
#pragma once

#include <nlohmann/json.hpp>
#include <ostream>
#include <vector>

#include "run_return.h"

namespace ledrix::cli {

struct DesignatedPart {
  Date liabilityDate;  ///< no date: a part no liability takes (left unapplied)
  Date dueDate;
  double amount = 0.0;
  Date makeUpDate;  ///< a 98% / $100 shortfall: its catch-up's due date
};

struct DesignatedDeposit {
  int type = DEPOSIT;
  int number = 0;  ///< deposit or payment number, from 1
  Date date;
  double amount = 0.0;
  std::vector<DesignatedPart> parts;  ///< in due-date order; unapplied last
};

struct Designation {
  int method = 0;  ///< the allocation kept: 0 the IRS rule, m + 1 alternative m
  double irsPenalty = 0.0;
  double penalty = 0.0;
  std::vector<DesignatedDeposit> deposits;  ///< in date order; none when the IRS rule is cheapest

  /// The IRS rule kept, or an alternative that saves not a cent (it won on
  /// simplicity alone): nothing to designate.
  bool IrsRuleCheapest() const { return method == 0 || Saving() < 0.005; }
  double Saving() const { return Cents(irsPenalty - penalty); }
};

/// "Deposit 3", "Non-FTD Pay 1", "Adj SS/Med": the display text of an event
/// type with its deposit or payment number (0: none).
std::string EventLabel(int type, int number);

/// Whether the return was computed with the search over the alternatives,
/// so that it has a designation to show.
bool HasDesignation(const ComputedReturn& result);

Designation MakeDesignation(const ComputedReturn& result);

/// The schedule for a person: what the search found and saves, then each
/// deposit with its parts; or the plain statement that the IRS rule is
/// already the cheapest.
void WriteDesignation(std::ostream& out, const Designation& designation);
/// One line a part: deposit_date,deposit,deposit_amount,liability_date,
/// due_date,amount,make_up_date (ISO dates, amounts "1234.56").
void WriteDesignationCsv(std::ostream& out, const Designation& designation);
nlohmann::ordered_json DesignationJson(const Designation& designation);

}  // namespace ledrix::cli
