#include "board_choice.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <tuple>
#include <vector>

namespace tapsmith {
namespace {

using Dividers = std::vector<std::vector<DividerWeight>>;  // per rail, in production order

// Small boards drawn at random: few values, few dividers, badness from a
// short list so that ties are common.
Dividers RandomBoard(std::mt19937* random) {
  auto draw = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(*random); };
  const double kBadness[] = {0.0, 0.1, 0.25, 0.5, 1.0};
  Dividers rails(static_cast<size_t>(draw(1, 4)));
  for (auto& rail : rails) {
    uint64_t position = 0;
    for (int d = draw(1, 10); d > 0; --d) {
      DividerWeight weight;
      std::vector<ValueNumber> values;
      for (int n = draw(0, 3); n > 0; --n) values.push_back(static_cast<ValueNumber>(draw(0, 6)));
      std::sort(values.begin(), values.end());
      values.erase(std::unique(values.begin(), values.end()), values.end());
      weight.newCount = static_cast<int>(values.size());
      std::copy(values.begin(), values.end(), weight.newValues);
      weight.fitted = draw(std::max(2, weight.newCount), 4);
      weight.badness = kBadness[draw(0, 4)];
      position += static_cast<uint64_t>(draw(1, 3));
      weight.position = position;
      rail.push_back(weight);
    }
  }
  return rails;
}

// Every choice of one divider a rail, the best kept by the board's rules.
struct Plain {
  size_t used;
  int resistors;
  double worst;
  std::vector<uint64_t> positions;
  std::vector<ValueNumber> values;
};

Plain ChooseEveryWay(const Dividers& rails) {
  Plain best{SIZE_MAX, 0, 0.0, {}, {}};
  std::vector<size_t> at(rails.size(), 0);
  for (;;) {
    std::vector<ValueNumber> values;
    Plain choice{0, 0, 0.0, {}, {}};
    for (size_t r = 0; r < rails.size(); ++r) {
      const DividerWeight& d = rails[r][at[r]];
      values.insert(values.end(), d.newValues, d.newValues + d.newCount);
      choice.resistors += d.fitted;
      choice.worst = std::max(choice.worst, d.badness);
      choice.positions.push_back(d.position);
    }
    std::sort(values.begin(), values.end());
    values.erase(std::unique(values.begin(), values.end()), values.end());
    choice.used = values.size();
    choice.values = values;
    if (std::tie(choice.used, choice.resistors, choice.worst, choice.positions) <
        std::tie(best.used, best.resistors, best.worst, best.positions)) {
      best = choice;
    }
    size_t r = 0;
    while (r < rails.size() && ++at[r] == rails[r].size()) at[r++] = 0;
    if (r == rails.size()) return best;
  }
}

BoardModel ModelOf(const Dividers& rails, size_t heldSetLimit = kHeldSetLimit) {
  BoardModel model(static_cast<int>(rails.size()), kMostNewValues, heldSetLimit);
  for (size_t r = 0; r < rails.size(); ++r) {
    for (const DividerWeight& d : rails[r]) model.Add(static_cast<int>(r), d);
  }
  model.Finish();
  return model;
}

struct Unlimited final : ChoiceClock {
  bool Expired(int, int64_t, int) override { return false; }
};

struct AtOnce final : ChoiceClock {
  bool Expired(int, int64_t, int) override { return true; }
};

TEST(BoardChoice, IsTheBestOfEveryChoiceTiesIncluded) {
  std::mt19937 random(23);
  for (int board = 0; board < 300; ++board) {
    const Dividers rails = RandomBoard(&random);
    const Plain plain = ChooseEveryWay(rails);
    Unlimited clock;
    const BoardChoice choice = ChooseBoard(ModelOf(rails), &clock);
    ASSERT_TRUE(choice.found) << board;
    EXPECT_TRUE(choice.proven) << board;
    EXPECT_EQ(choice.bound, static_cast<int>(plain.used)) << board;
    EXPECT_EQ(choice.newValues, plain.values) << board;
    EXPECT_EQ(choice.resistors, plain.resistors) << board;
    EXPECT_EQ(choice.worst, plain.worst) << board;
    EXPECT_EQ(choice.positions, plain.positions) << board;
  }
}

// With too many sets to hold, or no time, the choice is still one of the
// rails' dividers, and what it says of itself is true.
TEST(BoardChoice, UnprovenChoicesAreRealAndTheirBoundHolds) {
  std::mt19937 random(5);
  for (int board = 0; board < 200; ++board) {
    const Dividers rails = RandomBoard(&random);
    const Plain plain = ChooseEveryWay(rails);
    AtOnce expired;
    Unlimited unlimited;
    const BoardChoice hurried = ChooseBoard(ModelOf(rails), &expired);
    const BoardChoice cramped = ChooseBoard(ModelOf(rails, 3), &unlimited);
    for (const BoardChoice* choice : {&hurried, &cramped}) {
      ASSERT_TRUE(choice->found) << board;
      EXPECT_LE(choice->bound, static_cast<int>(plain.used)) << board;
      EXPECT_GE(choice->newValues.size(), plain.used) << board;
      if (choice->proven) {
        EXPECT_EQ(choice->positions, plain.positions) << board;
      }
      for (size_t r = 0; r < rails.size(); ++r) {
        const auto& own = rails[r];
        EXPECT_TRUE(std::any_of(own.begin(), own.end(),
                                [&](const DividerWeight& d) { return d.position == choice->positions[r]; }))
            << board;
      }
    }
    EXPECT_FALSE(hurried.proven) << board;
  }
}

TEST(BoardChoice, ARailWithoutADividerMakesTheBoardUnsolvable) {
  BoardModel model(3);
  DividerWeight weight;
  weight.fitted = 2;
  model.Add(1, weight);
  model.Finish();
  Unlimited clock;
  const BoardChoice choice = ChooseBoard(model, &clock);
  EXPECT_FALSE(choice.found);
  EXPECT_EQ(choice.unsolvable, (std::vector<int>{0, 2}));
}

}  // namespace
}  // namespace tapsmith
