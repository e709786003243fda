// The small platform layer the library runs on: the per-user folder, the
// clock, and the notification sink that stands in for a message box.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "ledrix/date.h"
#include "ledrix/export.h"

namespace ledrix {

/// Receives every message the library shows the user (the deposit
/// predictor's capacity warning, a failed report write, ...).
using NotificationSink = std::function<void(const std::string& text)>;

/// Installs `sink` (an empty function restores the default, which writes the
/// text and a newline on standard error). Returns the previous sink.
LEDRIX_API NotificationSink SetNotificationSink(NotificationSink sink);
/// Shows `text` through the installed sink.
LEDRIX_API void Notify(const std::string& text);

/// The per-user folder as text: the value of "AppData" (empty when unset),
/// a backslash and "Ordane Software\Ledrix\", and one more backslash.
LEDRIX_API std::string UserFolderText();
/// Turns a folder or file text with backslashes into a POSIX path
/// (backslash to slash, runs of separators folded to one). An empty
/// "AppData" therefore puts the folder under the root.
LEDRIX_API std::string NativePath(const std::string& text);

/// Today's local date, and the local time as "HH:MM:SS". The environment
/// variable LEDRIX_FIXED_NOW="YYYY-MM-DDTHH:MM" pins both (seconds 0), so that
/// results and reports can be reproduced; a malformed value is ignored, with
/// one warning on standard error per process.
LEDRIX_API Date LocalToday();
LEDRIX_API std::string LocalTimeText();
/// The local hour (0-23) and minute now; false when the clock cannot be read.
LEDRIX_API bool LocalHourMinute(int& hour, int& minute);

/// Replaces the file at `path` with `data`: written to a new file in the same
/// folder, flushed to disk and renamed over `path`, so the old content stays
/// whole until the new one is complete; the new file and then its folder are
/// flushed to disk before it returns true. On false, LastFileError() says why.
LEDRIX_API bool ReplaceFile(const std::string& path, const std::string& data);

/// Why the calling thread's last rewrite of a file (ReplaceFile, or the save
/// of the holiday file or the rate file) failed, for a message: the system's
/// reason, the step and what became of the file, as in
/// "No space left on device (writing the new content); the file was left as
/// it was". Empty after a rewrite that succeeded.
LEDRIX_API std::string LastFileError();

/// ReplaceFile for content written piece by piece, so that a long output
/// need not be held whole: the pieces go to a new file in the same folder,
/// which Commit flushes to disk and renames over `path`, then flushes the
/// folder. Until Commit succeeds `path` keeps its old content; a replacement
/// dropped uncommitted (or whose writes failed) removes its new file. After a
/// false from Write or Commit, LastFileError() on the same thread says why.
class LEDRIX_API FileReplacement {
 public:
  explicit FileReplacement(const std::string& path);
  ~FileReplacement();
  FileReplacement(const FileReplacement&) = delete;
  FileReplacement& operator=(const FileReplacement&) = delete;

  /// False once the new file could not be made or a write failed.
  bool Write(std::string_view data);
  /// True when the new content is in place.
  bool Commit();

 private:
  bool Fail(int error, const char* step);
  void Discard();

  std::string path_;
  std::string tempPath_;
  std::string error_;  // why it failed, kept for Commit's LastFileError()
  int fd_ = -1;
  bool failed_ = false;
};

}  // namespace ledrix
