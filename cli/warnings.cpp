#include "warnings.h"

#include <set>

#include "calendar_commands.h"
#include "rates.h"

namespace ledrix::cli {
namespace {

/// Adds the years a liability's due date was moved through (from the day it
/// arose to its due date) and its days late were counted through (from the
/// due date to each late deposit, and to the compute date while unpaid).
void AddLiabilityYears(std::set<int>& years, const CLiability* liability, Date computeDate) {
  if (!liability || !IsPresent(liability->Amount)) return;
  const Date due = liability->Date;
  AddYearsBetween(years, liability->LiabilityDate, due);
  for (const CDeposit* piece = liability->Next; piece; piece = piece->Next) {
    if (piece->Date > due) AddYearsBetween(years, due, piece->Date);
  }
  if (IsPresent(liability->UnpaidAmount)) AddYearsBetween(years, due, computeDate);
}

/// The years of the return's due dates and counts of days late, the
/// return's own due date among them (interest and the return penalties
/// start from it).
std::set<int> YearsCounted(const CCompute& compute) {
  std::set<int> years;
  for (const CLiability* liability : compute.Liabilities) {
    AddLiabilityYears(years, liability, compute.ComputeDate);
  }
  for (const CLiability* catchup : compute.CatchupLiabilities) {
    AddLiabilityYears(years, catchup, compute.ComputeDate);
  }
  AddYearsBetween(years, compute.ReturnDueDate, compute.ReturnDueDate);
  return years;
}

}  // namespace

std::vector<std::string> ReturnWarnings(const ComputedReturn& result) {
  const CCompute& compute = *result.compute;
  std::vector<std::string> warnings;
  std::string holidays = MissingHolidaysWarning(*Holiday::Shared(), YearsCounted(compute));
  if (!holidays.empty()) warnings.push_back(std::move(holidays));
  if (InterestRan(result)) {
    for (const MissingRateRun& run :
         MissingRateRuns(RateTable(), compute.ReturnDueDate, compute.ComputeDate)) {
      std::string rate = MissingRateWarning(run);
      if (!rate.empty()) warnings.push_back(std::move(rate));
    }
  }
  return warnings;
}

void WriteWarnings(std::ostream& out, const std::vector<std::string>& warnings) {
  for (const std::string& warning : warnings) out << "ledrix: warning: " << warning << "\n";
}

}  // namespace ledrix::cli
