// The standard normal distribution, computed from + - * / and sqrt alone:
// the yield of a match is then the very same double on every platform (the
// console, Windows and the page in the browser), where the C libraries'
// exp and erfc may differ in their last bits.
#pragma once

namespace tapsmith {

/// e^x, within a few units in the last place (subnormal results aside).
double PortableExp(double x);

/// The complementary error function, within 2e-15 absolute; NaN for NaN.
double PortableErfc(double x);

/// The standard normal distribution function: 0.5 * erfc(-z / sqrt(2)).
double NormalCdf(double z);

}  // namespace tapsmith
