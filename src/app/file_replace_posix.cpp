#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "file_replace.h"

namespace tapsmith {

namespace {

// Temporary names are "<file>.tmp-<pid>", then "<file>.tmp-<pid>-1" and so on
// when a leftover of an earlier run with the same process id is in the way.
constexpr int kTemporaryNameAttempts = 100;

bool Fail(std::string* error, const char* path, const char* reason) {
  *error = std::string(path) + ": " + reason;
  return false;
}

bool FailWithErrno(std::string* error, const char* path, int errorNumber) {
  return Fail(error, path, std::strerror(errorNumber));
}

// The file that is really written: a symbolic link is followed so that the
// rename replaces the file it names rather than the link itself. A dangling
// link is replaced by the new file.
std::string TargetOf(const char* path) {
  struct stat link;
  if (lstat(path, &link) != 0 || !S_ISLNK(link.st_mode)) return path;
  char* resolved = realpath(path, nullptr);
  if (resolved == nullptr) return path;
  std::string target = resolved;
  std::free(resolved);
  return target;
}

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    ssize_t written = write(fd, bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) {
      if (written == 0) errno = ENOSPC;
      return false;
    }
    bytes.remove_prefix(static_cast<size_t>(written));
  }
  return true;
}

int OpenTemporary(const std::string& target, std::string* temporary) {
  std::string stem = target + ".tmp-" + std::to_string(getpid());
  for (int attempt = 0; attempt < kTemporaryNameAttempts; ++attempt) {
    *temporary = attempt == 0 ? stem : stem + "-" + std::to_string(attempt);
    int fd = open(temporary->c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  errno = EEXIST;
  return -1;
}

// Makes the rename itself durable. A failure here is not reported: the new
// file is complete and in place, and either it or the old one survives a crash.
void SyncDirectoryOf(const std::string& target) {
  size_t slash = target.rfind('/');
  std::string directory = slash == std::string::npos ? "." : slash == 0 ? "/" : target.substr(0, slash);
  int fd = open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  fsync(fd);
  close(fd);
}

}  // namespace

bool ReplaceFileContents(const char* path, std::string_view bytes, std::string* error) {
  std::string target = TargetOf(path);
  struct stat old;
  bool oldExists = stat(target.c_str(), &old) == 0;
  if (!oldExists && errno != ENOENT) return FailWithErrno(error, path, errno);
  if (oldExists) {
    if (S_ISDIR(old.st_mode)) return FailWithErrno(error, path, EISDIR);
    if (!S_ISREG(old.st_mode)) return Fail(error, path, "not a regular file");
    // A file the user made read-only stays as it is, as a plain overwrite would.
    if (access(target.c_str(), W_OK) != 0) return FailWithErrno(error, path, errno);
  }

  std::string temporary;
  int fd = OpenTemporary(target, &temporary);
  if (fd < 0) return FailWithErrno(error, path, errno);

  bool written = WriteAll(fd, bytes);
  if (written && oldExists) {
    // Best effort: the contents matter more than the permission bits.
    if (fchown(fd, old.st_uid, old.st_gid) != 0) errno = 0;
    if (fchmod(fd, old.st_mode & 07777) != 0) errno = 0;
  }
  written = written && fsync(fd) == 0;
  int writeError = errno;
  if (close(fd) != 0 && written) {
    written = false;
    writeError = errno;
  }
  if (written && rename(temporary.c_str(), target.c_str()) != 0) {
    written = false;
    writeError = errno;
  }
  if (!written) {
    unlink(temporary.c_str());
    return FailWithErrno(error, path, writeError);
  }
  SyncDirectoryOf(target);
  return true;
}

}  // namespace tapsmith
