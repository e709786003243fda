#include "support/test_folder.h"

#include <cstdlib>
#include <random>
#include <stdexcept>

namespace ledrix::testing {

TempAppData::TempAppData() {
  if (const char* old = std::getenv("AppData")) previous_ = old;
  std::random_device rd;
  auto base = std::filesystem::temp_directory_path();
  for (int attempt = 0; attempt < 100; ++attempt) {
    auto candidate = base / ("ledrix-test-" + std::to_string(rd()));
    if (std::filesystem::create_directory(candidate)) {
      root_ = candidate;
      break;
    }
  }
  if (root_.empty()) throw std::runtime_error("cannot create a temporary AppData folder");
  setenv("AppData", root_.c_str(), 1);
}

TempAppData::~TempAppData() {
  std::error_code ec;
  std::filesystem::remove_all(root_, ec);
  if (previous_) {
    setenv("AppData", previous_->c_str(), 1);
  } else {
    unsetenv("AppData");
  }
}

std::filesystem::path TempAppData::LibraryFolder() const {
  auto folder = root_ / "Ordane Software" / "Ledrix";
  std::filesystem::create_directories(folder);
  return folder;
}

}  // namespace ledrix::testing
