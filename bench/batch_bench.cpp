// The batch path (`ledrix batch`): generated return files of every form
// (941 quarters; 944, 943, 945 and 940 years, in turn) read, computed and
// summarized on a pool of worker threads, with the table and the CSV
// written. Arguments: the number of returns and of threads. Counters: the
// returns per second, and the share of the workers' time spent reading,
// computing and writing.
//
//   ledrix_bench --benchmark_filter=Batch --benchmark_repetitions=5
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <sstream>

#include "batch.h"
#include "support/generated_return_files.h"

namespace {

namespace fs = std::filesystem;

/// The folders of generated returns, removed when the benchmark ends.
struct GeneratedFolders {
  const fs::path root =
      fs::temp_directory_path() / ("ledrix-batch-bench-" + std::to_string(::getpid()));
  std::map<int, std::vector<std::string>> files;
  ~GeneratedFolders() {
    std::error_code ignored;
    fs::remove_all(root, ignored);
  }
};

/// `count` generated return files in a folder of their own, made once.
const std::vector<std::string>& ReturnFiles(int count) {
  static GeneratedFolders made;
  std::vector<std::string>& files = made.files[count];
  if (!files.empty()) return files;
  const fs::path folder = made.root / std::to_string(count);
  fs::create_directories(folder);
  std::mt19937 rng(2026);
  for (int i = 0; i < count; ++i) {
    const fs::path path = folder / ("return-" + std::to_string(100000 + i) + ".json");
    std::ofstream(path) << ledrix::testing::GenerateReturnFile(rng, i);
    files.push_back(path.string());
  }
  return files;
}

void BM_Batch(benchmark::State& state) {
  const std::vector<std::string>& files = ReturnFiles(static_cast<int>(state.range(0)));
  ledrix::cli::BatchOptions options;
  options.jobs = static_cast<unsigned>(state.range(1));
  options.csvPath = fs::path(files.front()).parent_path() / "summary.csv";
  ledrix::cli::BatchCounts total;
  for (auto _ : state) {
    std::ostringstream table, messages;
    const ledrix::cli::BatchCounts counts = ledrix::cli::RunBatch(files, options, table, messages);
    if (counts.failed) state.SkipWithError("a generated return failed");
    total.readingNs += counts.readingNs;
    total.computingNs += counts.computingNs;
    total.writingNs += counts.writingNs;
  }
  const double workerNs =
      static_cast<double>(total.readingNs + total.computingNs + total.writingNs);
  state.SetItemsProcessed(state.iterations() * static_cast<long>(files.size()));
  state.counters["reading%"] = 100.0 * total.readingNs / workerNs;
  state.counters["computing%"] = 100.0 * total.computingNs / workerNs;
  state.counters["writing%"] = 100.0 * total.writingNs / workerNs;
}
BENCHMARK(BM_Batch)
    ->ArgsProduct({{1000, 10000}, {1, 2}})
    ->ArgNames({"returns", "threads"})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace
