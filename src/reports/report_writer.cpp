// The report writer: lines and their byte count, the page-start table, the
// header block, templates and the deposit-penalty page break.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "ledrix/platform.h"
#include "ledrix/reports.h"
#include "platform/files.h"
#include "reports/templates.h"

namespace ledrix {

namespace {

// Indents beyond this would not leave room for the header's values; no
// report asks for more than 3.
constexpr int kLargestIndent = 64;

/// Writes the line's text and its NUL; the bytes written, or -1.
long WriteTextAndNul(int fd, const char* text) {
  return platform::WriteFile(fd, text, std::strlen(text) + 1);
}

void CopyLine(char* buffer, const char* text) {
  std::memset(buffer, 0, ReportLineSize);
  std::strncpy(buffer, text, ReportLineSize - 1);
}

}  // namespace

CReportGenerator::CReportGenerator() {
  PageStart[0] = 0;
  for (int i = 1; i < PageStartCount; ++i) PageStart[i] = -1;
}

long CReportGenerator::WriteLine(int fd, const char* text) {
  const long written = WriteTextAndNul(fd, text);
  if (written > 0) BytesWritten += static_cast<std::int32_t>(written);
  return written;
}

void CReportGenerator::RecordPageStart(int page) {
  const int index = FirstPage + page;
  // The table holds 100 pages; later ones are left out without a message.
  if (index >= 0 && index < PageStartCount) PageStart[index] = BytesWritten;
}

long CReportGenerator::GenerateHeader(int fd, int indent) {
  const bool userPeriod = Form == 6;
  const reports::Template lines = userPeriod
                                      ? (indent == 0 ? reports::kHeaderD : reports::kHeaderC)
                                      : (indent <= 0 ? reports::kHeaderA : reports::kHeaderB);
  // A negative indent is the caller's mistake: it gets no blanks.
  const int blanks = indent < 0 ? 0 : (indent > kLargestIndent ? kLargestIndent : indent);
  long total = 0;
  for (const char* const* line = lines; *line; ++line) {
    char buffer[ReportLineSize] = {};
    std::memset(buffer, ' ', static_cast<std::size_t>(blanks));
    std::strncpy(buffer + blanks, *line, ReportLineSize - 1 - blanks);
    DoReplacement(buffer, nullptr, SectionAdditional5, fd, nullptr, Compute);
    const long written = WriteTextAndNul(fd, buffer);
    if (written == -1) {
      char message[96];
      std::snprintf(message, sizeof message,
                    "CReportGenerator::GenerateHeader: write failed, errno = %d", errno);
      Notify(message);
      continue;
    }
    total += written;
  }
  return total;
}

void CReportGenerator::WriteTemplate(int fd, const char* const* lines, CRunTimePenalties* pen,
                                     int which, InterestEvent* chain, CCompute* compute) {
  for (const char* const* line = lines; *line; ++line) {
    if (std::strcmp(*line, reports::kHeaderLine) == 0) {
      WriteFixedLine(fd, *line, 0);
      continue;
    }
    char buffer[ReportLineSize];
    CopyLine(buffer, *line);
    DoReplacement(buffer, pen, which, fd, chain, compute);
    WriteLine(fd, buffer);
  }
}

void CReportGenerator::WriteDatedLines(int fd, const char* const* lines, const Date* dates,
                                       int count) {
  int k = 0;
  for (const char* const* line = lines; *line; ++line) {
    std::string text = *line;
    const std::size_t mark = text.find('%');
    if (mark != std::string::npos && k < count) {
      char date[16];
      dates[k++].Format(date, 0);
      text.replace(mark, std::string::npos, date);
    }
    WriteLine(fd, text.c_str());
  }
}

void CReportGenerator::WriteFixedLine(int fd, const char* line, int indent, const char* method) {
  if (std::strcmp(line, reports::kHeaderLine) == 0) {
    BytesWritten += static_cast<std::int32_t>(GenerateHeader(fd, indent));
    return;
  }
  std::string text = line;
  const std::size_t mark = text.find(reports::kMethodMark);
  if (mark != std::string::npos) text.replace(mark, std::string::npos, method ? method : "");
  WriteLine(fd, text.c_str());
}

int CReportGenerator::WriteFixedLines(int fd, const char* const* lines, int indent,
                                      const char* method) {
  int count = 0;
  for (; lines[count]; ++count) WriteFixedLine(fd, lines[count], indent, method);
  return count;
}

int CReportGenerator::CheckForNewPage(int& lineNo, int fd, int& pageNo) {
  if (lineNo < LinesPerPage - 6) return 0;
  RecordPageStart(pageNo);
  ++pageNo;
  lineNo = 7;
  if (NoPageHeads) return 1;
  // Continuation pages carry no method text: the title keeps its two
  // trailing blanks.
  lineNo += WriteFixedLines(fd, reports::kPenaltyPageHead, 0);
  WriteLine(fd, "");
  ++lineNo;
  return 1;
}

}  // namespace ledrix
