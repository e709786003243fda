// The whole computation of a return with the search over every allocation
// method (BasicCompute with flags 0), on three returns of growing size and
// on a series of quarters of 20 to 400 events, with the liabilities rebuilt
// from the events for every method ("plain") and copied from the first
// rebuild ("cached").
//
//   ledrix_bench --benchmark_repetitions=10 --benchmark_report_aggregates_only=true
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "ledrix/ledrix.h"

namespace {

using ledrix::C941Doc;
using ledrix::Date;

/// A payroll return: one liability every `step` days from `first`, each
/// deposited `depositAfter` days later, with the lateness, shortfall and tax
/// of payday p given by the callbacks.
struct Payroll {
  int form;
  int quarter;
  int schedule;
  Date first;
  int paydays;
  int step;
  int depositAfter;
  double (*tax)(int p);
  int (*daysLate)(int p);
  double (*shortBy)(int p);
};

void Add(C941Doc& doc, int type, Date date, double amount) {
  for (ledrix::Event& event : doc.Events) {
    if (!event.EndsList()) continue;
    event.Clear();
    event.Type = static_cast<std::int16_t>(type);
    event.Date = date;
    event.Amount = amount;
    return;
  }
}

std::unique_ptr<C941Doc> MakeReturn(const Payroll& payroll) {
  auto doc = std::make_unique<C941Doc>();
  doc->Form = payroll.form;
  doc->Quarter = payroll.quarter;
  doc->ComputeMethod = payroll.schedule;
  for (int p = 0; p < payroll.paydays; ++p) {
    const Date payday = payroll.first + payroll.step * p;
    const double tax = payroll.tax(p);
    Add(*doc, ledrix::LIABILITY, payday, tax);
    Add(*doc, ledrix::DEPOSIT, payday + payroll.depositAfter + payroll.daysLate(p),
        tax - payroll.shortBy(p));
  }
  return doc;
}

/// (a) Form 941, 2005 Q1, semi-weekly: a payroll every Monday (13), each
/// deposited on the Friday after; three deposits late, one short by 500.00.
const Payroll kWeeklyQuarter = {1,
                                100,
                                1,
                                Date(1, 3, 5),
                                13,
                                7,
                                4,
                                [](int p) { return 8000.0 + 250.0 * (p % 5) + 0.37 * p; },
                                [](int p) {
                                  return p == 3 ? 3 : p == 7 ? 9 : p == 10 ? 20 : 0;
                                },
                                [](int p) { return p == 5 ? 500.0 : 0.0; }};

/// (b) Form 944, 2005, monthly: a payroll every Friday (52), each deposited
/// the Wednesday after; every ninth deposit a week late.
const Payroll kWeeklyYear = {10,
                             100,
                             0,
                             Date(1, 7, 5),
                             52,
                             7,
                             5,
                             [](int p) { return 1200.0 + 35.0 * (p % 7) + 0.11 * p; },
                             [](int p) { return p % 9 == 4 ? 7 : 0; },
                             [](int) { return 0.0; }};

/// (c) Form 941, 2005 Q3 (92 days), semi-weekly: a liability every day, each
/// deposited four days later; some late, some short.
const Payroll kDailyQuarter = {1,
                               102,
                               1,
                               Date(7, 1, 5),
                               92,
                               1,
                               4,
                               [](int p) { return 900.0 + 13.0 * (p % 11); },
                               [](int p) { return p % 13 == 6 ? 8 : 0; },
                               [](int p) { return p % 17 == 3 ? 60.0 : 0.0; }};

/// A Form 941 quarter (2005 Q1, semi-weekly) of `events` events: 13 Monday
/// paydays and the rest deposits, handed out to the paydays in turn, each
/// payday's tax split evenly over its deposits, dated from the Wednesday to
/// the Tuesday after (due on the Friday: up to four days late).
std::unique_ptr<C941Doc> MakeSeriesReturn(int events) {
  constexpr int kPaydays = 13;
  auto doc = std::make_unique<C941Doc>();
  doc->Form = 1;
  doc->Quarter = 100;
  doc->ComputeMethod = 1;
  const int deposits = events - kPaydays;
  for (int p = 0; p < kPaydays; ++p) {
    const Date payday = Date(1, 3, 5) + 7 * p;
    const double tax = 8000.0 + 250.0 * (p % 5) + 0.37 * p;
    Add(*doc, ledrix::LIABILITY, payday, tax);
    const int parts = deposits / kPaydays + (p < deposits % kPaydays ? 1 : 0);
    double left = tax;
    for (int j = 0; j < parts; ++j) {
      const double part = j + 1 == parts ? left : std::round(tax / parts * 100.0) / 100.0;
      left = std::round((left - part) * 100.0) / 100.0;
      Add(*doc, ledrix::DEPOSIT, payday + 2 + j % 7, part);
    }
  }
  return doc;
}

void RunBasicCompute(benchmark::State& state, std::unique_ptr<C941Doc> doc) {
  ledrix::C941Compute compute;
  if (doc->Form == 10) compute.Set944();
  compute.SetComputeDate(Date(12, 30, 5));
  compute.SetDueDate(doc->Quarter);
  compute.UseLiabilityCache = state.range(0) != 0;
  for (auto _ : state) {
    compute.BasicCompute(doc.get(), 0, 0);
    benchmark::DoNotOptimize(compute.GetPenalty());
  }
  state.SetLabel(state.range(0) != 0 ? "cached" : "plain");
}

void Form941WeeklyQuarter(benchmark::State& state) {
  RunBasicCompute(state, MakeReturn(kWeeklyQuarter));
}
void Form944WeeklyYear(benchmark::State& state) {
  RunBasicCompute(state, MakeReturn(kWeeklyYear));
}
void Form941DailyQuarter(benchmark::State& state) {
  RunBasicCompute(state, MakeReturn(kDailyQuarter));
}
/// Arguments: plain (0) or cached (1), then the number of events.
void Form941EventSeries(benchmark::State& state) {
  RunBasicCompute(state, MakeSeriesReturn(static_cast<int>(state.range(1))));
}

/// The fastest repetition as well: on a shared machine other work only ever
/// adds time, so the minimum moves least from run to run.
double Fastest(const std::vector<double>& times) {
  return *std::min_element(times.begin(), times.end());
}

BENCHMARK(Form941WeeklyQuarter)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->ComputeStatistics("min", Fastest);
BENCHMARK(Form944WeeklyYear)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->ComputeStatistics("min", Fastest);
BENCHMARK(Form941DailyQuarter)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->ComputeStatistics("min", Fastest);
BENCHMARK(Form941EventSeries)
    ->ArgsProduct({{0, 1}, {20, 50, 100, 200, 400}})
    ->Unit(benchmark::kMillisecond)
    ->ComputeStatistics("min", Fastest);

/// The library keeps its holiday file in the per-user folder: the run gets
/// a folder of its own, removed afterwards.
struct BenchAppData {
  BenchAppData()
      : root(std::filesystem::temp_directory_path() /
             ("ledrix-bench-" + std::to_string(::getpid()))) {
    std::filesystem::create_directories(root);
    ::setenv("AppData", root.c_str(), 1);
  }
  ~BenchAppData() {
    std::error_code ignored;
    std::filesystem::remove_all(root, ignored);
  }
  std::filesystem::path root;
};

}  // namespace

int main(int argc, char** argv) {
  const BenchAppData appData;
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
