#include "ledrix/platform.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <mutex>
#include <string_view>

#include "platform/files.h"

namespace ledrix {

namespace {

constexpr const char* kAppDataVariable = "AppData";
constexpr const char* kLibrarySubPath = "Ordane Software\\Ledrix\\";
constexpr const char* kFixedNowVariable = "LEDRIX_FIXED_NOW";

std::mutex& SinkMutex() {
  static std::mutex mutex;
  return mutex;
}

NotificationSink& InstalledSink() {
  static NotificationSink sink;
  return sink;
}

void WriteToStandardError(const std::string& text) {
  const std::string line = text + "\n";
  std::fwrite(line.data(), 1, line.size(), stderr);  // one call: lines never interleave
}

bool IsLeapYear(int year) {
  return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

int DaysInMonth(int month, int year) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

// Reads `count` decimal digits at `at`.
bool ReadNumber(std::string_view text, size_t at, size_t count, int& value) {
  value = 0;
  for (size_t i = at; i < at + count; ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
    value = value * 10 + (text[i] - '0');
  }
  return true;
}

// A pinned clock "YYYY-MM-DDTHH:MM": a calendar date and a time of day, the
// seconds 0. False for anything else.
bool ReadFixedNow(std::string_view text, std::tm& out) {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0;
  if (text.size() != 16 || text[4] != '-' || text[7] != '-' || text[10] != 'T' || text[13] != ':' ||
      !ReadNumber(text, 0, 4, year) || !ReadNumber(text, 5, 2, month) ||
      !ReadNumber(text, 8, 2, day) || !ReadNumber(text, 11, 2, hour) ||
      !ReadNumber(text, 14, 2, minute)) {
    return false;
  }
  if (month < 1 || month > 12 || day < 1 || day > DaysInMonth(month, year) || hour > 23 ||
      minute > 59) {
    return false;
  }
  out = std::tm{};
  out.tm_year = year - 1900;
  out.tm_mon = month - 1;
  out.tm_mday = day;
  out.tm_hour = hour;
  out.tm_min = minute;
  return true;
}

// Said once per process, however often the clock is read.
void WarnMalformedFixedNow(const std::string& value) {
  static std::once_flag warned;
  std::call_once(warned, [&value] {
    WriteToStandardError(std::string("ledrix: ") + kFixedNowVariable + "=\"" + value +
                         "\" is not a time of the form YYYY-MM-DDTHH:MM; the system clock is "
                         "used");
  });
}

// The local calendar time: the pinned one when LEDRIX_FIXED_NOW holds a
// well-formed value (so that results and reports can be reproduced), else the
// system clock. An empty value pins nothing.
bool LocalCalendarNow(std::tm& out) {
  if (const char* fixed = std::getenv(kFixedNowVariable); fixed && *fixed) {
    if (ReadFixedNow(fixed, out)) return true;
    WarnMalformedFixedNow(fixed);
  }
  const std::time_t now = std::time(nullptr);
  return localtime_r(&now, &out) != nullptr;
}

}  // namespace

NotificationSink SetNotificationSink(NotificationSink sink) {
  std::lock_guard lock(SinkMutex());
  NotificationSink previous = std::move(InstalledSink());
  InstalledSink() = std::move(sink);
  return previous;
}

void Notify(const std::string& text) {
  NotificationSink sink;
  {
    std::lock_guard lock(SinkMutex());
    sink = InstalledSink();
  }
  // Called outside the lock, so a sink may itself install another sink.
  if (sink) {
    sink(text);
  } else {
    WriteToStandardError(text);
  }
}

std::string UserFolderText() {
  const char* appData = std::getenv(kAppDataVariable);
  std::string folder = appData ? appData : "";
  folder += "\\";
  folder += kLibrarySubPath;
  folder += "\\";
  return folder;
}

std::string NativePath(const std::string& text) {
  std::string path;
  path.reserve(text.size());
  for (char c : text) {
    if (c == '\\') c = '/';
    if (c == '/' && !path.empty() && path.back() == '/') continue;
    path += c;
  }
  return path;
}

Date LocalToday() {
  std::tm now{};
  if (!LocalCalendarNow(now)) return Date();
  // The full year, so that no two-digit window applies: a clock before 1980
  // or past 4 June 2159 gives no date rather than a wrong one.
  return Date(now.tm_mon + 1, now.tm_mday, now.tm_year + 1900);
}

std::string LocalTimeText() {
  std::tm now{};
  if (!LocalCalendarNow(now)) return std::string();
  char text[16];
  std::strftime(text, sizeof text, "%H:%M:%S", &now);
  return text;
}

bool LocalHourMinute(int& hour, int& minute) {
  std::tm now{};
  if (!LocalCalendarNow(now)) return false;
  hour = now.tm_hour;
  minute = now.tm_min;
  return true;
}

bool ReplaceFile(const std::string& path, const std::string& data) {
  return platform::WriteFileAtomically(path, data.data(), data.size());
}

}  // namespace ledrix
