#include "csv_events.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <vector>

namespace ledrix::cli {
namespace {

struct CsvField {
  std::string text;
  int line = 1;    ///< where the field begins
  int column = 1;  ///< in characters, from 1
  bool quoted = false;
};
using CsvRecord = std::vector<CsvField>;

/// Splits CSV text into records as RFC 4180 writes them, following the line
/// and column of each field for messages.
class CsvScanner {
 public:
  CsvScanner(std::string_view text, const std::string& path) : text_(text), path_(path) {
    constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
    if (text_.substr(0, kByteOrderMark.size()) == kByteOrderMark) at_ = kByteOrderMark.size();
  }

  /// The next record; false after the last.
  bool Next(CsvRecord& record) {
    record.clear();
    if (at_ >= text_.size()) return false;
    for (;;) {
      SkipBlanks();
      CsvField field;
      field.line = line_;
      field.column = column_;
      if (Peek() == '"') {
        ReadQuoted(field);
      } else {
        ReadPlain(field);
      }
      record.push_back(std::move(field));
      if (Peek() != ',') break;
      Advance();
    }
    if (Peek() == '\r') Advance();
    if (Peek() == '\n') Advance();
    return true;
  }

  /// "payroll.csv: line 4, column 19"
  std::string Where(int line, int column) const {
    return path_ + ": line " + std::to_string(line) + ", column " + std::to_string(column);
  }

 private:
  char Peek() const { return at_ < text_.size() ? text_[at_] : '\0'; }
  bool AtEnd() const { return at_ >= text_.size(); }

  void Advance() {
    const unsigned char c = static_cast<unsigned char>(text_[at_++]);
    if (c == '\n') {
      ++line_;
      column_ = 1;
    } else if ((c & 0xC0) != 0x80) {  // a UTF-8 continuation byte is part of its character
      ++column_;
    }
  }

  void SkipBlanks() {
    while (Peek() == ' ' || Peek() == '\t') Advance();
  }

  void ReadPlain(CsvField& field) {
    while (!AtEnd() && Peek() != ',' && Peek() != '\n') {
      field.text += Peek();
      Advance();
    }
    while (!field.text.empty() && std::isspace(static_cast<unsigned char>(field.text.back()))) {
      field.text.pop_back();
    }
  }

  void ReadQuoted(CsvField& field) {
    field.quoted = true;
    Advance();
    for (;;) {
      if (AtEnd()) {
        throw InputError(Where(field.line, field.column) + ": the quoted field is not closed");
      }
      if (Peek() == '"') {
        Advance();
        if (Peek() != '"') break;  // "" is a quote inside the field
      }
      field.text += Peek();
      Advance();
    }
    SkipBlanks();
    if (Peek() == '\r') Advance();
    if (!AtEnd() && Peek() != ',' && Peek() != '\n') {
      throw InputError(Where(line_, column_) + ": expected a comma after the closing quote");
    }
  }

  std::string_view text_;
  const std::string& path_;
  size_t at_ = 0;
  int line_ = 1;
  int column_ = 1;
};

constexpr std::array<std::string_view, 3> kColumns = {"date", "type", "amount"};

bool SameName(std::string_view text, std::string_view name) {
  if (text.size() != name.size()) return false;
  for (size_t i = 0; i < text.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(text[i])) != name[i]) return false;
  }
  return true;
}

/// The field of each column (date, type, amount) in a record, read from the
/// header, which names the three columns once each in any order.
std::array<size_t, 3> ReadHeader(const CsvRecord& header, const CsvScanner& scanner) {
  std::array<size_t, 3> places;
  places.fill(header.size());
  for (size_t field = 0; field < header.size(); ++field) {
    for (size_t column = 0; column < kColumns.size(); ++column) {
      if (SameName(header[field].text, kColumns[column])) places[column] = field;
    }
  }
  bool complete = header.size() == kColumns.size();
  for (size_t place : places) complete = complete && place < header.size();
  if (!complete) {
    std::string found;
    for (size_t i = 0; i < header.size(); ++i) found += (i ? "," : "") + header[i].text;
    throw InputError(scanner.Where(header[0].line, header[0].column) +
                     ": expected the header line \"date,type,amount\" (the columns in any "
                     "order), found " +
                     Quoted(found));
  }
  return places;
}

void AddCsvEvent(ReturnFile& file, const CsvRecord& record, const std::array<size_t, 3>& places,
                 const CsvScanner& scanner) {
  if (record.size() != kColumns.size()) {
    // The first field too many, or the last of too few.
    const CsvField& at = record[std::min(record.size() - 1, kColumns.size())];
    std::string problem =
        "expected 3 fields (date,type,amount), found " + std::to_string(record.size());
    if (record.size() > kColumns.size()) {
      problem += "; an amount with a thousands separator goes in quotes, as \"1,000.00\"";
    }
    throw InputError(scanner.Where(at.line, at.column) + ": " + problem);
  }
  const CsvField& dateField = record[places[0]];
  const CsvField& typeField = record[places[1]];
  const CsvField& amountField = record[places[2]];

  Date date;
  DateCheck check = ReadIsoDate(dateField.text, date);
  if (check != DateCheck::Ok) {
    Fail(scanner.Where(dateField.line, dateField.column), "date",
         DateProblem(check, dateField.text));
  }
  int type = ReadEventType(typeField.text);
  if (type < 0) {
    Fail(scanner.Where(typeField.line, typeField.column), "type", UnknownEventType(typeField.text));
  }
  const std::string amountWhere = scanner.Where(amountField.line, amountField.column);
  double amount = 0.0;
  if (!ReadMoneyText(amountField.text, amount)) {
    Fail(
        amountWhere, "amount",
        Quoted(amountField.text) + " is not an amount (as 1234.56, \"1,234.56\" or \"$1,234.56\")");
  }
  CheckEventAmount(type, amount, amountWhere);
  AddReturnEvent(file, scanner.Where(dateField.line, dateField.column), type, date, amount);
}

bool IsBlank(const CsvRecord& record) {
  return record.size() == 1 && !record[0].quoted && record[0].text.empty();
}

}  // namespace

bool ReadMoneyText(std::string_view text, double& amount) {
  std::string digits;
  if (!text.empty() && (text[0] == '-' || text[0] == '+')) {
    if (text[0] == '-') digits += '-';
    text.remove_prefix(1);
  }
  if (!text.empty() && text[0] == '$') text.remove_prefix(1);
  const std::string_view whole = text.substr(0, text.find('.'));
  const std::string_view cents = text.substr(whole.size());
  // Separators, when there are any, stand between groups of three digits.
  size_t group = 0;
  bool separated = false;
  for (char c : whole) {
    if (c == ',') {
      if (digits.empty() || digits == "-" || (separated && group != 3) || group > 3) return false;
      separated = true;
      group = 0;
    } else if (std::isdigit(static_cast<unsigned char>(c))) {
      digits += c;
      ++group;
    } else {
      return false;
    }
  }
  if ((separated && group != 3) || (whole.empty() && cents.size() < 2)) return false;
  digits += cents;
  const char* end = digits.data() + digits.size();
  auto [stop, error] = std::from_chars(digits.data(), end, amount);
  return error == std::errc() && stop == end;
}

void AppendCsvEvents(ReturnFile& file, const std::string& text, const std::string& path) {
  CsvScanner scanner(text, path);
  CsvRecord record;
  bool headerSeen = false;
  std::array<size_t, 3> places{};
  while (scanner.Next(record)) {
    if (IsBlank(record)) continue;
    if (!headerSeen) {
      places = ReadHeader(record, scanner);
      headerSeen = true;
    } else {
      AddCsvEvent(file, record, places, scanner);
    }
  }
  if (!headerSeen) {
    throw InputError(path + ": empty; expected the header line \"date,type,amount\"");
  }
}

}  // namespace ledrix::cli
