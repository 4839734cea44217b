// Replacing a file's contents so that a failure at any point (full disk,
// refused write, crash) leaves the previous file as it was: the bytes go to a
// temporary file beside it, which is flushed to the disk and then renamed over
// the old one.
//
// One sibling file per platform (file_replace_posix.cpp, file_replace_win32.cpp),
// chosen in CMake.
#pragma once

#include <string>
#include <string_view>

namespace tapsmith {

/// Makes `bytes` the whole contents of the file at `path`. An existing file
/// is replaced only once the new contents are complete on the disk; it keeps
/// its permission bits, and a symbolic link is followed so that the link
/// stays. Returns false, with the old file untouched, no temporary file left
/// behind and "<path>: <reason>" in `error`, if the file cannot be written,
/// or if `path` names a directory, a device or a file the user may not write.
bool ReplaceFileContents(const char* path, std::string_view bytes, std::string* error);

}  // namespace tapsmith
