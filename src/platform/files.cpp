#include "platform/files.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <system_error>

#include "ledrix/platform.h"

namespace ledrix::platform {

namespace {

constexpr mode_t kReadWriteMode = 0666;  // narrowed by the process umask
constexpr const char* kLeftAsItWas = "the file was left as it was";
constexpr int kRewriteStepCount = 4;

struct ArmedFault {
  bool armed;
  int error;
  int skip;
};

// Trivially constructed, so that a thread's faults cost no initialisation.
struct ThreadFaults {
  ArmedFault steps[kRewriteStepCount];
  bool shortWrite;
  std::size_t shortWriteBytes;
};

// Set when the first fault is armed; until then no rewrite looks further.
std::atomic<bool> faultsEverArmed{false};
thread_local ThreadFaults threadFaults;
thread_local std::string lastFileError;

// True, with errno set, when the calling thread's fault on `step` is due now.
bool FaultDue(RewriteStep step) {
  if (!faultsEverArmed.load(std::memory_order_relaxed)) return false;
  ArmedFault& fault = threadFaults.steps[static_cast<int>(step)];
  if (!fault.armed) return false;
  if (fault.skip > 0) {
    --fault.skip;
    return false;
  }
  fault.armed = false;
  errno = fault.error;
  return true;
}

int OpenRetrying(const std::string& path, int flags) {
  int fd;
  do {
    fd = ::open(path.c_str(), flags | O_CLOEXEC, kReadWriteMode);
  } while (fd < 0 && errno == EINTR);
  return fd;
}

std::string FolderOf(const std::string& path) {
  const auto slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

// The system calls of a rewrite, each of which a test may make fail.
ssize_t RewriteWrite(int fd, const void* data, std::size_t size) {
  if (FaultDue(RewriteStep::Write)) return -1;
  if (faultsEverArmed.load(std::memory_order_relaxed) && threadFaults.shortWrite) {
    threadFaults.shortWrite = false;
    InjectRewriteFault(RewriteStep::Write, ENOSPC);
    size = std::min(size, threadFaults.shortWriteBytes);
    if (size == 0 && FaultDue(RewriteStep::Write)) return -1;
  }
  return ::write(fd, data, size);
}

int RewriteSync(int fd) {
  return FaultDue(RewriteStep::Sync) ? -1 : ::fsync(fd);
}

int RewriteRename(const std::string& from, const std::string& to) {
  return FaultDue(RewriteStep::Rename) ? -1 : std::rename(from.c_str(), to.c_str());
}

// Writes all `size` bytes through `write`, retrying short writes; the bytes
// written, or -1 when nothing could be written.
long WriteAll(int fd, const void* data, std::size_t size,
              ssize_t (*write)(int, const void*, std::size_t)) {
  const auto* in = static_cast<const char*>(data);
  std::size_t done = 0;
  while (done < size) {
    const ssize_t n = write(fd, in + done, size - done);
    if (n < 0 && errno == EINTR) continue;
    if (n == 0) errno = ENOSPC;  // nothing stored and no reason given: the disk is full
    if (n <= 0) return done == 0 ? -1 : static_cast<long>(done);
    done += static_cast<std::size_t>(n);
  }
  return static_cast<long>(done);
}

// A name in the target's own folder that no other writer uses: the process
// id and a per-process counter, created exclusively.
int CreateTemporarySibling(const std::string& path, std::string& tempPath) {
  static std::atomic<unsigned> counter{0};
  for (int attempt = 0; attempt < 16; ++attempt) {
    tempPath =
        path + ".tmp." + std::to_string(::getpid()) + "." + std::to_string(counter.fetch_add(1));
    if (FaultDue(RewriteStep::Open)) return -1;
    const int fd = OpenRetrying(tempPath, O_WRONLY | O_CREAT | O_EXCL);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

// Makes the rename itself durable. A file system that cannot flush a folder
// (EINVAL) has nothing more to do.
bool SyncFolder(const std::string& folder) {
  const int fd = OpenRetrying(folder, O_RDONLY | O_DIRECTORY);
  if (fd < 0) return false;
  const bool synced = RewriteSync(fd) == 0 || errno == EINVAL;
  const int error = errno;
  ::close(fd);
  errno = error;
  return synced;
}

// An exclusive lock on a folder while it lives; none where the folder cannot
// be opened or the file system has no locks.
class FolderLock {
 public:
  explicit FolderLock(const std::string& folder)
      : fd_(OpenRetrying(folder, O_RDONLY | O_DIRECTORY)) {
    while (fd_ >= 0 && ::flock(fd_, LOCK_EX) != 0 && errno == EINTR) {
    }
  }
  ~FolderLock() {
    if (fd_ >= 0) ::close(fd_);
  }
  FolderLock(const FolderLock&) = delete;
  FolderLock& operator=(const FolderLock&) = delete;

 private:
  int fd_;
};

// Why a rewrite failed: the system's reason, the step, and what became of
// the file.
std::string RewriteFailedText(int error, const char* step, const char* outcome) {
  return std::generic_category().message(error) + " (" + step + "); " + outcome;
}

bool RewriteFailed(int error, const char* step, const char* outcome) {
  lastFileError = RewriteFailedText(error, step, outcome);
  return false;
}

}  // namespace

int OpenForRead(const std::string& path) {
  return OpenRetrying(path, O_RDONLY);
}

int OpenForWrite(const std::string& path) {
  return OpenRetrying(path, O_WRONLY | O_CREAT | O_TRUNC);
}

int OpenForReadWrite(const std::string& path) {
  return OpenRetrying(path, O_RDWR | O_CREAT);
}

long ReadFile(int fd, void* buffer, std::size_t size) {
  auto* out = static_cast<char*>(buffer);
  std::size_t done = 0;
  while (done < size) {
    const ssize_t n = ::read(fd, out + done, size - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return -1;
    if (n == 0) break;
    done += static_cast<std::size_t>(n);
  }
  return static_cast<long>(done);
}

long WriteFile(int fd, const void* data, std::size_t size) {
  return WriteAll(fd, data, size, ::write);
}

int CloseFile(int fd) {
  return ::close(fd);
}

long long SeekFile(int fd, long long offset, int whence) {
  return static_cast<long long>(::lseek(fd, static_cast<off_t>(offset), whence));
}

long long FileLength(int fd) {
  struct stat st {};
  if (::fstat(fd, &st) != 0) return -1;
  return static_cast<long long>(st.st_size);
}

bool FolderExists(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

FileIdentity IdentityOf(const std::string& path) {
  FileIdentity id;
  id.path = path;
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return id;
  id.exists = true;
  id.size = static_cast<long long>(st.st_size);
  id.mtimeNanoseconds =
      static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
  id.device = static_cast<std::uint64_t>(st.st_dev);
  id.inode = static_cast<std::uint64_t>(st.st_ino);
  return id;
}

bool WriteFileAtomically(const std::string& path, const void* data, std::size_t size) {
  FileReplacement replacement(path);
  return replacement.Write(std::string_view(static_cast<const char*>(data), size)) &&
         replacement.Commit();
}

bool AppendToFile(const std::string& path, const std::string& firstLine, const std::string& text) {
  const FolderLock lock(FolderOf(path));
  std::string content;
  const int fd = OpenForRead(path);
  if (fd >= 0) {
    const long long length = FileLength(fd);
    content.resize(length > 0 ? static_cast<std::size_t>(length) : 0);
    const bool whole = length >= 0 && ReadFile(fd, content.data(), content.size()) == length;
    const int error = errno;
    ::close(fd);
    if (!whole) return RewriteFailed(error, "reading the file", kLeftAsItWas);
  } else if (errno == ENOENT) {
    content = firstLine;
  } else {
    return RewriteFailed(errno, "opening the file", kLeftAsItWas);
  }
  content += text;
  return WriteFileAtomically(path, content.data(), content.size());
}

void InjectRewriteFault(RewriteStep step, int error, int skip) {
  threadFaults.steps[static_cast<int>(step)] = ArmedFault{true, error, skip};
  faultsEverArmed.store(true, std::memory_order_relaxed);
}

void InjectShortWrite(std::size_t bytes) {
  threadFaults.shortWrite = true;
  threadFaults.shortWriteBytes = bytes;
  faultsEverArmed.store(true, std::memory_order_relaxed);
}

void ClearRewriteFaults() {
  threadFaults = ThreadFaults{};
}

}  // namespace ledrix::platform

namespace ledrix {

std::string LastFileError() {
  return platform::lastFileError;
}

FileReplacement::FileReplacement(const std::string& path) : path_(path) {
  platform::lastFileError.clear();
  fd_ = platform::CreateTemporarySibling(path, tempPath_);
  if (fd_ < 0) Fail(errno, "creating a new file in its folder");
}

FileReplacement::~FileReplacement() {
  Discard();
}

bool FileReplacement::Write(std::string_view data) {
  if (failed_) return false;
  if (platform::WriteAll(fd_, data.data(), data.size(), platform::RewriteWrite) !=
      static_cast<long>(data.size())) {
    Fail(errno, "writing the new content");
  }
  return !failed_;
}

bool FileReplacement::Commit() {
  if (failed_) {
    platform::lastFileError = error_;  // the earlier failure, whatever ran since on this thread
    return false;
  }
  if (platform::RewriteSync(fd_) != 0) return Fail(errno, "flushing the new content to disk");
  const int closed = ::close(fd_);
  fd_ = -1;
  if (closed != 0) return Fail(errno, "closing the new file");
  if (platform::RewriteRename(tempPath_, path_) != 0) {
    return Fail(errno, "putting the new file in place");
  }
  tempPath_.clear();
  // The new content is in place; only the rename's own durability is left.
  if (!platform::SyncFolder(platform::FolderOf(path_))) {
    error_ = platform::RewriteFailedText(
        errno, "flushing its folder to disk",
        "the new content is in place but may not survive a power failure");
    platform::lastFileError = error_;
    return false;
  }
  platform::lastFileError.clear();
  return true;
}

bool FileReplacement::Fail(int error, const char* step) {
  Discard();
  error_ = platform::RewriteFailedText(error, step, platform::kLeftAsItWas);
  platform::lastFileError = error_;
  return false;
}

void FileReplacement::Discard() {
  failed_ = true;
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  if (!tempPath_.empty()) ::unlink(tempPath_.c_str());
  tempPath_.clear();
}

}  // namespace ledrix
