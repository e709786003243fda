#include "batch.h"

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <optional>
#include <thread>

#include "json_output.h"
#include "report_command.h"
#include "run_return.h"

namespace ledrix::cli {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

long long NanosecondsSince(Clock::time_point start) {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now() - start).count();
}

/// One return's share of the summary, made by the worker that computed it.
struct ReturnOutcome {
  std::string row;    ///< the table's line
  std::string csv;    ///< the CSV line
  std::string jsonl;  ///< the JSON line, when asked for
  std::string error;  ///< why the file could not be computed; empty when it was
  double penalties = 0.0, interest = 0.0, total = 0.0;
  long long readingNs = 0, computingNs = 0, writingNs = 0;
};

// ---- the summary's columns ---------------------------------------------------

constexpr const char* kTableHeading =
    "                                         Deposit penalty             Return\n"
    "Form Period  Company                        IRS rule  Best allocation    penalties"
    "      Interest         Total  Warnings  File\n";
constexpr const char* kCsvHeading =
    "file,form,period,company,ein,deposit_penalty_irs_rule,deposit_penalty_best_allocation,"
    "return_penalties,interest,total,warnings,error\n";

/// A CSV field: quoted, inner quotes doubled, when it holds a comma, a quote
/// or a line break.
std::string CsvField(const std::string& text) {
  if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
  std::string quoted = "\"";
  for (char c : text) {
    quoted += c;
    if (c == '"') quoted += '"';
  }
  return quoted + "\"";
}

std::string Joined(const std::vector<std::string>& texts) {
  std::string joined;
  for (const std::string& text : texts) joined += (joined.empty() ? "" : "; ") + text;
  return joined;
}

/// The return penalties: failure to file and failure to pay. (The
/// additional 5% of a deposit notice is part of the deposit penalty.)
double ReturnPenalties(const PenaltySummary& summary) {
  return summary.FTFPenalty + summary.FTPPenalty;
}

void SummarizeReturn(const ComputedReturn& result, ReturnOutcome& outcome) {
  const ReturnSettings& settings = result.file->settings;
  const CCompute& compute = *result.compute;
  const PenaltySummary& summary = result.summary;
  const Company& company = result.file->doc->Company;
  const double irsRule = compute.MethodResults[0].Penalty;
  // The penalty of the allocation the return was computed with: the best of
  // the IRS rule and the alternatives, or the IRS rule alone when the file
  // asks for it.
  const double best = compute.PenaltyTotal;
  outcome.penalties = summary.PenaltyTotal;
  outcome.interest = summary.InterestTotal;
  // The total owed: unpaid tax, penalties and interest. Deposits beyond the
  // tax are not set against penalties, so an overpaid return has none.
  outcome.total = summary.Overpaid ? 0.0 : summary.GrandTotal;
  const std::string total = summary.Overpaid ? "N/A" : Money(summary.GrandTotal);
  outcome.row =
      Format("%-4s %-7s %-24.24s %14s %16s %12s %13s %13s %9zu  ", settings.form->name,
             PeriodText(settings).c_str(), company.Name, Money(irsRule).c_str(),
             Money(best).c_str(), Money(ReturnPenalties(summary)).c_str(),
             Money(summary.InterestTotal).c_str(), total.c_str(), result.warnings.size()) +
      result.file->path + "\n";
  outcome.csv = CsvField(result.file->path) + "," + settings.form->name + "," +
                PeriodText(settings) + "," + CsvField(company.Name) + "," + CsvField(company.EIN) +
                "," +
                Format("%.2f,%.2f,%.2f,%.2f,", irsRule, best, ReturnPenalties(summary),
                       summary.InterestTotal) +
                (summary.Overpaid ? "" : Format("%.2f", summary.GrandTotal)) + "," +
                CsvField(Joined(result.warnings)) + ",\n";
}

void SummarizeFailure(const std::string& path, ReturnOutcome& outcome) {
  outcome.row = Format("%-4s %-7s %-24s %14s %16s %12s %13s %13s %9s  ", "-", "-", "failed", "", "",
                       "", "", "", "") +
                path + "\n";
  outcome.csv = CsvField(path) + ",,,,,,,,,,," + CsvField(outcome.error) + "\n";
}

/// Reads, computes and summarizes one return file. The compute object is
/// the worker's own and gone when this returns.
ReturnOutcome ProcessReturn(const std::string& path, bool jsonLines) {
  ReturnOutcome outcome;
  Clock::time_point start = Clock::now();
  try {
    ReturnFile file = LoadReturn(path);
    outcome.readingNs = NanosecondsSince(start);
    start = Clock::now();
    ComputedReturn result = ComputeReturn(file);
    outcome.computingNs = NanosecondsSince(start);
    start = Clock::now();
    SummarizeReturn(result, outcome);
    if (jsonLines) {
      nlohmann::ordered_json line = {{"file", path}, {"result", ResultJson(result)}};
      outcome.jsonl = line.dump() + "\n";
    }
  } catch (const InputError& error) {
    outcome.error = error.what();
  } catch (const std::exception& error) {
    outcome.error = path + ": internal error: " + error.what();
  }
  if (!outcome.error.empty()) {
    SummarizeFailure(path, outcome);
    if (jsonLines) {
      outcome.jsonl =
          nlohmann::ordered_json{{"file", path}, {"error", outcome.error}}.dump() + "\n";
    }
  }
  outcome.writingNs = NanosecondsSince(start);
  return outcome;
}

// ---- order and memory --------------------------------------------------------

/// The outcomes between the last one written and the workers' newest: a
/// worker takes a return only while it is fewer than `size` ahead of the
/// writer, so memory stays the same whatever the batch's length.
class ReorderWindow {
 public:
  explicit ReorderWindow(std::size_t size) : slots_(size) {}

  void WaitForRoom(std::size_t index) {
    std::unique_lock lock(mutex_);
    room_.wait(lock, [&] { return index < written_ + slots_.size(); });
  }

  void Put(std::size_t index, ReturnOutcome outcome) {
    {
      std::lock_guard lock(mutex_);
      slots_[index % slots_.size()] = std::move(outcome);
    }
    ready_.notify_one();
  }

  /// The next outcome in input order, once it is there.
  ReturnOutcome TakeNext() {
    std::unique_lock lock(mutex_);
    std::optional<ReturnOutcome>& slot = slots_[written_ % slots_.size()];
    ready_.wait(lock, [&] { return slot.has_value(); });
    ReturnOutcome outcome = std::move(*slot);
    slot.reset();
    ++written_;
    lock.unlock();
    room_.notify_all();
    return outcome;
  }

 private:
  std::mutex mutex_;
  std::condition_variable ready_, room_;
  std::vector<std::optional<ReturnOutcome>> slots_;
  std::size_t written_ = 0;
};

// ---- what the writer writes --------------------------------------------------

/// A CSV or JSON-lines file, written through a replacement in pieces of
/// about 64 KB, and put in place only when the batch is done.
class SummaryFile {
 public:
  explicit SummaryFile(const std::string& path) : path_(path) {
    if (path.empty()) return;
    replacement_.emplace(path);
    if (!replacement_->Write("")) throw OutputError("cannot write " + path + ": " + LastFileError());
  }
  bool Named() const { return replacement_.has_value(); }
  void Add(const std::string& text) {
    if (!Named()) return;
    pending_ += text;
    if (pending_.size() >= 1 << 16) Flush();
  }
  void Finish() {
    if (!Named()) return;
    Flush();
    // A write that failed midway (a full disk) is told here, once the
    // workers are done: the old file is still whole and nothing is left.
    if (!replacement_->Commit()) throw OutputError("cannot write " + path_ + ": " + LastFileError());
  }

 private:
  void Flush() {
    replacement_->Write(pending_);
    pending_.clear();
  }
  std::string path_;
  std::string pending_;
  std::optional<FileReplacement> replacement_;
};

/// "[#######.............]  1200/5000   2150/s   0:02 left", redrawn in place
/// at most ten times a second.
class ProgressBar {
 public:
  ProgressBar(std::ostream& err, std::size_t total, bool shown)
      : err_(err), total_(total), shown_(shown), start_(Clock::now()), lastDrawn_(start_) {}

  void Update(std::size_t done) {
    if (!shown_) return;
    const Clock::time_point now = Clock::now();
    if (done < total_ && now - lastDrawn_ < std::chrono::milliseconds(100)) return;
    lastDrawn_ = now;
    const double seconds = std::chrono::duration<double>(now - start_).count();
    const double rate = seconds > 0 ? done / seconds : 0.0;
    const long left = rate > 0 ? static_cast<long>((total_ - done) / rate + 0.5) : 0;
    const std::size_t filled = total_ ? 30 * done / total_ : 30;
    err_ << "\r[" << std::string(filled, '#') << std::string(30 - filled, '.') << "] "
         << Format("%zu/%zu  %.0f/s  %ld:%02ld left", done, total_, rate, left / 60, left % 60)
         << std::flush;
  }
  /// Clears the bar so that a message can take the line.
  void Clear() {
    if (shown_) err_ << "\r\033[K";
  }

 private:
  std::ostream& err_;
  std::size_t total_;
  bool shown_;
  Clock::time_point start_, lastDrawn_;
};

std::string TotalsLine(const BatchCounts& counts, double penalties, double interest, double total) {
  return Format("%zu returns: %zu computed, %zu failed. Penalties %s, interest %s, total %s\n",
                counts.returns, counts.returns - counts.failed, counts.failed,
                Money(penalties).c_str(), Money(interest).c_str(), Money(total).c_str());
}

}  // namespace

std::vector<std::string> BatchFiles(const std::vector<std::string>& paths, bool recursive) {
  std::vector<std::string> files;
  for (const std::string& path : paths) {
    std::error_code error;
    if (fs::is_regular_file(path, error)) {
      files.push_back(path);
      continue;
    }
    if (!fs::is_directory(path, error)) throw InputError(path + ": no such file or folder");
    std::vector<std::string> found;
    auto add = [&](const fs::directory_entry& entry) {
      if (entry.is_regular_file() && entry.path().extension() == ".json") {
        found.push_back(entry.path().string());
      }
    };
    if (recursive) {
      for (const auto& entry : fs::recursive_directory_iterator(path)) add(entry);
    } else {
      for (const auto& entry : fs::directory_iterator(path)) add(entry);
    }
    std::sort(found.begin(), found.end());
    files.insert(files.end(), found.begin(), found.end());
  }
  return files;
}

BatchCounts RunBatch(const std::vector<std::string>& files, const BatchOptions& options,
                     std::ostream& out, std::ostream& err) {
  SummaryFile csv(options.csvPath), jsonl(options.jsonlPath);
  unsigned jobs = options.jobs ? options.jobs : std::max(1u, std::thread::hardware_concurrency());
  jobs = static_cast<unsigned>(std::min<std::size_t>(jobs, std::max<std::size_t>(files.size(), 1)));
  // Room for each worker to run a few returns ahead of the slowest one.
  ReorderWindow window(8 * jobs);
  std::atomic<std::size_t> next{0};
  std::vector<std::jthread> workers;
  for (unsigned i = 0; i < jobs; ++i) {
    workers.emplace_back([&] {
      for (std::size_t index; (index = next.fetch_add(1)) < files.size();) {
        window.WaitForRoom(index);
        window.Put(index, ProcessReturn(files[index], jsonl.Named()));
      }
    });
  }

  BatchCounts counts;
  counts.returns = files.size();
  double penalties = 0.0, interest = 0.0, total = 0.0;
  ProgressBar progress(err, files.size(), options.progress);
  out << kTableHeading;
  csv.Add(kCsvHeading);
  for (std::size_t done = 0; done < files.size();) {
    ReturnOutcome outcome = window.TakeNext();
    const Clock::time_point start = Clock::now();
    if (!outcome.error.empty()) {
      ++counts.failed;
      progress.Clear();
      err << "ledrix: " << outcome.error << "\n";
    }
    out << outcome.row;
    csv.Add(outcome.csv);
    jsonl.Add(outcome.jsonl);
    penalties += outcome.penalties;
    interest += outcome.interest;
    total += outcome.total;
    counts.readingNs += outcome.readingNs;
    counts.computingNs += outcome.computingNs;
    counts.writingNs += outcome.writingNs + NanosecondsSince(start);
    progress.Update(++done);
  }
  progress.Clear();
  out << TotalsLine(counts, penalties, interest, total);
  out.flush();
  csv.Finish();
  jsonl.Finish();
  return counts;
}

}  // namespace ledrix::cli
