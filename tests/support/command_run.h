// Runs the built `ledrix` command as a user does: arguments, standard input
// from a shell pipe, and what comes out on standard output and error with the
// exit status. A test suite of the command derives its fixture from
// CommandRun; without the command (LEDRIX_CLI_PATH unset) every test skips.
#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>

#include "support/returns.h"

#ifndef LEDRIX_CLI_PATH
#define LEDRIX_CLI_PATH ""
#endif

namespace ledrix::testing {

struct Outcome {
  int status = -1;
  std::string out;
  std::string err;
};

class CommandRun : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    dir_ = std::filesystem::temp_directory_path() / ("ledrix-cli-test-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir_);
  }
  static void TearDownTestSuite() { std::filesystem::remove_all(dir_); }

  void SetUp() override {
    if (std::string(LEDRIX_CLI_PATH).empty()) GTEST_SKIP() << "built without the ledrix command";
  }

  /// Runs the command with `args` (already quoted where needed) after the
  /// shell commands of `shell` ("ulimit -f 1;", "cat x |"); a run that hangs
  /// is stopped after two minutes (status 124).
  static Outcome Ledrix(const std::string& args, const std::string& shell = "") {
    const std::filesystem::path out = dir_ / "stdout", err = dir_ / "stderr";
    std::string command = "(" + shell + " timeout 120 '" + LEDRIX_CLI_PATH + "' " + args + ") >'" +
                          out.string() + "' 2>'" + err.string() + "'";
    const int raw = std::system(command.c_str());
    std::stringstream outText, errText;
    outText << std::ifstream(out).rdbuf();
    errText << std::ifstream(err).rdbuf();
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, outText.str(), errText.str()};
  }

  /// `ledrix compute PATH --json [extra]`, which must succeed.
  static nlohmann::json Compute(const std::string& path, const std::string& extra = "") {
    Outcome run = Ledrix("compute '" + path + "' --json " + extra);
    EXPECT_EQ(run.status, 0) << run.err;
    return nlohmann::json::parse(run.out);
  }

  /// Writes `text` to the file `name` of the suite's folder; its path.
  static std::string Write(const std::string& name, const std::string& text) {
    std::filesystem::path path = dir_ / name;
    std::ofstream(path, std::ios::binary) << text;
    return path.string();
  }

  static std::string Example(const std::string& name) {
    return std::string(LEDRIX_SOURCE_DIR) + "/examples/" + name;
  }

  static std::string Data(const std::string& name) { return DataText(name); }
  inline static std::filesystem::path dir_;
};

}  // namespace ledrix::testing
