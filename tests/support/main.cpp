// Test entry point: every test process gets its own per-user folder, so no
// test ever reads or rewrites the user's own holiday or rate file.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "support/test_folder.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  ledrix::testing::TempAppData appData;  // removed again at exit
  return RUN_ALL_TESTS();
}
