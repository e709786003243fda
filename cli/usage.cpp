#include "usage.h"

#include <vector>

#include "fields.h"

namespace ledrix::cli {
namespace {

std::vector<std::string> CommandNames(const CLI::App& app) {
  std::vector<std::string> names;
  for (const CLI::App* command : app.get_subcommands([](const CLI::App*) { return true; })) {
    names.push_back(command->get_name());
  }
  return names;
}

bool IsCommand(const CLI::App& app, const std::string& name) {
  for (const std::string& command : CommandNames(app)) {
    if (command == name) return true;
  }
  return false;
}

/// "Run 'ledrix help compute' for its usage."
std::string Hint(const CLI::App& app, const std::string& command) {
  return command.empty() ? "Run '" + app.get_name() + " help' for the commands."
                         : "Run '" + app.get_name() + " help " + command + "' for its usage.";
}

}  // namespace

int ReportUsageError(const CLI::App& app, const CLI::ParseError& error, int argc,
                     const char* const* argv, std::ostream& err) {
  const std::vector<CLI::App*>& given = app.get_subcommands();
  const std::string command = given.empty() ? std::string() : given.front()->get_name();
  std::string problem = given.empty() && argc < 2 ? "a command is required" : error.what();
  // A first word that is neither a command nor an option: name it.
  if (given.empty() && argc > 1 && argv[1][0] != '-' && !IsCommand(app, argv[1])) {
    problem = "unknown command " + Quoted(argv[1]) + DidYouMean(argv[1], CommandNames(app));
  }
  err << app.get_name() << (command.empty() ? "" : " " + command) << ": " << problem << "\n"
      << Hint(app, command) << "\n";
  return kUsageError;
}

int RunHelp(const CLI::App& app, const std::string& topic, std::ostream& out, std::ostream& err) {
  if (topic.empty()) {
    // App::help would show the help of the command parsed, `help` itself.
    out << app.get_formatter()->make_help(&app, app.get_name(), CLI::AppFormatMode::Normal);
    return 0;
  }
  if (!IsCommand(app, topic)) {
    err << app.get_name() << " help: unknown command " << Quoted(topic)
        << DidYouMean(topic, CommandNames(app)) << "\n"
        << Hint(app, "") << "\n";
    return kUsageError;
  }
  out << app.get_subcommand(topic)->help(app.get_name());
  return 0;
}

}  // namespace ledrix::cli
