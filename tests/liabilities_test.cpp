// Liability building: one liability per day from the events, credits set
// against them by schedule, the quarter's slot range, and the merging of two
// liabilities.
#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>

#include "ledrix/ledrix.h"
#include "support/liability_builders.h"
#include "support/returns.h"

namespace ledrix {
namespace {

using testing::D;
using testing::EventEntry;
using testing::FindLiability;
using testing::MakeLiabilities;

constexpr int k2005Q1 = 100;
constexpr int kMonthly = 0;
constexpr int kSemiWeekly = 1;

int CountLiabilities(CCompute& compute) {
  int n = 0;
  for (int j = 0; j < compute.LiabilitySlots; ++j) {
    if (compute.Liabilities[j] != nullptr && compute.Liabilities[j]->Amount > 0.009) ++n;
  }
  return n;
}

TEST(Liabilities, OneLiabilityPerDayOfLiabilityEvents) {
  // Semi-weekly: Wed 2 Feb 2005 is due Wed 9 Feb, Tue 15 Feb Fri 18 Feb.
  auto c = MakeLiabilities(k2005Q1, kSemiWeekly,
                           {{LIABILITY, "02/02/05", 600.00},
                            {LIAB_TAX, "02/02/05", 400.00},
                            {ADJ_SS, "02/15/05", 50.00},
                            {DEPOSIT, "02/16/05", 900.00}});
  const CLiability* day = FindLiability(*c, "02/02/05");
  ASSERT_NE(day, nullptr);
  EXPECT_DOUBLE_EQ(day->Amount, 1000.00);  // 600.00 + 400.00
  EXPECT_EQ(day->EventIndices.UsedCount(), 2);
  ASSERT_NE(FindLiability(*c, "02/15/05"), nullptr);  // a positive adjustment is liability
  EXPECT_DOUBLE_EQ(FindLiability(*c, "02/15/05")->Amount, 50.00);
  EXPECT_EQ(FindLiability(*c, "02/16/05"), nullptr);  // a deposit never is
  EXPECT_EQ(CountLiabilities(*c), 2);
}

TEST(Liabilities, LiabilitiesOutsideTheQuartersSlotsAreLeftOut) {
  // 31 Dec 2004 lies one day before 1 Jan (slot 0), as 2 Jan lies one after:
  // it is left out, not put with 2 Jan.
  auto before = MakeLiabilities(k2005Q1, kMonthly,
                                {{LIABILITY, "12/31/04", 100.00}, {LIABILITY, "01/02/05", 200.00}});
  EXPECT_EQ(FindLiability(*before, "12/31/04"), nullptr);
  EXPECT_DOUBLE_EQ(FindLiability(*before, "01/02/05")->Amount, 200.00);
  // 1 Jan 2005 is slot 0: 3 Apr is slot 92, the last of 93; 4 Apr is 93.
  auto c = MakeLiabilities(k2005Q1, kMonthly,
                           {{LIABILITY, "04/03/05", 700.00}, {LIABILITY, "04/04/05", 800.00}});
  EXPECT_NE(FindLiability(*c, "04/03/05"), nullptr);
  EXPECT_EQ(FindLiability(*c, "04/04/05"), nullptr);
}

TEST(Liabilities, CreditsReduceLiabilitiesTheScheduleAllows) {
  const std::initializer_list<EventEntry> events = {{LIABILITY, "01/31/05", 1000.00},
                                                    {LIABILITY, "02/15/05", 200.00},
                                                    {ADJ_SS, "02/20/05", -300.00},
                                                    {LIABILITY, "03/10/05", 1000.00}};
  // Monthly: February's month or later. 15 Feb takes 200.00, 10 Mar the
  // remaining 100.00; 31 Jan is never reduced.
  auto monthly = MakeLiabilities(k2005Q1, kMonthly, events);
  EXPECT_DOUBLE_EQ(FindLiability(*monthly, "01/31/05")->Balance, 1000.00);
  EXPECT_DOUBLE_EQ(FindLiability(*monthly, "02/15/05")->Balance, 0.00);
  EXPECT_DOUBLE_EQ(FindLiability(*monthly, "03/10/05")->Balance, 900.00);
  const CDeposit* piece = FindLiability(*monthly, "03/10/05")->Next;
  ASSERT_NE(piece, nullptr);
  EXPECT_DOUBLE_EQ(piece->Amount, 100.00);
  EXPECT_DOUBLE_EQ(piece->Balance, 900.00);
  EXPECT_EQ(piece->EventType, ADJ_SS);
  EXPECT_EQ(piece->Date, D("02/20/05"));
  // Semi-weekly: only liabilities on or after 20 Feb: 10 Mar takes 300.00.
  auto semiWeekly = MakeLiabilities(k2005Q1, kSemiWeekly, events);
  EXPECT_DOUBLE_EQ(FindLiability(*semiWeekly, "02/15/05")->Balance, 200.00);
  EXPECT_DOUBLE_EQ(FindLiability(*semiWeekly, "03/10/05")->Balance, 700.00);
  EXPECT_EQ(semiWeekly->ExcessAdjustments(), 0);
}

TEST(Liabilities, CreditsLeftOverSetTheExcessFlag) {
  struct Case {
    double credit;
    int flag;
  };
  // Liabilities of 150.00 and 250.00 = 400.00 that the credit may reduce.
  for (const Case& t : {Case{-500.00, 1}, Case{-400.005, 0}, Case{-400.00, 0}}) {
    auto c = MakeLiabilities(k2005Q1, kMonthly,
                             {{ADJUST, "01/03/05", t.credit},
                              {LIABILITY, "01/07/05", 150.00},
                              {LIABILITY, "02/07/05", 250.00}});
    EXPECT_EQ(c->ExcessAdjustments(), t.flag) << t.credit;
    EXPECT_NEAR(FindLiability(*c, "02/07/05")->Balance, 0.00, 1e-9) << t.credit;
  }
}

TEST(Liabilities, CombiningMovesAmountsIndicesChainsAndHolidays) {
  C941Compute c;
  auto* from = new CLiability();
  auto* to = new CLiability();
  c.Liabilities[3] = from;
  c.Liabilities[5] = to;
  from->Amount = 300.00;
  from->Date = D("02/16/05");
  from->AddEvent(9);
  from->AddEvent(2);
  from->AddDeposit()->Amount = 100.00;
  from->AddHoliday(D("02/21/05"));
  to->Amount = 700.00;
  to->AddEvent(5);
  to->AddDeposit()->Amount = 50.00;
  to->AddHoliday(D("01/17/05"));

  c.CombineLiabilities(3, 5);

  EXPECT_DOUBLE_EQ(to->Amount, 1000.00);
  EXPECT_DOUBLE_EQ(to->Balance, 850.00);  // 1,000.00 - 50.00 - 100.00
  ASSERT_EQ(to->EventIndices.UsedCount(), 3);
  EXPECT_EQ(to->EventIndices[0], 2);
  EXPECT_EQ(to->EventIndices[1], 5);
  EXPECT_EQ(to->EventIndices[2], 9);
  ASSERT_NE(to->Next, nullptr);
  EXPECT_DOUBLE_EQ(to->Next->Amount, 50.00);  // its own chain first
  ASSERT_NE(to->Next->Next, nullptr);
  EXPECT_DOUBLE_EQ(to->Next->Next->Amount, 100.00);
  EXPECT_EQ(to->SkippedHolidays[0], D("01/17/05"));
  EXPECT_EQ(to->SkippedHolidays[1], D("02/21/05"));

  EXPECT_DOUBLE_EQ(from->Amount, 0.0);
  EXPECT_DOUBLE_EQ(from->Balance, 0.0);
  EXPECT_FALSE(from->Date.IsValid());
  EXPECT_EQ(from->EventIndices.UsedCount(), 0);
  EXPECT_EQ(from->Next, nullptr);
  EXPECT_FALSE(from->SkippedHolidays[0].IsValid());

  c.CombineLiabilities(3, 7);  // an empty slot: nothing happens
  EXPECT_EQ(c.Liabilities[7], nullptr);
}

TEST(Liabilities, NextLiabilityDueIsTheEarliestOpenOne) {
  C941Compute c;
  c.CatchupSlots = 1;
  const struct {
    int slot;
    const char* due;
    double balance;
  } slots[] = {{0, "02/15/05", 0.00}, {1, "03/15/05", 500.00}, {2, "03/01/05", 200.00}};
  for (const auto& s : slots) {
    c.Liabilities[s.slot] = new CLiability();
    c.Liabilities[s.slot]->Date = D(s.due);
    c.Liabilities[s.slot]->Balance = s.balance;
  }
  EXPECT_EQ(c.NextLiabilityDue(D("02/01/05")), c.Liabilities[2]);  // 15 Feb is paid
  EXPECT_EQ(c.NextLiabilityDue(D("03/02/05")), c.Liabilities[1]);
  c.CatchupLiabilities[0] = new CLiability();
  c.CatchupLiabilities[0]->Date = D("03/10/05");
  c.CatchupLiabilities[0]->Balance = 20.00;
  EXPECT_EQ(c.NextLiabilityDue(), c.Liabilities[2]);         // 1 Mar before 10 Mar
  c.Liabilities[2]->Applied98 = 1;                           // the safe harbor took it
  EXPECT_EQ(c.NextLiabilityDue(), c.CatchupLiabilities[0]);  // 10 Mar <= 15 Mar
  EXPECT_EQ(c.NextLiabilityDue(D("02/01/05")), c.Liabilities[2]);
}

}  // namespace
}  // namespace ledrix
