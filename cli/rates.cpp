#include "rates.h"

#include <algorithm>
#include <cctype>
#include <charconv>

#include "fields.h"

namespace ledrix::cli {

// The text of data/irs-underpayment-rates.csv, generated into the build.
const char* KnownRatesText();

namespace {

constexpr int kLastTableQuarter = RateTable::QuarterCount + RateTable::LaterQuarterCapacity - 1;

/// Reads a rate in percent a year written as a plain decimal number, "7" or
/// "7.25", from 0 to 100.
bool ReadPercent(std::string_view text, double& percent) {
  if (text.empty() || !std::all_of(text.begin(), text.end(), [](char c) {
        return std::isdigit(static_cast<unsigned char>(c)) || c == '.';
      })) {
    return false;
  }
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), percent);
  return error == std::errc() && end == text.data() + text.size() && percent <= 100.0;
}

/// One "quarter,rate,source" line of the data file.
KnownRate ParseKnownRate(std::string_view line, const std::string& where) {
  const size_t first = line.find(',');
  const size_t second = first == std::string_view::npos ? first : line.find(',', first + 1);
  if (second == std::string_view::npos) Fail(where, "line", "expected quarter,rate,source");
  KnownRate rate;
  const std::string_view quarter = Trim(line.substr(0, first));
  const std::string_view percent = Trim(line.substr(first + 1, second - first - 1));
  rate.source = std::string(Trim(line.substr(second + 1)));
  if (!ReadQuarterText(quarter, rate.quarter)) {
    Fail(where, "quarter", Quoted(quarter) + " is not a quarter (expected YYYYQn)");
  }
  if (!ReadPercent(percent, rate.percent) || rate.percent <= 0.0) {
    Fail(where, "rate", Quoted(percent) + " is not a rate in percent");
  }
  if (rate.source.empty()) Fail(where, "source", "missing");
  return rate;
}

std::string RateFileText(const RateTable& rates) {
  return "the rate file " + rates.FilePath();
}

void SaveRates(RateTable& rates) {
  CreateFolderOf(rates.FilePath());
  if (!rates.Save()) throw InputError("cannot write " + RateFileText(rates));
}

/// The calendar quarter of the last rate the table knows.
int LastKnownQuarter(const RateTable& rates) {
  return rates.RateSourceQuarter(rates.LastQuarter()) + kFirstRateQuarter;
}

std::string LastKnownLine(const RateTable& rates) {
  return "The last quarter with a known rate is " + QuarterText(LastKnownQuarter(rates)) + ".";
}

/// Where the table's rate of quarter `i` comes from.
std::string RateSource(const RateTable& rates, int i, const std::vector<KnownRate>& known) {
  if (i < rates.Count) return "built in";
  if (rates.IsMissing(i)) {
    return "missing: the rate of " + QuarterText(rates.RateSourceQuarter(i) + kFirstRateQuarter) +
           " stands in";
  }
  for (const KnownRate& rate : known) {
    if (rate.quarter == i + kFirstRateQuarter && rate.percent == rates.OwnRate(i)) {
      return "rate file, " + rate.source;
    }
  }
  return "rate file";
}

std::string RateLine(int quarter, double percent, const std::string& source) {
  return Format("%-9s %7s  %s", QuarterText(quarter).c_str(), PercentText(percent).c_str(),
                source.c_str());
}

/// The note for quarters first..last (calendar quarter indices), none of
/// which has a rate.
std::string MissingRateNote(const RateTable& rates, int first, int last) {
  const std::string quarters =
      first == last ? QuarterText(first) : QuarterText(first) + " to " + QuarterText(last);
  const int tableFirst = first - kFirstRateQuarter;
  if (tableFirst < 0) {
    return "The rate table starts with " + QuarterText(kFirstRateQuarter) + ": for " + quarters +
           " its first rate, " + PercentText(rates.RateForQuarter(0)) + ", was used.";
  }
  const int source = rates.RateSourceQuarter(tableFirst);
  return "The rate table has no rate for " + quarters + "; the latest earlier rate, " +
         PercentText(rates.OwnRate(source)) + " (" + QuarterText(source + kFirstRateQuarter) +
         "), was used.";
}

}  // namespace

std::vector<KnownRate> ParseKnownRates(std::string_view text) {
  std::vector<KnownRate> rates;
  bool header = false;
  int number = 0;
  while (!text.empty()) {
    const size_t end = std::min(text.find('\n'), text.size());
    const std::string_view line = Trim(text.substr(0, end));
    text.remove_prefix(std::min(end + 1, text.size()));
    const std::string where = "known rates: line " + std::to_string(++number);
    if (line.empty() || line.front() == '#') continue;
    if (!header) {
      if (line != "quarter,rate,source") Fail(where, "header", "expected quarter,rate,source");
      header = true;
      continue;
    }
    rates.push_back(ParseKnownRate(line, where));
    if (rates.size() > 1 && rates.back().quarter <= rates[rates.size() - 2].quarter) {
      Fail(where, "quarter", "out of order");
    }
  }
  return rates;
}

std::vector<KnownRate> KnownRates() {
  return ParseKnownRates(KnownRatesText());
}

std::vector<std::string> RateLines(Date today) {
  const RateTable rates;
  const std::vector<KnownRate> known = KnownRates();
  const int todays = today.IsValid() ? RateTable::QuarterOfDate(today, kLastTableQuarter) : 0;
  std::vector<std::string> lines = {Format("%-9s %7s  %s", "Quarter", "Rate", "Source")};
  for (int i = 0; i <= std::max(rates.LastQuarter(), todays); ++i) {
    lines.push_back(
        RateLine(i + kFirstRateQuarter, rates.RateForQuarter(i), RateSource(rates, i, known)));
  }
  lines.push_back(LastKnownLine(rates));
  if (!known.empty() && known.back().quarter > LastKnownQuarter(rates)) {
    lines.push_back("`ledrix rates add-known` adds the published rates through " +
                    QuarterText(known.back().quarter) + ".");
  }
  lines.push_back("Rates after " + QuarterText(rates.Count - 1 + kFirstRateQuarter) +
                  " are kept in " + RateFileText(rates) + ".");
  return lines;
}

std::vector<std::string> SetQuarterRate(const std::string& quarterText,
                                        const std::string& percentText) {
  int quarter = 0;
  if (!ReadQuarterText(quarterText, quarter)) {
    throw InputError(Quoted(quarterText) + " is not a quarter (expected YYYYQn, as \"2025Q1\")");
  }
  double percent = 0.0;
  if (!ReadPercent(percentText, percent)) {
    throw InputError(Quoted(percentText) +
                     " is not a rate in percent a year (as 7 or 7.5; 0 takes the rate away)");
  }
  RateTable rates;
  const int i = quarter - kFirstRateQuarter;
  if (i < 0 || i > kLastTableQuarter) {
    throw InputError("the rate table runs from " + QuarterText(kFirstRateQuarter) + " to " +
                     QuarterText(kLastTableQuarter + kFirstRateQuarter));
  }
  if (i < rates.Count) {
    throw InputError(QuarterText(quarter) + " has the built-in rate " +
                     PercentText(rates.OwnRate(i)) + ", which the rate file cannot change");
  }
  const double before = rates.OwnRate(i);
  rates.SetRate(i, percent);
  SaveRates(rates);
  const auto rateText = [](double rate) { return rate > 0.0 ? PercentText(rate) : "no rate"; };
  return {QuarterText(quarter) + ": " + rateText(percent) + " (was " + rateText(before) + ")",
          LastKnownLine(rates)};
}

std::vector<std::string> AddKnownRates() {
  RateTable rates;
  std::vector<std::string> lines;
  for (const KnownRate& known : KnownRates()) {
    const int i = known.quarter - kFirstRateQuarter;
    if (i < rates.Count) continue;  // built in
    const double before = rates.OwnRate(i);
    rates.SetRate(i, known.percent);
    std::string source = known.source;
    if (before > 0.0 && before != known.percent) source += " (was " + PercentText(before) + ")";
    lines.push_back(RateLine(known.quarter, known.percent, source));
  }
  SaveRates(rates);
  lines.push_back("Written to " + RateFileText(rates) + ".");
  lines.push_back(LastKnownLine(rates));
  return lines;
}

std::vector<MissingRateRun> MissingRateRuns(const RateTable& rates, Date from, Date to) {
  std::vector<MissingRateRun> runs;
  const Date firstDay = from + 1;
  if (!firstDay.IsValid() || !to.IsValid() || to < firstDay) return runs;
  const auto missing = [&rates](int quarter) {
    const int index = quarter - kFirstRateQuarter;
    return index < 0 || rates.IsMissing(index) != 0;
  };
  const int last = to.QuarterIndex();
  for (int quarter = firstDay.QuarterIndex(); quarter <= last; ++quarter) {
    if (!missing(quarter)) continue;
    int end = quarter;
    while (end < last && missing(end + 1)) ++end;
    runs.push_back({quarter, end, MissingRateNote(rates, quarter, end)});
    quarter = end;
  }
  return runs;
}

std::string MissingRateWarning(const MissingRateRun& run) {
  if (run.first < kFirstRateQuarter) return {};  // before the table: nothing can add a rate
  const std::vector<KnownRate> known = KnownRates();
  if (!known.empty() && known.back().quarter >= run.first) {
    return run.note + " `ledrix rates add-known` adds the published rates through " +
           QuarterText(known.back().quarter) + ".";
  }
  return run.note + " Once the IRS has published them, `ledrix rates set " +
         Format("%dQ%d", 1980 + run.first / 4, run.first % 4 + 1) + " RATE` sets each.";
}

}  // namespace ledrix::cli
