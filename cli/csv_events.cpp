#include "csv_events.h"

#include <cctype>
#include <charconv>
#include <string_view>
#include <vector>

namespace ledrix::cli {
namespace {

std::vector<std::string_view> SplitFields(std::string_view line) {
  std::vector<std::string_view> fields;
  for (size_t start = 0;;) {
    size_t comma = line.find(',', start);
    fields.push_back(Trim(line.substr(start, comma - start)));
    if (comma == std::string_view::npos) return fields;
    start = comma + 1;
  }
}

bool IsHeader(const std::vector<std::string_view>& fields) {
  constexpr std::string_view kNames[] = {"date", "type", "amount"};
  if (fields.size() != 3) return false;
  for (size_t i = 0; i < 3; ++i) {
    if (fields[i].size() != kNames[i].size()) return false;
    for (size_t k = 0; k < fields[i].size(); ++k) {
      if (std::tolower(static_cast<unsigned char>(fields[i][k])) != kNames[i][k]) return false;
    }
  }
  return true;
}

void AddCsvEvent(ReturnFile& file, const std::vector<std::string_view>& fields,
                 const std::string& where) {
  if (fields.size() != 3) {
    throw InputError(where + ": expected 3 fields (date,type,amount), found " +
                     std::to_string(fields.size()));
  }
  Date date;
  DateCheck check = ReadIsoDate(fields[0], date);
  if (check != DateCheck::Ok) Fail(where, "date", DateProblem(check, fields[0]));

  int type = ReadEventType(fields[1]);
  if (type < 0) Fail(where, "type", "unknown event type " + Quoted(fields[1]));

  std::string_view text = fields[2];
  double amount = 0.0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), amount);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) {
    Fail(where, "amount", Quoted(text) + " is not a number");
  }
  CheckAmount(amount, where, "amount");
  AddReturnEvent(file, where, type, date, amount);
}

}  // namespace

void AppendCsvEvents(ReturnFile& file, const std::string& text, const std::string& path) {
  std::string_view rest = text;
  int lineNumber = 0;
  bool headerSeen = false;
  while (!rest.empty()) {
    size_t newline = rest.find('\n');
    std::string_view line = rest.substr(0, newline);
    rest = newline == std::string_view::npos ? std::string_view() : rest.substr(newline + 1);
    ++lineNumber;
    const std::string where = path + ": line " + std::to_string(lineNumber);
    if (!headerSeen) {
      if (!IsHeader(SplitFields(line))) {
        throw InputError(where + ": expected the header line \"date,type,amount\", found " +
                         Quoted(Trim(line)));
      }
      headerSeen = true;
    } else if (!Trim(line).empty()) {
      AddCsvEvent(file, SplitFields(line), where);
    }
  }
  if (!headerSeen)
    throw InputError(path + ": empty; expected the header line \"date,type,amount\"");
}

}  // namespace ledrix::cli
