// The decimal conversions of the input fields and stock lists.
//
// The C library's strtod would also read "inf", "nan", hexadecimal forms and
// a locale's decimal point, and knows no "d" exponent, so the syntax is read
// here. The digits read are rewritten as an integer digit string and a
// decimal exponent and handed to strtod for the correctly rounded value: a
// string of digits and "e" reads the same in every locale.
#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "decimal_integer.h"
#include "search.h"

namespace tapsmith {

namespace {

// Significant digits kept. Every decimal number that lies exactly halfway
// between two doubles has at most 767 significant digits, so keeping 800
// and standing in a single "1" for any nonzero digits dropped after them
// never moves the value across a rounding boundary.
constexpr int kKeptDigits = 800;

// Exponents beyond this give 0 or infinity whatever the digits; saturating
// there keeps the arithmetic in range for absurdly long exponents.
constexpr long kExponentLimit = 100000;

}  // namespace

double ReadNumber(const char* text, const char** end) {
  const char* p = text;
  while (IsNumberSpace(*p)) ++p;
  bool negative = TakeSign(&p);

  char digits[kKeptDigits + 2];
  int kept = 0;
  bool dropped_nonzero = false;
  long scale = 0;  // value = digits * 10^scale (before the exponent)
  bool any_digit = false;

  auto take = [&](char c, bool fraction) {
    any_digit = true;
    if (kept == 0 && c == '0') {
      if (fraction) --scale;
      return;
    }
    if (kept < kKeptDigits) {
      digits[kept++] = c;
      if (fraction) --scale;
    } else {
      if (!fraction) ++scale;
      if (c != '0') dropped_nonzero = true;
    }
  };

  while (IsDecimalDigit(*p)) take(*p++, false);
  if (*p == '.') {
    const char* after_point = p + 1;
    if (any_digit || IsDecimalDigit(*after_point)) {
      p = after_point;
      while (IsDecimalDigit(*p)) take(*p++, true);
    }
  }
  if (!any_digit) {
    if (end) *end = text;
    return 0.0;
  }

  long exponent = 0;
  if (*p == 'e' || *p == 'E' || *p == 'd' || *p == 'D') {
    const char* q = p + 1;
    bool exponent_negative = TakeSign(&q);
    if (IsDecimalDigit(*q)) {
      while (IsDecimalDigit(*q)) {
        if (exponent < kExponentLimit) exponent = exponent * 10 + (*q - '0');
        ++q;
      }
      if (exponent_negative) exponent = -exponent;
      p = q;
    }
  }
  if (end) *end = p;

  if (kept == 0) return negative ? -0.0 : 0.0;
  if (dropped_nonzero) {
    digits[kept++] = '1';
    --scale;
  }
  digits[kept] = '\0';
  long total = exponent + scale;
  if (total > kExponentLimit) total = kExponentLimit;
  if (total < -kExponentLimit) total = -kExponentLimit;

  char normalised[kKeptDigits + 32];
  std::snprintf(normalised, sizeof normalised, "%s%se%ld", negative ? "-" : "", digits, total);
  int saved_errno = errno;
  double value = std::strtod(normalised, nullptr);
  errno = saved_errno;
  return value;
}

int32_t ReadInteger(const char* text) { return ReadDecimalInteger(text); }

}  // namespace tapsmith
