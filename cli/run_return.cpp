#include "run_return.h"

#include <system_error>

#include "warnings.h"

namespace ledrix::cli {

std::unique_ptr<CCompute> MakeCompute(const FormInfo& form) {
  switch (form.code) {
    case 10: {
      auto compute = std::make_unique<C941Compute>();
      compute->Set944();
      return compute;
    }
    case 3:
      return std::make_unique<C943Compute>();
    case 4:
      return std::make_unique<C945Compute>();
    case 2:
      return std::make_unique<C940Compute>();
    default:
      return std::make_unique<C941Compute>();
  }
}

ComputedReturn ComputeReturn(ReturnFile& file) {
  const ReturnSettings& settings = file.settings;
  ComputedReturn result;
  result.file = &file;
  result.compute = MakeCompute(*settings.form);
  CCompute& compute = *result.compute;

  compute.SetComputeDate(settings.computeDate);
  if (settings.dueDate.IsValid()) {
    // SetDueDate(Date) only records the date given; the due date itself is the field.
    compute.SetDueDate(settings.dueDate);
    compute.ReturnDueDate = settings.dueDate;
  } else {
    // An annual return is due after its last quarter: 31 January of the next year.
    compute.SetDueDate(settings.form->annual ? settings.quarter + 3 : settings.quarter);
  }
  compute.SetPenalties(file.doc->Penalties);
  compute.SetHeaderVersion(VersionText());

  Event::CurrentForm = settings.form->code;
  compute.BasicCompute(file.doc.get(), settings.allocationFlags,
                       settings.limitToComputeDate ? 1 : 0);

  result.penalties = std::make_unique<CRunTimePenalties>();
  result.interest = std::make_unique<InterestEvent>();
  CPenalties* inputs = &file.doc->Penalties;
  RunReturnPenalties(compute, inputs, file.doc.get(), *result.penalties, *result.interest);
  result.summary = SummarizePenalties(compute, inputs, *result.penalties, *result.interest);
  result.warnings = ReturnWarnings(result);
  return result;
}

bool AppendRunStatistics(ComputedReturn& result, const std::string& path) {
  CCompute& compute = *result.compute;
  const ReturnSettings& settings = result.file->settings;
  const int limit = settings.limitToComputeDate ? 1 : 0;
  compute.ClearStats();
  // The statistics are of the search, whatever allocation the file chose.
  for (int method = 0; method < BestMethod; ++method) {
    compute.Penalty(0, 0, limit, method);
    compute.GatherStats(method);
  }
  // Every method's penalty, and the winner applied again as method 257.
  compute.Penalty(0, 0, limit, -1);
  compute.GatherStats(BestMethod);

  compute.ReportStats(path.c_str());
  const bool appended = LastFileError().empty();
  if (settings.allocationFlags != 0) compute.Penalty(0, settings.allocationFlags, limit, -1);
  return appended;
}

bool InterestRan(const ComputedReturn& result) {
  const CCompute& compute = *result.compute;
  if (!(compute.ComputeDate > compute.ReturnDueDate)) return false;
  for (const InterestEvent* link = result.interest.get(); link; link = link->Next) {
    if (IsPresent(link->Principal) || IsPresent(link->Balance)) return true;
  }
  return false;
}

}  // namespace ledrix::cli
