#include "ledrix/platform.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <mutex>

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

bool LocalCalendarNow(std::tm& out) {
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

}  // namespace ledrix
