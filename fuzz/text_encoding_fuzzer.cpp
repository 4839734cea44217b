// The conversions between code page 932 and UTF-8 on arbitrary bytes. Neither
// direction faults; UTF-8 output is always valid UTF-8 (it goes to widgets,
// terminals and JSON); code-page-932 text that the converter made from UTF-8
// comes back unchanged through UTF-8; plain ASCII passes both ways as it is.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "text_encoding.h"

namespace {

using namespace tapsmith;

[[noreturn]] void Fail(const char* what, size_t at) {
  std::fprintf(stderr, "text_encoding_fuzzer: %s (at %zu)\n", what, at);
  std::abort();
}

// Strict UTF-8: shortest forms only, no surrogates, nothing above U+10FFFF.
// Returns the offset of the first fault, or npos.
size_t FirstInvalidUtf8(std::string_view text) {
  const auto* s = reinterpret_cast<const unsigned char*>(text.data());
  const size_t n = text.size();
  size_t i = 0;
  while (i < n) {
    unsigned char c = s[i];
    size_t length;
    uint32_t low;
    uint32_t code;
    if (c < 0x80) {
      ++i;
      continue;
    } else if (c >= 0xC2 && c <= 0xDF) {
      length = 2, low = 0x80, code = c & 0x1F;
    } else if (c >= 0xE0 && c <= 0xEF) {
      length = 3, low = 0x800, code = c & 0x0F;
    } else if (c >= 0xF0 && c <= 0xF4) {
      length = 4, low = 0x10000, code = c & 0x07;
    } else {
      return i;
    }
    if (i + length > n) return i;
    for (size_t k = 1; k < length; ++k) {
      if ((s[i + k] & 0xC0) != 0x80) return i;
      code = (code << 6) | (s[i + k] & 0x3F);
    }
    if (code < low || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return i;
    i += length;
  }
  return std::string_view::npos;
}

bool IsAscii(std::string_view text) {
  for (char c : text) {
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view input(reinterpret_cast<const char*>(data), size);

  // The bytes as code page 932 (a slot, a list, a settings file).
  std::string utf8 = Cp932ToUtf8(input);
  size_t bad = FirstInvalidUtf8(utf8);
  if (bad != std::string_view::npos) Fail("Cp932ToUtf8 gave invalid UTF-8", bad);

  // The bytes as UTF-8 (a widget's text, a command-line argument, a file).
  std::string cp932 = Utf8ToCp932(input);
  std::string back = Cp932ToUtf8(cp932);
  bad = FirstInvalidUtf8(back);
  if (bad != std::string_view::npos) Fail("UTF-8 of converted text is invalid", bad);
  if (Utf8ToCp932(back) != cp932) Fail("code page 932 from UTF-8 does not round-trip", 0);

  if (IsAscii(input)) {
    if (cp932 != input) Fail("ASCII changed on its way to code page 932", 0);
    if (utf8 != input) Fail("ASCII changed on its way to UTF-8", 0);
  }
  return 0;
}
