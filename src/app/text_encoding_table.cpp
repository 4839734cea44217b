// The conversions by the build's own code-page-932 tables, where the C
// library's iconv lacks code page 932's extensions (WebAssembly).
#include "cp932_table.h"
#include "text_encoding.h"

namespace tapsmith {

std::string Cp932ToUtf8(std::string_view cp932) { return cp932::ToUtf8(cp932); }

std::string Utf8ToCp932(std::string_view utf8, bool* lossless) {
  return cp932::FromUtf8(utf8, lossless);
}

}  // namespace tapsmith
