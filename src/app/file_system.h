// The disk operations of the program behind one small interface, so that each
// step of a load or a save can be watched and made to fail: the program uses
// the platform's own (file_system_posix.cpp, file_system_win32.cpp, one
// sibling per platform chosen in CMake), the tests a fake that keeps its files
// in memory and logs every call.
//
// Expected failures return false with the system's reason in `error` (the
// text alone, without the path: the caller says which file it was about).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace tapsmith {

/// The reason given for a path that names something other than a file or a
/// folder (a pipe, a device), which is never read or replaced.
inline constexpr char kNotARegularFile[] = "not a regular file";

class FileSystem;

/// An open file of one file system, which only that file system makes. It
/// is closed through its file system when it is destroyed or assigned over,
/// with any error ignored; Close closes it earlier and reports the error.
/// Move-only: a moved-from or closed handle holds no file, and an operation
/// on it fails as one on a closed file does. The file system must outlive
/// the handle.
class File {
 public:
  File() = default;
  File(File&& other) noexcept;
  File& operator=(File&& other) noexcept;
  File(const File&) = delete;
  File& operator=(const File&) = delete;
  ~File();

  /// True while the handle holds an open file.
  bool IsOpen() const { return files_ != nullptr; }

  /// Closes the file; the handle holds none afterwards, whatever the result.
  /// Returns false with the reason if the system reports a late write error,
  /// or if the handle held no file.
  bool Close(std::string* error);

 private:
  friend class FileSystem;
  File(FileSystem* files, intptr_t id) : files_(files), id_(id) {}

  FileSystem* files_ = nullptr;  // null: no file
  intptr_t id_ = 0;              // the file system's own name for the file
};

// What a path names, as far as replacing it is concerned.
struct FileInfo {
  bool exists = false;
  // Why the file may not be replaced (a directory, a device, a file this
  // user may not write) in the system's words; empty when it may.
  std::string refusal;
  // What the file's replacement takes over, in the platform's terms (POSIX:
  // the mode bits, owner and group; Windows: the attributes).
  uint32_t attributes = 0;
  uint32_t owner = 0;
  uint32_t group = 0;
};

class FileSystem {
 public:
  FileSystem() = default;
  // Its open files point back at it.
  FileSystem(const FileSystem&) = delete;
  FileSystem& operator=(const FileSystem&) = delete;
  virtual ~FileSystem() = default;

  /// The relative file name `name` resolved against the current working
  /// directory; empty if the working directory cannot be had. Resolves no
  /// symbolic link and does not ask whether the file exists.
  virtual std::string FullPathName(const std::string& name) = 0;

  /// The file that `path` names once symbolic links are followed: what a
  /// save replaces, so that a link stays a link. `path` itself when it is no
  /// link, or a link that leads nowhere (which the save then replaces).
  virtual std::string LinkTarget(const std::string& path) = 0;

  /// Fills `info` for what `path` names. Returns true with `info->exists`
  /// false when nothing is there, a missing folder on the way included;
  /// false with the reason when that cannot be told (a folder on the way
  /// that may not be searched, say).
  virtual bool Inspect(const std::string& path, FileInfo* info, std::string* error) = 0;

  /// Opens the regular file at `path` for reading into `file`. Returns false
  /// with the reason if it cannot, and for a folder, a pipe or a device,
  /// which it never opens in a way that could wait for a writer.
  virtual bool OpenForReading(const std::string& path, File* file, std::string* error) = 0;

  /// Reads up to `size` bytes into `buffer`; `*got` is 0 at the end of the
  /// file. Returns false with the reason on a read error.
  virtual bool Read(File& file, char* buffer, size_t size, size_t* got, std::string* error) = 0;

  /// Opens the temporary file of a save at `path` for writing into `file`,
  /// empty and this process's alone until it is closed: created if missing,
  /// truncated if a save that died left it behind. While another process's
  /// save holds it, waits a few seconds for it to finish. Returns false with
  /// the reason if the file cannot be had.
  virtual bool CreateTemporary(const std::string& path, File* file, std::string* error) = 0;

  /// Writes at most `size` bytes, `*written` (at least 1 on success) telling
  /// how many. Returns false with the reason, a full disk among them.
  virtual bool Write(File& file, const char* bytes, size_t size, size_t* written,
                     std::string* error) = 0;

  /// Gives the file the attributes that `old` describes, those of the file
  /// it is to replace. Best effort: the contents matter more, so a failure
  /// is not reported.
  virtual void KeepAttributes(File& file, const FileInfo& old) = 0;

  /// Makes the bytes written so far durable on the disk; not the file's name,
  /// which SyncDirectory makes durable. Returns false with the reason if the
  /// system reports that they may not be.
  virtual bool Sync(File& file, std::string* error) = 0;

  /// Gives the file at `from` the name `to`, in the same folder, replacing
  /// what `to` named: whole or not at all, a file open at `from` included.
  /// Returns false with the reason, with both names as they were.
  virtual bool Rename(const std::string& from, const std::string& to, std::string* error) = 0;

  /// Makes the names in the folder of the file `path` durable: the files
  /// created, renamed and removed there so far. Returns false with the
  /// reason if the system reports that they may not be.
  virtual bool SyncDirectory(const std::string& path, std::string* error) = 0;

  /// Removes the file at `path`. Returns false with the reason if it cannot.
  virtual bool Remove(const std::string& path, std::string* error) = 0;

 protected:
  /// A handle on this file system's open file `id`, which CloseFile closes.
  File Adopt(intptr_t id) { return File(this, id); }

  /// The id that `file` holds; none if it holds no file or one of another
  /// file system.
  std::optional<intptr_t> IdOf(const File& file) const;

  /// Closes the open file `id`, once for each file adopted. Returns false
  /// with the reason if the system reports a late write error.
  virtual bool CloseFile(intptr_t id, std::string* error) = 0;

 private:
  friend class File;
};

/// The platform's own file system.
FileSystem& SystemFileSystem();

/// Reads the file at `path` into `bytes`, at most `limit` + 1 bytes of it:
/// one more than the limit tells that it is too long. Returns false with
/// the reason if it cannot be opened or read.
bool ReadFileUpTo(FileSystem& files, const std::string& path, size_t limit, std::string* bytes,
                  std::string* reason);

}  // namespace tapsmith
