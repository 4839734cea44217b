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
template <typename Predicate>
int FirstWhere(int from, int to, Predicate holds) {
  while (from < to) {
    int middle = from + (to - from) / 2;
    if (holds(middle)) {
      to = middle;
    } else {
      from = middle + 1;
    }
  }
  return from;
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

// The run [start, stop) of one row, or of the R2 entries under "R3=DNM
// only", holds exactly the combinations inside the window. The window's
// search offers each of them; a best-N search that filters nothing counts
// the run whole and offers only the part that can still enter the selection.
//
// In a row (j >= 0) the run is one of R3 entries; under "R3=DNM only" (j < 0)
// one of R2 entries with R3 = entry k.
template <int kForm, bool kCountsRuns, typename Voltage>
bool OfferRun(SearchPass* pass, int start, int stop, bool rising, Voltage voltage, int i, int j, int k) {
  if constexpr (kCountsRuns) {
    if (stop <= start) return false;  // an empty window: low above high
    pass->qualified += stop - start;
    if (pass->narrowed) {
      const WindowSides visit{pass->visitLow, pass->visitHigh, rising};
      start = FirstWhere(start, stop, [&](int index) { return !visit.Early(voltage(index)); });
      stop = FirstWhere(start, stop, [&](int index) { return visit.Late(voltage(index)); });
    }
  }
  for (int index = start; index < stop; ++index) {
    const int r2 = j >= 0 ? j : index;
    const int r3 = j >= 0 ? index : k;
    if (kernel::Offer<kForm, !kCountsRuns>(pass, i, r2, r3, voltage(index))) return true;
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
template <int kForm, bool kCountsRuns>
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
    auto along = [&](int k) { return voltage(j, k); };
    if (OfferRun<kForm, kCountsRuns>(pass, start, stop, sides.rising, along, i, j, -1)) return true;
  }
  return false;
}

// "R3=DNM only": R3 is the last entry, and the run is one of R2 entries.
template <int kForm, bool kCountsRuns>
bool FastDnmOnlyForR1(SearchPass* pass, int i, const WindowSides& sides) {
  const int n = pass->count;
  const int k = n - 1;
  const double vfb = pass->request->Vfb;
  const double r1 = pass->stock->entries[i].value;
  const double r1Inverse = 1.0 / r1;
  const double* term = pass->pairTerm;
  auto voltage = [&](int j) { return OutputVoltage<kForm>(vfb, r1, r1Inverse, term[j] + term[k]); };

  int start = FirstWhere(0, n - 1, [&](int j) { return !sides.Early(voltage(j)); });
  int stop = FirstWhere(start, n - 1, [&](int j) { return sides.Late(voltage(j)); });
  return OfferRun<kForm, kCountsRuns>(pass, start, stop, sides.rising, voltage, i, -1, k);
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
