// Hostile sizes: the cost of reading and computing input at and past each
// limit, in time and in peak memory (the process's resident high-water mark,
// reset before each benchmark; counter peak_MB).
//
//   ledrix_limits_bench --benchmark_repetitions=3 --benchmark_report_aggregates_only=true
#include <benchmark/benchmark.h>

#include <cfloat>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "csv_events.h"
#include "ledrix/ledrix.h"
#include "return_file.h"
#include "run_return.h"

namespace {

namespace fs = std::filesystem;
using namespace ledrix;

// The resident high-water mark from here on (Linux: clear_refs resets it).
class PeakMemory {
 public:
  PeakMemory() { std::ofstream("/proc/self/clear_refs") << "5"; }
  double Megabytes() const {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
      if (line.rfind("VmHWM:", 0) == 0) return std::stod(line.substr(6)) / 1024.0;
    }
    return 0.0;
  }
};

// Runs `body` for every iteration and reports the peak memory.
template <class Body>
void Measure(benchmark::State& state, Body body) {
  const PeakMemory peak;
  for (auto _ : state) body();
  state.counters["peak_MB"] = peak.Megabytes();
}

// Input files in the temporary folder, removed at exit.
fs::path WriteFile(const std::string& name, const std::string& bytes) {
  static struct Written {
    std::vector<fs::path> paths;
    ~Written() {
      for (const fs::path& path : paths) fs::remove(path);
    }
  } written;
  const fs::path path = fs::temp_directory_path() / ("ledrix-limits-" + name);
  std::ofstream(path, std::ios::binary) << bytes;
  written.paths.push_back(path);
  return path;
}

// Reads, parses and computes the file, as `ledrix compute` does; a refusal
// counts as done.
void ComputeFile(const fs::path& path, const fs::path& csv = {}) {
  try {
    cli::ReturnFile file = cli::LoadReturn(path.string());
    if (!csv.empty()) cli::AppendCsvEvents(file, cli::ReadTextFile(csv.string()), csv.string());
    benchmark::DoNotOptimize(cli::ComputeReturn(file).compute->GetPenalty());
  } catch (const cli::InputError& error) {
    benchmark::DoNotOptimize(error.what());
  }
}

std::string Head(const char* allocation) {
  return std::string(R"({"form": "944", "period": "2005", "schedule": "semiweekly", )") +
         R"("compute_date": "2006-12-31", "allocation": ")" + allocation + R"(", )";
}

// The largest return: a Form 944 year of 1,463 events of the largest amount,
// a liability on each of 365 days (two on most) and a deposit each, every
// seventh deposit a week late. Arg 0 the IRS rule, 1 the search over every
// allocation.
void LargestReturn(benchmark::State& state) {
  std::string events;
  const Date first(1, 1, 5);
  for (int i = 0; i < MaxEvents - 1; ++i) {
    const int day = i / 2 % 365;
    const Date date = i % 2 ? first + day + 1 + (day % 7 == 0 ? 7 : 0) : first + day;
    char event[96];
    std::snprintf(event, sizeof event, R"(%s{"type": "%s", "date": "%s", "amount": %.0f})",
                  i ? ", " : "", i % 2 ? "DEPOSIT" : "LIABILITY", cli::IsoDate(date).c_str(),
                  cli::MaxAmount);
    events += event;
  }
  const fs::path path = WriteFile(
      "largest.json", Head(state.range(0) ? "best" : "irs") + R"("events": [)" + events + "]}");
  Measure(state, [&] { ComputeFile(path); });
}
BENCHMARK(LargestReturn)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// Files of the size limit (4 MB): CSV of blank lines (read to the end, no
// event), a CSV line of commas, JSON nested as deep as the file allows, a
// return whose notes are 2 million numbers (refused at the 65,537th value),
// and one whose notes are 65,000 texts of 60 characters (read). Arg: which.
void FileAtTheSizeLimit(benchmark::State& state) {
  const std::size_t size = cli::MaxInputFileBytes;
  const fs::path json = WriteFile("return.json", Head("irs") + R"("events": []})");
  fs::path returnPath = json, csv;
  switch (state.range(0)) {
    case 0:
      csv = WriteFile("blank.csv", "date,type,amount\n" + std::string(size - 17, '\n'));
      break;
    case 1:
      csv = WriteFile("commas.csv", "date,type,amount\n" + std::string(size - 17, ','));
      break;
    case 2:
      returnPath = WriteFile("deep.json", std::string(size, '['));
      break;
    case 3: {
      std::string notes = Head("irs") + R"("events": [], "description": [)";
      while (notes.size() < size - 4) notes += "0,";
      returnPath = WriteFile("wide.json", notes + "0]}");
      break;
    }
    case 4: {
      std::string notes = Head("irs") + R"("events": [], "description": [)";
      for (int i = 0; i < 65000; ++i) notes += '"' + std::string(60, 'n') + "\",";
      returnPath = WriteFile("texts.json", notes + "0]}");
      break;
    }
  }
  Measure(state, [&] { ComputeFile(returnPath, csv); });
}
BENCHMARK(FileAtTheSizeLimit)->DenseRange(0, 4)->Unit(benchmark::kMillisecond);

// Past the limits: a CSV file of 100 MB (sparse) is refused before it is
// read; a company name of 10,000 characters is refused by the parser.
void PastTheLimits(benchmark::State& state) {
  const fs::path json = WriteFile("return.json", Head("irs") + R"("events": []})");
  fs::path returnPath = json, csv;
  if (state.range(0) == 0) {
    csv = WriteFile("huge.csv", "");
    fs::resize_file(csv, 100 << 20);
  } else {
    returnPath = WriteFile("name.json", Head("irs") + R"("company": {"name": ")" +
                                            std::string(10000, 'N') + R"("}, "events": []})");
  }
  Measure(state, [&] { ComputeFile(returnPath, csv); });
}
BENCHMARK(PastTheLimits)->Arg(0)->Arg(1);

// A host's amounts at the edge of a double, which the command never passes:
// liabilities and deposits of the largest finite double, the search over
// every allocation.
void LargestDoubleInTheLibrary(benchmark::State& state) {
  auto doc = std::make_unique<C941Doc>();
  doc->Quarter = Date(1, 1, 5).QuarterIndex();
  doc->ComputeMethod = 1;
  const Date first(1, 3, 5);
  for (int i = 0; i < 26; ++i) {
    Event& event = doc->Events[i];
    event.Clear();
    event.Type = static_cast<std::int16_t>(i % 2 ? DEPOSIT : LIABILITY);
    event.Date = first + 3 * i + (i % 2 ? 5 : 0);
    event.Amount = i % 4 == 3 ? -DBL_MAX : DBL_MAX;
  }
  Measure(state, [&] {
    C941Compute compute;
    compute.SetComputeDate(Date(12, 31, 5));
    compute.SetDueDate(doc->Quarter);
    compute.BasicCompute(doc.get(), 0, 0);
    benchmark::DoNotOptimize(compute.GetPenalty());
  });
}
BENCHMARK(LargestDoubleInTheLibrary)->Unit(benchmark::kMillisecond);

}  // namespace
