#include "file_replace.h"

namespace tapsmith {

namespace {

const char kTemporarySuffix[] = ".tmp";

bool Fail(std::string* error, const char* path, const std::string& reason) {
  *error = std::string(path) + ": " + reason;
  return false;
}

bool WriteAll(FileSystem& files, File& file, std::string_view bytes, std::string* error) {
  while (!bytes.empty()) {
    size_t written = 0;
    if (!files.Write(file, bytes.data(), bytes.size(), &written, error)) return false;
    bytes.remove_prefix(written);
  }
  return true;
}

}  // namespace

bool ReplaceFileContents(FileSystem& files, const char* path, std::string_view bytes,
                         std::string* error) {
  std::string target = files.LinkTarget(path);
  FileInfo old;
  std::string reason;
  if (!files.Inspect(target, &old, &reason)) return Fail(error, path, reason);
  // A file the user made read-only stays as it is, as a plain overwrite would.
  if (!old.refusal.empty()) return Fail(error, path, old.refusal);

  std::string temporary = target + kTemporarySuffix;
  File file;
  if (!files.CreateTemporary(temporary, &file, &reason)) return Fail(error, path, reason);
  bool written = WriteAll(files, file, bytes, &reason);
  if (written && old.exists) files.KeepAttributes(file, old);
  // Renamed while still open: the temporary file stays this save's own until
  // it has its final name, so no other save can take it over half-way.
  written = written && files.Sync(file, &reason) && files.Rename(temporary, target, &reason);
  std::string ignored;
  if (!written) {
    files.Remove(temporary, &ignored);
    file.Close(&ignored);
    return Fail(error, path, reason);
  }
  // The new file is complete, on the disk and in place: what follows cannot
  // lose it, and a crash leaves either it or the old one.
  file.Close(&ignored);
  files.SyncDirectory(target, &ignored);
  return true;
}

bool ReplaceFileContents(const char* path, std::string_view bytes, std::string* error) {
  return ReplaceFileContents(SystemFileSystem(), path, bytes, error);
}

}  // namespace tapsmith
