// Replacing a file on Windows: the bytes go to a temporary file beside the
// old one, are flushed to the disk, and the temporary file is then renamed
// over the old one with MoveFileExA (a rename within one folder, which NTFS
// carries out whole). Paths are in the ANSI code page, as the settings path is.
#include <windows.h>

#include <string>

#include "file_replace.h"

namespace tapsmith {

namespace {

constexpr int kTemporaryNameAttempts = 100;
// The old file's attributes that the new one takes over.
constexpr DWORD kKeptAttributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                  FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

// The system's text for an error code, without its final line break.
std::string ErrorText(DWORD code) {
  char text[512];
  DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                code, 0, text, sizeof text, nullptr);
  while (length > 0 && (text[length - 1] == '\r' || text[length - 1] == '\n' ||
                        text[length - 1] == ' ' || text[length - 1] == '.')) {
    --length;
  }
  if (length == 0) return "error " + std::to_string(code);
  return std::string(text, length);
}

bool Fail(std::string* error, const char* path, const std::string& reason) {
  *error = std::string(path) + ": " + reason;
  return false;
}

HANDLE CreateTemporary(const std::string& path, std::string* temporary) {
  std::string stem = path + ".tmp-" + std::to_string(GetCurrentProcessId());
  for (int attempt = 0; attempt < kTemporaryNameAttempts; ++attempt) {
    *temporary = attempt == 0 ? stem : stem + "-" + std::to_string(attempt);
    HANDLE file = CreateFileA(temporary->c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS) return file;
  }
  SetLastError(ERROR_FILE_EXISTS);
  return INVALID_HANDLE_VALUE;
}

bool WriteAll(HANDLE file, std::string_view bytes) {
  while (!bytes.empty()) {
    DWORD chunk = bytes.size() > 0x40000000 ? 0x40000000 : static_cast<DWORD>(bytes.size());
    DWORD written = 0;
    if (!WriteFile(file, bytes.data(), chunk, &written, nullptr)) return false;
    if (written == 0) {
      SetLastError(ERROR_DISK_FULL);
      return false;
    }
    bytes.remove_prefix(written);
  }
  return true;
}

}  // namespace

bool ReplaceFileContents(const char* path, std::string_view bytes, std::string* error) {
  DWORD oldAttributes = GetFileAttributesA(path);
  bool oldExists = oldAttributes != INVALID_FILE_ATTRIBUTES;
  if (!oldExists) {
    DWORD code = GetLastError();
    if (code != ERROR_FILE_NOT_FOUND) return Fail(error, path, ErrorText(code));
  } else {
    if (oldAttributes & FILE_ATTRIBUTE_DIRECTORY) return Fail(error, path, "is a folder");
    if (oldAttributes & FILE_ATTRIBUTE_DEVICE) return Fail(error, path, "not a regular file");
    // A file the user made read-only stays as it is, as a plain overwrite would.
    if (oldAttributes & FILE_ATTRIBUTE_READONLY) {
      return Fail(error, path, ErrorText(ERROR_ACCESS_DENIED));
    }
  }

  std::string temporary;
  HANDLE file = CreateTemporary(path, &temporary);
  if (file == INVALID_HANDLE_VALUE) return Fail(error, path, ErrorText(GetLastError()));
  bool written = WriteAll(file, bytes) && FlushFileBuffers(file);
  DWORD code = written ? ERROR_SUCCESS : GetLastError();
  if (!CloseHandle(file) && written) {
    written = false;
    code = GetLastError();
  }
  if (written && oldExists) {
    // Best effort: the contents matter more than the attributes.
    DWORD kept = oldAttributes & kKeptAttributes;
    SetFileAttributesA(temporary.c_str(), kept != 0 ? kept : FILE_ATTRIBUTE_NORMAL);
  }
  if (written &&
      !MoveFileExA(temporary.c_str(), path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    written = false;
    code = GetLastError();
  }
  if (!written) {
    DeleteFileA(temporary.c_str());
    return Fail(error, path, ErrorText(code));
  }
  return true;
}

}  // namespace tapsmith
