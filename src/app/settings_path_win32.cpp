// Full-path resolution on Windows: GetFullPathNameA, which joins the name to
// the current working directory in the ANSI code page, the code page in which
// the file is then opened.
#include <windows.h>

#include "settings_path.h"

namespace tapsmith {

size_t FullPathName(const char* name, char* buffer, size_t size) {
  if (size == 0) return 0;
  DWORD capacity = size > MAXDWORD ? MAXDWORD : static_cast<DWORD>(size);
  // On success the length without the terminator; when the buffer is too
  // small, the size it would need (terminator included), with the buffer's
  // contents undefined.
  DWORD length = GetFullPathNameA(name, capacity, buffer, nullptr);
  if (length == 0 || length >= capacity) {
    buffer[0] = '\0';
    return 0;
  }
  return length;
}

}  // namespace tapsmith
