// The file system on POSIX systems. A save's temporary file is claimed with
// an exclusive flock held until it is closed; the lock dies with its
// process, so a file left by a killed save is free to be taken over.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <optional>

#include "file_system.h"

namespace tapsmith {

namespace {

// How long a save waits for another live save of the same file: a save
// takes milliseconds, so this much is only reached if that one is stuck.
constexpr int kLockAttempts = 100;
constexpr long kLockPauseNanoseconds = 50'000'000;

bool Fail(std::string* error, int errorNumber) {
  *error = std::strerror(errorNumber);
  return false;
}

bool SameFile(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Takes the exclusive lock on `fd`, waiting while another process holds it.
// A file system that has no locks is used without: saves of one file at the
// same moment are rare, and a failed lock must not stop every save.
bool Lock(int fd, std::string* error) {
  for (int attempt = 0; attempt < kLockAttempts; ++attempt) {
    if (flock(fd, LOCK_EX | LOCK_NB) == 0) return true;
    if (errno == EINTR) continue;
    if (errno != EWOULDBLOCK) return true;
    struct timespec pause = {0, kLockPauseNanoseconds};
    nanosleep(&pause, nullptr);
  }
  return Fail(error, EWOULDBLOCK);
}

class PosixFileSystem final : public FileSystem {
 public:
  std::string FullPathName(const std::string& name) override {
    std::string directory(256, '\0');
    // getcwd fails with ERANGE while the buffer is too small for the
    // directory; a result that is not absolute (older C libraries, a
    // directory outside the root) names no file we could use.
    while (getcwd(directory.data(), directory.size()) == nullptr) {
      if (errno != ERANGE) return "";
      directory.resize(2 * directory.size());
    }
    directory.resize(std::strlen(directory.c_str()));
    if (directory.empty() || directory[0] != '/') return "";
    if (directory.back() != '/') directory += '/';
    return directory + name;
  }

  std::string LinkTarget(const std::string& path) override {
    struct stat link;
    if (lstat(path.c_str(), &link) != 0 || !S_ISLNK(link.st_mode)) return path;
    char* resolved = realpath(path.c_str(), nullptr);
    if (resolved == nullptr) return path;
    std::string target = resolved;
    std::free(resolved);
    return target;
  }

  bool Inspect(const std::string& path, FileInfo* info, std::string* error) override {
    *info = FileInfo();
    struct stat status;
    if (stat(path.c_str(), &status) != 0) {
      if (errno == ENOENT) return true;
      return Fail(error, errno);
    }
    info->exists = true;
    if (S_ISDIR(status.st_mode)) {
      info->refusal = std::strerror(EISDIR);
    } else if (!S_ISREG(status.st_mode)) {
      info->refusal = kNotARegularFile;
    } else if (access(path.c_str(), W_OK) != 0) {
      info->refusal = std::strerror(errno);
    }
    info->attributes = status.st_mode & 07777;
    info->owner = status.st_uid;
    info->group = status.st_gid;
    return true;
  }

  bool OpenForReading(const std::string& path, File* file, std::string* error) override {
    // Non-blocking, so that a named pipe without a writer does not hold the
    // open; it is then refused as not a regular file.
    int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return Fail(error, errno);
    struct stat status;
    bool known = fstat(fd, &status) == 0;
    if (!known || !S_ISREG(status.st_mode)) {
      bool folder = known && S_ISDIR(status.st_mode);
      close(fd);
      *error = folder ? std::strerror(EISDIR) : kNotARegularFile;
      return false;
    }
    *file = Adopt(fd);
    return true;
  }

  bool Read(File& file, char* buffer, size_t size, size_t* got, std::string* error) override {
    std::optional<int> fd = Descriptor(file);
    if (!fd) return Fail(error, EBADF);
    ssize_t count;
    do {
      count = read(*fd, buffer, size);
    } while (count < 0 && errno == EINTR);
    if (count < 0) return Fail(error, errno);
    *got = static_cast<size_t>(count);
    return true;
  }

  bool CreateTemporary(const std::string& path, File* file, std::string* error) override {
    // The save that held the file may have renamed it into place meanwhile:
    // the lock is then on the new file itself, and the name is tried again.
    for (int attempt = 0; attempt < kLockAttempts; ++attempt) {
      int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0666);
      if (fd < 0) return Fail(error, errno);
      if (!Lock(fd, error)) {
        close(fd);
        return false;
      }
      struct stat opened;
      struct stat named;
      if (fstat(fd, &opened) != 0 || !S_ISREG(opened.st_mode)) {
        close(fd);
        *error = kNotARegularFile;
        return false;
      }
      if (stat(path.c_str(), &named) != 0 || !SameFile(opened, named)) {
        close(fd);
        continue;
      }
      if (ftruncate(fd, 0) != 0) {
        int errorNumber = errno;
        close(fd);
        return Fail(error, errorNumber);
      }
      *file = Adopt(fd);
      return true;
    }
    return Fail(error, EWOULDBLOCK);
  }

  bool Write(File& file, const char* bytes, size_t size, size_t* written,
             std::string* error) override {
    std::optional<int> fd = Descriptor(file);
    if (!fd) return Fail(error, EBADF);
    ssize_t count;
    do {
      count = write(*fd, bytes, size);
    } while (count < 0 && errno == EINTR);
    if (count <= 0) return Fail(error, count == 0 ? ENOSPC : errno);
    *written = static_cast<size_t>(count);
    return true;
  }

  void KeepAttributes(File& file, const FileInfo& old) override {
    std::optional<int> fd = Descriptor(file);
    if (!fd) return;
    if (fchown(*fd, old.owner, old.group) != 0) errno = 0;
    if (fchmod(*fd, old.attributes) != 0) errno = 0;
  }

  bool Sync(File& file, std::string* error) override {
    std::optional<int> fd = Descriptor(file);
    if (!fd) return Fail(error, EBADF);
    if (fsync(*fd) != 0) return Fail(error, errno);
    return true;
  }

  bool Rename(const std::string& from, const std::string& to, std::string* error) override {
    if (rename(from.c_str(), to.c_str()) != 0) return Fail(error, errno);
    return true;
  }

  bool SyncDirectory(const std::string& path, std::string* error) override {
    size_t slash = path.rfind('/');
    std::string directory = slash == std::string::npos ? "."
                            : slash == 0               ? "/"
                                                       : path.substr(0, slash);
    int fd = open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return Fail(error, errno);
    bool synced = fsync(fd) == 0;
    int errorNumber = errno;
    close(fd);
    if (!synced) return Fail(error, errorNumber);
    return true;
  }

  bool Remove(const std::string& path, std::string* error) override {
    if (unlink(path.c_str()) != 0) return Fail(error, errno);
    return true;
  }

 protected:
  bool CloseFile(intptr_t id, std::string* error) override {
    if (close(static_cast<int>(id)) != 0) return Fail(error, errno);
    return true;
  }

 private:
  std::optional<int> Descriptor(const File& file) const {
    std::optional<intptr_t> id = IdOf(file);
    if (!id) return std::nullopt;
    return static_cast<int>(*id);
  }
};

}  // namespace

FileSystem& SystemFileSystem() {
  static PosixFileSystem files;
  return files;
}

}  // namespace tapsmith
