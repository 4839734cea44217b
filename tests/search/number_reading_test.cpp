#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdlib>
#include <random>
#include <string>

#include "search.h"

namespace tapsmith {
namespace {

// Reads `text`; returns the value and the number of characters used.
std::pair<double, long> Read(const std::string& text) {
  const char* end = nullptr;
  double value = ReadNumber(text.c_str(), &end);
  return {value, end - text.c_str()};
}

TEST(ReadNumber, ReadsSignDigitsPointAndExponent) {
  EXPECT_EQ(Read("1.35"), std::make_pair(1.35, 4L));
  EXPECT_EQ(Read("  \t\r\n-2.5e-3xyz"), std::make_pair(-2.5e-3, 12L));
  EXPECT_EQ(Read("+.5"), std::make_pair(0.5, 3L));
  EXPECT_EQ(Read("5."), std::make_pair(5.0, 2L));
  EXPECT_EQ(Read("1E+2"), std::make_pair(100.0, 4L));
}

TEST(ReadNumber, AcceptsDExponents) {
  EXPECT_EQ(Read("1d3"), std::make_pair(1000.0, 3L));
  EXPECT_EQ(Read("2.5D-1"), std::make_pair(0.25, 6L));
}

TEST(ReadNumber, ExponentWithoutDigitsIsNotConsumed) {
  EXPECT_EQ(Read("4e"), std::make_pair(4.0, 1L));
  EXPECT_EQ(Read("4e+k"), std::make_pair(4.0, 1L));
  EXPECT_EQ(Read("4dk"), std::make_pair(4.0, 1L));
}

TEST(ReadNumber, NoNumberGivesZeroAtTheStart) {
  for (const char* text : {"", "   ", ".", "-", "+.", "abc", "e5", "inf", "nan", "INFINITY"}) {
    EXPECT_EQ(Read(text), std::make_pair(0.0, 0L)) << text;
  }
}

TEST(ReadNumber, HexadecimalReadsOnlyTheLeadingZero) {
  EXPECT_EQ(Read("0x1A"), std::make_pair(0.0, 1L));
}

TEST(ReadNumber, NegativeZeroKeepsItsSign) {
  double value = Read("-0.0").first;
  EXPECT_EQ(value, 0.0);
  EXPECT_TRUE(std::signbit(value));
}

TEST(ReadNumber, ResultIsCorrectlyRounded) {
  const char* cases[] = {
      "0.1", "1.3498005", "2.2250738585072011e-308", "4.9406564584124654e-324",
      "1.7976931348623157e308", "9007199254740993", "123456789012345678901234567890",
      "0.000000000000000000000000000000123456789", "8.98846567431158e307",
  };
  for (const char* text : cases) EXPECT_EQ(Read(text).first, std::strtod(text, nullptr)) << text;
}

TEST(ReadNumber, VeryLongDigitStringsStayCorrectlyRounded) {
  // 1 + 2^-53 lies exactly halfway between 1 and the next double; a nonzero
  // digit two thousand places behind it decides the rounding.
  std::string halfway = "1.00000000000000011102230246251565404236316680908203125";
  std::string above = halfway + std::string(2000, '0') + "1";
  std::string long_integer = std::string(1000, '9') + ".5e-1000";
  EXPECT_EQ(Read(halfway).first, 1.0);  // ties to even
  EXPECT_EQ(Read(above).first, std::nextafter(1.0, 2.0));
  EXPECT_EQ(Read(above).second, static_cast<long>(above.size()));
  EXPECT_EQ(Read(long_integer).first, std::strtod(long_integer.c_str(), nullptr));
}

TEST(ReadNumber, OverflowAndUnderflowBehaveLikeStrtod) {
  EXPECT_EQ(Read("1e999").first, HUGE_VAL);
  EXPECT_EQ(Read("-1e999").first, -HUGE_VAL);
  EXPECT_EQ(Read("1e-999").first, 0.0);
  EXPECT_EQ(Read("1e99999999999999999999").first, HUGE_VAL);
  EXPECT_EQ(Read("3e-320").first, std::strtod("3e-320", nullptr));
}

TEST(ReadNumber, AgreesWithStrtodOnRandomDecimalText) {
  // Text without "d" exponents, which strtod does not know; the C locale's
  // decimal point is ".".
  std::mt19937_64 random(11);
  auto pick = [&](int n) { return static_cast<int>(random() % static_cast<uint64_t>(n)); };
  const char* const kTails[] = {"", "k", "e", "e+", "E-x", " V", "\r\n", ".", "..5"};
  for (int n = 0; n < 50000; ++n) {
    std::string text(static_cast<size_t>(pick(3)), ' ');
    if (pick(3) == 0) text += "+-"[pick(2)];
    int digits = pick(10) == 0 ? 300 + pick(900) : pick(25);
    for (int d = 0; d < digits; ++d) text += static_cast<char>('0' + (pick(4) == 0 ? 0 : pick(10)));
    if (pick(2) == 0) {
      text += '.';
      for (int d = pick(20); d > 0; --d) text += static_cast<char>('0' + pick(10));
    }
    if (pick(2) == 0) {
      text += "eE"[pick(2)];
      if (pick(2) == 0) text += "+-"[pick(2)];
      text += std::to_string(pick(4) == 0 ? pick(400) : pick(30));
    }
    text += kTails[pick(9)];
    char* expected_end = nullptr;
    double expected = std::strtod(text.c_str(), &expected_end);
    std::pair<double, long> read = Read(text);
    ASSERT_EQ(read.first, expected) << text;
    ASSERT_EQ(std::signbit(read.first), std::signbit(expected)) << text;
    ASSERT_EQ(read.second, expected_end - text.c_str()) << text;
  }
}

TEST(ReadInteger, ReadsLikeAtoi) {
  EXPECT_EQ(ReadInteger("9"), 9);
  EXPECT_EQ(ReadInteger("  -12abc"), -12);
  EXPECT_EQ(ReadInteger("+7"), 7);
  EXPECT_EQ(ReadInteger("3.9"), 3);
  EXPECT_EQ(ReadInteger(""), 0);
  EXPECT_EQ(ReadInteger("x1"), 0);
}

TEST(ReadInteger, SaturatesAtThe32BitLimits) {
  EXPECT_EQ(ReadInteger("2147483647"), INT32_MAX);
  EXPECT_EQ(ReadInteger("2147483648"), INT32_MAX);
  EXPECT_EQ(ReadInteger("99999999999999999999999"), INT32_MAX);
  EXPECT_EQ(ReadInteger("-2147483648"), INT32_MIN);
  EXPECT_EQ(ReadInteger("-99999999999999999999999"), INT32_MIN);
}

}  // namespace
}  // namespace tapsmith
