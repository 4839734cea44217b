// Internal to the search library: the voltage expressions and the acceptance
// of one combination, shared by the plain and the fast search so that both
// compute every voltage with the very same operations.
#pragma once

#include <cmath>
#include <cstring>

#include "search.h"

namespace tapsmith::kernel {

// The eight expression forms: configuration 0..3, plus 4 for R2 and R3 in
// series. `x` is the pair's conductance sum G (parallel) or value sum S
// (serial); `r1` is R1's value and `r1Inverse` is 1 / R1.
enum Form : int {
  kParallelA, kParallelB, kParallelC, kParallelD,
  kSerialA, kSerialB, kSerialC, kSerialD,
};

template <int kForm>
inline double OutputVoltage(double vfb, double r1, double r1Inverse, double x) {
  if constexpr (kForm == kParallelA) return vfb * (x * r1 + 1.0);
  if constexpr (kForm == kParallelB) return vfb * (r1Inverse / x + 1.0);
  if constexpr (kForm == kParallelC) return vfb * (1.0 / (x * r1 + 1.0));
  if constexpr (kForm == kParallelD) return vfb * (1.0 / (r1Inverse / x + 1.0));
  if constexpr (kForm == kSerialA) return vfb * (r1 / x + 1.0);
  if constexpr (kForm == kSerialB) return vfb * (r1Inverse * x + 1.0);
  if constexpr (kForm == kSerialC) return vfb * (1.0 / (r1 / x + 1.0));
  if constexpr (kForm == kSerialD) return vfb * (1.0 / (r1Inverse * x + 1.0));
}

// One search in progress: the inputs and the table being filled.
struct SearchPass {
  const SearchRequest* request;
  const StockTable* stock;
  MatchTable* matches;
  int count;           // entries used, 0..kStockCapacity
  int serial;          // the records' `serial` field
  bool r3DnmOnly;
  // Per entry, the term summed for the pair: conductance or value.
  double pairTerm[kStockCapacity];
};

/// Prepares a pass; the match table is emptied. Returns the form to use.
inline int BeginPass(const SearchRequest& request, const StockTable& stock,
                     const SearchOptions& options, MatchTable* matches, SearchPass* pass) {
  bool serial = options.serial && !options.r3DnmOnly;
  int configuration = options.configuration < 0 ? 0 : options.configuration > 3 ? 3 : options.configuration;
  pass->request = &request;
  pass->stock = &stock;
  pass->matches = matches;
  pass->count = stock.count < 0 ? 0 : stock.count > kStockCapacity ? kStockCapacity : stock.count;
  pass->serial = serial ? 1 : 0;
  pass->r3DnmOnly = options.r3DnmOnly;
  for (int k = 0; k < pass->count; ++k)
    pass->pairTerm[k] = serial ? stock.entries[k].value : stock.entries[k].conductance;
  matches->count = 0;
  return configuration + (serial ? 4 : 0);
}

/// True when V, multiplied by 10 `digitCount` times (each product rounded),
/// is a whole number. Stops multiplying once the product is 0 or at least
/// 2^52: from there on every product is whole (or infinite), so the outcome
/// is settled, and a huge count costs no time.
inline bool FitsDigits(double v, int digitCount) {
  double x = v;
  for (int n = 0; n < digitCount; ++n) {
    if (x == 0.0 || std::fabs(x) >= 4503599627370496.0) break;
    x *= 10.0;
  }
  return x == std::floor(x);
}

/// Offers the combination (i, j, k) with output voltage `vo`: appends it when
/// it lies in the window and fits the digits. Returns true when the table has
/// just become full, which ends the search.
inline bool Offer(SearchPass* pass, int i, int j, int k, double vo) {
  const SearchRequest& request = *pass->request;
  if (!(request.Vmin <= vo && vo <= request.Vmax)) return false;
  double v = std::floor(vo * 1000000000.0 + 0.5) / 1000000000.0;
  if (request.DigitCount != 0 && !FitsDigits(v, request.DigitCount)) return false;
  MatchTable* matches = pass->matches;
  MatchRecord* record = &matches->records[matches->count];
  const StockEntry* entries = pass->stock->entries;
  std::memcpy(record->r1, entries[i].name, kNameSize);
  std::memcpy(record->r2, entries[j].name, kNameSize);
  std::memcpy(record->r3, entries[k].name, kNameSize);
  record->r1[kNameSize - 1] = record->r2[kNameSize - 1] = record->r3[kNameSize - 1] = '\0';
  record->serial = pass->serial;
  record->vout = v;
  record->deviation = request.Vtyp != 0.0 ? (v / request.Vtyp - 1.0) * 100.0 : 0.0;
  return ++matches->count >= kMatchCapacity;
}

inline bool R1InWindow(const SearchPass& pass, double r1) {
  return pass.request->R1min <= r1 && r1 <= pass.request->R1max;
}

/// The plain loop over every pair for R1 = entry i. Returns true when the
/// table became full.
template <int kForm>
bool PlainPairsForR1(SearchPass* pass, int i) {
  const int n = pass->count;
  const double vfb = pass->request->Vfb;
  const double r1 = pass->stock->entries[i].value;
  const double r1Inverse = 1.0 / r1;
  const double* term = pass->pairTerm;
  for (int j = 0; j < n - 1; ++j) {
    for (int k = pass->r3DnmOnly ? n - 1 : j; k < n; ++k) {
      double vo = OutputVoltage<kForm>(vfb, r1, r1Inverse, term[j] + term[k]);
      if (Offer(pass, i, j, k, vo)) return true;
    }
  }
  return false;
}

/// Calls `Run<kForm>::Go(args...)` with the form as a compile-time constant.
template <template <int> class Run, typename... Args>
void DispatchForm(int form, Args&&... args) {
  switch (form) {
    case kParallelA: Run<kParallelA>::Go(args...); break;
    case kParallelB: Run<kParallelB>::Go(args...); break;
    case kParallelC: Run<kParallelC>::Go(args...); break;
    case kParallelD: Run<kParallelD>::Go(args...); break;
    case kSerialA: Run<kSerialA>::Go(args...); break;
    case kSerialB: Run<kSerialB>::Go(args...); break;
    case kSerialC: Run<kSerialC>::Go(args...); break;
    default: Run<kSerialD>::Go(args...); break;
  }
}

}  // namespace tapsmith::kernel
