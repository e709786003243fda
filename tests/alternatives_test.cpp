// Alternative deposit allocations: which liability each bit of the method
// index makes a deposit pay, the 98% / $100 limit, the complexity measure,
// and the driver's choice among the alternatives.
//
// Most cases build the liabilities of a 2005 first quarter by hand (due dates
// set directly) so that each rule is seen alone. In the window cases the
// deposit is dated Friday 28 January 2005; against it a liability due
//   Wed 02/02/05 is on time, Wed 01/26/05 is 2 days late (1-5 window),
//   Wed 01/19/05 is 9 days late (6-15 window), Wed 01/05/05 is 23 days late.
#include <gtest/gtest.h>

#include <algorithm>
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
using testing::NewLiability;

constexpr int CatchupsFromLast = 1;
constexpr int LiabilitiesFromLast = 2;
constexpr int EventsFromLast = 4;

int Method(int strategy, int catchupRule = 0, int scanBits = 0) {
  return catchupRule << 6 | strategy << 3 | scanBits;
}

class Alternatives : public ::testing::Test {
 protected:
  Alternatives() { compute.SetQuarter(100); }  // 2005 Q1: 93 regular, 4 catch-up slots

  CLiability* Regular(int slot, const char* due, double amount) {
    return compute.Liabilities[slot] = NewLiability(due, amount);
  }
  CLiability* Catchup(int slot, const char* due, double amount) {
    return compute.CatchupLiabilities[slot] = NewLiability(due, amount, 1);
  }
  CLiability* Choice(const char* date, int method) {
    Event deposit;
    deposit.Type = DEPOSIT;
    deposit.Date = D(date);
    deposit.Amount = 1000.0;
    return compute.FindBestLiability1(&deposit, method);
  }
  void Apply(testing::Entries events, int method) {
    compute.SetEvents(testing::MakeEvents(events).get());
    compute.BestDepositApplication(method, 0);
  }

  C941Compute compute;
};

TEST_F(Alternatives, EachStrategyTriesItsWindowsInOrder) {
  const struct {
    bool late9, late2, onTime;  // which of A (9 late), B (2 late), E (on time) exist
    const char* expected;       // the choice of strategies 0 to 6
  } cases[] = {// X, 23 days late, lies in no window: only strategy 6 ("any") takes it.
               {true, true, true, "EBEABAX"},
               {true, true, false, "BBAABAX"},
               {true, false, true, "EEEAAAX"},
               {false, true, true, "EBEEBBX"}};
  for (const auto& c : cases) {
    for (int s = 0; s <= 6; ++s) {
      compute.FreeLiabilities();
      const CLiability* x = Regular(0, "01/05/05", 500.0);
      const CLiability* a = c.late9 ? Regular(1, "01/19/05", 500.0) : nullptr;
      const CLiability* b = c.late2 ? Regular(2, "01/26/05", 500.0) : nullptr;
      const CLiability* e = c.onTime ? Regular(3, "02/02/05", 500.0) : nullptr;
      const CLiability* chosen = Choice("01/28/05", Method(s));
      const char name = chosen == x   ? 'X'
                        : chosen == a ? 'A'
                        : chosen == b ? 'B'
                        : chosen == e ? 'E'
                                      : '-';
      EXPECT_EQ(name, c.expected[s]) << "strategy " << s << ", expected " << c.expected;
    }
  }
}

TEST_F(Alternatives, ScanBitsChooseAmongEquallyGoodLiabilities) {
  CLiability* first = Regular(0, "02/02/05", 500.0);
  CLiability* second = Regular(1, "02/09/05", 500.0);
  EXPECT_EQ(Choice("01/28/05", Method(0)), first);
  EXPECT_EQ(Choice("01/28/05", Method(0, 0, LiabilitiesFromLast)), second);
  // Strategy 6 takes the first open liability of the scan, however late.
  EXPECT_EQ(Choice("03/30/05", Method(6, 0, LiabilitiesFromLast)), second);
  // Covered by the safe harbor, or paid to the cent: no longer open.
  first->Applied98 = 1;
  EXPECT_EQ(Choice("01/28/05", Method(0)), second);
  first->Applied98 = 0;
  first->AddDeposit()->Amount = 499.995;
  EXPECT_EQ(Choice("01/28/05", Method(0)), second);

  // Catch-up liabilities: the first open one in the catch-up scan order; one
  // paid in part stays open. Nothing open anywhere: no liability.
  compute.FreeLiabilities();
  CLiability* paid = Catchup(0, "02/15/05", 100.0);
  testing::AddPiece(*paid, "02/10/05", 100.0);
  CLiability* firstCatchup = Catchup(1, "02/15/05", 100.0);
  CLiability* lastCatchup = Catchup(2, "03/15/05", 100.0);
  EXPECT_EQ(Choice("01/28/05", Method(0)), firstCatchup);
  EXPECT_EQ(Choice("01/28/05", Method(0, 0, CatchupsFromLast)), lastCatchup);
  paid->Next->Amount = 50.0;
  EXPECT_EQ(Choice("01/28/05", Method(0)), paid);
  compute.FreeLiabilities();
  EXPECT_EQ(Choice("01/28/05", Method(0)), nullptr);
}

TEST_F(Alternatives, CatchupRuleDecidesBetweenCatchupAndRegular) {
  const struct {
    int strategy, rule;
    const char* regularDue;  // on time, 2 or 9 days late: sets the pass that finds it
    const char* catchupDue;
    bool catchupWins;
  } cases[] = {
      {0, 0, "02/02/05", "01/28/05",
       false},  // rule 0: a pass's liability always
                // Rule 1, strategy 0: pass 1 D(C) <= D(L); pass 2 d <= D(C); pass 3 d <= D(C) + 5.
      {0, 1, "02/02/05", "02/02/05", true},
      {0, 1, "02/02/05", "02/03/05", false},
      {0, 1, "01/26/05", "01/28/05", true},
      {0, 1, "01/26/05", "01/27/05", false},
      {0, 1, "01/19/05", "01/23/05", true},  // 28 <= 23 + 5
      {0, 1, "01/19/05", "01/22/05", false},
      // Strategy 3, pass 1 (6-15 days late): D(C) <= D(L) + 5.
      {3, 1, "01/19/05", "01/24/05", true},
      {3, 1, "01/19/05", "01/25/05", false},
      // Strategy 2, pass 2 (6-15 days late): d <= D(C) + 5.
      {2, 1, "01/19/05", "01/23/05", true},
      {2, 1, "01/19/05", "01/22/05", false},
      // Strategy 4, pass 3 (on time): d <= D(C).
      {4, 1, "02/02/05", "01/28/05", true},
      {4, 1, "02/02/05", "01/27/05", false},
      // Strategy 5, pass 2 (1-5 days late): d <= D(C).
      {5, 1, "01/26/05", "01/28/05", true},
      {5, 1, "01/26/05", "01/27/05", false},
      {6, 1, "01/26/05", "01/01/05", true},  // strategy 6: always
      // Rule 2: the catch-up when it is due no later than the liability.
      {0, 2, "02/02/05", "02/02/05", true},
      {0, 2, "02/02/05", "02/03/05", false},
      // Rule 3: the deposit in the pass's window for the catch-up too.
      {0, 3, "02/02/05", "01/28/05", true},
      {0, 3, "02/02/05", "01/27/05", false},
      {1, 3, "01/26/05", "01/23/05", true},   // 5 days late for both
      {1, 3, "01/26/05", "01/22/05", false},  // 6 days late for the catch-up
      {6, 3, "01/26/05", "01/01/05", true}};
  for (const auto& c : cases) {
    compute.FreeLiabilities();
    CLiability* regular = Regular(0, c.regularDue, 500.0);
    CLiability* catchup = Catchup(1, c.catchupDue, 200.0);
    EXPECT_EQ(Choice("01/28/05", Method(c.strategy, c.rule)), c.catchupWins ? catchup : regular)
        << "strategy " << c.strategy << ", rule " << c.rule << ", liability due " << c.regularDue
        << ", catch-up due " << c.catchupDue;
  }
}

TEST_F(Alternatives, FallbackWhenNoWindowFits) {
  CLiability* early = Regular(0, "01/05/05", 500.0);  // 23 days late
  Regular(1, "01/08/05", 500.0);                      // 20 days late
  // The first open liability in due-date order, whatever the scan bit.
  EXPECT_EQ(Choice("01/28/05", Method(0, 0, LiabilitiesFromLast)), early);
  // A catch-up liability at most 15 days past its make-up date comes first.
  CLiability* catchup = Catchup(0, "01/13/05", 200.0);
  EXPECT_EQ(Choice("01/28/05", Method(0)), catchup);  // 28 <= 13 + 15
  catchup->Date = D("01/12/05");
  EXPECT_EQ(Choice("01/28/05", Method(0)), early);
  // 15 days late still lies in the last window, ahead of the fallback.
  CLiability* late15 = Regular(2, "01/13/05", 500.0);
  EXPECT_EQ(Choice("01/28/05", Method(0)), late15);
  late15->Applied98 = 1;
  // With no open regular liability the catch-up takes it however late.
  compute.Liabilities[0]->Applied98 = compute.Liabilities[1]->Applied98 = 1;
  EXPECT_EQ(Choice("03/31/05", Method(0)), catchup);
}

TEST_F(Alternatives, EventOrderAndLiabilityScanChangeWhichLiabilityADepositPays) {
  // Strategy 3 prefers 6-15 days late. X is due 01/10, Y 01/12; the 01/18
  // deposit is 8 and 6 days late, the 01/20 deposit 10 and 8 days late.
  const struct {
    int scanBits;
    const char* x;
    const char* y;
  } cases[] = {{0, "01-18-05 1000.00/0.00", "01-20-05 1000.00/0.00"},
               {EventsFromLast, "01-20-05 1000.00/0.00", "01-18-05 1000.00/0.00"},
               {LiabilitiesFromLast, "01-20-05 1000.00/0.00", "01-18-05 1000.00/0.00"}};
  for (const auto& c : cases) {
    compute.FreeLiabilities();
    const CLiability* x = Regular(0, "01/10/05", 1000.0);
    const CLiability* y = Regular(1, "01/12/05", 1000.0);
    Apply({{DEPOSIT, "01/18/05", 1000.0}, {DEPOSIT, "01/20/05", 1000.0}}, Method(3, 0, c.scanBits));
    EXPECT_EQ(ChainText(x), c.x) << "scan bits " << c.scanBits;
    EXPECT_EQ(ChainText(y), c.y) << "scan bits " << c.scanBits;
  }
}

TEST_F(Alternatives, DepositsKeepTheirOrdinalNumbersInEitherOrder) {
  for (int order : {0, EventsFromLast}) {
    compute.FreeLiabilities();
    const CLiability* x = Regular(0, "02/09/05", 10000.0);  // 3,800.00 stays below 98%
    Apply({{DEPOSIT, "01/25/05", 1000.0},
           {PAYMENT, "01/26/05", 500.0},
           {DEPOSIT, "01/27/05", 2000.0},
           {COBRA_PMT, "01/20/05", 300.0}},  // becomes a COBRA_QTR on 01/01
          Method(0, 0, order));
    // Forward: COBRA total, deposit 1, payment 1, deposit 2; reverse: the same
    // backwards. The number is DepositNumber of a deposit, PaymentNumber of a payment.
    std::vector<std::vector<int>> expected = {
        {COBRA_QTR, 300, -1}, {DEPOSIT, 1000, 1}, {PAYMENT, 500, 1}, {DEPOSIT, 2000, 2}};
    if (order == EventsFromLast) std::reverse(expected.begin(), expected.end());
    std::vector<std::vector<int>> pieces;
    for (const CDeposit* p : testing::Pieces(x)) {
      const int number = p->EventType == COBRA_QTR ? -1
                         : p->EventType == PAYMENT ? p->PaymentNumber
                                                   : p->DepositNumber;
      pieces.push_back({p->EventType, static_cast<int>(p->Amount), number});
      EXPECT_EQ(compute.Events[p->EventIndex].Type, p->EventType);
    }
    EXPECT_EQ(pieces, expected) << "order " << order;  // the COBRA_PMT itself is never applied
  }
}

TEST_F(Alternatives, OnTimeDepositStopsAtTheSafeHarborLimit) {
  for (int k = 0; k < compute.CatchupSlots; ++k) Catchup(k, "05/02/05", 0.0);
  CLiability* x = Regular(0, "02/02/05", 10000.0);
  CLiability* y = Regular(1, "02/09/05", 10000.0);
  Apply({{DEPOSIT, "01/31/05", 12000.0}}, Method(0));
  // 10,000.00 x 98% = 9,800.00 (the $100 rule allows only 9,900.00 paid, less):
  // X takes 9,800.00, its 200.00 shortfall moves to February's catch-up, and
  // the other 2,200.00 goes on to Y, also on time.
  EXPECT_EQ(ChainText(x), "01-31-05 9800.00/0.00");
  EXPECT_EQ(x->Applied98, 1);
  EXPECT_DOUBLE_EQ(compute.CatchupLiabilities[1]->Amount, 200.0);
  EXPECT_EQ(ChainText(y), "01-31-05 2200.00/7800.00");
  EXPECT_EQ(ChainText(compute.CatchupLiabilities[1]),
            "");  // Y was found by a pass: rule 0 keeps it

  // 3,000.00 - 100.00 = 2,900.00 is below 98% (2,940.00): Z takes 2,900.00,
  // 100.00 moves to catch-up 1, and the rest of the deposit pays it there.
  compute.FreeLiabilities();
  for (int k = 0; k < compute.CatchupSlots; ++k) Catchup(k, "05/02/05", 0.0);
  CLiability* z = Regular(0, "02/02/05", 3000.0);
  Apply({{DEPOSIT, "02/01/05", 3000.0}}, Method(0));
  EXPECT_EQ(ChainText(z), "02-01-05 2900.00/0.00");
  EXPECT_EQ(z->Applied98, 1);
  EXPECT_EQ(ChainText(compute.CatchupLiabilities[1]), "02-01-05 100.00/0.00");

  // Late, a deposit pays in full; what is over stays unapplied.
  compute.FreeLiabilities();
  CLiability* late = Regular(0, "02/02/05", 1000.0);
  Apply({{DEPOSIT, "02/04/05", 1500.0}}, Method(0));
  EXPECT_EQ(ChainText(late), "02-04-05 1000.00/0.00");
  EXPECT_EQ(late->Applied98, 0);
}

TEST_F(Alternatives, StrategySevenIsNotImplemented) {
  // Bits 3-5 of the alternative: 55 = octal 067 (6), 56 = octal 070 (7),
  // 127 = octal 177 (7), 128 = octal 200 (0). What it applies: see below.
  EXPECT_EQ(compute.IsMethodImplemented(55), 1);
  EXPECT_EQ(compute.IsMethodImplemented(56), 0);
  EXPECT_EQ(compute.IsMethodImplemented(127), 0);
  EXPECT_EQ(compute.IsMethodImplemented(128), 1);
}

TEST_F(Alternatives, ComplexityCountsPiecesAndOpenParts) {
  const auto pay = [](CLiability* liability, double amount) {
    testing::AddPiece(*liability, "02/01/05", amount);
  };
  CLiability* paidInTwo = Regular(0, "02/02/05", 1000.0);  // 2 pieces, nothing open: 2
  pay(paidInTwo, 600.0);
  pay(paidInTwo, 400.0);
  pay(Regular(1, "02/09/05", 1000.0), 999.996);         // rounds to paid: 1
  pay(Regular(2, "02/16/05", 1000.0), 500.0);           // open part: 1 + 1
  CLiability* harbor = Regular(3, "02/23/05", 1000.0);  // safe harbor: 1 + 1
  pay(harbor, 980.0);
  harbor->Applied98 = 1;
  Regular(4, "03/02/05", 1000.0);                    // nothing paid: 0 + 1
  Regular(6, "03/09/05", 1000.0);                    // after an empty slot: not counted
  CLiability* used = Catchup(0, "03/15/05", 100.0);  // 2 + 1 piece
  pay(used, 100.0);
  Catchup(1, "04/15/05", 0.0);   // empty amount: 0
  Catchup(2, "05/02/05", 50.0);  // 2 + 0 pieces + 1 open
  EXPECT_EQ(compute.ComputeComplexity(), 2 + 1 + 2 + 2 + 1 + 3 + 0 + 3);
  delete compute.CatchupLiabilities[1];  // the catch-up walk stops at an empty slot
  compute.CatchupLiabilities[1] = nullptr;
  EXPECT_EQ(compute.ComputeComplexity(), 2 + 1 + 2 + 2 + 1 + 3);
}

// ---- through the driver ---------------------------------------------------

TEST(AlternativeSearch, MethodIndexZeroBeatsTheOldIrsRule) {
  // 2001 Q1, monthly: 10,000.00 on Mon 01/15 (due Thu 02/15) and on Thu 02/15
  // (due Thu 03/15); deposits of 10,000.00 on Fri 03/09 and Fri 03/30.
  auto doc = testing::MakeDoc(1, 84, 0,
                              {{LIABILITY, "01/15/01", 10000.0},
                               {LIABILITY, "02/15/01", 10000.0},
                               {DEPOSIT, "03/09/01", 10000.0},
                               {DEPOSIT, "03/30/01", 10000.0}});
  C941Compute compute;
  compute.SetComputeDate(D("06/29/01"));
  compute.SetDueDate(84);
  compute.BasicCompute(doc.get(), 0, 0);
  // IRS rule before 2002, in due-date order: 03/09 pays January 22 days late
  // (10%: 1,000.00), 03/30 pays February 15 days late (5%: 500.00).
  EXPECT_DOUBLE_EQ(compute.GetPenaltyAmount(0), 1500.0);
  // Index 0: 03/09 is on time for February (9,800.00 there, 200.00 through
  // its catch-up, moved back afterwards); 03/30 is 43 days late for January
  // and goes there by the fallback: 10% of 10,000.00.
  EXPECT_DOUBLE_EQ(compute.GetPenaltyAmount(1), 1000.0);
  EXPECT_EQ(compute.MethodResults[1].Complexity, 2);
  // No allocation does better, so the lowest method number with it wins.
  EXPECT_EQ(compute.GetDepositAllocationMethod(), 1);
  EXPECT_DOUBLE_EQ(compute.GetPenalty(), 1000.0);
  EXPECT_DOUBLE_EQ(compute.GetPenaltyAmount(BestMethod), 1000.0);
  EXPECT_EQ(ChainText(compute.Liabilities[1]), "03-09-01 10000.00/0.00");
  // Strategy 7 applies nothing: both liabilities unpaid at the compute date,
  // 10% of 20,000.00.
  for (int m = 1; m <= 256; ++m) {
    const bool strategy7 = ((m - 1) >> 3 & 7) == 7;
    EXPECT_EQ(compute.MethodResults[m].Complexity == WorstComplexity, strategy7) << m;
    if (strategy7) {
      EXPECT_DOUBLE_EQ(compute.GetPenaltyAmount(m), 2000.0) << m;
    }
  }
}

/// The liability search read rule by rule: pass by pass over every slot.
class PlainSearch : public C941Compute {
 public:
  CLiability* FindBestLiability1(Event* deposit, int method) override {
    const int d = deposit->Date.Serial, s = method >> 3 & 7, rule = method >> 6 & 3;
    // Windows: O on time, L 1-5 days late, F 6-15 days late, A any.
    static const char* const kPasses[8] = {"OLF", "LOF", "OFL", "FOL", "LFO", "FLO", "AAA", "---"};
    // Rule 1: C D(C) <= D(L), c D(C) <= D(L) + 5, T d <= D(C), 5 d <= D(C) + 5, A always.
    static const char* const kRuleOne[7] = {"CT5", "CT5", "C55", "cT5", "C5T", "cTT", "AAA"};
    const auto in = [d](char window, int due) {
      return window == 'O'   ? 1 < d && d <= due
             : window == 'L' ? due < d && d <= due + 5
             : window == 'F' ? due + 5 < d && d <= due + 15
                             : window == 'A' && 1 < d && d <= 65534;
    };
    const auto open = [](const CLiability* l) {
      return l != nullptr && l->TotalPayments() < l->Amount - 0.009 && l->Applied98 == 0;
    };
    CLiability* c = nullptr;
    for (int k = 0; k < CatchupSlots && c == nullptr; ++k) {
      CLiability* l = CatchupLiabilities[method & 1 ? CatchupSlots - 1 - k : k];
      if (open(l) && l->Amount > l->TotalDeposits()) c = l;
    }
    for (int pass = 0; pass < 3; ++pass) {
      const char window = kPasses[s][pass];
      for (int k = 0; k < LiabilitySlots; ++k) {
        CLiability* l = Liabilities[method & 2 ? LiabilitySlots - 1 - k : k];
        if (!open(l) || !in(window, l->Date.Serial)) continue;
        if (c == nullptr) return l;
        const int dl = l->Date.Serial, dc = c->Date.Serial;
        const char test = rule == 1 ? kRuleOne[s][pass] : '-';
        const bool takeC = (rule == 2 && dc <= dl) || (rule == 3 && in(window, dc)) ||
                           test == 'A' || (test == 'C' && dc <= dl) ||
                           (test == 'c' && dc <= dl + 5) || (test == 'T' && d <= dc) ||
                           (test == '5' && d <= dc + 5);
        return takeC ? c : l;
      }
    }
    CLiability* first = nullptr;
    for (int k = 0; k < LiabilitySlots && first == nullptr; ++k) {
      if (open(Liabilities[k])) first = Liabilities[k];
    }
    return c != nullptr && (first == nullptr || d <= c->Date.Serial + 15) ? c : first;
  }
};

TEST(AlternativeSearch, SameChoicesAsASlotBySlotSearch) {
  for (unsigned seed = 100; seed < 140; ++seed) {
    std::mt19937 rng(seed);
    const testing::GeneratedReturn r = testing::GenerateReturn(rng);
    C941Compute fast;
    PlainSearch plain;
    r.Compute(fast);
    r.Compute(plain);
    ASSERT_EQ(testing::ResultText(fast), testing::ResultText(plain)) << "seed " << seed;
  }
}

}  // namespace
}  // namespace ledrix
