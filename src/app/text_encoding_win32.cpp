// The conversions on Windows, where there is no iconv: the system's code-page
// tables through MultiByteToWideChar / WideCharToMultiByte, one character at a
// time, so that a byte or character that cannot be converted is replaced by
// itself alone, as the iconv version does.
#include <windows.h>

#include "text_encoding.h"
#include "utf8_sequence.h"

namespace tapsmith {

namespace {

constexpr UINT kShiftJis = 932;
const char kReplacementCharacter[] = "\xEF\xBF\xBD";  // U+FFFD in UTF-8

// Bytes that Shift-JIS leaves unassigned but Windows' table maps to control
// or private-use characters for compatibility; like iconv, they are taken as
// forming no character.
bool IsUnassignedSingleByte(unsigned char byte) {
  return byte == 0x80 || byte == 0xA0 || byte >= 0xFD;
}

// Appends the UTF-16 units as UTF-8.
void AppendUtf8(const wchar_t* units, int count, std::string* output) {
  char bytes[16];
  int length = WideCharToMultiByte(CP_UTF8, 0, units, count, bytes, sizeof bytes, nullptr, nullptr);
  output->append(bytes, length > 0 ? static_cast<size_t>(length) : 0);
}

}  // namespace

std::string Utf8ToCp932(std::string_view utf8, bool* lossless) {
  *lossless = true;
  std::string output;
  output.reserve(utf8.size());
  const auto* bytes = reinterpret_cast<const unsigned char*>(utf8.data());
  size_t left = utf8.size();
  while (left > 0) {
    if (bytes[0] < 0x80) {  // ASCII is the same in both
      output.push_back(static_cast<char>(bytes[0]));
      ++bytes;
      --left;
      continue;
    }
    size_t length = WellFormedUtf8Length(bytes, left);
    wchar_t units[2];
    char converted[8];
    int convertedLength = 0;
    if (length > 0) {
      int unitCount =
          MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, reinterpret_cast<const char*>(bytes),
                              static_cast<int>(length), units, 2);
      BOOL usedDefault = FALSE;
      // No best fit: a character without its own form (an accented letter,
      // say) must not turn into a look-alike.
      if (unitCount > 0) {
        convertedLength = WideCharToMultiByte(kShiftJis, WC_NO_BEST_FIT_CHARS, units, unitCount,
                                              converted, sizeof converted, "?", &usedDefault);
      }
      if (usedDefault) convertedLength = 0;
    }
    if (convertedLength > 0) {
      output.append(converted, static_cast<size_t>(convertedLength));
      bytes += length;
      left -= length;
      continue;
    }
    *lossless = false;
    output.push_back('?');
    size_t skip = SkipUtf8Character(bytes, left);
    bytes += skip;
    left -= skip;
  }
  return output;
}

std::string Cp932ToUtf8(std::string_view cp932) {
  std::string output;
  output.reserve(cp932.size() * 3 / 2 + 4);
  const auto* bytes = reinterpret_cast<const unsigned char*>(cp932.data());
  size_t left = cp932.size();
  while (left > 0) {
    if (bytes[0] < 0x80) {
      output.push_back(static_cast<char>(bytes[0]));
      ++bytes;
      --left;
      continue;
    }
    // A lead byte takes the next byte with it; if the pair forms no
    // character, only the lead byte is replaced and the next one is tried on
    // its own.
    bool lead = IsDBCSLeadByteEx(kShiftJis, bytes[0]) != 0;
    size_t length = lead && left >= 2 ? 2 : 1;
    wchar_t unit;
    int unitCount = 0;
    if (!(lead && length == 1) && !IsUnassignedSingleByte(bytes[0])) {
      unitCount =
          MultiByteToWideChar(kShiftJis, MB_ERR_INVALID_CHARS, reinterpret_cast<const char*>(bytes),
                              static_cast<int>(length), &unit, 1);
    }
    if (unitCount == 1) {
      AppendUtf8(&unit, 1, &output);
      bytes += length;
      left -= length;
    } else {
      output.append(kReplacementCharacter);
      ++bytes;
      --left;
    }
  }
  return output;
}

}  // namespace tapsmith
