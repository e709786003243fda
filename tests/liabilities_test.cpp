// Liability building and deposit due dates: one liability per day from the
// events, credits set against them by schedule, the quarter's slot range, the
// merging of two liabilities; the monthly and semi-weekly rules, the next-day
// rule, the $100,000 switch of a monthly depositor, catch-up due dates and the
// Form 940 quarterly carry. Holidays are the built-in ones (no holiday file).
#include <gtest/gtest.h>

#include <cmath>
#include <iterator>
#include <utility>
#include <vector>

#include "ledrix/ledrix.h"
#include "support/returns.h"

namespace ledrix {
namespace {

using testing::D;
using testing::Entries;
using testing::FieldOf;
using testing::LiabilityArisen;
using testing::MakeLiabilities;
using testing::NewLiability;
using testing::Pieces;

constexpr int k2005Q1 = 100;
constexpr int k2005Q2 = 101;
constexpr int kMonthly = 0;
constexpr int kSemiWeekly = 1;

// Of the liability that arose on `arose`: the amount (0.0 when there is
// none), the balance and the due date.
double AmountOf(CCompute& c, const char* arose) {
  return FieldOf(LiabilityArisen(c, arose), &CLiability::Amount, 0.0);
}
double BalanceOf(CCompute& c, const char* arose) {
  return FieldOf(LiabilityArisen(c, arose), &CLiability::Balance, std::nan(""));
}
Date DueOf(CCompute& c, const char* arose) {
  return FieldOf(LiabilityArisen(c, arose), &CLiability::Date, Date());
}

TEST(Liabilities, OneLiabilityPerDayOfLiabilityEvents) {
  auto c = MakeLiabilities(k2005Q1, kSemiWeekly,
                           {{LIABILITY, "02/02/05", 600.00},
                            {LIAB_TAX, "02/02/05", 400.00},
                            {ADJ_SS, "02/15/05", 50.00},  // a positive adjustment is liability
                            {DEPOSIT, "02/16/05", 900.00},
                            {LIABILITY, "12/31/04", 100.00},  // before slot 0 (1 Jan)
                            {LIABILITY, "01/02/05", 200.00},
                            {LIABILITY, "04/03/05", 700.00},    // slot 92, the last of 93
                            {LIABILITY, "04/04/05", 800.00}});  // slot 93: left out
  const CLiability* day = LiabilityArisen(*c, "02/02/05");
  ASSERT_NE(day, nullptr);
  EXPECT_EQ(day->EventIndices.UsedCount(), 2);
  // 2 Feb 600.00 + 400.00; 31 Dec is not put with 2 Jan; 0: no liability.
  const std::pair<const char*, double> amounts[] = {
      {"02/02/05", 1000.00}, {"02/15/05", 50.00}, {"01/02/05", 200.00}, {"04/03/05", 700.00},
      {"02/16/05", 0.0},     {"12/31/04", 0.0},   {"04/04/05", 0.0}};
  for (const auto& [arose, amount] : amounts)
    EXPECT_DOUBLE_EQ(AmountOf(*c, arose), amount) << arose;
}

TEST(Liabilities, CreditsReduceLiabilitiesTheScheduleAllows) {
  const Entries events = {{LIABILITY, "01/31/05", 1000.00},
                          {LIABILITY, "02/15/05", 200.00},
                          {ADJ_SS, "02/20/05", -300.00},
                          {LIABILITY, "03/10/05", 1000.00}};
  // Monthly: February's month or later. 15 Feb takes 200.00, 10 Mar the
  // remaining 100.00; 31 Jan is never reduced.
  auto monthly = MakeLiabilities(k2005Q1, kMonthly, events);
  EXPECT_DOUBLE_EQ(BalanceOf(*monthly, "01/31/05"), 1000.00);
  EXPECT_DOUBLE_EQ(BalanceOf(*monthly, "02/15/05"), 0.00);
  EXPECT_DOUBLE_EQ(BalanceOf(*monthly, "03/10/05"), 900.00);
  ASSERT_NE(LiabilityArisen(*monthly, "03/10/05"), nullptr);
  const std::vector<CDeposit*> pieces = Pieces(LiabilityArisen(*monthly, "03/10/05"));
  ASSERT_EQ(pieces.size(), 1u);
  EXPECT_DOUBLE_EQ(pieces[0]->Amount, 100.00);
  EXPECT_DOUBLE_EQ(pieces[0]->Balance, 900.00);
  EXPECT_EQ(pieces[0]->EventType, ADJ_SS);
  EXPECT_EQ(pieces[0]->Date, D("02/20/05"));
  // Semi-weekly: only liabilities on or after 20 Feb: 10 Mar takes 300.00.
  auto semiWeekly = MakeLiabilities(k2005Q1, kSemiWeekly, events);
  EXPECT_DOUBLE_EQ(BalanceOf(*semiWeekly, "02/15/05"), 200.00);
  EXPECT_DOUBLE_EQ(BalanceOf(*semiWeekly, "03/10/05"), 700.00);
  EXPECT_EQ(semiWeekly->ExcessAdjustments(), 0);

  // Liabilities of 150.00 and 250.00 = 400.00 that a credit may reduce; more
  // is left over and sets the flag.
  for (double credit : {-500.00, -400.005, -400.00}) {
    auto c = MakeLiabilities(k2005Q1, kMonthly,
                             {{ADJUST, "01/03/05", credit},
                              {LIABILITY, "01/07/05", 150.00},
                              {LIABILITY, "02/07/05", 250.00}});
    EXPECT_EQ(c->ExcessAdjustments(), credit < -400.01 ? 1 : 0) << credit;
    EXPECT_NEAR(BalanceOf(*c, "02/07/05"), 0.00, 1e-9) << credit;
  }
}

TEST(Liabilities, CombiningMovesAmountsIndicesChainsAndHolidays) {
  C941Compute c;
  CLiability* from = c.Liabilities[3] = NewLiability("02/16/05", 300.00);
  CLiability* to = c.Liabilities[5] = NewLiability("02/15/05", 700.00);
  from->AddEvent(9);
  from->AddEvent(2);
  from->AddDeposit()->Amount = 100.00;
  from->AddHoliday(D("02/21/05"));
  to->AddEvent(5);
  to->AddDeposit()->Amount = 50.00;
  to->AddHoliday(D("01/17/05"));
  c.CombineLiabilities(3, 5);
  EXPECT_DOUBLE_EQ(to->Amount, 1000.00);
  EXPECT_DOUBLE_EQ(to->Balance, 850.00);  // 1,000.00 - 50.00 - 100.00
  ASSERT_EQ(to->EventIndices.UsedCount(), 3);
  EXPECT_EQ(to->EventIndices[0], 2);  // in order
  EXPECT_EQ(to->EventIndices[2], 9);
  ASSERT_EQ(Pieces(to).size(), 2u);
  EXPECT_DOUBLE_EQ(Pieces(to)[0]->Amount, 50.00);  // its own chain first
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
  c.Liabilities[0] = NewLiability("02/15/05", 0.00);
  c.Liabilities[1] = NewLiability("03/15/05", 500.00);
  c.Liabilities[2] = NewLiability("03/01/05", 200.00);
  EXPECT_EQ(c.NextLiabilityDue(D("02/01/05")), c.Liabilities[2]);  // 15 Feb is paid
  EXPECT_EQ(c.NextLiabilityDue(D("03/02/05")), c.Liabilities[1]);
  c.CatchupLiabilities[0] = NewLiability("03/10/05", 20.00, 1);
  EXPECT_EQ(c.NextLiabilityDue(), c.Liabilities[2]);         // 1 Mar before 10 Mar
  c.Liabilities[2]->Applied98 = 1;                           // the safe harbor took it
  EXPECT_EQ(c.NextLiabilityDue(), c.CatchupLiabilities[0]);  // 10 Mar <= 15 Mar
  EXPECT_EQ(c.NextLiabilityDue(D("02/01/05")), c.Liabilities[2]);
}

TEST(DueDates, OneLiabilityBySchedule) {
  const struct {
    int quarter, schedule;
    const char* arose;
    double amount;
    const char* due;
    int had100000;
  } cases[] = {{k2005Q2, kMonthly, "04/01/05", 5000.00, "05/16/05", 0},  // the quarter's first day;
                                                                         // 15 May is a Sunday
               {k2005Q2, kMonthly, "05/05/05", 3000.00, "06/15/05", 0},
               {k2005Q1, kMonthly, "03/10/05", 99999.99, "04/15/05", 0},
               {k2005Q1, kMonthly, "03/10/05", 100000.00, "03/11/05", 1},   // next business day
               {k2005Q1, kSemiWeekly, "02/02/05", 4000.00, "02/09/05", 0},  // Wed -> next Wed
               {k2005Q1, kSemiWeekly, "02/05/05", 3000.00, "02/11/05", 0},  // Sat -> next Fri
               // Fri 18 Feb ends its period; Mon 21 Feb is Presidents' Day: the third
               // business day after is Thu 24 Feb.
               {k2005Q1, kSemiWeekly, "02/18/05", 8000.00, "02/24/05", 0},
               // Fri 14 Jan: Mon 17 (King Day) and Thu 20 Jan (Inauguration Day) are
               // holidays: Tue 18, Wed 19, Fri 21 Jan.
               {k2005Q1, kSemiWeekly, "01/14/05", 8000.00, "01/21/05", 0}};
  for (const auto& t : cases) {
    auto c = MakeLiabilities(t.quarter, t.schedule, {{LIABILITY, t.arose, t.amount}});
    EXPECT_EQ(DueOf(*c, t.arose), D(t.due)) << t.arose << " " << t.amount;
    EXPECT_EQ(c->Had100000Liability, t.had100000) << t.arose << " " << t.amount;
  }
  // Sat 28 Jun 2008 is due Fri 4 Jul, Independence Day: Mon 7 Jul, the holiday recorded.
  auto c = MakeLiabilities(113, kSemiWeekly, {{LIABILITY, "06/28/08", 2500.00}});
  const CLiability* l = LiabilityArisen(*c, "06/28/08");
  ASSERT_NE(l, nullptr);
  EXPECT_EQ(l->Date, D("07/07/08"));
  EXPECT_EQ(l->SkippedHolidays[0], D("07/04/08"));
  EXPECT_FALSE(l->SkippedHolidays[1].IsValid());
}

// The liabilities of `events` are combined into that of the last event (the
// first event's is emptied), due on `due`.
void ExpectCombined(int quarter, int schedule, Entries events, const char* due, double amount,
                    int nextDay) {
  auto c = MakeLiabilities(quarter, schedule, events);
  EXPECT_EQ(LiabilityArisen(*c, events.begin()->date), nullptr);
  const CLiability* combined = LiabilityArisen(*c, std::prev(events.end())->date);
  ASSERT_NE(combined, nullptr) << due;
  EXPECT_DOUBLE_EQ(combined->Amount, amount) << due;
  EXPECT_EQ(combined->Date, D(due));
  EXPECT_EQ(combined->NextDay, nextDay) << due;
}

TEST(DueDates, LiabilitiesDueTogetherAreCombined) {
  // Both monthly liabilities of January are due Tue 15 Feb 2005.
  ExpectCombined(k2005Q1, kMonthly,
                 {{LIABILITY, "01/07/05", 1000.00}, {LIABILITY, "01/21/05", 2000.00}}, "02/15/05",
                 3000.00, 0);
  // Mon 7 and Tue 8 Feb 2005 share the Sat-Tue period: 110,000.00 due Wed 9 Feb.
  ExpectCombined(k2005Q1, kSemiWeekly,
                 {{LIABILITY, "02/07/05", 60000.00}, {LIABILITY, "02/08/05", 50000.00}}, "02/09/05",
                 110000.00, 1);
  // Wed 2 and Thu 3 Feb share the Wed-Fri period: exactly 100,000.00, due Fri 4 Feb.
  ExpectCombined(k2005Q1, kSemiWeekly,
                 {{LIABILITY, "02/02/05", 60000.00}, {LIABILITY, "02/03/05", 40000.00}}, "02/04/05",
                 100000.00, 1);
  // 100,000.00 on Wed 1 Jun switches a monthly depositor. May's 40,000.00
  // and Wed 8 Jun's 60,000.00 are both due Wed 15 Jun and together make
  // exactly 100,000.00: due the business day after 8 Jun, Thu 9 Jun.
  ExpectCombined(k2005Q2, kMonthly,
                 {{LIABILITY, "05/20/05", 40000.00},
                  {LIABILITY, "06/01/05", 100000.00},
                  {LIABILITY, "06/08/05", 60000.00}},
                 "06/09/05", 100000.00, 0);
}

TEST(DueDates, MonthlyDepositorReachingOneHundredThousandSwitches) {
  auto c = MakeLiabilities(k2005Q2, kMonthly,
                           {{LIABILITY, "04/20/05", 60000.00},
                            {LIABILITY, "05/05/05", 60000.00},
                            {LIABILITY, "05/12/05", 50000.00},
                            {LIABILITY, "05/18/05", 1000.00}});
  // Months are counted apart: 60,000 + 50,000 = 110,000 on Thu 12 May,
  // one liability due Fri 13 May.
  EXPECT_EQ(LiabilityArisen(*c, "05/05/05"), nullptr);
  const CLiability* merged = LiabilityArisen(*c, "05/12/05");
  ASSERT_NE(merged, nullptr);
  EXPECT_DOUBLE_EQ(merged->Amount, 110000.00);
  EXPECT_EQ(merged->Date, D("05/13/05"));
  EXPECT_EQ(merged->NextDay, 1);
  EXPECT_EQ(merged->EventIndices.UsedCount(), 2);
  EXPECT_EQ(c->GetComputeMethod(D("05/11/05")), kMonthly);
  EXPECT_EQ(c->GetComputeMethod(D("05/12/05")), kSemiWeekly);
  // April stays monthly; Wed 18 May is semi-weekly: due Wed 25 May.
  EXPECT_EQ(FieldOf(LiabilityArisen(*c, "04/20/05"), &CLiability::SemiWeekly, -1), 0);
  EXPECT_EQ(DueOf(*c, "04/20/05"), D("05/16/05"));
  EXPECT_EQ(FieldOf(LiabilityArisen(*c, "05/18/05"), &CLiability::SemiWeekly, -1), 1);
  EXPECT_EQ(DueOf(*c, "05/18/05"), D("05/25/05"));
  // Catch-up dates from 1 Apr: 18 May (Wed after Sun 15 May), 15 Jun (Wed),
  // 15 Jul (Fri), 17 Aug (Wed after Mon 15 Aug); kept from Wed 15 Jun (the
  // month after 5 May) to the return's Mon 1 Aug (31 Jul is a Sunday).
  const char* catchups[] = {"06/15/05", "06/15/05", "07/15/05", "08/01/05"};
  for (int k = 0; k < 4; ++k) EXPECT_EQ(c->CatchupLiabilities[k]->Date, D(catchups[k])) << k;
}

TEST(DueDates, CatchupDatesOfAnUnswitchedPeriod) {
  // Monthly: all with the return, due Sat 30 Apr 2005 -> Mon 2 May. Semi-weekly,
  // from 1 Jan: Tue 15 Feb -> Wed 16 Feb; Tue 15 Mar -> Wed 16 Mar; Fri 15 Apr; the return.
  const char* monthly[] = {"05/02/05", "05/02/05", "05/02/05", "05/02/05"};
  const char* semiWeekly[] = {"02/16/05", "03/16/05", "04/15/05", "05/02/05"};
  for (int schedule : {kMonthly, kSemiWeekly}) {
    auto c = MakeLiabilities(k2005Q1, schedule, {{LIABILITY, "01/07/05", 1000.00}});
    for (int k = 0; k < 4; ++k) {
      EXPECT_EQ(c->CatchupLiabilities[k]->Date, D((schedule ? semiWeekly : monthly)[k])) << k;
      EXPECT_EQ(c->CatchupLiabilities[k]->SemiWeekly, schedule);
    }
  }
}

// Form 943 is a year: from 1 January, due 31 January after it.
TEST(DueDates, Form943ReturnDueDate) {
  C943Compute annual;
  annual.SetDueDate(k2005Q2);
  annual.SetQuarter(k2005Q2);
  EXPECT_EQ(annual.DueDate(), D("01/31/06"));
  EXPECT_EQ(annual.FirstDayOfPeriod(), D("01/01/05"));
}

TEST(DueDates, Form940CarriesSmallQuarters) {
  const struct {
    const char* name;
    double firstQuarter, depositedByApril;
    const char *firstDue, *secondDue, *thirdDue;
  } cases[] = {// 80.00 a quarter stays under 500.001 all year: due Tue 31 Jan 2006.
               {"small", 80.00, 0.00, "01/31/06", "01/31/06", "01/31/06"},
               // 600.00 is due Mon 2 May (30 Apr is a Saturday); undeposited it keeps
               // the next quarters over the limit: Mon 1 Aug, Mon 31 Oct.
               {"large", 600.00, 0.00, "05/02/05", "08/01/05", "10/31/05"},
               // Deposited by 2 May, the later quarters carry to 31 Jan 2006.
               {"deposited", 600.00, 600.00, "05/02/05", "01/31/06", "01/31/06"}};
  for (const auto& t : cases) {
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
