#include "e_series.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "test_util.h"

namespace tapsmith {
namespace {

std::vector<std::string> Names(int step, double min, double max) {
  std::string text;
  int count = SeriesValues(step, min, max, &text);
  std::vector<std::string> names = testing::SplitLines(text);
  EXPECT_EQ(static_cast<int>(names.size()), count);
  EXPECT_EQ(SeriesValues(step, min, max, nullptr), count);
  return names;
}

std::string Name(int mantissa, int exponent) {
  char name[32];
  FormatSeriesName(mantissa, exponent, name, sizeof name);
  return name;
}

TEST(ESeries, NamesHaveNoTrailingZerosAndTakeKAndMAsTheBuiltInListsDo) {
  EXPECT_EQ(Name(100, -1), "10");
  EXPECT_EQ(Name(102, -1), "10.2");
  EXPECT_EQ(Name(102, 0), "102");
  EXPECT_EQ(Name(102, -2), "1.02");
  EXPECT_EQ(Name(102, -3), "0.102");
  EXPECT_EQ(Name(100, -5), "0.001");
  EXPECT_EQ(Name(100, 1), "1k");
  EXPECT_EQ(Name(120, 1), "1.2k");
  EXPECT_EQ(Name(102, 1), "1.02k");
  EXPECT_EQ(Name(102, 2), "10.2k");
  EXPECT_EQ(Name(976, 3), "976k");
  EXPECT_EQ(Name(100, 4), "1M");
  EXPECT_EQ(Name(102, 4), "1.02M");
  EXPECT_EQ(Name(988, 10), "9880000M");
}

TEST(ESeries, E96From10To1MHas481ValuesAscending) {
  std::vector<std::string> names = Names(2, 10, 1e6);
  ASSERT_EQ(names.size(), 481u);
  EXPECT_EQ(names[0], "10");
  EXPECT_EQ(names[1], "10.2");
  EXPECT_EQ(names[96], "100");
  EXPECT_EQ(names[479], "976k");
  EXPECT_EQ(names[480], "1M");
}

TEST(ESeries, EveryFourthAndEverySecondMantissaMakeE48AndE96) {
  EXPECT_EQ(SeriesValues(1, 100, 999, nullptr), 192);
  EXPECT_EQ(SeriesValues(2, 100, 999, nullptr), 96);
  EXPECT_EQ(SeriesValues(4, 100, 999, nullptr), 48);
  EXPECT_EQ(Names(4, 100, 130), (std::vector<std::string>{"100", "105", "110", "115", "121", "127"}));
}

TEST(ESeries, RangeHoldsBothEndsHoweverTheyAreWritten) {
  EXPECT_EQ(Names(2, 1020, 1050), (std::vector<std::string>{"1.02k", "1.05k"}));
  // 1.02k as the fields read it, 1.02 * 1000, may lie an ulp off 1020.
  EXPECT_EQ(SeriesValues(2, 1.02 * 1000.0, 1.05 * 1000.0, nullptr), 2);
  EXPECT_EQ(SeriesValues(2, 1021, 1049, nullptr), 0);
  EXPECT_EQ(SeriesValues(4, 1e-3, 1e12, nullptr), 48 * 15 + 1);
}

}  // namespace
}  // namespace tapsmith
