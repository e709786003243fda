// Conversions between the return file's text fields and the library's
// values: forms, schedules, allocation choices, ISO dates, event types and
// amounts, and the error that names where bad input was found.
#pragma once

#include <cstdio>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "ledrix/ledrix.h"

namespace ledrix::cli {

/// Bad input. The message names the file, the event (when there is one) and
/// the field: "q1.json: event 3: date: "2005-02-30" is not a calendar date".
class InputError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

/// Throws InputError with the message "<where>: <field>: <problem>".
[[noreturn]] void Fail(const std::string& where, const std::string& field,
                       const std::string& problem);

/// Quotes a text for a message, as JSON would write it.
std::string Quoted(std::string_view text);

struct FormInfo {
  const char* name;  ///< "941", "944", "943", "945", "940"
  int code;          ///< the document's form code
  bool annual;       ///< period "YYYY" rather than "YYYYQn"
};
/// The form of `name`, or nullptr.
const FormInfo* FindForm(std::string_view name);
const FormInfo* FindFormByCode(int code);

/// Depositor schedules: 0 "monthly", 1 "semiweekly", 2 "first-time-semiweekly".
int FindSchedule(std::string_view name);  ///< -1 when unknown
const char* ScheduleName(int schedule);

/// Allocation choices and the flags BasicCompute takes for them: "best" 0
/// (IRS rule and the alternatives), "irs" 3, "irs-old" 1, "irs-new" 2.
int FindAllocation(std::string_view name);  ///< -1 when unknown
std::vector<std::string> AllocationNames();

enum class DateCheck { Ok, Malformed, Impossible, OutOfRange };
/// Reads an ISO date "YYYY-MM-DD" of the supported range (2 January 1980
/// to 4 June 2159).
DateCheck ReadIsoDate(std::string_view text, Date& date);
/// "<text> is outside the supported dates, 1980-01-02 to 2159-06-04".
std::string OutsideSupportedDates(std::string_view text);
/// The problem text of a date that did not read, for a message.
std::string DateProblem(DateCheck check, std::string_view text);
/// "YYYY-MM-DD"; the empty text for no date.
std::string IsoDate(Date date);
/// "MM-DD-YY Www"; the empty text for no date.
std::string DateText(Date date);
/// Money text with thousands separators: "12,480.55".
std::string Money(double amount);

/// printf into a string: one line of at most 255 characters.
template <class... Values>
std::string Format(const char* format, Values... values) {
  char line[256];
  std::snprintf(line, sizeof line, format, values...);
  return line;
}

/// The text without the white space at either end.
std::string_view Trim(std::string_view text);

/// Reads a text of decimal digits and nothing else.
bool ReadDigits(std::string_view text, int& value);

/// Creates the folder that is to hold the file at `path` (and the folders
/// above it) when it is missing, so that the library's files can be written
/// from a fresh start. A folder that cannot be made is left to the write to
/// report.
void CreateFolderOf(const std::string& path);

/// Reads a calendar quarter written "YYYYQn" ("2005Q1", "2005q1") into its
/// quarter index, (year - 1980) * 4 + n - 1; false when the text is not one.
bool ReadQuarterText(std::string_view text, int& quarter);
/// "2005 Q1" for a quarter index.
std::string QuarterText(int quarter);
/// "7.00%" for a rate of 7 percent.
std::string PercentText(double percent);

/// An event type given by its name in any case ("LIABILITY", "adj_ss") or by
/// its code ("3"); -1 when neither.
int ReadEventType(std::string_view text);
/// "unknown event type \"LIAB\"; did you mean \"LIABILITY\"?"
std::string UnknownEventType(std::string_view text);

/// The name of `names` that `text` most likely misspells (case aside, at most
/// a third of its letters, and at least two, off, or the name cut short), or
/// the empty text.
std::string NearestName(std::string_view text, const std::vector<std::string>& names);
/// "; did you mean \"compute_date\"?" for a near name, else the empty text.
std::string DidYouMean(std::string_view text, const std::vector<std::string>& names);

/// Largest amount a return may carry; money text has no room for more.
constexpr double MaxAmount = 999999999999.0;

}  // namespace ledrix::cli
