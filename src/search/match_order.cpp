// Ordering of the match table for the report.
#include <cmath>
#include <cstdint>
#include <cstring>

#include "search.h"

namespace tapsmith {

namespace {

bool VoltageThenNamesBefore(const MatchRecord& a, const MatchRecord& b) {
  if (a.vout != b.vout) return a.vout < b.vout;
  // strcmp compares as unsigned char, as the report order requires.
  int order = std::strcmp(a.r1, b.r1);
  if (order == 0) order = std::strcmp(a.r4, b.r4);
  if (order == 0) order = std::strcmp(a.r2, b.r2);
  if (order == 0) order = std::strcmp(a.r3, b.r3);
  return order < 0;
}

bool PrecisionBefore(const MatchRecord& a, const MatchRecord& b) {
  return std::fabs(a.deviation) < std::fabs(b.deviation);
}

bool ProductionBefore(const MatchRecord& a, const MatchRecord& b) {
  for (int n = 0; n < 4; ++n) {
    if (a.entry[n] != b.entry[n]) return a.entry[n] < b.entry[n];
  }
  return false;
}

// Bottom-up merge sort of record indices: stable, so records of equal keys
// keep the order the search produced them in, and with no allocation. A
// comparison that is not a strict weak order (a NaN deviation) only gives
// an odd order, never a fault.
template <typename Before>
void StableSort(MatchTable* table, OrderScratch* scratch, Before before) {
  int16_t* order = scratch->order;
  int16_t* merged = scratch->merged;
  const int n = table->count < kMatchCapacity ? table->count : kMatchCapacity;
  for (int i = 0; i < n; ++i) order[i] = static_cast<int16_t>(i);
  for (int width = 1; width < n; width *= 2) {
    for (int low = 0; low < n; low += 2 * width) {
      int middle = low + width < n ? low + width : n;
      int high = low + 2 * width < n ? low + 2 * width : n;
      int a = low, b = middle, out = low;
      while (a < middle && b < high) {
        // Take from the right run only when strictly before: stability.
        if (before(table->records[order[b]], table->records[order[a]])) {
          merged[out++] = order[b++];
        } else {
          merged[out++] = order[a++];
        }
      }
      while (a < middle) merged[out++] = order[a++];
      while (b < high) merged[out++] = order[b++];
    }
    std::memcpy(order, merged, sizeof(int16_t) * static_cast<size_t>(n));
  }
  for (int i = 0; i < n; ++i) scratch->sorted[i] = table->records[order[i]];
  std::memcpy(table->records, scratch->sorted, sizeof(MatchRecord) * static_cast<size_t>(n));
}

}  // namespace

void OrderMatches(const AppState& state, MatchTable* matches, OrderScratch* scratch) {
  bool by_resistors = GetSetting(state, SortByResistors) != 0;
  bool by_precision = GetSetting(state, SortByPrecision) != 0;
  if (matches->count < 2) return;
  if (by_precision) {
    StableSort(matches, scratch, PrecisionBefore);
  } else if (!by_resistors) {
    StableSort(matches, scratch, VoltageThenNamesBefore);
  }
}

void OrderBestMatches(BestRank rank, BestOrder order, double typical, MatchTable* matches,
                      OrderScratch* scratch) {
  if (matches->count < 2) return;
  StableSort(matches, scratch, ProductionBefore);
  if (order == BestOrder::Voltage) StableSort(matches, scratch, VoltageThenNamesBefore);
  if (order != BestOrder::Rank) return;
  // The distance as the selection took it; NaN counts as the farthest.
  auto distance = [typical](const MatchRecord& match) {
    double d = std::fabs(match.vout - typical);
    return std::isnan(d) ? HUGE_VAL : d;
  };
  StableSort(matches, scratch, [&](const MatchRecord& a, const MatchRecord& b) {
    return distance(a) < distance(b);
  });
  if (rank == BestRank::Yield) {
    // NaN, a yield that could not be had, counts as the lowest.
    auto yield = [](const MatchRecord& match) { return std::isnan(match.yield) ? -1.0 : match.yield; };
    StableSort(matches, scratch,
               [&](const MatchRecord& a, const MatchRecord& b) { return yield(a) > yield(b); });
  }
}

}  // namespace tapsmith
