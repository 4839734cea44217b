#include "file_system.h"

#include <cerrno>
#include <cstring>
#include <utility>

namespace tapsmith {

File::File(File&& other) noexcept
    : files_(std::exchange(other.files_, nullptr)), id_(other.id_) {}

File& File::operator=(File&& other) noexcept {
  if (this != &other) {
    std::string ignored;
    if (IsOpen()) Close(&ignored);
    files_ = std::exchange(other.files_, nullptr);
    id_ = other.id_;
  }
  return *this;
}

File::~File() {
  std::string ignored;
  if (IsOpen()) Close(&ignored);
}

bool File::Close(std::string* error) {
  FileSystem* files = std::exchange(files_, nullptr);
  if (files == nullptr) {
    *error = std::strerror(EBADF);
    return false;
  }
  return files->CloseFile(id_, error);
}

std::optional<intptr_t> FileSystem::IdOf(const File& file) const {
  if (file.files_ != this) return std::nullopt;
  return file.id_;
}

bool ReadFileUpTo(FileSystem& files, const std::string& path, size_t limit, std::string* bytes,
                  std::string* reason) {
  File file;
  if (!files.OpenForReading(path, &file, reason)) return false;
  bytes->assign(limit + 1, '\0');
  size_t size = 0;
  while (size < bytes->size()) {
    size_t got = 0;
    if (!files.Read(file, bytes->data() + size, bytes->size() - size, &got, reason)) return false;
    if (got == 0) break;
    size += got;
  }
  bytes->resize(size);
  return true;
}

}  // namespace tapsmith
