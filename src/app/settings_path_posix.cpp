// Full-path resolution on POSIX systems: the working directory from getcwd
// and the name joined to it. Like the Win32 call it resolves no symbolic
// links and does not ask whether the file exists.
#include <unistd.h>

#include <cstring>

#include "settings_path.h"

namespace tapsmith {

size_t FullPathName(const char* name, char* buffer, size_t size) {
  if (size == 0) return 0;
  // getcwd fails with ERANGE when the directory alone does not fit; a result
  // that is not absolute (older C libraries, a directory outside the root)
  // names no file we could use.
  if (getcwd(buffer, size) == nullptr || buffer[0] != '/') {
    buffer[0] = '\0';
    return 0;
  }
  size_t length = std::strlen(buffer);
  bool needsSeparator = buffer[length - 1] != '/';
  size_t nameLength = std::strlen(name);
  size_t fullLength = length + (needsSeparator ? 1 : 0) + nameLength;
  if (fullLength >= size) {
    buffer[0] = '\0';
    return 0;
  }
  if (needsSeparator) buffer[length++] = '/';
  std::memcpy(buffer + length, name, nameLength + 1);
  return fullLength;
}

}  // namespace tapsmith
