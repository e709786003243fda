#include "report_command.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <functional>
#include <iostream>
#include <map>
#include <thread>

#include "warnings.h"

namespace ledrix::cli {
namespace {

/// The title and margin strings of the IRS-format parts, as the generator
/// takes them: no title, or its text; the margin strings ended by null.
class IrsListing {
 public:
  explicit IrsListing(const ReportSettings& settings)
      : title_(settings.hasTitle ? settings.title.c_str() : nullptr) {
    for (const std::string& text : settings.margin) margin_.push_back(text.c_str());
    margin_.push_back(nullptr);
  }
  const char* Title() const { return title_; }
  const char* const* Margin() const { return margin_.data(); }

 private:
  const char* title_;
  std::vector<const char*> margin_;
};

using Report = std::function<void(CReportGenerator&, const IrsListing&, int fd)>;
using IrsPart = int (CReportGenerator::*)(int, const char*, const char* const*);

Report Plain(int (CReportGenerator::*generate)(int)) {
  return [generate](CReportGenerator& g, const IrsListing&, int fd) { (g.*generate)(fd); };
}

Report Listing(IrsPart part) {
  return [part](CReportGenerator& g, const IrsListing& listing, int fd) {
    (g.*part)(fd, listing.Title(), listing.Margin());
  };
}

const std::map<std::string, Report>& Reports() {
  static const std::map<std::string, Report> reports = {
      {"deposit-penalty", Plain(&CReportGenerator::GeneratePenaltyReport)},
      {"penalty-summary", Plain(&CReportGenerator::GeneratePenaltySummary)},
      {"interest", Plain(&CReportGenerator::GenerateInterestReport)},
      {"rates", Plain(&CReportGenerator::GenerateInterestRatesReport)},
      {"main-screen", Plain(&CReportGenerator::GenerateMainScreenReport)},
      {"predictor", Plain(&CReportGenerator::GenerateWizardReport)},
      {"irs-header",
       [](CReportGenerator& g, const IrsListing&, int fd) { g.GenerateIRSHeader(fd, nullptr); }},
      {"liability-detail", Listing(&CReportGenerator::GenerateLiabilityDetail)},
      {"deposit-detail", Listing(&CReportGenerator::GenerateDepositDetail)},
      {"irs-input", Listing(&CReportGenerator::GenerateIRSInputReport)},
  };
  return reports;
}

/// A pipe whose read end a thread drains into memory while the generator
/// writes to the other end, so a report of any length passes.
class Collector {
 public:
  Collector() {
    if (::pipe2(ends_, O_CLOEXEC) != 0) {
      throw OutputError(std::string("cannot open a pipe for the report: ") + std::strerror(errno));
    }
    reader_ = std::thread([this] { Drain(); });
  }
  ~Collector() { Finish(); }
  Collector(const Collector&) = delete;
  Collector& operator=(const Collector&) = delete;

  int WriteEnd() const { return ends_[1]; }

  /// Closes the write end and returns every byte that came through.
  std::string Finish() {
    if (ends_[1] >= 0) {
      ::close(ends_[1]);
      ends_[1] = -1;
    }
    if (reader_.joinable()) reader_.join();
    if (ends_[0] >= 0) {
      ::close(ends_[0]);
      ends_[0] = -1;
    }
    return std::move(bytes_);
  }

 private:
  void Drain() {
    char buffer[1 << 16];
    for (;;) {
      const ssize_t n = ::read(ends_[0], buffer, sizeof buffer);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) return;
      bytes_.append(buffer, static_cast<size_t>(n));
    }
  }

  int ends_[2] = {-1, -1};
  std::thread reader_;
  std::string bytes_;
};

void WriteToStandardOutput(const std::string& text) {
  const size_t written = std::fwrite(text.data(), 1, text.size(), stdout);
  if (std::fflush(stdout) != 0 || written != text.size()) {
    throw OutputError("cannot write the report to standard output: " +
                      std::string(std::strerror(errno)));
  }
}

}  // namespace

std::vector<std::string> ReportKinds() {
  std::vector<std::string> kinds;
  for (const auto& entry : Reports()) kinds.push_back(entry.first);
  return kinds;
}

void SetUpGenerator(CReportGenerator& generator, ComputedReturn& result) {
  const ReturnFile& file = *result.file;
  CCompute& compute = *result.compute;
  C941Doc& doc = *file.doc;
  const ReportSettings& report = file.report;
  if (!report.headerVersion.empty()) compute.SetHeaderVersion(report.headerVersion);

  generator.Form = doc.Form;
  generator.DueDate = compute.DueDate();
  generator.StatusDate = report.statusDate.IsValid() ? report.statusDate : compute.ComputeDate;
  // An annual return's period ends with the last quarter of its year.
  generator.Quarter = file.settings.form->annual ? doc.Quarter + 3 : doc.Quarter;
  generator.LinesPerPage = report.linesPerPage;
  generator.FirstPage = report.firstPage;
  generator.NoPageHeads = report.noPageHeads ? 1 : 0;
  generator.Company = &doc.Company;
  generator.Events = compute.Events;  // the liabilities' event indices point into this copy
  generator.Compute = &compute;
  generator.Penalties = &doc.Penalties;
  generator.Document = &doc;
}

void GenerateReport(CReportGenerator& generator, const std::string& kind, int fd,
                    const ReportSettings& settings) {
  Reports().at(kind)(generator, IrsListing(settings), fd);
}

std::string ReportBytes(CReportGenerator& generator, const std::string& kind,
                        const ReportSettings& settings) {
  Collector collector;
  GenerateReport(generator, kind, collector.WriteEnd(), settings);
  std::string bytes = collector.Finish();
  if (bytes.size() != static_cast<size_t>(generator.BytesWritten)) {
    throw OutputError("the report lost bytes on the way: " + std::to_string(bytes.size()) +
                      " arrived of " + std::to_string(generator.BytesWritten) + " written");
  }
  return bytes;
}

std::string PrintableLines(std::string bytes) {
  std::replace(bytes.begin(), bytes.end(), '\0', '\n');
  return bytes;
}

void RunReport(const ReportOptions& options) {
  ReturnFile file = LoadReturn(options.returnPath);
  ComputedReturn result = ComputeReturn(file);
  CReportGenerator generator;
  SetUpGenerator(generator, result);
  std::string bytes = ReportBytes(generator, options.kind, file.report);
  if (!options.raw) bytes = PrintableLines(std::move(bytes));
  if (options.output.empty()) {
    WriteToStandardOutput(bytes);
  } else if (!ReplaceFile(options.output, bytes)) {
    throw OutputError("cannot write the report to " + options.output + ": " + LastFileError());
  }
  WriteWarnings(std::cerr, result.warnings);
}

}  // namespace ledrix::cli
