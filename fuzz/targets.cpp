#include "targets.h"

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>
#include <vector>

#include "csv_events.h"
#include "json_output.h"
#include "ledrix/ledrix.h"
#include "report_command.h"
#include "return_file.h"
#include "run_return.h"
#include "text_summary.h"

namespace ledrix::fuzz {
namespace {

namespace fs = std::filesystem;

// ---- the return file and CSV events ------------------------------------------

// What a finished computation holds whatever the input was: a finite
// penalty, and a summary and JSON result that can be written.
std::string CheckComputed(const cli::ComputedReturn& result) {
  const double penalty = result.compute->GetPenalty();
  if (!std::isfinite(penalty)) return "the deposit penalty is " + std::to_string(penalty);
  std::ostringstream summary;
  cli::WriteSummary(summary, result);
  cli::ResultJson(result).dump();
  return "";
}

std::string ComputeReturnFile(std::string_view input) {
  try {
    cli::ReturnFile file = cli::ParseReturn(std::string(input), "fuzz.json");
    return CheckComputed(cli::ComputeReturn(file));
  } catch (const cli::InputError&) {
    return "";
  }
}

// The events of an export added to a semi-weekly Form 941 return for 2005 Q1,
// computed by the IRS rule.
std::string ComputeCsvEvents(std::string_view input) {
  static const std::string kReturn =
      R"({"form": "941", "period": "2005Q1", "schedule": "semiweekly",
          "compute_date": "2005-12-31", "allocation": "irs"})";
  try {
    cli::ReturnFile file = cli::ParseReturn(kReturn, "fuzz.json");
    cli::AppendCsvEvents(file, std::string(input), "fuzz.csv");
    return CheckComputed(cli::ComputeReturn(file));
  } catch (const cli::InputError&) {
    return "";
  }
}

// ---- date texts ------------------------------------------------------------------

// Parse answers 1 exactly when it leaves a date; a date of 1980-2079 prints
// as a text that reads back as the same date; an ISO date the command reads
// prints back as the same text.
std::string ParseDate(std::string_view input) {
  const std::string text(input);  // Parse reads up to the first NUL
  Date date;
  const int parsed = date.Parse(text.c_str());
  if (parsed != (date.IsValid() ? 1 : 0) || (!parsed && date.Serial != Date::NoDate)) {
    return "Parse answered " + std::to_string(parsed) + " leaving serial " +
           std::to_string(date.Serial);
  }
  if (parsed && date.Year() < 180) {  // two-digit years name 1980 to 2079
    char printed[16];
    date.Format(printed, 0);
    Date again;
    if (!again.Parse(printed) || again != date) return std::string(printed) + " reads back wrong";
  }
  Date iso;
  if (cli::ReadIsoDate(input, iso) == cli::DateCheck::Ok && cli::IsoDate(iso) != input) {
    return "the ISO date prints back as " + cli::IsoDate(iso);
  }
  return "";
}

// ---- the holiday file and the rate file ------------------------------------------

fs::path UserFile(const char* name) {
  const fs::path path = NativePath(UserFolderText() + name);
  fs::create_directories(path.parent_path());
  return path;
}

void WriteBytes(const fs::path& path, std::string_view bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc)
      .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// Whatever the file holds, the built-in holidays survive and no name runs
// into its dates. A file of one of the three known lengths is rewritten in
// the current form and reads back the same; any other is left as it was.
std::string LoadHolidayFile(std::string_view input) {
  const fs::path path = UserFile(Holiday::FileName);
  WriteBytes(path, input);
  const Holiday calendar;
  std::string broken;
  if (calendar.Count != 16 || !calendar.IsHoliday(Date(1, 17, 5)) || calendar.IsHoliday(Date())) {
    broken = "the built-in holidays did not survive";
  }
  for (const HolidayEntry& entry : calendar.Entries) {
    if (strnlen(entry.Name, sizeof entry.Name) == sizeof entry.Name) broken = "a name has no end";
  }
  const std::string after = ReadBytes(path);
  if (input.size() == 484 || input.size() == 404 || input.size() == 324) {
    const Holiday again;
    if (after.size() != 484 ||
        std::memcmp(calendar.Entries, again.Entries, sizeof calendar.Entries) != 0) {
      broken = "the rewritten file does not read back the same";
    }
  } else if (after != input) {
    broken = "a file of no known length was changed";
  }
  fs::remove(path);
  return broken;
}

// Whatever the file holds, the built-in rates stand, every quarter has a
// finite rate, and the rates save and read back the same.
std::string LoadRateFile(std::string_view input) {
  const fs::path path = UserFile(RateTable::FileName);
  static const RateTable builtIn = [&path] {
    fs::remove(path);
    return RateTable();
  }();
  WriteBytes(path, input);
  RateTable rates;
  std::string broken;
  if (rates.Count != builtIn.Count ||
      !std::equal(builtIn.Rates, builtIn.Rates + builtIn.Count, rates.Rates)) {
    broken = "the file changed a built-in rate";
  }
  for (int i = -1; i <= rates.LastQuarter() + 1; ++i) {
    if (!std::isfinite(rates.RateForQuarter(i))) broken = "a quarter has no finite rate";
  }
  if (rates.Save() != 1) {
    broken = "the rates could not be saved: " + LastFileError();
  } else if (const RateTable again;
             !std::equal(rates.Rates, rates.Rates + RateTable::QuarterCount, again.Rates) ||
             rates.LaterRates != again.LaterRates) {
    broken = "the saved rates read back differently";
  }
  fs::remove(path);
  return broken;
}

// ---- the report writer -------------------------------------------------------------

// Takes a host's values from the front of the input; bytes past the end read
// as zero.
class HostBytes {
 public:
  explicit HostBytes(std::string_view input) : rest_(input) {}

  template <class T>
  T Take() {
    T value{};
    const std::size_t n = std::min(sizeof value, rest_.size());
    std::memcpy(&value, rest_.data(), n);
    rest_.remove_prefix(n);
    return value;
  }
  Date TakeDate() { return Date::FromSerial(Take<std::uint16_t>()); }
  /// A finite amount: a value that is not becomes the largest of its sign.
  double TakeAmount() {
    const double amount = Take<double>();
    return std::isfinite(amount) ? amount : std::copysign(DBL_MAX, amount);
  }
  /// The text up to the next newline or the end.
  std::string_view TakeLine() {
    const std::size_t end = std::min(rest_.find('\n'), rest_.size());
    const std::string_view line = rest_.substr(0, end);
    rest_.remove_prefix(std::min(end + 1, rest_.size()));
    return line;
  }
  bool Empty() const { return rest_.empty(); }

 private:
  std::string_view rest_;
};

// Copies `text` into a host record's character field, filling it to the last
// byte (with no NUL) when the text is that long.
template <std::size_t N>
void FillField(std::string_view text, char (&field)[N]) {
  std::memset(field, 0, N);
  std::memcpy(field, text.data(), std::min(N, text.size()));
}

// A report file in memory, so that what reached it can be compared with the
// generator's count.
class MemoryFile {
 public:
  MemoryFile() : fd_(::memfd_create("ledrix-report", MFD_CLOEXEC)) {}
  ~MemoryFile() { ::close(fd_); }
  MemoryFile(const MemoryFile&) = delete;
  MemoryFile& operator=(const MemoryFile&) = delete;

  int Fd() const { return fd_; }
  std::string Bytes() const {
    std::string bytes(static_cast<std::size_t>(::lseek(fd_, 0, SEEK_END)), '\0');
    if (::pread(fd_, bytes.data(), bytes.size(), 0) != static_cast<ssize_t>(bytes.size())) {
      return "(unreadable)";
    }
    return bytes;
  }

 private:
  int fd_;
};

// The host's return as the input gives it: form, dates, penalty inputs,
// events with any type, date and finite amount, the company's name and EIN.
// The layout, from the front (bytes past the end read as zero):
//   form of the compute object (byte mod 5: 941, 944, 943, 945, 940), the
//   report written whole (byte mod 1 + the number of report kinds: none, or
//   the kind of that place in cli::ReportKinds()), the generator's Form
//   (signed byte), the header's
//   indent (16-bit), the quarter (16-bit); 13 day serials: compute date,
//   status date, due date, the user period's start, end and due date, the
//   notice's last day to pay, notice date and interest start, date filed,
//   extended due date, extended payment date, jeopardy date; a byte of flags
//   (6656, 6651(a)(1), 6651(a)(2) active, fraudulent, add ten days, no page
//   heads); the schedule and `which` (signed bytes); lines per page (16-bit);
//   first page (signed byte); the event count (byte mod 48) and the events
//   (type byte, serial, double). Then lines: the company name, the EIN, the
//   header version, the title of the IRS-format parts, and template lines
//   for DoReplacement.
struct HostReturn {
  cli::ReturnFile file;
  int reportKind = 0;
  int form = 0;
  int indent = 0;
  int which = 0;
};

HostReturn ReadHostReturn(HostBytes& in) {
  static constexpr int kForms[] = {1, 10, 3, 4, 2};
  HostReturn host;
  cli::ReturnFile& file = host.file;
  file.path = "fuzz.json";
  file.doc = std::make_unique<C941Doc>();
  C941Doc& doc = *file.doc;
  file.settings.form = cli::FindFormByCode(kForms[in.Take<std::uint8_t>() % 5]);
  file.settings.allocationFlags = 3;  // the IRS rule; the search is the return file's target
  host.reportKind = in.Take<std::uint8_t>() % (cli::ReportKinds().size() + 1);
  host.form = in.Take<std::int8_t>();
  host.indent = in.Take<std::int16_t>();
  file.settings.quarter = doc.Quarter = in.Take<std::int16_t>();
  file.settings.computeDate = in.TakeDate();
  file.report.statusDate = in.TakeDate();
  file.settings.dueDate = in.TakeDate();
  for (Date* date : {&doc.UserPeriodStart, &doc.UserPeriodEnd, &doc.UserPeriodDueDate}) {
    *date = in.TakeDate();
  }
  CPenalties& p = doc.Penalties;
  for (Date* date : {&p.CC6656.LastDayToPay, &p.CC6656.NoticeDate, &p.CC6656.InterestStart,
                     &p.CC6651A1.DateFiled, &p.CC6651A1.ExtendedDueDate,
                     &p.CC6651A2.ExtendedPaymentDate, &p.CC6651A2.JeopardyDate}) {
    *date = in.TakeDate();
  }
  const int flags = in.Take<std::uint8_t>();
  p.CC6656.Active = flags & 1;
  p.CC6651A1.Active = flags >> 1 & 1;
  p.CC6651A2.Active = flags >> 2 & 1;
  p.CC6651A1.Fraudulent = flags >> 3 & 1;
  p.CC6656.AddTenDays = flags >> 4 & 1;
  file.report.noPageHeads = flags >> 5 & 1;
  doc.ComputeMethod = in.Take<std::int8_t>();
  host.which = in.Take<std::int8_t>();
  file.report.linesPerPage = in.Take<std::int16_t>();
  file.report.firstPage = in.Take<std::int8_t>();
  file.eventCount = in.Take<std::uint8_t>() % 48;
  for (int i = 0; i < file.eventCount; ++i) {
    Event& event = doc.Events[i];
    event.Clear();
    event.Type = in.Take<std::int8_t>();
    event.Date = in.TakeDate();
    event.Amount = in.TakeAmount();
  }
  FillField(in.TakeLine(), doc.Company.Name);
  FillField(in.TakeLine(), doc.Company.EIN);
  file.report.headerVersion = in.TakeLine();
  file.report.hasTitle = true;
  file.report.title = in.TakeLine();
  return host;
}

// Every byte the generator counted reached the file, as lines that fit a
// line buffer and each end in a NUL, and every recorded page starts inside
// the file.
std::string CheckReportFile(const CReportGenerator& generator, const std::string& bytes) {
  if (bytes.size() != static_cast<std::size_t>(generator.BytesWritten)) {
    return "BytesWritten is " + std::to_string(generator.BytesWritten) + ", the file holds " +
           std::to_string(bytes.size());
  }
  if (!bytes.empty() && bytes.back() != '\0') return "the last line has no NUL";
  for (std::size_t start = 0, end; (end = bytes.find('\0', start)) != std::string::npos;
       start = end + 1) {
    if (end - start >= static_cast<std::size_t>(ReportLineSize)) {
      return "a line of " + std::to_string(end - start) + " characters";
    }
  }
  for (const std::int32_t start : generator.PageStart) {
    if (start < -1 || start > generator.BytesWritten) return "a page starts outside the file";
  }
  return "";
}

std::string WriteReportFields(std::string_view input) {
  static const std::vector<std::string> kKinds = cli::ReportKinds();
  HostBytes in(input);
  HostReturn host = ReadHostReturn(in);
  cli::ComputedReturn result = cli::ComputeReturn(host.file);
  CReportGenerator generator;
  cli::SetUpGenerator(generator, result);
  generator.Form = host.form;
  const MemoryFile out;
  generator.BytesWritten +=
      static_cast<std::int32_t>(generator.GenerateHeader(out.Fd(), host.indent));
  while (!in.Empty()) {
    const std::string_view text = in.TakeLine();
    // Exactly the buffer's size, so that the sanitizer sees any overrun.
    std::vector<char> line(ReportLineSize, '\0');
    std::memcpy(line.data(), text.data(), std::min(text.size(), line.size() - 1));
    generator.DoReplacement(line.data(), result.penalties.get(), host.which, out.Fd(),
                            result.interest.get(), result.compute.get());
    if (!std::memchr(line.data(), '\0', line.size())) return "a line lost its end";
    const std::size_t length = std::strlen(line.data()) + 1;  // written as a host writes a line
    if (::write(out.Fd(), line.data(), length) == static_cast<ssize_t>(length)) {
      generator.BytesWritten += static_cast<std::int32_t>(length);
    }
  }
  if (host.reportKind > 0) {
    cli::GenerateReport(generator, kKinds[host.reportKind - 1], out.Fd(), host.file.report);
  }
  return CheckReportFile(generator, out.Bytes());
}

constexpr Target kTargets[] = {
    {"return_file", ComputeReturnFile}, {"csv_events", ComputeCsvEvents},
    {"date_parse", ParseDate},          {"holiday_file", LoadHolidayFile},
    {"rate_file", LoadRateFile},        {"report_fields", WriteReportFields},
};

}  // namespace

std::span<const Target> Targets() {
  return kTargets;
}

const Target* FindTarget(std::string_view name) {
  for (const Target& target : kTargets) {
    if (name == target.name) return &target;
  }
  return nullptr;
}

}  // namespace ledrix::fuzz
