#include "cp932_table.h"

#include <algorithm>
#include <array>
#include <cstdint>

#include "utf8_sequence.h"

namespace tapsmith::cp932 {

namespace {

struct Encoded {
  uint32_t codePoint;
  uint16_t bytes;  // above 0xFF: lead byte and trail byte; kDropped: none
};

// Characters that iconv drops without a word, as glibc's does the language
// tags: they leave no byte and lose nothing.
constexpr uint16_t kDropped = 0xFFFF;

#include "cp932_table_data.inc"

constexpr uint16_t kNoCharacter = 0xFFFF;
const char kReplacementCharacter[] = "\xEF\xBF\xBD";

// Each lead byte's row in kDoubleByte; -1 for the other bytes.
const std::array<int16_t, 256>& LeadRows() {
  static const std::array<int16_t, 256> rows = [] {
    std::array<int16_t, 256> made{};
    int16_t next = 0;
    for (int byte = 0; byte < 256; ++byte) made[byte] = kSingleByte[byte] == kLead ? next++ : -1;
    return made;
  }();
  return rows;
}

void AppendUtf8(uint32_t cp, std::string* out) {
  if (cp < 0x80) {
    out->push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out->push_back(static_cast<char>(0xC0 | cp >> 6));
    out->push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out->push_back(static_cast<char>(0xE0 | cp >> 12));
    out->push_back(static_cast<char>(0x80 | (cp >> 6 & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

uint32_t DecodeUtf8(const unsigned char* at, size_t length) {
  if (length == 1) return at[0];
  uint32_t cp = at[0] & (0x7F >> length);
  for (size_t i = 1; i < length; ++i) cp = cp << 6 | (at[i] & 0x3F);
  return cp;
}

}  // namespace

std::string ToUtf8(std::string_view cp932) {
  static_assert(sizeof kDoubleByte / sizeof kDoubleByte[0] == kLeadCount * 256);
  const std::array<int16_t, 256>& rows = LeadRows();
  std::string out;
  out.reserve(cp932.size() * 3 / 2 + 4);
  const auto* bytes = reinterpret_cast<const unsigned char*>(cp932.data());
  for (size_t i = 0, size = cp932.size(); i < size;) {
    const uint32_t single = kSingleByte[bytes[i]];
    uint32_t cp = single;
    size_t length = 1;
    if (single == kLead) {
      cp = i + 1 < size ? kDoubleByte[rows[bytes[i]] * 256 + bytes[i + 1]] : kNoCharacter;
      length = 2;
    }
    if (cp == kNone || cp == kNoCharacter) {
      out += kReplacementCharacter;
      ++i;
      continue;
    }
    AppendUtf8(cp, &out);
    i += length;
  }
  return out;
}

std::string FromUtf8(std::string_view utf8, bool* lossless) {
  *lossless = true;
  std::string out;
  out.reserve(utf8.size());
  const auto* bytes = reinterpret_cast<const unsigned char*>(utf8.data());
  for (size_t i = 0, size = utf8.size(); i < size;) {
    const size_t length = WellFormedUtf8Length(bytes + i, size - i);
    const Encoded* found = std::end(kEncoded);
    if (length > 0) {
      const uint32_t cp = DecodeUtf8(bytes + i, length);
      found = std::lower_bound(std::begin(kEncoded), std::end(kEncoded), cp,
                               [](const Encoded& e, uint32_t key) { return e.codePoint < key; });
      if (found != std::end(kEncoded) && found->codePoint != cp) found = std::end(kEncoded);
    }
    if (found == std::end(kEncoded)) {
      *lossless = false;
      out.push_back('?');
      i += SkipUtf8Character(bytes + i, size - i);
      continue;
    }
    if (found->bytes == kDropped) {
      i += length;
      continue;
    }
    if (found->bytes > 0xFF) out.push_back(static_cast<char>(found->bytes >> 8));
    out.push_back(static_cast<char>(found->bytes & 0xFF));
    i += length;
  }
  return out;
}

}  // namespace tapsmith::cp932
