#include "fake_file_system.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <iterator>

namespace tapsmith::testing {

namespace {

std::string FolderOf(const std::string& path) { return path.substr(0, path.rfind('/')); }

bool Fail(std::string* error, int errorNumber) {
  *error = std::strerror(errorNumber);
  return false;
}

}  // namespace

void FakeFileSystem::FailOperation(int n, int errorNumber) {
  failAt_ = operations_ + n;
  failOnward_ = false;
  failError_ = errorNumber;
}

void FakeFileSystem::FailFrom(int n, int errorNumber) {
  FailOperation(n, errorNumber);
  failOnward_ = true;
}

void FakeFileSystem::CutPower() {
  files_ = syncedNames_;
  for (auto& [path, contents] : files_) contents->bytes = contents->synced;
  open_.clear();
  failAt_ = 0;
}

void FakeFileSystem::AddFile(const std::string& path, const std::string& bytes) {
  auto contents = std::make_shared<Node>(Node{bytes, bytes});
  files_[path] = contents;
  syncedNames_[path] = contents;
}

std::string FakeFileSystem::Bytes(const std::string& path) const {
  auto found = files_.find(path);
  return found == files_.end() ? "<none>" : found->second->bytes;
}

bool FakeFileSystem::Fails(const std::string& call, std::string* error) {
  log.push_back(call);
  ++operations_;
  if (failAt_ == 0 || operations_ < failAt_ || (operations_ > failAt_ && !failOnward_)) return false;
  if (error != nullptr) *error = std::strerror(failError_);
  return true;
}

bool FakeFileSystem::IsFolder(const std::string& path) const {
  return std::find(folders.begin(), folders.end(), path) != folders.end();
}

bool FakeFileSystem::FolderExists(const std::string& path) const { return IsFolder(FolderOf(path)); }

FakeFileSystem::OpenFile* FakeFileSystem::Find(const File& file, bool writing, std::string* error) {
  std::optional<intptr_t> id = IdOf(file);
  auto found = id ? open_.find(*id) : open_.end();
  if (found == open_.end() || (writing && !found->second.writable)) {
    Fail(error, EBADF);
    return nullptr;
  }
  return &found->second;
}

std::string FakeFileSystem::Name(const File& file) const {
  std::optional<intptr_t> id = IdOf(file);
  return id ? std::to_string(*id) : "none";
}

File FakeFileSystem::Open(const Contents& contents, bool writable) {
  open_[nextId_] = {contents, 0, writable};
  return Adopt(nextId_++);
}

std::string FakeFileSystem::FullPathName(const std::string& name) {
  if (Fails("FullPathName " + name, nullptr)) return "";
  return workingDirectory + "/" + name;
}

std::string FakeFileSystem::LinkTarget(const std::string& path) {
  Fails("LinkTarget " + path, nullptr);  // a failure leaves the path, as a dangling link does
  return path;
}

bool FakeFileSystem::Inspect(const std::string& path, FileInfo* info, std::string* error) {
  *info = FileInfo();
  if (Fails("Inspect " + path, error)) return false;
  info->exists = files_.count(path) != 0 || refusals.count(path) != 0 || IsFolder(path);
  if (IsFolder(path)) info->refusal = std::strerror(EISDIR);
  if (refusals.count(path) != 0) info->refusal = refusals[path];
  return true;
}

bool FakeFileSystem::OpenForReading(const std::string& path, File* file, std::string* error) {
  if (Fails("OpenForReading " + path, error)) return false;
  if (IsFolder(path)) return Fail(error, EISDIR);
  auto found = files_.find(path);
  if (found == files_.end()) return Fail(error, ENOENT);
  *file = Open(found->second, false);
  return true;
}

bool FakeFileSystem::Read(File& file, char* buffer, size_t size, size_t* got, std::string* error) {
  if (Fails("Read " + Name(file), error)) return false;
  OpenFile* open = Find(file, false, error);
  if (open == nullptr) return false;
  const std::string& bytes = open->contents->bytes;
  size_t left = bytes.size() - std::min(open->position, bytes.size());
  *got = std::min({size, largestTransfer, left});
  std::memcpy(buffer, bytes.data() + open->position, *got);
  open->position += *got;
  return true;
}

bool FakeFileSystem::CreateTemporary(const std::string& path, File* file, std::string* error) {
  if (Fails("CreateTemporary " + path, error)) return false;
  if (!FolderExists(path)) return Fail(error, ENOENT);
  if (IsFolder(path)) return Fail(error, EISDIR);
  Contents& contents = files_[path];
  if (contents == nullptr) contents = std::make_shared<Node>();
  contents->bytes.clear();  // what a dead save left is taken over
  *file = Open(contents, true);
  return true;
}

bool FakeFileSystem::Write(File& file, const char* bytes, size_t size, size_t* written,
                           std::string* error) {
  if (Fails("Write " + Name(file) + " " + std::to_string(size), error)) return false;
  OpenFile* open = Find(file, true, error);
  if (open == nullptr) return false;
  std::string& contents = open->contents->bytes;
  *written = std::min(size, largestTransfer);
  // A file cut shorter by another handle is extended with zeros, as POSIX does.
  if (contents.size() < open->position) contents.resize(open->position, '\0');
  contents.replace(open->position, *written, bytes, *written);
  open->position += *written;
  return true;
}

void FakeFileSystem::KeepAttributes(File& file, const FileInfo&) {
  Fails("KeepAttributes " + Name(file), nullptr);
}

bool FakeFileSystem::Sync(File& file, std::string* error) {
  if (Fails("Sync " + Name(file), error)) return false;
  OpenFile* open = Find(file, false, error);
  if (open == nullptr) return false;
  open->contents->synced = open->contents->bytes;
  return true;
}

bool FakeFileSystem::CloseFile(intptr_t id, std::string* error) {
  bool failed = Fails("Close " + std::to_string(id), error);
  bool known = open_.erase(id) != 0;  // gone whatever the result
  if (failed) return false;
  return known || Fail(error, EBADF);
}

bool FakeFileSystem::Rename(const std::string& from, const std::string& to, std::string* error) {
  if (Fails("Rename " + from + " " + to, error)) return false;
  auto found = files_.find(from);
  if (found == files_.end() || !FolderExists(to)) return Fail(error, ENOENT);
  if (IsFolder(to)) return Fail(error, EISDIR);
  Contents contents = found->second;
  files_.erase(found);
  files_[to] = contents;
  return true;
}

bool FakeFileSystem::SyncDirectory(const std::string& path, std::string* error) {
  if (Fails("SyncDirectory " + path, error)) return false;
  const std::string folder = FolderOf(path);
  if (!IsFolder(folder)) return Fail(error, ENOENT);
  auto inFolder = [&folder](const auto& entry) { return FolderOf(entry.first) == folder; };
  std::erase_if(syncedNames_, inFolder);
  std::copy_if(files_.begin(), files_.end(), std::inserter(syncedNames_, syncedNames_.end()),
               inFolder);
  return true;
}

bool FakeFileSystem::Remove(const std::string& path, std::string* error) {
  if (Fails("Remove " + path, error)) return false;
  if (files_.erase(path) == 0) return Fail(error, ENOENT);
  return true;
}

}  // namespace tapsmith::testing
