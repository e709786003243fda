// Properties of the IRS allocation and its penalty over seeded random Form
// 941 quarters: no deposit is applied beyond its amount, every piece is
// priced at the tier its lateness gives, the penalty total is the sum of
// the liabilities' penalties, and a computation repeats bit for bit.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <map>
#include <random>

#include "ledrix/ledrix.h"
#include "support/allocation.h"
#include "support/returns.h"

namespace ledrix {
namespace {

constexpr int kQuarters[] = {88, 96, 100, 101, 102, 103, 112, 120};

struct RandomReturn {
  std::unique_ptr<C941Doc> doc;
  Date computeDate;
  CPenalties penalties;
};

double Money(std::mt19937& rng, double low, double high) {
  return std::round(std::uniform_real_distribution<double>(low, high)(rng) * 100.0) / 100.0;
}

void Put(C941Doc& doc, int type, Date date, double amount) {
  char text[13];
  date.Format(text);
  testing::AddEvent(doc, type, text, amount);
}

RandomReturn Generate(std::mt19937& rng) {
  auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
  const int quarter = kQuarters[pick(8)];
  RandomReturn r{testing::MakeDoc(1, quarter, pick(3) == 0 ? 1 : 0), Date(), CPenalties()};
  const Date start = Date::QuarterStart(quarter);
  const Date end = Date::QuarterEnd(quarter);
  const int liabilities = 1 + pick(10);
  for (int i = 0; i < liabilities; ++i) {
    const Date day = start + pick(91);
    const int size = pick(10);
    const double amount = size < 2   ? Money(rng, 10.0, 150.0)
                          : size < 9 ? Money(rng, 200.0, 30000.0)
                                     : Money(rng, 60000.0, 120000.0);
    Put(*r.doc, LIABILITY, day, amount);
    // Paid in full, nearly in full, in part or not at all, on time or late.
    const double shares[] = {1.0, 1.0, 0.985, 0.97, 0.5, 0.0};
    const double share = shares[pick(6)];
    if (share > 0.0) {
      const int type = pick(8) == 0 ? PAYMENT : DEPOSIT;
      Put(*r.doc, type, day + pick(70), std::round(amount * share * 100.0) / 100.0);
    }
  }
  for (int extra = pick(4); extra > 0; --extra) {
    Put(*r.doc, pick(4) == 0 ? PAYMENT : DEPOSIT, start + pick(140), Money(rng, 5.0, 5000.0));
  }
  if (pick(4) == 0) Put(*r.doc, ADJ_SS, start + pick(91), -Money(rng, 10.0, 2000.0));
  if (pick(6) == 0) Put(*r.doc, COBRA_PMT, start + pick(91), Money(rng, 10.0, 500.0));
  r.computeDate = end + 20 + pick(250);
  if (pick(5) == 0) {
    r.penalties.CC6656.Active = 1;
    r.penalties.CC6656.LastDayToPay = end + pick(120);
  }
  return r;
}

void HostSetup(C941Compute& c, const RandomReturn& r) {
  c.SetQuarter(r.doc->Quarter);
  c.SetComputeMethod(r.doc->ComputeMethod);
  c.SetEvents(r.doc->Events);
  c.SetDueDate(r.doc->Quarter);
  c.SetComputeDate(r.computeDate);
  CPenalties penalties = r.penalties;
  c.SetPenalties(penalties);
}

/// Regular liabilities in slot order, then the catch-up liabilities: the
/// ones the penalty prices.
std::vector<CLiability*> PricedLiabilities(CCompute& c) {
  std::vector<CLiability*> priced;
  for (int i = 0; i < c.LiabilitySlots; ++i) {
    if (c.Liabilities[i] != nullptr && c.Liabilities[i]->Amount > 0.001) {
      priced.push_back(c.Liabilities[i]);
    }
  }
  for (int k = 0; k < c.CatchupSlots; ++k) {
    if (c.CatchupLiabilities[k] != nullptr && c.CatchupLiabilities[k]->Amount > 0.001) {
      priced.push_back(c.CatchupLiabilities[k]);
    }
  }
  return priced;
}

int TierOf(const CDeposit& d, const CC6656& notice, Date computeDate) {
  if (notice.Active != 0 && d.Date > notice.LastDayToPay && computeDate > notice.LastDayToPay) {
    return 4;
  }
  const int tier = d.DaysLate < 1 ? 0 : d.DaysLate < 6 ? 1 : d.DaysLate < 16 ? 2 : 3;
  return d.EventType == PAYMENT && tier < 3 ? 3 : tier;
}

void CheckAllocation(C941Compute& c, const RandomReturn& r, const std::string& where) {
  std::map<int, double> applied;  // deposit event -> sum of its pieces
  auto addPieces = [&](const CLiability* l) {
    for (const CDeposit* d : testing::Pieces(l)) {
      if (IsDepositType(d->EventType)) applied[d->EventIndex] += d->Amount;
    }
  };
  for (CLiability* l : c.Liabilities) {
    if (l != nullptr) addPieces(l);
  }
  for (CLiability* l : c.CatchupLiabilities) {
    if (l != nullptr) addPieces(l);
  }
  for (const auto& [index, total] : applied) {
    EXPECT_LE(total, c.Events[index].Amount + 0.005) << where << " event " << index;
  }

  double sum = 0.0;
  for (CLiability* l : PricedLiabilities(c)) {
    sum += l->Penalty;
    for (const CDeposit* d : testing::Pieces(l)) {
      EXPECT_EQ(d->RateIndex, TierOf(*d, r.penalties.CC6656, r.computeDate)) << where;
      if (d->EventType == PAYMENT) {
        EXPECT_GE(d->RateIndex, 3) << where;
      }
    }
  }
  EXPECT_DOUBLE_EQ(c.GetPenalty(), sum) << where;
}

TEST(IrsProperties, AllocationAndPricingHold) {
  for (unsigned seed = 1; seed <= 300; ++seed) {
    std::mt19937 rng(seed);
    const RandomReturn r = Generate(rng);
    for (int flags : {1, 2}) {
      C941Compute c;
      HostSetup(c, r);
      c.ApplyDeposits(flags, 0);
      CheckAllocation(c, r, "seed " + std::to_string(seed) + " flags " + std::to_string(flags));
    }
  }
}

TEST(IrsProperties, DriverRepeatsBitForBit) {
  for (unsigned seed = 1001; seed <= 1200; ++seed) {
    std::mt19937 rng(seed);
    const RandomReturn r = Generate(rng);
    C941Compute first;
    C941Compute second;
    for (C941Compute* c : {&first, &second}) {
      HostSetup(*c, r);
      c->BasicCompute(r.doc.get(), 3, 0);
    }
    const double a = first.GetPenalty();
    const double b = second.GetPenalty();
    EXPECT_EQ(std::memcmp(&a, &b, sizeof a), 0) << "seed " << seed;
    for (int m = 0; m < MethodResultCount; ++m) {
      EXPECT_EQ(std::memcmp(&first.MethodResults[m].Penalty, &second.MethodResults[m].Penalty,
                            sizeof(double)),
                0)
          << "seed " << seed << " method " << m;
      EXPECT_EQ(first.MethodResults[m].Complexity, second.MethodResults[m].Complexity);
    }
  }
}

}  // namespace
}  // namespace ledrix
