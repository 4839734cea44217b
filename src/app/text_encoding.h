// Conversion between the program's Shift-JIS (code page 932) bytes and UTF-8,
// used only at the edges: widgets, the terminal, JSON.
#pragma once

#include <string>
#include <string_view>

namespace tapsmith {

/// Converts code-page-932 bytes to UTF-8. Bytes that form no character are
/// replaced by U+FFFD; the conversion itself never fails.
std::string Cp932ToUtf8(std::string_view cp932);

/// Converts UTF-8 to code-page-932 bytes. Characters with no code-page-932
/// form, and bytes that are not UTF-8, become "?".
std::string Utf8ToCp932(std::string_view utf8);

/// Converts a UTF-8 literal of the program's own, which always has a
/// code-page-932 form. Aborts with a message if it has not: that is a
/// programming error, found by the first test that touches the literal.
std::string LiteralToCp932(std::string_view utf8);

/// Utf8ToCp932, setting `*lossless` to false if any character had to become
/// "?". The platform's part: one sibling file per platform implements it
/// (text_encoding_iconv.cpp, text_encoding_win32.cpp), chosen in CMake.
std::string Utf8ToCp932(std::string_view utf8, bool* lossless);

}  // namespace tapsmith
