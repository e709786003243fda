// `ledrix batch`: many return files computed on a pool of worker threads,
// written as one summary in the order the files were named, whatever order
// the threads finish in.
#pragma once

#include <cstddef>
#include <ostream>
#include <string>
#include <vector>

namespace ledrix::cli {

struct BatchOptions {
  std::vector<std::string> paths;  ///< return files and folders
  bool recursive = false;          ///< also the folders inside the folders named
  unsigned jobs = 0;               ///< worker threads; 0: one per core
  std::string csvPath;             ///< the summary as CSV, when named
  std::string jsonlPath;           ///< each return's whole JSON result, one a line
  bool progress = false;           ///< a progress bar on the error stream
};

/// What a batch did, and where its workers' time went (summed over the
/// threads, in nanoseconds).
struct BatchCounts {
  std::size_t returns = 0;
  std::size_t failed = 0;
  long long readingNs = 0;    ///< reading and checking the return files
  long long computingNs = 0;  ///< computing the returns
  long long writingNs = 0;    ///< making the summary rows and JSON lines
};

/// The return files of `paths` in the order given: a file as named, a
/// folder's *.json files sorted by name (and those of the folders inside it,
/// each in its place in the sort, with `recursive`). InputError for a path
/// that is neither a file nor a folder.
std::vector<std::string> BatchFiles(const std::vector<std::string>& paths, bool recursive);

/// Computes every return of `files`: the table on `out`; each failed file
/// ("ledrix: <path>: <problem>") and the progress bar on `err`; the CSV and
/// JSON-lines files (replaced whole once the batch is done). OutputError
/// when one of those files cannot be written.
BatchCounts RunBatch(const std::vector<std::string>& files, const BatchOptions& options,
                     std::ostream& out, std::ostream& err);

}  // namespace ledrix::cli
