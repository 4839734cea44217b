#include "normal_distribution.h"

#include <cmath>

namespace tapsmith {

namespace {

// ln 2 in two parts, the first with its low bits zero, so that k * kLn2High
// is exact for every k an exponent can take (Cody and Waite's reduction).
constexpr double kLn2High = 0x1.62e42feep-1;
constexpr double kLn2Low = 0x1.a39ef35793c76p-33;
constexpr double kLog2E = 1.4426950408889634;
constexpr int kExpTerms = 17;  // |r| <= ln 2 / 2: the 18th term is below 1e-19

// Below 4 the series of erf converges quickly and 1 - erf loses nothing that
// matters absolutely; above it the continued fraction of erfc does, from a
// fixed depth so that no platform stops earlier than another.
constexpr double kSeriesLimit = 4.0;
constexpr int kFractionDepth = 40;
constexpr int kSeriesTermLimit = 200;  // the series ends near 80 terms at 4
constexpr double kErfcUnderflow = 27.3;  // erfc is 0 in doubles beyond

}  // namespace

double PortableExp(double x) {
  if (std::isnan(x)) return x;
  if (x < -745.2) return 0.0;
  if (x > 709.79) return HUGE_VAL;
  const double k = std::floor(x * kLog2E + 0.5);
  const double r = (x - k * kLn2High) - k * kLn2Low;
  double sum = 1.0;
  for (int n = kExpTerms; n > 0; --n) sum = 1.0 + r * sum / n;
  return std::ldexp(sum, static_cast<int>(k));
}

double PortableErfc(double x) {
  if (std::isnan(x)) return x;
  if (x < 0.0) return 2.0 - PortableErfc(-x);
  const double sqrtPi = 1.7724538509055159;
  if (x < kSeriesLimit) {
    // erf x = 2 / sqrt(pi) e^(-x^2) sum of x^(2n+1) 2^n / (2n+1)!!: every
    // term positive, so nothing cancels.
    const double square = x * x;
    double term = x;
    double sum = x;
    for (int n = 1; n < kSeriesTermLimit; ++n) {
      term = term * (2.0 * square) / (2 * n + 1);
      const double next = sum + term;
      if (next == sum) break;
      sum = next;
    }
    return 1.0 - 2.0 / sqrtPi * PortableExp(-square) * sum;
  }
  if (x > kErfcUnderflow) return 0.0;
  // erfc x = e^(-x^2) / sqrt(pi) / (x + 1/2 / (x + 1 / (x + 3/2 / (x + ...)))).
  double fraction = 0.0;
  for (int n = kFractionDepth; n > 0; --n) fraction = (n * 0.5) / (x + fraction);
  return PortableExp(-x * x) / sqrtPi / (x + fraction);
}

double NormalCdf(double z) { return 0.5 * PortableErfc(-z / std::sqrt(2.0)); }

}  // namespace tapsmith
