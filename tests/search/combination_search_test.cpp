#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>

#include "search.h"
#include "test_util.h"

namespace tapsmith {
namespace {

// A request with the window [low, high] (widened as the parser does), no
// digit filter and every R1 allowed.
SearchRequest Window(double low, double high, double vfb) {
  SearchRequest request{};
  request.Vmin = low - 5e-10;
  request.Vmax = high + 5e-10;
  request.Vtyp = (low + high) * 0.5;
  request.Vfb = vfb;
  request.R1min = -1e300;
  request.R1max = 1e300;
  return request;
}

class CombinationSearchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    stock_ = std::make_unique<StockTable>();
    matches_ = std::make_unique<MatchTable>();
  }
  void List(const char* text) { ASSERT_TRUE(ParseStockText(text, stock_.get())); }
  void Search(const SearchRequest& request, int configuration, bool serial, bool dnmOnly) {
    RunPlainSearch(request, *stock_, SearchOptions{configuration, serial, dnmOnly}, matches_.get());
  }
  std::string Names(int m) const {
    const MatchRecord& record = matches_->records[m];
    return std::string(record.r1) + " " + record.r2 + " " + record.r3;
  }

  std::unique_ptr<StockTable> stock_;
  std::unique_ptr<MatchTable> matches_;
};

TEST_F(CombinationSearchTest, DefaultsStayInsideTheWindowAndR1Range) {
  auto state = testing::NewDefaultState();
  SearchRequest request;
  ASSERT_TRUE(ParseSearchRequest(state.get(), &request));
  ASSERT_TRUE(ParseStockList(state.get(), stock_.get()));
  Search(request, 0, false, false);
  ASSERT_EQ(matches_->count, 10);
  for (int m = 0; m < matches_->count; ++m) {
    const MatchRecord& record = matches_->records[m];
    EXPECT_GE(record.vout, 1.349865 - 1e-9) << Names(m);
    EXPECT_LE(record.vout, 1.350135 + 1e-9) << Names(m);
    double r1 = ReadNumber(record.r1, nullptr) * 1000.0;
    EXPECT_GE(r1, 1000.0);
    EXPECT_LE(r1, 9100.0);
    EXPECT_EQ(record.deviation, (record.vout / 1.35 - 1.0) * 100.0);
  }
}

TEST_F(CombinationSearchTest, ProductionOrderIsR1ThenR2ThenR3) {
  List("1\r\n2\r\n3\r\n");
  Search(Window(0, 100, 1.0), 0, false, false);
  // 3 R1 (DNM is never R1) x 9 pairs.
  ASSERT_EQ(matches_->count, 27);
  EXPECT_EQ(Names(0), "1 1 1");
  EXPECT_EQ(Names(1), "1 1 2");
  EXPECT_EQ(Names(3), "1 1 DNM");
  EXPECT_EQ(Names(4), "1 2 2");
  EXPECT_EQ(Names(8), "1 3 DNM");
  EXPECT_EQ(Names(9), "2 1 1");
}

TEST_F(CombinationSearchTest, DnmOnlyIsAlwaysParallelWithDnmAsR3) {
  List("1k\r\n2k\r\n");
  Search(Window(0, 100, 0.7), 0, true, true);
  ASSERT_EQ(matches_->count, 4);
  for (int m = 0; m < matches_->count; ++m) {
    EXPECT_STREQ(matches_->records[m].r3, "DNM");
    EXPECT_EQ(matches_->records[m].serial, 0);
  }
  // Configuration [a] reduces to Vfb * (1 + R1 / R2): 1k over 2k gives 1.05.
  EXPECT_EQ(Names(1), "1k 2k DNM");
  EXPECT_EQ(matches_->records[1].vout, 1.05);
}

TEST_F(CombinationSearchTest, SerialWithDnmGivesAboutVfb) {
  List("1k\r\n");
  Search(Window(0.69, 0.71, 0.7), 0, true, false);
  ASSERT_EQ(matches_->count, 1);
  EXPECT_EQ(Names(0), "1k 1k DNM");
  EXPECT_EQ(matches_->records[0].serial, 1);
  EXPECT_EQ(matches_->records[0].vout, 0.7);
}

TEST_F(CombinationSearchTest, TwoEntryTableUsesTheValueAsR1AndR2) {
  List("1k\r\n");
  Search(Window(0, 100, 1.0), 0, false, false);
  ASSERT_EQ(matches_->count, 2);
  EXPECT_EQ(Names(0), "1k 1k 1k");
  EXPECT_EQ(matches_->records[0].vout, 3.0);
  EXPECT_EQ(Names(1), "1k 1k DNM");
  EXPECT_EQ(matches_->records[1].vout, 2.0);
}

TEST_F(CombinationSearchTest, ConfigurationsCAndDStayBelowVfb) {
  List("1\r\n10\r\n100\r\n0\r\n");
  for (int configuration : {2, 3}) {
    for (bool serial : {false, true}) {
      Search(Window(-1e9, 1e9, 0.7), configuration, serial, false);
      ASSERT_GT(matches_->count, 0);
      for (int m = 0; m < matches_->count; ++m) EXPECT_LE(matches_->records[m].vout, 0.7);
    }
  }
}

TEST_F(CombinationSearchTest, DigitFitBySuccessiveMultiplications) {
  List("1k\r\n");
  SearchRequest request = Window(0, 100, 1.0);
  struct Case {
    double vfb;
    int digits;
    bool kept;
  };
  // Vo = Vfb * 3 for 1k + (1k // 1k).
  const Case cases[] = {
      {1.1, 1, true},            {1.1, 2, true},  {3.305 / 3, 3, false},
      {3.305 / 3, 15, false},    {1.5, -1, false}, {1.0, -5, true},
      {0.450000037 / 3, 16, false}, {0.46 / 3, 16, true}, {1.101 / 3, 9999999, true},
  };
  for (const Case& c : cases) {
    request.Vfb = c.vfb;
    request.DigitCount = c.digits;
    Search(request, 0, false, false);
    bool kept = matches_->count > 0 && Names(0) == "1k 1k 1k";
    EXPECT_EQ(kept, c.kept) << c.vfb * 3 << " digits " << c.digits;
  }
}

TEST_F(CombinationSearchTest, StopsAtTheThousandthMatch) {
  std::string list;
  for (int n = 1; n <= 60; ++n) list += std::to_string(n) + "\r\n";
  List(list.c_str());
  Search(Window(0, 1e9, 1.0), 0, false, false);
  ASSERT_EQ(matches_->count, kMatchCapacity);
  // Each R1 has 61 * 62 / 2 - 1 = 1890 pairs: the stop comes inside R1 = 1.
  EXPECT_STREQ(matches_->records[kMatchCapacity - 1].r1, "1");
}

TEST_F(CombinationSearchTest, ZeroTypicalVoltageGivesZeroDeviation) {
  List("1k\r\n");
  SearchRequest request = Window(0, 100, 1.0);
  request.Vtyp = 0.0;
  Search(request, 0, false, false);
  ASSERT_GT(matches_->count, 0);
  EXPECT_EQ(matches_->records[0].deviation, 0.0);
}

}  // namespace
}  // namespace tapsmith

namespace tapsmith {
namespace {

// The leg of R1 and R4 takes R1's place in every form, operation for
// operation, and the pairs come in production order: R1, R4, R2, R3.
TEST(FourResistors, TheLegTakesTheValueOfRoneInEveryFormInProductionOrder) {
  auto stock = std::make_unique<StockTable>();
  auto matches = std::make_unique<MatchTable>();
  ASSERT_TRUE(ParseStockText("1k\r\n2.2k\r\n4.7k\r\n10k\r\n", stock.get()));
  const double vfb = 0.8;
  SearchRequest request = Window(-1e300, 1e300, vfb);
  const double c[] = {1.0 / 1000, 1.0 / 2200, 1.0 / 4700, 1.0 / 10000, 0.0};  // DNM last
  const double v[] = {1000, 2200, 4700, 10000, 9e100};
  for (R4Mode r4 : {R4Mode::Parallel, R4Mode::Series}) {
    for (int configuration = 0; configuration < 4; ++configuration) {
      SearchOptions options{configuration, false, false};
      options.r4 = r4;
      RunPlainSearch(request, *stock, options, matches.get());
      ASSERT_EQ(matches->count, 14 * 14) << "every leg, R4 any entry from R1 on, and every pair";
      int previous[4] = {-1, -1, -1, -1};
      for (int m = 0; m < matches->count; ++m) {
        const MatchRecord& match = matches->records[m];
        const int i = match.entry[0], l = match.entry[1], j = match.entry[2], k = match.entry[3];
        EXPECT_TRUE(std::lexicographical_compare(previous, previous + 4, match.entry, match.entry + 4)) << m;
        std::copy(match.entry, match.entry + 4, previous);
        const double leg = r4 == R4Mode::Series ? v[i] + v[l] : l == 4 ? v[i] : 1.0 / (c[i] + c[l]);
        const double g = c[j] + c[k];
        const double expected[] = {vfb * (g * leg + 1.0), vfb * ((1.0 / leg) / g + 1.0),
                                   vfb * (1.0 / (g * leg + 1.0)), vfb * (1.0 / ((1.0 / leg) / g + 1.0))};
        EXPECT_EQ(match.vout, std::floor(expected[configuration] * 1e9 + 0.5) / 1e9) << m;
        EXPECT_EQ(match.r4Mode, r4 == R4Mode::Parallel && l == 4 ? R4Mode::None : r4) << "DNM in parallel: R1 alone";
      }
    }
  }
}

}  // namespace
}  // namespace tapsmith
