// The fast search: the same matches in the same order as the plain loop,
// found without trying every pair.
//
// Why the matches of one R1 and R2 form one contiguous run of R3 entries:
// the pair term x = t[j] + t[k] (conductances, or values in series) is
// monotone in k because the table is (checked to be) monotone, and every
// voltage form is a chain of correctly rounded operations (x * R1, (1/R1) / x,
// R1 / x, (1/R1) * x, + 1, 1 / y, Vfb * z) each of which is monotone in its
// operand while no operand is NaN; rounding to nearest never reverses an
// order. So the voltage is monotone in k (and, by the same argument, in j),
// and the k with Vmin <= Vo <= Vmax are one run. Its ends are found by
// evaluating exactly the plain loop's expression; inside the run every
// combination is offered in ascending order exactly as the plain loop offers
// it. NaN can arise only from 0 * inf, inf / inf, 0 / 0 or inf - inf: they are
// ruled out by requiring R1 and 1/R1 finite and positive, Vfb finite and not
// zero, and every pair term non-negative without a sign bit. Where that does
// not hold the plain loop runs instead.
#include <cmath>
#include <cstdint>
#include <cstring>

#include "search_kernel.h"

namespace tapsmith {

namespace {

using kernel::OutputVoltage;
using kernel::SearchPass;

// Sides of the window for a voltage that rises (or falls) with the index:
// `early` holds for the first indices of a row, `late` for the last ones.
struct WindowSides {
  double low;
  double high;
  bool rising;
  bool Early(double vo) const { return rising ? !(low <= vo) : !(vo <= high); }
  bool Late(double vo) const { return rising ? !(vo <= high) : !(low <= vo); }
};

// First index in [from, to) where `holds` is true, for a predicate that is
// false and then true; `to` when it never holds.
template <typename Index, typename Predicate>
Index FirstWhere(Index from, Index to, Predicate holds) {
  while (from < to) {
    Index middle = from + (to - from) / 2;
    if (holds(middle)) {
      to = middle;
    } else {
      from = middle + 1;
    }
  }
  return from;
}

// FirstWhere in [from, hint], where `hint` holds (or stands for "nowhere"):
// one step down and then steps that double, so that an answer at or next to
// `hint` costs one or two tests and a far one the log of its distance.
template <typename Index, typename Predicate>
Index FirstWhereBelow(Index from, Index hint, Predicate holds) {
  Index high = hint;
  Index step = 1;
  while (hint - from >= step && holds(hint - step)) {
    high = hint - step;
    step *= 2;
  }
  return FirstWhere(hint - from >= step ? hint - step + 1 : from, high, holds);
}

// FirstWhere looked for outward from `hint`, where the answer is likely:
// doubling steps, then halving, at a cost in the log of the distance.
template <typename Index, typename Predicate>
Index FirstWhereNear(Index from, Index to, Index hint, Predicate holds) {
  hint = hint < from ? from : hint > to ? to : hint;
  if (hint == to || holds(hint)) return FirstWhereBelow(from, hint, holds);  // `to`: "nowhere"
  Index low = hint + 1;  // holds nowhere below
  Index step = 1;
  while (to - hint > step && !holds(hint + step)) {
    low = hint + step + 1;
    step *= 2;
  }
  return FirstWhere(low, to - hint > step ? hint + step : to, holds);
}

bool PairTermsAreMonotone(const SearchPass& pass) {
  const double* term = pass.pairTerm;
  for (int k = 0; k < pass.count; ++k) {
    if (std::signbit(term[k]) || !(term[k] >= 0.0)) return false;
    if (k > 0 && !(pass.serial ? term[k - 1] <= term[k] : term[k] <= term[k - 1])) return false;
  }
  return true;
}

template <int kForm>
bool VoltageRisesWithIndex(double vfb) {
  // With a larger R2 or R3, [b] and [c] give more output, [a] and [d] less.
  constexpr bool kRisesForPositiveVfb = kForm % 4 == 1 || kForm % 4 == 2;
  return kRisesForPositiveVfb != (vfb < 0.0);
}

// A best-N search counts every combination in the window, and so needs
// each row's run however wide the window. Along a row the output is a
// monotone function of the pair term x alone (the argument above holds for
// every x from +0 to +infinity), so the outputs in [low, high] are the
// outputs of one interval of x, found once per R1 by searching the doubles
// themselves, whose order is that of their bits. Rows are then classified by
// adding and comparing terms, not by computing outputs.
double FromBits(uint64_t bits) {
  double value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

constexpr uint64_t kInfinityBits = 0x7FF0000000000000;

// Where the search for the pair term of output `v` starts: the expression
// solved for x. Rounding and cancellation leave it some ulps off, or
// anywhere; the search finds the exact boundary from there all the same.
template <int kForm>
uint64_t GuessTermBits(double vfb, double r1, double r1Inverse, double v) {
  constexpr int kShape = kForm % 4;
  const double q = kShape <= 1 ? v / vfb - 1.0 : vfb / v - 1.0;
  double x;
  if constexpr (kForm == kernel::kParallelA || kForm == kernel::kParallelC) x = q / r1;
  if constexpr (kForm == kernel::kParallelB || kForm == kernel::kParallelD) x = r1Inverse / q;
  if constexpr (kForm == kernel::kSerialA || kForm == kernel::kSerialC) x = r1 / q;
  if constexpr (kForm == kernel::kSerialB || kForm == kernel::kSerialD) x = q / r1Inverse;
  if (!(x > 0.0)) return 0;  // NaN, negative or zero
  uint64_t bits;
  std::memcpy(&bits, &x, sizeof bits);
  return bits < kInfinityBits ? bits : kInfinityBits;
}

// The sides of an interval of pair terms, which grow with the index in
// series and shrink in parallel.
template <int kForm>
struct TermSides {
  static constexpr bool kAscending = kForm >= kernel::kSerialA;
  double low;
  double high;
  bool Early(double x) const { return kAscending ? !(low <= x) : !(x <= high); }
  bool Late(double x) const { return kAscending ? !(x <= high) : !(low <= x); }
};

template <int kForm>
TermSides<kForm> TermsWithin(const SearchPass& pass, double r1, double low, double high) {
  constexpr uint64_t kEnd = kInfinityBits + 1;
  // [a] and [d] in parallel, [b] and [c] in series rise with x.
  constexpr bool kRisingForPositiveVfb =
      kForm == kernel::kParallelA || kForm == kernel::kParallelD || kForm == kernel::kSerialB ||
      kForm == kernel::kSerialC;
  const double vfb = pass.request->Vfb;
  const double r1Inverse = 1.0 / r1;
  auto output = [&](uint64_t x) { return OutputVoltage<kForm>(vfb, r1, r1Inverse, FromBits(x)); };
  auto guess = [&](double v) { return GuessTermBits<kForm>(vfb, r1, r1Inverse, v); };
  uint64_t first, end;
  if (kRisingForPositiveVfb != (vfb < 0.0)) {
    first = FirstWhereNear<uint64_t>(0, kEnd, guess(low), [&](uint64_t x) { return low <= output(x); });
    end = FirstWhereNear<uint64_t>(first, kEnd, guess(high),
                                   [&](uint64_t x) { return !(output(x) <= high); });
  } else {
    first = FirstWhereNear<uint64_t>(0, kEnd, guess(high),
                                     [&](uint64_t x) { return output(x) <= high; });
    end = FirstWhereNear<uint64_t>(first, kEnd, guess(low),
                                   [&](uint64_t x) { return !(low <= output(x)); });
  }
  if (first >= end) return {HUGE_VAL, -HUGE_VAL};  // no x at all
  return {FromBits(first), FromBits(end - 1)};
}

// The window of what can still enter the selection, as an interval of x,
// computed anew for each R1 and whenever the selection narrowed it.
template <int kForm>
struct NarrowedTerms {
  int narrowings = -1;
  TermSides<kForm> sides{0.0, 0.0};
  int from = 0;  // where the last row's narrowed run lay
  int to = 0;

  const TermSides<kForm>* For(const SearchPass& pass, double r1) {
    if (!pass.narrowed) return nullptr;
    if (narrowings != pass.narrowings) {
      sides = TermsWithin<kForm>(pass, r1, pass.visitLow, pass.visitHigh);
      narrowings = pass.narrowings;
    }
    return &sides;
  }
};

// The run [start, stop) of one row, or of the R2 entries under "R3=DNM
// only", holds exactly the combinations inside the window. The window's
// search offers each of them; a best-N search that filters nothing counts
// the run whole and offers only the part within the narrowed window.
//
// In a row (j >= 0) the run is one of R3 entries; under "R3=DNM only" (j < 0)
// one of R2 entries with R3 = entry k. `key` is what the sides classify:
// the output, or in a best-N search the pair term.
template <int kForm, bool kCountsRuns, typename Key, typename Voltage, typename Narrowed>
bool OfferRun(SearchPass* pass, int start, int stop, Key key, Voltage voltage, Narrowed* narrowed,
              double r1, int i, int j, int k) {
  if constexpr (kCountsRuns) {
    if (stop <= start) return false;  // an empty window: low above high
    pass->qualified += stop - start;
    if (const auto* visit = narrowed->For(*pass, r1)) {
      // From row to row the narrowed run moves as the run does.
      auto reached = [&](int index) { return !visit->Early(key(index)); };
      start = FirstWhereNear(start, stop, narrowed->from, reached);
      stop = FirstWhereNear(start, stop, narrowed->to, [&](int index) { return visit->Late(key(index)); });
      narrowed->from = start;
      narrowed->to = stop;
    }
  }
  for (int index = start; index < stop; ++index) {
    if (kernel::Offer<kForm, !kCountsRuns>(pass, i, j >= 0 ? j : index, j >= 0 ? index : k,
                                           voltage(index)))
      return true;
  }
  return false;
}

// The sides that classify a row's combinations: the window on the output,
// or in a best-N search the interval of pair terms.
template <int kForm, bool kCountsRuns>
auto SidesFor(const SearchPass& pass, double r1, const WindowSides& window) {
  if constexpr (kCountsRuns) {
    return TermsWithin<kForm>(pass, r1, window.low, window.high);
  } else {
    return window;
  }
}

// All pairs (j, k), k >= j, for R1 = entry i. Returns true when the table
// became full.
//
// The run of row j is [start, stop). Along a row the voltage is monotone in
// k, and row j + 1 lies on the same side of row j as column k + 1 of column
// k, so both ends only move towards lower k as j grows: two pointers that
// only go down, and the rows end once the run's end reaches the diagonal.
template <int kForm, bool kCountsRuns>
bool FastPairsForR1(SearchPass* pass, int i, const WindowSides& window) {
  const int n = pass->count;
  const double vfb = pass->request->Vfb;
  const double r1 = pass->stock->entries[i].value;
  const double r1Inverse = 1.0 / r1;
  const double* term = pass->pairTerm;
  const auto sides = SidesFor<kForm, kCountsRuns>(*pass, r1, window);
  auto key = [&](int j, int k) {
    if constexpr (kCountsRuns) return term[j] + term[k];
    return OutputVoltage<kForm>(vfb, r1, r1Inverse, term[j] + term[k]);
  };
  NarrowedTerms<kForm> narrowed;

  // Rows before `first` are early even at their last column, rows from `end`
  // on are late already on the diagonal: both are empty.
  const int first = FirstWhere(0, n - 1, [&](int j) { return !sides.Early(key(j, n - 1)); });
  const int end = FirstWhere(first, n - 1, [&](int j) { return sides.Late(key(j, j)); });
  if (first >= end) return false;
  int start = FirstWhere(first, n, [&](int k) { return !sides.Early(key(first, k)); });
  int stop = FirstWhere(first, n, [&](int k) { return sides.Late(key(first, k)); });
  for (int j = first; j < end; ++j) {
    if (j > first && kCountsRuns) {
      // A wide window's ends can sweep the whole table within a few rows:
      // they go down in steps that double.
      if (start < j) start = j;
      start = FirstWhereBelow(j, start, [&](int k) { return !sides.Early(key(j, k)); });
      stop = FirstWhereBelow(j, stop, [&](int k) { return sides.Late(key(j, k)); });
    } else if (j > first) {
      if (start < j) start = j;
      while (start > j && !sides.Early(key(j, start - 1))) --start;
      while (stop > j && sides.Late(key(j, stop - 1))) --stop;
    }
    if (stop <= j) return false;  // this row and all later ones are empty
    auto along = [&](int k) { return key(j, k); };
    auto voltage = [&](int k) { return OutputVoltage<kForm>(vfb, r1, r1Inverse, term[j] + term[k]); };
    if (OfferRun<kForm, kCountsRuns>(pass, start, stop, along, voltage, &narrowed, r1, i, j, -1))
      return true;
  }
  return false;
}

// "R3=DNM only": R3 is the last entry, and the run is one of R2 entries.
template <int kForm, bool kCountsRuns>
bool FastDnmOnlyForR1(SearchPass* pass, int i, const WindowSides& window) {
  const int n = pass->count;
  const int k = n - 1;
  const double vfb = pass->request->Vfb;
  const double r1 = pass->stock->entries[i].value;
  const double r1Inverse = 1.0 / r1;
  const double* term = pass->pairTerm;
  const auto sides = SidesFor<kForm, kCountsRuns>(*pass, r1, window);
  auto key = [&](int j) {
    if constexpr (kCountsRuns) return term[j] + term[k];
    return OutputVoltage<kForm>(vfb, r1, r1Inverse, term[j] + term[k]);
  };
  NarrowedTerms<kForm> narrowed;

  int start = FirstWhere(0, n - 1, [&](int j) { return !sides.Early(key(j)); });
  int stop = FirstWhere(start, n - 1, [&](int j) { return sides.Late(key(j)); });
  auto voltage = [&](int j) { return OutputVoltage<kForm>(vfb, r1, r1Inverse, term[j] + term[k]); };
  return OfferRun<kForm, kCountsRuns>(pass, start, stop, key, voltage, &narrowed, r1, i, -1, k);
}

template <int kForm>
struct FastRun {
  static void Go(SearchPass* pass) {
    const int n = pass->count;
    const double vfb = pass->request->Vfb;
    const bool monotone = n >= 2 && std::isfinite(vfb) && vfb != 0.0 && PairTermsAreMonotone(*pass);
    const WindowSides sides{pass->request->Vmin, pass->request->Vmax, VoltageRisesWithIndex<kForm>(vfb)};
    for (int i = 0; i < n - 1; ++i) {
      const double r1 = pass->stock->entries[i].value;
      if (!kernel::R1InWindow(*pass, r1)) continue;
      const bool fast = monotone && r1 > 0.0 && std::isfinite(r1) && std::isfinite(1.0 / r1);
      bool full;
      if (!fast) {
        full = kernel::PlainPairsForR1<kForm>(pass, i);
      } else if (pass->r3DnmOnly) {
        full = pass->countsRuns ? FastDnmOnlyForR1<kForm, true>(pass, i, sides)
                                : FastDnmOnlyForR1<kForm, false>(pass, i, sides);
      } else {
        full = pass->countsRuns ? FastPairsForR1<kForm, true>(pass, i, sides)
                                : FastPairsForR1<kForm, false>(pass, i, sides);
      }
      if (full) return;
    }
  }
};

}  // namespace

int RunSearch(const SearchRequest& request, const StockTable& stock,
              const SearchOptions& options, MatchTable* matches) {
  SearchPass pass;
  int form = kernel::BeginPass(request, stock, options, matches, &pass);
  kernel::DispatchForm<FastRun>(form, &pass);
  return kernel::QualifiedCount(pass);
}

}  // namespace tapsmith
