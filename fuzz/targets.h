// The fuzz targets' entry functions: one for each input that the library or
// the command reads from outside (the return file, CSV events, date texts,
// the holiday file, the rate file) and one for the report writer's field
// substitution with a hostile host's values. The libFuzzer executables
// (built with -DLEDRIX_FUZZ=ON) and the corpus replay test of the normal
// build call the same functions, so every input the fuzzer found is run again
// by every test run.
#pragma once

#include <span>
#include <string>
#include <string_view>

namespace ledrix::fuzz {

/// Runs one input. A refusal with a clear message is an answer like any
/// other; returns "" when every check held, else the check that broke. A
/// crash, a hang or any exception but the readers' InputError is a finding
/// too.
using Entry = std::string (*)(std::string_view input);

struct Target {
  const char* name;  ///< also the corpus folder under tests/fuzz/
  Entry run;
};

/// Every target.
std::span<const Target> Targets();
/// The target called `name`, or null.
const Target* FindTarget(std::string_view name);

}  // namespace ledrix::fuzz
