// Seeded random returns for checking properties of a computation and for
// comparing two ways of computing the same thing, and an exact text form of
// everything a computation leaves behind.
//
//   std::mt19937 rng(seed);
//   GeneratedReturn r = GenerateReturn(rng);
//   C941Compute a, b;
//   r.Compute(a);  r.Compute(b);
//   EXPECT_EQ(ResultText(a), ResultText(b));
#pragma once

#include <memory>
#include <random>
#include <string>

#include "ledrix/compute.h"
#include "ledrix/host.h"

namespace ledrix::testing {

/// A Form 941 quarter or Form 944 year (2001-2010) of paydays and deposits
/// (on time, late, short, split, as non-deposit payments, missing), now and
/// then an extra deposit, a credit, COBRA premium assistance, a deferral, a
/// deposit notice, a liability of $100 or less or of $100,000 or more.
struct GeneratedReturn {
  std::unique_ptr<C941Doc> doc;
  Date computeDate;

  /// Sets up `compute` as a host would and runs BasicCompute with `flags`.
  void Compute(C941Compute& compute, int flags = 0) const;
};

GeneratedReturn GenerateReturn(std::mt19937& rng);

/// Every result of the last computation, amounts as exact hexadecimal
/// floating point: the method results, the chosen method, the totals and
/// flags, every liability and catch-up liability with its chain.
std::string ResultText(const CCompute& compute);

}  // namespace ledrix::testing
