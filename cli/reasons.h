// Why a figure of the deposit penalty is what it is, in a few words, where a
// reader would expect another: a deposit after its due date at 0% (a Form 944
// quarter under the de minimis amount, a return under the no-file limit), 10%
// on a payment made outside the deposit system, 15% after the IRS notice, a
// shortfall moved into a catch-up liability by the 98% / $100 rule; and what
// an alternative allocation does, in words.
#pragma once

#include <string>
#include <vector>

#include "run_return.h"

namespace ledrix::cli {

/// Days from the due date `due` to `paid`; 0 when paid on or before it.
int DaysAfter(Date due, Date paid);

/// The reason for the rate of `piece`, one of `liability`'s applications;
/// empty when its days late explain it.
std::string PieceReason(const ComputedReturn& result, const CLiability& liability,
                        const CDeposit& piece);
/// The same for the part of `liability` unpaid at the compute date.
std::string UnpaidReason(const ComputedReturn& result, const CLiability& liability);
/// For a liability the 98% / $100 rule covered: what moved to which catch-up.
std::string CatchupMoveReason(const ComputedReturn& result, const CLiability& liability);
/// For catch-up liability `slot`: whose shortfalls it holds and by when they
/// are to be made up; empty when it holds none.
std::string CatchupHoldsReason(const ComputedReturn& result, int slot);

/// The regular liabilities whose shortfall sits in catch-up liability `slot`,
/// in due-date order.
std::vector<const CLiability*> ShortfallsHeldBy(CCompute& compute, int slot);

/// "0100": the number of alternative allocation `method` - 1 as the reports
/// print it, for allocation method `method` (1-256).
std::string AlternativeNumber(int method);
/// What alternative allocation `method` (0-255) does, in words.
std::string AlternativeInWords(int method);

/// `text` broken into lines of at most `width` characters, each after
/// `indent` blanks.
std::vector<std::string> Wrapped(const std::string& text, int indent, int width = 80);

}  // namespace ledrix::cli
