// Builders for test returns: dates from text, event lists and host documents
// from short tables, a compute object set up as a host sets it up, and
// readers and hand builders of liabilities and their chains.
//
//   auto c = MakeLiabilities(100, 0, {{LIABILITY, "03/10/05", 5000.00}});  // 2005 Q1, monthly
//   LiabilityArisen(*c, "03/10/05")->Date;  // due 04-15-05
#pragma once

#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "ledrix/compute.h"
#include "ledrix/date.h"
#include "ledrix/events.h"
#include "ledrix/host.h"

namespace ledrix::testing {

/// The date of "MM/DD/YY" text (any form Date::Parse reads); null gives no
/// date, a text that does not parse fails the calling test.
Date D(const char* text);

/// The text of a file under tests/data/ (empty when there is none).
std::string DataText(const std::string& name);

/// The rows of a table under tests/data/: one a line, cells separated by
/// tabs, "\\r" and "\\n" standing for line ends; "#" lines are notes.
std::vector<std::vector<std::string>> DataRows(const std::string& name);

struct Entry {
  int type;
  const char* date;
  double amount;
};
using Entries = std::initializer_list<Entry>;

/// A list of MaxEvents records holding `entries`, ended by the record after them.
std::unique_ptr<Event[]> MakeEvents(Entries entries = {});
/// Writes an event into the first free record; its index, or -1 when full.
int AddEvent(Event* events, int type, Date date, double amount);

/// A fresh document of `form` (1 = 941, 10 = 944) for quarter index `quarter`.
std::unique_ptr<C941Doc> MakeDoc(int form, int quarter, int schedule = 0, Entries entries = {});

/// Quarter, schedule, a copy of the events, the return's due date of
/// `quarter` and the compute date: what a host sets before ApplyDeposits.
void Prepare(CCompute& c, int quarter, int schedule, Entries entries,
             const char* computeDate = "06/30/05");

/// A compute object prepared with `entries` whose liabilities are built with
/// their due dates (InitLiabilities(0)).
template <class Compute = C941Compute>
std::unique_ptr<Compute> MakeLiabilities(int quarter, int schedule, Entries entries) {
  auto compute = std::make_unique<Compute>();
  Prepare(*compute, quarter, schedule, entries);
  compute->InitLiabilities(0);
  return compute;
}

/// The regular liability with an amount that is due on `due` / arose on `date`, or null.
CLiability* LiabilityDue(CCompute& c, const char* due);
CLiability* LiabilityArisen(CCompute& c, const char* date);
/// A field of a liability looked up (of CLiability or its base CDeposit), or
/// `none` when there is no liability: a missing one fails the comparison
/// instead of crashing the test.
template <class T, class Record>
T FieldOf(const CLiability* l, T Record::*field, T none) {
  return l != nullptr ? l->*field : none;
}
/// The pieces of the liability's chain, in order.
std::vector<CDeposit*> Pieces(const CLiability* liability);

/// The chain as "MM-DD-YY amount/balance" pieces joined by ", "; a piece
/// that is late or priced adds " late <days> <rate> <penalty>".
std::string ChainText(const CLiability* liability);

/// A liability built by hand, due (and arisen) on `due`, its balance its amount.
CLiability* NewLiability(const char* due, double amount, int catchup = 0);
/// Appends an application of `amount` to the chain.
CDeposit* AddPiece(CLiability& liability, const char* date, double amount, int type = DEPOSIT,
                   int number = 1);

}  // namespace ledrix::testing
