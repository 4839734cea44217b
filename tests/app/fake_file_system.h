// A file system that keeps its files in memory, logs every call, and can be
// told to fail any operation with a given error, or to lose the power: what
// the settings file does at each step is seen in the log, and a failure or a
// crash can be put at any step without privileges, mounts or a full disk.
//
// What survives a power cut is what a POSIX disk promises: a file's bytes
// once the file is synced, a folder's names (files created, renamed or
// removed there) once the folder is synced, and nothing else.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "file_system.h"

namespace tapsmith::testing {

class FakeFileSystem : public FileSystem {
 public:
  /// The folders (a file's folder must exist).
  std::vector<std::string> folders = {"/home"};
  std::string workingDirectory = "/home";
  /// Paths that are there but may not be replaced (a read-only file, say),
  /// with the reason.
  std::map<std::string, std::string> refusals;

  /// Every call, one line each, in order: "Write 3 4096", say.
  std::vector<std::string> log;

  /// The most bytes a Read or a Write moves at once (so that a file is
  /// written in several steps).
  size_t largestTransfer = 4096;

  /// Makes the `n`th operation from now (1: the next) fail with the text of
  /// `errorNumber`, and every operation after it succeed again.
  void FailOperation(int n, int errorNumber);

  /// Makes the `n`th operation from now and every one after it fail with the
  /// text of `errorNumber`, as a disk that has gone does, until CutPower.
  void FailFrom(int n, int errorNumber);

  /// The power goes out and comes back: each file holds the bytes it held
  /// when it was last synced, each folder the names it held when it was last
  /// synced, and a file that no synced name leads to is gone. Open files are
  /// gone too (their handles fail with EBADF), and so is any failure to come.
  void CutPower();

  /// The operations called so far.
  int operations() const { return operations_; }
  /// The files open now.
  int openFiles() const { return static_cast<int>(open_.size()); }
  /// The files there now.
  size_t fileCount() const { return files_.size(); }

  /// Adds a file that the disk has long held: its bytes and its name synced.
  void AddFile(const std::string& path, const std::string& bytes);
  /// The bytes of the file at `path`; "<none>" if there is none.
  std::string Bytes(const std::string& path) const;

  std::string FullPathName(const std::string& name) override;
  std::string LinkTarget(const std::string& path) override;
  bool Inspect(const std::string& path, FileInfo* info, std::string* error) override;
  bool OpenForReading(const std::string& path, File* file, std::string* error) override;
  bool Read(File& file, char* buffer, size_t size, size_t* got, std::string* error) override;
  bool CreateTemporary(const std::string& path, File* file, std::string* error) override;
  bool Write(File& file, const char* bytes, size_t size, size_t* written,
             std::string* error) override;
  void KeepAttributes(File& file, const FileInfo& old) override;
  bool Sync(File& file, std::string* error) override;
  bool Rename(const std::string& from, const std::string& to, std::string* error) override;
  bool SyncDirectory(const std::string& path, std::string* error) override;
  bool Remove(const std::string& path, std::string* error) override;

 protected:
  bool CloseFile(intptr_t id, std::string* error) override;

 private:
  // A file's bytes, shared by its names and its open handles: a file renamed
  // or removed while open is still written through the handle, as on POSIX.
  struct Node {
    std::string bytes;
    std::string synced;  // what a power cut leaves
  };
  using Contents = std::shared_ptr<Node>;
  struct OpenFile {
    Contents contents;
    size_t position = 0;
    bool writable = false;
  };

  // Logs the call and tells whether it is one to fail, with the error.
  bool Fails(const std::string& call, std::string* error);
  bool IsFolder(const std::string& path) const;
  bool FolderExists(const std::string& path) const;
  // The open file that `file` holds; null, with EBADF in `error`, if none.
  OpenFile* Find(const File& file, bool writing, std::string* error);
  // `file`'s id for the log.
  std::string Name(const File& file) const;
  File Open(const Contents& contents, bool writable);

  std::map<std::string, Contents> files_;
  std::map<std::string, Contents> syncedNames_;  // the names a power cut leaves
  int operations_ = 0;
  int failAt_ = 0;  // 0: none
  bool failOnward_ = false;
  int failError_ = 0;
  std::map<intptr_t, OpenFile> open_;
  intptr_t nextId_ = 3;
};

}  // namespace tapsmith::testing
