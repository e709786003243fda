// The IRS allocation of deposits, the old rule (due-date order) and the new
// rule (most recent ended period first), and the failure-to-deposit penalty
// it leads to. Form 941 of 2005 Q1 (quarter 100), monthly, unless said:
// liabilities are due on the 15th of the next month (15 February, 15 March,
// 15 April 2005), the return on 30 April (a Saturday), so the catch-up
// liabilities are due Monday 2 May 2005. Compute date 30 June 2005.
// Chains read "deposit date amount/balance [late days rate penalty]".
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "ledrix/ledrix.h"
#include "support/generated_returns.h"
#include "support/returns.h"

namespace ledrix {
namespace {

using testing::ChainText;
using testing::D;
using testing::Entries;
using testing::FieldOf;
using testing::LiabilityDue;
using testing::Pieces;

constexpr int kOld = 1;
constexpr int kNew = 2;

void Apply(CCompute& c, int flags, Entries events, int quarter = 100,
           const char* computeDate = "06/30/05") {
  testing::Prepare(c, quarter, 0, events, computeDate);
  c.ApplyDeposits(flags, 0);
}

// The chain of the regular liability due on `due`.
std::string Chain(CCompute& c, const char* due) {
  const CLiability* l = LiabilityDue(c, due);
  return l != nullptr ? ChainText(l) : "no liability";
}

TEST(IrsApplication, DepositSpillsIntoTheNextLiability) {
  // January 3,000.00 due 15 Feb, February 2,000.00 due 15 Mar; one deposit of
  // 5,000.00 on 10 March pays both, January 23 days late: 10% = 300.00.
  C941Compute c;
  Apply(c, kOld,
        {{LIABILITY, "01/14/05", 3000.00},
         {LIABILITY, "02/11/05", 2000.00},
         {DEPOSIT, "03/10/05", 5000.00}});
  ASSERT_EQ(Chain(c, "02/15/05"), "03-10-05 3000.00/0.00 late 23 10% 300.00");
  ASSERT_EQ(Chain(c, "03/15/05"), "03-10-05 2000.00/0.00");
  const CDeposit* first = LiabilityDue(c, "02/15/05")->Next;
  const CDeposit* second = LiabilityDue(c, "03/15/05")->Next;
  EXPECT_EQ(first->EventIndex, second->EventIndex);  // one event, deposit 1, in two pieces
  EXPECT_EQ(first->DepositNumber, 1);
  EXPECT_EQ(second->DepositNumber, 1);
  EXPECT_DOUBLE_EQ(c.GetPenalty(), 300.00);
}

TEST(IrsApplication, NewRulePeriodEnds) {
  // No period has ended on 20 January: the earliest open liability takes it.
  C941Compute forward;
  Apply(forward, kNew, {{LIABILITY, "01/14/05", 3000.00}, {DEPOSIT, "01/20/05", 3000.00}});
  EXPECT_EQ(Chain(forward, "02/15/05"), "01-20-05 3000.00/0.00");
  // Form 941: a deposit on 28 February (the February period's last day) goes
  // to January, whose period ended before it.
  C941Compute c;
  Apply(c, kNew,
        {{LIABILITY, "01/14/05", 3000.00},
         {LIABILITY, "02/11/05", 3000.00},
         {DEPOSIT, "02/28/05", 3000.00}});
  EXPECT_EQ(Chain(c, "02/15/05"), "02-28-05 3000.00/0.00 late 13 5% 150.00");
  EXPECT_EQ(Chain(c, "03/15/05"), "");
  // Form 940: 600.00 on 31 March (due 2 May) and on 30 June (due Sun 31 July:
  // 1 August). A deposit on 30 June pays the liability whose period ends that day.
  C940Compute f;
  Apply(f, kNew,
        {{LIABILITY, "03/31/05", 600.00},
         {LIABILITY, "06/30/05", 600.00},
         {DEPOSIT, "06/30/05", 600.00}},
        100, "12/31/05");
  EXPECT_EQ(Chain(f, "08/01/05"), "06-30-05 600.00/0.00");
  EXPECT_EQ(Chain(f, "05/02/05"), "");
  EXPECT_EQ(f.GetIRSDirection(), 2);
}

TEST(IrsApplication, FlagsChooseTheRule) {
  // The first quarter of 2005 (100), of 2002 (88, the first under the new
  // rule) and of 2001 (84, the old rule whatever the flags). January
  // 3,000.00 due 15 Feb, February 2,000.00 due 15 Mar, one deposit of
  // 3,000.00 on 10 March. Old rule: January 23 days late (300.00), February
  // unpaid at 30 June (200.00): 500.00. New rule: February on time; January
  // 1,000.00 late (100.00) and 2,000.00 unpaid (200.00): 300.00.
  const struct {
    int quarter, flags, direction;
    double penalty;
  } cases[] = {{100, 1, 1, 500.00}, {100, 2, 2, 300.00}, {100, 3, 2, 300.00}, {100, 0, 2, 300.00},
               {100, 4, 0, 0.0},    {88, 0, 2, 300.00},  {84, 1, 1, 500.00},  {84, 2, 1, 500.00},
               {84, 3, 1, 500.00},  {84, 4, 1, 500.00},  {84, 0, 1, 500.00}};
  for (const auto& k : cases) {
    const std::string yy = std::to_string(k.quarter / 4 - 20 + 100).substr(1);  // 100: "05"
    const std::string day[] = {"01/14/" + yy, "02/11/" + yy, "03/10/" + yy, "06/30/" + yy};
    C941Compute c;
    Apply(c, k.flags,
          {{LIABILITY, day[0].c_str(), 3000.00},
           {LIABILITY, day[1].c_str(), 2000.00},
           {DEPOSIT, day[2].c_str(), 3000.00}},
          k.quarter, day[3].c_str());
    EXPECT_EQ(c.GetIRSDirection(), k.direction) << k.quarter << " flags " << k.flags;
    EXPECT_DOUBLE_EQ(c.GetPenalty(), k.penalty) << k.quarter << " flags " << k.flags;
    if (k.flags == 4 && k.quarter == 100) {
      EXPECT_EQ(c.Liabilities[0], nullptr);  // nothing was built
    }
  }
}

TEST(IrsApplication, CreditsAndEarlyDeposits) {
  // COBRA payments of 100.00 and 250.00 become one credit of 350.00 dated
  // 1 January that numbers no deposit; the old rule counts from 0 and advances
  // before a deposit.
  for (int flags : {kOld, kNew}) {
    C941Compute c;
    Apply(c, flags,
          {{LIABILITY, "01/14/05", 3000.00},
           {COBRA_PMT, "02/10/05", 100.00},
           {COBRA_PMT, "02/11/05", 250.00},
           {DEPOSIT, "02/15/05", 2650.00}});
    ASSERT_EQ(Chain(c, "02/15/05"), "01-01-05 350.00/2650.00, 02-15-05 2650.00/0.00");
    const std::vector<CDeposit*> pieces = Pieces(LiabilityDue(c, "02/15/05"));
    EXPECT_EQ(pieces[0]->EventType, COBRA_QTR);
    EXPECT_EQ(pieces[0]->DepositNumber, flags == kOld ? 0 : 1);
    EXPECT_EQ(pieces[1]->DepositNumber, 1);
  }
  // Form 940 of 2001, old rule: 600.00 of 31 March is due 30 April; a deposit
  // on 10 April pays it early, which is noted.
  C940Compute f;
  Apply(f, kNew, {{LIABILITY, "03/31/01", 600.00}, {DEPOSIT, "04/10/01", 600.00}}, 84, "12/31/01");
  EXPECT_EQ(f.GetIRSDirection(), 1);
  EXPECT_EQ(f.EarlyDepositSeen, 1);
  EXPECT_EQ(Chain(f, "04/30/01"), "04-10-01 600.00/0.00");
}

TEST(IrsApplication, OverDepositStaysUnapplied) {
  for (int flags : {kOld, kNew}) {
    C941Compute c;
    Apply(c, flags, {{LIABILITY, "01/14/05", 3000.00}, {DEPOSIT, "02/15/05", 3500.00}});
    EXPECT_EQ(Chain(c, "02/15/05"), "02-15-05 3000.00/0.00");  // 500.00 finds nothing to pay
    for (CLiability* l : c.CatchupLiabilities) EXPECT_TRUE(l == nullptr || l->Next == nullptr);
  }
}

TEST(IrsApplication, SafeHarborShortfallPricedAtTheMakeUpDate) {
  // January 10,000.00 paid 9,850.00 on time (150.00 short, within 2%);
  // February 3,000.00 paid 2,905.00 on time (95.00 short, within $100).
  // The 245.00 made up on 10 May pays the catch-up liabilities of February
  // (slot 1) and March (slot 2), due 2 May: 8 days late, 5%.
  for (int flags : {kOld, kNew}) {
    C941Compute c;
    Apply(c, flags,
          {{LIABILITY, "01/14/05", 10000.00},
           {LIABILITY, "02/11/05", 3000.00},
           {DEPOSIT, "02/15/05", 9850.00},
           {DEPOSIT, "03/15/05", 2905.00},
           {DEPOSIT, "05/10/05", 245.00}});
    const CLiability* january = LiabilityDue(c, "02/15/05");
    ASSERT_NE(january, nullptr) << flags;
    EXPECT_EQ(january->Applied98, 1) << flags;
    EXPECT_EQ(FieldOf(LiabilityDue(c, "03/15/05"), &CLiability::Applied98, -1), 1) << flags;
    EXPECT_DOUBLE_EQ(january->Penalty, 0.0);  // the unpaid part is not priced
    EXPECT_DOUBLE_EQ(january->UnpaidAmount, 0.0);
    EXPECT_EQ(ChainText(c.CatchupLiabilities[1]), "05-10-05 150.00/0.00 late 8 5% 7.50");
    EXPECT_EQ(ChainText(c.CatchupLiabilities[2]), "05-10-05 95.00/0.00 late 8 5% 4.75");
    EXPECT_DOUBLE_EQ(c.GetPenalty(), 12.25);
  }
}

TEST(IrsApplication, LastDepositOneDayLateGetsNoSafeHarbor) {
  // 9,000.00 on time and 850.00 one day late: January no longer qualifies,
  // so the 150.00 of 20 April pays January itself, 64 days late (15 Feb ->
  // 20 Apr). 850.00 x 2% = 17.00; 150.00 x 10% = 15.00.
  for (int flags : {kOld, kNew}) {
    C941Compute c;
    Apply(c, flags,
          {{LIABILITY, "01/14/05", 10000.00},
           {DEPOSIT, "02/15/05", 9000.00},
           {DEPOSIT, "02/16/05", 850.00},
           {DEPOSIT, "04/20/05", 150.00}});
    EXPECT_EQ(Chain(c, "02/15/05"),
              "02-15-05 9000.00/1000.00, 02-16-05 850.00/150.00 late 1 2% 17.00, "
              "04-20-05 150.00/0.00 late 64 10% 15.00")
        << flags;
    EXPECT_EQ(FieldOf(LiabilityDue(c, "02/15/05"), &CLiability::Applied98, -1), 0) << flags;
  }
  // The same 9,850.00 all on time. Old rule: January is pushed when the
  // 150.00 of 20 April comes, which then pays the catch-up liability before
  // its 2 May make-up date: no penalty. New rule: the catch-up liability is
  // not yet due on 20 April, so January itself is the target, its push is
  // undone and the 150.00 is 64 days late: 15.00. Flags 0 keep the old rule.
  const Entries onTime = {{LIABILITY, "01/14/05", 10000.00},
                          {DEPOSIT, "02/15/05", 9850.00},
                          {DEPOSIT, "04/20/05", 150.00}};
  const struct {
    int flags, direction;
    double penalty, catchup;
  } cases[] = {{kOld, 1, 0.0, 150.00}, {kNew, 2, 15.00, 0.0}, {0, 1, 0.0, 150.00}};
  for (const auto& k : cases) {
    C941Compute c;
    Apply(c, k.flags, onTime);
    EXPECT_EQ(c.GetIRSDirection(), k.direction) << k.flags;
    EXPECT_DOUBLE_EQ(c.GetPenalty(), k.penalty) << k.flags;
    EXPECT_DOUBLE_EQ(c.CatchupLiabilities[1]->Amount, k.catchup) << k.flags;
    EXPECT_EQ(FieldOf(LiabilityDue(c, "02/15/05"), &CLiability::Applied98, -1),
              k.catchup > 0.0 ? 1 : 0)
        << k.flags;
  }
}

TEST(DepositPenalty, TiersByDaysLate) {
  // January's 10,000.00, due 15 February, paid in one piece; with a notice
  // whose last day to pay is 31 March, what is paid after that day is 15%.
  const struct {
    int type;
    const char *paid, *lastDayToPay, *chain;
  } cases[] = {
      {DEPOSIT, "02/15/05", nullptr, "02-15-05 10000.00/0.00"},  // on the due date
      {DEPOSIT, "02/16/05", nullptr, "02-16-05 10000.00/0.00 late 1 2% 200.00"},
      {DEPOSIT, "02/20/05", nullptr, "02-20-05 10000.00/0.00 late 5 2% 200.00"},
      {DEPOSIT, "02/21/05", nullptr, "02-21-05 10000.00/0.00 late 6 5% 500.00"},
      {DEPOSIT, "03/02/05", nullptr, "03-02-05 10000.00/0.00 late 15 5% 500.00"},  // 13 + 2 days
      {DEPOSIT, "03/03/05", nullptr, "03-03-05 10000.00/0.00 late 16 10% 1000.00"},
      // A non-FTD payment: 10% even on time.
      {PAYMENT, "02/15/05", nullptr, "02-15-05 10000.00/0.00 late 0 10% 1000.00"},
      // On the last day to pay, 44 days late (13 + 31): still 10%; the day after, 15%.
      {DEPOSIT, "03/31/05", "03/31/05", "03-31-05 10000.00/0.00 late 44 10% 1000.00"},
      {DEPOSIT, "04/01/05", "03/31/05", "04-01-05 10000.00/0.00 late 45 15% 1500.00"}};
  for (const auto& k : cases) {
    C941Compute c;
    testing::Prepare(c, 100, 0, {{LIABILITY, "01/14/05", 10000.00}, {k.type, k.paid, 10000.00}});
    c.Penalties()->CC6656.Active = k.lastDayToPay != nullptr;
    c.Penalties()->CC6656.LastDayToPay = D(k.lastDayToPay);
    c.ApplyDeposits(kOld, 0);
    const CLiability* january = LiabilityDue(c, "02/15/05");
    ASSERT_NE(january, nullptr) << k.paid;
    EXPECT_EQ(ChainText(january), k.chain);
    EXPECT_DOUBLE_EQ(c.GetPenalty(), january->Penalty) << k.paid;
  }
}

TEST(DepositPenalty, NoticeTierAfterTheLastDayToPay) {
  // January 10,000.00 paid 4,000.00 on time and 3,000.00 on 5 April, after
  // the last day to pay of 31 March: 15% of 3,000.00 = 450.00; the 3,000.00
  // unpaid at 30 June (135 days after 15 Feb): 15% = 450.00.
  C941Compute c;
  testing::Prepare(c, 100, 0,
                   {{LIABILITY, "01/14/05", 10000.00},
                    {DEPOSIT, "02/15/05", 4000.00},
                    {DEPOSIT, "04/05/05", 3000.00}});
  c.Penalties()->CC6656.Active = 1;
  c.Penalties()->CC6656.LastDayToPay = D("03/31/05");
  c.ApplyDeposits(kOld, 0);
  ASSERT_EQ(Chain(c, "02/15/05"),
            "02-15-05 4000.00/6000.00, 04-05-05 3000.00/3000.00 late 49 15% 450.00");
  const CLiability* january = LiabilityDue(c, "02/15/05");
  EXPECT_EQ(january->RateIndex, 4);
  EXPECT_DOUBLE_EQ(january->UnpaidAmount, 3000.00);
  EXPECT_DOUBLE_EQ(january->UnpaidPenalty, 450.00);
  EXPECT_EQ(january->UnpaidDays, 135);
  EXPECT_DOUBLE_EQ(c.GetPenalty(), 900.00);
}

TEST(DepositPenalty, SmallQuarterPaidByTheReturnDueDate) {
  // 1,000.00 + 500.00 + 500.00 = 2,000.00, under the 2,500.00 no-file limit,
  // paid in full on Mon 2 May (the return's due date moved past the weekend):
  // lateness does not count. One day later every piece is late, all over
  // 15 days: 10% of 2,000.00 = 200.00.
  const struct {
    const char* paid;
    int flags;
    const char* january;
    double penalty;
  } cases[] = {{"05/02/05", kOld, "05-02-05 1000.00/0.00", 0.0},
               {"05/02/05", kNew, "05-02-05 1000.00/0.00", 0.0},
               {"05/03/05", kOld, "05-03-05 1000.00/0.00 late 77 10% 100.00", 200.00}};
  for (const auto& k : cases) {
    C941Compute c;
    Apply(c, k.flags,
          {{LIABILITY, "01/14/05", 1000.00},
           {LIABILITY, "02/11/05", 500.00},
           {LIABILITY, "03/11/05", 500.00},
           {DEPOSIT, k.paid, 2000.00}});
    EXPECT_EQ(Chain(c, "02/15/05"), k.january) << k.paid;
    EXPECT_DOUBLE_EQ(c.GetPenalty(), k.penalty) << k.paid;
  }
  // A March liability due 15 April, computed on 10 April: nothing late yet.
  C941Compute notDue;
  Apply(notDue, kOld, {{LIABILITY, "03/11/05", 5000.00}}, 100, "04/10/05");
  EXPECT_EQ(FieldOf(LiabilityDue(notDue, "04/15/05"), &CLiability::UnpaidDays, -1), 0);
  EXPECT_DOUBLE_EQ(FieldOf(LiabilityDue(notDue, "04/15/05"), &CLiability::UnpaidAmount, 0.0),
                   5000.00);
  EXPECT_DOUBLE_EQ(notDue.GetPenalty(), 0.0);
}

// Returns that run into 2028, both due Mon 31 Jan 2028, both rules tried.
// The built-in holidays end with 2024, so Martin Luther King Day 2028 (Mon
// 17 Jan) is a user-defined holiday here.
TEST(DepositPenalty, ReturnsPast2027) {
  Holiday own;
  std::filesystem::create_directories(NativePath(own.Folder));
  std::strcpy(own.Entries[own.Count].Name, "MLK Birthday");
  own.Entries[own.Count].Dates[0] = D("01/17/28");
  ASSERT_EQ(own.Save(), 1);
  const struct {
    bool form944;
    int quarter;
    Entries events;
    const char *computeDate, *due, *chain;
    int unpaidDays;
    double penalty;
  } cases[] = {// Form 941, 2027 Q4, monthly. December's 7,000.00 is due Sat 15 Jan
               // 2028, past MLK Day: Tue 18 Jan. 6,000.00 paid Mon 24 Jan, 6 days:
               // 5% = 300.00; 1,000.00 unpaid at Fri 31 Mar, 13 + 29 + 31 = 73 days:
               // 10% = 100.00.
               {false,
                191,
                {{LIABILITY, "12/10/27", 7000.00}, {DEPOSIT, "01/24/28", 6000.00}},
                "03/31/28",
                "01/18/28",
                "01-24-28 6000.00/1000.00 late 6 5% 300.00",
                73,
                400.00},
               // Form 944, 2027, computed on Tue 29 Feb 2028. November's 4,000.00 is
               // due Wed 15 Dec; 3,000.00 paid Mon 31 Jan, 16 + 31 = 47 days: 10% =
               // 300.00; 1,000.00 unpaid, 16 + 31 + 29 = 76 days: 10% = 100.00.
               {true,
                188,
                {{LIABILITY, "11/12/27", 4000.00}, {DEPOSIT, "01/31/28", 3000.00}},
                "02/29/28",
                "12/15/27",
                "01-31-28 3000.00/1000.00 late 47 10% 300.00",
                76,
                400.00}};
  for (const auto& k : cases) {
    C941Compute c;
    if (k.form944) c.Set944();
    testing::Prepare(c, k.quarter, 0, k.events, k.computeDate);
    c.SetDueDate(191);
    c.ApplyDeposits(0, 0);
    EXPECT_EQ(c.DueDate(), D("01/31/28"));
    EXPECT_EQ(c.GetIRSDirection(), 2);  // both rules give the same: the new one is kept
    EXPECT_EQ(Chain(c, k.due), k.chain);
    EXPECT_EQ(FieldOf(LiabilityDue(c, k.due), &CLiability::UnpaidDays, -1), k.unpaidDays);
    EXPECT_DOUBLE_EQ(c.GetPenalty(), k.penalty) << k.quarter;
  }
  std::filesystem::remove(own.FilePath());
}

// Over generated returns, under either IRS rule: no deposit is applied beyond
// its amount, the penalty total is the sum of the liabilities' penalties, and
// a computation repeats bit for bit.
TEST(IrsProperties, AllocationAndPricingHold) {
  for (unsigned seed = 1; seed <= 300; ++seed) {
    std::mt19937 rng(seed);
    const testing::GeneratedReturn r = testing::GenerateReturn(rng);
    for (int flags : {kOld, kNew}) {
      const std::string where = "seed " + std::to_string(seed) + " flags " + std::to_string(flags);
      C941Compute c, again;
      r.Compute(c, flags);
      r.Compute(again, flags);
      ASSERT_EQ(testing::ResultText(c), testing::ResultText(again)) << where;
      std::map<int, double> applied;  // deposit event -> sum of its pieces
      double sum = 0.0;
      for (int k = 0; k < c.LiabilitySlots + c.CatchupSlots; ++k) {
        const CLiability* l =
            k < c.LiabilitySlots ? c.Liabilities[k] : c.CatchupLiabilities[k - c.LiabilitySlots];
        if (l == nullptr) continue;
        sum += l->Penalty;
        for (const CDeposit* d : Pieces(l)) {
          if (IsDepositType(d->EventType)) applied[d->EventIndex] += d->Amount;
        }
      }
      for (const auto& [index, total] : applied) {
        EXPECT_LE(total, c.Events[index].Amount + 0.005) << where << " event " << index;
      }
      EXPECT_DOUBLE_EQ(c.GetPenalty(), sum) << where;
    }
  }
}

}  // namespace
}  // namespace ledrix
