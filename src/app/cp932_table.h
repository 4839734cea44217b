// Code page 932 by tables of its own, for a build whose C library has no
// full code-page-932 iconv (the WebAssembly one: its iconv knows Shift_JIS
// but not Microsoft's extensions). The tables are made at build time from the
// build machine's iconv (tools/cp932_table.py), and a test holds them to it
// on every character, so that both builds convert alike.
#pragma once

#include <string>
#include <string_view>

namespace tapsmith::cp932 {

/// Cp932ToUtf8 (text_encoding.h) by the tables: a byte that starts no
/// character, alone or with the next, becomes U+FFFD and the next byte is
/// read afresh.
std::string ToUtf8(std::string_view cp932);

/// Utf8ToCp932 (text_encoding.h) by the tables: a character without a
/// code-page-932 form, or a sequence that is no UTF-8, becomes one "?" and
/// sets `*lossless` to false.
std::string FromUtf8(std::string_view utf8, bool* lossless);

}  // namespace tapsmith::cp932
