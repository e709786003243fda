// `ledrix batch`: a folder of good and bad return files in order, the CSV
// against the bundled examples, and generated returns of every form computed
// on four threads against each computed alone (the ThreadSanitizer build
// runs this file: label "threads").
#include "batch.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "json_output.h"
#include "support/generated_return_files.h"

#ifndef LEDRIX_CLI_PATH
#define LEDRIX_CLI_PATH ""
#endif

namespace {

namespace fs = std::filesystem;
using namespace ledrix::cli;

struct BatchRun {
  std::string table, messages, csv, jsonl;
  BatchCounts counts;
};

class BatchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("ledrix-batch-test-" + std::to_string(::getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::string Write(const std::string& name, const std::string& text) {
    const fs::path path = dir_ / name;
    fs::create_directories(path.parent_path());
    std::ofstream(path) << text;
    return path.string();
  }

  static std::string Read(const fs::path& path) {
    std::stringstream text;
    text << std::ifstream(path).rdbuf();
    return text.str();
  }

  /// Runs the batch over `files` on `jobs` threads, with the CSV and JSON
  /// lines written beside the returns.
  BatchRun Run(const std::vector<std::string>& files, unsigned jobs) {
    BatchOptions options;
    options.jobs = jobs;
    options.csvPath = (dir_ / "summary.csv").string();
    options.jsonlPath = (dir_ / "results.jsonl").string();
    std::ostringstream out, err;
    BatchRun run;
    run.counts = RunBatch(files, options, out, err);
    run.table = out.str();
    run.messages = err.str();
    run.csv = Read(options.csvPath);
    run.jsonl = Read(options.jsonlPath);
    return run;
  }

  fs::path dir_;
};

/// Removes every occurrence of `prefix` from `text`.
std::string WithoutPrefix(std::string text, const std::string& prefix) {
  for (size_t at; (at = text.find(prefix)) != std::string::npos;) text.erase(at, prefix.size());
  return text;
}

TEST_F(BatchTest, FolderOfGoodAndBadFilesKeepsOrderAndNamesEachFailure) {
  const std::string good = Read(std::string(LEDRIX_SOURCE_DIR) + "/examples/monthly-on-time.json");
  Write("a-good.json", good);
  Write("b-not-json.json", "{\"form\": ");
  std::string badDate = good;
  badDate.replace(badDate.find("2005-06-30"), 10, "2005-02-30");
  Write("c-bad-date.json", badDate);
  Write("notes.txt", "not a return");
  Write("sub/d-good.json", good);
  const std::string top = dir_.string();

  struct Case {
    bool recursive;
    std::vector<std::string> names;
  };
  for (const Case& c :
       {Case{false, {"a-good.json", "b-not-json.json", "c-bad-date.json"}},
        Case{true, {"a-good.json", "b-not-json.json", "c-bad-date.json", "sub/d-good.json"}}}) {
    std::vector<std::string> expected;
    for (const std::string& name : c.names) expected.push_back(top + "/" + name);
    EXPECT_EQ(BatchFiles({top}, c.recursive), expected);
  }
  // A file named before the folder stays first; the batch goes on past the bad files.
  const BatchRun run = Run(BatchFiles({top + "/sub/d-good.json", top}, false), 2);
  EXPECT_EQ(run.counts.returns, 4u);
  EXPECT_EQ(run.counts.failed, 2u);
  // Each failure on a line of its own, in input order, naming the file and the problem.
  const std::string messages = WithoutPrefix(run.messages, top + "/");
  const std::string badDateLine =
      "ledrix: c-bad-date.json: event 8: date: \"2005-02-30\" is not a calendar date\n";
  EXPECT_EQ(messages.rfind("ledrix: b-not-json.json: not a JSON document: ", 0), 0u) << messages;
  EXPECT_EQ(messages.substr(messages.find('\n') + 1), badDateLine);
  std::vector<std::string> files;
  std::istringstream lines(run.csv);
  for (std::string line; std::getline(lines, line);)
    files.push_back(line.substr(0, line.find(',')));
  EXPECT_EQ(files, (std::vector<std::string>{"file", top + "/sub/d-good.json", top + "/a-good.json",
                                             top + "/b-not-json.json", top + "/c-bad-date.json"}));
  EXPECT_NE(run.table.find("4 returns: 2 computed, 2 failed."), std::string::npos) << run.table;
  EXPECT_THROW(BatchFiles({top + "/missing"}, false), InputError);

  if (std::string(LEDRIX_CLI_PATH).empty()) return;
  for (const auto& [args, status] : std::vector<std::pair<std::string, int>>{
           {"'" + top + "/sub'", 0}, {"'" + top + "'", 2}, {"'" + top + "/notes.txt' -j 0", 64}}) {
    const std::string command = "'" LEDRIX_CLI_PATH "' batch " + args + " >/dev/null 2>&1";
    const int raw = std::system(command.c_str());
    EXPECT_EQ(WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, status) << args;
  }
}

// The bundled examples, whose key figures the command's own tests work out
// by hand: the CSV holds the same figures.
TEST_F(BatchTest, CsvOfTheExamples) {
  const std::string examples = std::string(LEDRIX_SOURCE_DIR) + "/examples";
  const BatchRun run = Run(BatchFiles({examples}, false), 2);
  EXPECT_EQ(run.counts.failed, 0u);
  EXPECT_EQ(WithoutPrefix(run.csv, std::string(LEDRIX_SOURCE_DIR) + "/"),
            Read(std::string(LEDRIX_SOURCE_DIR) + "/tests/data/batch/examples.csv"));
}

// Generated returns of every form on one and on four threads: identical
// bytes, and each JSON line the same as the return computed alone.
TEST_F(BatchTest, FourThreadsGiveWhatEachReturnGivesAlone) {
  std::mt19937 rng(16);
  std::vector<std::string> files;
  for (int i = 0; i < 40; ++i) {
    files.push_back(Write("r" + std::to_string(100 + i) + ".json",
                          ledrix::testing::GenerateReturnFile(rng, i)));
  }
  const BatchRun four = Run(files, 4);
  const BatchRun one = Run(files, 1);
  EXPECT_EQ(four.counts.failed, 0u) << four.messages;
  EXPECT_EQ(four.table, one.table);
  EXPECT_EQ(four.csv, one.csv);
  EXPECT_EQ(four.jsonl, one.jsonl);

  std::istringstream lines(four.jsonl);
  for (const std::string& path : files) {
    std::string line;
    ASSERT_TRUE(std::getline(lines, line));
    ReturnFile file = LoadReturn(path);
    const ComputedReturn alone = ComputeReturn(file);
    nlohmann::ordered_json expected = {{"file", path}, {"result", ResultJson(alone)}};
    EXPECT_EQ(line, expected.dump()) << path;
  }
}

}  // namespace
