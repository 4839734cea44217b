#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "search.h"
#include "test_util.h"

namespace tapsmith {
namespace {

struct Parsed {
  bool ok;
  std::vector<std::pair<std::string, double>> entries;
};

Parsed Parse(const std::string& text) {
  auto table = std::make_unique<StockTable>();
  Parsed parsed{ParseStockText(text.c_str(), table.get()), {}};
  for (int i = 0; parsed.ok && i < table->count; ++i)
    parsed.entries.emplace_back(table->entries[i].name, table->entries[i].value);
  return parsed;
}

using Entries = std::vector<std::pair<std::string, double>>;

TEST(StockList, SuffixesAndNotesAfterTheNumber) {
  Parsed parsed = Parse("10R\r\n4,7\r\n47 k\r\n1.5k\r\n2M\r\n220m\r\n3u\r\n");
  ASSERT_TRUE(parsed.ok);
  EXPECT_EQ(parsed.entries, (Entries{{"3u", 3e-6},
                                     {"220m", 0.22},
                                     {"4,7", 4.0},
                                     {"10R", 10.0},
                                     {"47 k", 47.0},
                                     {"1.5k", 1500.0},
                                     {"2M", 2e6},
                                     {"DNM", 9e100}}));
}

TEST(StockList, DashLineEndsTheList) {
  EXPECT_EQ(Parse("10k\r\n-\r\nnotes 5\r\n").entries, (Entries{{"10k", 10000.0}, {"DNM", 9e100}}));
}

TEST(StockList, TrailingEmptyLineGivesAZeroEntry) {
  Parsed parsed = Parse("10\r\n\r\n");
  EXPECT_EQ(parsed.entries, (Entries{{"", 0.0}, {"10", 10.0}, {"DNM", 9e100}}));
}

TEST(StockList, BlankLineRepeatsTheNextValue) {
  EXPECT_EQ(Parse("10\r\n\r\n20\r\n").entries,
            (Entries{{"10", 10.0}, {"", 20.0}, {"20", 20.0}, {"DNM", 9e100}}));
}

TEST(StockList, LfOnlyLinesAndTextGiveZero) {
  EXPECT_EQ(Parse("abc\n5\n").entries, (Entries{{"abc", 0.0}, {"5", 5.0}, {"DNM", 9e100}}));
}

TEST(StockList, ZeroValueGetsTheShortCircuitConductance) {
  auto table = std::make_unique<StockTable>();
  ASSERT_TRUE(ParseStockText("0\r\n100\r\n", table.get()));
  EXPECT_EQ(table->entries[0].conductance, 9e100);
  EXPECT_EQ(table->entries[1].conductance, 1.0 / 100.0);
  EXPECT_EQ(table->entries[2].conductance, 0.0);
}

TEST(StockList, NegativeValueRejectsButLeadingDashEnds) {
  EXPECT_FALSE(Parse("10\r\n -5\r\n").ok);
  EXPECT_TRUE(Parse("10\r\n-5\r\n").ok);
}

TEST(StockList, TooFewEntriesAreRejected) {
  EXPECT_FALSE(Parse("").ok);
  EXPECT_FALSE(Parse("\n\n\n").ok);
  EXPECT_FALSE(Parse("-\r\n10\r\n").ok);
  EXPECT_EQ(Parse("1k").entries.size(), 2u);
}

TEST(StockList, NamesAreCutAt23CharactersAndKeepLeadingBlanks) {
  Parsed parsed = Parse("  12345678901234567890123456789\r\n");
  ASSERT_TRUE(parsed.ok);
  EXPECT_EQ(parsed.entries[0].first, "  123456789012345678901");
  EXPECT_EQ(parsed.entries[0].second, 12345678901234567890123456789.0);
}

TEST(StockList, At501EntriesThereIsNoOpenCircuit) {
  std::string text;
  for (int n = 600; n > 0; --n) text += std::to_string(n) + "\r\n";
  Parsed parsed = Parse(text);
  ASSERT_EQ(parsed.entries.size(), 501u);
  EXPECT_EQ(parsed.entries.front().second, 100.0);
  EXPECT_EQ(parsed.entries.back().second, 600.0);
}

TEST(StockList, EqualValuesKeepTheirListOrder) {
  EXPECT_EQ(Parse("2k\r\n1k\r\n1000\r\n1.0k\r\n").entries,
            (Entries{{"1k", 1000.0}, {"1000", 1000.0}, {"1.0k", 1000.0}, {"2k", 2000.0},
                     {"DNM", 9e100}}));
}

TEST(StockList, ChosenListAndErrorStatus) {
  auto state = testing::NewDefaultState();
  SetSetting(state.get(), Language, 1);
  auto table = std::make_unique<StockTable>();
  const int expected_counts[] = {98, 57, 73, 146, 74, 38};
  for (int choice = 0; choice < 6; ++choice) {
    SetSetting(state.get(), ListChoice, choice);
    ASSERT_TRUE(ParseStockList(state.get(), table.get()));
    EXPECT_EQ(table->count, expected_counts[choice]);
  }
  SetSetting(state.get(), ListChoice, 9);  // clamped to E6
  ASSERT_TRUE(ParseStockList(state.get(), table.get()));
  EXPECT_EQ(table->count, 38);
  SetSlotText(state.get(), SlotE6, "5\r\n -1\r\n");
  EXPECT_FALSE(ParseStockList(state.get(), table.get()));
  EXPECT_EQ(std::string(SlotText(*state, SlotStatus)), "Stock list error");
}

}  // namespace
}  // namespace tapsmith
