// The liability cache and the search's shortcuts: starting every allocation
// method from a copy of the liabilities, and everything the library's own
// classes share between methods and between returns (pooled pieces, running
// totals of the chains, results of methods known to repeat an earlier one),
// give, to the bit, what rebuilding and running every step for every method
// gives; and the copy is dropped whenever something the liabilities are built
// from changes.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <random>
#include <vector>

#include "ledrix/ledrix.h"
#include "support/generated_returns.h"
#include "support/returns.h"

namespace ledrix {
namespace {

using testing::D;
using testing::GeneratedReturn;
using testing::GenerateReturn;
using testing::MakeDoc;
using testing::ResultText;

/// Returns whose rebuild does more than cumulate: a due date moved past a
/// holiday, a monthly depositor reaching $100,000 (liabilities merged, the
/// flag set), a credit larger than the liabilities, a deferral.
std::vector<GeneratedReturn> CraftedReturns() {
  std::vector<GeneratedReturn> returns;
  // Sat 12/19/09 is due Fri 12/25/09, Christmas: Mon 12/28/09.
  returns.push_back({MakeDoc(1, 119, 1,
                             {{LIABILITY, "12/19/09", 8000.0},
                              {DEPOSIT, "12/28/09", 7900.0},
                              {LIABILITY, "12/12/09", 5000.0},
                              {DEPOSIT, "12/21/09", 5000.0}}),
                     D("03/31/10")});
  // 60,000.00 on Thu 05/05/05 and 50,000.00 on Thu 05/12/05.
  returns.push_back({MakeDoc(1, 101, 0,
                             {{LIABILITY, "04/15/05", 3000.0},
                              {LIABILITY, "05/05/05", 60000.0},
                              {LIABILITY, "05/12/05", 50000.0},
                              {LIABILITY, "06/10/05", 90.0},
                              {DEPOSIT, "05/13/05", 110000.0},
                              {DEPOSIT, "05/16/05", 3000.0}}),
                     D("09/30/05")});
  returns.push_back({MakeDoc(1, 100, 0,
                             {{LIABILITY, "01/14/05", 400.0},
                              {ADJ_SS, "01/10/05", -4600.0},  // 200.00 more than both
                              {LIABILITY, "02/14/05", 4000.0},
                              {DEPOSIT, "03/10/05", 3500.0}}),
                     D("06/30/05")});
  returns.back().doc->DeferredAmount = 250.0;
  return returns;
}

/// A host's subclass that replaces nothing: every step runs through the
/// virtual operations, and the search shares nothing between methods.
struct HostCompute : C941Compute {};

TEST(LiabilityCache, GivesTheResultsOfRebuildingAndRunningEveryStep) {
  std::vector<GeneratedReturn> returns = CraftedReturns();
  for (unsigned seed = 1; seed <= 100; ++seed) {
    std::mt19937 rng(seed);
    returns.push_back(GenerateReturn(rng));
  }
  for (size_t i = 0; i < returns.size(); ++i) {
    C941Compute cached, plain;
    HostCompute stepByStep;
    plain.UseLiabilityCache = stepByStep.UseLiabilityCache = false;
    returns[i].Compute(cached);
    returns[i].Compute(plain);
    returns[i].Compute(stepByStep);
    const std::string expected = ResultText(stepByStep);
    ASSERT_EQ(ResultText(cached), expected) << "return " << i;
    ASSERT_EQ(ResultText(plain), expected) << "return " << i;
  }
}

/// The forms whose alternatives apply no deposit price one of them and give
/// its result to the others.
TEST(LiabilityCache, FormsWithoutAlternativesPriceOneOfThem) {
  struct Host940 : C940Compute {};
  struct HostAnnual : CAnnCompute {};
  for (unsigned seed = 1; seed <= 6; ++seed) {
    std::mt19937 rng(seed);
    const GeneratedReturn r = GenerateReturn(rng);
    const auto compute = [&](CCompute& c) {
      c.SetComputeDate(r.computeDate);
      c.SetStartDate(Date::StartOfYear(Date::QuarterStart(r.doc->Quarter)));
      c.SetDueDate(r.doc->Quarter);
      c.BasicCompute(r.doc.get(), 0, 0);
      return ResultText(c);
    };
    C940Compute form940;
    Host940 host940;
    EXPECT_EQ(compute(form940), compute(host940)) << "seed " << seed;
    CAnnCompute annual;
    HostAnnual hostAnnual;
    EXPECT_EQ(compute(annual), compute(hostAnnual)) << "seed " << seed;
  }
}

/// A compute object kept for a batch of returns (its event buffer, pool,
/// cache and other buffers reused) gives what a fresh object gives.
TEST(LiabilityCache, ObjectReusedForManyReturnsGivesWhatAFreshOneGives) {
  C941Compute quarters, years;
  years.Set944();
  for (unsigned seed = 200; seed < 230; ++seed) {
    std::mt19937 rng(seed);
    const GeneratedReturn r = GenerateReturn(rng);
    C941Compute& kept = r.doc->Form == 10 ? years : quarters;
    // The totals read the schedule in force before BasicCompute sets the
    // document's: a fresh object starts from the same.
    kept.SetComputeMethod(0);
    C941Compute fresh;
    r.Compute(kept);
    r.Compute(fresh);
    ASSERT_EQ(ResultText(kept), ResultText(fresh)) << "seed " << seed;
  }
}

/// Runs the same host steps on an object with the cache and on one without,
/// comparing every result after each step.
class CachedAndPlain : public ::testing::Test {
 protected:
  CachedAndPlain() { plain.UseLiabilityCache = false; }

  template <typename Step>
  void Both(const char* what, Step step) {
    step(cached);
    step(plain);
    EXPECT_EQ(ResultText(cached), ResultText(plain)) << what;
  }
  template <typename Change>
  void ChangedThenRerun(const char* what, Change change) {
    Both(what, [&](C941Compute& c) {
      change(c);
      c.Penalty(0, 0, 0, -1);
    });
  }

  C941Compute cached, plain;
};

TEST_F(CachedAndPlain, InputsChangedBetweenComputations) {
  std::mt19937 rng(11);
  const GeneratedReturn first = GenerateReturn(rng);
  GeneratedReturn second = GenerateReturn(rng);
  second.doc->Form = first.doc->Form;
  const std::vector<GeneratedReturn> crafted = CraftedReturns();
  const auto clearFlags = [](C941Compute& c) {
    c.Had100000Liability = c.ExcessAdjustmentsFlag = 0;
  };
  Both("a return of $100,000", [&](C941Compute& c) { crafted[1].Compute(c); });
  ChangedThenRerun("flags cleared by the host", clearFlags);
  EXPECT_EQ(cached.Had100000Liability, 1);
  Both("credits beyond the liabilities", [&](C941Compute& c) { crafted[2].Compute(c); });
  ChangedThenRerun("flags cleared by the host", clearFlags);
  EXPECT_EQ(cached.ExcessAdjustmentsFlag, 1);
  Both("first return", [&](C941Compute& c) { first.Compute(c); });
  Both("another return", [&](C941Compute& c) { second.Compute(c); });
  Both("the same again", [&](C941Compute& c) { second.Compute(c); });
  ChangedThenRerun("schedule", [](C941Compute& c) { c.SetComputeMethod(c.ComputeMethod ? 0 : 1); });
  ChangedThenRerun("return due date", [](C941Compute& c) { c.SetDueDate(c.Quarter + 1); });
  ChangedThenRerun("quarter", [](C941Compute& c) { c.SetQuarter(c.Quarter - 1); });
  ChangedThenRerun("an event written in place",
                   [](C941Compute& c) { c.Events[0].Amount += 1234.56; });
  ChangedThenRerun("a deposit past the end of the list", [](C941Compute& c) {
    const int end = CountEvents(c.Events);
    c.Events[end + 1] = c.Events[0];
    c.Events[end + 1].Type = DEPOSIT;
  });
  ChangedThenRerun("liability cache turned off",
                   [](C941Compute& c) { c.UseLiabilityCache = false; });
}

TEST_F(CachedAndPlain, HolidayFileChangedBetweenComputations) {
  // 2005 Q1, monthly: 10,000.00 on Fri 01/14 is due Tue 02/15 and paid on
  // Wed 02/16: one day late, 2% = 200.00; with 02/15 a holiday it is due on
  // 02/16 and on time.
  auto doc = MakeDoc(1, 100, 0, {{LIABILITY, "01/14/05", 10000.0}, {DEPOSIT, "02/16/05", 10000.0}});
  const auto compute = [&](C941Compute& c) {
    c.SetComputeDate(D("06/30/05"));
    c.SetDueDate(100);
    c.BasicCompute(doc.get(), 0, 0);
  };
  Both("without the holiday", compute);
  EXPECT_DOUBLE_EQ(cached.GetPenalty(), 200.0);
  Holiday calendar;
  std::filesystem::create_directories(NativePath(calendar.Folder));
  HolidayEntry& added = calendar.Entries[calendar.Count];
  std::strcpy(added.Name, "Company Day");
  added.Dates[0] = D("02/15/05");
  ASSERT_EQ(calendar.Save(), 1);
  ChangedThenRerun("with 02/15/05 a holiday", [](C941Compute&) {});
  EXPECT_DOUBLE_EQ(cached.GetPenalty(), 0.0);
  added.Dates[0] = Date();
  ASSERT_EQ(calendar.Save(), 1);
  Both("holiday removed again", compute);
  EXPECT_DOUBLE_EQ(cached.GetPenalty(), 200.0);
}

TEST(LiabilityCache, HostOverrideOfTheRebuildStillRunsForEveryMethod) {
  struct Counting : C941Compute {
    void InitLiabilities(int pushSmall) override {
      ++calls;
      C941Compute::InitLiabilities(pushSmall);
    }
    int calls = 0;
  };
  Counting cached, plain;
  plain.UseLiabilityCache = false;
  std::mt19937 rng(3);
  const GeneratedReturn r = GenerateReturn(rng);
  r.Compute(cached);
  r.Compute(plain);
  EXPECT_GE(cached.calls, 258);  // methods 0-256 and the winner again, at least
  EXPECT_EQ(cached.calls, plain.calls);
}

}  // namespace
}  // namespace ledrix
