// The user's files on a failing disk: every rewrite (the holiday file, the
// rate file, a report written with -o, a batch's CSV summary, the statistics
// file) meets each fault a disk can give, and the file it was to replace
// stays whole, no temporary file is left beside it and the caller is told why.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <future>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "ledrix/compute.h"
#include "ledrix/holiday.h"
#include "ledrix/host.h"
#include "ledrix/interest.h"
#include "ledrix/platform.h"
#include "platform/files.h"
#include "batch.h"
#include "report_command.h"

namespace ledrix {
namespace {

namespace fs = std::filesystem;
using platform::RewriteStep;

fs::path LibraryFolder() {
  return fs::path(std::getenv("AppData")) / "Ordane Software" / "Ledrix";
}
fs::path ReportFolder() {
  return fs::path(std::getenv("AppData")) / "reports";
}

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

long FilesIn(const fs::path& folder) {
  return std::distance(fs::directory_iterator(folder), fs::directory_iterator());
}

using Arm = std::function<void()>;

// Each rewrite sets up what it writes, calls `arm` just before it writes, and
// returns what its caller is told: "" when it succeeded.
std::string SaveHolidays(const Arm& arm) {
  Holiday calendar;
  std::strcpy(calendar.Entries[calendar.Count].Name, "Founders Day");
  calendar.Entries[calendar.Count].Dates[0] = Date(9, 9, 9);
  arm();
  return calendar.Save() ? "" : LastFileError();
}

std::string SaveRates(const Arm& arm) {
  RateTable rates;
  rates.Rates[127] = 7.25;
  arm();
  return rates.Save() ? "" : LastFileError();
}

std::string AppendStatistics(const Arm& arm) {
  C941Compute compute;
  compute.ClearStats();
  arm();
  compute.ReportStats((ReportFolder() / "runs.tsv").c_str());
  return LastFileError();
}

std::string WriteReport(const Arm& arm) {
  cli::ReportOptions options;
  options.kind = "deposit-penalty";
  options.returnPath = std::string(LEDRIX_SOURCE_DIR) + "/examples/late-filed-return.json";
  options.output = (ReportFolder() / "detail.rpt").string();
  arm();  // the computation before the write only reads
  try {
    cli::RunReport(options);
    return "";
  } catch (const cli::OutputError& error) {
    return error.what();
  }
}

std::string WriteBatchSummary(const Arm& arm) {
  cli::BatchOptions options;
  options.csvPath = (ReportFolder() / "summary.csv").string();
  const std::vector<std::string> files{std::string(LEDRIX_SOURCE_DIR) +
                                       "/examples/late-filed-return.json"};
  std::ostringstream out, err;
  arm();  // the summary is written on this thread, the returns computed on others
  try {
    cli::RunBatch(files, options, out, err);
    return "";
  } catch (const cli::OutputError& error) {
    return error.what();
  }
}

struct Rewrite {
  const char* name;
  fs::path target;
  std::string (*run)(const Arm& arm);
  std::string toldBefore;  // what the command says before the reason
};

struct Fault {
  const char* name;
  Arm arm;
  const char* message;
  bool newContentInPlace;  // the fault came after the rename
};

// Empty folders: no holiday file that a computation would rewrite first.
void EmptyFolders() {
  for (const fs::path& folder : {LibraryFolder(), ReportFolder()}) {
    fs::remove_all(folder);
    fs::create_directories(folder);
  }
}

class RewriteFaultTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("LEDRIX_FIXED_NOW", "2006-02-01T09:30", 1);  // the same report every time
    EmptyFolders();
  }
  void TearDown() override {
    platform::ClearRewriteFaults();
    unsetenv("LEDRIX_FIXED_NOW");
  }
};

TEST_F(RewriteFaultTest, EveryFaultLeavesTheFileWholeAndSaysWhy) {
  const std::string reportPath = (ReportFolder() / "detail.rpt").string();
  const std::string summaryPath = (ReportFolder() / "summary.csv").string();
  const Rewrite rewrites[] = {
      {"holiday file", LibraryFolder() / Holiday::FileName, SaveHolidays, ""},
      {"rate file", LibraryFolder() / RateTable::FileName, SaveRates, ""},
      {"report -o", reportPath, WriteReport, "cannot write the report to " + reportPath + ": "},
      {"batch --csv", summaryPath, WriteBatchSummary, "cannot write " + summaryPath + ": "},
      {"statistics file", ReportFolder() / "runs.tsv", AppendStatistics, ""},
  };
  const std::string kept = "; the file was left as it was";
  const Fault faults[] = {
      {"open", [] { platform::InjectRewriteFault(RewriteStep::Open, EACCES); },
       "Permission denied (creating a new file in its folder)", false},
      {"write", [] { platform::InjectRewriteFault(RewriteStep::Write, EIO); },
       "Input/output error (writing the new content)", false},
      {"disk full", [] { platform::InjectShortWrite(10); },
       "No space left on device (writing the new content)", false},
      {"fsync", [] { platform::InjectRewriteFault(RewriteStep::Sync, EIO); },
       "Input/output error (flushing the new content to disk)", false},
      {"rename", [] { platform::InjectRewriteFault(RewriteStep::Rename, EROFS); },
       "Read-only file system (putting the new file in place)", false},
      {"folder fsync", [] { platform::InjectRewriteFault(RewriteStep::Sync, EIO, 1); },
       "Input/output error (flushing its folder to disk); the new content is in place but may "
       "not survive a power failure",
       true},
  };
  const std::string earlier = "the user's earlier file";
  for (const Rewrite& rewrite : rewrites) {
    for (const Fault& fault : faults) {
      SCOPED_TRACE(std::string(rewrite.name) + ", " + fault.name);
      EmptyFolders();
      std::ofstream(rewrite.target, std::ios::binary | std::ios::trunc) << earlier;
      const std::string told = rewrite.run(fault.arm);
      EXPECT_EQ(told, rewrite.toldBefore + fault.message + (fault.newContentInPlace ? "" : kept));
      const std::string left = ReadAll(rewrite.target);
      EXPECT_EQ(FilesIn(rewrite.target.parent_path()), 1);
      // Each fault strikes once: the same rewrite then succeeds.
      EXPECT_EQ(rewrite.run([] {}), "");
      const std::string written = ReadAll(rewrite.target);
      EXPECT_NE(written, earlier);
      if (fault.newContentInPlace) {
        EXPECT_EQ(written.rfind(left, 0), 0u);  // as written (the statistics then grow)
      } else {
        EXPECT_EQ(left, earlier);
      }
    }
  }
}

// A fault armed on one thread touches none of another's rewrites, even while
// it waits; the library runs from worker threads.
TEST_F(RewriteFaultTest, FaultsBelongToTheThreadThatArmsThem) {
  const fs::path mine = ReportFolder() / "mine", theirs = ReportFolder() / "theirs";
  std::promise<void> armed, othersDone;
  std::thread faulty([&] {
    platform::InjectRewriteFault(RewriteStep::Write, EIO);
    armed.set_value();
    othersDone.get_future().wait();
    EXPECT_FALSE(platform::WriteFileAtomically(theirs, "x", 1));
    EXPECT_EQ(LastFileError(),
              "Input/output error (writing the new content); the file was left as it was");
  });
  armed.get_future().wait();
  EXPECT_TRUE(platform::WriteFileAtomically(mine, "y", 1));
  EXPECT_EQ(LastFileError(), "");
  othersDone.set_value();
  faulty.join();
  EXPECT_EQ(ReadAll(mine), "y");
  EXPECT_FALSE(fs::exists(theirs));
  EXPECT_EQ(FilesIn(ReportFolder()), 1);
}

// Appends from several threads queue on the folder's lock: every run's lines
// are there, under one header. (The company's name fills its whole field,
// with no NUL to end it.)
TEST_F(RewriteFaultTest, ConcurrentStatisticsLoseNoLines) {
  const fs::path path = ReportFolder() / "runs.tsv";
  Company company;
  std::memset(company.Name, 'W', sizeof company.Name);
  std::vector<std::thread> runs;
  for (int t = 0; t < 4; ++t) {
    runs.emplace_back([&path, &company] {
      C941Compute compute;
      compute.Company = &company;
      compute.ClearStats();
      for (int run = 0; run < 5; ++run) compute.ReportStats(path.c_str());
    });
  }
  for (std::thread& run : runs) run.join();
  const std::string text = ReadAll(path);
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1 + 4 * 5 * 258);
  EXPECT_EQ(text.substr(text.find('\n') + 1, 132), std::string(128, 'W') + "\t000");
  EXPECT_EQ(FilesIn(ReportFolder()), 1);
}

}  // namespace
}  // namespace ledrix
