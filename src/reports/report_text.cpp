#include "reports/report_text.h"

#include <cstring>

#include "ledrix/amounts.h"

namespace ledrix::reports {

std::string Money(double amount, int width) {
  char text[64];
  FormatAmountRight(text, amount, width < 40 ? width : 40);
  return text;
}

std::string DateText(Date date) {
  char text[16];
  date.Format(text, 0);
  return text;
}

std::string DateWithWeekday(Date date) {
  char text[16];
  date.FormatWithWeekday(text);
  return text;
}

void Overwrite(char* line, int column, const std::string& value) {
  if (column < 0 || column >= ReportLineSize - 1) return;
  const std::size_t room = static_cast<std::size_t>(ReportLineSize - 1 - column);
  const std::size_t count = value.size() < room ? value.size() : room;
  const std::size_t length = std::strlen(line);
  if (static_cast<std::size_t>(column) > length) std::memset(line + length, ' ', column - length);
  std::memcpy(line + column, value.data(), count);
  if (column + count > length) line[column + count] = '\0';
}

ColumnLine::ColumnLine() {
  std::memset(text_, ' ', kWidth);
}

void ColumnLine::Put(int column, const std::string& value) {
  Overwrite(text_, column, value);
}

void ColumnLine::End(int column, const std::string& value) {
  Overwrite(text_, column, value);
  const std::size_t end = static_cast<std::size_t>(column) + value.size();
  if (end < static_cast<std::size_t>(ReportLineSize)) text_[end] = '\0';
}

void ColumnLine::TrimRight() {
  ledrix::TrimRight(text_);
}

}  // namespace ledrix::reports
