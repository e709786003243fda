// Hostile input: every file of the fuzz corpora (the seeds and each input a
// fuzzer ever found) run again through the fuzz targets' own entry
// functions, and input at each limit of size. (The limits' costs are
// measured in bench/limits_bench.cpp.)
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>

#include "csv_events.h"
#include "return_file.h"
#include "run_return.h"
#include "targets.h"

namespace ledrix {
namespace {

namespace fs = std::filesystem;

class CorpusReplay : public ::testing::TestWithParam<fuzz::Target> {};

TEST_P(CorpusReplay, EveryInputRunsClean) {
  const fs::path corpus = fs::path(LEDRIX_SOURCE_DIR) / "tests" / "fuzz" / GetParam().name;
  int inputs = 0;
  for (const fs::directory_entry& file : fs::directory_iterator(corpus)) {
    std::ifstream in(file.path(), std::ios::binary);
    const std::string bytes(std::istreambuf_iterator<char>(in), {});
    EXPECT_EQ(GetParam().run(bytes), "") << file.path();
    ++inputs;
  }
  EXPECT_GT(inputs, 0) << corpus;
}

INSTANTIATE_TEST_SUITE_P(Fuzz, CorpusReplay, ::testing::ValuesIn(fuzz::Targets()),
                         [](const auto& info) { return std::string(info.param.name); });

/// A semi-weekly Form 941 return for 2005 Q1, computed by the IRS rule, with
/// `events` (a JSON list) and the members `more`.
std::string Return(const std::string& events, const std::string& more = "") {
  return R"({"form": "941", "period": "2005Q1", "schedule": "semiweekly", )"
         R"("compute_date": "2005-12-31", "allocation": "irs", )" +
         more + R"("events": )" + events + "}";
}

std::string Repeated(const std::string& text, int times) {
  std::string out;
  for (int i = 0; i < times; ++i) out += text;
  return out;
}

/// "" when `run` gave a result, else the message of the input error.
std::string Outcome(const std::function<void()>& run) {
  try {
    run();
    return "";
  } catch (const cli::InputError& error) {
    return error.what();
  }
}

// The largest return: 1,463 events (the list's 1,464 records less the one
// that ends it), each of the largest amount. 732 liabilities (the even
// events) of 999,999,999,999.00 make 731,999,999,999,268.00, exact in a
// double.
void ComputeLargestReturn() {
  std::string events;
  for (int i = 0; i < MaxEvents - 1; ++i) {
    char event[96];
    std::snprintf(event, sizeof event, R"(%s{"type": "%s", "date": "2005-%s", "amount": %.0f})",
                  i ? ", " : "", i % 2 ? "DEPOSIT" : "LIABILITY",
                  (i % 3 == 0   ? "01-31"
                   : i % 3 == 1 ? "02-15"
                                : "03-31"),
                  cli::MaxAmount);
    events += event;
  }
  cli::ReturnFile file = cli::ParseReturn(Return("[" + events + "]"), "big.json");
  const cli::ComputedReturn result = cli::ComputeReturn(file);
  EXPECT_EQ(file.eventCount, 1463);
  EXPECT_EQ(result.compute->GetLiabilityTotal(), 731999999999268.0);
  EXPECT_TRUE(std::isfinite(result.compute->GetPenalty()));
}

void ParseOnly(const std::string& text) {
  cli::ParseReturn(text, "big.json");
}

void AddCsv(const std::string& csv) {
  cli::ReturnFile file = cli::ParseReturn(Return("[]"), "big.json");
  cli::AppendCsvEvents(file, csv, "big.csv");
}

// A file of 100 MB, sparse so that the test writes nothing, is refused
// before it is read.
void ReadHundredMegabytes() {
  const auto path = fs::path(std::getenv("AppData")) / "big.csv";
  std::ofstream{path};
  fs::resize_file(path, 100 << 20);
  const auto remove = [&path] { fs::remove(path); };
  try {
    cli::ReadTextFile(path.string());
  } catch (...) {
    remove();
    throw;
  }
  remove();
}

// Each limit gives a result or an error that names it, at the size of the
// limit and past it.
TEST(HostileSize, ResultOrClearErrorAtEachLimit) {
  const std::string amount = R"({"type": "DEPOSIT", "date": "2005-01-20", "amount": )";
  const std::string notes = R"("description": )";  // a note: any JSON
  const struct {
    const char* name;
    std::function<void()> run;
    std::string error;
  } cases[] = {
      {"most events, largest amounts", ComputeLargestReturn, ""},
      {"largest double", [&] { ParseOnly(Return("[" + amount + "1.7976931348623157e308}]")); },
       "big.json: event 1: amount: beyond the largest amount, 999,999,999,999.00"},
      {"smallest double", [&] { ParseOnly(Return("[" + amount + "4.9e-324}]")); }, ""},
      {"company name of 10,000",
       [] {
         ParseOnly(Return("[]", R"("company": {"name": ")" + std::string(10000, 'N') + R"("}, )"));
       },
       "big.json: company.name: longer than 127 characters"},
      {"nested 100 deep",
       [&] { ParseOnly(Return("[]", notes + Repeated("[", 99) + Repeated("]", 99) + ", ")); }, ""},
      {"nested 10,000 deep",
       [&] { ParseOnly(Return("[]", notes + Repeated("[", 10000) + Repeated("]", 10000) + ", ")); },
       "big.json: description: nested deeper than 100 levels"},
      {"70,000 values",
       [&] { ParseOnly(Return("[]", notes + "[" + Repeated("0,", 70000) + "0], ")); },
       "big.json: description: more than 65536 values (a return of 1463 events has about 6000)"},
      {"100,000 fields", [] { AddCsv("date,type,amount\n" + std::string(100000, ',')); },
       "big.csv: line 2, column 4: expected 3 fields (date,type,amount), found 100001; an amount "
       "with a thousands separator goes in quotes, as \"1,000.00\""},
      {"header of 100,000", [] { AddCsv(std::string(100000, 'h')); },
       "big.csv: line 1, column 1: expected the header line \"date,type,amount\" (the columns in "
       "any order), found \"" +
           std::string(60, 'h') + "\"... (100000 characters)"},
      {"file of 100 MB", ReadHundredMegabytes,
       (fs::path(std::getenv("AppData")) / "big.csv").string() +
           ": the file is 104857600 bytes, more than the 4194304 bytes (4 MB) an input may have"},
  };
  for (const auto& c : cases) EXPECT_EQ(Outcome(c.run), c.error) << c.name;
}

}  // namespace
}  // namespace ledrix
