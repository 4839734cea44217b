// A stock list read from a text file, as the console's --list-file gives it:
// UTF-8 text, one value a line, made into what a list edit box holds.
#pragma once

#include <string>

#include "file_system.h"

namespace tapsmith {

/// Reads the file at `path` into `list` as a list slot holds it: code page
/// 932 with CR LF line ends (a lone LF becomes CR LF), a leading UTF-8 byte
/// order mark dropped, characters without a code-page-932 form as "?".
/// Returns false, with `list` untouched and the reason in `error` (naming
/// the path), if the file cannot be read whole (a folder, a missing file, no
/// permission, a read error), if it holds NUL bytes (UTF-16 or binary, not
/// UTF-8 text), or if the list would be longer than a slot holds: a list cut
/// short or read as garbage would give a plausible but wrong result.
bool ReadListFile(FileSystem& files, const std::string& path, std::string* list, std::string* error);

}  // namespace tapsmith
