// The deposit predictor: the rows of an allocated quarter, and a table that
// runs out of its 35 rows.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ledrix/ledrix.h"
#include "support/returns.h"

namespace ledrix {
namespace {

using testing::AddEvent;
using testing::D;
using testing::MakeDoc;

constexpr int kQ1Of2006 = 104;
constexpr int kIrsRule = 3;

/// Collects what the library shows the user while it lives.
class Notifications {
 public:
  Notifications() {
    previous_ = SetNotificationSink([this](const std::string& text) { shown.push_back(text); });
  }
  ~Notifications() { SetNotificationSink(previous_); }
  std::vector<std::string> shown;

 private:
  NotificationSink previous_;
};

struct Row {
  int kind;
  const char* date;  ///< null: not written
  double amount;
  const char* due;  ///< null: not written
  double balance;
};

/// Computes the document's quarter as of 31 March 2006 by the IRS rule.
void ComputeByIrsRule(C941Compute& compute, C941Doc& doc) {
  compute.SetComputeDate(D("03/31/06"));
  compute.SetDueDate(kQ1Of2006);
  compute.BasicCompute(&doc, kIrsRule, 0);
}

/// A table whose rows hold a mark, so a row left alone can be told.
CPredictHandler MarkedTable() {
  CPredictHandler table;
  for (PredictorRow& row : table.Rows) row = PredictorRow{99, Date(), -1.0, Date(), -1.0};
  return table;
}

void ExpectRows(const CPredictHandler& table, const std::vector<Row>& expected) {
  for (size_t r = 0; r < expected.size(); ++r) {
    const PredictorRow& row = table.Rows[r];
    const Row& e = expected[r];
    EXPECT_EQ(row.Kind, e.kind) << "row " << r;
    EXPECT_EQ(row.Date, D(e.date)) << "row " << r;
    EXPECT_DOUBLE_EQ(row.Amount, e.amount) << "row " << r;
    EXPECT_EQ(row.DueDate, D(e.due)) << "row " << r;
    EXPECT_NEAR(row.Balance, e.balance, 0.001) << "row " << r;
  }
}

// A monthly depositor, 2006 Q1, IRS rule, as of 31 March. January's 60.00 is
// under $100: it goes to a catch-up liability due with the return (30 April
// is a Sunday: Monday 1 May). February's 4,000.00 and 1,000.00 are one
// liability due 15 March; the credit of 250.00 and the deposit of 2,000.00
// on 15 March leave 2,750.00 of it open. Balance: 4,000.00, 5,000.00,
// 4,750.00, 2,750.00, then the catch-up's 60.00: 2,810.00.
TEST(DepositPredictor, OpenLiabilityCreditAndCatchup) {
  auto doc = MakeDoc(1, kQ1Of2006, 0,
                     {{LIABILITY, "01/13/06", 60.00},
                      {LIABILITY, "02/10/06", 4000.00},
                      {ADJ_WIT, "02/20/06", -250.00},
                      {LIABILITY, "02/24/06", 1000.00},
                      {DEPOSIT, "03/15/06", 2000.00}});
  C941Compute compute;
  ComputeByIrsRule(compute, *doc);

  Notifications notifications;
  CPredictHandler table = MarkedTable();
  EXPECT_EQ(compute.SetPredictor(&table, doc.get()), 4);
  ExpectRows(table, {{PredictLiability, "02/10/06", 4000.00, "03/15/06", 4000.00},
                     {PredictLiability, "02/24/06", 1000.00, "03/15/06", 5000.00},
                     {PredictAdjustment, "03/15/06", 250.00, nullptr, 4750.00},
                     {PredictApplied, "03/15/06", 2000.00, nullptr, 2750.00},
                     {PredictCatchup, nullptr, 60.00, "05/01/06", 2810.00}});
  EXPECT_EQ(table.Rows[5].Kind, 99) << "rows after the last are left alone";
  EXPECT_TRUE(notifications.shown.empty());

  // Once the catch-up is partly paid, the paid part follows it.
  CLiability& catchup = *compute.CatchupLiabilities[1];
  catchup.Balance = 45.00;
  table = MarkedTable();
  EXPECT_EQ(compute.SetPredictor(&table, doc.get()), 5);
  EXPECT_EQ(table.Rows[5].Kind, PredictApplied);
  EXPECT_DOUBLE_EQ(table.Rows[5].Amount, 15.00);
  EXPECT_NEAR(table.Rows[5].Balance, 2795.00, 0.001);
}

// Liabilities of 1,000.00 on n consecutive days from 2 January 2006, none
// deposited: one row each. The 35th row fills the table: the warning is
// shown once, even when that row was the last, and nothing more is written.
TEST(DepositPredictor, TableOfThirtyFiveRows) {
  const struct {
    int events;
    int last;
    bool warned;
  } cases[] = {{34, 33, false}, {35, 34, true}, {40, 34, true}};
  for (const auto& k : cases) {
    auto doc = MakeDoc(1, kQ1Of2006, 0);
    for (int day = 0; day < k.events; ++day) {
      AddEvent(doc->Events, LIABILITY, D("01/02/06") + day, 1000.00);
    }
    C941Compute compute;
    ComputeByIrsRule(compute, *doc);

    Notifications notifications;
    CPredictHandler table = MarkedTable();
    EXPECT_EQ(compute.SetPredictor(&table, doc.get()), k.last) << k.events;
    EXPECT_EQ(notifications.shown,
              k.warned ? std::vector<std::string>{"You have exceeded the capacity of the Deposit "
                                                  "Predictor.\nThe results will not be accurate."}
                       : std::vector<std::string>{})
        << k.events;
    // The last row written: day k.last + 1 of the year, 1,000.00 a row.
    const PredictorRow& last = table.Rows[k.last];
    EXPECT_EQ(last.Date, D("01/02/06") + k.last) << k.events;
    EXPECT_NEAR(last.Balance, 1000.00 * (k.last + 1), 0.001) << k.events;
  }
}

}  // namespace
}  // namespace ledrix
