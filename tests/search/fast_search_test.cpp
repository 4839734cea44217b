// The fast search against the plain loop: identical match tables (names,
// connection, and the bits of every voltage and deviation), identical counts
// and identical reports, on directed edge cases and on 100,000 random states.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "e_series.h"
#include "search.h"
#include "search_kernel.h"
#include "test_util.h"

namespace tapsmith {
namespace {

struct Tables {
  std::unique_ptr<StockTable> stock = std::make_unique<StockTable>();
  std::unique_ptr<MatchTable> plain = std::make_unique<MatchTable>();
  std::unique_ptr<MatchTable> fast = std::make_unique<MatchTable>();
};

bool SameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// Empty when the tables agree, else where they first differ.
std::string Difference(const MatchTable& plain, const MatchTable& fast) {
  if (plain.count != fast.count)
    return "count " + std::to_string(plain.count) + " vs " + std::to_string(fast.count);
  for (int m = 0; m < plain.count; ++m) {
    const MatchRecord& a = plain.records[m];
    const MatchRecord& b = fast.records[m];
    if (std::strcmp(a.r1, b.r1) || std::strcmp(a.r4, b.r4) || std::strcmp(a.r2, b.r2) ||
        std::strcmp(a.r3, b.r3) || a.serial != b.serial || a.r4Mode != b.r4Mode || !SameBits(a.vout, b.vout) ||
        !SameBits(a.deviation, b.deviation) || std::memcmp(a.entry, b.entry, sizeof a.entry) != 0) {
      return "record " + std::to_string(m) + ": " + a.r1 + "," + a.r4 + "," + a.r2 + "," + a.r3 + " vs " + b.r1 +
             "," + b.r4 + "," + b.r2 + "," + b.r3;
    }
  }
  return "";
}

// The report of a table as Execute renders it, budget included.
std::string Report(const MatchTable& table, int configuration, bool hasTypical) {
  std::string report;
  char line[kLineBufferSize];
  int budget = kReportBudget;
  for (int m = 0; m < table.count; ++m) {
    int length = FormatReportLine(table.records[m], configuration, hasTypical, line);
    budget -= length;
    if (budget < 0) break;
    report += line;
  }
  return report;
}

std::string Describe(const SearchRequest& r, const SearchOptions& o, const StockTable& stock) {
  char text[400];
  std::snprintf(text, sizeof text,
                "config %d serial %d dnmOnly %d r4 %d Vfb %.17g window [%.17g, %.17g] R1 [%.17g, %.17g] "
                "digits %d entries %d",
                o.configuration, o.serial, o.r3DnmOnly, static_cast<int>(o.r4), r.Vfb, r.Vmin, r.Vmax, r.R1min,
                r.R1max, r.DigitCount, stock.count);
  return text;
}

// Runs both searches; empty when they agree.
std::string Compare(const SearchRequest& request, const SearchOptions& options, Tables* tables) {
  RunPlainSearch(request, *tables->stock, options, tables->plain.get());
  RunSearch(request, *tables->stock, options, tables->fast.get());
  std::string difference = Difference(*tables->plain, *tables->fast);
  if (!difference.empty()) return difference + " | " + Describe(request, options, *tables->stock);
  return "";
}

SearchRequest Request(double vmin, double vmax, double vfb) {
  SearchRequest request{};
  request.Vmin = vmin;
  request.Vmax = vmax;
  request.Vtyp = (vmin + vmax) * 0.5;
  request.Vfb = vfb;
  request.R1min = -HUGE_VAL;
  request.R1max = HUGE_VAL;
  return request;
}

TEST(FastSearch, AgreesOnEdgeListsInEveryForm) {
  const char* lists[] = {
      "1k\r\n",
      "0\r\n0\r\n1\r\n",
      "0\r\n1e-200\r\n1k\r\n",                // zero and a conductance above 9e100
      "1k\r\n1e200\r\n",                       // a value beyond DNM's
      "1e999\r\n1k\r\n10k\r\n",                // infinite value
      "1e-310\r\n1\r\n100\r\n",                // conductance overflows to infinity
      " -0\r\n -0\r\n0\r\n5\r\n",              // negative zero values
      "1e308\r\n1e308\r\n1\r\n",               // value sums overflow
      "5e-324\r\n5e-324\r\n1e-320\r\n",        // denormals only
      "100\r\n100\r\n100\r\n100\r\n",          // duplicates
  };
  const double vfbs[] = {0.7, -0.7, 0.0, -0.0, HUGE_VAL, -HUGE_VAL, 1e-300, 1e300};
  const double windows[][2] = {{-HUGE_VAL, HUGE_VAL}, {0.0, 0.0}, {0.5, 2.0}, {-2.0, -0.5},
                               {HUGE_VAL, HUGE_VAL},  {-HUGE_VAL, -HUGE_VAL}, {NAN, 1.0},
                               {1.0, 0.5},            {0.7, 0.7}};
  // Without a pin current, and with one of either sign, small and absurd.
  DesignRequest pins[4];
  pins[1].pinCurrent = 1e-6;
  pins[2].pinCurrent = -1e-3;
  pins[3].pinCurrent = 1e300;
  Tables tables;
  for (const char* list : lists) {
    ASSERT_TRUE(ParseStockText(list, tables.stock.get())) << list;
    for (double vfb : vfbs) {
      for (const auto& window : windows) {
        for (int form = 0; form < 8; ++form) {
          for (bool dnmOnly : {false, true}) {
            for (const DesignRequest& pin : pins) {
              for (R4Mode r4 : {R4Mode::None, R4Mode::Parallel, R4Mode::Series}) {
                SearchOptions options{form % 4, form >= 4, dnmOnly, pin.pinCurrent ? &pin : nullptr};
                options.r4 = r4;
                SearchRequest request = Request(window[0], window[1], vfb);
                ASSERT_EQ(Compare(request, options, &tables), "")
                    << list << " pin " << pin.pinCurrent.value_or(0.0) << " r4 " << static_cast<int>(r4);
              }
            }
          }
        }
      }
    }
  }
}

TEST(FastSearch, AgreesAtTheThousandMatchStop) {
  Tables tables;
  std::string list;
  for (int n = 1; n <= 200; ++n) list += std::to_string(n * 37 % 1000) + "\r\n";
  ASSERT_TRUE(ParseStockText(list.c_str(), tables.stock.get()));
  for (int form = 0; form < 8; ++form) {
    SearchOptions options{form % 4, form >= 4, false};
    for (double width : {0.001, 0.01, 0.1, 1.0}) {
      SearchRequest request = Request(0.8 - width, 0.8 + width, 0.7);
      ASSERT_EQ(Compare(request, options, &tables), "");
    }
  }
}

// Random states: lists of 2 to 501 entries, most of them short so that the
// plain loop stays cheap.
class RandomState {
 public:
  explicit RandomState(uint64_t seed) : random_(seed) {}

  std::string List() {
    int lines = Chance(0.9) ? Uniform(1, 24) : Chance(0.9) ? Uniform(25, 120) : Uniform(121, 520);
    std::vector<std::string> written;
    std::string text;
    for (int n = 0; n < lines; ++n) {
      std::string line = Line(written);
      written.push_back(line);
      text += line + "\r\n";
    }
    if (Chance(0.05)) text += "\r\n";
    return text;
  }

  void Fill(const StockTable& stock, SearchRequest* request, SearchOptions* options) {
    options->configuration = Uniform(0, 3);
    options->serial = Chance(0.5);
    options->r3DnmOnly = Chance(0.15);
    request->Vfb = Vfb();
    request->DigitCount = Chance(0.7) ? 0 : Pick<int>({1, 2, 3, 4, 6, 9, 12, 16, 20, -1, -3, 1000000});

    int n = stock.count;
    // R4 beside R1 on short lists only, where the plain four-fold loop is cheap.
    options->r4 = n <= 14 && Chance(0.4) ? Pick<R4Mode>({R4Mode::Parallel, R4Mode::Series}) : R4Mode::None;
    auto legValue = [&](int i) {
      const int l = options->r4 == R4Mode::None ? -1 : Uniform(std::min(i, n - 1), n - 1);
      return kernel::LegOf(options->r4, stock, std::min(i, n - 1), l).value;
    };
    int first = Uniform(0, n - 1);
    int limit = n > 24 ? 8 : n;
    int last = std::min(n - 1, first + Uniform(0, limit));
    request->R1min = legValue(first) - 5e-10;
    request->R1max = legValue(last) + 5e-10;
    if (options->r4 != R4Mode::None && request->R1min > request->R1max) std::swap(request->R1min, request->R1max);
    if (n <= 24 && Chance(0.2)) {
      request->R1min = -HUGE_VAL;
      request->R1max = HUGE_VAL;
    }
    if (Chance(0.03)) std::swap(request->R1min, request->R1max);

    // A window around the voltage of a random combination, so that most
    // states find something.
    int i = Uniform(0, n - 1), j = Uniform(0, n - 1), k = Uniform(j, n - 1);
    double r1 = legValue(i);
    bool serial = options->serial && !options->r3DnmOnly;
    double x = serial ? stock.entries[j].value + stock.entries[k].value
                      : stock.entries[j].conductance + stock.entries[k].conductance;
    double centre = VoltageOf(options->configuration + (serial ? 4 : 0), request->Vfb, r1, x);
    if (!std::isfinite(centre) || Chance(0.1)) centre = Uniform(-3, 3) * 0.5;
    double width = std::fabs(centre) * Pick<double>({0.0, 1e-9, 1e-6, 1e-4, 1e-3, 1e-2, 0.1, 1.0, 10.0});
    request->Vmin = centre - width - 5e-10;
    request->Vmax = centre + width + 5e-10;
    if (Chance(0.03)) request->Vmin = -HUGE_VAL;
    if (Chance(0.03)) request->Vmax = HUGE_VAL;
    if (Chance(0.01)) request->Vmin = NAN;
    if (Chance(0.02)) std::swap(request->Vmin, request->Vmax);
    request->Vtyp = Chance(0.1) ? 0.0 : centre;
  }

  // The next state whose list parses; returns the list's text.
  std::string Next(StockTable* stock, SearchRequest* request, SearchOptions* options) {
    for (;;) {
      std::string list = List();
      if (!ParseStockText(list.c_str(), stock)) continue;
      Fill(*stock, request, options);
      return list;
    }
  }

  bool Chance(double p) { return std::uniform_real_distribution<double>(0, 1)(random_) < p; }
  int Uniform(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }
  template <typename T>
  T Pick(std::initializer_list<T> choices) {
    return choices.begin()[Uniform(0, static_cast<int>(choices.size()) - 1)];
  }

 private:
  static double VoltageOf(int form, double vfb, double r1, double x) {
    using namespace kernel;
    switch (form) {
      case 0: return OutputVoltage<kParallelA>(vfb, r1, 1.0 / r1, x);
      case 1: return OutputVoltage<kParallelB>(vfb, r1, 1.0 / r1, x);
      case 2: return OutputVoltage<kParallelC>(vfb, r1, 1.0 / r1, x);
      case 3: return OutputVoltage<kParallelD>(vfb, r1, 1.0 / r1, x);
      case 4: return OutputVoltage<kSerialA>(vfb, r1, 1.0 / r1, x);
      case 5: return OutputVoltage<kSerialB>(vfb, r1, 1.0 / r1, x);
      case 6: return OutputVoltage<kSerialC>(vfb, r1, 1.0 / r1, x);
      default: return OutputVoltage<kSerialD>(vfb, r1, 1.0 / r1, x);
    }
  }

  double Vfb() {
    double roll = std::uniform_real_distribution<double>(0, 1)(random_);
    if (roll < 0.80) return std::uniform_real_distribution<double>(0.3, 2.5)(random_);
    if (roll < 0.88) return -std::uniform_real_distribution<double>(0.3, 2.5)(random_);
    if (roll < 0.92) return Chance(0.5) ? 0.0 : -0.0;
    return Pick<double>({HUGE_VAL, -HUGE_VAL, 1e-300, 5e-324, 1e300, 1.0});
  }

  std::string Line(const std::vector<std::string>& written) {
    double roll = std::uniform_real_distribution<double>(0, 1)(random_);
    if (roll < 0.08 && !written.empty()) return written[Uniform(0, static_cast<int>(written.size()) - 1)];
    if (roll < 0.13) return Pick<std::string>({"0", "", "abc", "DNM", "0k"});
    if (roll < 0.16) return Pick<std::string>({"1e200", "9e100", "1e308", "1e999", "2e101"});
    if (roll < 0.19) return Pick<std::string>({"1e-310", "5e-324", "1e-400", "1e-101", "1e-200"});
    if (roll < 0.20) return " -0";
    if (roll < 0.205) return "-";
    static const char* const kMantissas[] = {"1", "1.1", "1.2", "1.5", "2", "2.2", "3.3", "3.9",
                                             "4.7", "5.1", "6.8", "8.2", "9.1", "7.5", "1.37"};
    static const char* const kSuffixes[] = {"", "", "0", "00", "k", "0k", "00k", "M", "m"};
    std::string line = kMantissas[Uniform(0, 14)];
    line += kSuffixes[Uniform(0, 8)];
    return line;
  }

  std::mt19937_64 random_;
};

TEST(FastSearch, AgreesWithThePlainLoopOnRandomStates) {
  constexpr int kStates = 100000;
  RandomState random(20261208);
  Tables tables;
  auto ordered_plain = std::make_unique<MatchTable>();
  auto ordered_fast = std::make_unique<MatchTable>();
  auto scratch = std::make_unique<OrderScratch>();
  auto state = testing::NewDefaultState();
  int searched = 0, found = 0, full = 0, fell_back = 0, withR4[3] = {};
  while (searched < kStates) {
    SearchRequest request;
    SearchOptions options;
    const std::string list = random.Next(tables.stock.get(), &request, &options);
    ++searched;
    if (!std::isfinite(request.Vfb) || request.Vfb == 0.0) ++fell_back;
    ASSERT_EQ(Compare(request, options, &tables), "") << "state " << searched << "\n" << list;
    if (tables.plain->count > 0) ++found;
    if (tables.plain->count > 0) ++withR4[static_cast<int>(options.r4)];
    if (tables.plain->count == kMatchCapacity) ++full;

    if (searched % 16 == 0 && tables.plain->count > 0) {
      SetSetting(state.get(), SortByResistors, random.Uniform(0, 1));
      SetSetting(state.get(), SortByPrecision, random.Uniform(0, 1));
      *ordered_plain = *tables.plain;
      *ordered_fast = *tables.fast;
      OrderMatches(*state, ordered_plain.get(), scratch.get());
      OrderMatches(*state, ordered_fast.get(), scratch.get());
      bool typical = request.Vtyp != 0.0;
      ASSERT_EQ(Report(*ordered_plain, options.configuration, typical),
                Report(*ordered_fast, options.configuration, typical))
          << "state " << searched;
    }
  }
  // The states must exercise both outcomes and the stop, or they prove little.
  EXPECT_GT(found, kStates / 4);
  EXPECT_GT(searched - found, kStates / 20);
  EXPECT_GT(full, kStates / 200);
  EXPECT_GT(fell_back, kStates / 50);
  EXPECT_GT(withR4[static_cast<int>(R4Mode::Parallel)], kStates / 25);
  EXPECT_GT(withR4[static_cast<int>(R4Mode::Series)], kStates / 25);
}

// The design rules: the fast search against the plain loop, and both against
// a reference made by filtering every combination with the plain loop of the
// window's search and sorting the survivors by their distance to Vtyp.
std::string DesignDifference(const MatchTable& a, const MatchTable& b) {
  std::string difference = Difference(a, b);
  for (int m = 0; difference.empty() && m < a.count; ++m) {
    const MatchRecord& x = a.records[m];
    const MatchRecord& y = b.records[m];
    if (!SameBits(x.least, y.least) || !SameBits(x.greatest, y.greatest) ||
        !SameBits(x.dividerCurrent, y.dividerCurrent) || !SameBits(x.yield, y.yield))
      difference = "record " + std::to_string(m) + ": worst case, current or yield";
  }
  return difference;
}

double Distance(const MatchRecord& match, double typical) {
  double distance = std::fabs(match.vout - typical);
  return std::isnan(distance) ? HUGE_VAL : distance;
}

double RankedYield(const MatchRecord& match) { return std::isnan(match.yield) ? -1.0 : match.yield; }

TEST(FastSearch, DesignRulesAgreeWithAPlainLoopThatFiltersAndSortsEverything) {
  constexpr int kStates = 20000;
  RandomState random(20261209);
  Tables tables;
  auto survivors = std::make_unique<MatchTable>();
  auto fastSurvivors = std::make_unique<MatchTable>();
  auto selection = std::make_unique<BestSelection>();
  auto scratch = std::make_unique<OrderScratch>();
  int searched = 0, filtered = 0, narrowed = 0, referenced = 0, pinned = 0, rankedByYield = 0, byCorners = 0;
  while (searched < kStates) {
    SearchRequest request;
    SearchOptions options;
    const std::string list = random.Next(tables.stock.get(), &request, &options);
    ++searched;
    const std::string where =
        "state " + std::to_string(searched) + " " + Describe(request, options, *tables.stock) + "\n" + list;

    DesignRequest design;
    design.tolerancePercent = random.Pick<double>({0.0, 0.1, 1.0, 5.0, 30.0});
    design.vfbMin = request.Vfb * random.Pick<double>({1.0, 0.99, 0.9});
    design.vfbMax = request.Vfb * random.Pick<double>({1.0, 1.01, 1.1});
    // A pin current of either sign that moves the output by a share of Vfb
    // through a middling R1 of the list, or none.
    if (random.Chance(0.5)) {
      const double r1 = tables.stock->entries[tables.stock->count / 2].value;
      design.pinCurrent = request.Vfb / r1 * random.Pick<double>({0.0, 1e-3, 0.01, 0.2, -0.01, -0.2});
      design.pinCurrentMin = *design.pinCurrent * random.Pick<double>({1.0, 0.5});
      design.pinCurrentMax = *design.pinCurrent * random.Pick<double>({1.0, 2.0});
      if (*design.pinCurrentMin > *design.pinCurrentMax) std::swap(design.pinCurrentMin, design.pinCurrentMax);
      pinned += *design.pinCurrent != 0.0;
    }
    // Ranked by yield, every match carries it, as the console asks.
    design.bestRank = random.Chance(0.3) ? BestRank::Yield : BestRank::Closest;
    rankedByYield += design.bestRank == BestRank::Yield;
    design.yield = design.bestRank == BestRank::Yield || random.Chance(0.3);
    design.sigmaCount = random.Pick<double>({3.0, 1.0, 6.0});
    options.design = &design;
    options.selection = selection.get();
    // Every combination in the window, to draw the current bounds from.
    RunPlainSearch(request, *tables.stock, options, tables.plain.get());
    const MatchTable& all = *tables.plain;
    design.worstCaseInWindow = random.Chance(0.4);
    const bool boundsCurrent = all.count > 0 && random.Chance(0.4);
    if (boundsCurrent) {
      design.currentMin = all.records[random.Uniform(0, all.count - 1)].dividerCurrent;
      design.currentMax = all.records[random.Uniform(0, all.count - 1)].dividerCurrent;
      if (design.currentMin > design.currentMax) std::swap(design.currentMin, design.currentMax);
    }
    if (all.count > 0 && random.Chance(0.2)) {
      // Keeps some and drops others: the yield of one of them.
      design.yieldMin = std::max(1e-300, RankedYield(all.records[random.Uniform(0, all.count - 1)]));
    }
    if (design.worstCaseInWindow || boundsCurrent || design.yieldMin) ++filtered;
    // The worst case as bands of its two corners: no pin current, Vfb above 0.
    if (design.worstCaseInWindow && design.pinCurrent.value_or(0.0) == 0.0 && request.Vfb > 0.0) ++byCorners;

    const int64_t plainCount = RunPlainSearch(request, *tables.stock, options, survivors.get());
    RunSearch(request, *tables.stock, options, fastSurvivors.get());
    ASSERT_EQ(DesignDifference(*survivors, *fastSurvivors), "") << where;

    design.bestCount = random.Pick<int>({1, 2, 3, 10, 50, 1000});
    const int64_t plainQualified = RunPlainSearch(request, *tables.stock, options, tables.plain.get());
    const int64_t fastQualified = RunSearch(request, *tables.stock, options, tables.fast.get());
    ASSERT_EQ(plainQualified, fastQualified) << where;
    OrderBestMatches(BestRank::Closest, BestOrder::Resistors, request.Vtyp, tables.plain.get(), scratch.get());
    OrderBestMatches(BestRank::Closest, BestOrder::Resistors, request.Vtyp, tables.fast.get(), scratch.get());
    ASSERT_EQ(DesignDifference(*tables.plain, *tables.fast), "") << where;
    if (fastQualified > design.bestCount) ++narrowed;

    if (plainCount < kMatchCapacity) {
      // The survivors are complete: the best N are the first N by distance,
      // or by yield and then distance.
      ++referenced;
      ASSERT_EQ(fastQualified, plainCount) << where;
      const bool byYield = design.bestRank == BestRank::Yield;
      std::stable_sort(survivors->records, survivors->records + survivors->count,
                       [&](const MatchRecord& a, const MatchRecord& b) {
                         if (byYield && RankedYield(a) != RankedYield(b)) return RankedYield(a) > RankedYield(b);
                         return Distance(a, request.Vtyp) < Distance(b, request.Vtyp);
                       });
      survivors->count = std::min(survivors->count, design.bestCount);
      OrderBestMatches(design.bestRank, BestOrder::Rank, request.Vtyp, tables.fast.get(), scratch.get());
      ASSERT_EQ(DesignDifference(*survivors, *tables.fast), "") << where;
    }
  }
  EXPECT_GT(filtered, kStates / 3);
  EXPECT_GT(narrowed, kStates / 10);
  EXPECT_GT(referenced, kStates * 9 / 10);
  EXPECT_GT(pinned, kStates / 3);
  EXPECT_GT(rankedByYield, kStates / 5);
  EXPECT_GT(byCorners, kStates / 8);
}

}  // namespace
}  // namespace tapsmith

namespace tapsmith {
namespace {

// A designer's whole series with R4, beyond the 501 entries of a list: the
// fast search against the plain loop on the legs a narrow R1 window keeps.
TEST(FastSearch, AgreesOnAWholeSeriesWithFourResistorsOverSampledLegs) {
  std::string series;
  SeriesValues(1, 100.0, 470e3, &series);  // E192 from 100 ohm to 470 kohm: 706 values
  Tables tables;
  ASSERT_TRUE(ParseStockText(series.c_str(), tables.stock.get(), kStockCapacity));
  ASSERT_EQ(tables.stock->count, 707);
  auto selection = std::make_unique<BestSelection>();
  auto scratch = std::make_unique<OrderScratch>();
  DesignRequest design;
  design.tolerancePercent = 1.0;
  design.vfbMin = 0.792;
  design.vfbMax = 0.808;
  design.worstCaseInWindow = true;
  design.bestCount = 20;
  int compared = 0;
  for (R4Mode r4 : {R4Mode::Parallel, R4Mode::Series}) {
    for (int form : {0, 1, 6, 7}) {  // [a] and [b] in parallel, [c] and [d] in series
      const double vo = form % 4 < 2 ? 3.3 : 0.5;
      SearchRequest request = Request(vo * 0.97, vo * 1.03, 0.8);
      request.R1min = 47e3;  // some hundred legs of the 250000
      request.R1max = 47.1e3;
      SearchOptions options{form % 4, form >= 4, false, &design, selection.get()};
      options.r4 = r4;
      const int64_t plain = RunPlainSearch(request, *tables.stock, options, tables.plain.get());
      const int64_t fast = RunSearch(request, *tables.stock, options, tables.fast.get());
      ASSERT_EQ(plain, fast) << "form " << form << " r4 " << static_cast<int>(r4);
      OrderBestMatches(BestRank::Closest, BestOrder::Resistors, request.Vtyp, tables.plain.get(), scratch.get());
      OrderBestMatches(BestRank::Closest, BestOrder::Resistors, request.Vtyp, tables.fast.get(), scratch.get());
      ASSERT_EQ(Difference(*tables.plain, *tables.fast), "") << "form " << form;
      compared += plain > 0;
    }
  }
  EXPECT_GE(compared, 6);
}

}  // namespace
}  // namespace tapsmith
