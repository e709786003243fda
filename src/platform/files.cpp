#include "platform/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>

#include "ledrix/platform.h"

namespace ledrix::platform {

namespace {

constexpr mode_t kReadWriteMode = 0666;  // narrowed by the process umask

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

// A name in the target's own folder that no other writer uses: the process
// id and a per-process counter, created exclusively.
int CreateTemporarySibling(const std::string& path, std::string& tempPath) {
  static std::atomic<unsigned> counter{0};
  for (int attempt = 0; attempt < 16; ++attempt) {
    tempPath =
        path + ".tmp." + std::to_string(::getpid()) + "." + std::to_string(counter.fetch_add(1));
    const int fd = OpenRetrying(tempPath, O_WRONLY | O_CREAT | O_EXCL);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

// Makes the rename itself durable.
void SyncFolder(const std::string& folder) {
  const int fd = OpenRetrying(folder, O_RDONLY | O_DIRECTORY);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
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

int OpenForAppend(const std::string& path) {
  return OpenRetrying(path, O_RDWR | O_APPEND);
}

int CreateForAppend(const std::string& path) {
  return OpenRetrying(path, O_RDWR | O_APPEND | O_CREAT | O_EXCL);
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
  const auto* in = static_cast<const char*>(data);
  std::size_t done = 0;
  while (done < size) {
    const ssize_t n = ::write(fd, in + done, size - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return done == 0 ? -1 : static_cast<long>(done);
    done += static_cast<std::size_t>(n);
  }
  return static_cast<long>(done);
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
  return replacement.Write(std::string(static_cast<const char*>(data), size)) &&
         replacement.Commit();
}

}  // namespace ledrix::platform

namespace ledrix {

FileReplacement::FileReplacement(const std::string& path) : path_(path) {
  fd_ = platform::CreateTemporarySibling(path, tempPath_);
  failed_ = fd_ < 0;
}

FileReplacement::~FileReplacement() {
  Discard();
}

bool FileReplacement::Write(const std::string& data) {
  if (failed_) return false;
  if (!data.empty() &&
      platform::WriteFile(fd_, data.data(), data.size()) != static_cast<long>(data.size())) {
    Discard();
  }
  return !failed_;
}

bool FileReplacement::Commit() {
  if (failed_) return false;
  const bool synced = ::fsync(fd_) == 0;
  const bool closed = ::close(fd_) == 0;
  fd_ = -1;
  if (!synced || !closed || std::rename(tempPath_.c_str(), path_.c_str()) != 0) {
    Discard();
    return false;
  }
  tempPath_.clear();
  platform::SyncFolder(platform::FolderOf(path_));
  return true;
}

void FileReplacement::Discard() {
  failed_ = true;
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  if (!tempPath_.empty()) ::unlink(tempPath_.c_str());
  tempPath_.clear();
}

}  // namespace ledrix
