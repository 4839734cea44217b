#include "fake_file_system.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace tapsmith::testing {

void FakeFileSystem::FailOperation(int n, int errorNumber) {
  failAt_ = operations_ + n;
  failError_ = errorNumber;
}

void FakeFileSystem::AddFile(const std::string& path, const std::string& bytes) {
  files[path] = std::make_shared<std::string>(bytes);
}

std::string FakeFileSystem::Bytes(const std::string& path) const {
  auto found = files.find(path);
  return found == files.end() ? "<none>" : *found->second;
}

bool FakeFileSystem::Fails(const std::string& call, std::string* error) {
  log.push_back(call);
  if (++operations_ != failAt_) return false;
  if (error != nullptr) *error = std::strerror(failError_);
  return true;
}

bool FakeFileSystem::FolderExists(const std::string& path) const {
  std::string folder = path.substr(0, path.rfind('/'));
  return std::find(folders.begin(), folders.end(), folder) != folders.end();
}

FakeFileSystem::OpenFile* FakeFileSystem::Find(FileHandle file) {
  auto found = open_.find(file);
  return found == open_.end() ? nullptr : &found->second;
}

size_t FakeFileSystem::FullPathName(const char* name, char* buffer, size_t size) {
  std::string full = workingDirectory + "/" + name;
  if (Fails("FullPathName " + std::string(name), nullptr) || full.size() >= size) {
    if (size > 0) buffer[0] = '\0';
    return 0;
  }
  std::memcpy(buffer, full.c_str(), full.size() + 1);
  return full.size();
}

std::string FakeFileSystem::LinkTarget(const std::string& path) {
  Fails("LinkTarget " + path, nullptr);  // a failure leaves the path, as a dangling link does
  return path;
}

bool FakeFileSystem::Inspect(const std::string& path, FileInfo* info, std::string* error) {
  *info = FileInfo();
  if (Fails("Inspect " + path, error)) return false;
  if (!FolderExists(path)) {
    *error = std::strerror(ENOENT);
    return false;
  }
  info->exists = files.count(path) != 0 || refusals.count(path) != 0;
  if (refusals.count(path) != 0) info->refusal = refusals[path];
  return true;
}

bool FakeFileSystem::OpenForReading(const std::string& path, FileHandle* file, std::string* error) {
  if (Fails("OpenForReading " + path, error)) return false;
  auto found = files.find(path);
  if (found == files.end()) {
    *error = std::strerror(ENOENT);
    return false;
  }
  *file = nextHandle_++;
  open_[*file] = {found->second, 0};
  return true;
}

bool FakeFileSystem::Read(FileHandle file, char* buffer, size_t size, size_t* got, std::string* error) {
  if (Fails("Read " + std::to_string(file), error)) return false;
  OpenFile* open = Find(file);
  const std::string& bytes = *open->contents;
  *got = std::min({size, largestTransfer, bytes.size() - open->position});
  std::memcpy(buffer, bytes.data() + open->position, *got);
  open->position += *got;
  return true;
}

bool FakeFileSystem::CreateTemporary(const std::string& path, FileHandle* file, std::string* error) {
  if (Fails("CreateTemporary " + path, error)) return false;
  if (!FolderExists(path)) {
    *error = std::strerror(ENOENT);
    return false;
  }
  Contents& contents = files[path];
  if (contents == nullptr) contents = std::make_shared<std::string>();
  contents->clear();  // what a dead save left is taken over
  *file = nextHandle_++;
  open_[*file] = {contents, 0};
  return true;
}

bool FakeFileSystem::Write(FileHandle file, const char* bytes, size_t size, size_t* written,
                           std::string* error) {
  if (Fails("Write " + std::to_string(file) + " " + std::to_string(size), error)) return false;
  OpenFile* open = Find(file);
  *written = std::min(size, largestTransfer);
  open->contents->replace(open->position, *written, bytes, *written);
  open->position += *written;
  return true;
}

void FakeFileSystem::KeepAttributes(FileHandle file, const FileInfo&) {
  Fails("KeepAttributes " + std::to_string(file), nullptr);
}

bool FakeFileSystem::Sync(FileHandle file, std::string* error) {
  return !Fails("Sync " + std::to_string(file), error);
}

bool FakeFileSystem::Close(FileHandle file, std::string* error) {
  bool failed = Fails("Close " + std::to_string(file), error);
  open_.erase(file);  // gone whatever the result
  return !failed;
}

bool FakeFileSystem::Rename(const std::string& from, const std::string& to, std::string* error) {
  if (Fails("Rename " + from + " " + to, error)) return false;
  auto found = files.find(from);
  if (found == files.end()) {
    *error = std::strerror(ENOENT);
    return false;
  }
  Contents contents = found->second;
  files.erase(found);
  files[to] = contents;
  return true;
}

bool FakeFileSystem::SyncDirectory(const std::string& path, std::string* error) {
  return !Fails("SyncDirectory " + path, error);
}

bool FakeFileSystem::Remove(const std::string& path, std::string* error) {
  if (Fails("Remove " + path, error)) return false;
  if (files.erase(path) == 0) {
    *error = std::strerror(ENOENT);
    return false;
  }
  return true;
}

}  // namespace tapsmith::testing
