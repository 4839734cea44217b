#include "e_series.h"

#include <cassert>
#include <cstdio>

namespace tapsmith {

const int16_t kE192Mantissas[kE192Count] = {
    100, 101, 102, 104, 105, 106, 107, 109, 110, 111, 113, 114,
    115, 117, 118, 120, 121, 123, 124, 126, 127, 129, 130, 132,
    133, 135, 137, 138, 140, 142, 143, 145, 147, 149, 150, 152,
    154, 156, 158, 160, 162, 164, 165, 167, 169, 172, 174, 176,
    178, 180, 182, 184, 187, 189, 191, 193, 196, 198, 200, 203,
    205, 208, 210, 213, 215, 218, 221, 223, 226, 229, 232, 234,
    237, 240, 243, 246, 249, 252, 255, 258, 261, 264, 267, 271,
    274, 277, 280, 284, 287, 291, 294, 298, 301, 305, 309, 312,
    316, 320, 324, 328, 332, 336, 340, 344, 348, 352, 357, 361,
    365, 370, 374, 379, 383, 388, 392, 397, 402, 407, 412, 417,
    422, 427, 432, 437, 442, 448, 453, 459, 464, 470, 475, 481,
    487, 493, 499, 505, 511, 517, 523, 530, 536, 542, 549, 556,
    562, 569, 576, 583, 590, 597, 604, 612, 619, 626, 634, 642,
    649, 657, 665, 673, 681, 690, 698, 706, 715, 723, 732, 741,
    750, 759, 768, 777, 787, 796, 806, 816, 825, 835, 845, 856,
    866, 876, 887, 898, 909, 920, 931, 942, 953, 965, 976, 988,
};

namespace {

// Powers of ten up to 10^22 are exact doubles, so mantissa * 10^e and
// mantissa / 10^-e are the correctly rounded values.
constexpr double kPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                   1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
constexpr int kLowestExponent = -5;  // 100e-5 is kSeriesLowest
constexpr int kHighestExponent = 10;  // 100e10 is kSeriesHighest

double SeriesValue(int mantissa, int exponent) {
  return exponent >= 0 ? mantissa * kPowersOfTen[exponent] : mantissa / kPowersOfTen[-exponent];
}

}  // namespace

void FormatSeriesName(int mantissa, int exponent, char* out, size_t size) {
  const char* suffix = exponent <= 0 ? "" : exponent <= 3 ? "k" : "M";
  const int scale = exponent - (exponent <= 0 ? 0 : exponent <= 3 ? 3 : 6);
  assert(mantissa >= 100 && mantissa <= 999 && "a three-digit mantissa");
  const char digits[3] = {static_cast<char>('0' + mantissa / 100),
                          static_cast<char>('0' + mantissa / 10 % 10),
                          static_cast<char>('0' + mantissa % 10)};
  char text[48];
  int length = 0;
  if (scale >= 0) {
    for (int n = 0; n < 3; ++n) text[length++] = digits[n];
    for (int n = 0; n < scale; ++n) text[length++] = '0';
  } else {
    // The point falls `-scale` digits from the right of the three.
    const int whole = 3 + scale;
    if (whole <= 0) text[length++] = '0';
    for (int n = 0; n < whole; ++n) text[length++] = digits[n];
    int last = 2;
    while (last >= whole && last >= 0 && digits[last] == '0') --last;
    if (last >= whole) {
      text[length++] = '.';
      for (int n = whole; n < 0; ++n) text[length++] = '0';
      for (int n = whole < 0 ? 0 : whole; n <= last; ++n) text[length++] = digits[n];
    }
  }
  text[length] = '\0';
  std::snprintf(out, size, "%s%s", text, suffix);
}

int SeriesValues(int step, double minOhms, double maxOhms, std::string* text) {
  assert(step >= 1 && kSeriesLowest <= minOhms && maxOhms <= kSeriesHighest && "a series range");
  constexpr double kSlack = 1e-9;
  const double low = minOhms * (1.0 - kSlack);
  const double high = maxOhms * (1.0 + kSlack);
  int count = 0;
  for (int exponent = kLowestExponent; exponent <= kHighestExponent; ++exponent) {
    for (int m = 0; m < kE192Count; m += step) {
      const double value = SeriesValue(kE192Mantissas[m], exponent);
      if (value < low || value > high) continue;
      ++count;
      if (text != nullptr) {
        char name[32];
        FormatSeriesName(kE192Mantissas[m], exponent, name, sizeof name);
        *text += name;
        *text += "\r\n";
      }
    }
  }
  return count;
}

}  // namespace tapsmith
