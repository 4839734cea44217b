// Internal to the search library: the voltage expressions and the acceptance
// of one combination, shared by the plain and the fast search so that both
// compute every voltage with the very same operations.
#pragma once

#include <cassert>
#include <cmath>
#include <cstring>
#include <utility>

#include "normal_distribution.h"
#include "search.h"

namespace tapsmith::kernel {

// The expression forms: configuration 0..3, plus 4 for R2 and R3 in series,
// plus 8 when the feedback pin draws a current `pin` from the divider's
// middle node. `x` is the pair's conductance sum G (parallel) or value sum
// S (serial); `r1` is R1's value and `r1Inverse` is 1 / R1.
enum Form : int {
  kParallelA, kParallelB, kParallelC, kParallelD,
  kSerialA, kSerialB, kSerialC, kSerialD,
  kWithPinCurrent = 8,
};

constexpr int ConfigurationOf(int form) { return form & 3; }
constexpr bool IsSerial(int form) { return (form & 4) != 0; }
constexpr bool HasPinCurrent(int form) { return (form & kWithPinCurrent) != 0; }
constexpr int WithoutPinCurrent(int form) { return form & 7; }

template <int kForm>
inline double OutputVoltage(double vfb, double pin, double r1, double r1Inverse, double x) {
  constexpr int kBase = WithoutPinCurrent(kForm);
  if constexpr (!HasPinCurrent(kForm)) {
    if constexpr (kBase == kParallelA) return vfb * (x * r1 + 1.0);
    if constexpr (kBase == kParallelB) return vfb * (r1Inverse / x + 1.0);
    if constexpr (kBase == kParallelC) return vfb * (1.0 / (x * r1 + 1.0));
    if constexpr (kBase == kParallelD) return vfb * (1.0 / (r1Inverse / x + 1.0));
    if constexpr (kBase == kSerialA) return vfb * (r1 / x + 1.0);
    if constexpr (kBase == kSerialB) return vfb * (r1Inverse * x + 1.0);
    if constexpr (kBase == kSerialC) return vfb * (1.0 / (r1 / x + 1.0));
    if constexpr (kBase == kSerialD) return vfb * (1.0 / (r1Inverse * x + 1.0));
  } else {
    if constexpr (kBase == kParallelA) return vfb * (x * r1 + 1.0) + pin * r1;
    if constexpr (kBase == kParallelB) return vfb * (r1Inverse / x + 1.0) + pin * (1.0 / x);
    if constexpr (kBase == kParallelC) return (vfb - pin * r1) * (1.0 / (x * r1 + 1.0));
    if constexpr (kBase == kParallelD) return (vfb - pin * (1.0 / x)) * (1.0 / (r1Inverse / x + 1.0));
    if constexpr (kBase == kSerialA) return vfb * (r1 / x + 1.0) + pin * r1;
    if constexpr (kBase == kSerialB) return vfb * (r1Inverse * x + 1.0) + pin * x;
    if constexpr (kBase == kSerialC) return (vfb - pin * r1) * (1.0 / (r1 / x + 1.0));
    if constexpr (kBase == kSerialD) return (vfb - pin * x) * (1.0 / (r1Inverse * x + 1.0));
  }
}

/// The forms without a pin current, as the window's search has them.
template <int kForm>
inline double OutputVoltage(double vfb, double r1, double r1Inverse, double x) {
  static_assert(!HasPinCurrent(kForm), "a pin current needs its value");
  return OutputVoltage<kForm>(vfb, 0.0, r1, r1Inverse, x);
}

/// The output for a pin current that may be 0, as at the corners of the
/// worst case and the ends of the yield's differences: a current of exactly
/// 0 gives the divider without one.
template <int kForm>
inline double OutputAtPinCurrent(double vfb, double pin, double r1, double r1Inverse, double x) {
  constexpr int kBase = WithoutPinCurrent(kForm);
  return pin != 0.0 ? OutputVoltage<kBase | kWithPinCurrent>(vfb, pin, r1, r1Inverse, x)
                    : OutputVoltage<kBase>(vfb, 0.0, r1, r1Inverse, x);
}

// A design request in the numbers the search works with.
struct DesignLimits {
  // A resistor's corners are value * lowFactor and value * highFactor, the
  // reference's vfbLow and vfbHigh, the pin current's pinLow and pinHigh.
  double lowFactor;
  double highFactor;
  double vfbLow;
  double vfbHigh;
  double pin;  // the typical pin current, 0 without one
  double pinLow;
  double pinHigh;
  bool computesWorstCase;
  bool boundsCurrent;  // a finite current bound: a filter of its own
  bool computesYield;
  bool filtersYield;
  bool ranksByYield;
  // The standard deviations of the reference and of the pin current.
  double vfbSigma;
  double pinSigma;
};

inline DesignLimits ResolveDesign(const DesignRequest& design, const SearchRequest& request) {
  DesignLimits limits;
  limits.lowFactor = 1.0 - design.tolerancePercent * 0.01;
  limits.highFactor = 1.0 + design.tolerancePercent * 0.01;
  limits.vfbLow = design.vfbMin.value_or(request.Vfb);
  limits.vfbHigh = design.vfbMax.value_or(request.Vfb);
  limits.pin = design.pinCurrent.value_or(0.0);
  limits.pinLow = design.pinCurrentMin.value_or(limits.pin);
  limits.pinHigh = design.pinCurrentMax.value_or(limits.pin);
  limits.computesWorstCase = design.reportsWorstCase || design.worstCaseInWindow;
  limits.boundsCurrent =
      design.reportsCurrent && (design.currentMin != -HUGE_VAL || design.currentMax != HUGE_VAL);
  limits.filtersYield = design.yieldMin > 0.0;
  limits.ranksByYield = design.bestCount > 0 && design.bestRank == BestRank::Yield;
  limits.computesYield = design.reportsYield || limits.filtersYield || limits.ranksByYield;
  auto larger = [](double a, double b) { return a > b ? a : b; };
  limits.vfbSigma = larger(request.Vfb - limits.vfbLow, limits.vfbHigh - request.Vfb) / design.sigmaCount;
  limits.pinSigma = larger(limits.pin - limits.pinLow, limits.pinHigh - limits.pin) / design.sigmaCount;
  return limits;
}

// One search in progress: the inputs and the table being filled.
struct SearchPass {
  const SearchRequest* request;
  const StockTable* stock;
  MatchTable* matches;
  int count;           // entries used, 0..kStockCapacity
  int serial;          // the records' `serial` field
  bool r3DnmOnly;
  const DesignRequest* design;  // null: the window's search
  DesignLimits limits;          // with a design request
  BestSelection* selection;     // with design->bestCount
  int qualified;                // with design->bestCount: combinations that passed
  double pin;                   // the typical pin current: 0, or in the form
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
  pass->design = options.design;
  pass->selection = options.selection;
  pass->qualified = 0;
  const DesignRequest* design = options.design;
  if (design != nullptr) pass->limits = ResolveDesign(*design, request);
  pass->pin = design != nullptr ? pass->limits.pin : 0.0;
  assert((design == nullptr || design->bestCount <= 0 || options.selection != nullptr) &&
         "a best-N search needs its selection scratch");
  for (int k = 0; k < pass->count; ++k)
    pass->pairTerm[k] = serial ? stock.entries[k].value : stock.entries[k].conductance;
  matches->count = 0;
  return configuration + (serial ? 4 : 0) + (pass->pin != 0.0 ? kWithPinCurrent : 0);
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

inline double RoundToNanovolts(double vo) { return std::floor(vo * 1000000000.0 + 0.5) / 1000000000.0; }

// A resistor's corner: the value scaled, the conductance taken anew. The
// open entry (DNM, conductance 0) stays open at every corner.
inline double CornerValue(const StockEntry& entry, double factor) {
  return entry.conductance == 0.0 ? entry.value : entry.value * factor;
}
inline double CornerConductance(const StockEntry& entry, double factor) {
  if (entry.conductance == 0.0) return 0.0;
  double value = entry.value * factor;
  return value == 0.0 ? kZeroOhmConductance : 1.0 / value;
}

/// The least and the greatest output over the corners of R1, R2, R3, Vfb
/// and the pin current (16, or 32 with a pin current's limits), each
/// computed with the very expression of the match's own voltage; both NaN
/// when any corner is.
template <int kForm>
void WorstCase(const SearchPass& pass, int i, int j, int k, double* least, double* greatest) {
  constexpr bool kSerial = IsSerial(kForm);
  const DesignLimits& limits = pass.limits;
  const StockEntry* entries = pass.stock->entries;
  const double factors[2] = {limits.lowFactor, limits.highFactor};
  const double vfbs[2] = {limits.vfbLow, limits.vfbHigh};
  const double pins[2] = {limits.pinLow, limits.pinHigh};
  const int pinCorners = limits.pinLow == limits.pinHigh ? 1 : 2;
  double low = HUGE_VAL, high = -HUGE_VAL;
  bool undefined = false;
  for (double f1 : factors) {
    const double r1 = entries[i].value * f1;
    const double r1Inverse = 1.0 / r1;
    for (double f2 : factors) {
      for (double f3 : factors) {
        const double x = kSerial ? CornerValue(entries[j], f2) + CornerValue(entries[k], f3)
                                 : CornerConductance(entries[j], f2) + CornerConductance(entries[k], f3);
        for (double vfb : vfbs) {
          for (int p = 0; p < pinCorners; ++p) {
            const double vo = OutputAtPinCurrent<kForm>(vfb, pins[p], r1, r1Inverse, x);
            if (std::isnan(vo)) undefined = true;
            if (vo < low) low = vo;
            if (vo > high) high = vo;
          }
        }
      }
    }
  }
  *least = undefined ? NAN : low;
  *greatest = undefined ? NAN : high;
}

/// The current through the divider at nominal values, `vo` the unrounded
/// output. Without a pin current: Vo (in [a] and [b]) or Vfb (in [c] and
/// [d]) over R1 + R23, with R23 = 1 / G in parallel (infinite when G is 0) or
/// S in series. With one, the two legs differ by it: the current in the leg
/// that ends at ground, Vfb or Vo over R23 or R1.
template <int kForm>
double DividerCurrent(const SearchPass& pass, int i, int j, int k, double vo) {
  constexpr bool kSerial = IsSerial(kForm);
  constexpr int kConfiguration = ConfigurationOf(kForm);
  const double x = pass.pairTerm[j] + pass.pairTerm[k];
  const double vfb = pass.request->Vfb;
  const double r1 = pass.stock->entries[i].value;
  if (pass.design->pinCurrent) {
    if constexpr (kConfiguration == 0) return kSerial ? vfb / x : vfb * x;
    if constexpr (kConfiguration == 1) return vfb / r1;
    if constexpr (kConfiguration == 2) return kSerial ? vo / x : vo * x;
    return vo / r1;
  }
  const double r23 = kSerial ? x : 1.0 / x;
  return (kConfiguration <= 1 ? vo : vfb) / (r1 + r23);
}

/// The share of boards inside the window when R1, R2, R3, Vfb and the pin
/// current are independent and normal around their nominal values, each
/// tolerance or limit `sigmaCount` standard deviations away: the output
/// linearised around `vo`, the unrounded nominal output, by the central
/// difference of the match's own form for each quantity in turn.
template <int kForm>
double Yield(const SearchPass& pass, int i, int j, int k, double vo) {
  constexpr bool kSerial = IsSerial(kForm);
  const DesignRequest& design = *pass.design;
  const DesignLimits& limits = pass.limits;
  const SearchRequest& request = *pass.request;
  const StockEntry* entries = pass.stock->entries;
  const double vfb = request.Vfb;
  const double pin = limits.pin;
  const double r1 = entries[i].value;
  const double termJ = pass.pairTerm[j];
  const double termK = pass.pairTerm[k];
  auto output = [&](double atVfb, double atPin, double atR1, double x) {
    return OutputAtPinCurrent<kForm>(atVfb, atPin, atR1, 1.0 / atR1, x);
  };
  // DNM stays open, and a zero-ohm part has no spread.
  auto sigma = [&](const StockEntry& entry) {
    return entry.conductance == 0.0 ? 0.0 : entry.value * design.tolerancePercent / 100.0 / design.sigmaCount;
  };
  auto term = [](double value) { return kSerial ? value : 1.0 / value; };
  double sum = 0.0;
  auto add = [&sum](double high, double low) {
    const double d = (high - low) / 2.0;
    sum += d * d;
  };
  const double x = termJ + termK;
  if (const double s = sigma(entries[i]); s != 0.0) add(output(vfb, pin, r1 + s, x), output(vfb, pin, r1 - s, x));
  if (const double s = sigma(entries[j]); s != 0.0) {
    add(output(vfb, pin, r1, term(entries[j].value + s) + termK),
        output(vfb, pin, r1, term(entries[j].value - s) + termK));
  }
  if (const double s = sigma(entries[k]); s != 0.0) {
    add(output(vfb, pin, r1, termJ + term(entries[k].value + s)),
        output(vfb, pin, r1, termJ + term(entries[k].value - s)));
  }
  if (const double s = limits.vfbSigma; s != 0.0) add(output(vfb + s, pin, r1, x), output(vfb - s, pin, r1, x));
  if (const double s = limits.pinSigma; s != 0.0) add(output(vfb, pin + s, r1, x), output(vfb, pin - s, r1, x));
  const double spread = std::sqrt(sum);
  if (spread == 0.0) return request.Vmin <= vo && vo <= request.Vmax ? 1.0 : 0.0;
  return NormalCdf((request.Vmax - vo) / spread) - NormalCdf((request.Vmin - vo) / spread);
}

inline void FillRecord(const SearchPass& pass, int i, int j, int k, double v, MatchRecord* record) {
  const SearchRequest& request = *pass.request;
  const StockEntry* entries = pass.stock->entries;
  std::memcpy(record->r1, entries[i].name, kNameSize);
  std::memcpy(record->r2, entries[j].name, kNameSize);
  std::memcpy(record->r3, entries[k].name, kNameSize);
  record->r1[kNameSize - 1] = record->r2[kNameSize - 1] = record->r3[kNameSize - 1] = '\0';
  record->serial = pass.serial;
  record->vout = v;
  record->deviation = request.Vtyp != 0.0 ? (v / request.Vtyp - 1.0) * 100.0 : 0.0;
  record->entry[0] = static_cast<int16_t>(i);
  record->entry[1] = static_cast<int16_t>(j);
  record->entry[2] = static_cast<int16_t>(k);
  record->least = record->greatest = record->dividerCurrent = record->yield = 0.0;
}

// --- The best N ---------------------------------------------------------------

// The selection's order: the higher yield first (when it ranks by yield),
// then the nearer, then the earlier in production order.
inline bool Farther(const BestSelection& selection, const MatchTable& matches, int a, int b) {
  if (selection.yield[a] != selection.yield[b]) return selection.yield[a] < selection.yield[b];
  if (selection.distance[a] != selection.distance[b]) return selection.distance[a] > selection.distance[b];
  const int16_t* x = matches.records[a].entry;
  const int16_t* y = matches.records[b].entry;
  if (x[0] != y[0]) return x[0] > y[0];
  if (x[1] != y[1]) return x[1] > y[1];
  return x[2] > y[2];
}

// Restores the heap from `at` down, the farthest on top.
inline void SiftDown(BestSelection* selection, const MatchTable& matches, int held, int at) {
  int16_t* heap = selection->heap;
  for (;;) {
    int farthest = at;
    for (int child = 2 * at + 1; child <= 2 * at + 2 && child < held; ++child) {
      if (Farther(*selection, matches, heap[child], heap[farthest])) farthest = child;
    }
    if (farthest == at) return;
    std::swap(heap[at], heap[farthest]);
    at = farthest;
  }
}

inline void SiftUp(BestSelection* selection, const MatchTable& matches, int at) {
  int16_t* heap = selection->heap;
  while (at > 0) {
    int parent = (at - 1) / 2;
    if (!Farther(*selection, matches, heap[at], heap[parent])) return;
    std::swap(heap[at], heap[parent]);
    at = parent;
  }
}

/// Once the selection is full, a combination enters only nearer to Vtyp
/// than this, the farthest held; while it has room every one enters, and
/// this is infinite. Ranked by yield, that holds only once the lowest yield
/// held is 1, which none exceeds; until then it is infinite too.
inline double EntryBound(const SearchPass& pass) {
  if (pass.matches->count < pass.design->bestCount) return HUGE_VAL;
  const int farthest = pass.selection->heap[0];
  if (pass.limits.ranksByYield && pass.selection->yield[farthest] != 1.0) return HUGE_VAL;
  return pass.selection->distance[farthest];
}

// Who counts the combinations of a best-N search that pass: each offer, as
// the plain loop does, or the caller, who has counted their whole run.
enum class Counting { PerOffer, PerRun };

/// Offers a combination that passed the window and the digits to the
/// design request. Returns true when the table has just become full.
template <int kForm, Counting kCounting>
bool OfferToDesign(SearchPass* pass, int i, int j, int k, double vo, double v) {
  const DesignRequest& design = *pass->design;
  const DesignLimits& limits = pass->limits;
  const SearchRequest& request = *pass->request;
  double current = 0.0;
  if (design.reportsCurrent) {
    current = DividerCurrent<kForm>(*pass, i, j, k, vo);
    if (limits.boundsCurrent && !(design.currentMin <= current && current <= design.currentMax)) {
      return false;
    }
  }
  double least = 0.0, greatest = 0.0;
  const bool best = design.bestCount > 0;
  if (limits.computesWorstCase) {
    // Of a best-N candidate the worst case is needed only to filter, or once
    // it enters.
    if (design.worstCaseInWindow || !best) WorstCase<kForm>(*pass, i, j, k, &least, &greatest);
    if (design.worstCaseInWindow && !(request.Vmin <= least && greatest <= request.Vmax)) return false;
  }
  // So is the yield, unless it filters or ranks.
  double yield = 0.0;
  const bool yieldDecides = limits.filtersYield || limits.ranksByYield;
  if (limits.computesYield && (yieldDecides || !best)) {
    yield = Yield<kForm>(*pass, i, j, k, vo);
    if (limits.filtersYield && !(yield >= design.yieldMin)) return false;
  }

  MatchTable* matches = pass->matches;
  if (!best) {
    MatchRecord* record = &matches->records[matches->count];
    FillRecord(*pass, i, j, k, v, record);
    record->least = RoundToNanovolts(least);
    record->greatest = RoundToNanovolts(greatest);
    record->dividerCurrent = current;
    record->yield = yield;
    return ++matches->count >= kMatchCapacity;
  }

  if constexpr (kCounting == Counting::PerOffer) ++pass->qualified;
  double distance = std::fabs(v - request.Vtyp);
  if (std::isnan(distance)) distance = HUGE_VAL;  // the farthest of all
  // Ranked by yield, one that could not be had is the lowest of all.
  const double rankYield = !limits.ranksByYield ? 0.0 : std::isnan(yield) ? -1.0 : yield;
  BestSelection* selection = pass->selection;
  const bool full = matches->count >= design.bestCount;
  if (full) {
    // Every combination held was produced before this one: a tie stays out.
    const int farthest = selection->heap[0];
    const double heldYield = selection->yield[farthest];
    if (rankYield < heldYield) return false;
    if (rankYield == heldYield && !(distance < selection->distance[farthest])) return false;
  }
  if (limits.computesWorstCase && !design.worstCaseInWindow) {
    WorstCase<kForm>(*pass, i, j, k, &least, &greatest);
  }
  if (limits.computesYield && !yieldDecides) yield = Yield<kForm>(*pass, i, j, k, vo);

  const int slot = full ? selection->heap[0] : matches->count;
  MatchRecord* record = &matches->records[slot];
  FillRecord(*pass, i, j, k, v, record);
  record->least = limits.computesWorstCase ? RoundToNanovolts(least) : 0.0;
  record->greatest = limits.computesWorstCase ? RoundToNanovolts(greatest) : 0.0;
  record->dividerCurrent = current;
  record->yield = yield;
  selection->distance[slot] = distance;
  selection->yield[slot] = rankYield;
  if (full) {
    SiftDown(selection, *matches, matches->count, 0);
  } else {
    selection->heap[matches->count] = static_cast<int16_t>(slot);
    SiftUp(selection, *matches, matches->count++);
  }
  return false;
}

/// Offers the combination (i, j, k) with output voltage `vo`: appends it when
/// it lies in the window, fits the digits and passes the design request.
/// Returns true when the table has just become full, which ends the search.
template <int kForm, Counting kCounting = Counting::PerOffer>
inline bool Offer(SearchPass* pass, int i, int j, int k, double vo) {
  const SearchRequest& request = *pass->request;
  if (!(request.Vmin <= vo && vo <= request.Vmax)) return false;
  double v = RoundToNanovolts(vo);
  if (request.DigitCount != 0 && !FitsDigits(v, request.DigitCount)) return false;
  if (pass->design != nullptr) return OfferToDesign<kForm, kCounting>(pass, i, j, k, vo, v);
  MatchTable* matches = pass->matches;
  FillRecord(*pass, i, j, k, v, &matches->records[matches->count]);
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
  const double pin = pass->pin;
  const double r1 = pass->stock->entries[i].value;
  const double r1Inverse = 1.0 / r1;
  const double* term = pass->pairTerm;
  for (int j = 0; j < n - 1; ++j) {
    for (int k = pass->r3DnmOnly ? n - 1 : j; k < n; ++k) {
      double vo = OutputVoltage<kForm>(vfb, pin, r1, r1Inverse, term[j] + term[k]);
      if (Offer<kForm>(pass, i, j, k, vo)) return true;
    }
  }
  return false;
}

/// How many combinations qualified once the pass is over.
inline int QualifiedCount(const SearchPass& pass) {
  return pass.design != nullptr && pass.design->bestCount > 0 ? pass.qualified : pass.matches->count;
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
    case kSerialD: Run<kSerialD>::Go(args...); break;
    case kParallelA | kWithPinCurrent: Run<kParallelA | kWithPinCurrent>::Go(args...); break;
    case kParallelB | kWithPinCurrent: Run<kParallelB | kWithPinCurrent>::Go(args...); break;
    case kParallelC | kWithPinCurrent: Run<kParallelC | kWithPinCurrent>::Go(args...); break;
    case kParallelD | kWithPinCurrent: Run<kParallelD | kWithPinCurrent>::Go(args...); break;
    case kSerialA | kWithPinCurrent: Run<kSerialA | kWithPinCurrent>::Go(args...); break;
    case kSerialB | kWithPinCurrent: Run<kSerialB | kWithPinCurrent>::Go(args...); break;
    case kSerialC | kWithPinCurrent: Run<kSerialC | kWithPinCurrent>::Go(args...); break;
    default: Run<kSerialD | kWithPinCurrent>::Go(args...); break;
  }
}

}  // namespace tapsmith::kernel
