// Replacing a file's contents so that a failure at any point (full disk,
// refused write, crash, a kill) leaves either the previous file as it was or
// the new one whole: the bytes go to a temporary file beside it, which is
// synced to the disk and then renamed over the old one.
//
// The temporary file has one fixed name, "<file>.tmp", held by one save at a
// time: a save killed part way leaves at most that one file behind, and the
// next save takes it over, so leftovers cannot pile up.
#pragma once

#include <string>
#include <string_view>

#include "file_system.h"

namespace tapsmith {

/// Makes `bytes` the whole contents of the file at `path`. An existing file
/// is replaced only once the new contents are complete on the disk; it keeps
/// its attributes (POSIX: permission bits, owner and group), and a symbolic
/// link is followed so that the link stays. Returns false, with the old file
/// untouched, no temporary file left behind and "<path>: <reason>" in
/// `error`, if the file cannot be written, or if `path` names a directory, a
/// device or a file the user may not write.
bool ReplaceFileContents(FileSystem& files, const char* path, std::string_view bytes,
                         std::string* error);

/// ReplaceFileContents on the platform's own file system.
bool ReplaceFileContents(const char* path, std::string_view bytes, std::string* error);

}  // namespace tapsmith
