// Fixed-point formatting of voltages and deviations.
//
// The report rounds the 17-significant-digit form of a value, not the exact
// binary value: 1.3498005 (stored just below) prints as 1.349801.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "search.h"

namespace tapsmith {

namespace {

constexpr int kSignificantDigits = 17;
constexpr int kMaxDecimals = 60;

// Copies what fits of `text` into the caller's buffer; returns its length.
int Deliver(const char* text, int length, char* buffer, int capacity) {
  if (capacity > 0) {
    int copied = length < capacity - 1 ? length : capacity - 1;
    std::memcpy(buffer, text, static_cast<size_t>(copied));
    buffer[copied] = '\0';
  }
  return length;
}

}  // namespace

int FormatFixed(double value, int decimals, char* buffer, int capacity) {
  if (decimals < 0) decimals = 0;
  if (decimals > kMaxDecimals) decimals = kMaxDecimals;
  if (!std::isfinite(value)) {
    char text[16];
    int length = std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return Deliver(text, length, buffer, capacity);
  }

  // "d.dddddddddddddddde±x": glibc prints the correctly rounded digits.
  char scientific[40];
  std::snprintf(scientific, sizeof scientific, "%.*e", kSignificantDigits - 1, std::fabs(value));
  char significand[kSignificantDigits];
  significand[0] = scientific[0];
  std::memcpy(significand + 1, scientific + 2, kSignificantDigits - 1);
  int exponent = std::atoi(scientific + kSignificantDigits + 2);

  // Digit i (0-based) stands for 10^(exponent - i); keep those down to
  // 10^-decimals and round on the next one.
  int keep = exponent + 1 + decimals;
  // The kept digits as an integer count of 10^-decimals, most significant
  // first; one spare place in front for a carry.
  char units[kMaxDecimals + 340];
  int length = 0;
  units[length++] = '0';
  if (keep > 0) {
    for (int i = 0; i < keep; ++i) units[length++] = i < kSignificantDigits ? significand[i] : '0';
    if (keep < kSignificantDigits && significand[keep] >= '5') {
      int at = length - 1;
      while (units[at] == '9') units[at--] = '0';
      ++units[at];
    }
  } else if (keep == 0 && significand[0] >= '5') {
    units[length++] = '1';
  } else {
    units[length++] = '0';
  }

  // Pad to at least one integer digit, then drop the leading zeros of the
  // integer part.
  char text[kMaxDecimals + 360];
  int out = 0;
  if (std::signbit(value)) text[out++] = '-';
  int integer_digits = length - decimals;
  int start = 0;
  if (integer_digits < 1) {
    text[out++] = '0';
  } else {
    while (start < integer_digits - 1 && units[start] == '0') ++start;
    for (int i = start; i < integer_digits; ++i) text[out++] = units[i];
  }
  if (decimals > 0) {
    text[out++] = '.';
    for (int place = 0; place < decimals; ++place) {
      int index = length - decimals + place;
      text[out++] = index >= 0 ? units[index] : '0';
    }
  }
  text[out] = '\0';
  return Deliver(text, out, buffer, capacity);
}

}  // namespace tapsmith
