// Where a control's bytes meet the toolkit's Unicode: code page 932 with
// CR LF line breaks on the program's side, UTF-8 with '\n' on the toolkit's.
#pragma once

#include <string>
#include <string_view>

namespace tapsmith {

/// The UTF-8 text a control shows for `bytes`. With `multiLine`, every CR LF,
/// lone CR and lone LF becomes one '\n'.
std::string BytesToShownText(std::string_view bytes, bool multiLine);

/// The bytes of a text the user typed. With `multiLine`, each '\n' becomes
/// CR LF. Characters with no code-page-932 form become "?".
std::string TypedTextToBytes(std::string_view utf8, bool multiLine);

/// GetWindowTextA's copy: at most `capacity` - 1 bytes and a terminator into
/// `buffer`, never the first half of a double-byte character alone. Returns
/// the number of bytes copied; 0, writing nothing, when `buffer` is null or
/// `capacity` is below 1.
int CopyTextBounded(std::string_view bytes, char* buffer, int capacity);

}  // namespace tapsmith
