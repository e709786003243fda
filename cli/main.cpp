// ledrix: computes the penalties and interest of a payroll-tax return
// described in a JSON file, and answers calendar questions.
//
//   ledrix compute RETURN.json [--json] [--events FILE.csv] [--allocation NAME] [--stats FILE]
//   ledrix designation RETURN.json [--csv] [--events FILE.csv]
//   ledrix report KIND RETURN.json [--raw] [-o FILE]
//   ledrix predict RETURN.json [--json]
//   ledrix batch PATH... [-r] [--jobs N] [--csv FILE] [--jsonl FILE]
//   ledrix template FORM
//   ledrix holidays YEAR
//   ledrix holidays add-federal FROM[-TO] | add NAME DATE... | remove NAME
//   ledrix rates [set QUARTER RATE | add-known]
//   ledrix due DATE
//   ledrix version | --version
//   ledrix help [COMMAND]
//
// RETURN.json "-" reads the return from standard input.
//
// Warnings (a year the holiday calendar does not hold, a quarter without a
// rate) go to standard error, each naming the command that fixes it.
//
// Exit status: 0 done, 2 bad input (nothing is printed on standard output;
// for batch, any return that failed, the others being in the table),
// 64 a usage error, 74 a report that could not be written whole (no file is
// left behind).
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <csignal>
#include <cstdlib>
#include <iostream>
#include <sstream>
#include <string>

#include "batch.h"
#include "calendar_commands.h"
#include "csv_events.h"
#include "designation.h"
#include "holiday_entries.h"
#include "json_output.h"
#include "predict_command.h"
#include "rates.h"
#include "report_command.h"
#include "return_file.h"
#include "run_return.h"
#include "template_command.h"
#include "text_summary.h"
#include "usage.h"
#include "warnings.h"

namespace {

using namespace ledrix::cli;

constexpr int kBadInput = 2;
constexpr int kInternalError = 70;
constexpr int kOutputError = 74;

constexpr const char* kFooter =
    "A return file is described in docs/return-file.md, the --json result in docs/result.md; "
    "RETURN.json - reads standard input.\n"
    "Exit status: 0 done, 2 bad input (nothing on standard output), 64 a usage error, 74 a "
    "report that could not be written whole.";

/// The last year the calendar reaches.
int LastCalendarYear() {
  return ledrix::Date::FromSerial(ledrix::Date::LastSerial).Year() + 1900;
}

struct ComputeOptions {
  std::string returnPath;
  std::string eventsPath;
  std::string allocation;
  std::string statsPath;
  bool json = false;
  bool csv = false;  ///< designation: as CSV
};

/// The return file with the events of the CSV file, if one was given.
ReturnFile LoadReturnAndEvents(const ComputeOptions& options) {
  if (options.returnPath == kStandardInput && options.eventsPath == kStandardInput) {
    throw InputError("standard input: the return and the events cannot both come from it");
  }
  ReturnFile file = LoadReturn(options.returnPath);
  if (!options.eventsPath.empty()) {
    AppendCsvEvents(file, ReadTextFile(options.eventsPath), InputName(options.eventsPath));
  }
  return file;
}

int RunCompute(const ComputeOptions& options) {
  ReturnFile file = LoadReturnAndEvents(options);
  if (!options.allocation.empty())
    file.settings.allocationFlags = FindAllocation(options.allocation);
  ComputedReturn result = ComputeReturn(file);
  // Statistics that cannot be appended do not stop the computation.
  if (!options.statsPath.empty() && !AppendRunStatistics(result, options.statsPath)) {
    result.warnings.push_back("the statistics could not be appended to " + options.statsPath +
                              ": " + ledrix::LastFileError());
  }
  // The whole output is made before any of it is written.
  std::ostringstream out;
  if (options.json) {
    out << ResultJson(result).dump(2) << "\n";
  } else {
    WriteSummary(out, result);
  }
  std::cout << out.str();
  WriteWarnings(std::cerr, result.warnings);
  return 0;
}

/// A batch's exit status: 2 when any return failed (each named on standard
/// error), 0 when all were computed.
int RunBatchCommand(BatchOptions options) {
  const std::vector<std::string> files = BatchFiles(options.paths, options.recursive);
  if (files.empty()) throw InputError("no *.json return files in the paths given");
  options.progress = ::isatty(STDERR_FILENO) != 0;
  const BatchCounts counts = RunBatch(files, options, std::cout, std::cerr);
  return counts.failed ? kBadInput : 0;
}

/// The designation always comes from the search, whatever the file asks.
int RunDesignation(const ComputeOptions& options) {
  ReturnFile file = LoadReturnAndEvents(options);
  file.settings.allocationFlags = FindAllocation("best");
  const ComputedReturn result = ComputeReturn(file);
  const Designation designation = MakeDesignation(result);
  std::ostringstream out;
  if (options.csv) {
    WriteDesignationCsv(out, designation);
    if (designation.IrsRuleCheapest()) {
      std::cerr << "ledrix: the IRS rule is already the cheapest allocation: there is nothing "
                   "to designate\n";
    }
  } else {
    WriteDesignation(out, designation);
  }
  std::cout << out.str();
  WriteWarnings(std::cerr, result.warnings);
  return 0;
}

struct PredictOptions {
  std::string returnPath;
  bool json = false;
};

int RunPredict(const PredictOptions& options) {
  ReturnFile file = LoadReturn(options.returnPath);
  ComputedReturn result = ComputeReturn(file);
  const Prediction prediction = Predict(result);
  std::ostringstream out;
  if (options.json) {
    out << PredictionJson(result, prediction).dump(2) << "\n";
  } else {
    WritePrediction(out, result, prediction);
  }
  std::cout << out.str();
  WriteWarnings(std::cerr, result.warnings);
  return 0;
}

void WriteLines(const std::vector<std::string>& lines) {
  for (const std::string& line : lines) std::cout << line << "\n";
}

/// A date on the command line: ISO "2005-06-15", or "6/15/05" and the other
/// forms the library reads.
ledrix::Date CommandDate(const std::string& text) {
  ledrix::Date date;
  if (ReadIsoDate(text, date) == DateCheck::Ok) return date;
  date.Parse(text.c_str());
  return date;
}

/// Checks a command-line date: empty when it is one, else the problem.
std::string CheckCommandDate(std::string& text) {
  return CommandDate(text).IsValid() ? std::string() : Quoted(text) + " is not a supported date";
}

/// The library keeps its holiday and rate files under "AppData"; where that is
/// not set, use the user's data folder.
void DefaultUserFolder() {
  if (std::getenv("AppData")) return;
  if (const char* data = std::getenv("XDG_DATA_HOME"); data && *data) {
    setenv("AppData", data, 0);
  } else if (const char* home = std::getenv("HOME"); home && *home) {
    setenv("AppData", (std::string(home) + "/.local/share").c_str(), 0);
  }
}

}  // namespace

int main(int argc, char** argv) {
  CLI::App app{"Ledrix: the penalties and interest of a US payroll-tax return", "ledrix"};
  app.require_subcommand(1);
  app.footer(kFooter);
  app.set_version_flag("--version", std::string(ledrix::VersionText()), "print the version");

  ComputeOptions compute;
  CLI::App* computeCommand = app.add_subcommand("compute", "compute a return file");
  computeCommand->add_option("RETURN", compute.returnPath, "the return, a JSON file")->required();
  computeCommand->add_flag("--json", compute.json, "print the whole result as JSON");
  computeCommand->add_option("--events", compute.eventsPath,
                             "more events from a CSV file with the header date,type,amount");
  computeCommand
      ->add_option("--allocation", compute.allocation, "override the file's allocation choice")
      ->check(CLI::IsMember(AllocationNames()));
  computeCommand->add_option("--stats", compute.statsPath,
                             "run the allocation methods one at a time and append their "
                             "statistics to FILE (tab-separated)");

  ComputeOptions designation;
  CLI::App* designationCommand =
      app.add_subcommand("designation",
                         "the deposits to designate to the IRS, from the search for the cheapest "
                         "allocation, and what it saves");
  designationCommand->add_option("RETURN", designation.returnPath, "the return, a JSON file")
      ->required();
  designationCommand->add_flag("--csv", designation.csv, "as CSV, one line a part of a deposit");
  designationCommand->add_option("--events", designation.eventsPath,
                                 "more events from a CSV file with the header date,type,amount");

  ReportOptions report;
  CLI::App* reportCommand =
      app.add_subcommand("report", "write one report of a return file (computed as by compute)");
  reportCommand->add_option("KIND", report.kind, "the report")
      ->required()
      ->check(CLI::IsMember(ReportKinds()));
  reportCommand->add_option("RETURN", report.returnPath, "the return, a JSON file")->required();
  reportCommand->add_flag("--raw", report.raw,
                          "the file's exact bytes: each line ended by a NUL, no newlines");
  reportCommand->add_option("-o,--output", report.output,
                            "write to FILE (replaced whole, or left as it was) instead of "
                            "standard output");

  BatchOptions batch;
  CLI::App* batchCommand = app.add_subcommand(
      "batch", "compute many return files on several threads and summarize them in one table");
  batchCommand->add_option("PATH", batch.paths, "return files, and folders of *.json return files")
      ->required();
  batchCommand->add_flag("-r,--recursive", batch.recursive, "also the folders inside the folders");
  batchCommand->add_option("-j,--jobs", batch.jobs, "worker threads (default: one per core)")
      ->check(CLI::Range(1, 256));
  batchCommand->add_option("--csv", batch.csvPath, "also write the summary as CSV to FILE");
  batchCommand->add_option("--jsonl", batch.jsonlPath,
                           "write each return's whole --json result to FILE, one a line");

  PredictOptions predict;
  CLI::App* predictCommand = app.add_subcommand(
      "predict", "what must still be deposited, and by when (the deposit predictor)");
  predictCommand->add_option("RETURN", predict.returnPath, "the return, a JSON file")->required();
  predictCommand->add_flag("--json", predict.json, "print the predictor's rows as JSON");

  int year = 0;
  CLI::App* holidaysCommand = app.add_subcommand(
      "holidays", "list the legal holidays of a year, or manage the holiday file");
  CLI::Option* yearOption =
      holidaysCommand->add_option("YEAR", year, "1980 to " + std::to_string(LastCalendarYear()))
          ->check(CLI::Range(1980, LastCalendarYear()));
  holidaysCommand->require_subcommand(0, 1);
  std::string federalYears;
  CLI::App* addFederalCommand = holidaysCommand->add_subcommand(
      "add-federal", "write the DC legal holidays of the years, which govern federal tax deposits");
  addFederalCommand->add_option("YEARS", federalYears, "FROM or FROM-TO, 2025 to 2099")->required();
  std::string entryName;
  std::vector<std::string> entryDates;
  CLI::App* addCommand = holidaysCommand->add_subcommand(
      "add", "add days of your own to an entry of the holiday file");
  addCommand->add_option("NAME", entryName, "the entry's name, up to 40 characters")->required();
  addCommand->add_option("DATE", entryDates, "YYYY-MM-DD")
      ->required()
      ->check(CLI::Validator(CheckCommandDate, "DATE"));
  CLI::App* removeCommand =
      holidaysCommand->add_subcommand("remove", "remove an entry from the holiday file");
  removeCommand->add_option("NAME", entryName, "the entry's name")->required();

  CLI::App* ratesCommand =
      app.add_subcommand("rates", "list the IRS interest rate of every quarter, or set rates");
  ratesCommand->require_subcommand(0, 1);
  std::string rateQuarter, ratePercent;
  CLI::App* setRateCommand = ratesCommand->add_subcommand("set", "set the rate of a quarter");
  setRateCommand->add_option("QUARTER", rateQuarter, "YYYYQn, as 2025Q1")->required();
  setRateCommand->add_option("RATE", ratePercent, "percent a year, as 7")->required();
  CLI::App* addKnownCommand = ratesCommand->add_subcommand(
      "add-known", "write the published IRS underpayment rates into the rate file");

  std::string dateText;
  CLI::App* dueCommand = app.add_subcommand("due", "show the deposit due dates of a date");
  dueCommand->add_option("DATE", dateText, "YYYY-MM-DD")
      ->required()
      ->check(CLI::Validator(CheckCommandDate, "DATE"));

  std::string formName;
  CLI::App* templateCommand =
      app.add_subcommand("template", "print a starter return file of a form, every field in it");
  templateCommand->add_option("FORM", formName, "941, 944, 943, 945 or 940")
      ->required()
      ->check(CLI::IsMember({"941", "944", "943", "945", "940"}));

  CLI::App* versionCommand = app.add_subcommand("version", "print the library version");

  std::string helpTopic;
  CLI::App* helpCommand = app.add_subcommand("help", "the usage of the command or of COMMAND");
  helpCommand->add_option("COMMAND", helpTopic, "a command");

  try {
    app.parse(argc, argv);
    if (*holidaysCommand && holidaysCommand->get_subcommands().empty() && !*yearOption) {
      throw CLI::RequiredError("YEAR");
    }
  } catch (const CLI::ParseError& error) {
    if (error.get_exit_code() == static_cast<int>(CLI::ExitCodes::Success)) return app.exit(error);
    return ReportUsageError(app, error, argc, argv, std::cerr);
  }
  if (*helpCommand) return RunHelp(app, helpTopic, std::cout, std::cerr);

  DefaultUserFolder();
  // A file-size limit makes a write fail rather than end the process, so a
  // report that does not fit leaves nothing behind.
  std::signal(SIGXFSZ, SIG_IGN);
  try {
    if (*computeCommand) return RunCompute(compute);
    if (*designationCommand) return RunDesignation(designation);
    if (*predictCommand) return RunPredict(predict);
    if (*batchCommand) return RunBatchCommand(batch);
    if (*reportCommand) {
      RunReport(report);
      return 0;
    }
    if (*addFederalCommand) {
      WriteLines(AddFederalHolidays(federalYears));
    } else if (*addCommand) {
      std::vector<ledrix::Date> dates;
      for (const std::string& text : entryDates) dates.push_back(CommandDate(text));
      WriteLines(AddHolidays(entryName, dates));
    } else if (*removeCommand) {
      WriteLines(RemoveHolidays(entryName));
    } else if (*holidaysCommand) {
      WriteLines(HolidayLines(year));
    } else if (*setRateCommand) {
      WriteLines(SetQuarterRate(rateQuarter, ratePercent));
    } else if (*addKnownCommand) {
      WriteLines(AddKnownRates());
    } else if (*ratesCommand) {
      WriteLines(RateLines(ledrix::LocalToday()));
    } else if (*dueCommand) {
      std::vector<std::string> warnings;
      WriteLines(DueDateLines(CommandDate(dateText), warnings));
      WriteWarnings(std::cerr, warnings);
    } else if (*templateCommand) {
      std::cout << StarterReturn(*FindForm(formName));
    } else if (*versionCommand) {
      std::cout << ledrix::VersionText() << "\n";
    }
    return 0;
  } catch (const InputError& error) {
    std::cerr << "ledrix: " << error.what() << "\n";
    return kBadInput;
  } catch (const OutputError& error) {
    std::cerr << "ledrix: " << error.what() << "\n";
    return kOutputError;
  } catch (const std::exception& error) {
    std::cerr << "ledrix: internal error: " << error.what() << "\n";
    return kInternalError;
  }
}
