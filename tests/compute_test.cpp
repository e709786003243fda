// The compute object: the event copy with its COBRA total and deferral
// event, the document takeover, the allocation-method driver and the totals
// of the period (daily record, month and period totals, running tax balance,
// balance due on a date, no-file thresholds).
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <utility>
#include <vector>

#include "ledrix/ledrix.h"
#include "support/returns.h"

namespace ledrix {
namespace {

using testing::AddPiece;
using testing::D;
using testing::MakeDoc;
using testing::NewLiability;

int CountOfType(CCompute& c, int type) {
  return static_cast<int>(std::count_if(c.Events, c.Events + CountEvents(c.Events),
                                        [type](const Event& e) { return e.Type == type; }));
}

const Event& FirstOfType(CCompute& c, int type) {
  return *std::find_if(c.Events, c.Events + MaxEvents,
                       [type](const Event& e) { return e.Type == type; });
}

// COBRA payments become one total dated the first day of the period; the
// deferral is an event of Forms 941 and 944 only.
TEST(ComputeEvents, CobraTotalAndDeferralEventByForm) {
  const struct {
    int form;
    const char* periodStart;
    bool defers;
  } cases[] = {{1, "04/01/05", true}, {10, "01/01/05", true}, {4, "04/01/05", false}};
  for (const auto& k : cases) {
    auto doc = MakeDoc(k.form, 101, 0,  // 2005 Q2
                       {{LIABILITY, "04/14/05", 1000.00},
                        {COBRA_PMT, "05/10/05", 100.00},
                        {COBRA_PMT, "06/10/05", 250.00}});
    doc->DeferredAmount = 500.00;
    C941Compute c;
    if (k.form == 10) c.Set944();
    c.SetC941Doc(doc.get());
    ASSERT_EQ(CountOfType(c, COBRA_QTR), 1) << k.form;
    const Event& cobra = FirstOfType(c, COBRA_QTR);
    EXPECT_DOUBLE_EQ(cobra.Amount, 350.00);  // 100.00 + 250.00
    EXPECT_EQ(cobra.Date, D(k.periodStart));
    ASSERT_EQ(CountOfType(c, DEFER_SS), k.defers ? 1 : 0) << k.form;
    if (!k.defers) continue;
    EXPECT_DOUBLE_EQ(FirstOfType(c, DEFER_SS).Amount, -500.00);
    EXPECT_EQ(FirstOfType(c, DEFER_SS).Date, D(k.periodStart));
    // The host hands back a list that already has the deferral: no second one.
    std::copy(c.Events, c.Events + MaxEvents, doc->Events);
    c.SetC941Doc(doc.get());
    EXPECT_EQ(CountOfType(c, DEFER_SS), 1);
    c.RemoveDeferredAmount();
    EXPECT_EQ(CountOfType(c, DEFER_SS), 0);
  }
}

TEST(ComputeDocument, AdditionalNoticeDate) {
  // 1,000.00 of liability, deposited in full on 1 March 2005.
  const struct {
    const char *lastDayToPay, *jeopardy, *levy, *notice, *expected;
  } cases[] = {{nullptr, nullptr, nullptr, nullptr, "12/31/05"},        // inputs not active: kept
               {"03/01/05", nullptr, nullptr, nullptr, nullptr},        // paid by that day: none
               {"02/20/05", "02/20/05", nullptr, nullptr, "02/20/05"},  // jeopardy that day
               {"02/20/05", nullptr, "01/31/05", "02/10/05", "02/10/05"},   // notice 10 days before
               {"02/20/05", nullptr, "01/31/05", "02/09/05", "01/31/05"}};  // else the levy notice
  for (const auto& k : cases) {
    auto doc =
        MakeDoc(1, 100, 0, {{LIABILITY, "01/14/05", 1000.00}, {DEPOSIT, "03/01/05", 1000.00}});
    doc->Penalties.CC6656.Active = k.lastDayToPay != nullptr;
    doc->Penalties.CC6656.LastDayToPay = D(k.lastDayToPay);
    doc->Penalties.CC6656.NoticeDate = D(k.notice);
    doc->Penalties.CC6651A2.JeopardyDate = D(k.jeopardy);
    doc->Penalties.CC6651A2.LevyNoticeDate = D(k.levy);
    C941Compute c;
    c.AdditionalNoticeDate = D("12/31/05");
    c.SetC941Doc(doc.get());
    EXPECT_EQ(c.AdditionalNoticeDate, D(k.expected)) << "case " << &k - cases;
  }
}

// A 941 object whose allocation steps are scripted: each method yields a
// fixed penalty and complexity (100.00 and 10 unless told).
class ScriptedCompute : public C941Compute {
 public:
  std::map<int, std::pair<double, int>> outcomes;  // method -> penalty, complexity
  std::vector<int> applied;                        // methods applied, in order
  int rebuilds = 0;

  void InitLiabilities(int) override {
    ++rebuilds;
    ExcessAdjustmentsFlag = 1;
  }
  void ApplyDeposits(int, int) override { applied.push_back(0); }
  void BestDepositApplication(int alternative, int) override { applied.push_back(alternative + 1); }
  void ComputePenalty() override { PenaltyTotal = Outcome().first; }
  void RemoveExtraCUs() override {}
  int ComputeComplexity() override { return Outcome().second; }
  int IsMethodImplemented(int alternative) override { return alternative != 8; }  // method 9

 private:
  std::pair<double, int> Outcome() const {
    auto found = outcomes.find(applied.back());
    return found == outcomes.end() ? std::make_pair(100.00, 10) : found->second;
  }
};

TEST(ComputeDriver, WinnerIsLowestRoundedPenaltyThenComplexity) {
  const struct {
    const char* name;
    std::map<int, std::pair<double, int>> outcomes;
    int winner;
  } cases[] = {{"all equal: the IRS rule", {}, 0},
               {"0.004 lower rounds to no difference", {{5, {99.996, 10}}}, 0},
               {"0.004 lower with a lower complexity", {{5, {99.996, 9}}}, 5},
               {"a cent lower beats a lower complexity", {{5, {99.996, 9}}, {6, {99.99, 50}}}, 6},
               {"equal and simpler, but not implemented", {{9, {100.00, 1}}}, 0},
               {"first of two equal winners", {{20, {50.00, 3}}, {30, {50.00, 3}}}, 20}};
  for (const auto& k : cases) {
    ScriptedCompute c;
    c.outcomes = k.outcomes;
    c.Penalty(0, 0, 0, -1);
    EXPECT_EQ(c.GetDepositAllocationMethod(), k.winner) << k.name;
    EXPECT_EQ(c.rebuilds, 258) << k.name;
    EXPECT_EQ(c.applied.back(), k.winner) << k.name;  // the winner applied again
    EXPECT_DOUBLE_EQ(c.GetPenaltyAmount(257), c.GetPenaltyAmount(k.winner)) << k.name;
    EXPECT_EQ(c.MethodResults[9].Complexity, WorstComplexity) << k.name;
    EXPECT_EQ(c.MethodResults[300].Complexity, WorstComplexity) << k.name;
  }
}

TEST(ComputeDriver, SingleMethodRuns) {
  ScriptedCompute winnerAlone;
  winnerAlone.outcomes = {{0, {40.00, 7}}};
  winnerAlone.Penalty(0, 0, 0, 257);  // entries 0-256 fresh: method 0 wins
  EXPECT_EQ(winnerAlone.applied, std::vector<int>{0});
  EXPECT_EQ(winnerAlone.GetDepositAllocationMethod(), 0);
  EXPECT_DOUBLE_EQ(winnerAlone.GetPenaltyAmount(257), 40.00);
  EXPECT_DOUBLE_EQ(winnerAlone.GetPenaltyAmount(0), 0.0);
  ScriptedCompute pastTheWinner;
  pastTheWinner.Penalty(0, 0, 0, 300);  // rebuilt, nothing applied or recorded
  EXPECT_EQ(pastTheWinner.rebuilds, 1);
  EXPECT_TRUE(pastTheWinner.applied.empty());
  EXPECT_EQ(pastTheWinner.GetDepositAllocationMethod(), 300);
}

TEST(ComputeDriver, BasicComputeWithFlagsRunsTheIrsRuleAlone) {
  auto doc = MakeDoc(1, 100, 1, {{LIABILITY, "01/14/05", 1000.00}, {DEPOSIT, "01/19/05", 1000.00}});
  ScriptedCompute c;
  c.outcomes = {{0, {20.00, 4}}};
  c.BasicCompute(doc.get(), 1, 0);
  EXPECT_EQ(c.applied, std::vector<int>{0});
  EXPECT_EQ(c.GetDepositAllocationMethod(), 0);
  EXPECT_DOUBLE_EQ(c.GetPenaltyAmount(0), 20.00);
  EXPECT_EQ(c.MethodResults[0].Complexity, 4);
  for (int m = 1; m < MethodResultCount; ++m) {
    EXPECT_EQ(c.MethodResults[m].Penalty, 0.0);
    EXPECT_EQ(c.MethodResults[m].Complexity, WorstComplexity);
  }
  EXPECT_EQ(c.GetCompany(), &doc->Company);
  EXPECT_DOUBLE_EQ(doc->PeriodTotals[3], 1000.00);
  EXPECT_DOUBLE_EQ(c.TaxBalance, 0.00);
  EXPECT_EQ(c.GetComputeMethod(), 1);
  EXPECT_EQ(doc->ExcessAdjustments, 1);
}

// Takes the document over and totals it, as BasicCompute does; returns the
// three month totals and the period total.
std::vector<double> Total(C941Compute& c, C941Doc& doc) {
  c.SetComputeMethod(doc.ComputeMethod);
  c.SetC941Doc(&doc);
  c.SetCompany(&doc.Company);
  c.TotalEvents(doc.DailyLiabilities, doc.PeriodTotals);
  return {doc.PeriodTotals[0], doc.PeriodTotals[1], doc.PeriodTotals[2], doc.PeriodTotals[3]};
}

TEST(Totals, MonthlyDepositorCarriesANegativeMonthForward) {
  // 2005 Q1, monthly: 3,000.00 of liability each month and a credit of
  // -4,000.00 in one of them. A negative month is carried into the next;
  // a negative third month is dropped.
  const struct {
    const char* credited;
    std::vector<double> totals;
  } cases[] = {{"01/20/05", {0.00, 2000.00, 3000.00, 5000.00}},
               {"02/20/05", {3000.00, 0.00, 2000.00, 5000.00}},
               {"03/20/05", {3000.00, 3000.00, 0.00, 6000.00}}};
  for (const auto& k : cases) {
    auto doc = MakeDoc(1, 100, 0,
                       {{LIABILITY, "01/14/05", 3000.00},
                        {ADJ_SS, k.credited, -4000.00},
                        {LIABILITY, "02/14/05", 3000.00},
                        {LIABILITY, "03/14/05", 3000.00}});
    C941Compute c;
    EXPECT_EQ(Total(c, *doc), k.totals) << k.credited;
    EXPECT_DOUBLE_EQ(doc->DailyLiabilities[0][14], 3000.00);  // days keep the liability
    EXPECT_DOUBLE_EQ(c.LiabilityTotal, 5000.00);              // 9,000.00 less the credit
    EXPECT_DOUBLE_EQ(doc->Company.SocialSecurityAdjustments, -4000.00);
    EXPECT_EQ(c.Had100000Liability, 0);
  }
  // A month of $100,000 of raw liability sets the flag though a credit brings it below.
  auto doc =
      MakeDoc(1, 100, 0, {{ADJ_SS, "01/20/05", -1000.00}, {LIABILITY, "02/03/05", 100000.00}});
  C941Compute fresh;
  Total(fresh, *doc);
  EXPECT_EQ(fresh.Had100000Liability, 1);
}

TEST(Totals, SemiWeeklyDepositorSetsCarriedCreditAgainstTheNextLiability) {
  auto doc = MakeDoc(1, 100, 1, {{ADJ_SS, "01/02/05", -500.00}, {LIABILITY, "01/05/05", 2000.00}});
  C941Compute c;
  // 2,000.00 - 500.00 carried = 1,500.00 on 5 January.
  EXPECT_EQ(Total(c, *doc), (std::vector<double>{1500.00, 0.00, 0.00, 1500.00}));
  EXPECT_DOUBLE_EQ(doc->DailyLiabilities[0][5], 1500.00);
  EXPECT_DOUBLE_EQ(doc->DailyLiabilities[0][2], 0.00);
}

TEST(Totals, TaxBalanceAndBalanceDue) {
  auto doc = MakeDoc(1, 100, 0,
                     {{LIABILITY, "01/14/05", 1000.00},
                      {COBRA_PMT, "01/20/05", 100.00},  // as the COBRA total of 1 January
                      {DEPOSIT, "02/15/05", 900.00},
                      {ADJ_SS, "03/01/05", -200.00},
                      {LIABILITY, "03/14/05", 500.00}});
  C941Compute c;
  Total(c, *doc);
  EXPECT_DOUBLE_EQ(c.DepositTotal, 1000.00);  // 100.00 total + 900.00, not the single payment
  c.SetTaxBalance();
  EXPECT_DOUBLE_EQ(c.TaxBalance, 300.00);  // 1,500.00 - 100.00 - 900.00 - 200.00
  EXPECT_DOUBLE_EQ(c.Events[CountEvents(c.Events) - 1].RunningBalance, 300.00);
  // The day before the deposit: 1,000.00 + 500.00 (later, still counts) - 100.00.
  EXPECT_DOUBLE_EQ(c.BalanceDue(D("02/14/05")), 1400.00);
  EXPECT_DOUBLE_EQ(c.BalanceDue(D("02/15/05")), 500.00);
  EXPECT_DOUBLE_EQ(c.BalanceDue(D("03/01/05")), 300.00);  // the credit from its date

  // Out of date order the running balance is not worked out: 0.00.
  c.Events[3].Date = D("01/10/05");
  c.Events[3].RunningBalance = -1.0;
  c.SetTaxBalance();
  EXPECT_DOUBLE_EQ(c.TaxBalance, 0.00);
  EXPECT_DOUBLE_EQ(c.Events[3].RunningBalance, -1.0);
}

TEST(Totals, NoFileLimitByFormAndQuarter) {
  const struct {
    int quarter;
    double limit, futaLimit;  // Form 940 when futaLimit is set
  } cases[] = {{73, 500.00, 0},  {74, 1000.00, 0},       {83, 1000.00, 0},
               {84, 2500.00, 0}, {99, 100.005, 100.001}, {100, 500.005, 500.001}};
  for (const auto& k : cases) {
    std::unique_ptr<CCompute> c = std::make_unique<C941Compute>();
    if (k.futaLimit > 0) c = std::make_unique<C940Compute>();
    c->SetQuarter(k.quarter);
    EXPECT_DOUBLE_EQ(c->GetNoFileLimit(), k.limit) << k.quarter;
    if (auto* futa = dynamic_cast<C940Compute*>(c.get())) {
      EXPECT_DOUBLE_EQ(futa->NoFileLimit(), k.futaLimit) << k.quarter;
    }
  }
}

TEST(Totals, Form944DeMinimisQuarter) {
  const struct {
    const char* name;
    double second;
    const char* paidOn;
    double paid;
    int deMinimis;
  } cases[] = {
      // 2005 Q2 (limit 2,500.00) is paid in time by the end of the month after it: 31 July.
      {"2,400.00 paid by 31 July", 1200.00, "07/31/05", 1200.00, 1},
      {"2,500.00 reaches the limit", 1300.00, "07/31/05", 1300.00, 0},
      {"paid on 1 August", 1200.00, "08/01/05", 1200.00, 0},
      {"a cent unpaid", 1200.00, "07/31/05", 1199.99, 0}};
  const auto paid = [](const char* due, double amount, const char* on, double paid) {
    CLiability* l = NewLiability(due, amount);
    AddPiece(*l, on, paid);
    return l;
  };
  for (const auto& k : cases) {
    C941Compute c;
    c.Set944();
    c.SetQuarter(100);
    c.Liabilities[0] = paid("01/10/05", 500.00, "01/10/05", 500.00);  // before Q2
    c.Liabilities[1] = paid("04/15/05", 1200.00, "04/15/05", 1200.00);
    c.Liabilities[2] = paid("05/16/05", k.second, k.paidOn, k.paid);
    c.Liabilities[3] = paid("07/15/05", 5000.00, "12/30/05", 5000.00);  // after Q2
    EXPECT_EQ(c.Is944DeMinimisForQuarter(101), k.deMinimis) << k.name;
  }
  EXPECT_EQ(C941Compute().Is944DeMinimisForQuarter(100), 0);  // Form 941
}

}  // namespace
}  // namespace ledrix
