// Liability and deposit records: chains, balances, copying, deposit order,
// deposit periods and the event-index array.
#include <gtest/gtest.h>

#include <vector>

#include "ledrix/ledrix.h"
#include "support/returns.h"

namespace ledrix {
namespace {

using testing::D;

// Appends an application of `amount` of event type `type`.
CDeposit* Apply(CLiability& liability, double amount, int type = DEPOSIT, int number = 0) {
  CDeposit* d = liability.AddDeposit();
  d->Amount = amount;
  d->EventType = type;
  d->DepositNumber = number;
  return d;
}

TEST(Liability, BalancesAndTotalsOverTheChain) {
  CLiability paid;
  paid.Amount = 1000.00;
  Apply(paid, 400.00);
  Apply(paid, 600.00);
  EXPECT_DOUBLE_EQ(paid.ComputeBalance(), 0.00);
  EXPECT_EQ(paid.DepositCount(), 2);
  EXPECT_DOUBLE_EQ(paid.GetFinalDeposit()->Amount, 600.00);

  // 98% rule: 980.00 of 1,000.00 paid, the 20.00 shortfall taken by the safe harbor.
  CLiability safeHarbor;
  safeHarbor.Amount = 1000.00;
  safeHarbor.Applied98 = 1;
  Apply(safeHarbor, 980.00);
  EXPECT_DOUBLE_EQ(safeHarbor.ComputeBalance(), 0.00);
  EXPECT_DOUBLE_EQ(safeHarbor.RealBalance(), 20.00);
  EXPECT_DOUBLE_EQ(safeHarbor.Balance, 20.00);

  // A 200.00 credit and a 500.00 deposit: net of credits 800.00.
  CLiability mixed;
  mixed.Amount = 1000.00;
  Apply(mixed, 200.00, ADJ_SS);
  Apply(mixed, 500.00, DEPOSIT);
  EXPECT_DOUBLE_EQ(mixed.GetNAAmount(), 800.00);
  EXPECT_DOUBLE_EQ(mixed.TotalDeposits(), 500.00);
  EXPECT_DOUBLE_EQ(mixed.TotalPayments(), 700.00);

  mixed.FreeDeposits();
  EXPECT_EQ(mixed.GetFinalDeposit(), nullptr);
  EXPECT_DOUBLE_EQ(mixed.RealBalance(), 1000.00);
}

TEST(Liability, AssignmentAppendsTheChainButKeepsAmountAndDate) {
  CLiability source;
  source.Amount = 1000.00;
  source.Date = D("02/15/05");
  source.Applied98 = 1;
  source.LiabilityDate = D("01/14/05");
  source.AddEvent(4);
  source.AddHoliday(D("01/17/05"));
  Apply(source, 300.00, DEPOSIT, 1);
  Apply(source, 700.00, DEPOSIT, 2);

  CLiability target;
  target.Amount = 50.00;
  Apply(target, 10.00, DEPOSIT, 9);
  target = source;

  EXPECT_DOUBLE_EQ(target.Amount, 50.00);
  EXPECT_FALSE(target.Date.IsValid());
  EXPECT_EQ(target.Applied98, 1);
  EXPECT_EQ(target.LiabilityDate, D("01/14/05"));
  EXPECT_EQ(target.EventIndices[0], 4);
  EXPECT_EQ(target.SkippedHoliday(0), D("01/17/05"));
  // The old application stays in front of the two copies.
  ASSERT_EQ(target.DepositCount(), 3);
  EXPECT_EQ(target.Next->DepositNumber, 9);
  EXPECT_EQ(target.Next->Next->DepositNumber, 1);
  EXPECT_DOUBLE_EQ(target.GetFinalDeposit()->Amount, 700.00);
  EXPECT_NE(target.Next->Next, source.Next);  // copies, not shared records

  CLiability copy(source);
  EXPECT_DOUBLE_EQ(copy.Amount, 0.00);
  EXPECT_EQ(copy.DepositCount(), 2);
}

TEST(Liability, SortDepositsByDepositNumber) {
  CLiability liability;
  Apply(liability, 30.00, DEPOSIT, 3);
  Apply(liability, 10.00, DEPOSIT, 1);
  Apply(liability, 21.00, ADJ_SS, 2);
  Apply(liability, 22.00, ADJ_SS, 2);  // equal numbers keep their order
  liability.SortDeposits(1);           // other modes change nothing
  EXPECT_EQ(liability.Next->DepositNumber, 3);

  liability.SortDeposits(0);
  std::vector<double> amounts;
  for (CDeposit* d = liability.Next; d != nullptr; d = d->Next) amounts.push_back(d->Amount);
  EXPECT_EQ(amounts, (std::vector<double>{10.00, 21.00, 22.00, 30.00}));
}

TEST(Liability, DepositPeriodEnd) {
  struct Case {
    const char* arose;
    int semiWeekly;
    double amount;
    const char* periodEnd;
  } cases[] = {
      {"01/09/05", 1, 500.00, "01/11/05"},     // Sunday -> Tuesday
      {"01/12/05", 1, 500.00, "01/14/05"},     // Wednesday -> Friday
      {"01/14/05", 1, 500.00, "01/14/05"},     // Friday ends its own period
      {"01/11/05", 1, 500.00, "01/11/05"},     // Tuesday too
      {"02/10/05", 0, 500.00, "02/28/05"},     // monthly: end of February
      {"02/10/04", 0, 500.00, "02/29/04"},     // leap year
      {"02/10/05", 0, 100000.00, "02/10/05"},  // next-day liability: its own date
  };
  for (const Case& c : cases) {
    CLiability liability;
    liability.LiabilityDate = D(c.arose);
    liability.SemiWeekly = c.semiWeekly;
    liability.Amount = c.amount;
    EXPECT_EQ(liability.GetPerEndDate(), D(c.periodEnd)) << c.arose;
  }
  CLiability catchup;
  catchup.Catchup = 1;
  catchup.Date = D("03/15/05");
  catchup.LiabilityDate = D("01/03/05");
  EXPECT_EQ(catchup.GetPerEndDate(), D("03/15/05"));
}

TEST(Liability, PaidWithinTenDays) {
  CLiability liability;
  liability.Amount = 100.00;
  liability.ComputeBalance();
  EXPECT_EQ(liability.PaidIn10Days(D("03/01/05")), 0);  // unpaid
  liability.Balance = 0.0;
  EXPECT_EQ(liability.PaidIn10Days(D("03/01/05")), 0);  // no application at all
  Apply(liability, 100.00)->Date = D("03/01/05");
  liability.ComputeBalance();
  EXPECT_EQ(liability.PaidIn10Days(D("03/01/05")), 1);
  EXPECT_EQ(liability.PaidIn10Days(D("02/28/05")), 0);
}

TEST(Liability, SkippedHolidaysKeepFourDistinctDates) {
  CLiability liability;
  liability.AddHoliday(D("01/17/05"));
  liability.AddHoliday(D("01/17/05"));
  liability.AddHoliday(Date());
  EXPECT_EQ(liability.SkippedHoliday(0), D("01/17/05"));
  EXPECT_FALSE(liability.SkippedHoliday(1).IsValid());
  for (const char* day : {"02/21/05", "05/30/05", "07/04/05", "09/05/05"}) {
    liability.AddHoliday(D(day));
  }
  EXPECT_EQ(liability.SkippedHoliday(3), D("07/04/05"));  // the fifth is dropped
  EXPECT_FALSE(liability.SkippedHoliday(4).IsValid());
  liability.ClearHolidays();
  EXPECT_FALSE(liability.SkippedHoliday(0).IsValid());
}

TEST(EventIndexArray, GrowsToTwiceItsSizeOrPastTheIndex) {
  EventIndexArray indices;
  EXPECT_EQ(indices.GetSize(), 20);
  indices.SetAtGrow(20, 7);  // 2 x 20 = 40 > 21
  EXPECT_EQ(indices.GetSize(), 40);
  EXPECT_EQ(indices[21], -1);
  indices.SetAtGrow(100, 1);  // 101 > 2 x 40
  EXPECT_EQ(indices.GetSize(), 101);

  CLiability liability;
  for (int i = 0; i < 21; ++i) liability.AddEvent(i);
  EXPECT_EQ(liability.EventIndices.UsedCount(), 21);
  EXPECT_EQ(liability.EventIndices.GetSize(), 40);
  liability.EventIndices.Reset();
  EXPECT_EQ(liability.EventIndices.UsedCount(), 0);
}

TEST(Deposit, RateTextsAndExtension) {
  char text[8];
  CDeposit deposit;
  const char* expected[] = {" 0%", " 2%", " 5%", "10%", "15%"};
  for (int tier = 0; tier < RateTierCount; ++tier) {
    deposit.RateIndex = tier;
    deposit.GetRate(text);
    EXPECT_STREQ(text, expected[tier]);
  }
  CDeposit* next = deposit.ExtendDeposit();
  ASSERT_NE(next, nullptr);
  EXPECT_EQ(deposit.Next, next);
  EXPECT_FALSE(next->Date.IsValid());
  delete next;
}

}  // namespace
}  // namespace ledrix
