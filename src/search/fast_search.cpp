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

  const TermSides<kForm>* For(const SearchPass& pass, double r1) {
    if (!pass.narrowed) return nullptr;
    if (narrowings != pass.narrowings) {
      sides = TermsWithin<kForm>(pass, r1, pass.visitLow, pass.visitHigh);
      narrowings = pass.narrowings;
    }
    return &sides;
  }
};

// The run [start, stop) of the R2 entries under "R3=DNM only", R3 being
// entry k, holds exactly the combinations inside the window. The window's
// search offers each of them; a best-N search that filters nothing counts
// the run whole and offers only the part within the narrowed window. `key`
// is what the sides classify: the output, or in a best-N search the pair
// term.
template <int kForm, bool kCountsRuns, typename Key, typename Voltage, typename Narrowed>
bool OfferRun(SearchPass* pass, int start, int stop, Key key, Voltage voltage, Narrowed* narrowed,
              double r1, int i, int k) {
  if constexpr (kCountsRuns) {
    if (stop <= start) return false;  // an empty window: low above high
    pass->qualified += stop - start;
    if (const auto* visit = narrowed->For(*pass, r1)) {
      // The narrowed window holds a handful of outputs at most: its run is
      // found by halving, its end by stepping.
      start = FirstWhere(start, stop, [&](int index) { return !visit->Early(key(index)); });
      int end = start;
      while (end < stop && !visit->Late(key(end))) ++end;
      stop = end;
    }
  }
  for (int j = start; j < stop; ++j) {
    if (kernel::Offer<kForm, !kCountsRuns>(pass, i, j, k, voltage(j))) return true;
  }
  return false;
}

// All pairs (j, k), k >= j, for R1 = entry i. Returns true when the table
// became full.
//
// The run of row j is [start, stop). Along a row the voltage is monotone in
// k, and row j + 1 lies on the same side of row j as column k + 1 of column
// k, so both ends only move towards lower k as j grows: two pointers that
// only go down, and the rows end once the run's end reaches the diagonal.
template <int kForm>
bool FastPairsForR1(SearchPass* pass, int i, const WindowSides& sides) {
  const int n = pass->count;
  const double vfb = pass->request->Vfb;
  const double r1 = pass->stock->entries[i].value;
  const double r1Inverse = 1.0 / r1;
  const double* term = pass->pairTerm;
  auto voltage = [&](int j, int k) { return OutputVoltage<kForm>(vfb, r1, r1Inverse, term[j] + term[k]); };

  // Rows before `first` are early even at their last column, rows from `end`
  // on are late already on the diagonal: both are empty.
  const int first = FirstWhere(0, n - 1, [&](int j) { return !sides.Early(voltage(j, n - 1)); });
  const int end = FirstWhere(first, n - 1, [&](int j) { return sides.Late(voltage(j, j)); });
  if (first >= end) return false;
  int start = FirstWhere(first, n, [&](int k) { return !sides.Early(voltage(first, k)); });
  int stop = FirstWhere(first, n, [&](int k) { return sides.Late(voltage(first, k)); });
  for (int j = first; j < end; ++j) {
    if (j > first) {
      if (start < j) start = j;
      while (start > j && !sides.Early(voltage(j, start - 1))) --start;
      while (stop > j && sides.Late(voltage(j, stop - 1))) --stop;
    }
    if (stop <= j) return false;  // this row and all later ones are empty
    for (int k = start; k < stop; ++k) {
      if (kernel::Offer<kForm>(pass, i, j, k, voltage(j, k))) return true;
    }
  }
  return false;
}

// The same rows for a best-N search that filters nothing: each row's run is
// counted whole, in pair terms, and only its part within the narrowed window
// is offered, followed by two more pointers of its own. Those go down as the
// run's do while the narrowed window stays; when it narrows they are looked
// for afresh. Beyond its ends the narrowed run holds nothing that could
// enter, and a pointer left below its true place only offers more than
// needed, never less.
template <int kForm>
void BestPairsForR1(SearchPass* pass, int i, double vmin, double vmax) {
  const int n = pass->count;
  const double vfb = pass->request->Vfb;
  const double r1 = pass->stock->entries[i].value;
  const double r1Inverse = 1.0 / r1;
  const double* term = pass->pairTerm;
  const TermSides<kForm> sides = TermsWithin<kForm>(*pass, r1, vmin, vmax);
  NarrowedTerms<kForm> narrowed;
  const TermSides<kForm>* visit = nullptr;
  int visitFor = -1;  // the narrowing the visiting pointers follow

  const int first = FirstWhere(0, n - 1, [&](int j) { return !sides.Early(term[j] + term[n - 1]); });
  if (first >= n - 1) return;
  int start = FirstWhere(first, n, [&](int k) { return !sides.Early(term[first] + term[k]); });
  int stop = FirstWhere(first, n, [&](int k) { return sides.Late(term[first] + term[k]); });
  int from = start;
  int to = stop;
  int qualified = 0;
  for (int j = first; j < n - 1; ++j) {
    const double row = term[j];
    if (start < j) start = j;
    while (start > j && !sides.Early(row + term[start - 1])) --start;
    while (stop > j && sides.Late(row + term[stop - 1])) --stop;
    if (stop <= j) break;  // this row and all later ones are empty
    if (stop <= start) continue;  // an empty window: low above high
    qualified += stop - start;
    if (!pass->narrowed) {
      from = start;
      to = stop;
    } else if (visitFor != pass->narrowings) {
      visit = narrowed.For(*pass, r1);
      visitFor = pass->narrowings;
      from = FirstWhere(start, stop, [&](int k) { return !visit->Early(row + term[k]); });
      to = FirstWhere(from, stop, [&](int k) { return visit->Late(row + term[k]); });
    } else {
      from = from < start ? start : from > stop ? stop : from;
      while (from > start && !visit->Early(row + term[from - 1])) --from;
      if (to < from) to = from;
      while (to > from && visit->Late(row + term[to - 1])) --to;
    }
    for (int k = from; k < to; ++k) {
      kernel::Offer<kForm, false>(pass, i, j, k, OutputVoltage<kForm>(vfb, r1, r1Inverse, row + term[k]));
    }
  }
  pass->qualified += qualified;
}

// The sides that classify the combinations of a run: the window on the
// output, or in a best-N search the interval of pair terms.
template <int kForm, bool kCountsRuns>
auto SidesFor(const SearchPass& pass, double r1, const WindowSides& window) {
  if constexpr (kCountsRuns) {
    return TermsWithin<kForm>(pass, r1, window.low, window.high);
  } else {
    return window;
  }
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
  return OfferRun<kForm, kCountsRuns>(pass, start, stop, key, voltage, &narrowed, r1, i, k);
}

template <int kForm>
struct FastRun {
  static void Go(SearchPass* pass) {
    if constexpr (kernel::HasPinCurrent(kForm)) {
      for (int i = 0; i < pass->count - 1; ++i) {
        if (!kernel::R1InWindow(*pass, pass->stock->entries[i].value)) continue;
        if (kernel::PlainPairsForR1<kForm>(pass, i)) return;
      }
    } else {
      GoWithoutPinCurrent(pass);
    }
  }
  static void GoWithoutPinCurrent(SearchPass* pass) {
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
        if (!pass->countsRuns) {
          full = FastPairsForR1<kForm>(pass, i, sides);
        } else {
          BestPairsForR1<kForm>(pass, i, sides.low, sides.high);
          full = false;
        }
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
