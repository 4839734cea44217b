// A file system that keeps its files in memory, logs every call, and can be
// told to fail any one operation with a given error: what the settings file
// does at each step is seen in the log, and a failure can be put at any step
// without privileges, mounts or a full disk.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "file_system.h"

namespace tapsmith::testing {

class FakeFileSystem : public FileSystem {
 public:
  /// A file's bytes, shared by its name and its open handles: a file renamed
  /// or removed while open is still written through the handle, as on POSIX.
  using Contents = std::shared_ptr<std::string>;

  /// The files by full path, and the folders (a file's folder must exist).
  std::map<std::string, Contents> files;
  std::vector<std::string> folders = {"/home"};
  std::string workingDirectory = "/home";
  /// Paths that are there but may not be replaced (a read-only file, say),
  /// with the reason.
  std::map<std::string, std::string> refusals;

  /// Every call, one line each, in order: "Write /home/a.tmp 4096", say.
  std::vector<std::string> log;

  /// The most bytes a Read or a Write moves at once (so that a file is
  /// written in several steps).
  size_t largestTransfer = 4096;

  /// Makes the `n`th operation from now (1: the next) fail with the text of
  /// `errorNumber`, and every operation after it succeed again.
  void FailOperation(int n, int errorNumber);

  /// The operations called so far.
  int operations() const { return operations_; }
  /// The files open now.
  int openFiles() const { return static_cast<int>(open_.size()); }

  void AddFile(const std::string& path, const std::string& bytes);
  /// The bytes of the file at `path`; "<none>" if there is none.
  std::string Bytes(const std::string& path) const;

  size_t FullPathName(const char* name, char* buffer, size_t size) override;
  std::string LinkTarget(const std::string& path) override;
  bool Inspect(const std::string& path, FileInfo* info, std::string* error) override;
  bool OpenForReading(const std::string& path, FileHandle* file, std::string* error) override;
  bool Read(FileHandle file, char* buffer, size_t size, size_t* got, std::string* error) override;
  bool CreateTemporary(const std::string& path, FileHandle* file, std::string* error) override;
  bool Write(FileHandle file, const char* bytes, size_t size, size_t* written,
             std::string* error) override;
  void KeepAttributes(FileHandle file, const FileInfo& old) override;
  bool Sync(FileHandle file, std::string* error) override;
  bool Close(FileHandle file, std::string* error) override;
  bool Rename(const std::string& from, const std::string& to, std::string* error) override;
  bool SyncDirectory(const std::string& path, std::string* error) override;
  bool Remove(const std::string& path, std::string* error) override;

 private:
  struct OpenFile {
    Contents contents;
    size_t position = 0;
  };

  // Logs the call and tells whether it is the one to fail, with the error.
  bool Fails(const std::string& call, std::string* error);
  bool FolderExists(const std::string& path) const;
  OpenFile* Find(FileHandle file);

  int operations_ = 0;
  int failAt_ = 0;  // 0: none
  int failError_ = 0;
  std::map<FileHandle, OpenFile> open_;
  FileHandle nextHandle_ = 3;
};

}  // namespace tapsmith::testing
