// Test entry point: every test process gets its own "AppData" folder, so no
// test ever reads or rewrites the user's own holiday or rate file.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  namespace fs = std::filesystem;
  fs::path folder;
  std::random_device rd;
  for (int attempt = 0; attempt < 100 && folder.empty(); ++attempt) {
    const fs::path candidate = fs::temp_directory_path() / ("ledrix-test-" + std::to_string(rd()));
    if (fs::create_directory(candidate)) folder = candidate;
  }
  if (folder.empty()) return 2;
  setenv("AppData", folder.c_str(), 1);
  const int result = RUN_ALL_TESTS();
  std::error_code ec;
  fs::remove_all(folder, ec);
  return result;
}
