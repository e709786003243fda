#include "reasons.h"

#include <cmath>
#include <sstream>

namespace ledrix::cli {
namespace {

constexpr int kTierNone = 0;
constexpr int kTierPayment = 3;  // 10%: what a payment outside the deposit system costs
constexpr int kTierNotice = 4;   // 15%: after the last day to pay of the IRS notice
constexpr int kDaysAtTenPercent = 16;
constexpr int kForm940 = 2;

/// An amount limit as the law states it: 2,500.00, not the 2,500.005 the
/// comparison uses.
std::string LimitText(double limit) {
  return Money(std::floor(limit * 100.0) / 100.0);
}

/// The liabilities of the regular slots, those that hold an amount.
std::vector<const CLiability*> RegularLiabilities(const CCompute& compute) {
  std::vector<const CLiability*> found;
  for (const CLiability* liability : compute.Liabilities) {
    if (liability && IsPresent(liability->Amount)) found.push_back(liability);
  }
  return found;
}

/// Why a payment after its due date cost nothing: the deposit penalty
/// counted no lateness in the return, either because its quarter of Form 944
/// stayed under the de minimis amount or because the whole return stayed
/// under the no-file limit.
std::string NoLatenessCounted(const ComputedReturn& result, const CLiability& liability) {
  CCompute& compute = *result.compute;
  const int quarter = liability.Date.QuarterIndex();
  if (compute.Is944DeMinimisForQuarter(quarter)) {
    double due = 0.0;
    for (const CLiability* other : RegularLiabilities(compute)) {
      if (other->Date.IsInQuarter(quarter)) due += other->Amount;
    }
    Date paidBy;
    paidBy.SetQuarterReturnDue(quarter);
    return "0%: the liabilities due in " + QuarterText(quarter) + " (" + Money(due) +
           ") stay under Form 944's " + LimitText(compute.GetNoFileLimit()) +
           " de minimis amount and were paid by " + DateText(paidBy);
  }
  double total = 0.0;
  for (const CLiability* other : RegularLiabilities(compute)) total += other->Amount;
  if (compute.Form == kForm940) {
    return "0%: the year's FUTA tax (" + Money(total) + ") is within the " +
           LimitText(compute.GetNoFileLimit()) + " that may be paid with the return";
  }
  return "0%: the return's tax (" + Money(total) + ") is under the " +
         LimitText(compute.GetNoFileLimit()) +
         " no-file limit and was paid in full by the return's due date";
}

std::string AfterNotice(const ComputedReturn& result, const char* what) {
  return std::string("15%: ") + what + " after " +
         DateText(result.compute->Penalties()->CC6656.LastDayToPay) +
         ", the last day to pay in the IRS notice";
}

}  // namespace

int DaysAfter(Date due, Date paid) {
  return paid > due ? paid.DaysApart(due) : 0;
}

std::string PieceReason(const ComputedReturn& result, const CLiability& liability,
                        const CDeposit& piece) {
  if (piece.RateIndex == kTierNotice) return AfterNotice(result, "paid");
  if (piece.EventType == PAYMENT && piece.RateIndex == kTierPayment &&
      piece.DaysLate < kDaysAtTenPercent) {
    return "10%: paid directly to the IRS or with the return, not deposited";
  }
  if (piece.RateIndex == kTierNone && piece.Date > liability.Date) {
    return NoLatenessCounted(result, liability);
  }
  return {};
}

std::string UnpaidReason(const ComputedReturn& result, const CLiability& liability) {
  if (!IsPresent(liability.UnpaidAmount)) return {};
  if (liability.RateIndex == kTierNotice) return AfterNotice(result, "unpaid");
  if (liability.RateIndex == kTierNone && result.compute->ComputeDate > liability.Date) {
    return NoLatenessCounted(result, liability);
  }
  return {};
}

std::vector<const CLiability*> ShortfallsHeldBy(CCompute& compute, int slot) {
  std::vector<const CLiability*> held;
  for (CLiability* liability : compute.Liabilities) {
    if (liability && liability->Applied98 && compute.CatchupIndex(liability) == slot) {
      held.push_back(liability);
    }
  }
  return held;
}

std::string CatchupMoveReason(const ComputedReturn& result, const CLiability& liability) {
  CCompute& compute = *result.compute;
  // CatchupIndex only reads the liability's due date.
  const int slot = compute.CatchupIndex(const_cast<CLiability*>(&liability));
  const CLiability* catchup =
      slot >= 0 && slot < compute.CatchupSlots ? compute.CatchupLiabilities[slot] : nullptr;
  const std::string to =
      catchup ? "the catch-up due " + DateText(catchup->Date) : std::string("a catch-up");
  const double shortfall = Cents(liability.Amount - liability.TotalPayments());
  if (!liability.Next) {
    return "$100 or less: moved whole to " + to + " ($100 rule)";
  }
  return "short " + Money(shortfall) + ", within 2% or $100 and deposited on time: moved to " + to +
         " (98% / $100 rule)";
}

std::string CatchupHoldsReason(const ComputedReturn& result, int slot) {
  CCompute& compute = *result.compute;
  const std::vector<const CLiability*> held = ShortfallsHeldBy(compute, slot);
  if (held.empty()) return {};
  std::string text = held.size() == 1 ? "the shortfall of " : "the shortfalls of ";
  for (size_t i = 0; i < held.size(); ++i) {
    text += (i == 0                 ? ""
             : i + 1 == held.size() ? " and "
                                    : ", ") +
            DateText(held[i]->LiabilityDate);
  }
  return text + ": no penalty when made up by " + DateText(compute.CatchupLiabilities[slot]->Date);
}

std::string AlternativeNumber(int method) {
  return Format("0%.2o", static_cast<unsigned>(method - 1));
}

std::string AlternativeInWords(int method) {
  static const char* const kWindows[] = {"on time", "1-5 days late", "6-15 days late"};
  // The three windows of each strategy, in the order they are tried.
  static const int kOrder[6][3] = {{0, 1, 2}, {1, 0, 2}, {0, 2, 1},
                                   {2, 0, 1}, {1, 2, 0}, {2, 1, 0}};
  const bool lastCatchupFirst = method & 1, lastLiabilityFirst = method & 2,
             lastDepositFirst = method & 4;
  const int strategy = (method >> 3) & 7, catchupRule = (method >> 6) & 3;
  if (strategy == 7) return "no allocation (this alternative applies no deposit)";

  std::string text = lastDepositFirst ? "deposits from the last back to the first, each to the "
                                      : "deposits in date order, each to the ";
  text += lastLiabilityFirst ? "latest-due" : "earliest-due";
  if (strategy == 6) {
    text += " liability still open";
  } else {
    text += " open liability it pays ";
    for (int pass = 0; pass < 3; ++pass) {
      text += std::string(pass ? ", else " : "") + kWindows[kOrder[strategy][pass]];
    }
  }
  const std::string catchup = std::string(lastCatchupFirst ? "the latest" : "the earliest") +
                              " open catch-up (a 98% / $100 shortfall)";
  static const char* const kRules[] = {
      " is paid only when no liability fits",
      " goes first when it is due no later, or the deposit is as timely for it",
      " goes first when it is due no later than that liability",
      " goes first when the deposit is as timely for it"};
  return text + "; " + catchup + kRules[catchupRule];
}

std::vector<std::string> Wrapped(const std::string& text, int indent, int width) {
  std::vector<std::string> lines;
  std::istringstream words(text);
  std::string word, line;
  const std::string margin(static_cast<size_t>(indent), ' ');
  while (words >> word) {
    if (!line.empty() && static_cast<int>(line.size() + 1 + word.size()) > width) {
      lines.push_back(line);
      line.clear();
    }
    line += line.empty() ? margin + word : " " + word;
  }
  if (!line.empty()) lines.push_back(line);
  return lines;
}

}  // namespace ledrix::cli
