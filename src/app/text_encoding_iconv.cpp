// The conversions through the C library's iconv.
#include "text_encoding.h"

#include <iconv.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "utf8_sequence.h"

namespace tapsmith {

namespace {

// Bytes to skip at a sequence iconv refused. In UTF-8 input a character that
// has no code-page-932 form is skipped whole, so that it becomes one "?".
using SkipLength = size_t (*)(const unsigned char* at, size_t left);

size_t SkipOneByte(const unsigned char*, size_t) { return 1; }

// Converts with iconv, replacing every sequence that cannot be converted by
// `replacement` and going on after it. Sets `*lossless` to false if any was.
std::string Convert(const char* to, const char* from, std::string_view input,
                    std::string_view replacement, SkipLength skip, bool* lossless) {
  *lossless = true;
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) {
    std::fprintf(stderr, "tapsmith: iconv cannot convert %s to %s\n", from, to);
    std::abort();
  }
  std::string output;
  output.reserve(input.size() * 3 / 2 + 4);
  char* in = const_cast<char*>(input.data());
  size_t inLeft = input.size();
  char chunk[4096];
  while (inLeft > 0) {
    char* out = chunk;
    size_t outLeft = sizeof chunk;
    size_t rc = iconv(cd, &in, &inLeft, &out, &outLeft);
    output.append(chunk, out - chunk);
    if (rc != static_cast<size_t>(-1) || errno == E2BIG) continue;
    // EILSEQ, or EINVAL for a sequence cut short at the end.
    *lossless = false;
    output.append(replacement);
    size_t n = skip(reinterpret_cast<const unsigned char*>(in), inLeft);
    in += n;
    inLeft -= n;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
  }
  char* out = chunk;
  size_t outLeft = sizeof chunk;
  iconv(cd, nullptr, nullptr, &out, &outLeft);
  output.append(chunk, out - chunk);
  iconv_close(cd);
  return output;
}

}  // namespace

std::string Cp932ToUtf8(std::string_view cp932) {
  bool lossless;
  return Convert("UTF-8", "CP932", cp932, "\xEF\xBF\xBD", SkipOneByte, &lossless);
}

std::string Utf8ToCp932(std::string_view utf8, bool* lossless) {
  return Convert("CP932", "UTF-8", utf8, "?", SkipUtf8Character, lossless);
}

}  // namespace tapsmith
