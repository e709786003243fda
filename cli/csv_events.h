// Events from a CSV file, as payroll systems export them:
//
//   date,type,amount
//   2005-01-07,LIABILITY,12480.55
//   2005-01-12,DEPOSIT,12480.55
//
// One header line, then one event a line with exactly those three fields (no
// quoting; blank lines are skipped). The events follow the return file's own,
// in file order.
#pragma once

#include <string>

#include "return_file.h"

namespace ledrix::cli {

/// Appends the events of CSV `text`; `path` names the file in messages.
void AppendCsvEvents(ReturnFile& file, const std::string& text, const std::string& path);

}  // namespace ledrix::cli
