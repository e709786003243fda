// CReportGenerator: the writer of the library's plain-text reports.
//
// A host fills the generator's public fields, opens a file and passes its
// descriptor to one report operation:
//
//   CReportGenerator report;
//   report.Form = 1;                        // Form 941
//   report.DueDate = compute.DueDate();
//   report.StatusDate = compute.ComputeDate;
//   report.Quarter = doc->Quarter;
//   report.LinesPerPage = 60;
//   report.Company = &doc->Company;
//   report.Events = compute.Events;         // the compute object's sorted copy
//   report.Compute = &compute;
//   report.Penalties = &doc->Penalties;
//   report.Document = doc;
//   report.GeneratePenaltyReport(fd);       // pages written
//
// File format. A report is a sequence of lines, each its text (8-bit, at
// most 80 characters in the penalty and interest reports) followed by
// exactly one NUL byte; there is no line feed. An empty line is one NUL.
// Every report appends to the file and adds what it wrote to BytesWritten;
// PageStart[FirstPage + n] records the offset, in that count, at which page
// n of the report begins, so a host can find each page. FirstPage is left
// alone: a host that puts several reports in one file advances it between
// them.
//
// Reports are built from templates, arrays of line strings compiled into the
// library. A field in a template line is the marker byte 0xAD followed by a
// key name; DoReplacement writes each key's value over the line from the
// marker's column.
#pragma once

#include <cstdint>

#include "ledrix/date.h"
#include "ledrix/export.h"

namespace ledrix {

class CCompute;
class CLiability;
class CRunTimePenalties;
struct C941Doc;
struct CPenalties;
struct Company;
struct Event;
struct InterestEvent;

/// The byte that opens a field in a template line; the key name follows.
constexpr char FieldMarker = '\xAD';
/// Entries of the page-start table; pages past the last are not recorded.
constexpr int PageStartCount = 100;
/// Bytes of a line buffer given to DoReplacement: no line with its values
/// exceeds 120 characters.
constexpr int ReportLineSize = 256;

/// Return-penalty section that DoReplacement fills a line for.
enum PenaltySection : int {
  SectionAdditional5 = 0,  ///< additional 5% deposit penalty, and the summary
  SectionFailureToFile = 1,
  SectionFailureToPay = 2,
};

class LEDRIX_API CReportGenerator {
 public:
  /// 1 Form 941, 2 940, 3 943, 4 945, 6 a user-defined tax period, 10 944.
  std::int32_t Form = -1;
  ledrix::Date DueDate;      ///< original due date of the return
  ledrix::Date StatusDate;   ///< the "Status as of" date of the header
  std::int32_t Quarter = 0;  ///< quarter index of the return period
  std::int32_t LinesPerPage = 0;
  /// The PageStart entry that the next report fills first.
  std::int32_t FirstPage = 0;
  /// Byte offsets at which pages begin: entry 0 is 0, the rest -1 until set.
  std::int32_t PageStart[PageStartCount];
  std::int32_t BytesWritten = 0;
  /// Non-zero: a page break records its offset but writes no page head.
  std::int32_t NoPageHeads = 0;
  ledrix::Company* Company = nullptr;
  Event* Events = nullptr;  ///< the events the liabilities' indices point into
  CCompute* Compute = nullptr;
  CPenalties* Penalties = nullptr;  ///< the return-penalty inputs; may be null
  C941Doc* Document = nullptr;

  CReportGenerator();

  // ---- the writer --------------------------------------------------------
  /// Writes the header block, each line preceded by `indent` blanks (0, or
  /// 3 for the rate and holiday pages). Returns the bytes written; the
  /// caller adds them to BytesWritten. A failed write is reported through
  /// the platform's notification and the next line is tried.
  long GenerateHeader(int fd, int indent);
  /// Replaces the fields of one template line in `line` (a buffer of
  /// ReportLineSize bytes), in key-table order, then removes trailing
  /// blanks. `pen` is the working state of a return-penalty run or null,
  /// `which` its section (PenaltySection), `chain` an interest chain or
  /// null, `compute` the compute object whose totals the summary keys read.
  /// A few keys write whole sub-reports to `fd` from here.
  void DoReplacement(char* line, CRunTimePenalties* pen, int which, int fd, InterestEvent* chain,
                     CCompute* compute);
  /// Called after each line of the deposit-penalty report: once lineNo
  /// reaches LinesPerPage - 6, records the next page's start, writes the
  /// page head (unless NoPageHeads) and returns 1; else 0.
  int CheckForNewPage(int& lineNo, int fd, int& pageNo);

  // ---- penalty reports -----------------------------------------------------
  /// The failure-to-deposit detail: every liability with its deposits, days
  /// late, rate and penalty, paged by LinesPerPage. Returns the pages written.
  int GeneratePenaltyReport(int fd);
  /// One liability's block of the detail; returns the current page number,
  /// 0 when the liability is null or of no amount.
  int PrintOneLiability(int fd, CLiability* liability, CCompute* compute, int& lineNo, int& pageNo);
  /// The return-penalty sections, from a state that CPenalties::Compute has
  /// filled; a null state writes nothing.
  void Generate6656Detail(int fd, CRunTimePenalties* pen);
  void Generate6651a1Detail(int fd, CRunTimePenalties* pen);
  void Generate6651a2Detail(int fd, CRunTimePenalties* pen);
  /// The failure-to-pay inputs as the user entered them.
  void Generate6651a2Window(int fd, ledrix::Date returnDue);
  /// The other two sections show no input window: these write nothing.
  void Generate6651a1Window(int fd, ledrix::Date returnDue);
  void Generate6656Window(int fd, ledrix::Date returnDue);
  /// The failure-to-pay months, consecutive months of equal base and rate
  /// grouped into one line.
  void Generate6651a2Summary(int fd, CRunTimePenalties* pen);
  /// The one-page penalty and interest summary: runs the return penalties
  /// and interest to the compute date and prints what is owed in all.
  /// Returns 1 (0, writing nothing, without a compute object).
  int GeneratePenaltySummary(int fd);

  // ---- interest reports ----------------------------------------------------
  /// The return-penalty sections of every active penalty, then the interest
  /// detail when the compute date is after the due date and interest is
  /// owed, each section on a page of its own. Returns the sections written.
  int GenerateInterestReport(int fd);
  /// The interest chain line by line, with its total.
  void GenerateInterestDetail(int fd, InterestEvent* chain);
  /// Builds the line of one chain entry as an entry of `kind` into `out`
  /// (at least 81 bytes); writes nothing.
  void GenerateInterestLine(char* out, InterestEvent* entry, int kind);
  /// The IRS quarterly interest rates from 1993, then the legal holidays of
  /// the last four years of the built-in table and the user-defined ones.
  /// Returns the pages written.
  int GenerateInterestRatesReport(int fd);

  // ---- main-screen and deposit predictor reports -------------------------
  /// The event list as the host's main screen shows it: each event with its
  /// date, its liability or deposit and the running tax balance, then the
  /// totals; paged by LinesPerPage. Returns the pages written.
  int GenerateMainScreenReport(int fd);
  /// "DEPOSIT PREDICTOR": the deposit rules (the FUTA rule for Form 940),
  /// then what is still open after the allocation (SetPredictor) with due
  /// dates and the running tax balance. Returns the pages written; 0,
  /// writing nothing, without a compute object.
  int GenerateWizardReport(int fd);

  // ---- IRS input format ------------------------------------------------------
  // A listing of the return in the IRS's account layout, for a request for
  // penalty abatement. The detail parts take a title line (run through
  // DoReplacement; null for none) and up to 10 margin strings (ended by a
  // null entry) that run down the left edge: line k of a part starts with
  // the k-th character of each margin string, or a blank where one is
  // shorter. Each returns the number of margin lines it used, 0 (writing
  // nothing) without a compute object.

  /// The banner and the name block (ppIRSOnlyHdr); adds the lines written to
  /// `lineCount` when it is given.
  void GenerateIRSHeader(int fd, int* lineCount);
  /// The total tax and credit used, then the liability of each day of the
  /// quarter's three months.
  int GenerateLiabilityDetail(int fd, const char* title, const char* const* margin);
  /// The credit transactions, one cell per deposit date, three to a line,
  /// filled up to 17 lines with blank form rows.
  int GenerateDepositDetail(int fd, const char* title, const char* const* margin);
  /// As GenerateDepositDetail, with one cell per deposit date and liability
  /// paid that day: "L" and the liability's position, or "S" and the
  /// position of a catch-up liability.
  int GenerateIRSInputReport(int fd, const char* title, const char* const* margin);

 private:
  /// Writes `text` and its NUL; adds what was written to BytesWritten.
  long WriteLine(int fd, const char* text);
  /// PageStart[FirstPage + page] = BytesWritten, when the entry exists.
  void RecordPageStart(int page);
  /// Writes the lines of `lines` (ended by a null entry): "%HEADER%" as the
  /// header block with indent 0, every other line through DoReplacement.
  void WriteTemplate(int fd, const char* const* lines, CRunTimePenalties* pen, int which,
                     InterestEvent* chain, CCompute* compute);
  /// Writes one template line as it stands: "%HEADER%" as the header block
  /// with `indent`, and a line holding "%METHOD%" cut there and followed by
  /// `method` (when given).
  void WriteFixedLine(int fd, const char* line, int indent, const char* method = nullptr);
  /// WriteFixedLine for each line of `lines`; returns the template lines.
  int WriteFixedLines(int fd, const char* const* lines, int indent, const char* method = nullptr);
  /// Writes each line of a template whose k-th "%" takes dates[k].
  void WriteDatedLines(int fd, const char* const* lines, const ledrix::Date* dates, int count);

  /// The margin text of line k: the k-th character of each margin string,
  /// a blank where a string is shorter.
  static void MarginLine(char* out, int k, const char* const* margin);
  /// Writes the margin text of line k, then `text` with its NUL, as one
  /// report line; k advances.
  void WriteMarginLine(int fd, const char* text, const char* const* margin, int& k);
  /// The title (without a margin) and the part's head lines (with one),
  /// each through DoReplacement; false, writing nothing, without Compute.
  bool WriteIRSPartHead(int fd, const char* title, const char* const* head,
                        const char* const* margin, int& k);
  /// Puts one transaction cell at column 0, 1 or 2 of `line`; the third
  /// writes the line with its margin and starts a blank form row. Returns 1
  /// when it wrote the line.
  int PutTransaction(int fd, char* line, int column, char letter, int number, ledrix::Date date,
                     double amount, bool withCode, const char* const* margin, int& k);
  /// Writes a partly filled transaction line, blank form rows up to 17
  /// transaction lines and an empty line.
  void FinishTransactions(int fd, char* line, int column, int lines, const char* const* margin,
                          int& k);
  /// Adds `from`'s amount and applications into `into`, an application of
  /// the same deposit number into the one `into` has.
  static void MergeCatchupLiability(CLiability* from, CLiability* into);
};

/// The banner and name block of the IRS-format listing, ended by a null
/// entry: an empty line, the banner, "NAME: " with the company name and
/// "TAX ID#: " with its EIN, an empty line.
LEDRIX_API extern const char* const ppIRSOnlyHdr[];

}  // namespace ledrix
