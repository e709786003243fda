// The interest-rate table as a practitioner keeps it current: every
// quarter's rate with where it comes from, one quarter's rate set by hand,
// and the published IRS underpayment rates that the project keeps in
// data/irs-underpayment-rates.csv (compiled into the command).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "ledrix/ledrix.h"

namespace ledrix::cli {

/// The calendar quarter index of the rate table's quarter 0, 1993 Q1.
constexpr int kFirstRateQuarter = (1993 - 1980) * 4;

/// One published IRS underpayment rate.
struct KnownRate {
  int quarter = 0;       ///< calendar quarter index
  double percent = 0.0;  ///< percent a year
  std::string source;    ///< where the IRS published it
};

/// Reads rates in the data file's form: "#" comment lines, the header line
/// "quarter,rate,source", then one "2025Q1,7,Rev. Rul. 2024-25" a line in
/// quarter order. InputError names the line of a fault.
std::vector<KnownRate> ParseKnownRates(std::string_view text);
/// The rates of the data file the command was built with.
std::vector<KnownRate> KnownRates();

/// `ledrix rates`: every quarter from 1993 Q1 to the table's last or today's,
/// whichever is later, with its rate and source (built in, the rate file, or
/// missing: the latest earlier rate stands in), then the last quarter known.
std::vector<std::string> RateLines(Date today);
/// `ledrix rates set QUARTER PERCENT`: gives a quarter after the built-in
/// list its rate (0 takes it away) and saves the table.
std::vector<std::string> SetQuarterRate(const std::string& quarter, const std::string& percent);
/// `ledrix rates add-known`: writes the known rates into the rate file.
std::vector<std::string> AddKnownRates();

/// A run of quarters without a rate of their own that interest from the day
/// after `from` to `to` runs through: calendar quarter indices and the note
/// that says which rate stood in.
struct MissingRateRun {
  int first = 0;
  int last = 0;
  std::string note;
};
std::vector<MissingRateRun> MissingRateRuns(const RateTable& rates, Date from, Date to);
/// The run's note and the command that gives those quarters their rates;
/// empty for quarters before the table, which no command can give one.
std::string MissingRateWarning(const MissingRateRun& run);

}  // namespace ledrix::cli
