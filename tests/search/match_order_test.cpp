#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "search.h"
#include "test_util.h"

namespace tapsmith {
namespace {

class MatchOrderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    state_ = testing::NewDefaultState();
    table_ = std::make_unique<MatchTable>();
    table_->count = 0;
  }
  void Add(const char* r1, const char* r2, const char* r3, double vout, double deviation) {
    MatchRecord& record = table_->records[table_->count++];
    record = MatchRecord{};
    std::snprintf(record.r1, kNameSize, "%s", r1);
    std::snprintf(record.r2, kNameSize, "%s", r2);
    std::snprintf(record.r3, kNameSize, "%s", r3);
    record.vout = vout;
    record.deviation = deviation;
  }
  std::vector<std::string> Order(int byResistors, int byPrecision) {
    SetSetting(state_.get(), SortByResistors, byResistors);
    SetSetting(state_.get(), SortByPrecision, byPrecision);
    OrderMatches(*state_, table_.get(), scratch_.get());
    std::vector<std::string> names;
    for (int m = 0; m < table_->count; ++m) {
      const MatchRecord& record = table_->records[m];
      names.push_back(std::string(record.r1) + "," + record.r2 + "," + record.r3);
    }
    return names;
  }

  std::unique_ptr<AppState> state_;
  std::unique_ptr<MatchTable> table_;
  std::unique_ptr<OrderScratch> scratch_ = std::make_unique<OrderScratch>();
};

TEST_F(MatchOrderTest, ByVoltageThenNamesAsBytes) {
  Add("b", "x", "x", 1.0, 0);
  Add("3k", "x", "x", 1.0, 0);
  Add("a", "x", "y", 1.0, 0);
  Add("a", "x", "x", 1.0, 0);
  Add("z", "z", "z", 0.5, 0);
  Add("\x8b\x9f", "x", "x", 1.0, 0);  // a Shift-JIS lead byte sorts after ASCII
  Add("300", "x", "x", 1.0, 0);
  EXPECT_EQ(Order(0, 0), (std::vector<std::string>{"z,z,z", "300,x,x", "3k,x,x", "a,x,x",
                                                    "a,x,y", "b,x,x", "\x8b\x9f,x,x"}));
}

TEST_F(MatchOrderTest, ByPrecisionIsStableOnTheAbsoluteDeviation) {
  Add("p2", "", "", 1.0, 0.002);
  Add("p1", "", "", 1.0, 0.001);
  Add("m1", "", "", 1.0, -0.001);
  Add("m3", "", "", 1.0, -0.003);
  Add("z", "", "", 1.0, 0.0);
  const std::vector<std::string> expected = {"z,,", "p1,,", "m1,,", "p2,,", "m3,,"};
  EXPECT_EQ(Order(0, 1), expected);
}

TEST_F(MatchOrderTest, PrecisionWinsWhenBothAreSet) {
  Add("far", "", "", 1.0, 0.5);
  Add("near", "", "", 2.0, 0.1);
  EXPECT_EQ(Order(1, 1), (std::vector<std::string>{"near,,", "far,,"}));
}

TEST_F(MatchOrderTest, ResistorOrderLeavesTheTableAlone) {
  Add("c", "", "", 3.0, 0.3);
  Add("a", "", "", 1.0, 0.1);
  Add("b", "", "", 2.0, 0.2);
  EXPECT_EQ(Order(1, 0), (std::vector<std::string>{"c,,", "a,,", "b,,"}));
}

TEST_F(MatchOrderTest, AFullTableSortsCompletely) {
  for (int m = 0; m < kMatchCapacity; ++m) {
    std::string name = std::to_string((m * 7919) % 1000);
    Add(name.c_str(), "", "", static_cast<double>((m * 7919) % 1000), 0);
  }
  Order(0, 0);
  for (int m = 0; m < kMatchCapacity; ++m) ASSERT_EQ(table_->records[m].vout, m);
}

}  // namespace
}  // namespace tapsmith
