// The failure-to-deposit penalty: the tiers by days late, non-FTD payments,
// the notice tier and the small-return rule. Form 941 of 2005 Q1, monthly:
// a January liability is due Tuesday 15 February 2005; the return is due
// 30 April (a Saturday), so Monday 2 May. Compute date 30 June 2005.
#include <gtest/gtest.h>

#include <algorithm>

#include "ledrix/ledrix.h"
#include "support/allocation.h"
#include "support/returns.h"

namespace ledrix {
namespace {

using testing::AddEvent;
using testing::D;
using testing::LiabilityDue;
using testing::Pieces;

TEST(DepositPenalty, TiersByDaysLate) {
  struct Case {
    int type;
    const char* paid;
    int daysLate;
    int tier;
    double penalty;
  } cases[] = {
      {DEPOSIT, "02/15/05", 0, 0, 0.00},    // on the due date
      {DEPOSIT, "02/16/05", 1, 1, 200.00},  // 10,000.00 x 2%
      {DEPOSIT, "02/20/05", 5, 1, 200.00},   {DEPOSIT, "02/21/05", 6, 2, 500.00},  // x 5%
      {DEPOSIT, "03/02/05", 15, 2, 500.00},   // 13 days of February + 2
      {DEPOSIT, "03/03/05", 16, 3, 1000.00},  // x 10%
      {PAYMENT, "02/15/05", 0, 3, 1000.00},   // a non-FTD payment: 10% even on time
  };
  for (const Case& k : cases) {
    auto events = testing::MakeEventList();
    AddEvent(events.get(), LIABILITY, "01/14/05", 10000.00);
    AddEvent(events.get(), k.type, k.paid, 10000.00);
    C941Compute c;
    testing::Prepare(c, 100, 0, events.get(), "06/30/05");
    c.ApplyDeposits(1, 0);
    CLiability* january = LiabilityDue(c, "02/15/05");
    ASSERT_NE(january, nullptr);
    ASSERT_EQ(Pieces(january).size(), 1u) << k.paid;
    const CDeposit* piece = Pieces(january)[0];
    EXPECT_EQ(piece->DaysLate, k.daysLate) << k.paid;
    EXPECT_EQ(piece->RateIndex, k.tier) << k.paid;
    EXPECT_DOUBLE_EQ(piece->Penalty, k.penalty) << k.paid;
    EXPECT_DOUBLE_EQ(c.GetPenalty(), k.penalty) << k.paid;
  }
}

TEST(DepositPenalty, NoticeTierAfterTheLastDayToPay) {
  C941Compute c;
  c.SetComputeDate(D("06/30/05"));
  c.Penalties()->CC6656.Active = 1;
  c.Penalties()->CC6656.LastDayToPay = D("03/31/05");
  int tier = -1;
  EXPECT_DOUBLE_EQ(c.PenaltyPercentage(0, D("04/01/05"), nullptr, &tier), 0.15);
  EXPECT_EQ(tier, 4);  // even 0 days late
  EXPECT_DOUBLE_EQ(c.PenaltyPercentage(3, D("03/31/05"), nullptr, &tier), 0.02);
  EXPECT_EQ(tier, 1);  // on the last day to pay: the days decide
  c.SetComputeDate(D("03/31/05"));
  EXPECT_DOUBLE_EQ(c.PenaltyPercentage(20, D("04/01/05"), nullptr, &tier), 0.1);
  EXPECT_EQ(tier, 3);  // the notice is not past at the compute date

  // January 10,000.00 paid 4,000.00 on time and 3,000.00 on 5 April, after
  // the last day to pay: 15% of 3,000.00 = 450.00; the 3,000.00 unpaid at
  // 30 June: 15% = 450.00.
  auto events = testing::MakeEventList();
  AddEvent(events.get(), LIABILITY, "01/14/05", 10000.00);
  AddEvent(events.get(), DEPOSIT, "02/15/05", 4000.00);
  AddEvent(events.get(), DEPOSIT, "04/05/05", 3000.00);
  C941Compute noticed;
  testing::Prepare(noticed, 100, 0, events.get(), "06/30/05");
  noticed.Penalties()->CC6656.Active = 1;
  noticed.Penalties()->CC6656.LastDayToPay = D("03/31/05");
  noticed.ApplyDeposits(1, 0);
  CLiability* january = LiabilityDue(noticed, "02/15/05");
  ASSERT_EQ(Pieces(january).size(), 2u);
  EXPECT_EQ(Pieces(january)[0]->RateIndex, 0);
  EXPECT_EQ(Pieces(january)[1]->RateIndex, 4);
  EXPECT_DOUBLE_EQ(Pieces(january)[1]->Penalty, 450.00);
  EXPECT_EQ(january->RateIndex, 4);
  EXPECT_DOUBLE_EQ(january->UnpaidAmount, 3000.00);
  EXPECT_DOUBLE_EQ(january->UnpaidPenalty, 450.00);
  EXPECT_EQ(january->UnpaidDays, 135);  // 15 Feb -> 30 Jun
  EXPECT_DOUBLE_EQ(noticed.GetPenalty(), 900.00);
}

TEST(DepositPenalty, SmallQuarterPaidByTheReturnDueDate) {
  // 1,000.00 + 500.00 + 500.00 = 2,000.00, under the 2,500.00 no-file limit.
  auto events = testing::MakeEventList();
  AddEvent(events.get(), LIABILITY, "01/14/05", 1000.00);
  AddEvent(events.get(), LIABILITY, "02/11/05", 500.00);
  AddEvent(events.get(), LIABILITY, "03/11/05", 500.00);
  // Paid in full on Monday 2 May (the due date moved past the weekend):
  // lateness does not count.
  auto paidInTime = testing::MakeEventList();
  std::copy(events.get(), events.get() + MaxEvents, paidInTime.get());
  AddEvent(paidInTime.get(), DEPOSIT, "05/02/05", 2000.00);
  for (int flags : {1, 2}) {
    C941Compute c;
    testing::Prepare(c, 100, 0, paidInTime.get(), "06/30/05");
    c.ApplyDeposits(flags, 0);
    EXPECT_DOUBLE_EQ(c.GetPenalty(), 0.0) << flags;
    for (CLiability* l : c.Liabilities) {
      if (l == nullptr) continue;
      for (const CDeposit* d : Pieces(l)) EXPECT_EQ(d->DaysLate, 0);
    }
  }
  // One day later the balance due on 2 May is 2,000.00: every piece is late
  // (all over 15 days): 10% of 2,000.00 = 200.00.
  AddEvent(events.get(), DEPOSIT, "05/03/05", 2000.00);
  C941Compute late;
  testing::Prepare(late, 100, 0, events.get(), "06/30/05");
  late.ApplyDeposits(1, 0);
  EXPECT_EQ(Pieces(LiabilityDue(late, "02/15/05"))[0]->DaysLate, 77);  // 15 Feb -> 3 May
  EXPECT_DOUBLE_EQ(late.GetPenalty(), 200.00);
}

TEST(DepositPenalty, UnpaidLiabilityNotYetDue) {
  // A March liability due 15 April, computed on 10 April: nothing late yet.
  auto events = testing::MakeEventList();
  AddEvent(events.get(), LIABILITY, "03/11/05", 5000.00);
  C941Compute c;
  testing::Prepare(c, 100, 0, events.get(), "04/10/05");
  c.ApplyDeposits(1, 0);
  CLiability* march = LiabilityDue(c, "04/15/05");
  ASSERT_NE(march, nullptr);
  EXPECT_EQ(march->UnpaidDays, 0);
  EXPECT_DOUBLE_EQ(march->UnpaidAmount, 5000.00);
  EXPECT_DOUBLE_EQ(march->Penalty, 0.0);
}

}  // namespace
}  // namespace ledrix
