// Deposit due dates: monthly and semi-weekly rules, the next-day rule, the
// $100,000 switch of a monthly depositor, catch-up due dates and the Form 940
// quarterly carry. Holidays are the built-in ones (no holiday file).
#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>

#include "ledrix/ledrix.h"
#include "support/liability_builders.h"
#include "support/returns.h"

namespace ledrix {
namespace {

using testing::D;
using testing::FindLiability;
using testing::MakeLiabilities;

Date DueOf(CCompute& compute, const char* date) {
  const CLiability* l = FindLiability(compute, date);
  return l != nullptr ? l->Date : Date();
}

constexpr int k2005Q1 = 100;
constexpr int k2005Q2 = 101;
constexpr int k2008Q2 = 113;
constexpr int kMonthly = 0;
constexpr int kSemiWeekly = 1;

TEST(DueDates, MonthlyDepositorOwesOnTheFifteenthOfTheNextMonth) {
  auto c = MakeLiabilities(k2005Q2, kMonthly,
                           {{LIABILITY, "04/20/05", 5000.00}, {LIABILITY, "05/05/05", 3000.00}});
  EXPECT_EQ(DueOf(*c, "04/20/05"), D("05/16/05"));  // 15 May 2005 is a Sunday
  EXPECT_EQ(DueOf(*c, "05/05/05"), D("06/15/05"));  // Wednesday
  c = MakeLiabilities(k2005Q1, kMonthly, {{LIABILITY, "03/10/05", 5000.00}});
  EXPECT_EQ(DueOf(*c, "03/10/05"), D("04/15/05"));  // Friday
}

TEST(DueDates, SemiWeeklyDepositorOwesOnWednesdayOrFriday) {
  auto c = MakeLiabilities(k2005Q1, kSemiWeekly,
                           {{LIABILITY, "02/02/05", 4000.00}, {LIABILITY, "02/05/05", 3000.00}});
  EXPECT_EQ(DueOf(*c, "02/02/05"), D("02/09/05"));  // Wed -> next Wed
  EXPECT_EQ(DueOf(*c, "02/05/05"), D("02/11/05"));  // Sat -> next Fri
  EXPECT_EQ(FindLiability(*c, "02/05/05")->SemiWeekly, 1);
}

TEST(DueDates, ThreeBusinessDaysAfterThePeriodWhenAMondayIsAHoliday) {
  // Friday 18 Feb 2005 closes its period; Monday 21 Feb is Presidents' Day,
  // so the third business day after is Thursday 24 Feb, not Wed 23 Feb.
  auto c = MakeLiabilities(k2005Q1, kSemiWeekly, {{LIABILITY, "02/18/05", 8000.00}});
  EXPECT_EQ(DueOf(*c, "02/18/05"), D("02/24/05"));
  // Friday 14 Jan: Mon 17 Jan (King Day) and Thu 20 Jan (Inauguration Day)
  // are holidays: Tue 18, Wed 19, Fri 21 Jan.
  c = MakeLiabilities(k2005Q1, kSemiWeekly, {{LIABILITY, "01/14/05", 8000.00}});
  EXPECT_EQ(DueOf(*c, "01/14/05"), D("01/21/05"));
}

TEST(DueDates, HolidayOnTheDepositDayIsSkippedAndRecorded) {
  // Saturday 28 Jun 2008 is due Friday 4 Jul, Independence Day: Monday 7 Jul.
  auto c = MakeLiabilities(k2008Q2, kSemiWeekly, {{LIABILITY, "06/28/08", 2500.00}});
  const CLiability* l = FindLiability(*c, "06/28/08");
  ASSERT_NE(l, nullptr);
  EXPECT_EQ(l->Date, D("07/07/08"));
  EXPECT_EQ(l->SkippedHolidays[0], D("07/04/08"));
  EXPECT_FALSE(l->SkippedHolidays[1].IsValid());
}

TEST(DueDates, OneHundredThousandDollarsIsDueTheNextBusinessDay) {
  struct Case {
    double amount;
    const char* due;
    int had100000;
  };
  for (const Case& t : {Case{100000.00, "03/11/05", 1}, Case{99999.99, "04/15/05", 0}}) {
    auto c = MakeLiabilities(k2005Q1, kMonthly, {{LIABILITY, "03/10/05", t.amount}});
    EXPECT_EQ(DueOf(*c, "03/10/05"), D(t.due)) << t.amount;
    EXPECT_EQ(c->Had100000Liability, t.had100000) << t.amount;
  }
}

TEST(DueDates, MonthlyDepositorReachingOneHundredThousandSwitches) {
  auto c = MakeLiabilities(k2005Q2, kMonthly,
                           {{LIABILITY, "04/20/05", 2000.00},
                            {LIABILITY, "05/05/05", 60000.00},
                            {LIABILITY, "05/12/05", 50000.00},
                            {LIABILITY, "05/18/05", 1000.00}});
  // 60,000 + 50,000 = 110,000 on Thu 12 May: one liability due Fri 13 May.
  EXPECT_EQ(FindLiability(*c, "05/05/05"), nullptr);
  const CLiability* merged = FindLiability(*c, "05/12/05");
  ASSERT_NE(merged, nullptr);
  EXPECT_DOUBLE_EQ(merged->Amount, 110000.00);
  EXPECT_EQ(merged->Date, D("05/13/05"));
  EXPECT_EQ(merged->NextDay, 1);
  EXPECT_EQ(merged->EventIndices.UsedCount(), 2);
  // April stays monthly; Wed 18 May is semi-weekly: due Wed 25 May.
  EXPECT_EQ(FindLiability(*c, "04/20/05")->SemiWeekly, 0);
  EXPECT_EQ(DueOf(*c, "04/20/05"), D("05/16/05"));
  EXPECT_EQ(FindLiability(*c, "05/18/05")->SemiWeekly, 1);
  EXPECT_EQ(DueOf(*c, "05/18/05"), D("05/25/05"));
  EXPECT_EQ(c->Had100000Liability, 1);
  // Catch-up dates from 1 Apr: 18 May (Wed after Sun 15 May), 15 Jun (Wed),
  // 15 Jul (Fri), 17 Aug (Wed after Mon 15 Aug); kept from Wed 15 Jun (the
  // month after 5 May) to the return's Mon 1 Aug (31 Jul is a Sunday).
  const char* catchups[] = {"06/15/05", "06/15/05", "07/15/05", "08/01/05"};
  for (int k = 0; k < 4; ++k) EXPECT_EQ(c->CatchupLiabilities[k]->Date, D(catchups[k])) << k;
}

TEST(DueDates, SemiWeeklyDaysTogetherReachingOneHundredThousandMerge) {
  // Mon 7 Feb and Tue 8 Feb 2005 share the Sat-Tue period: 110,000 due Wed 9.
  auto c = MakeLiabilities(k2005Q1, kSemiWeekly,
                           {{LIABILITY, "02/07/05", 60000.00}, {LIABILITY, "02/08/05", 50000.00}});
  EXPECT_EQ(FindLiability(*c, "02/07/05"), nullptr);
  EXPECT_DOUBLE_EQ(FindLiability(*c, "02/08/05")->Amount, 110000.00);
  EXPECT_EQ(DueOf(*c, "02/08/05"), D("02/09/05"));
}

TEST(DueDates, LiabilitiesDueTogetherAreCombined) {
  // Both monthly liabilities of January are due Tue 15 Feb 2005.
  auto c = MakeLiabilities(k2005Q1, kMonthly,
                           {{LIABILITY, "01/07/05", 1000.00}, {LIABILITY, "01/21/05", 2000.00}});
  EXPECT_EQ(FindLiability(*c, "01/07/05"), nullptr);
  const CLiability* l = FindLiability(*c, "01/21/05");
  ASSERT_NE(l, nullptr);
  EXPECT_DOUBLE_EQ(l->Amount, 3000.00);
  EXPECT_EQ(l->Date, D("02/15/05"));
}

TEST(DueDates, CatchupDatesOfAnUnswitchedPeriod) {
  // Return due Sat 30 Apr 2005 -> Mon 2 May.
  auto monthly = MakeLiabilities(k2005Q1, kMonthly, {{LIABILITY, "01/07/05", 1000.00}});
  for (int k = 0; k < 4; ++k) {
    EXPECT_EQ(monthly->CatchupLiabilities[k]->Date, D("05/02/05")) << k;
    EXPECT_EQ(monthly->CatchupLiabilities[k]->SemiWeekly, 0);
  }
  // From 1 Jan: Tue 15 Feb -> Wed 16 Feb; Tue 15 Mar -> Wed 16 Mar; Fri
  // 15 Apr; the last with the return.
  auto semiWeekly = MakeLiabilities(k2005Q1, kSemiWeekly, {{LIABILITY, "01/07/05", 1000.00}});
  const char* expected[] = {"02/16/05", "03/16/05", "04/15/05", "05/02/05"};
  for (int k = 0; k < 4; ++k) {
    EXPECT_EQ(semiWeekly->CatchupLiabilities[k]->Date, D(expected[k])) << k;
  }
}

TEST(DueDates, ScheduleInForceOnADate) {
  auto c = MakeLiabilities(k2005Q2, kMonthly,
                           {{LIABILITY, "04/28/05", 60000.00},
                            {LIABILITY, "05/05/05", 60000.00},
                            {LIABILITY, "05/12/05", 50000.00}});
  EXPECT_EQ(c->GetComputeMethod(D("05/05/05")), 0);  // months counted apart
  EXPECT_EQ(c->GetComputeMethod(D("05/11/05")), 0);
  EXPECT_EQ(c->GetComputeMethod(D("05/12/05")), 1);  // 110,000 in May
  EXPECT_EQ(c->GetComputeMethod(D("06/30/05")), 1);
}

TEST(DueDates, AlternativesWithStrategySevenAreNotImplemented) {
  C941Compute c;
  // Bits 3-5 of the alternative: 55 = octal 067 (6), 56 = octal 070 (7),
  // 127 = octal 177 (7), 128 = octal 200 (0).
  EXPECT_EQ(c.IsMethodImplemented(55), 1);
  EXPECT_EQ(c.IsMethodImplemented(56), 0);
  EXPECT_EQ(c.IsMethodImplemented(127), 0);
  EXPECT_EQ(c.IsMethodImplemented(128), 1);
}

TEST(DueDates, ReturnDueDatesByForm) {
  C941Compute quarterly;
  quarterly.SetDueDate(k2005Q2);
  EXPECT_EQ(quarterly.DueDate(), D("07/31/05"));
  C943Compute annual;
  annual.SetDueDate(k2005Q2);
  EXPECT_EQ(annual.DueDate(), D("01/31/06"));
  annual.SetQuarter(k2005Q2);
  EXPECT_EQ(annual.FirstDayOfPeriod(), D("01/01/05"));
  quarterly.SetQuarter(k2005Q2);
  EXPECT_EQ(quarterly.FirstDayOfPeriod(), D("04/01/05"));
}

TEST(DueDates, Form940CarriesSmallQuarters) {
  struct Case {
    const char* name;
    double firstQuarter;
    double depositedByApril;
    const char* firstDue;
    const char* secondDue;
    const char* thirdDue;
  };
  const Case cases[] = {
      // 80.00 a quarter stays under 500.001 all year: due Tue 31 Jan 2006.
      {"small", 80.00, 0.00, "01/31/06", "01/31/06", "01/31/06"},
      // 600.00 is due Mon 2 May (30 Apr is a Saturday); undeposited it keeps
      // the next quarters over the limit: Mon 1 Aug, Mon 31 Oct.
      {"large", 600.00, 0.00, "05/02/05", "08/01/05", "10/31/05"},
      // Deposited by 2 May, the later quarters carry to 31 Jan 2006.
      {"deposited", 600.00, 600.00, "05/02/05", "01/31/06", "01/31/06"},
  };
  for (const Case& t : cases) {
    auto c = MakeLiabilities<C940Compute>(k2005Q1, kMonthly,
                                          {{LIABILITY, "02/15/05", t.firstQuarter},
                                           {DEPOSIT, "04/29/05", t.depositedByApril},
                                           {LIABILITY, "05/16/05", 80.00},
                                           {LIABILITY, "08/15/05", 80.00},
                                           {LIABILITY, "11/15/05", 80.00}});
    EXPECT_EQ(DueOf(*c, "02/15/05"), D(t.firstDue)) << t.name;
    EXPECT_EQ(DueOf(*c, "05/16/05"), D(t.secondDue)) << t.name;
    EXPECT_EQ(DueOf(*c, "08/15/05"), D(t.thirdDue)) << t.name;
    EXPECT_EQ(DueOf(*c, "11/15/05"), D("01/31/06")) << t.name;
  }
}

}  // namespace
}  // namespace ledrix
