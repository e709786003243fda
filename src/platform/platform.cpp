#include "ledrix/platform.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <mutex>

#include "platform/files.h"

namespace ledrix {

namespace {

constexpr const char* kAppDataVariable = "AppData";
constexpr const char* kLibrarySubPath = "Ordane Software\\Ledrix\\";

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

std::mutex& ClockMutex() {
  static std::mutex mutex;
  return mutex;
}

ClockSource& InstalledClock() {
  static ClockSource source;
  return source;
}

bool SystemCalendarNow(std::tm& out) {
  const std::time_t now = std::time(nullptr);
  return localtime_r(&now, &out) != nullptr;
}

bool LocalCalendarNow(std::tm& out) {
  ClockSource source;
  {
    std::lock_guard lock(ClockMutex());
    source = InstalledClock();
  }
  return source ? source(out) : SystemCalendarNow(out);
}

}  // namespace

ClockSource SetClockSource(ClockSource source) {
  std::lock_guard lock(ClockMutex());
  ClockSource previous = std::move(InstalledClock());
  InstalledClock() = std::move(source);
  return previous;
}

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
  // tm_year is already years since 1900; a clock past 2027 gives no date
  // rather than wrapping into the 1980s.
  return Date(now.tm_mon + 1, now.tm_mday, now.tm_year);
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
