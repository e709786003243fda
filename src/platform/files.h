// File access on integer descriptors, file identity and atomic rewrites: the
// little of the operating system the library's own files need (the holiday
// file, the rate table, the statistics file and the report files).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace ledrix::platform {

/// Opens an existing file for reading; -1 when it cannot be opened.
int OpenForRead(const std::string& path);
/// Opens for writing: created when missing, truncated; -1 on failure.
int OpenForWrite(const std::string& path);
/// Opens for reading and writing, created when missing, not truncated.
int OpenForReadWrite(const std::string& path);

/// Reads up to `size` bytes (retrying short reads until end of file);
/// returns the bytes read, or -1 on an input error.
long ReadFile(int fd, void* buffer, std::size_t size);
/// Writes all `size` bytes unless an error stops it; returns the bytes
/// written, or -1 when nothing could be written.
long WriteFile(int fd, const void* data, std::size_t size);
int CloseFile(int fd);
/// lseek: `whence` is SEEK_SET, SEEK_CUR or SEEK_END. Returns the new
/// offset or -1.
long long SeekFile(int fd, long long offset, int whence);
/// The length of an open file, or -1.
long long FileLength(int fd);

/// Whether `path` names an existing folder.
bool FolderExists(const std::string& path);

/// What tells one version of a file from another: a rewrite by rename gives
/// a new inode, an edit in place a new size or modification time.
struct FileIdentity {
  std::string path;
  bool exists = false;
  long long size = 0;
  std::int64_t mtimeNanoseconds = 0;
  std::uint64_t device = 0;
  std::uint64_t inode = 0;

  friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
};
FileIdentity IdentityOf(const std::string& path);

/// Replaces the file at `path` with `size` bytes of `data`: written to a new
/// file in the same folder, flushed to disk (the file, then after the rename
/// its folder), so the old content stays whole until the new one is complete
/// and durable. Returns true when the new content is in place and flushed; on
/// false, LastFileError() says which step failed and why. A failure before
/// the rename leaves the old file untouched and no temporary file behind; only
/// a failure to flush the folder comes after the new content is in place.
bool WriteFileAtomically(const std::string& path, const void* data, std::size_t size);

/// Appends `text` to the file at `path` (a file not there yet begins with
/// `firstLine`) by rewriting it whole through WriteFileAtomically, so that a
/// failure leaves the old file as it was rather than a torn last line. An
/// exclusive lock on the folder queues appends from other threads and
/// processes, so that none loses another's lines. False, with LastFileError(),
/// when it fails.
bool AppendToFile(const std::string& path, const std::string& firstLine, const std::string& text);

// ---- fault injection ---------------------------------------------------------
//
// Tests make a rewrite meet a failing disk through these. Faults belong to the
// thread that arms them and touch only the system calls WriteFileAtomically
// makes, so other threads and all reading go on as usual. Until the first
// fault is armed in the process, each of those calls costs one relaxed atomic
// load more.

/// The system calls of a rewrite that a fault can hit.
enum class RewriteStep {
  Open,    ///< creating the new file
  Write,   ///< writing the new content
  Sync,    ///< fsync of the new file, then of its folder
  Rename,  ///< putting the new file in place
};

/// The calling thread's call of `step` that comes after `skip` more calls of
/// it fails with the system error `error` (ENOSPC, EIO, EACCES ...) without
/// reaching the system. One fault per step; arming again replaces it.
void InjectRewriteFault(RewriteStep step, int error, int skip = 0);
/// The calling thread's next write stores only its first `bytes` bytes and
/// says so, and the write after it fails with ENOSPC: a disk that fills up.
void InjectShortWrite(std::size_t bytes);
/// Disarms every fault the calling thread armed.
void ClearRewriteFaults();

}  // namespace ledrix::platform
