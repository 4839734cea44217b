// A stock list from outside the window, as the console gives it: read from
// a text file (--list-file) or written out as values (--values), UTF-8, made
// into what a list edit box holds.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "file_system.h"
#include "message_table.h"

namespace tapsmith {

/// The most bytes of a list file ever read: a UTF-8 character takes at most
/// three bytes where code page 932 takes at least one, so a file longer than
/// this never fits a slot.
constexpr size_t kListReadLimit = 3 * static_cast<size_t>(kSlotMaxLength) + 3;

/// Reads the file at `path` into `list` as a list slot holds it: code page
/// 932 with CR LF line ends (a lone LF becomes CR LF), a leading UTF-8 byte
/// order mark dropped, characters without a code-page-932 form as "?".
/// Returns false, with `list` untouched and the reason in `error` (naming
/// the path), if the file cannot be read whole (a folder, a missing file, no
/// permission, a read error), if it holds NUL bytes (UTF-16 or binary, not
/// UTF-8 text), or if the list would be longer than a slot holds: a list cut
/// short or read as garbage would give a plausible but wrong result.
bool ReadListFile(FileSystem& files, const std::string& path, std::string* list, Localized* error);

/// The first bytes of a file named `name` (at most kListReadLimit + 1 of
/// them: one more tells that it is too long) checked as ReadListFile checks
/// them, for a file read elsewhere (the page's). Returns its text as UTF-8,
/// a byte order mark dropped, or false with the reason.
bool CheckListBytes(std::string_view bytes, const std::string& name, std::string* utf8, Localized* error);

/// Makes `values`, UTF-8 values separated by commas, blanks or line breaks,
/// the ideographic comma and space and the full-width comma among them (a
/// run of them separating once), into `list` as a list slot holds it, one
/// value a line, as a file of those lines would be. Returns false, with
/// `list` untouched and the reason in `error`, if the list would be longer
/// than a slot holds, found as soon as it is.
bool ListFromValues(std::string_view values, std::string* list, Localized* error);

}  // namespace tapsmith
