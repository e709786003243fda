// How the command answers a mistake in its arguments and a request for help:
// a usage error is one line naming the command and the fault, and a hint
// where to read more (exit 64); `ledrix help [COMMAND]` prints the help of
// the whole command or of one command.
#pragma once

#include <CLI/CLI.hpp>
#include <ostream>
#include <string>

namespace ledrix::cli {

constexpr int kUsageError = 64;

/// Writes the usage error of a failed parse of `argv` to `err` and returns
/// the exit status, 64.
int ReportUsageError(const CLI::App& app, const CLI::ParseError& error, int argc,
                     const char* const* argv, std::ostream& err);

/// `ledrix help [COMMAND]`: the help of `topic` (empty: every command) to
/// `out`; a name that is no command is a usage error.
int RunHelp(const CLI::App& app, const std::string& topic, std::ostream& out, std::ostream& err);

}  // namespace ledrix::cli
