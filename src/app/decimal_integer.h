// Decimal integers as the settings file and the digits field hold them:
// leading white space, an optional sign, digits; no digits read as 0, and
// values beyond 32 bits saturate at INT32_MIN or INT32_MAX. The number reader
// of the search takes its white space and sign from here too.
#pragma once

#include <cstdint>

namespace tapsmith {

/// The white space skipped before a number: what the C library's isspace
/// takes in the "C" locale, whatever locale is in force.
constexpr bool IsNumberSpace(int c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

constexpr bool IsDecimalDigit(int c) { return c >= '0' && c <= '9'; }

constexpr bool IsSign(int c) { return c == '+' || c == '-'; }

/// Moves `*p` past a '+' or '-' if one stands there; true if it was '-'.
inline bool TakeSign(const char** p) {
  if (!IsSign(**p)) return false;
  return *(*p)++ == '-';
}

/// A decimal integer read one byte at a time, so that a reader of a file read
/// in pieces needs no whole line in memory.
class DecimalIntegerReader {
 public:
  /// Takes `c` if it continues the number: white space before the sign or
  /// the first digit, the sign, a digit. Returns false, without taking it,
  /// at the first byte that does not; the number is complete then.
  bool Take(int c) {
    if (IsDecimalDigit(c)) {
      started_ = true;
      // Stops growing once beyond 32 bits: the value saturates anyway.
      if (magnitude_ <= kBeyondInt32) magnitude_ = magnitude_ * 10 + (c - '0');
      return true;
    }
    if (started_) return false;  // after the sign or a digit only digits follow
    if (IsSign(c)) {
      started_ = true;
      negative_ = c == '-';
      return true;
    }
    return IsNumberSpace(c);
  }

  /// The value of what was taken.
  int32_t Value() const {
    int64_t value = negative_ ? -magnitude_ : magnitude_;
    if (value > INT32_MAX) return INT32_MAX;
    if (value < INT32_MIN) return INT32_MIN;
    return static_cast<int32_t>(value);
  }

 private:
  static constexpr int64_t kBeyondInt32 = int64_t{1} << 32;

  bool started_ = false;  // a sign or a digit was taken
  bool negative_ = false;
  int64_t magnitude_ = 0;
};

/// Reads the decimal integer at the start of the NUL-terminated `text`.
inline int32_t ReadDecimalInteger(const char* text) {
  DecimalIntegerReader reader;
  while (reader.Take(static_cast<unsigned char>(*text))) ++text;
  return reader.Value();
}

}  // namespace tapsmith
