#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <random>
#include <string>

#include "search.h"

namespace tapsmith {
namespace {

std::string Fixed(double value, int decimals) {
  char buffer[512];
  FormatFixed(value, decimals, buffer, sizeof buffer);
  return buffer;
}

TEST(FormatFixed, RoundsTheSeventeenDigitFormHalfUp) {
  EXPECT_EQ(Fixed(1.3498005, 6), "1.349801");  // the double lies just below
  EXPECT_EQ(Fixed(0.0005, 3), "0.001");
  EXPECT_EQ(Fixed(2.5, 0), "3");
  EXPECT_EQ(Fixed(1.349902564, 6), "1.349903");
  EXPECT_EQ(Fixed(-2.5, 0), "-3");
}

TEST(FormatFixed, CarriesIntoANewDigit) {
  EXPECT_EQ(Fixed(9.9999996, 6), "10.000000");
  EXPECT_EQ(Fixed(-999.9995, 3), "-1000.000");
}

TEST(FormatFixed, NegativeValuesRoundingToZeroKeepTheirSign) {
  EXPECT_EQ(Fixed(-0.0001, 3), "-0.000");
  EXPECT_EQ(Fixed(-0.0, 6), "-0.000000");
  EXPECT_EQ(Fixed(0.0, 3), "0.000");
  EXPECT_EQ(Fixed(-1e-300, 3), "-0.000");
  EXPECT_EQ(Fixed(4e-320, 6), "0.000000");
}

TEST(FormatFixed, PlacesBeyondTheSeventeenthDigitAreZero) {
  EXPECT_EQ(Fixed(123456789012345678.0, 3), "123456789012345680.000");
  EXPECT_EQ(Fixed(0.1, 20), "0.10000000000000001000");
  EXPECT_EQ(Fixed(1e22, 6), "1" + std::string(22, '0') + ".000000");
  std::string huge = Fixed(1e300, 6);
  EXPECT_EQ(huge, "10000000000000001" + std::string(284, '0') + ".000000");
}

TEST(FormatFixed, NonFiniteValuesPrintLikePrintf) {
  EXPECT_EQ(Fixed(HUGE_VAL, 6), "inf");
  EXPECT_EQ(Fixed(-HUGE_VAL, 3), "-inf");
  EXPECT_EQ(Fixed(std::nan(""), 3), "nan");
}

TEST(FormatFixed, AgreesWithPrintfAwayFromTies) {
  // Where the exact value is not near a rounding tie, rounding its 17-digit
  // form gives printf's result.
  std::mt19937_64 random(7);
  std::uniform_real_distribution<double> exponent(-8.0, 8.0);
  for (int n = 0; n < 20000; ++n) {
    double value = std::pow(10.0, exponent(random)) * (n % 2 ? -1 : 1);
    for (int decimals : {3, 6}) {
      char exact[512];
      std::snprintf(exact, sizeof exact, "%.*f", decimals + 4, value);
      std::string tail = std::string(exact).substr(std::string(exact).size() - 4);
      if (tail.find_first_not_of("0") == std::string::npos ||
          tail.find_first_not_of("9") == std::string::npos || tail.substr(0, 2) == "50" ||
          tail.substr(0, 2) == "49")
        continue;
      char expected[512];
      std::snprintf(expected, sizeof expected, "%.*f", decimals, value);
      ASSERT_EQ(Fixed(value, decimals), expected) << exact;
    }
  }
}

TEST(FormatFixed, ReturnsTheFullLengthAndCutsToTheBuffer) {
  char small[5];
  EXPECT_EQ(FormatFixed(1234.5678, 3, small, sizeof small), 8);
  EXPECT_EQ(std::string(small), "1234");
}

}  // namespace
}  // namespace tapsmith
