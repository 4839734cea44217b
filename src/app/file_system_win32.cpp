// The file system on Windows. Paths are in the ANSI code page, as the
// settings path is. A save's temporary file is opened sharing nothing but
// deletion (which lets it be renamed while open): another save cannot open it
// until the handle is closed, and the system closes it when its process dies.
#include <windows.h>

#include <optional>
#include <string>

#include "file_system.h"

namespace tapsmith {

namespace {

// How long a save waits for another live save of the same file.
constexpr int kOpenAttempts = 100;
constexpr DWORD kOpenPauseMilliseconds = 50;
// The old file's attributes that the new one takes over.
constexpr DWORD kKeptAttributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                  FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
// ReadFile and WriteFile take a DWORD count.
constexpr size_t kLargestTransfer = 0x40000000;
// The reason given for a folder: opening one as a file is refused as "Access
// is denied", which would send the user looking at permissions.
const char kIsAFolder[] = "is a folder";

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

bool Fail(std::string* error, DWORD code) {
  *error = ErrorText(code);
  return false;
}

class Win32FileSystem final : public FileSystem {
 public:
  std::string FullPathName(const std::string& name) override {
    // On success the length without the terminator; when the buffer is too
    // small, the size it would need, terminator included (which may grow
    // again if the working directory changes in between).
    DWORD needed = GetFullPathNameA(name.c_str(), 0, nullptr, nullptr);
    std::string full;
    while (needed > 0) {
      full.resize(needed);
      DWORD length = GetFullPathNameA(name.c_str(), needed, full.data(), nullptr);
      if (length < needed) {
        full.resize(length);
        return full;
      }
      needed = length;
    }
    return "";
  }

  // The settings file is not followed through links here: the rename
  // replaces the name itself, as the program always has.
  std::string LinkTarget(const std::string& path) override { return path; }

  bool Inspect(const std::string& path, FileInfo* info, std::string* error) override {
    *info = FileInfo();
    DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
      DWORD code = GetLastError();
      if (code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND) return true;
      return Fail(error, code);
    }
    info->exists = true;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
      info->refusal = kIsAFolder;
    } else if (attributes & FILE_ATTRIBUTE_DEVICE) {
      info->refusal = kNotARegularFile;
    } else if (attributes & FILE_ATTRIBUTE_READONLY) {
      info->refusal = ErrorText(ERROR_ACCESS_DENIED);
    }
    info->attributes = attributes & kKeptAttributes;
    return true;
  }

  bool OpenForReading(const std::string& path, File* file, std::string* error) override {
    HANDLE handle = CreateFileA(path.c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
      DWORD code = GetLastError();
      DWORD attributes = GetFileAttributesA(path.c_str());
      if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        *error = kIsAFolder;
        return false;
      }
      return Fail(error, code);
    }
    if (GetFileType(handle) != FILE_TYPE_DISK) {
      CloseHandle(handle);
      *error = kNotARegularFile;
      return false;
    }
    *file = Adopt(reinterpret_cast<intptr_t>(handle));
    return true;
  }

  bool Read(File& file, char* buffer, size_t size, size_t* got, std::string* error) override {
    std::optional<HANDLE> handle = Native(file);
    if (!handle) return Fail(error, ERROR_INVALID_HANDLE);
    DWORD chunk = size > kLargestTransfer ? static_cast<DWORD>(kLargestTransfer) : static_cast<DWORD>(size);
    DWORD count = 0;
    if (!ReadFile(*handle, buffer, chunk, &count, nullptr)) return Fail(error, GetLastError());
    *got = count;
    return true;
  }

  bool CreateTemporary(const std::string& path, File* file, std::string* error) override {
    for (int attempt = 0; attempt < kOpenAttempts; ++attempt) {
      HANDLE handle = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_DELETE, nullptr,
                                  OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
      if (handle == INVALID_HANDLE_VALUE) {
        DWORD code = GetLastError();
        if (code != ERROR_SHARING_VIOLATION) return Fail(error, code);
        Sleep(kOpenPauseMilliseconds);  // another save is writing it
        continue;
      }
      if (GetFileType(handle) != FILE_TYPE_DISK || !SetEndOfFile(handle)) {
        DWORD code = GetLastError();
        CloseHandle(handle);
        return Fail(error, code);
      }
      *file = Adopt(reinterpret_cast<intptr_t>(handle));
      return true;
    }
    return Fail(error, ERROR_SHARING_VIOLATION);
  }

  bool Write(File& file, const char* bytes, size_t size, size_t* written,
             std::string* error) override {
    std::optional<HANDLE> handle = Native(file);
    if (!handle) return Fail(error, ERROR_INVALID_HANDLE);
    DWORD chunk = size > kLargestTransfer ? static_cast<DWORD>(kLargestTransfer) : static_cast<DWORD>(size);
    DWORD count = 0;
    if (!WriteFile(*handle, bytes, chunk, &count, nullptr)) return Fail(error, GetLastError());
    if (count == 0) return Fail(error, ERROR_DISK_FULL);
    *written = count;
    return true;
  }

  void KeepAttributes(File& file, const FileInfo& old) override {
    std::optional<HANDLE> handle = Native(file);
    if (!handle) return;
    FILE_BASIC_INFO basic = {};  // zero times: left as they are
    basic.FileAttributes = old.attributes != 0 ? old.attributes : FILE_ATTRIBUTE_NORMAL;
    SetFileInformationByHandle(*handle, FileBasicInfo, &basic, sizeof basic);
  }

  bool Sync(File& file, std::string* error) override {
    std::optional<HANDLE> handle = Native(file);
    if (!handle) return Fail(error, ERROR_INVALID_HANDLE);
    if (!FlushFileBuffers(*handle)) return Fail(error, GetLastError());
    return true;
  }

  bool Rename(const std::string& from, const std::string& to, std::string* error) override {
    // A rename within one folder, which NTFS carries out whole.
    if (!MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      return Fail(error, GetLastError());
    }
    return true;
  }

  // MOVEFILE_WRITE_THROUGH has made the rename durable already.
  bool SyncDirectory(const std::string&, std::string*) override { return true; }

  bool Remove(const std::string& path, std::string* error) override {
    if (!DeleteFileA(path.c_str())) return Fail(error, GetLastError());
    return true;
  }

 protected:
  bool CloseFile(intptr_t id, std::string* error) override {
    if (!CloseHandle(reinterpret_cast<HANDLE>(id))) return Fail(error, GetLastError());
    return true;
  }

 private:
  std::optional<HANDLE> Native(const File& file) const {
    std::optional<intptr_t> id = IdOf(file);
    if (!id) return std::nullopt;
    return reinterpret_cast<HANDLE>(*id);
  }
};

}  // namespace

FileSystem& SystemFileSystem() {
  static Win32FileSystem files;
  return files;
}

}  // namespace tapsmith
