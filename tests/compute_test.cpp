// The compute object: form classes, the event copy with its COBRA total and
// deferral event, the document takeover and the allocation-method driver.
#include <gtest/gtest.h>

#include <map>
#include <utility>
#include <vector>

#include "ledrix/ledrix.h"
#include "support/returns.h"

namespace ledrix {
namespace {

using testing::AddEvent;
using testing::D;
using testing::MakeDoc;

int CountOfType(CCompute& c, int type) {
  int count = 0;
  for (int i = 0; i < CountEvents(c.Events); ++i) count += c.Events[i].Type == type;
  return count;
}

TEST(ComputeForms, GivenDueDateIsNotTheReturnDueDate) {
  C941Compute c;
  c.SetDueDate(D("04/30/05"));
  EXPECT_EQ(c.GivenDueDate, D("04/30/05"));
  EXPECT_FALSE(c.DueDate().IsValid());
}

TEST(ComputeEvents, CobraPaymentsBecomeOneQuarterTotal) {
  for (bool annual : {false, true}) {
    auto doc = MakeDoc(annual ? 10 : 1, 101);  // 2005 Q2
    AddEvent(*doc, LIABILITY, "04/14/05", 1000.00);
    AddEvent(*doc, COBRA_PMT, "05/10/05", 100.00);
    AddEvent(*doc, COBRA_PMT, "06/10/05", 250.00);
    C941Compute c;
    if (annual) c.Set944();
    c.SetQuarter(doc->Quarter);
    c.SetEvents(doc->Events);
    ASSERT_EQ(CountEvents(c.Events), 4);
    ASSERT_EQ(CountOfType(c, COBRA_QTR), 1);
    // 100.00 + 250.00, dated the first day of the quarter (Form 944: of the year).
    EXPECT_EQ(c.Events[0].Type, COBRA_QTR);
    EXPECT_DOUBLE_EQ(c.Events[0].Amount, 350.00);
    EXPECT_EQ(c.Events[0].Date, D(annual ? "01/01/05" : "04/01/05"));
  }
}

TEST(ComputeEvents, DeferredSocialSecurityEventByForm) {
  struct Case {
    int form;
    bool hasEvent;
  } cases[] = {{1, true}, {10, true}, {4, false}};
  for (const Case& k : cases) {
    auto doc = MakeDoc(k.form, 160);  // 2020 Q1
    doc->DeferredAmount = 500.00;
    AddEvent(*doc, LIABILITY, "02/14/20", 2000.00);
    C941Compute c;
    c.SetC941Doc(doc.get());
    ASSERT_EQ(CountOfType(c, DEFER_SS), k.hasEvent ? 1 : 0) << k.form;
    if (!k.hasEvent) continue;
    EXPECT_EQ(c.Events[0].Type, DEFER_SS);
    EXPECT_DOUBLE_EQ(c.Events[0].Amount, -500.00);
    EXPECT_EQ(c.Events[0].Date, D("01/01/20"));

    // The host hands back a list that already has the deferral: no second one.
    std::copy(c.Events, c.Events + MaxEvents, doc->Events);
    c.SetC941Doc(doc.get());
    EXPECT_EQ(CountOfType(c, DEFER_SS), 1);
    c.RemoveDeferredAmount();
    EXPECT_EQ(CountEvents(c.Events), 1);
    EXPECT_EQ(c.Events[0].Type, LIABILITY);
  }
}

TEST(ComputeDocument, AdditionalNoticeDate) {
  // 1,000.00 of liability, deposited in full on 1 March 2005.
  auto doc = MakeDoc(1, 100);
  AddEvent(*doc, LIABILITY, "01/14/05", 1000.00);
  AddEvent(*doc, DEPOSIT, "03/01/05", 1000.00);
  CC6656& notice = doc->Penalties.CC6656;
  CC6651A2& pay = doc->Penalties.CC6651A2;
  C941Compute c;
  c.AdditionalNoticeDate = D("12/31/05");

  c.SetC941Doc(doc.get());  // inputs not active: kept
  EXPECT_EQ(c.AdditionalNoticeDate, D("12/31/05"));

  notice.Active = 1;
  notice.LastDayToPay = D("03/01/05");  // paid that day
  c.SetC941Doc(doc.get());
  EXPECT_FALSE(c.AdditionalNoticeDate.IsValid());

  notice.LastDayToPay = D("02/20/05");  // 1,000.00 still due
  pay.JeopardyDate = D("02/20/05");
  c.SetC941Doc(doc.get());
  EXPECT_EQ(c.AdditionalNoticeDate, D("02/20/05"));

  pay.JeopardyDate = Date();
  pay.LevyNoticeDate = D("01/31/05");
  notice.NoticeDate = D("02/10/05");  // exactly 10 days before
  c.SetC941Doc(doc.get());
  EXPECT_EQ(c.AdditionalNoticeDate, D("02/10/05"));

  notice.NoticeDate = D("02/09/05");
  c.SetC941Doc(doc.get());
  EXPECT_EQ(c.AdditionalNoticeDate, D("01/31/05"));
}

// A 941 object whose allocation steps are scripted: each method yields a
// fixed penalty and complexity.
class ScriptedCompute : public C941Compute {
 public:
  std::map<int, std::pair<double, int>> outcomes;  // method -> penalty, complexity
  int notImplemented = -1;                         // an alternative number
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
  int IsMethodImplemented(int alternative) override { return alternative != notImplemented; }

 private:
  std::pair<double, int> Outcome() const {
    auto found = outcomes.find(applied.back());
    return found == outcomes.end() ? std::make_pair(100.00, 10) : found->second;
  }
};

TEST(ComputeDriver, WinnerIsLowestRoundedPenaltyThenComplexity) {
  using Outcomes = std::map<int, std::pair<double, int>>;
  struct Case {
    const char* name;
    Outcomes outcomes;
    int winner;
  } cases[] = {
      {"all equal: the IRS rule", {}, 0},
      {"0.004 lower rounds to no difference", {{5, {99.996, 10}}}, 0},
      {"0.004 lower with a lower complexity", {{5, {99.996, 9}}}, 5},
      {"a cent lower beats a lower complexity", {{5, {99.996, 9}}, {6, {99.99, 50}}}, 6},
      {"equal and simpler, but not implemented", {{9, {100.00, 1}}}, 0},
      {"first of two equal winners", {{20, {50.00, 3}}, {30, {50.00, 3}}}, 20},
  };
  for (const Case& k : cases) {
    ScriptedCompute c;
    c.outcomes = k.outcomes;
    c.notImplemented = 8;  // method 9
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
  auto doc = MakeDoc(1, 100, 1);  // 2005 Q1, semi-weekly
  AddEvent(*doc, LIABILITY, "01/14/05", 1000.00);
  AddEvent(*doc, DEPOSIT, "01/19/05", 1000.00);
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

}  // namespace
}  // namespace ledrix
