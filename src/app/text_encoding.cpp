// The conversions that are the same on every platform, over the platform's
// own Utf8ToCp932.
#include "text_encoding.h"

#include <cstdio>
#include <cstdlib>

namespace tapsmith {

std::string Utf8ToCp932(std::string_view utf8) {
  bool lossless;
  return Utf8ToCp932(utf8, &lossless);
}

std::string LiteralToCp932(std::string_view utf8) {
  bool lossless;
  std::string out = Utf8ToCp932(utf8, &lossless);
  if (!lossless) {
    std::fprintf(stderr, "tapsmith: literal has no code-page-932 form: %.*s\n",
                 static_cast<int>(utf8.size()), utf8.data());
    std::abort();
  }
  return out;
}

}  // namespace tapsmith
