// `ledrix report KIND RETURN.json [--raw] [-o FILE]`: computes the return as
// `compute` does and writes one report of the library's report generator.
//
// The generator writes through a descriptor of its own, a pipe the command
// reads; the command then compares the bytes that arrived with the
// generator's BytesWritten and puts them out: as they are with --raw (lines
// ended by NUL bytes), else each line followed by a newline. With -o the
// file is replaced through a temporary file, a flush to disk and a rename, so
// a failed run leaves the old file (or none) behind.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

#include "run_return.h"

namespace ledrix::cli {

/// The report could not be put out whole and flushed to disk; the message
/// says why and what became of the file.
class OutputError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct ReportOptions {
  std::string kind;
  std::string returnPath;
  bool raw = false;
  std::string output;  ///< empty: standard output
};

/// The report kinds, in the order the usage lists them.
std::vector<std::string> ReportKinds();

/// Fills the generator's fields from the computed return and its file's
/// "report" object. The generator points into `result`, which must outlive it.
void SetUpGenerator(CReportGenerator& generator, ComputedReturn& result);

/// Runs report `kind` of the generator on `fd`; the IRS-format parts take
/// their title and margin strings from `settings`.
void GenerateReport(CReportGenerator& generator, const std::string& kind, int fd,
                    const ReportSettings& settings = {});

/// The report's bytes as the generator wrote them. OutputError when what
/// arrived differs from the generator's BytesWritten.
std::string ReportBytes(CReportGenerator& generator, const std::string& kind,
                        const ReportSettings& settings = {});

/// Lines ended by NUL bytes as text: each NUL becomes a newline.
std::string PrintableLines(std::string bytes);

/// The whole command; OutputError when the report could not be put out whole.
void RunReport(const ReportOptions& options);

}  // namespace ledrix::cli
