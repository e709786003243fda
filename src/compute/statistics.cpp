// Run statistics: how fragmented each allocation method's result was, one
// tab-separated line per method appended to a statistics file.
#include <climits>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "compute/liability_slots.h"
#include "compute/period_rules.h"
#include "ledrix/compute.h"
#include "ledrix/host.h"
#include "platform/files.h"

namespace ledrix {

namespace {

constexpr const char* kStatsHeader =
    "Company\tPass\tPen\tBest?\tDeps\tLiabs\tC/U's\tD/L Min\tD/L Max\tD/L Avg\tL/D Min\tL/D "
    "Max\tL/D Avg\n";

/// The most, fewest and average pieces of a record's figures.
struct Spread {
  std::int32_t most;
  std::int32_t fewest;
  double average;
};

/// Widens the stored extremes by the pieces counted, and sets the average
/// over all of them (left as it was when there are none). The record is
/// packed: its fields are read and written by value.
Spread WidenBy(const std::vector<int>& pieces, Spread stored) {
  if (pieces.empty()) return stored;
  long long sum = 0;
  for (const int count : pieces) {
    if (count > stored.most) stored.most = count;
    if (count < stored.fewest) stored.fewest = count;
    sum += count;
  }
  stored.average = static_cast<double>(sum) / static_cast<double>(pieces.size());
  return stored;
}

}  // namespace

void CCompute::ClearStats() {
  for (RunStats& s : Stats) s = RunStats{0, 0, 0, 0.0, 0, INT_MAX, 0.0, 0, INT_MAX};
}

void CCompute::GatherStats(int method) {
  if (method < 0 || method >= MethodResultCount) return;
  RunStats& s = Stats[method];
  const int events = ListLength(Events);
  for (int i = 0; i < events; ++i) {
    if (IsDepositType(Events[i].Type)) {
      ++s.Deps;
    } else {
      ++s.Liabs;
    }
  }
  // Pieces per liability and per deposit. A piece of no deposit (a credit)
  // counts for its liability only.
  std::vector<int> perLiability(s.Liabs > 0 ? s.Liabs : 0);
  std::vector<int> perDeposit(s.Deps > 0 ? s.Deps : 0);
  const int slots = detail::RegularSlotCount(*this);
  for (int j = 0; j < slots && Liabilities[j] != nullptr; ++j) {
    const CLiability& liability = *Liabilities[j];
    if (liability.Applied98) ++s.CUs;
    for (const CDeposit* piece = liability.Next; piece; piece = piece->Next) {
      if (j < s.Liabs) ++perLiability[j];
      if (piece->DepositNumber >= 1 && piece->DepositNumber <= s.Deps) {
        ++perDeposit[piece->DepositNumber - 1];
      }
    }
  }
  const Spread liabilities = WidenBy(perLiability, {s.DLMax, s.DLMin, s.DLAvg});
  s.DLMax = liabilities.most;
  s.DLMin = liabilities.fewest;
  s.DLAvg = liabilities.average;
  const Spread deposits = WidenBy(perDeposit, {s.LDMax, s.LDMin, s.LDAvg});
  s.LDMax = deposits.most;
  s.LDMin = deposits.fewest;
  s.LDAvg = deposits.average;
}

void CCompute::ReportStats(const char* path) {
  if (path == nullptr) return;
  // The name as far as its field goes, whether a NUL ends it there or not.
  const std::string company =
      Company ? std::string(Company->Name, strnlen(Company->Name, sizeof Company->Name)) : "";
  const double bestPenalty = MethodResults[BestMethod].Penalty;
  std::string lines;
  for (int i = 0; i <= BestMethod; ++i) {
    const RunStats& s = Stats[i];
    const double penalty = MethodResults[i].Penalty;
    char line[512];
    const int length = std::snprintf(
        line, sizeof line, "%s\t%03o\t%.2f\t%s\t%d\t%d\t%d\t%d\t%d\t%f\t%d\t%d\t%f\n",
        company.c_str(), static_cast<unsigned>(i), penalty, penalty == bestPenalty ? "***" : "",
        s.Deps, s.Liabs, s.CUs, s.DLMin, s.DLMax, s.DLAvg, s.LDMin, s.LDMax, s.LDAvg);
    if (length <= 0) continue;
    lines.append(line, static_cast<std::size_t>(length) < sizeof line ? length : sizeof line - 1);
  }
  // The file is rewritten whole with the new lines after the old ones, so
  // that a failing disk leaves it as it was (LastFileError() says why).
  platform::AppendToFile(path, kStatsHeader, lines);
}

}  // namespace ledrix
