// The IRS allocation of deposits: the old rule (due-date order), the new
// rule (most recent ended period first), the choice between them, and the
// safe harbor inside both. Form 941 of 2005 Q1 (quarter 100) unless said:
// monthly liabilities are due on the 15th of the next month (15 February,
// 15 March, 15 April 2005), the return on 30 April (a Saturday), so the
// catch-up liabilities are due Monday 2 May 2005. Compute date 30 June 2005.
#include <gtest/gtest.h>

#include "ledrix/ledrix.h"
#include "support/allocation.h"
#include "support/returns.h"

namespace ledrix {
namespace {

using testing::AddEvent;
using testing::D;
using testing::LiabilityDue;
using testing::Pieces;

constexpr int kOld = 1;
constexpr int kNew = 2;

struct Quarter {
  std::unique_ptr<Event[]> events = testing::MakeEventList();
  void Add(int type, const char* date, double amount) {
    AddEvent(events.get(), type, date, amount);
  }
  /// Prepares `c` for 2005 Q1 (or `quarter`) and runs the IRS rule.
  void Apply(CCompute& c, int flags, int quarter = 100) {
    testing::Prepare(c, quarter, 0, events.get(), quarter == 100 ? "06/30/05" : "06/30/01");
    c.ApplyDeposits(flags, 0);
  }
};

double ChainTotal(const CLiability* l) {
  double total = 0.0;
  for (const CDeposit* d : Pieces(l)) total += d->Amount;
  return total;
}

TEST(IrsApplication, MonthlyQuarterPaidOnTime) {
  Quarter q;
  q.Add(LIABILITY, "01/14/05", 3000.00);
  q.Add(LIABILITY, "02/11/05", 3000.00);
  q.Add(LIABILITY, "03/11/05", 3000.00);
  q.Add(DEPOSIT, "02/15/05", 3000.00);
  q.Add(DEPOSIT, "03/15/05", 3000.00);
  q.Add(DEPOSIT, "04/15/05", 3000.00);
  for (int flags : {kOld, kNew, 0}) {
    C941Compute c;
    q.Apply(c, flags);
    EXPECT_DOUBLE_EQ(c.GetPenalty(), 0.0) << flags;
    for (const char* due : {"02/15/05", "03/15/05", "04/15/05"}) {
      CLiability* l = LiabilityDue(c, due);
      ASSERT_NE(l, nullptr) << due;
      ASSERT_EQ(Pieces(l).size(), 1u) << due;
      EXPECT_EQ(Pieces(l)[0]->Date, D(due));  // each deposit pays its own month
      EXPECT_EQ(Pieces(l)[0]->DaysLate, 0);
    }
  }
  C941Compute tie;
  q.Apply(tie, 0);
  EXPECT_EQ(tie.GetIRSDirection(), 2);  // equal penalties keep the new rule
}

TEST(IrsApplication, DepositSpillsIntoTheNextLiability) {
  // January 3,000.00 due 15 Feb, February 2,000.00 due 15 Mar; one deposit
  // of 5,000.00 on 10 March.
  Quarter q;
  q.Add(LIABILITY, "01/14/05", 3000.00);
  q.Add(LIABILITY, "02/11/05", 2000.00);
  q.Add(DEPOSIT, "03/10/05", 5000.00);
  C941Compute c;
  q.Apply(c, kOld);
  CLiability* january = LiabilityDue(c, "02/15/05");
  CLiability* february = LiabilityDue(c, "03/15/05");
  ASSERT_EQ(Pieces(january).size(), 1u);
  ASSERT_EQ(Pieces(february).size(), 1u);
  const CDeposit* first = Pieces(january)[0];
  const CDeposit* second = Pieces(february)[0];
  EXPECT_DOUBLE_EQ(first->Amount, 3000.00);
  EXPECT_DOUBLE_EQ(first->Balance, 0.00);  // closes January
  EXPECT_DOUBLE_EQ(second->Amount, 2000.00);
  EXPECT_EQ(first->EventIndex, second->EventIndex);
  EXPECT_EQ(c.Events[first->EventIndex].Date, D("03/10/05"));
  EXPECT_EQ(first->DepositNumber, 1);
  EXPECT_EQ(second->DepositNumber, 1);
  // 15 Feb -> 10 Mar = 23 days: 10% of 3,000.00; February on time.
  EXPECT_EQ(first->DaysLate, 23);
  EXPECT_DOUBLE_EQ(c.GetPenalty(), 300.00);
}

TEST(IrsApplication, NewRuleDepositBeforeAnyPeriodEnds) {
  // Paid 20 January for a liability of 14 January: no period has ended, so
  // the earliest open liability takes it (on time).
  Quarter q;
  q.Add(LIABILITY, "01/14/05", 3000.00);
  q.Add(DEPOSIT, "01/20/05", 3000.00);
  C941Compute c;
  q.Apply(c, kNew);
  CLiability* january = LiabilityDue(c, "02/15/05");
  ASSERT_EQ(Pieces(january).size(), 1u);
  EXPECT_DOUBLE_EQ(Pieces(january)[0]->Amount, 3000.00);
  EXPECT_DOUBLE_EQ(c.GetPenalty(), 0.0);
}

TEST(IrsApplication, NewRulePeriodEndDay941Against940) {
  // Form 941: a deposit on 28 February (the February period's last day) goes
  // to January, whose period ended before it.
  Quarter q;
  q.Add(LIABILITY, "01/14/05", 3000.00);
  q.Add(LIABILITY, "02/11/05", 3000.00);
  q.Add(DEPOSIT, "02/28/05", 3000.00);
  C941Compute c;
  q.Apply(c, kNew);
  EXPECT_EQ(Pieces(LiabilityDue(c, "02/15/05")).size(), 1u);
  EXPECT_TRUE(Pieces(LiabilityDue(c, "03/15/05")).empty());

  // Form 940 (2005): 600.00 on 31 March (due 2 May) and 600.00 on 30 June
  // (due 31 July, a Sunday: 1 August). A deposit on 30 June pays the
  // liability whose period ends that day.
  Quarter futa;
  futa.Add(LIABILITY, "03/31/05", 600.00);
  futa.Add(LIABILITY, "06/30/05", 600.00);
  futa.Add(DEPOSIT, "06/30/05", 600.00);
  C940Compute f;
  testing::Prepare(f, 100, 0, futa.events.get(), "12/31/05");
  f.ApplyDeposits(kNew, 0);
  ASSERT_NE(LiabilityDue(f, "08/01/05"), nullptr);
  EXPECT_EQ(Pieces(LiabilityDue(f, "08/01/05")).size(), 1u);
  EXPECT_TRUE(Pieces(LiabilityDue(f, "05/02/05")).empty());
  EXPECT_EQ(f.GetIRSDirection(), 2);
}

TEST(IrsApplication, FlagsChooseTheRule) {
  // January 3,000.00 due 15 Feb, February 2,000.00 due 15 Mar, one deposit
  // of 3,000.00 on 10 March, computed to 30 June.
  // Old rule: January paid 23 days late, 300.00; February unpaid 107 days
  //   (15 Mar -> 30 Jun), 10% of 2,000.00 = 200.00; total 500.00.
  // New rule: February paid on time; January gets 1,000.00 late (100.00) and
  //   2,000.00 unpaid 135 days (200.00); total 300.00.
  Quarter q;
  q.Add(LIABILITY, "01/14/05", 3000.00);
  q.Add(LIABILITY, "02/11/05", 2000.00);
  q.Add(DEPOSIT, "03/10/05", 3000.00);
  struct Case {
    int flags;
    int direction;
    double penalty;
  } cases[] = {{1, 1, 500.00}, {2, 2, 300.00}, {3, 2, 300.00}, {0, 2, 300.00}, {4, 0, 0.0}};
  for (const Case& k : cases) {
    C941Compute c;
    q.Apply(c, k.flags);
    EXPECT_EQ(c.GetIRSDirection(), k.direction) << k.flags;
    EXPECT_DOUBLE_EQ(c.GetPenalty(), k.penalty) << k.flags;
  }
  C941Compute nothing;
  q.Apply(nothing, 4);
  for (CLiability* l : nothing.Liabilities) EXPECT_EQ(l, nullptr);  // nothing was built

  // 2001 Q1 (quarter 84): the old rule whatever the flags. January due
  // 15 Feb 2001, paid 12 Mar (25 days, 300.00); February due 15 Mar, unpaid
  // to 30 Jun (107 days, 200.00).
  Quarter early;
  early.Add(LIABILITY, "01/12/01", 3000.00);
  early.Add(LIABILITY, "02/09/01", 2000.00);
  early.Add(DEPOSIT, "03/12/01", 3000.00);
  for (int flags : {0, 1, 2, 3, 4}) {
    C941Compute c;
    early.Apply(c, flags, 84);
    EXPECT_EQ(c.GetIRSDirection(), 1) << flags;
    EXPECT_DOUBLE_EQ(c.GetPenalty(), 500.00) << flags;
  }
}

TEST(IrsApplication, CobraCreditsAsTheFormCountsThem) {
  // COBRA payments of 100.00 and 250.00 become one COBRA_QTR credit of
  // 350.00 dated 1 January; Form 941 applies it and not the single payments,
  // and it numbers no deposit.
  Quarter q;
  q.Add(LIABILITY, "01/14/05", 3000.00);
  q.Add(COBRA_PMT, "02/10/05", 100.00);
  q.Add(COBRA_PMT, "02/11/05", 250.00);
  q.Add(DEPOSIT, "02/15/05", 2650.00);
  struct Case {
    int flags;
    int cobraNumber;  // the old rule counts from 0 and advances before a deposit
  } cases[] = {{kOld, 0}, {kNew, 1}};
  for (const Case& k : cases) {
    C941Compute c;
    q.Apply(c, k.flags);
    const std::vector<CDeposit*> pieces = Pieces(LiabilityDue(c, "02/15/05"));
    ASSERT_EQ(pieces.size(), 2u) << k.flags;
    EXPECT_EQ(pieces[0]->EventType, COBRA_QTR);
    EXPECT_DOUBLE_EQ(pieces[0]->Amount, 350.00);
    EXPECT_EQ(pieces[0]->DepositNumber, k.cobraNumber);
    EXPECT_EQ(pieces[1]->EventType, DEPOSIT);
    EXPECT_EQ(pieces[1]->DepositNumber, 1);
    EXPECT_DOUBLE_EQ(c.GetPenalty(), 0.0);
  }
}

TEST(IrsApplication, Form940OldRuleNotesEarlyDeposits) {
  // 2001: the old rule. 600.00 on 31 March 2001 is due 30 April; a deposit
  // on 10 April pays it before its due date.
  Quarter futa;
  futa.Add(LIABILITY, "03/31/01", 600.00);
  futa.Add(DEPOSIT, "04/10/01", 600.00);
  C940Compute f;
  testing::Prepare(f, 84, 0, futa.events.get(), "12/31/01");
  EXPECT_EQ(f.EarlyDepositSeen, 0);
  f.ApplyDeposits(2, 0);
  EXPECT_EQ(f.GetIRSDirection(), 1);
  EXPECT_EQ(f.EarlyDepositSeen, 1);
  CLiability* march = LiabilityDue(f, "04/30/01");
  ASSERT_NE(march, nullptr);
  ASSERT_EQ(Pieces(march).size(), 1u);
  EXPECT_EQ(Pieces(march)[0]->DepositNumber, 1);
  EXPECT_DOUBLE_EQ(march->Balance, 0.0);
  EXPECT_DOUBLE_EQ(f.GetPenalty(), 0.0);
}

TEST(IrsApplication, OverDepositStaysUnapplied) {
  Quarter q;
  q.Add(LIABILITY, "01/14/05", 3000.00);
  q.Add(DEPOSIT, "02/15/05", 3500.00);
  for (int flags : {kOld, kNew}) {
    C941Compute c;
    q.Apply(c, flags);
    double applied = 0.0;
    for (CLiability* l : c.Liabilities) applied += l != nullptr ? ChainTotal(l) : 0.0;
    for (CLiability* l : c.CatchupLiabilities) applied += l != nullptr ? ChainTotal(l) : 0.0;
    EXPECT_DOUBLE_EQ(applied, 3000.00) << flags;  // 500.00 finds nothing to pay
    EXPECT_DOUBLE_EQ(c.GetPenalty(), 0.0);
  }
}

TEST(IrsApplication, SafeHarborShortfallPricedAtTheMakeUpDate) {
  // January 10,000.00 paid 9,850.00 on time (150.00 short, within 2%);
  // February 3,000.00 paid 2,905.00 on time (95.00 short, within $100).
  // The 245.00 made up on 10 May pays the catch-up liabilities of February
  // (slot 1) and March (slot 2), due 2 May: 8 days late, 5%.
  Quarter q;
  q.Add(LIABILITY, "01/14/05", 10000.00);
  q.Add(LIABILITY, "02/11/05", 3000.00);
  q.Add(DEPOSIT, "02/15/05", 9850.00);
  q.Add(DEPOSIT, "03/15/05", 2905.00);
  q.Add(DEPOSIT, "05/10/05", 245.00);
  for (int flags : {kOld, kNew}) {
    C941Compute c;
    q.Apply(c, flags);
    CLiability* january = LiabilityDue(c, "02/15/05");
    CLiability* february = LiabilityDue(c, "03/15/05");
    EXPECT_EQ(january->Applied98, 1) << flags;
    EXPECT_EQ(february->Applied98, 1) << flags;
    EXPECT_DOUBLE_EQ(january->Penalty, 0.0);  // the unpaid part is not priced
    EXPECT_DOUBLE_EQ(january->UnpaidAmount, 0.0);
    CLiability* feb = c.CatchupLiabilities[1];
    CLiability* mar = c.CatchupLiabilities[2];
    EXPECT_DOUBLE_EQ(feb->Amount, 150.00);
    EXPECT_DOUBLE_EQ(mar->Amount, 95.00);
    EXPECT_EQ(feb->Date, D("05/02/05"));
    ASSERT_EQ(Pieces(feb).size(), 1u);
    EXPECT_EQ(Pieces(feb)[0]->DaysLate, 8);
    EXPECT_DOUBLE_EQ(feb->Penalty, 7.50);  // 150.00 x 5%
    EXPECT_DOUBLE_EQ(mar->Penalty, 4.75);  // 95.00 x 5%
    EXPECT_DOUBLE_EQ(c.GetPenalty(), 12.25);
  }
}

TEST(IrsApplication, LastDepositOneDayLateGetsNoSafeHarbor) {
  // 9,000.00 on time and 850.00 one day late: January no longer qualifies,
  // so the 150.00 of 20 April pays January itself, 64 days late (15 Feb ->
  // 20 Apr). 850.00 x 2% = 17.00; 150.00 x 10% = 15.00.
  Quarter late;
  late.Add(LIABILITY, "01/14/05", 10000.00);
  late.Add(DEPOSIT, "02/15/05", 9000.00);
  late.Add(DEPOSIT, "02/16/05", 850.00);
  late.Add(DEPOSIT, "04/20/05", 150.00);
  for (int flags : {kOld, kNew}) {
    C941Compute c;
    late.Apply(c, flags);
    CLiability* january = LiabilityDue(c, "02/15/05");
    EXPECT_EQ(january->Applied98, 0) << flags;
    ASSERT_EQ(Pieces(january).size(), 3u);
    EXPECT_EQ(Pieces(january)[2]->DaysLate, 64);
    EXPECT_DOUBLE_EQ(c.GetPenalty(), 32.00) << flags;
  }
  // The same 9,850.00 all on time. Old rule: January is pushed when the
  // 150.00 of 20 April comes, which then pays the catch-up liability before
  // its 2 May make-up date: no penalty. New rule: the catch-up liability is
  // not yet due on 20 April, so January itself is the target, its push is
  // undone and the 150.00 is 64 days late: 15.00. Flags 0 keep the old rule.
  Quarter onTime;
  onTime.Add(LIABILITY, "01/14/05", 10000.00);
  onTime.Add(DEPOSIT, "02/15/05", 9850.00);
  onTime.Add(DEPOSIT, "04/20/05", 150.00);
  C941Compute old;
  onTime.Apply(old, kOld);
  EXPECT_DOUBLE_EQ(old.GetPenalty(), 0.0);
  EXPECT_DOUBLE_EQ(old.CatchupLiabilities[1]->Amount, 150.00);
  C941Compute recent;
  onTime.Apply(recent, kNew);
  EXPECT_DOUBLE_EQ(recent.GetPenalty(), 15.00);
  EXPECT_DOUBLE_EQ(recent.CatchupLiabilities[1]->Amount, 0.0);
  EXPECT_EQ(LiabilityDue(recent, "02/15/05")->Applied98, 0);
  C941Compute cheaper;
  onTime.Apply(cheaper, 0);
  EXPECT_EQ(cheaper.GetIRSDirection(), 1);
  EXPECT_DOUBLE_EQ(cheaper.GetPenalty(), 0.0);
}

}  // namespace
}  // namespace ledrix
