// The report writer: every field key at the edge of its width, the header
// block in its four forms, the page table of a report longer than a page
// (with and without page heads), the failure-to-pay month summary, a write
// that fails half way, the interest detail of a chain built by hand, and the
// rate and holiday pages with a rate file and user-defined holidays.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "ledrix/ledrix.h"
#include "support/returns.h"

#define FIELD "\xAD"

namespace ledrix {
namespace {

using testing::AddEvent;
using testing::D;

/// Pins the clock the DATE and TIME fields read (LEDRIX_FIXED_NOW).
class PinnedClock {
 public:
  PinnedClock(int year, int month, int day, int hour, int minute) {
    char now[32];
    std::snprintf(now, sizeof now, "%04d-%02d-%02dT%02d:%02d", year, month, day, hour, minute);
    setenv("LEDRIX_FIXED_NOW", now, 1);
  }
  ~PinnedClock() { unsetenv("LEDRIX_FIXED_NOW"); }
};

/// What `write` wrote to a fresh temporary file.
std::string Written(const std::function<void(int fd)>& write) {
  std::FILE* file = std::tmpfile();
  const int fd = fileno(file);
  write(fd);
  std::string bytes;
  char buffer[4096];
  ::lseek(fd, 0, SEEK_SET);
  for (ssize_t n; (n = ::read(fd, buffer, sizeof buffer)) > 0;) bytes.append(buffer, n);
  std::fclose(file);
  return bytes;
}

/// The report lines of NUL-ended bytes.
std::vector<std::string> Lines(const std::string& bytes) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t end; (end = bytes.find('\0', start)) != std::string::npos; start = end + 1) {
    lines.push_back(bytes.substr(start, end - start));
  }
  EXPECT_EQ(start, bytes.size()) << "bytes after the last NUL";
  return lines;
}

/// NUL-ended report lines as text with newlines, to compare with a data file.
std::string AsText(std::string bytes) {
  std::replace(bytes.begin(), bytes.end(), '\0', '\n');
  return bytes;
}

/// Report lines from `from` to `to`, each ended by a newline.
std::string Joined(std::vector<std::string>::const_iterator from,
                   std::vector<std::string>::const_iterator to) {
  std::string text;
  for (; from != to; ++from) text += *from + '\n';
  return text;
}

/// A line of texts at columns, blanks between.
std::string At(std::initializer_list<std::pair<int, const char*>> pieces) {
  std::string line;
  for (const auto& [column, text] : pieces) line.append(column - line.size(), ' ').append(text);
  return line;
}

/// A compute object whose unpaid tax is the same on every date.
class FixedBalance : public C941Compute {
 public:
  double balance = 0.0;
  double BalanceDue(Date) override { return balance; }
};

// ---- every key of the table ----------------------------------------------------

// Full: every input set, amounts at 1,000,000,000.00 (wider than the 13 or 14
// characters of their fields). Overpaid: deposits exceed the tax by 1,234.56.
// Quiet: only a compute object, 0.005 overpaid (under a cent). Bare: nothing.
enum class State { Full, Overpaid, Quiet, Bare };

struct ReportInputs {
  CReportGenerator report;
  FixedBalance compute;
  CPenalties inputs;
  CRunTimePenalties run;
  std::unique_ptr<C941Doc> doc = std::make_unique<C941Doc>();
  CRunTimePenalties* pen = &run;
  CCompute* summaryCompute = &compute;

  explicit ReportInputs(State state) {
    if (state == State::Bare) {
      report.Quarter = -1;  // no quarter: no period end
      pen = nullptr;
      summaryCompute = nullptr;
      return;
    }
    report.Form = 1;
    report.Compute = &compute;
    compute.balance = 1000000000.00;
    compute.PenaltyTotal = 2000000000.00;
    if (state == State::Quiet) {
      pen = nullptr;
      compute.balance = -0.005;
      compute.PenaltyTotal = 0.0;
      return;
    }
    report.DueDate = D("07/31/05");
    report.StatusDate = D("01/31/06");
    report.Quarter = 101;  // 2005 Q2
    report.Company = &doc->Company;
    report.Penalties = &inputs;
    report.Document = doc.get();
    std::strcpy(doc->Company.Name, "ABCDEFGHIJABCDEFGHIJABCDEFGHIJABCDEFGHIJABCDEFGHIJABCDEFGHIJ");
    std::strcpy(doc->Company.EIN, "47-1234567");
    doc->UserPeriodStart = D("01/01/05");
    doc->UserPeriodEnd = D("06/30/05");
    doc->UserPeriodDueDate = D("07/31/05");
    compute.LiabilityTotal = 1000000000.00;
    compute.DepositTotal = 1000000000.01;
    compute.ComputeMethod = 2;
    compute.HeaderVersion = "Ledrix Version 2012.2 for Cedar Ridge";

    inputs.CC6656.Active = 1;
    inputs.CC6656.LastDayToPay = D("10/13/05");
    inputs.CC6656.NoticeDate = D("10/03/05");
    inputs.CC6656.AddTenDays = 1;
    inputs.CC6656.InterestStart = D("10/17/05");
    inputs.CC6651A1.Active = 1;
    inputs.CC6651A1.DateFiled = D("10/14/05");
    inputs.CC6651A1.Fraudulent = 1;
    inputs.CC6651A2.Active = 1;
    inputs.CC6651A2.JeopardyDate = D("10/13/05");

    run.ReturnDueDate = D("07/31/05");
    run.AmountSubject = 1000000000.00;
    run.FTFMonthCount = 120;
    for (FTFRow& row : run.FTFMonths) {
      row.Penalty = 200000000.00;
      row.Reduction = 100000000.00;
    }
    // 50 rows of 20,000,000.00; the spare 51st row is not read.
    for (int r = 0; r < CRunTimePenalties::FTPRowCount; ++r) {
      run.FTPMonths[r].Penalty = 20000000.00;
      run.FTPMonths[r].Base = r < 50 ? 1000000000.00 : 0.0;
      run.FTPMonths[r].RateCode = 1;
    }
    run.Additional5Penalty = 1000000000.00;
    run.FTFPenalty = 1000000000.01;
    run.FTPPenalty = 1000000000.02;
    if (state == State::Overpaid) {
      compute.balance = -1234.56;
      compute.PenaltyTotal = 100.00;
      run.Additional5Penalty = 250.00;
    }
  }

  /// The line after DoReplacement, and what it wrote to the file.
  std::pair<std::string, std::string> Replace(const char* line, int which) {
    char buffer[ReportLineSize] = {};
    std::strcpy(buffer, line);
    std::string written = Written(
        [&](int fd) { report.DoReplacement(buffer, pen, which, fd, nullptr, summaryCompute); });
    return {buffer, written};
  }
};

#define K(key) "<" FIELD key ">"

/// Every field key at the edge of its width, from tests/data/report-fields.tsv.
TEST(ReportFields, EveryKeyAtTheEdgeOfItsWidth) {
  PinnedClock clock(2006, 2, 1, 13, 7);
  const std::map<std::string, State> states = {{"full", State::Full},
                                               {"overpaid", State::Overpaid},
                                               {"quiet", State::Quiet},
                                               {"bare", State::Bare}};
  const auto rows = testing::DataRows("report-fields.tsv");
  ASSERT_EQ(rows.size(), 111u);
  for (std::vector<std::string> cell : rows) {
    for (int c : {2, 3}) std::replace(cell[c].begin(), cell[c].end(), '~', FIELD[0]);
    ReportInputs inputs(states.at(cell[0]));
    const auto [line, written] = inputs.Replace(cell[2].c_str(), std::stoi(cell[1]));
    EXPECT_EQ(line, cell[3]) << cell[0] << " " << cell[2];
    EXPECT_EQ(!written.empty(), cell.size() > 4) << cell[0] << " " << cell[2];
  }
}

TEST(ReportFields, TimeOfDayAndFormNames) {
  const struct {
    int hour, minute;
    const char* expected;
  } times[] = {
      {0, 5, "<12:05 AM"}, {11, 59, "<11:59 AM"}, {12, 30, "<12:30 PM"}, {13, 7, "<01:07 PM"}};
  for (const auto& t : times) {
    PinnedClock clock(2005, 6, 30, t.hour, t.minute);
    EXPECT_EQ(ReportInputs(State::Bare).Replace(K("TIME"), 0).first, t.expected);
  }
  const struct {
    int form;
    const char* expected;
  } forms[] = {{1, "<Federal 941"},  {2, "<Federal 940"}, {3, "<Federal 943"},
               {4, "<Federal 945"},  {5, "<Federal 941"}, {6, "<User defined"},
               {10, "<Federal 944"}, {-1, "<Federal 941"}};
  for (const auto& f : forms) {
    ReportInputs inputs(State::Bare);
    inputs.report.Form = f.form;
    EXPECT_EQ(inputs.Replace(K("CRTN"), 0).first, f.expected) << f.form;
  }
}

TEST(ReportFields, OverpaymentNote) {
  ReportInputs inputs(State::Overpaid);
  EXPECT_EQ(AsText(inputs.Replace(FIELD "TEST", 0).second),
            testing::DataText("reports/overpayment-note.txt"));
}

// ---- the header block --------------------------------------------------------

// A: Form 941, the version ending in column 79. B: indented 3, VER at
// 3 + 46 and DATE at 3 + 68. C: user-defined form, the 46th character of the
// name falls on the date's first. D: a 60-character name, 49 shown.
TEST(ReportHeader, FourFormsAndTheNameThatRunsIntoTheDate) {
  PinnedClock clock(2006, 2, 1, 13, 7);
  const char* name46 = "Northwest Regional Veterinary Emergency Clinic";
  const char* name60 = "ABCDEFGHIJABCDEFGHIJABCDEFGHIJABCDEFGHIJABCDEFGHIJABCDEFGHIJ";
  const struct {
    int form, indent;
    const char *name, *expected;
  } cases[] = {{1, 0, "Cedar Ridge Dental Group PC", "header-a.txt"},
               {1, 3, "Cedar Ridge Dental Group PC", "header-b.txt"},
               {6, 3, name46, "header-c.txt"},
               {6, 0, name60, "header-d.txt"}};
  for (const auto& c : cases) {
    ReportInputs inputs(State::Full);
    inputs.report.Form = c.form;
    inputs.compute.ComputeMethod = 0;
    inputs.compute.HeaderVersion.clear();
    std::strcpy(inputs.doc->Company.Name, c.name);
    long returned = 0;
    const std::string bytes =
        Written([&](int fd) { returned = inputs.report.GenerateHeader(fd, c.indent); });
    EXPECT_EQ(AsText(bytes), testing::DataText(std::string("reports/") + c.expected)) << c.expected;
    EXPECT_EQ(returned, static_cast<long>(bytes.size()));
    EXPECT_EQ(inputs.report.BytesWritten, 0) << "the caller adds the header's bytes";
  }
}

// ---- the deposit-penalty detail and its page table -------------------------------

/// A semi-weekly Form 941 quarter (2005 Q1) with a 1,000.00 payroll every
/// Wednesday, deposited the same day: 13 liabilities of four lines each
/// (event, due date, deposit, empty line).
struct WeeklyPayrolls {
  std::unique_ptr<C941Doc> doc = testing::MakeDoc(1, 100, 1);
  C941Compute compute;
  CReportGenerator report;

  WeeklyPayrolls() {
    std::strcpy(doc->Company.Name, "Cedar Ridge Dental Group PC");
    for (Date payday = D("01/05/05"); payday <= D("03/30/05"); payday = payday + 7) {
      AddEvent(doc->Events, LIABILITY, payday, 1000.00);
      AddEvent(doc->Events, DEPOSIT, payday, 1000.00);
    }
    compute.SetComputeDate(D("06/30/05"));
    compute.SetDueDate(100);
    compute.BasicCompute(doc.get(), 3, 0);
    report.Form = 1;
    report.DueDate = compute.DueDate();
    report.Quarter = 100;
    report.Company = &doc->Company;
    report.Events = compute.Events;
    report.Compute = &compute;
    report.Document = doc.get();
    report.LinesPerPage = 30;
  }

  std::string Generate(int* pages = nullptr) {
    return Written([&](int fd) {
      const int n = report.GeneratePenaltyReport(fd);
      if (pages) *pages = n;
    });
  }
};

int LinesBetween(const std::string& bytes, int from, int to) {
  return static_cast<int>(std::count(bytes.begin() + from, bytes.begin() + to, '\0'));
}

// LinesPerPage 30 breaks after the checked line (event or deposit) that brings
// the count to 24. With heads: the first page's head counts 7 from 7 (14
// lines on paper: the header block is 8), then events of payrolls 1-2 (8
// lines) and payroll 3's event, due date and deposit: 25 lines. Each further
// page starts at 15 (head and an empty line) and takes 10 more lines: 25 in
// all, the last page the rest (1 + empty line + 3 footer lines + 15 = 20).
// Without heads a further page starts at 7 and holds 18 lines: 25, 18, 18, 9.
TEST(PenaltyReport, PageTableWithAndWithoutPageHeads) {
  PinnedClock clock(2005, 7, 1, 9, 30);
  const struct {
    int noPageHeads;
    std::vector<int> linesPerPage;
  } cases[] = {{0, {25, 25, 25, 25, 25, 20}}, {1, {25, 18, 18, 9}}};
  for (const auto& c : cases) {
    WeeklyPayrolls payrolls;
    payrolls.report.NoPageHeads = c.noPageHeads;
    payrolls.report.FirstPage = 2;
    payrolls.report.BytesWritten = 1000;  // the report follows another in the same file
    int pages = 0;
    const std::string bytes = payrolls.Generate(&pages);
    const int n = static_cast<int>(c.linesPerPage.size());
    ASSERT_EQ(pages, n) << "no heads " << c.noPageHeads;
    EXPECT_EQ(payrolls.report.BytesWritten, 1000 + static_cast<int>(bytes.size()));
    const int* start = payrolls.report.PageStart;
    EXPECT_EQ(start[0], 0);
    EXPECT_EQ(start[1], -1);
    EXPECT_EQ(start[2 + n], -1);
    for (int page = 0; page < n; ++page) {
      const int from = start[2 + page] - 1000;
      const int to = page + 1 < n ? start[3 + page] - 1000 : static_cast<int>(bytes.size());
      EXPECT_EQ(LinesBetween(bytes, from, to), c.linesPerPage[page]) << "page " << page;
      // With heads every page opens with the title; a page begins after a line.
      const std::string title = std::string(1, '\0') + "PENALTY COMPUTATION DETAIL REPORT  ";
      EXPECT_EQ(bytes.compare(from, title.size(), title) == 0, page == 0 || !c.noPageHeads)
          << "page " << page;
      if (from > 0) {
        EXPECT_EQ(bytes[from - 1], '\0');
      }
    }
  }
}

// A nonblocking pipe of one page fills part way through the report; from then
// on a line is written only when it fits the room left. What arrived is the
// report's lines in order with some left out, BytesWritten counts exactly
// what arrived, and each header line that failed says so.
TEST(PenaltyReport, WriteThatFailsHalfWay) {
  PinnedClock clock(2005, 7, 1, 9, 30);
  const std::string whole = WeeklyPayrolls().Generate();

  int ends[2];
  ASSERT_EQ(::pipe(ends), 0);
  ::fcntl(ends[1], F_SETPIPE_SZ, 4096);
  ::fcntl(ends[1], F_SETFL, O_NONBLOCK);
  std::vector<std::string> messages;
  NotificationSink previous =
      SetNotificationSink([&](const std::string& text) { messages.push_back(text); });
  WeeklyPayrolls payrolls;
  payrolls.report.GeneratePenaltyReport(ends[1]);
  SetNotificationSink(previous);
  ::close(ends[1]);
  std::string arrived;
  char buffer[4096];
  for (ssize_t n; (n = ::read(ends[0], buffer, sizeof buffer)) > 0;) arrived.append(buffer, n);
  ::close(ends[0]);

  ASSERT_LT(arrived.size(), whole.size());
  EXPECT_EQ(payrolls.report.BytesWritten, static_cast<int>(arrived.size()));
  const std::vector<std::string> written = Lines(whole), kept = Lines(arrived);
  size_t next = 0;
  for (const std::string& line : kept) {
    while (next < written.size() && written[next] != line) ++next;
    ASSERT_LT(next++, written.size()) << "not a line of the report, or out of order: " << line;
  }
  ASSERT_FALSE(messages.empty());
  for (const std::string& message : messages) {
    EXPECT_EQ(message,
              "CReportGenerator::GenerateHeader: write failed, errno = " + std::to_string(EAGAIN));
  }
}

// ---- failure to pay: the month summary and the input window ------------------------

/// A period line: date at 24, base ending in column 46, months in 50, rate
/// at 53, penalty ending in column 72.
std::string Period(const char* monthEnd, const std::string& base, const std::string& months,
                   const char* rate, const std::string& penalty) {
  std::string line = At({{0, "Penalty period through"}, {24, monthEnd}});
  line.append(47 - base.size() - line.size(), ' ').append(base);
  line.append(51 - months.size() - line.size(), ' ').append(months);
  line.append(53 - line.size(), ' ').append(rate);
  return line.append(73 - penalty.size() - line.size(), ' ').append(penalty);
}

TEST(FailureToPaySummary, GroupsMonthsOfEqualBaseAndRate) {
  struct Row {
    double base, penalty, paid;
    int rateCode;
    const char* monthEnd;
  };
  const struct {
    std::vector<Row> rows;
    std::vector<std::string> expected;
  } cases[] = {
      // Three months of 1,000.00 at 0.5%: one line, 3 months, 5.00 x 3.
      {{{1000.00, 5.00, 0.0, 1, "08/31/05"},
        {1000.00, 5.00, 0.0, 1, "09/30/05"},
        {1000.00, 5.00, 0.0, 1, "10/31/05"}},
       {Period("10-31-05", "1,000.00", "3", "0.5%", "15.00")}},
      // A cent less starts a new line; what was paid is shown before it.
      {{{1000.00, 5.00, 0.0, 1, "08/31/05"},
        {1000.00, 5.00, 0.01, 1, "09/30/05"},
        {999.99, 5.00, 0.0, 1, "10/31/05"}},
       {Period("09-30-05", "1,000.00", "2", "0.5%", "10.00"),
        At({{0, "Payments affecting next period"}, {43, "0.01"}}), "",
        Period("10-31-05", "999.99", "1", "0.5%", "5.00")}},
      // The rate rises to 1% after a levy notice: a new line.
      {{{2000.00, 10.00, 0.0, 1, "08/31/05"}, {2000.00, 20.00, 0.0, 2, "09/30/05"}},
       {Period("08-31-05", "2,000.00", "1", "0.5%", "10.00"),
        Period("09-30-05", "2,000.00", "1", "1.0%", "20.00")}},
  };
  for (const auto& c : cases) {
    ReportInputs inputs(State::Bare);
    CRunTimePenalties run;
    for (size_t r = 0; r < c.rows.size(); ++r) {
      FTPRow& row = run.FTPMonths[r];
      row.Base = c.rows[r].base;
      row.Penalty = c.rows[r].penalty;
      row.Paid = c.rows[r].paid;
      row.RateCode = c.rows[r].rateCode;
      row.MonthEnd = D(c.rows[r].monthEnd);
    }
    EXPECT_EQ(Lines(Written([&](int fd) { inputs.report.Generate6651a2Summary(fd, &run); })),
              c.expected);
  }
}

// ---- interest ---------------------------------------------------------------

/// Appends a link to the chain and computes its interest.
InterestEvent* Link(InterestEvent* last, int kind, const char* start, const char* end,
                    double principal, double rate, double balance) {
  InterestEvent* link = last->SetNext(nullptr);
  link->Kind = kind;
  link->StartDate = D(start);
  link->EndDate = D(end);
  link->Principal = principal;
  link->Rate = rate;
  link->Balance = balance;
  link->Compute();
  return link;
}

// 2,000.00 due 07-31-05; 1,500.00 paid 09-01-05 after 32 days at 7%:
// (1 + 0.07 / 365)^32 - 1 = 0.006155264, interest 12.31. A quarter end with
// no interest is left out; a failure-to-pay addition of 68.00; then 29 days
// at 10.5% on 2,000.00 + 12.31 - 1,500.00 + 68.00 = 580.31: factor
// 0.008376151, interest 4.86. Total 17.17.
TEST(InterestReport, DetailOfAChain) {
  PinnedClock clock(2005, 10, 3, 8, 0);
  ReportInputs inputs(State::Bare);
  InterestEvent chain;
  chain.Kind = INTEREST_LIABILITY;
  chain.StartDate = chain.EndDate = D("07/31/05");
  chain.Principal = chain.Balance = 2000.00;
  InterestEvent* last =
      Link(&chain, INTEREST_PAYMENT, "07/31/05", "09/01/05", 2000.00, 0.07, 1500.00);
  last = Link(last, INTEREST_QUARTER_END, "09/01/05", "09/01/05", 512.31, 0.07, 0.0);
  last = Link(last, INTEREST_FAILURE_TO_PAY, "09/01/05", "09/01/05", 512.31, 0.07, 68.00);
  Link(last, INTEREST_SETTLEMENT, "09/01/05", "09/30/05", 580.31, 0.105, 0.0);
  std::vector<std::string> lines =
      Lines(Written([&](int fd) { inputs.report.GenerateInterestDetail(fd, &chain); }));
  lines.erase(lines.begin() + 2, lines.begin() + 10);  // the header block
  EXPECT_EQ(Joined(lines.begin(), lines.end()), testing::DataText("reports/interest-chain.txt"));

  // A penalty entry shows what it adds even when that is nothing; an entry
  // of no known kind has no label.
  char line[81];
  InterestEvent* penalty = chain.Next->Next->Next;
  penalty->Balance = 0.0;
  inputs.report.GenerateInterestLine(line, penalty, INTEREST_FAILURE_TO_PAY);
  EXPECT_EQ(std::string(line), At({{0, "6651(a)(2)"}, {12, "09-01-05"}, {60, "0.00"}}));
  inputs.report.GenerateInterestLine(line, chain.Next, 9);
  EXPECT_EQ(std::string(line), At({{12, "07-31-05"},
                                   {24, "32"},
                                   {31, "7.00"},
                                   {38, "0.006155264"},
                                   {56, "1,500.00"},
                                   {73, "12.31"}}));
}

TEST(InterestReport, NothingBeforeTheDueDateWithoutPenalties) {
  WeeklyPayrolls payrolls;
  payrolls.compute.ComputeDate = D("04/15/05");  // the return is due 05-02-05
  int sections = -1;
  const std::string bytes =
      Written([&](int fd) { sections = payrolls.report.GenerateInterestReport(fd); });
  EXPECT_EQ(sections, 0);
  EXPECT_EQ(bytes, "");
  EXPECT_EQ(payrolls.report.PageStart[0], 0);
  EXPECT_EQ(payrolls.report.PageStart[1], -1);
}

// Rates from a rate file for the last two quarters of 2024 (10.5% and 7%):
// the table ends with a 2025 row of the year alone. User-defined holidays,
// 3 and 20 dates, listed from a count of 23 (9 and the 14 built-in holidays
// with a date in 2021-2024): with LinesPerPage 25 the page breaks after 2,
// then after 17 more lines, leaving 4.
TEST(InterestRatesReport, RateFileAndUserHolidaysOverSeveralPages) {
  PinnedClock clock(2006, 2, 1, 9, 30);
  std::filesystem::create_directories(NativePath(UserFolderText()));
  RateTable table;
  table.Rates[126] = 10.5;
  table.Rates[127] = 7.0;
  ASSERT_EQ(table.Save(), 1);
  Holiday calendar;
  HolidayEntry& picnic = calendar.Entries[calendar.Count];
  std::strcpy(picnic.Name, "Company Picnic");
  picnic.Dates[0] = D("06/14/24");
  picnic.Dates[1] = D("07/12/24");
  picnic.Dates[2] = D("08/16/24");
  HolidayEntry& shutdown = calendar.Entries[calendar.Count + 1];
  std::strcpy(shutdown.Name, "Plant Shutdown");
  for (int day = 0; day < 20; ++day) shutdown.Dates[day] = D("12/02/24") + day;
  ASSERT_EQ(calendar.Save(), 1);

  ReportInputs inputs(State::Full);
  inputs.report.LinesPerPage = 25;
  inputs.report.FirstPage = 1;
  int pages = 0;
  const std::string bytes =
      Written([&](int fd) { pages = inputs.report.GenerateInterestRatesReport(fd); });
  std::remove(NativePath(table.FilePath()).c_str());
  std::remove(NativePath(calendar.FilePath()).c_str());

  EXPECT_EQ(pages, 4);
  const std::vector<std::string> lines = Lines(bytes);
  const auto at =
      std::find(lines.begin(), lines.end(), "     2024   8.00    8.00   10.50    7.00    ");
  ASSERT_NE(at, lines.end());
  EXPECT_EQ(*(at + 1), "     2025" + std::string(35, ' '));
  EXPECT_EQ(*(at + 2), "");
  EXPECT_EQ(*(at + 3), "");
  EXPECT_EQ(*(at + 4), " ") << "the holiday pages follow";

  const int* start = inputs.report.PageStart;
  EXPECT_EQ(start[1], 0);
  const std::string opening = std::string(" ") + '\0' + "LEGAL HOLIDAYS (CONT)" + '\0';
  const int userLines[] = {2, 17, 4};
  for (int page = 1; page <= 3; ++page) {
    ASSERT_EQ(bytes.compare(start[1 + page], opening.size(), opening), 0) << page;
    const size_t end = page < 3 ? start[2 + page] : bytes.size();
    const std::vector<std::string> onPage =
        Lines(bytes.substr(start[1 + page], end - start[1 + page]));
    EXPECT_EQ(std::count_if(onPage.begin(), onPage.end(),
                            [](const std::string& l) {
                              return l.rfind("   Company Picnic", 0) == 0 ||
                                     l.rfind("   Plant Shutdown", 0) == 0;
                            }),
              userLines[page - 1])
        << page;
  }
  EXPECT_NE(std::find(lines.begin(), lines.end(), At({{3, "Company Picnic"}, {32, "06-14-24"}})),
            lines.end());
  EXPECT_EQ(start[5], -1);
}

// ---- main screen and deposit predictor -------------------------------------------

/// A Form 941 return of 2010 Q1 (quarter index 120), monthly, IRS rule.
struct Return2010 {
  std::unique_ptr<C941Doc> doc;
  C941Compute compute;
  CReportGenerator report;

  Return2010(testing::Entries entries, const char* computeDate) {
    doc = testing::MakeDoc(1, 120, 0, entries);
    compute.SetComputeDate(D(computeDate));
    compute.SetDueDate(120);
    compute.BasicCompute(doc.get(), 3, 0);
    report.Form = 1;
    report.Quarter = 120;
    report.Events = compute.Events;
    report.Compute = &compute;
    report.LinesPerPage = 20;
  }
};

// From 2010 the balance is the liabilities less the deposits so far: 1,000.00
// less the 100.00 COBRA subsidy (its quarterly total is not listed), less a
// type-17 event of 500.00 shown as -500.00 in the deposit column, less the
// 800.00 deposit. With 20 lines a page the head counts 13 and a page breaks
// before a row once the count is 15: two rows a page.
TEST(MainScreenReport, BalanceFrom2010AndPageBreaks) {
  Return2010 r({{LIABILITY, "01/08/10", 1000.00},
                {COBRA_PMT, "01/15/10", 100.00},
                {DEFER_SS, "01/20/10", 500.00},
                {DEPOSIT, "01/22/10", 800.00}},
               "03/31/10");
  int pages = 0;
  const std::string bytes = Written([&](int fd) { pages = r.report.GenerateMainScreenReport(fd); });
  EXPECT_EQ(pages, 2);
  const std::string head = std::string(1, '\0') + "MAIN SCREEN DATA REPORT" + '\0';
  EXPECT_EQ(bytes.compare(r.report.PageStart[1], head.size(), head), 0);
  std::vector<std::string> rows;
  for (const std::string& line : Lines(bytes)) {
    if (line.size() > 20 && line[20] == '0') rows.push_back(line);
  }
  EXPECT_EQ(rows,
            (std::vector<std::string>{
                At({{0, "Liability"}, {20, "01-08-10 Fri"}, {40, "1,000.00"}, {71, "1,000.00"}}),
                At({{0, "COBRA Subsidy"}, {20, "01-15-10 Fri"}, {58, "100.00"}, {73, "900.00"}}),
                At({{0, "Def'ed SS Pmt"}, {20, "01-20-10 Wed"}, {57, "-500.00"}, {71, "1,400.00"}}),
                At({{0, "Deposit 1"}, {20, "01-22-10 Fri"}, {58, "800.00"}, {73, "600.00"}})}));
  EXPECT_EQ(Lines(bytes).back(),
            At({{35, "============="}, {51, "============="}, {66, "============="}}));
  EXPECT_EQ(Lines(bytes)[Lines(bytes).size() - 2],
            At({{0, "Totals"}, {40, "1,000.00"}, {58, "400.00"}, {73, "600.00"}}));
}

// Nothing open: the deposit rules (the FUTA rule for Form 940), then either
// "No deposits required" or, with a deposit after the compute date, the note
// that it is not in the balance instead.
TEST(WizardReport, NothingOpen) {
  const struct {
    const char* computeDate;
    const char* last;
  } cases[] = {
      {"03/31/10", " No deposits required"},
      {"01/10/10", "   Deposits dated after today's date are not included in the balance."}};
  for (const auto& k : cases) {
    Return2010 r({{DEPOSIT, "01/22/10", 800.00}}, k.computeDate);
    r.report.Form = 2;
    int pages = 0;
    const std::vector<std::string> lines =
        Lines(Written([&](int fd) { pages = r.report.GenerateWizardReport(fd); }));
    EXPECT_EQ(pages, 1);
    // The opening lines (13, the header block 8 of them), the rule and
    // column head (8), the last line.
    ASSERT_EQ(lines.size(), 22u);
    EXPECT_EQ(lines[1], "DEPOSIT PREDICTOR");
    EXPECT_EQ(Joined(lines.begin() + 13, lines.end() - 1),
              testing::DataText("reports/futa-deposit-rules.txt"));
    EXPECT_EQ(lines.back(), k.last);
  }
}

}  // namespace
}  // namespace ledrix
