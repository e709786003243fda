// A libFuzzer executable: LEDRIX_FUZZ_TARGET names the entry function it
// drives. A broken check aborts, so libFuzzer keeps the input as a finding.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "ledrix/platform.h"
#include "targets.h"

namespace {

// The holiday and rate files the targets write go to a folder of their own
// (the script's, or a new temporary one), never the user's; the clock is
// pinned so that a finding repeats.
void PrepareProcess() {
  if (const char* appData = std::getenv("AppData"); !appData || !*appData) {
    std::string folder = (std::filesystem::temp_directory_path() / "ledrix-fuzz-XXXXXX").string();
    if (!mkdtemp(folder.data())) std::abort();
    setenv("AppData", folder.c_str(), 1);
  }
  setenv("LEDRIX_FIXED_NOW", "2006-02-01T09:30", 0);
  ledrix::SetNotificationSink([](const std::string&) {});
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  PrepareProcess();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const ledrix::fuzz::Target* target = ledrix::fuzz::FindTarget(LEDRIX_FUZZ_TARGET);
  if (!target) std::abort();
  const std::string broken = target->run({reinterpret_cast<const char*>(data), size});
  if (!broken.empty()) {
    std::fprintf(stderr, "%s: %s\n", LEDRIX_FUZZ_TARGET, broken.c_str());
    std::abort();
  }
  return 0;
}
