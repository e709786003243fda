// Shared pieces of the deposit application, the safe harbor and the deposit
// penalty (library-internal).
#pragma once

#include "dates/rounding.h"
#include "ledrix/compute.h"

namespace ledrix {

struct ChainLedger;

/// An amount counts as present above this.
constexpr double kAmountPresent = 0.009;

/// The catch-up liability that takes the liability's shortfall, or null when
/// the form keeps none for its month.
CLiability* CatchupLiabilityOf(CCompute& compute, CLiability* liability);

/// CanDo98 of the 941 family for a liability whose chain holds a piece dated
/// after its due date (`paidAfterDue`) and adds up to `paid`: 0, 98 or 100.
int SafeHarborRule(const CLiability* liability, bool paidAfterDue, double paid, double amount);

/// While an alternative allocation appends a piece to the chain of
/// `liability`: the ledger of that chain; null otherwise.
const ChainLedger* LedgerBeingExtended(const CCompute& compute, const CLiability* liability);

/// Pushes the liability's shortfall to its catch-up liability when `paid`
/// is after its due date and the safe harbor holds; true when it was pushed.
bool PushIfPaidLate(CCompute& compute, CLiability* liability, Date paid);

}  // namespace ledrix
