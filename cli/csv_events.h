// Events from a CSV file, as payroll systems export them (RFC 4180):
//
//   date,type,amount
//   2005-01-07,LIABILITY,12480.55
//   2005-01-12,DEPOSIT,"$12,480.55"
//
// One header line naming the three columns (in any order, any case), then one
// event a record. Fields may be quoted, with "" for a quote inside; an amount
// may carry a dollar sign and, inside quotes, thousands separators. Lines end
// in CRLF or LF; a UTF-8 byte-order mark and blank lines are passed over. The
// events follow the return file's own, in file order. A fault is named by
// file, line and column: "payroll.csv: line 4, column 19: amount: ...".
#pragma once

#include <string>
#include <string_view>

#include "return_file.h"

namespace ledrix::cli {

/// Appends the events of CSV `text`; `path` names the file in messages.
void AppendCsvEvents(ReturnFile& file, const std::string& text, const std::string& path);

/// Reads a money amount: "-1234.5", "$1,234.50", "1,234.50"; thousands
/// separators only in groups of three. False when `text` is none of these.
bool ReadMoneyText(std::string_view text, double& amount);

}  // namespace ledrix::cli
