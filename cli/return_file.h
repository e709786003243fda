// The return file: one return period in JSON, read into a host document and
// the settings the compute object needs beyond it.
//
//   {"form": "941", "period": "2005Q1", "schedule": "semiweekly",
//    "company": {"name": "Acme Tool Co", "ein": "12-3456789"},
//    "compute_date": "2005-06-30", "allocation": "best",
//    "events": [{"type": "LIABILITY", "date": "2005-01-07", "amount": 1234.56}]}
//
// Everything is checked before anything is computed; the first problem
// throws InputError naming the file, the event and the field.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "fields.h"
#include "ledrix/ledrix.h"

namespace ledrix::cli {

struct ReturnSettings {
  const FormInfo* form = nullptr;
  int quarter = 0;                ///< quarter index of the period's first quarter
  Date computeDate;               ///< date the penalty runs to
  bool computeDateGiven = false;  ///< false: today, as the file gave none
  Date dueDate;                   ///< the return's due date; no date: the form's own
  int allocationFlags = 0;        ///< flags for BasicCompute
  bool limitToComputeDate = false;
};

/// The return file's optional "report" object: what a report generator is
/// given beyond the computed return.
struct ReportSettings {
  static constexpr int MaxMarginStrings = 10;

  Date statusDate;  ///< "Status as of"; no date: the compute date
  int linesPerPage = 60;
  int firstPage = 0;  ///< the first page-start entry the report fills
  bool noPageHeads = false;
  std::string headerVersion;  ///< empty: the library's version text
  bool hasTitle = false;      ///< title line of the IRS-format parts
  std::string title;
  std::vector<std::string> margin;  ///< margin strings of the IRS-format parts
};

struct ReturnFile {
  std::string path;
  ReturnSettings settings;
  ReportSettings report;
  std::unique_ptr<C941Doc> doc;  ///< about 160 KB, so on the heap
  int eventCount = 0;
};

/// Reads the return from JSON `text`; `path` names it in messages.
ReturnFile ParseReturn(const std::string& text, const std::string& path);
/// Reads and parses the file at `path` ("-": standard input).
ReturnFile LoadReturn(const std::string& path);

/// The path that stands for standard input.
inline constexpr const char* kStandardInput = "-";
/// How messages name the file at `path`: "standard input" for "-".
std::string InputName(const std::string& path);

/// Appends one event after those already read, in file order. `where` names
/// the event (or its date) in messages ("q1.json: event 3").
void AddReturnEvent(ReturnFile& file, const std::string& where, int type, Date date, double amount);
/// Checks an amount read for `field` of `where`: finite and within MaxAmount.
void CheckAmount(double amount, const std::string& where, const std::string& field);
/// Checks the amount of an event of `type` as CheckAmount does, and that a
/// liability, deposit or payment is not negative: only adjustments carry a sign.
void CheckEventAmount(int type, double amount, const std::string& where);

/// Reads a whole file ("-": standard input); InputError when it cannot be read.
std::string ReadTextFile(const std::string& path);

/// First and last day of the return's period.
Date PeriodStart(const ReturnSettings& settings);
Date PeriodEnd(const ReturnSettings& settings);
/// "2005 Q1" for a quarter, "2005" for an annual period.
std::string PeriodText(const ReturnSettings& settings);
/// The period as the return file writes it: "2005Q1", "2005".
std::string PeriodCode(const ReturnSettings& settings);

}  // namespace ledrix::cli
