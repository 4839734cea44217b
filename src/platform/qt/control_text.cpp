#include "control_text.h"

#include <cstring>

#include "text_encoding.h"

namespace tapsmith {
namespace {

// Lead bytes of code page 932's double-byte characters.
bool IsLeadByte(unsigned char byte) {
  return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

}  // namespace

std::string BytesToShownText(std::string_view bytes, bool multiLine) {
  std::string utf8 = Cp932ToUtf8(bytes);
  if (!multiLine) return utf8;
  std::string shown;
  shown.reserve(utf8.size());
  for (size_t i = 0; i < utf8.size(); ++i) {
    if (utf8[i] == '\r') {
      shown += '\n';
      if (i + 1 < utf8.size() && utf8[i + 1] == '\n') ++i;
    } else {
      shown += utf8[i];
    }
  }
  return shown;
}

std::string TypedTextToBytes(std::string_view utf8, bool multiLine) {
  if (!multiLine) return Utf8ToCp932(utf8);
  std::string crlf;
  crlf.reserve(utf8.size() + utf8.size() / 16);
  for (char c : utf8) {
    if (c == '\n') crlf += '\r';
    crlf += c;
  }
  return Utf8ToCp932(crlf);
}

int CopyTextBounded(std::string_view bytes, char* buffer, int capacity) {
  if (buffer == nullptr || capacity < 1) return 0;
  const size_t limit = static_cast<size_t>(capacity) - 1;
  size_t length = 0;
  while (length < bytes.size()) {
    const size_t step =
        IsLeadByte(static_cast<unsigned char>(bytes[length])) && length + 1 < bytes.size() ? 2 : 1;
    if (length + step > limit) break;
    length += step;
  }
  std::memcpy(buffer, bytes.data(), length);
  buffer[length] = '\0';
  return static_cast<int>(length);
}

}  // namespace tapsmith
