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

// A design request in the numbers the search works with, resolved once:
// the window's search has the defaults, a divider of nominal parts.
struct DesignLimits {
  DesignReports reports = {false, false, false};
  // A resistor's corners are value * lowFactor and value * highFactor, the
  // reference's vfbLow and vfbHigh, the pin current's pinLow and pinHigh.
  double tolerancePercent = 0.0;
  double lowFactor = 1.0;
  double highFactor = 1.0;
  double vfbLow = 0.0;
  double vfbHigh = 0.0;
  double pin = 0.0;  // the typical pin current, 0 without one
  double pinLow = 0.0;
  double pinHigh = 0.0;
  // The filters, each applied to a combination after the window and digits.
  bool filtersWorstCase = false;
  bool boundsCurrent = false;
  double currentLow = -HUGE_VAL;
  double currentHigh = HUGE_VAL;
  bool filtersYield = false;
  double yieldMin = 0.0;
  // The best N, and their rank.
  int bestCount = 0;
  bool ranksByYield = false;
  // The yield's standard deviations: a resistor's is its value times
  // tolerancePercent / 100 / sigmaCount; the reference's and the pin
  // current's are these.
  double sigmaCount = 3.0;
  double vfbSigma = 0.0;
  double pinSigma = 0.0;

  bool computesYield() const { return reports.yield; }
  bool computesWorstCase() const { return reports.worstCase; }
};

inline DesignLimits ResolveDesign(const DesignRequest* design, const SearchRequest& request) {
  DesignLimits limits;
  limits.vfbLow = limits.vfbHigh = request.Vfb;
  if (design == nullptr) return limits;
  limits.reports = ReportsOf(*design);
  limits.tolerancePercent = design->tolerancePercent.value_or(0.0);
  limits.lowFactor = 1.0 - limits.tolerancePercent * 0.01;
  limits.highFactor = 1.0 + limits.tolerancePercent * 0.01;
  limits.vfbLow = design->vfbMin.value_or(request.Vfb);
  limits.vfbHigh = design->vfbMax.value_or(request.Vfb);
  limits.pin = design->pinCurrent.value_or(0.0);
  limits.pinLow = design->pinCurrentMin.value_or(limits.pin);
  limits.pinHigh = design->pinCurrentMax.value_or(limits.pin);
  limits.filtersWorstCase = design->worstCaseInWindow;
  limits.boundsCurrent = design->currentMin.has_value() || design->currentMax.has_value();
  limits.currentLow = design->currentMin.value_or(-HUGE_VAL);
  limits.currentHigh = design->currentMax.value_or(HUGE_VAL);
  limits.filtersYield = design->yieldMin.has_value();
  limits.yieldMin = design->yieldMin.value_or(0.0);
  limits.bestCount = design->bestCount;
  limits.ranksByYield = design->bestCount > 0 && design->bestRank == BestRank::Yield;
  limits.sigmaCount = design->sigmaCount.value_or(3.0);
  auto larger = [](double a, double b) { return a > b ? a : b; };
  limits.vfbSigma = larger(request.Vfb - limits.vfbLow, limits.vfbHigh - request.Vfb) / limits.sigmaCount;
  limits.pinSigma = larger(limits.pin - limits.pinLow, limits.pinHigh - limits.pin) / limits.sigmaCount;
  return limits;
}

// A pair member's term when its value is moved to `value`, as at a corner
// of the worst case or an end of the yield's difference: the value itself
// in series, its conductance taken anew in parallel. The open entry (DNM,
// conductance 0) stays open whatever the value.
template <bool kSerial>
inline double PairTermAt(const StockEntry& entry, double value) {
  if (entry.conductance == 0.0) return kSerial ? entry.value : 0.0;
  if constexpr (kSerial) return value;
  return value == 0.0 ? kZeroOhmConductance : 1.0 / value;
}

// One search in progress: the inputs and the table being filled.
struct SearchPass {
  const SearchRequest* request;
  const StockTable* stock;
  MatchTable* matches;
  int count;           // entries used, 0..kStockCapacity
  int serial;          // the records' `serial` field
  bool r3DnmOnly;
  R4Mode r4;           // how R4 joins R1
  bool designs;                 // a design search; else the window's
  DesignLimits limits;          // the window's search: a nominal divider
  BestSelection* selection;     // with a best N
  int64_t qualified;            // with a best N: combinations that passed
  MatchVisitor* visitor;        // receives every match instead of the table
  MatchRecord visited;          // the record it is given
  // Per entry, the term summed for the pair: conductance or value; and with
  // the worst case as a filter, the same at the low and the high corner.
  double pairTerm[kStockCapacity];
  double cornerTerm[2][kStockCapacity];
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
  pass->r4 = options.r4;
  pass->designs = options.design != nullptr;
  pass->limits = ResolveDesign(options.design, request);
  pass->selection = options.selection;
  pass->qualified = 0;
  pass->visitor = options.visitor;
  assert((options.visitor == nullptr || pass->limits.bestCount <= 0) && "a visited search keeps no best N");
  assert((pass->limits.bestCount <= 0 || options.selection != nullptr) &&
         "a best-N search needs its selection scratch");
  for (int k = 0; k < pass->count; ++k)
    pass->pairTerm[k] = serial ? stock.entries[k].value : stock.entries[k].conductance;
  if (pass->limits.filtersWorstCase) {
    const double factors[2] = {pass->limits.lowFactor, pass->limits.highFactor};
    for (int corner = 0; corner < 2; ++corner) {
      for (int k = 0; k < pass->count; ++k) {
        const StockEntry& entry = stock.entries[k];
        pass->cornerTerm[corner][k] = serial ? PairTermAt<true>(entry, entry.value * factors[corner])
                                             : PairTermAt<false>(entry, entry.value * factors[corner]);
      }
    }
  }
  matches->count = 0;
  return configuration + (serial ? 4 : 0) + (pass->limits.pin != 0.0 ? kWithPinCurrent : 0);
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

// The leg of R1: R1 alone, or R1 joined by R4 in parallel or in series. Its
// value L takes R1's place in every form, 1 / L that of 1 / R1.
struct Leg {
  int r1;          // the entries of R1 and R4 (-1 without R4)
  int r4;
  double value;    // L
  double inverse;  // 1 / L
};

/// L with R1 moved to `v1` and R4 to `v4`, as at a corner of the worst case
/// or an end of the yield's difference: R1 + R4, or 1 / (c1 + c4) with the
/// conductances taken anew; R4 = DNM in parallel leaves R1 alone, exactly.
inline double LegAt(R4Mode mode, const StockEntry& r1, double v1, const StockEntry* r4, double v4) {
  switch (mode) {
    case R4Mode::None: break;
    case R4Mode::Series: return v1 + PairTermAt<true>(*r4, v4);
    case R4Mode::Parallel:
      if (r4->conductance == 0.0) break;
      return 1.0 / (PairTermAt<false>(r1, v1) + PairTermAt<false>(*r4, v4));
  }
  return v1;
}

/// The leg of R1 = entry i and R4 = entry l (l < 0: none) at nominal values.
inline Leg LegOf(R4Mode mode, const StockTable& stock, int i, int l) {
  const StockEntry& r1 = stock.entries[i];
  const StockEntry* r4 = l >= 0 ? &stock.entries[l] : nullptr;
  const double value = LegAt(mode, r1, r1.value, r4, r4 != nullptr ? r4->value : 0.0);
  return {i, l, value, 1.0 / value};
}

/// The least and the greatest output over the corners of R1, R4, R2, R3,
/// Vfb and the pin current (16 without R4, 32 with it; twice as many with a
/// pin current's limits), each computed with the very expression of the
/// match's own voltage; both NaN when any corner is.
template <int kForm>
void WorstCase(const SearchPass& pass, const Leg& leg, int j, int k, double* least, double* greatest) {
  constexpr bool kSerial = IsSerial(kForm);
  const DesignLimits& limits = pass.limits;
  const StockEntry* entries = pass.stock->entries;
  const StockEntry& r1 = entries[leg.r1];
  const StockEntry* r4 = leg.r4 >= 0 ? &entries[leg.r4] : nullptr;
  const double factors[2] = {limits.lowFactor, limits.highFactor};
  const double vfbs[2] = {limits.vfbLow, limits.vfbHigh};
  const double pins[2] = {limits.pinLow, limits.pinHigh};
  const int pinCorners = limits.pinLow == limits.pinHigh ? 1 : 2;
  const int r4Corners = r4 != nullptr ? 2 : 1;
  double low = HUGE_VAL, high = -HUGE_VAL;
  bool undefined = false;
  for (double f1 : factors) {
    for (int f4 = 0; f4 < r4Corners; ++f4) {
      const double value = LegAt(pass.r4, r1, r1.value * f1, r4, r4 != nullptr ? r4->value * factors[f4] : 0.0);
      const double inverse = 1.0 / value;
      for (double f2 : factors) {
        for (double f3 : factors) {
          const double x = PairTermAt<kSerial>(entries[j], entries[j].value * f2) +
                           PairTermAt<kSerial>(entries[k], entries[k].value * f3);
          for (double vfb : vfbs) {
            for (int p = 0; p < pinCorners; ++p) {
              const double vo = OutputAtPinCurrent<kForm>(vfb, pins[p], value, inverse, x);
              if (std::isnan(vo)) undefined = true;
              if (vo < low) low = vo;
              if (vo > high) high = vo;
            }
          }
        }
      }
    }
  }
  *least = undefined ? NAN : low;
  *greatest = undefined ? NAN : high;
}

/// The current through the leg that ends at ground at nominal values, `vo`
/// the unrounded output. Without a pin current both legs carry it: Vo (in
/// [a] and [b]) or Vfb (in [c] and [d]) over L + R23, with R23 = 1 / G in
/// parallel (infinite when G is 0) or S in series and L R1's leg. With one,
/// the legs differ by it: Vfb or Vo over R23 or L.
template <int kForm>
double DividerCurrent(const SearchPass& pass, const Leg& leg, int j, int k, double vo) {
  constexpr bool kSerial = IsSerial(kForm);
  constexpr int kConfiguration = ConfigurationOf(kForm);
  const double x = pass.pairTerm[j] + pass.pairTerm[k];
  const double vfb = pass.request->Vfb;
  const double r1 = leg.value;
  if (pass.limits.pin != 0.0) {
    if constexpr (kConfiguration == 0) return kSerial ? vfb / x : vfb * x;
    if constexpr (kConfiguration == 1) return vfb / r1;
    if constexpr (kConfiguration == 2) return kSerial ? vo / x : vo * x;
    return vo / r1;
  }
  const double r23 = kSerial ? x : 1.0 / x;
  return (kConfiguration <= 1 ? vo : vfb) / (r1 + r23);
}

/// The share of boards inside the window when R1, R4, R2, R3, Vfb and the
/// pin current are independent and normal around their nominal values, each
/// tolerance or limit `sigmaCount` standard deviations away: the output
/// linearised around `vo`, the unrounded nominal output, by the central
/// difference of the match's own form for each quantity in turn, in that
/// order.
template <int kForm>
double Yield(const SearchPass& pass, const Leg& leg, int j, int k, double vo) {
  constexpr bool kSerial = IsSerial(kForm);
  const DesignLimits& limits = pass.limits;
  const SearchRequest& request = *pass.request;
  const StockEntry* entries = pass.stock->entries;
  const StockEntry& r1 = entries[leg.r1];
  const StockEntry* r4 = leg.r4 >= 0 ? &entries[leg.r4] : nullptr;
  const double v4 = r4 != nullptr ? r4->value : 0.0;
  const double vfb = request.Vfb;
  const double pin = limits.pin;
  const double termJ = pass.pairTerm[j];
  const double termK = pass.pairTerm[k];
  auto output = [&](double atVfb, double atPin, double atLeg, double x) {
    return OutputAtPinCurrent<kForm>(atVfb, atPin, atLeg, 1.0 / atLeg, x);
  };
  // DNM stays open, and a zero-ohm part has no spread.
  auto sigma = [&](const StockEntry& entry) {
    return entry.conductance == 0.0 ? 0.0 : entry.value * limits.tolerancePercent / 100.0 / limits.sigmaCount;
  };
  double sum = 0.0;
  auto add = [&sum](double high, double low) {
    const double d = (high - low) / 2.0;
    sum += d * d;
  };
  const double l = leg.value;
  const double x = termJ + termK;
  if (const double s = sigma(r1); s != 0.0) {
    add(output(vfb, pin, LegAt(pass.r4, r1, r1.value + s, r4, v4), x),
        output(vfb, pin, LegAt(pass.r4, r1, r1.value - s, r4, v4), x));
  }
  if (const double s = r4 != nullptr ? sigma(*r4) : 0.0; s != 0.0) {
    add(output(vfb, pin, LegAt(pass.r4, r1, r1.value, r4, v4 + s), x),
        output(vfb, pin, LegAt(pass.r4, r1, r1.value, r4, v4 - s), x));
  }
  if (const double s = sigma(entries[j]); s != 0.0) {
    add(output(vfb, pin, l, PairTermAt<kSerial>(entries[j], entries[j].value + s) + termK),
        output(vfb, pin, l, PairTermAt<kSerial>(entries[j], entries[j].value - s) + termK));
  }
  if (const double s = sigma(entries[k]); s != 0.0) {
    add(output(vfb, pin, l, termJ + PairTermAt<kSerial>(entries[k], entries[k].value + s)),
        output(vfb, pin, l, termJ + PairTermAt<kSerial>(entries[k], entries[k].value - s)));
  }
  if (const double s = limits.vfbSigma; s != 0.0) add(output(vfb + s, pin, l, x), output(vfb - s, pin, l, x));
  if (const double s = limits.pinSigma; s != 0.0) add(output(vfb, pin + s, l, x), output(vfb, pin - s, l, x));
  const double spread = std::sqrt(sum);
  if (spread == 0.0) return request.Vmin <= vo && vo <= request.Vmax ? 1.0 : 0.0;
  return NormalCdf((request.Vmax - vo) / spread) - NormalCdf((request.Vmin - vo) / spread);
}

// What a design search measures of a combination, each when it is needed.
struct Measures {
  double current = 0.0;
  double least = 0.0;
  double greatest = 0.0;
  double yield = 0.0;
  bool hasWorstCase = false;
  bool hasYield = false;
};

template <int kForm>
void MeasureWorstCase(const SearchPass& pass, const Leg& leg, int j, int k, Measures* measures) {
  if (measures->hasWorstCase) return;
  WorstCase<kForm>(pass, leg, j, k, &measures->least, &measures->greatest);
  measures->hasWorstCase = true;
}

template <int kForm>
void MeasureYield(const SearchPass& pass, const Leg& leg, int j, int k, double vo, Measures* measures) {
  if (measures->hasYield) return;
  measures->yield = Yield<kForm>(pass, leg, j, k, vo);
  measures->hasYield = true;
}

/// The design request's filters, in turn: the current's bounds, the whole
/// worst case inside the window, the least yield. Measures what they need.
template <int kForm>
bool PassesFilters(const SearchPass& pass, const Leg& leg, int j, int k, double vo, Measures* measures) {
  const DesignLimits& limits = pass.limits;
  const SearchRequest& request = *pass.request;
  measures->current = DividerCurrent<kForm>(pass, leg, j, k, vo);
  if (limits.boundsCurrent && !(limits.currentLow <= measures->current && measures->current <= limits.currentHigh)) {
    return false;
  }
  if (limits.filtersWorstCase) {
    MeasureWorstCase<kForm>(pass, leg, j, k, measures);
    if (!(request.Vmin <= measures->least && measures->greatest <= request.Vmax)) return false;
  }
  if (limits.filtersYield) {
    MeasureYield<kForm>(pass, leg, j, k, vo, measures);
    if (!(measures->yield >= limits.yieldMin)) return false;
  }
  return true;
}

/// What every match reports and the filters left unmeasured.
template <int kForm>
void MeasureReports(const SearchPass& pass, const Leg& leg, int j, int k, double vo, Measures* measures) {
  if (pass.limits.computesWorstCase()) MeasureWorstCase<kForm>(pass, leg, j, k, measures);
  if (pass.limits.computesYield()) MeasureYield<kForm>(pass, leg, j, k, vo, measures);
}

inline void FillRecord(const SearchPass& pass, const Leg& leg, int j, int k, double v, const Measures& measures,
                       MatchRecord* record) {
  const SearchRequest& request = *pass.request;
  const StockEntry* entries = pass.stock->entries;
  // R4 = DNM in parallel is R1 alone, and written so.
  const bool showsR4 = leg.r4 >= 0 && !(pass.r4 == R4Mode::Parallel && entries[leg.r4].conductance == 0.0);
  std::memcpy(record->r1, entries[leg.r1].name, kNameSize);
  std::memcpy(record->r2, entries[j].name, kNameSize);
  std::memcpy(record->r3, entries[k].name, kNameSize);
  if (showsR4) {
    std::memcpy(record->r4, entries[leg.r4].name, kNameSize);
  } else {
    std::memset(record->r4, 0, kNameSize);
  }
  record->r1[kNameSize - 1] = record->r2[kNameSize - 1] = record->r3[kNameSize - 1] = '\0';
  record->r4[kNameSize - 1] = '\0';
  record->serial = pass.serial;
  record->r4Mode = showsR4 ? pass.r4 : R4Mode::None;
  record->vout = v;
  record->deviation = request.Vtyp != 0.0 ? (v / request.Vtyp - 1.0) * 100.0 : 0.0;
  record->entry[0] = static_cast<int16_t>(leg.r1);
  record->entry[1] = static_cast<int16_t>(leg.r4);
  record->entry[2] = static_cast<int16_t>(j);
  record->entry[3] = static_cast<int16_t>(k);
  record->dividerCurrent = measures.current;
  record->least = measures.hasWorstCase ? RoundToNanovolts(measures.least) : 0.0;
  record->greatest = measures.hasWorstCase ? RoundToNanovolts(measures.greatest) : 0.0;
  record->yield = measures.hasYield ? measures.yield : 0.0;
}

/// Appends a combination to the table, or gives it to the visitor. Returns
/// true when the table has just become full.
inline bool AppendMatch(SearchPass* pass, const Leg& leg, int j, int k, double v, const Measures& measures) {
  if (pass->visitor != nullptr) {
    FillRecord(*pass, leg, j, k, v, measures, &pass->visited);
    pass->visitor->Visit(pass->visited);
    return false;
  }
  MatchTable* matches = pass->matches;
  FillRecord(*pass, leg, j, k, v, measures, &matches->records[matches->count]);
  return ++matches->count >= kMatchCapacity;
}

// --- The best N ---------------------------------------------------------------

// The selection's order: the higher yield first (when it ranks by yield),
// then the nearer, then the earlier in production order.
inline bool Farther(const BestSelection& selection, const MatchTable& matches, int a, int b) {
  if (selection.yield[a] != selection.yield[b]) return selection.yield[a] < selection.yield[b];
  if (selection.distance[a] != selection.distance[b]) return selection.distance[a] > selection.distance[b];
  const int16_t* x = matches.records[a].entry;
  const int16_t* y = matches.records[b].entry;
  for (int n = 0; n < 3; ++n) {
    if (x[n] != y[n]) return x[n] > y[n];
  }
  return x[3] > y[3];
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
  if (pass.matches->count < pass.limits.bestCount) return HUGE_VAL;
  const int farthest = pass.selection->heap[0];
  if (pass.limits.ranksByYield && pass.selection->yield[farthest] != 1.0) return HUGE_VAL;
  return pass.selection->distance[farthest];
}

// A combination's place in the selection's order, but for production order.
struct Rank {
  double yield;     // ranked by yield: its yield (-1 if it could not be had); else 0
  double distance;  // fabs(v - Vtyp), infinite when NaN
};

template <int kForm>
Rank RankOf(const SearchPass& pass, const Leg& leg, int j, int k, double vo, double v, Measures* measures) {
  double distance = std::fabs(v - pass.request->Vtyp);
  if (std::isnan(distance)) distance = HUGE_VAL;  // the farthest of all
  if (!pass.limits.ranksByYield) return {0.0, distance};
  MeasureYield<kForm>(pass, leg, j, k, vo, measures);
  return {std::isnan(measures->yield) ? -1.0 : measures->yield, distance};
}

/// Whether a combination of `rank` enters the selection: always while it
/// has room; once full, only ahead of the farthest held. Every combination
/// held was produced before it, so a tie stays out.
inline bool EntersSelection(const SearchPass& pass, const Rank& rank) {
  if (pass.matches->count < pass.limits.bestCount) return true;
  const BestSelection& selection = *pass.selection;
  const int farthest = selection.heap[0];
  if (rank.yield != selection.yield[farthest]) return rank.yield > selection.yield[farthest];
  return rank.distance < selection.distance[farthest];
}

/// Puts the combination into the selection, in place of the farthest held
/// once it is full.
inline void AdmitToSelection(SearchPass* pass, const Leg& leg, int j, int k, double v, const Measures& measures,
                             const Rank& rank) {
  MatchTable* matches = pass->matches;
  BestSelection* selection = pass->selection;
  const bool full = matches->count >= pass->limits.bestCount;
  const int slot = full ? selection->heap[0] : matches->count;
  FillRecord(*pass, leg, j, k, v, measures, &matches->records[slot]);
  selection->distance[slot] = rank.distance;
  selection->yield[slot] = rank.yield;
  if (full) {
    SiftDown(selection, *matches, matches->count, 0);
  } else {
    selection->heap[matches->count] = static_cast<int16_t>(slot);
    SiftUp(selection, *matches, matches->count++);
  }
}

// Who counts the combinations of a best-N search that pass: each offer, as
// the plain loop does, or the caller, who has counted their whole run.
enum class Counting { PerOffer, PerRun };

/// Offers a combination that passed the window and the digits to the
/// design request: filtered, measured and admitted. Returns true when the
/// table has just become full.
template <int kForm, Counting kCounting>
bool OfferToDesign(SearchPass* pass, const Leg& leg, int j, int k, double vo, double v) {
  Measures measures;
  if (!PassesFilters<kForm>(*pass, leg, j, k, vo, &measures)) return false;
  if (pass->limits.bestCount <= 0) {
    MeasureReports<kForm>(*pass, leg, j, k, vo, &measures);
    return AppendMatch(pass, leg, j, k, v, measures);
  }
  if constexpr (kCounting == Counting::PerOffer) ++pass->qualified;
  const Rank rank = RankOf<kForm>(*pass, leg, j, k, vo, v, &measures);
  if (!EntersSelection(*pass, rank)) return false;
  MeasureReports<kForm>(*pass, leg, j, k, vo, &measures);
  AdmitToSelection(pass, leg, j, k, v, measures, rank);
  return false;
}

/// Offers the combination (i, j, k) with output voltage `vo`: appends it when
/// it lies in the window, fits the digits and passes the design request.
/// Returns true when the table has just become full, which ends the search.
template <int kForm, Counting kCounting = Counting::PerOffer>
inline bool Offer(SearchPass* pass, const Leg& leg, int j, int k, double vo) {
  const SearchRequest& request = *pass->request;
  if (!(request.Vmin <= vo && vo <= request.Vmax)) return false;
  double v = RoundToNanovolts(vo);
  if (request.DigitCount != 0 && !FitsDigits(v, request.DigitCount)) return false;
  if (pass->visitor != nullptr && !pass->visitor->Wants(leg.r1, leg.r4, j, k)) return false;
  if (pass->designs) return OfferToDesign<kForm, kCounting>(pass, leg, j, k, vo, v);
  Measures measures;
  measures.current = DividerCurrent<kForm>(*pass, leg, j, k, vo);
  return AppendMatch(pass, leg, j, k, v, measures);
}

inline bool R1InWindow(const SearchPass& pass, double r1) {
  return pass.request->R1min <= r1 && r1 <= pass.request->R1max;
}

/// The plain loop over every pair for R1's leg. Returns true when the
/// table became full.
template <int kForm>
bool PlainPairsForLeg(SearchPass* pass, const Leg& leg) {
  const int n = pass->count;
  const double vfb = pass->request->Vfb;
  const double pin = pass->limits.pin;
  const double* term = pass->pairTerm;
  for (int j = 0; j < n - 1; ++j) {
    for (int k = pass->r3DnmOnly ? n - 1 : j; k < n; ++k) {
      double vo = OutputVoltage<kForm>(vfb, pin, leg.value, leg.inverse, term[j] + term[k]);
      if (Offer<kForm>(pass, leg, j, k, vo)) return true;
    }
  }
  return false;
}

/// Calls `visit(leg)` for each leg of R1 whose value lies in R1's window,
/// in production order: R1 ascending, then R4 ascending from R1 on (every
/// entry, DNM included). Without R4 the legs are the R1s alone. Stops when
/// it returns true.
template <typename Visit>
void EachLeg(const SearchPass& pass, Visit visit) {
  const int n = pass.count;
  for (int i = 0; i < n - 1; ++i) {
    for (int l = pass.r4 == R4Mode::None ? -1 : i; l < n; ++l) {
      const Leg leg = LegOf(pass.r4, *pass.stock, i, l);
      const bool wanted = pass.visitor == nullptr || pass.visitor->WantsLeg(leg.r1, leg.r4);
      if (wanted && R1InWindow(pass, leg.value) && visit(leg)) return;
      if (l < 0) break;
    }
  }
}

/// How many combinations qualified once the pass is over.
inline int64_t QualifiedCount(const SearchPass& pass) {
  return pass.limits.bestCount > 0 ? pass.qualified : pass.matches->count;
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
