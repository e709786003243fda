// The 98% / $100 safe harbor: who qualifies, the catch-up slot of a month,
// pushing and undoing a shortfall, and giving catch-up money back.
#include <gtest/gtest.h>

#include "ledrix/ledrix.h"
#include "support/returns.h"

namespace ledrix {
namespace {

using testing::AddPiece;
using testing::ChainText;
using testing::D;
using testing::FieldOf;
using testing::LiabilityDue;
using testing::NewLiability;

/// 2005 Q1 with the four catch-up liabilities of its months, all due 2 May.
void AddCatchups(C941Compute& c) {
  c.SetQuarter(100);
  for (int k = 0; k < 4; ++k) c.CatchupLiabilities[k] = NewLiability("05/02/05", 0.0, 1);
}

TEST(SafeHarbor, QualifiesWithinTwoPercentOrHundredDollars) {
  const struct {
    double amount;
    const char* paidOn;
    double paid;
    int expected;
  } cases[] = {{10000.00, "02/15/05", 9850.00, 1},  // 10,000 x 2% = 200 >= 150 - 0.01
               {10000.00, "02/15/05", 9799.00, 0},  // shortfall 201 > 200, and > 100
               {3000.00, "02/15/05", 2905.00, 1},   // 2% is 60, but 95 <= 100.009
               {3000.00, "02/15/05", 2899.00, 0},   // 101 over both limits
               {3000.00, "02/15/05", 2900.00, 1},   // exactly 100.00 short
               // 2% of 12,345.67 is 246.9134: a shortfall of 246.92 qualifies
               // only by the cent's slack, one of 246.93 does not.
               {12345.67, "02/15/05", 12098.75, 1},
               {12345.67, "02/15/05", 12098.74, 0},
               {10000.00, "02/16/05", 9850.00, 0},    // last deposit one day late
               {10000.00, "02/15/05", 10000.00, 0}};  // nothing short
  for (const auto& k : cases) {
    CLiability l;
    l.Date = D("02/15/05");
    l.Amount = k.amount;
    AddPiece(l, k.paidOn, k.paid);
    EXPECT_EQ(l.Qualifies98(), k.expected) << k.amount << " paid " << k.paid << " on " << k.paidOn;
  }
  // The 2% is of the liability net of credits: 10,000 less a 5,000 credit
  // allows 100.00 (100 rule), so 4,850 deposited (150 short) does not qualify.
  CLiability credited;
  credited.Date = D("02/15/05");
  credited.Amount = 10000.00;
  AddPiece(credited, "01/20/05", 5000.00, ADJ_SS, 0);
  AddPiece(credited, "02/15/05", 4850.00);
  EXPECT_EQ(credited.Qualifies98(), 0);
  CLiability catchup;
  catchup.Catchup = 1;
  catchup.Amount = 50.00;
  EXPECT_EQ(catchup.Qualifies98(), 0);
}

TEST(SafeHarbor, CanDo98PicksTheLargerAllowance) {
  C941Compute c;
  CLiability* small = c.Liabilities[0] = NewLiability("02/15/05", 4000.00);
  CLiability* large = c.Liabilities[1] = NewLiability("02/15/05", 10000.00);
  EXPECT_EQ(c.CanDo98(small, nullptr, 3900.00), 100);  // $100 short will do; 98% needs 3,920
  EXPECT_EQ(c.CanDo98(small, nullptr, 3899.99), 0);
  EXPECT_EQ(C940Compute().CanDo98(small, nullptr, 3900.00), 0);  // Form 940: never
  EXPECT_EQ(c.CanDo98(large, nullptr, 9799.99), 0);  // 98% = 9,800 will do; $100 needs 9,900
  AddPiece(*large, "02/10/05", 9000.00);
  EXPECT_EQ(c.CanDo98(large, nullptr, 800.00), 98);  // 9,000 applied + 800 = 9,800
  AddPiece(*large, "02/16/05", 10.00);
  EXPECT_EQ(c.CanDo98(large, nullptr, 800.00), 0);  // a piece after the due date
  small->Catchup = 1;
  EXPECT_EQ(c.CanDo98(small, nullptr, 3950.00), 0);  // a catch-up liability
}

TEST(SafeHarbor, CatchupIndexIsTheMonthCappedAtTheLastSlot) {
  const struct {
    int quarter;
    bool annual;
    const char* due;
    int slot;
  } cases[] = {{100, false, "01/20/05", 0},  // 2005 Q1 starts 1 January
               {100, false, "02/15/05", 1}, {100, false, "04/15/05", 3},
               {100, false, "05/02/05", 3},  // month 4, capped
               {100, false, "01/31/06", 3},  // 12 months on, capped
               {99, false, "11/15/04", 1},   // 2004 Q4 starts 1 October
               {99, false, "01/18/05", 3},   // 1 - 10 + 12 + 12 (next year) = 15, capped
               {100, true, "01/31/06", 12},  // Form 944: 15 slots
               {100, true, "02/15/06", 13}};
  for (const auto& k : cases) {
    C941Compute c;
    if (k.annual) c.Set944();
    c.SetQuarter(k.quarter);
    CLiability l;
    l.Date = D(k.due);
    EXPECT_EQ(c.CatchupIndex(&l), k.slot) << k.quarter << " " << k.due;
  }
}

TEST(SafeHarbor, PushAndUndoMoveTheShortfall) {
  C941Compute c;
  AddCatchups(c);
  CLiability* l = c.Liabilities[0] = NewLiability("02/15/05", 10000.00);
  CLiability* february = c.CatchupLiabilities[1];
  AddPiece(*l, "02/15/05", 9850.00);
  l->ComputeBalance();
  c.PushToCatchup(l, 0.0);  // 150.00 short, due in February: slot 1
  EXPECT_EQ(l->Applied98, 1);
  EXPECT_DOUBLE_EQ(l->Balance, 0.0);
  EXPECT_DOUBLE_EQ(february->Balance, 150.00);
  c.PushToCatchup(l, 25.00);  // an explicit amount is added as given
  EXPECT_DOUBLE_EQ(february->Amount, 175.00);
  for (int twice = 0; twice < 2; ++twice) {
    c.Undo98(l);  // takes back the 150.00 still short; without Applied98 nothing changes
    EXPECT_EQ(l->Applied98, 0);
    EXPECT_DOUBLE_EQ(l->Balance, 150.00);
    EXPECT_DOUBLE_EQ(february->Amount, 25.00);
    EXPECT_DOUBLE_EQ(february->Balance, 25.00);
  }
  C941Compute none;  // no catch-up liability built: the liability is left alone
  none.SetQuarter(100);
  CLiability* small = none.Liabilities[0] = NewLiability("02/15/05", 80.00);
  none.PushToCatchup(small, 0.0);
  EXPECT_EQ(small->Applied98, 0);
  EXPECT_DOUBLE_EQ(small->Balance, 80.00);
}

TEST(SafeHarbor, LiabilitiesOfHundredDollarsGoToCatchupAtOnce) {
  C941Compute c;
  testing::Prepare(c, 100, 0,
                   {{LIABILITY, "01/14/05", 100.00},    // due 15 February
                    {LIABILITY, "02/11/05", 100.01}});  // due 15 March
  c.InitLiabilities(1);
  EXPECT_EQ(FieldOf(LiabilityDue(c, "02/15/05"), &CLiability::Applied98, -1), 1);
  EXPECT_DOUBLE_EQ(FieldOf(LiabilityDue(c, "02/15/05"), &CLiability::Balance, -1.0), 0.0);
  EXPECT_DOUBLE_EQ(c.CatchupLiabilities[1]->Amount, 100.00);
  EXPECT_EQ(FieldOf(LiabilityDue(c, "03/15/05"), &CLiability::Applied98, -1), 0);
  EXPECT_DOUBLE_EQ(c.CatchupLiabilities[2]->Amount, 0.0);
}

TEST(SafeHarbor, RemoveExtraCUsGivesOnTimeCatchupMoneyBack) {
  // A deposit split between a 98% liability and its catch-up liability goes
  // back whole to the liability (the piece of the same deposit grows).
  C941Compute split;
  AddCatchups(split);
  CLiability* l = split.Liabilities[0] = NewLiability("02/15/05", 1000.00);
  AddPiece(*l, "02/10/05", 900.00);
  l->Applied98 = 1;
  split.CatchupLiabilities[1]->Amount = 100.00;
  AddPiece(*split.CatchupLiabilities[1], "02/10/05", 100.00);
  split.RemoveExtraCUs();
  EXPECT_EQ(ChainText(l), "02-10-05 1000.00/0.00");
  EXPECT_EQ(l->Applied98, 0);  // shortfall now 0.00
  EXPECT_DOUBLE_EQ(split.CatchupLiabilities[1]->Amount, 0.0);
  EXPECT_EQ(ChainText(split.CatchupLiabilities[1]), "");

  // An $80 liability pushed at once and paid on 10 February through its
  // catch-up liability: the second pass copies the piece onto the liability.
  C941Compute c;
  testing::Prepare(c, 100, 0, {{LIABILITY, "01/14/05", 80.00}, {DEPOSIT, "02/10/05", 80.00}});
  c.ApplyDeposits(1, 0);
  EXPECT_EQ(ChainText(c.CatchupLiabilities[1]), "02-10-05 80.00/0.00");
  c.RemoveExtraCUs();
  const CLiability* january = LiabilityDue(c, "02/15/05");
  ASSERT_NE(january, nullptr);
  EXPECT_EQ(ChainText(january), "02-10-05 80.00/0.00");
  EXPECT_EQ(january->Applied98, 1);  // the copy step leaves the flag
  EXPECT_DOUBLE_EQ(c.CatchupLiabilities[1]->Amount, 0.0);
  EXPECT_EQ(ChainText(c.CatchupLiabilities[1]), "");
}

}  // namespace
}  // namespace ledrix
