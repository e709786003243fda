// A run of the return penalties and interest as the penalty summary and the
// interest report set it up, and what the employer owes in all.
#include "ledrix/compute.h"
#include "ledrix/host.h"
#include "ledrix/interest.h"

namespace ledrix {

namespace {

bool AnyActive(const CPenalties& inputs) {
  return inputs.CC6656.Active || inputs.CC6651A1.Active || inputs.CC6651A2.Active;
}

void MakeFresh(InterestEvent& link) {
  link.FreeChain();
  link.Kind = INTEREST_FRESH;
  link.StartDate = link.EndDate = Date();
  link.Principal = link.Rate = link.Interest = link.Factor = link.Balance = 0.0;
}

}  // namespace

void RunReturnPenalties(CCompute& compute, CPenalties* inputs, C941Doc* document,
                        CRunTimePenalties& run, InterestEvent& first) {
  run = CRunTimePenalties();  // fresh: no row of an earlier run survives
  run.Document = document;
  run.Compute = &compute;
  run.ReturnDueDate = compute.DueDate();
  run.ComputeDate = compute.ComputeDate;
  run.AmountSubject = compute.BalanceDue(compute.DueDate());
  if (inputs && AnyActive(*inputs)) inputs->Compute(&run);

  MakeFresh(first);
  compute.ComputeInterest(&run, &first);
  if (document) document->MissingRateFlag = compute.MissingRateFlag;
}

PenaltySummary SummarizePenalties(CCompute& compute, const CPenalties* inputs,
                                  const CRunTimePenalties& run, const InterestEvent& first) {
  PenaltySummary summary;
  summary.Active6656 = inputs && inputs->CC6656.Active;
  summary.ActiveFTF = inputs && inputs->CC6651A1.Active;
  summary.ActiveFTP = inputs && inputs->CC6651A2.Active;
  const double depositPenalty = compute.GetPenalty();
  summary.Additional5Penalty = summary.Active6656 ? run.Additional5Penalty : 0.0;
  summary.DepositPenalty = depositPenalty - summary.Additional5Penalty;
  summary.FTFPenalty = summary.ActiveFTF ? run.FTFPenalty : 0.0;
  summary.FTPPenalty = summary.ActiveFTP ? run.FTPPenalty : 0.0;
  summary.PenaltyTotal = depositPenalty + summary.FTFPenalty + summary.FTPPenalty;
  summary.InterestTotal = first.TotalAllInterest();
  summary.Balance = compute.BalanceDue(compute.ComputeDate);
  summary.UnpaidTax = summary.Balance > 0.0 ? summary.Balance : 0.0;
  summary.Overpaid = summary.Balance < -0.009;
  summary.GrandTotal = summary.Balance + summary.PenaltyTotal + summary.InterestTotal;
  return summary;
}

}  // namespace ledrix
