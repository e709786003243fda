// Liability and deposit records: copying, deposit order, deposit periods,
// skipped holidays and the event-index array.
#include <gtest/gtest.h>

#include <vector>

#include "ledrix/ledrix.h"
#include "support/returns.h"

namespace ledrix {
namespace {

using testing::AddPiece;
using testing::D;

std::vector<double> Amounts(const CLiability& l) {
  std::vector<double> amounts;
  for (const CDeposit* d = l.Next; d != nullptr; d = d->Next) amounts.push_back(d->Amount);
  return amounts;
}

TEST(Liability, AssignmentAppendsTheChainButKeepsAmountAndDate) {
  CLiability source;
  source.Amount = 1000.00;
  source.Date = D("02/15/05");
  source.Applied98 = 1;
  source.LiabilityDate = D("01/14/05");
  source.AddEvent(4);
  source.AddHoliday(D("01/17/05"));
  AddPiece(source, nullptr, 300.00);
  AddPiece(source, nullptr, 700.00);
  CLiability target;
  target.Amount = 50.00;
  AddPiece(target, nullptr, 10.00);
  target = source;
  EXPECT_DOUBLE_EQ(target.Amount, 50.00);
  EXPECT_FALSE(target.Date.IsValid());
  EXPECT_EQ(target.Applied98, 1);
  EXPECT_EQ(target.LiabilityDate, D("01/14/05"));
  EXPECT_EQ(target.EventIndices[0], 4);
  EXPECT_EQ(target.SkippedHoliday(0), D("01/17/05"));
  EXPECT_EQ(Amounts(target), (std::vector<double>{10.00, 300.00, 700.00}));  // old one first
  EXPECT_NE(target.Next->Next, source.Next);  // copies, not shared records
  CLiability copy(source);
  EXPECT_DOUBLE_EQ(copy.Amount, 0.00);
  EXPECT_EQ(copy.DepositCount(), 2);
}

TEST(Liability, SortDepositsByDepositNumber) {
  CLiability liability;
  AddPiece(liability, nullptr, 30.00, DEPOSIT, 3);
  AddPiece(liability, nullptr, 10.00, DEPOSIT, 1);
  AddPiece(liability, nullptr, 21.00, ADJ_SS, 2);
  AddPiece(liability, nullptr, 22.00, ADJ_SS, 2);  // equal numbers keep their order
  liability.SortDeposits(1);                       // other modes change nothing
  EXPECT_EQ(Amounts(liability), (std::vector<double>{30.00, 10.00, 21.00, 22.00}));
  liability.SortDeposits(0);
  EXPECT_EQ(Amounts(liability), (std::vector<double>{10.00, 21.00, 22.00, 30.00}));
}

TEST(Liability, DepositPeriodEnd) {
  const struct {
    const char* arose;
    int semiWeekly;
    double amount;
    const char* periodEnd;
  } cases[] = {{"01/09/05", 1, 500.00, "01/11/05"},      // Sunday -> Tuesday
               {"01/12/05", 1, 500.00, "01/14/05"},      // Wednesday -> Friday
               {"01/14/05", 1, 500.00, "01/14/05"},      // Friday ends its own period
               {"01/11/05", 1, 500.00, "01/11/05"},      // Tuesday too
               {"02/10/05", 0, 500.00, "02/28/05"},      // monthly: end of February
               {"02/10/04", 0, 500.00, "02/29/04"},      // leap year
               {"02/10/05", 0, 100000.00, "02/10/05"}};  // next-day liability: its own date
  for (const auto& c : cases) {
    CLiability liability;
    liability.LiabilityDate = D(c.arose);
    liability.SemiWeekly = c.semiWeekly;
    liability.Amount = c.amount;
    EXPECT_EQ(liability.GetPerEndDate(), D(c.periodEnd)) << c.arose;
  }
  CLiability catchup;  // a catch-up liability: its make-up date
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
  AddPiece(liability, "03/01/05", 100.00);
  liability.ComputeBalance();
  EXPECT_EQ(liability.PaidIn10Days(D("03/01/05")), 1);
  EXPECT_EQ(liability.PaidIn10Days(D("02/28/05")), 0);
}

TEST(Liability, SkippedHolidaysKeepFourDistinctDates) {
  CLiability liability;
  for (const char* day : {"01/17/05", "01/17/05", "02/21/05", "05/30/05", "07/04/05", "09/05/05"}) {
    liability.AddHoliday(D(day));
  }
  liability.AddHoliday(Date());
  EXPECT_EQ(liability.SkippedHoliday(1), D("02/21/05"));  // the repeat is not kept
  EXPECT_EQ(liability.SkippedHoliday(3), D("07/04/05"));  // the fifth is dropped
  EXPECT_FALSE(liability.SkippedHoliday(4).IsValid());
  liability.ClearHolidays();
  EXPECT_FALSE(liability.SkippedHoliday(0).IsValid());
}

TEST(Liability, EventIndicesGrowPastTwenty) {
  CLiability liability;
  for (int i = 0; i < 21; ++i) liability.AddEvent(i);
  EXPECT_EQ(liability.EventIndices.UsedCount(), 21);
  EXPECT_EQ(liability.EventIndices[21], -1);
  liability.EventIndices.Reset();
  EXPECT_EQ(liability.EventIndices.UsedCount(), 0);
}

}  // namespace
}  // namespace ledrix
