// Internal to the text encoding: the length of the UTF-8 character at a byte
// that could not be converted.
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

}  // namespace tapsmith
