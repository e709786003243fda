// Text pieces of report lines: money and dates as the reports print them, and
// lines built by placing values at fixed columns.
#pragma once

#include <string>

#include "ledrix/date.h"
#include "ledrix/reports.h"

namespace ledrix::reports {

/// FormatAmountRight of `amount` in `width` (12.50 in 10: five blanks, 12.50).
std::string Money(double amount, int width);
/// MM-DD-YY, or the empty text for no date.
std::string DateText(Date date);
/// MM-DD-YY and the weekday (01-14-05 Fri), or the empty text.
std::string DateWithWeekday(Date date);

/// A report line built on 80 blanks: values are copied in at their columns,
/// and the last one copied may end the line.
class ColumnLine {
 public:
  static constexpr int kWidth = 80;

  ColumnLine();
  /// Copies `value` at `column` over what is there; the line grows when the
  /// value runs past its end.
  void Put(int column, const std::string& value);
  /// Copies `value` at `column` and ends the line after it.
  void End(int column, const std::string& value);
  /// Removes trailing blanks.
  void TrimRight();
  const char* Text() const { return text_; }

 private:
  char text_[ReportLineSize] = {};
};

/// Copies `value` over `line` (a buffer of ReportLineSize bytes) from
/// `column`; when it runs past the line's end the line ends after it. Text
/// that would not fit the buffer is left out.
void Overwrite(char* line, int column, const std::string& value);

}  // namespace ledrix::reports
