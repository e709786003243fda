// Totals of the period: the record of daily liability, month and period
// totals, the running tax balance, the balance due on a date and the
// no-file thresholds.
#include <gtest/gtest.h>

#include <memory>

#include "ledrix/ledrix.h"
#include "support/returns.h"

namespace ledrix {
namespace {

using testing::AddEvent;
using testing::D;
using testing::MakeDoc;

// Takes the document over and totals it, as BasicCompute does up to the
// tax balance.
void Total(C941Compute& c, C941Doc& doc) {
  c.SetComputeMethod(doc.ComputeMethod);
  c.SetC941Doc(&doc);
  c.SetCompany(&doc.Company);
  c.TotalEvents(doc.DailyLiabilities, doc.PeriodTotals);
}

TEST(Totals, MonthlyDepositorCarriesANegativeMonthForward) {
  auto doc = MakeDoc(1, 100);  // 2005 Q1, monthly
  AddEvent(*doc, LIABILITY, "01/14/05", 3000.00);
  AddEvent(*doc, ADJ_SS, "01/20/05", -4000.00);
  AddEvent(*doc, LIABILITY, "02/14/05", 3000.00);
  AddEvent(*doc, LIABILITY, "03/14/05", 3000.00);
  C941Compute c;
  Total(c, *doc);
  // January 3,000.00 - 4,000.00 = -1,000.00, carried into February: 2,000.00.
  EXPECT_DOUBLE_EQ(doc->PeriodTotals[0], 0.00);
  EXPECT_DOUBLE_EQ(doc->PeriodTotals[1], 2000.00);
  EXPECT_DOUBLE_EQ(doc->PeriodTotals[2], 3000.00);
  EXPECT_DOUBLE_EQ(doc->PeriodTotals[3], 5000.00);
  EXPECT_DOUBLE_EQ(doc->DailyLiabilities[0][14], 3000.00);
  EXPECT_DOUBLE_EQ(doc->DailyLiabilities[2][14], 3000.00);
  EXPECT_DOUBLE_EQ(c.LiabilityTotal, 5000.00);  // 9,000.00 less the credit
  EXPECT_DOUBLE_EQ(doc->Company.SocialSecurityAdjustments, -4000.00);
  EXPECT_EQ(c.Had100000Liability, 0);
}

TEST(Totals, SemiWeeklyDepositorSetsCarriedCreditAgainstTheNextLiability) {
  auto doc = MakeDoc(1, 100, 1);
  AddEvent(*doc, ADJ_SS, "01/02/05", -500.00);
  AddEvent(*doc, LIABILITY, "01/05/05", 2000.00);
  C941Compute c;
  Total(c, *doc);
  // 2,000.00 - 500.00 carried = 1,500.00 on 5 January.
  EXPECT_DOUBLE_EQ(doc->DailyLiabilities[0][5], 1500.00);
  EXPECT_DOUBLE_EQ(doc->DailyLiabilities[0][2], 0.00);
  EXPECT_DOUBLE_EQ(doc->PeriodTotals[0], 1500.00);
  EXPECT_DOUBLE_EQ(doc->PeriodTotals[3], 1500.00);
}

TEST(Totals, HundredThousandOfRawLiabilityInAMonth) {
  auto doc = MakeDoc(1, 100);
  AddEvent(*doc, ADJ_SS, "01/20/05", -1000.00);
  AddEvent(*doc, LIABILITY, "02/03/05", 100000.00);
  C941Compute c;
  Total(c, *doc);
  EXPECT_EQ(c.Had100000Liability, 1);
  EXPECT_LT(doc->PeriodTotals[3], 100000.00);  // the credit brings it below
}

TEST(Totals, CobraTotalStandsForTheSinglePayments) {
  auto doc = MakeDoc(1, 100);
  AddEvent(*doc, LIABILITY, "01/14/05", 1000.00);
  AddEvent(*doc, COBRA_PMT, "02/10/05", 100.00);
  AddEvent(*doc, COBRA_PMT, "03/10/05", 250.00);
  C941Compute c;
  Total(c, *doc);
  EXPECT_DOUBLE_EQ(c.DepositTotal, 350.00);  // not 700.00
  c.SetTaxBalance();
  EXPECT_DOUBLE_EQ(c.TaxBalance, 650.00);  // 1,000.00 - 350.00
  const Event& last = c.Events[CountEvents(c.Events) - 1];
  EXPECT_DOUBLE_EQ(last.RunningBalance, 650.00);
}

TEST(Totals, TaxBalanceNeedsDateOrder) {
  auto doc = MakeDoc(1, 100);
  AddEvent(*doc, LIABILITY, "01/14/05", 1000.00);
  AddEvent(*doc, DEPOSIT, "01/19/05", 400.00);
  C941Compute c;
  c.SetC941Doc(doc.get());
  c.SetTaxBalance();
  EXPECT_DOUBLE_EQ(c.TaxBalance, 600.00);
  EXPECT_DOUBLE_EQ(c.Events[0].RunningBalance, 1000.00);

  c.Events[1].Date = D("01/10/05");
  c.Events[1].RunningBalance = -1.0;
  c.SetTaxBalance();
  EXPECT_DOUBLE_EQ(c.TaxBalance, 0.00);
  EXPECT_DOUBLE_EQ(c.Events[1].RunningBalance, -1.0);
}

TEST(Totals, BalanceDueCountsPaymentsUpToTheDate) {
  auto doc = MakeDoc(1, 100);
  AddEvent(*doc, LIABILITY, "01/14/05", 1000.00);
  AddEvent(*doc, COBRA_PMT, "01/20/05", 100.00);  // as the 100.00 total of 1 January
  AddEvent(*doc, DEPOSIT, "02/15/05", 900.00);
  AddEvent(*doc, ADJ_SS, "03/01/05", -200.00);
  AddEvent(*doc, LIABILITY, "03/14/05", 500.00);
  C941Compute c;
  c.SetC941Doc(doc.get());
  // The day before the deposit: 1,000.00 + 500.00 (later, still counts) - 100.00.
  EXPECT_DOUBLE_EQ(c.BalanceDue(D("02/14/05")), 1400.00);
  EXPECT_DOUBLE_EQ(c.BalanceDue(D("02/15/05")), 500.00);
  EXPECT_DOUBLE_EQ(c.BalanceDue(D("03/01/05")), 300.00);  // the credit from its date
}

TEST(Totals, NoFileLimitByFormAndQuarter) {
  struct Case {
    bool form940;
    int quarter;
    double limit;
  } cases[] = {
      {false, 73, 500.00},  {false, 74, 1000.00}, {false, 83, 1000.00},
      {false, 84, 2500.00}, {true, 99, 100.005},  {true, 100, 500.005},
  };
  for (const Case& k : cases) {
    std::unique_ptr<CCompute> c;
    if (k.form940) {
      c = std::make_unique<C940Compute>();
    } else {
      c = std::make_unique<C941Compute>();
    }
    c->SetQuarter(k.quarter);
    EXPECT_DOUBLE_EQ(c->GetNoFileLimit(), k.limit) << k.quarter;
  }
  C940Compute futa;
  futa.SetQuarter(99);
  EXPECT_DOUBLE_EQ(futa.NoFileLimit(), 100.001);
  futa.SetQuarter(100);
  EXPECT_DOUBLE_EQ(futa.NoFileLimit(), 500.001);
}

// A liability due on `due`, paid by one deposit on `paid` (in full unless
// `paidAmount` says less).
CLiability* PaidLiability(const char* due, double amount, const char* paid,
                          double paidAmount = -1.0) {
  auto* liability = new CLiability();
  liability->Date = D(due);
  liability->Amount = amount;
  CDeposit* deposit = liability->AddDeposit();
  deposit->Date = D(paid);
  deposit->Amount = paidAmount < 0.0 ? amount : paidAmount;
  return liability;
}

TEST(Totals, Form944DeMinimisQuarter) {
  struct Case {
    const char* name;
    double second;
    const char* secondPaid;
    double secondPaidAmount;
    int deMinimis;
  } cases[] = {
      // Quarter 2005 Q2: the month after it ends on 31 July.
      {"2,400.00 paid by 31 July", 1200.00, "07/31/05", 1200.00, 1},
      {"2,500.00 reaches the limit", 1300.00, "07/31/05", 1300.00, 0},
      {"paid on 1 August", 1200.00, "08/01/05", 1200.00, 0},
      {"a cent unpaid", 1200.00, "07/31/05", 1199.99, 0},
  };
  for (const Case& k : cases) {
    C941Compute c;
    c.Set944();
    c.SetQuarter(100);                                                 // 2005: limit 2,500.00
    c.Liabilities[0] = PaidLiability("01/10/05", 500.00, "01/10/05");  // before Q2
    c.Liabilities[1] = PaidLiability("04/15/05", 1200.00, "04/15/05");
    c.Liabilities[2] = PaidLiability("05/16/05", k.second, k.secondPaid, k.secondPaidAmount);
    c.Liabilities[3] = PaidLiability("07/15/05", 5000.00, "12/30/05");  // after Q2
    EXPECT_EQ(c.Is944DeMinimisForQuarter(101), k.deMinimis) << k.name;
  }
  C941Compute quarterly;
  EXPECT_EQ(quarterly.Is944DeMinimisForQuarter(100), 0);
}

}  // namespace
}  // namespace ledrix
