#include "fields.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <nlohmann/json.hpp>

namespace ledrix::cli {
namespace {

constexpr std::array<FormInfo, 5> kForms = {{
    {"941", 1, false},
    {"944", 10, true},
    {"943", 3, true},
    {"945", 4, true},
    {"940", 2, true},
}};

constexpr std::array<const char*, 3> kSchedules = {"monthly", "semiweekly",
                                                   "first-time-semiweekly"};

struct Allocation {
  const char* name;
  int flags;
};
constexpr std::array<Allocation, 4> kAllocations = {{
    {"best", 0},
    {"irs", 3},
    {"irs-old", 1},
    {"irs-new", 2},
}};

/// Letters to insert, delete or replace to turn `a` into `b`, case aside.
size_t EditDistance(std::string_view a, std::string_view b) {
  std::vector<size_t> row(b.size() + 1);
  for (size_t j = 0; j <= b.size(); ++j) row[j] = j;
  for (size_t i = 1; i <= a.size(); ++i) {
    size_t diagonal = row[0];
    row[0] = i;
    for (size_t j = 1; j <= b.size(); ++j) {
      const bool same = std::tolower(static_cast<unsigned char>(a[i - 1])) ==
                        std::tolower(static_cast<unsigned char>(b[j - 1]));
      const size_t replaced = diagonal + (same ? 0 : 1);
      diagonal = row[j];
      row[j] = std::min({row[j] + 1, row[j - 1] + 1, replaced});
    }
  }
  return row[b.size()];
}

}  // namespace

std::string NearestName(std::string_view text, const std::vector<std::string>& names) {
  const size_t allowed = std::max<size_t>(2, text.size() / 3);
  std::string nearest;
  size_t best = allowed + 1;
  for (const std::string& name : names) {
    // A name cut short ("LIAB") is as near as a name with one letter off.
    const bool cut = text.size() >= 3 && text.size() < name.size() &&
                     EditDistance(text, std::string_view(name).substr(0, text.size())) == 0;
    const size_t distance = cut ? 1 : EditDistance(text, name);
    if (distance < best) {
      best = distance;
      nearest = name;
    }
  }
  return nearest;
}

std::string DidYouMean(std::string_view text, const std::vector<std::string>& names) {
  const std::string nearest = NearestName(text, names);
  return nearest.empty() ? std::string() : "; did you mean " + Quoted(nearest) + "?";
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) {
    text.remove_prefix(1);
  }
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) {
    text.remove_suffix(1);
  }
  return text;
}

bool ReadDigits(std::string_view text, int& value) {
  if (text.empty()) return false;
  for (char c : text) {
    if (!std::isdigit(static_cast<unsigned char>(c))) return false;
  }
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && end == text.data() + text.size();
}

void CreateFolderOf(const std::string& path) {
  std::error_code error;
  std::filesystem::create_directories(std::filesystem::path(path).parent_path(), error);
}

bool ReadQuarterText(std::string_view text, int& quarter) {
  int year = 0, number = 0;
  if (text.size() != 6 || (text[4] != 'Q' && text[4] != 'q') ||
      !ReadDigits(text.substr(0, 4), year) || !ReadDigits(text.substr(5, 1), number) ||
      number < 1 || number > 4) {
    return false;
  }
  quarter = (year - 1980) * 4 + number - 1;
  return true;
}

std::string QuarterText(int quarter) {
  return Format("%d Q%d", 1980 + quarter / 4, quarter % 4 + 1);
}

std::string PercentText(double percent) {
  return Format("%.2f%%", percent);
}

void Fail(const std::string& where, const std::string& field, const std::string& problem) {
  throw InputError(where + ": " + field + ": " + problem);
}

std::string Quoted(std::string_view text) {
  return nlohmann::json(std::string(text)).dump();
}

const FormInfo* FindForm(std::string_view name) {
  for (const FormInfo& form : kForms) {
    if (name == form.name) return &form;
  }
  return nullptr;
}

const FormInfo* FindFormByCode(int code) {
  for (const FormInfo& form : kForms) {
    if (code == form.code) return &form;
  }
  return nullptr;
}

int FindSchedule(std::string_view name) {
  for (size_t i = 0; i < kSchedules.size(); ++i) {
    if (name == kSchedules[i]) return static_cast<int>(i);
  }
  return -1;
}

const char* ScheduleName(int schedule) {
  if (schedule < 0 || schedule >= static_cast<int>(kSchedules.size())) return "semiweekly";
  return kSchedules[static_cast<size_t>(schedule)];
}

int FindAllocation(std::string_view name) {
  for (const Allocation& allocation : kAllocations) {
    if (name == allocation.name) return allocation.flags;
  }
  return -1;
}

std::vector<std::string> AllocationNames() {
  std::vector<std::string> names;
  for (const Allocation& allocation : kAllocations) names.emplace_back(allocation.name);
  return names;
}

DateCheck ReadIsoDate(std::string_view text, Date& date) {
  date = Date();
  int year = 0, month = 0, day = 0;
  if (text.size() != 10 || text[4] != '-' || text[7] != '-' ||
      !ReadDigits(text.substr(0, 4), year) || !ReadDigits(text.substr(5, 2), month) ||
      !ReadDigits(text.substr(8, 2), day)) {
    return DateCheck::Malformed;
  }
  if (year < 1980) return DateCheck::OutOfRange;
  date = Date(month, day, year);
  if (date.IsValid()) return DateCheck::Ok;
  // A calendar day the library holds no date for: 1 January 1980 (day 0 of
  // the calendar) or a day after the last date.
  const bool calendarDay = day >= 1 && day <= MonthLength(month, year - 1900);
  return calendarDay ? DateCheck::OutOfRange : DateCheck::Impossible;
}

std::string OutsideSupportedDates(std::string_view text) {
  return Quoted(text) + " is outside the supported dates, " + IsoDate(Date::FromSerial(1)) +
         " to " + IsoDate(Date::FromSerial(Date::LastSerial));
}

std::string DateProblem(DateCheck check, std::string_view text) {
  switch (check) {
    case DateCheck::Malformed:
      return Quoted(text) + " is not a date in the form YYYY-MM-DD";
    case DateCheck::Impossible:
      return Quoted(text) + " is not a calendar date";
    case DateCheck::OutOfRange:
      return OutsideSupportedDates(text);
    case DateCheck::Ok:
      break;
  }
  return {};
}

std::string IsoDate(Date date) {
  if (!date.IsValid()) return {};
  int month = 0, day = 0, year = 0;
  date.GetMDY(month, day, year);
  char text[40];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d", 1900 + year, month, day);
  return text;
}

std::string DateText(Date date) {
  char text[16] = {};
  date.Format(text, 1);
  return text;
}

std::string Money(double amount) {
  char text[32] = {};
  FormatAmount(text, amount);
  return text;
}

int ReadEventType(std::string_view text) {
  int code = -1;
  if (ReadDigits(text, code)) return code < EventTypeCount ? code : -1;
  std::string name(text);
  for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return EventTypeFromName(name.c_str());
}

std::string UnknownEventType(std::string_view text) {
  std::vector<std::string> names;
  for (int code = 0; code < EventTypeCount; ++code) names.emplace_back(EventTypeName(code));
  return "unknown event type " + Quoted(text) + DidYouMean(text, names);
}

}  // namespace ledrix::cli
