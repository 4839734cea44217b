// The disk operations of the settings file behind one small interface, so
// that each step of a load or a save can be watched and made to fail: the
// program uses the platform's own (file_system_posix.cpp,
// file_system_win32.cpp, one sibling per platform chosen in CMake), the tests
// a fake that keeps its files in memory and logs every call.
//
// Expected failures return false with the system's reason in `error` (the
// text alone, without the path: the caller says which file it was about).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace tapsmith {

// An open file, in the file system's own terms.
using FileHandle = intptr_t;

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

struct FileSystem {
  virtual ~FileSystem() = default;

  /// Resolves the relative file name `name` against the current working
  /// directory into `buffer` of `size` bytes, terminator included. Returns
  /// the length of the full path without its terminator; returns 0, with
  /// `buffer` empty (when size > 0), if the working directory cannot be had
  /// or the path does not fit. Resolves no symbolic link and does not ask
  /// whether the file exists.
  virtual size_t FullPathName(const char* name, char* buffer, size_t size) = 0;

  /// The file that `path` names once symbolic links are followed: what a
  /// save replaces, so that a link stays a link. `path` itself when it is no
  /// link, or a link that leads nowhere (which the save then replaces).
  virtual std::string LinkTarget(const std::string& path) = 0;

  /// Fills `info` for what `path` names. Returns true with `info->exists`
  /// false when nothing is there; false with the reason when that cannot be
  /// told (a folder on the way that may not be searched, say).
  virtual bool Inspect(const std::string& path, FileInfo* info, std::string* error) = 0;

  /// Opens the regular file at `path` for reading. Returns false with the
  /// reason if it cannot, and for a directory, a pipe or a device, which it
  /// never opens in a way that could wait for a writer.
  virtual bool OpenForReading(const std::string& path, FileHandle* file, std::string* error) = 0;

  /// Reads up to `size` bytes into `buffer`; `*got` is 0 at the end of the
  /// file. Returns false with the reason on a read error.
  virtual bool Read(FileHandle file, char* buffer, size_t size, size_t* got, std::string* error) = 0;

  /// Opens the temporary file of a save at `path` for writing, empty and this
  /// process's alone until it is closed: created if missing, truncated if a
  /// save that died left it behind. While another process's save holds it,
  /// waits a few seconds for it to finish. Returns false with the reason if
  /// the file cannot be had.
  virtual bool CreateTemporary(const std::string& path, FileHandle* file, std::string* error) = 0;

  /// Writes at most `size` bytes, `*written` (at least 1 on success) telling
  /// how many. Returns false with the reason, a full disk among them.
  virtual bool Write(FileHandle file, const char* bytes, size_t size, size_t* written,
                     std::string* error) = 0;

  /// Gives the file the attributes that `old` describes, those of the file
  /// it is to replace. Best effort: the contents matter more, so a failure
  /// is not reported.
  virtual void KeepAttributes(FileHandle file, const FileInfo& old) = 0;

  /// Makes the bytes written so far durable on the disk. Returns false with
  /// the reason if the system reports that they may not be.
  virtual bool Sync(FileHandle file, std::string* error) = 0;

  /// Closes the file; the handle is gone whatever the result. Returns false
  /// with the reason if the system reports a late write error.
  virtual bool Close(FileHandle file, std::string* error) = 0;

  /// Gives the file at `from` the name `to`, in the same folder, replacing
  /// what `to` named: whole or not at all, a file open at `from` included.
  /// Returns false with the reason, with both names as they were.
  virtual bool Rename(const std::string& from, const std::string& to, std::string* error) = 0;

  /// Makes the last rename in the folder of the file `path` durable. Returns
  /// false with the reason if the system reports that it may not be.
  virtual bool SyncDirectory(const std::string& path, std::string* error) = 0;

  /// Removes the file at `path`. Returns false with the reason if it cannot.
  virtual bool Remove(const std::string& path, std::string* error) = 0;
};

/// The platform's own file system.
FileSystem& SystemFileSystem();

}  // namespace tapsmith
