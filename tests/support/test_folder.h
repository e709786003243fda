// A temporary "AppData" folder for tests: set for the life of the object,
// removed (with everything in it) afterwards, the previous value restored.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace ledrix::testing {

class TempAppData {
 public:
  TempAppData();
  ~TempAppData();
  TempAppData(const TempAppData&) = delete;
  TempAppData& operator=(const TempAppData&) = delete;

  /// The AppData folder itself.
  const std::filesystem::path& Root() const { return root_; }
  /// The folder the library keeps its files in (created).
  std::filesystem::path LibraryFolder() const;

 private:
  std::filesystem::path root_;
  std::optional<std::string> previous_;
};

}  // namespace ledrix::testing
