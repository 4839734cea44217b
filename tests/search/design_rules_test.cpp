// The designer's rules in the search: the worst case and the current against
// a hand calculation with the divider's own formulas, the filters and ties.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <cstdio>
#include <memory>
#include <random>
#include <string>

#include "normal_distribution.h"
#include "search.h"

namespace tapsmith {
namespace {

constexpr double kVfb = 0.7;
constexpr double kTolerance = 5.0;  // percent

// A resistor at a corner, as the hand calculation takes it: DNM open, zero
// ohms a near short of conductance 9e100.
struct Part {
  double value;  // ohms; HUGE_VAL: DNM
  double Scaled(double factor) const { return std::isinf(value) ? value : value * factor; }
};

double Conductance(double ohms) { return std::isinf(ohms) ? 0.0 : ohms == 0.0 ? 9e100 : 1.0 / ohms; }

// The divider's output from its formula: Vo = Vfb (1 + R1 / R23) and so on.
double Output(int configuration, double vfb, double r1, double r23) {
  switch (configuration) {
    case 0: return vfb * (1.0 + r1 / r23);
    case 1: return vfb * (1.0 + r23 / r1);
    case 2: return vfb * r23 / (r1 + r23);
    default: return vfb * r1 / (r1 + r23);
  }
}

// The same with the feedback pin drawing `pin` from the middle node: the
// node equations of each divider solved by hand.
double OutputWithPin(int configuration, double vfb, double r1, double r23, double pin) {
  switch (configuration) {
    case 0: return vfb * (1.0 + r1 / r23) + pin * r1;
    case 1: return vfb * (1.0 + r23 / r1) + pin * r23;
    case 2: return (vfb - pin * r1) * r23 / (r1 + r23);
    default: return (vfb - pin * r23) * r1 / (r1 + r23);
  }
}

double Pair(bool serial, double r2, double r3) {
  if (serial) return (std::isinf(r2) ? 9e100 : r2) + (std::isinf(r3) ? 9e100 : r3);
  return 1.0 / (Conductance(r2) + Conductance(r3));
}

class DesignRulesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(ParseStockText("0\r\n1k\r\n2.2k\r\n4.7k\r\n", stock_.get()));
    request_.Vmin = -HUGE_VAL;
    request_.Vmax = HUGE_VAL;
    request_.Vtyp = 1.0;
    request_.Vfb = kVfb;
    request_.R1min = 1000.0 - 5e-10;  // R1 is 1k
    request_.R1max = 1000.0 + 5e-10;
    request_.DigitCount = 0;
    design_.tolerancePercent = kTolerance;
    design_.vfbMin = kVfb * 0.99;
    design_.vfbMax = kVfb * 1.01;
  }
  void Search(int configuration, bool serial) {
    SearchOptions options{configuration, serial, false, &design_, selection_.get()};
    RunSearch(request_, *stock_, options, matches_.get());
  }
  const MatchRecord* Find(const char* r2, const char* r3) const {
    for (int m = 0; m < matches_->count; ++m) {
      const MatchRecord& match = matches_->records[m];
      if (std::strcmp(match.r2, r2) == 0 && std::strcmp(match.r3, r3) == 0) return &match;
    }
    return nullptr;
  }

  std::unique_ptr<StockTable> stock_ = std::make_unique<StockTable>();
  std::unique_ptr<MatchTable> matches_ = std::make_unique<MatchTable>();
  std::unique_ptr<BestSelection> selection_ = std::make_unique<BestSelection>();
  SearchRequest request_{};
  DesignRequest design_;
};

struct Combination {
  const char* r2;
  const char* r3;
  Part parts[2];
};

const Combination kCombinations[] = {
    {"2.2k", "4.7k", {{2200.0}, {4700.0}}},
    {"2.2k", "DNM", {{2200.0}, {HUGE_VAL}}},
    {"0", "2.2k", {{0.0}, {2200.0}}},
};

TEST_F(DesignRulesTest, WorstCaseIsTheLeastAndGreatestOverTheSixteenCorners) {
  const double factors[2] = {1.0 - kTolerance * 0.01, 1.0 + kTolerance * 0.01};
  const double vfbs[2] = {*design_.vfbMin, *design_.vfbMax};
  for (int configuration = 0; configuration < 4; ++configuration) {
    for (bool serial : {false, true}) {
      Search(configuration, serial);
      for (const Combination& c : kCombinations) {
        const MatchRecord* match = Find(c.r2, c.r3);
        ASSERT_NE(match, nullptr) << c.r2 << " " << c.r3;
        double least = HUGE_VAL, greatest = -HUGE_VAL;
        for (double f1 : factors)
          for (double f2 : factors)
            for (double f3 : factors)
              for (double vfb : vfbs) {
                double r23 = Pair(serial, c.parts[0].Scaled(f2), c.parts[1].Scaled(f3));
                double vo = Output(configuration, vfb, 1000.0 * f1, r23);
                least = std::fmin(least, vo);
                greatest = std::fmax(greatest, vo);
              }
        const std::string where = std::to_string(configuration) + (serial ? " serial " : " parallel ") +
                                  c.r2 + " " + c.r3;
        EXPECT_NEAR(match->least, least, 1e-9 + 1e-12 * std::fabs(least)) << where;
        EXPECT_NEAR(match->greatest, greatest, 1e-9 + 1e-12 * std::fabs(greatest)) << where;
        EXPECT_LE(match->least, match->vout) << where;
        EXPECT_GE(match->greatest, match->vout) << where;
      }
    }
  }
}

TEST_F(DesignRulesTest, CurrentFlowsFromTheDividersTopThroughR1AndR23) {
  for (int configuration = 0; configuration < 4; ++configuration) {
    for (bool serial : {false, true}) {
      Search(configuration, serial);
      for (const Combination& c : kCombinations) {
        const MatchRecord* match = Find(c.r2, c.r3);
        ASSERT_NE(match, nullptr);
        double r23 = Pair(serial, c.parts[0].value, c.parts[1].value);
        double top = configuration <= 1 ? Output(configuration, kVfb, 1000.0, r23) : kVfb;
        double current = top / (1000.0 + r23);
        EXPECT_NEAR(match->dividerCurrent, current, 1e-12 * std::fabs(current))
            << configuration << (serial ? " serial " : " parallel ") << c.r2 << " " << c.r3;
      }
    }
  }
  // An open pair draws nothing: R23 is infinite in parallel.
  ASSERT_TRUE(ParseStockText("1k\r\n", stock_.get()));
  Search(0, false);
  const MatchRecord* open = Find("1k", "DNM");
  ASSERT_NE(open, nullptr);
  EXPECT_NEAR(open->dividerCurrent, kVfb * (1.0 + 1000.0 / 1000.0) / 2000.0, 1e-15);
}

TEST_F(DesignRulesTest, FiltersKeepWhatLiesWithinTheirBoundsBothEndsIncluded) {
  request_.Vmin = 1.0;
  request_.Vmax = 1.5;
  Search(0, false);
  auto all = std::make_unique<MatchTable>(*matches_);
  ASSERT_GT(all->count, 2);

  design_.worstCaseInWindow = true;
  Search(0, false);
  int kept = 0;
  for (int m = 0; m < all->count; ++m) {
    const MatchRecord& match = all->records[m];
    bool inside = match.least >= request_.Vmin && match.greatest <= request_.Vmax;
    EXPECT_EQ(Find(match.r2, match.r3) != nullptr, inside) << match.r2 << " " << match.r3;
    kept += inside;
  }
  EXPECT_GT(kept, 0);
  EXPECT_LT(kept, all->count);

  design_.worstCaseInWindow = false;
  design_.currentMin = design_.currentMax = all->records[1].dividerCurrent;
  Search(0, false);
  ASSERT_EQ(matches_->count, 1);
  EXPECT_STREQ(matches_->records[0].r2, all->records[1].r2);
}

TEST_F(DesignRulesTest, BestKeepsTheClosestAndOfEqualOnesTheFirstProduced) {
  ASSERT_TRUE(ParseStockText("2.2k\r\n1k\r\n2.2k\r\n4.7k\r\n", stock_.get()));
  request_.Vtyp = kVfb * (1.0 + 1000.0 / 2200.0);  // 1k + (2.2k // DNM), twice in the list
  design_.bestCount = 1;
  EXPECT_GT(RunSearch(request_, *stock_, {0, false, false, &design_, selection_.get()}, matches_.get()), 1);
  ASSERT_EQ(matches_->count, 1);
  const MatchRecord& best = matches_->records[0];
  EXPECT_STREQ(best.r2, "2.2k");
  EXPECT_STREQ(best.r3, "DNM");
  EXPECT_EQ(best.entry[2], 1) << "the first of the two 2.2k entries";
}

// With a pin current every output, its 32 corners and the current in the leg
// to ground follow the node equations.
TEST_F(DesignRulesTest, PinCurrentMovesEveryOutputAsTheNodeEquationsSay) {
  constexpr double kPin = 20e-6;
  design_.pinCurrent = kPin;
  design_.pinCurrentMin = kPin * 0.5;
  design_.pinCurrentMax = kPin * 2.0;
  const double factors[2] = {1.0 - kTolerance * 0.01, 1.0 + kTolerance * 0.01};
  const double vfbs[2] = {*design_.vfbMin, *design_.vfbMax};
  const double pins[2] = {*design_.pinCurrentMin, *design_.pinCurrentMax};
  for (int configuration = 0; configuration < 4; ++configuration) {
    for (bool serial : {false, true}) {
      Search(configuration, serial);
      for (const Combination& c : kCombinations) {
        const std::string where = std::to_string(configuration) + (serial ? " serial " : " parallel ") +
                                  c.r2 + " " + c.r3;
        const MatchRecord* match = Find(c.r2, c.r3);
        ASSERT_NE(match, nullptr) << where;
        const double r23 = Pair(serial, c.parts[0].value, c.parts[1].value);
        const double vo = OutputWithPin(configuration, kVfb, 1000.0, r23, kPin);
        EXPECT_NEAR(match->vout, vo, 1e-9 + 1e-12 * std::fabs(vo)) << where;
        const double ground = configuration == 0 ? kVfb / r23 : configuration == 1 ? kVfb / 1000.0
                              : configuration == 2 ? vo / r23 : vo / 1000.0;
        EXPECT_NEAR(match->dividerCurrent, ground, 1e-9 * std::fabs(ground)) << where;
        double least = HUGE_VAL, greatest = -HUGE_VAL;
        for (double f1 : factors)
          for (double f2 : factors)
            for (double f3 : factors)
              for (double vfb : vfbs)
                for (double pin : pins) {
                  double corner = Pair(serial, c.parts[0].Scaled(f2), c.parts[1].Scaled(f3));
                  double v = OutputWithPin(configuration, vfb, 1000.0 * f1, corner, pin);
                  least = std::fmin(least, v);
                  greatest = std::fmax(greatest, v);
                }
        EXPECT_NEAR(match->least, least, 1e-9 + 1e-12 * std::fabs(least)) << where;
        EXPECT_NEAR(match->greatest, greatest, 1e-9 + 1e-12 * std::fabs(greatest)) << where;
      }
    }
  }
  // A pin current of 0 is the search without one, bit for bit.
  design_.pinCurrent = 0.0;
  design_.pinCurrentMin = design_.pinCurrentMax = std::nullopt;
  Search(3, true);
  auto withZero = std::make_unique<MatchTable>(*matches_);
  design_.pinCurrent = std::nullopt;
  Search(3, true);
  ASSERT_EQ(withZero->count, matches_->count);
  for (int m = 0; m < matches_->count; ++m) {
    EXPECT_EQ(withZero->records[m].vout, matches_->records[m].vout) << m;
    EXPECT_EQ(withZero->records[m].least, matches_->records[m].least) << m;
  }
}

// The yield is linearised around the nominal; a Monte Carlo of the divider's
// own equations, every part drawn from its normal distribution, must find
// the same share of boards in the window, within its sampling error and
// what the linearisation leaves out.
TEST_F(DesignRulesTest, YieldAgreesWithAMonteCarloOfTheNodeEquations) {
  struct Case {
    int configuration;
    bool serial;
    double tolerance;  // percent
    double pin;        // amperes
    double halfWindow;  // of the output, relative
  };
  const Case kCases[] = {
      {0, false, 1.0, 0.0, 0.01}, {1, true, 1.0, 20e-6, 0.005}, {2, false, 5.0, 0.0, 0.02},
      {3, true, 5.0, 20e-6, 0.03}, {0, true, 5.0, 50e-6, 0.02}, {1, false, 2.0, 0.0, 0.01},
  };
  constexpr int kBoards = 100000;
  constexpr double kSigmas = 3.0;
  std::mt19937_64 random(20261209);
  std::normal_distribution<double> normal;
  double largest = 0.0;
  for (const Case& c : kCases) {
    design_.tolerancePercent = c.tolerance;
    design_.yield = true;
    design_.pinCurrent = c.pin;
    design_.pinCurrentMin = c.pin * 0.8;
    design_.pinCurrentMax = c.pin * 1.2;
    // The window around 2.2k // 4.7k with R1 1k, so that the yield is neither 0 nor 1.
    const double r23 = Pair(c.serial, 2200.0, 4700.0);
    const double nominal = OutputWithPin(c.configuration, kVfb, 1000.0, r23, c.pin);
    request_.Vmin = nominal * (1.0 - c.halfWindow * 0.7);
    request_.Vmax = nominal * (1.0 + c.halfWindow * 1.3);
    Search(c.configuration, c.serial);
    const MatchRecord* match = Find("2.2k", "4.7k");
    ASSERT_NE(match, nullptr);
    const double partSigma = c.tolerance / 100.0 / kSigmas;
    const double vfbSigma = kVfb * 0.01 / kSigmas;
    const double pinSigma = c.pin * 0.2 / kSigmas;
    int inside = 0;
    for (int board = 0; board < kBoards; ++board) {
      const double r1 = 1000.0 * (1.0 + partSigma * normal(random));
      const double r2 = 2200.0 * (1.0 + partSigma * normal(random));
      const double r3 = 4700.0 * (1.0 + partSigma * normal(random));
      const double vfb = kVfb + vfbSigma * normal(random);
      const double pin = c.pin + pinSigma * normal(random);
      const double vo = OutputWithPin(c.configuration, vfb, r1, Pair(c.serial, r2, r3), pin);
      inside += request_.Vmin <= vo && vo <= request_.Vmax;
    }
    const double share = static_cast<double>(inside) / kBoards;
    const double samplingError = std::sqrt(share * (1.0 - share) / kBoards);
    const std::string where = std::to_string(c.configuration) + (c.serial ? " serial " : " parallel ") +
                              std::to_string(c.tolerance) + "%";
    EXPECT_GT(match->yield, 0.05) << where;
    EXPECT_LT(match->yield, 0.995) << where;
    EXPECT_NEAR(match->yield, share, 4.0 * samplingError + 0.003) << where;
    largest = std::fmax(largest, std::fabs(match->yield - share));
  }
  std::printf("largest difference of the yield from the Monte Carlo: %.4f\n", largest);
}

// Without any spread every board is the nominal one: the yield is 1 inside
// the window. The distribution itself holds to the C library's erfc.
TEST_F(DesignRulesTest, YieldIsOneWithoutSpreadAndTheNormalDistributionHoldsToErfc) {
  design_.tolerancePercent = 0.0;
  design_.vfbMin = design_.vfbMax = std::nullopt;
  design_.yield = true;
  request_.Vmin = 1.0;
  request_.Vmax = 2.0;
  Search(0, false);
  ASSERT_GT(matches_->count, 0);
  for (int m = 0; m < matches_->count; ++m) EXPECT_EQ(matches_->records[m].yield, 1.0) << m;
  for (double x = -6.0; x <= 28.0; x += 0.0137) {
    EXPECT_NEAR(PortableErfc(x), std::erfc(x), 2e-15) << x;
  }
  EXPECT_EQ(NormalCdf(0.0), 0.5);
  EXPECT_NEAR(NormalCdf(1.0) + NormalCdf(-1.0), 1.0, 1e-15);
}

}  // namespace
}  // namespace tapsmith
