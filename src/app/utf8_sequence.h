// Internal to the text encoding: the lengths of UTF-8 characters, for the
// conversions that walk the text themselves.
#pragma once

#include <cstddef>

namespace tapsmith {

/// Bytes to skip at a character that cannot be converted: a sequence that has
/// the shape of one UTF-8 character is skipped whole, so that it becomes one
/// "?"; a stray byte alone. A character cut short by the end is skipped whole.
inline size_t SkipUtf8Character(const unsigned char* at, size_t left) {
  size_t length = at[0] >= 0xF0 && at[0] <= 0xF4   ? 4
                  : at[0] >= 0xE0 && at[0] <= 0xEF ? 3
                  : at[0] >= 0xC2 && at[0] <= 0xDF ? 2
                                                   : 1;
  size_t available = length < left ? length : left;
  for (size_t i = 1; i < available; ++i) {
    if ((at[i] & 0xC0) != 0x80) return 1;
  }
  return available;
}

/// The length of the UTF-8 character at `at` when it is well formed (no
/// overlong form, no surrogate, nothing above U+10FFFF); 0 otherwise.
inline size_t WellFormedUtf8Length(const unsigned char* at, size_t left) {
  unsigned char lead = at[0];
  size_t length;
  unsigned char low = 0x80;  // bounds of the second byte
  unsigned char high = 0xBF;
  if (lead < 0x80) return 1;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  if (length > left) return 0;
  if (at[1] < low || at[1] > high) return 0;
  for (size_t i = 2; i < length; ++i) {
    if ((at[i] & 0xC0) != 0x80) return 0;
  }
  return length;
}

}  // namespace tapsmith
