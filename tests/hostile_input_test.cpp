// Hostile input: every file of the fuzz corpora (the seeds and each input a
// fuzzer ever found) run again through the fuzz targets' own entry
// functions.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

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

}  // namespace
}  // namespace ledrix
