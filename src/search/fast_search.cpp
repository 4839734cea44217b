// The fast search: the same matches in the same order as the plain loop,
// found without trying every pair.
//
// Why the matches of one R1 and R2 form one contiguous run of R3 entries:
// the pair term x = t[j] + t[k] (conductances, or values in series) is
// monotone in k, and in j the same way, because the table is (checked to be)
// monotone, and every voltage form is a chain of correctly rounded operations
// (x * R1, (1/R1) / x, R1 / x, (1/R1) * x, + 1, 1 / y, Vfb * z) each of which
// is monotone in its operand while no operand is NaN; rounding to nearest
// never reverses an order. So the voltage is monotone in k and in j, and the
// k with Vmin <= Vo <= Vmax are one run (PairSpace and RowRun say what follows from that).
// Its ends are found by evaluating exactly the plain loop's expression, or by
// comparing pair terms with the interval of terms whose outputs lie in the
// window, which is the same for a monotone output; every combination offered
// is offered in production order exactly as the plain loop offers it. NaN
// can arise only from 0 * inf, inf / inf, 0 / 0 or inf - inf: they are ruled
// out by requiring R1 and 1/R1 finite and positive, Vfb finite and not zero,
// and every pair term non-negative without a sign bit. Where that does not
// hold the plain loop runs instead.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <type_traits>

#include "search_kernel.h"

namespace tapsmith {

namespace {

using kernel::Counting;
using kernel::Leg;
using kernel::OutputVoltage;
using kernel::SearchPass;

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

// FirstWhereBelow for an answer most often at `hint` or a few indices below
// it: stepped to, and galloped to only once it is farther than kSteps. Where
// `kFenced`, `holds` is false at from - 1, which ends the steps unchecked.
template <bool kFenced = false, typename Index, typename Predicate>
Index FirstWhereDown(Index from, Index hint, Predicate holds) {
  constexpr int kSteps = 32;
  for (int step = 0; step < kSteps; ++step) {
    if ((!kFenced && hint == from) || !holds(hint - 1)) return hint;
    --hint;
  }
  return FirstWhereBelow(from, hint, holds);
}

bool PairTermsAreMonotone(const SearchPass& pass, const double* term) {
  for (int k = 0; k < pass.count; ++k) {
    if (std::signbit(term[k]) || !(term[k] >= 0.0)) return false;
    if (k > 0 && !(pass.serial ? term[k - 1] <= term[k] : term[k] <= term[k - 1])) return false;
  }
  return true;
}

// --- Sides and runs -----------------------------------------------------------

enum class Direction { Rising, Falling };

// An interval [low, high] of a key that is monotone along an index: the
// indices whose key lies before the interval, those within it and those
// after it follow one another in that order. With low above high, or either
// NaN, nothing lies within, and a key can be before and after at once.
struct Sides {
  double low;
  double high;
  Direction direction;  // of the key as the index grows

  bool Before(double key) const {
    return direction == Direction::Rising ? Before<Direction::Rising>(key) : Before<Direction::Falling>(key);
  }
  bool After(double key) const {
    return direction == Direction::Rising ? After<Direction::Rising>(key) : After<Direction::Falling>(key);
  }
  // The same with the direction known where they are called.
  template <Direction kAlong>
  bool Before(double key) const {
    return kAlong == Direction::Rising ? !(low <= key) : !(key <= high);
  }
  template <Direction kAlong>
  bool After(double key) const {
    return kAlong == Direction::Rising ? !(key <= high) : !(low <= key);
  }
  bool Empty() const { return !(low <= high); }
};

// The pair term grows with the index in series (values) and shrinks in
// parallel (conductances).
template <int kForm>
constexpr Direction kTermDirection = kernel::IsSerial(kForm) ? Direction::Rising : Direction::Falling;

// Which way the output of a form without a pin current moves as the pair
// term grows from +0 to +infinity: from its value at one end towards its
// value at the other, which differ in every form (one is Vfb, the other 0 or
// infinite). Found from the expression itself, it holds for whatever
// monotone form it takes.
template <int kForm>
Direction OutputAlongTerm(double vfb, double r1, double r1Inverse) {
  const double atZero = OutputVoltage<kForm>(vfb, r1, r1Inverse, 0.0);
  const double atInfinity = OutputVoltage<kForm>(vfb, r1, r1Inverse, HUGE_VAL);
  return atZero < atInfinity ? Direction::Rising : Direction::Falling;
}

// The divider of one R1: its output as a function of the pair term alone.
//
// With a pin current the forms stay monotone in the pair term where the
// fast search takes them (PinCurrentKeepsOrder says where): in [a] the pin's
// term I * R1 is the same for the whole R1, and adding it keeps every order;
// [c] is the form without a pin current with Vfb - I * R1 for Vfb; in [b]
// both terms move the same way when I has the sign of Vfb; in [d], with Vfb
// and I positive, the output is the product of two factors that both grow
// with the term while the first is positive, and at most 0 where it is not:
// below a window that lies above 0, those are all before it, and the order
// that decides the window is kept.
template <int kForm>
struct Divider {
  static constexpr int kBase = kernel::WithoutPinCurrent(kForm);
  double vfb;
  double pin;
  double r1;
  double r1Inverse;

  Divider(const SearchPass& pass, double r1Value) : Divider(pass, pass.request->Vfb, r1Value) {}
  Divider(const SearchPass& pass, double vfbValue, double r1Value)
      : vfb(vfbValue), pin(pass.limits.pin), r1(r1Value), r1Inverse(1.0 / r1Value) {}

  double Output(double x) const { return OutputVoltage<kForm>(vfb, pin, r1, r1Inverse, x); }

  // The Vfb of the form without a pin current that moves as this one does.
  double MovingVfb() const {
    if constexpr (kernel::HasPinCurrent(kForm) && kernel::ConfigurationOf(kForm) == 2) return vfb - pin * r1;
    return vfb;
  }

  Direction AlongTerm() const { return OutputAlongTerm<kBase>(MovingVfb(), r1, r1Inverse); }
};

// Where the fast search may take a pin current's form for this R1: as
// argued at Divider. Elsewhere the plain loop runs.
template <int kForm>
bool PinCurrentKeepsOrder(const SearchPass& pass, const Divider<kForm>& divider) {
  if constexpr (!kernel::HasPinCurrent(kForm)) {
    return true;
  } else {
    const double vfb = divider.vfb;
    const double pin = divider.pin;
    if (!std::isfinite(pin)) return false;
    switch (kernel::ConfigurationOf(kForm)) {
      case 0: return std::isfinite(pin * divider.r1);
      case 1: return (vfb > 0.0) == (pin > 0.0);
      case 2: return std::isfinite(divider.MovingVfb()) && divider.MovingVfb() != 0.0;
      default: break;
    }
    // Every term of an R2 positive and every sum finite: no pair makes 0 * inf.
    const int n = pass.count;
    const double* term = pass.pairTerm;
    return vfb > 0.0 && pin > 0.0 && pass.request->Vmin > 0.0 && n >= 2 && term[n - 2] > 0.0 &&
           std::isfinite(term[n - 2] + term[n - 1]) && std::isfinite(term[0] + term[0]);
  }
}

// The key of the pair R2 = entry j, R3 = entry k: its term, or the output
// computed from it with the plain loop's expression. Either moves the same
// way along j as along k, and is the same for (k, j) as for (j, k): the sum
// of two doubles does not depend on their order.
template <int kForm>
struct PairTerm {
  static constexpr bool kSerial = kernel::IsSerial(kForm);
  const double* term;
  double operator()(int j, int k) const { return term[j] + term[k]; }
};

template <int kForm>
struct PairOutput {
  static constexpr bool kSerial = kernel::IsSerial(kForm);
  const double* term;
  Divider<kForm> divider;
  double operator()(int j, int k) const { return divider.Output(term[j] + term[k]); }
  Direction AlongIndex() const {
    return divider.AlongTerm() == kTermDirection<kForm> ? Direction::Rising : Direction::Falling;
  }
};

// A band: the pairs that meet a condition on their keys, each key moving
// the same way along the indices. What lies before the band along a row (or
// a column) is what lies before any of its conditions, what lies after it
// what lies after any: a prefix and a suffix again, so the band's pairs are
// one run a row, and over all pairs the two lie below staircases as each
// condition's do.
//
// The band of one key within its sides.
template <typename Key>
struct KeyBand {
  static constexpr bool kSerial = Key::kSerial;
  Sides sides;
  Key key;

  Direction direction() const { return sides.direction; }
  bool Empty() const { return sides.Empty(); }
  template <Direction kAlong>
  bool Before(int j, int k) const { return sides.Before<kAlong>(key(j, k)); }
  template <Direction kAlong>
  bool After(int j, int k) const { return sides.After<kAlong>(key(j, k)); }
};

// The band of up to three pair terms, each a sum of two terms of an entry
// and each within its sides: the window at nominal values, or the entry
// window, and with the worst case the terms of its least and its greatest
// corner. A condition bounded on one side alone is tested on that side
// alone: each walk's test costs a sum and a comparison or two.
template <int kForm>
struct TermBand {
  static constexpr bool kSerial = kernel::IsSerial(kForm);
  static constexpr int kMost = 3;
  struct Condition {
    const double* term;
    Sides sides;
  };
  int befores = 0;  // the conditions a pair can lie before, and after
  int afters = 0;
  Condition before[kMost];
  Condition after[kMost];
  bool empty = false;

  void Add(const double* terms, const Sides& within) {
    // Along the index a rising key meets its low end first, a falling one
    // its high end; an end that takes in every key leaves no pair beyond it.
    const bool rising = within.direction == Direction::Rising;
    const bool bindsFirst = rising ? within.low != -HUGE_VAL : within.high != HUGE_VAL;
    const bool bindsLast = rising ? within.high != HUGE_VAL : within.low != -HUGE_VAL;
    empty = empty || within.Empty();
    if (bindsFirst) before[befores++] = {terms, within};
    if (bindsLast) after[afters++] = {terms, within};
  }
  Direction direction() const { return kTermDirection<kForm>; }
  bool Empty() const { return empty; }
  template <Direction kAlong>
  bool Before(int j, int k) const {
    for (int c = 0; c < befores; ++c) {
      if (before[c].sides.template Before<kAlong>(before[c].term[j] + before[c].term[k])) return true;
    }
    return false;
  }
  template <Direction kAlong>
  bool After(int j, int k) const {
    for (int c = 0; c < afters; ++c) {
      if (after[c].sides.template After<kAlong>(after[c].term[j] + after[c].term[k])) return true;
    }
    return false;
  }
};

// Pairs gathered to be offered together, in production order.
struct PairList {
  static constexpr int kCapacity = 256;
  struct Pair {
    int16_t r2;
    int16_t r3;
  };
  int count = 0;
  Pair pairs[kCapacity];

  bool Add(int j, int k) {
    if (count == kCapacity) return false;
    pairs[count++] = {static_cast<int16_t>(j), static_cast<int16_t>(k)};
    return true;
  }
  void SortInProductionOrder() {
    std::sort(pairs, pairs + count, [](Pair a, Pair b) { return a.r2 != b.r2 ? a.r2 < b.r2 : a.r3 < b.r3; });
  }
};

// Where the walks along one end's staircase began for the last R1. The next
// R1's interval of terms lies next to the last one's, and so does each
// staircase: looked for outward from there, it is found in a few steps,
// where halving the table takes a chain of tests each waiting on the last.
struct WalkStarts {
  int full = 0;      // the first row not wholly on the near side
  int diagonal = 0;  // the first entry that, paired with itself, is not
  int end = 0;       // where the first row walked leaves the near side
};

/// The pairs of the table within a band. The rows j < n - 1
/// are those of R2, each holding the R3 entries k >= j; with "R3=DNM only"
/// the one row is that of R3, the last entry, holding every R2 (the key
/// being symmetric). The key moves along the rows as it moves along the
/// indices, so in a later row every index lies farther along.
///
/// Over the pairs j <= k the same holds with rows and columns exchanged:
/// those before the sides, and those not after them, lie below a staircase
/// that only descends, whether j or k grows. To count or gather all rows
/// at once, a staircase is walked along the pair's larger member, whose term
/// is at least half the pair's and so lies within a factor of two of the
/// interval: a few steps, each past many of the other member. That is R3,
/// the columns, in series, and R2, the rows, in parallel.
template <typename Band>
class PairSpace {
 public:
  PairSpace(const Band& band, int count) : band_(band), count_(count) {}

  bool Empty() const { return band_.Empty(); }
  int count() const { return count_; }

  /// The first row whose last index is not before the sides: every earlier
  /// row lies wholly before them.
  int FirstRow() const {
    const int last = count_ - 1;
    return Along([&](auto is) { return FirstWhere(0, last, [&](int j) { return !is.Before(j, last); }); });
  }

  /// The first row from `from` on whose diagonal is after the sides: from
  /// there on every row lies wholly after them.
  int EndRow(int from) const {
    const int last = count_ - 1;
    return Along([&](auto is) { return FirstWhere(from, last, [&](int j) { return is.After(j, j); }); });
  }

  /// Calls `walk` with a classifier of pairs, Before(j, k) and After(j, k),
  /// whose direction along the indices is a constant.
  template <typename Walk>
  auto Along(Walk walk) const {
    if (band_.direction() == Direction::Rising) return walk(Classifier<Direction::Rising>{band_});
    return walk(Classifier<Direction::Falling>{band_});
  }

  /// The pairs j <= k, j < n - 1, within the band, over every row: those
  /// not after it less those before it, each end's walk begun near
  /// where `notAfter` and `before` say, which then say where it began.
  int CountPairs(WalkStarts* notAfter, WalkStarts* before) const {
    if (band_.Empty()) return 0;
    return Along([&](auto is) {
      // Of a band whose conditions exclude each other a pair may lie before
      // one and after another: only those not after are taken off.
      return PairsNear([&](int j, int k) { return !is.After(j, k); }, notAfter) -
             PairsNear([&](int j, int k) { return is.Before(j, k) && !is.After(j, k); }, before);
    });
  }

  /// Gathers the pairs within the sides in the rows from `fromRow` on, in
  /// production order, the walk along the start begun near `starts`. False,
  /// the list unusable, when there are more than it holds.
  bool Gather(int fromRow, WalkStarts* starts, PairList* list) const {
    list->count = 0;
    if (fromRow >= count_ - 1 || band_.Empty()) return true;
    return Along([&](auto is) { return GatherWith(is, fromRow, starts, list); });
  }

 private:
  // The band with the direction a constant: a copy of it for each walk,
  // which holds it in registers and tests no direction.
  template <Direction kAlong>
  struct Classifier {
    Band band;
    bool Before(int j, int k) const { return band.template Before<kAlong>(j, k); }
    bool After(int j, int k) const { return band.template After<kAlong>(j, k); }
  };

  // The pairs j <= k, j < n - 1, on the near side of one end: `near` holds
  // for the first indices of every row and of every column.
  template <typename Near>
  int PairsNear(Near near, WalkStarts* starts) const {
    const int n = count_;
    int pairs;
    int diagonal;
    if constexpr (Band::kSerial) {
      // Every pair of two entries below `diagonal` is near; in column k from
      // it on, the first `end` rows are, up to the column where row 0 is not.
      // The end of the first column lies next to the diagonal.
      diagonal = FirstWhereNear(0, n, starts->diagonal, [&](int k) { return !near(k, k); });
      starts->diagonal = diagonal;
      pairs = diagonal * (diagonal + 1) / 2;
      int end = diagonal;
      for (int k = diagonal; k < n && near(0, k); ++k) {
        end = FirstWhereDown<true>(1, end, [&](int j) { return !near(j, k); });  // row 0 is near
        pairs += end;
      }
    } else {
      // Rows before `full` are near at every index; in row j from it on, the
      // indices up to `end`, down to the row where the diagonal is not.
      const int full = FirstWhereNear(0, n, starts->full, [&](int j) { return !near(j, n - 1); });
      diagonal = FirstWhereNear(full, n, starts->diagonal, [&](int j) { return !near(j, j); });
      starts->full = full;
      starts->diagonal = diagonal;
      pairs = full * n - full * (full - 1) / 2;
      if (full < diagonal) {
        int end = FirstWhereNear(full + 1, n - 1, starts->end, [&](int k) { return !near(full, k); });
        starts->end = end;
        pairs += end - full;
        for (int j = full + 1; j < diagonal; ++j) {
          end = FirstWhereDown<true>(j + 1, end, [&](int k) { return !near(j, k); });  // the diagonal is near
          pairs += end - j;
        }
      }
    }
    return diagonal == n ? pairs - 1 : pairs;  // the last entry as R2 and R3
  }

  template <typename Is>
  bool GatherWith(const Is& is, int fromRow, WalkStarts* starts, PairList* list) const {
    const int n = count_;
    if constexpr (Band::kSerial) {
      // Column k of R3 holds the R2 entries j <= k from the first not before;
      // in the first column that lies next to the diagonal.
      int k = FirstWhereNear(fromRow, n, starts->diagonal,
                             [&](int index) { return !is.Before(index, index); });
      starts->diagonal = k;
      if (k >= n) return true;
      int first = FirstWhereDown(0, k, [&](int j) { return !is.Before(j, k); });
      for (;;) {
        const int last = k < n - 1 ? k : n - 2;  // R2 is never the last entry
        int j = first > fromRow ? first : fromRow;
        for (; j <= last && !is.After(j, k); ++j) {
          if (!list->Add(j, k)) return false;
        }
        if (j == fromRow || ++k >= n) break;  // its first R2 after already: so is every later column
        first = FirstWhereDown(0, first, [&](int j) { return !is.Before(j, k); });
      }
      list->SortInProductionOrder();
    } else {
      int j = FirstWhereNear(fromRow, n - 1, starts->full, [&](int row) { return !is.Before(row, n - 1); });
      starts->full = j;
      if (j >= n - 1) return true;
      int first = FirstWhereNear(j, n - 1, starts->end, [&](int k) { return !is.Before(j, k); });
      starts->end = first;
      for (;;) {
        int k = first;
        for (; k < n && !is.After(j, k); ++k) {
          if (!list->Add(j, k)) return false;
        }
        if (k == j || ++j >= n - 1) break;  // the diagonal after already: so is every later row
        if (first < j) first = j;
        first = FirstWhereDown(j, first, [&](int k) { return !is.Before(j, k); });
      }
    }
    return true;
  }

  Band band_;
  int count_;
};

/// The run of a row: the indices of one row whose pair key lies within the
/// sides of a PairSpace, as a cursor that follows the rows down.
///
/// Invariant: placed on a row (Find, Follow), every index from the row's
/// floor up to `start` lies before the sides, and `stop` is the first index
/// from the floor on that lies after them; the run is [start, stop), empty
/// when stop <= start. In a later row every index lies farther along, so
/// both ends only move down: following the rows costs the distance the ends
/// travel.
template <typename Band>
class RowRun {
 public:
  explicit RowRun(const PairSpace<Band>& space) : space_(space) {}

  int start() const { return start_; }
  int stop() const { return stop_; }

  /// Places the run on `row`, its ends found by halving in [floor, end).
  void Find(int row, int floor, int end) {
    space_.Along([&](auto is) {
      start_ = FirstWhere(floor, end, [&](int k) { return !is.Before(row, k); });
      stop_ = FirstWhere(floor, end, [&](int k) { return is.After(row, k); });
    });
  }

  /// Moves the run on to the later R2 row `row`, whose floor is its diagonal.
  void Follow(int row) {
    space_.Along([&](auto is) {
      int start = start_ < row ? row : start_;
      int stop = stop_;
      while (start > row && !is.Before(row, start - 1)) --start;
      while (stop > row && is.After(row, stop - 1)) --stop;
      start_ = start;
      stop_ = stop;
    });
  }

  /// Places the run on each R2 row from `from` on that can hold any of it,
  /// in order, and calls `visit(row)` there; stops after a row for which it
  /// returns true. Returns the row after that one, or n - 1 once the rows
  /// are done.
  template <typename Visit>
  int EachRow(int from, Visit visit) {
    const int first = std::max(from, space_.FirstRow());
    const int end = space_.EndRow(first);
    for (int row = first; row < end; ++row) {
      if (row == first) {
        Find(row, row, space_.count());
      } else {
        Follow(row);
      }
      if (visit(row)) return row + 1;
    }
    return space_.count() - 1;
  }

 private:
  const PairSpace<Band>& space_;
  int start_ = 0;
  int stop_ = 0;
};

// --- From outputs to pair terms -------------------------------------------------

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
uint64_t GuessTermBits(const Divider<kForm>& divider, double v) {
  constexpr int kBase = kernel::WithoutPinCurrent(kForm);
  constexpr int kConfiguration = kernel::ConfigurationOf(kForm);
  constexpr bool kSerial = kernel::IsSerial(kForm);
  const double vfb = divider.MovingVfb();
  const double r1 = divider.r1;
  const double r1Inverse = divider.r1Inverse;
  const double pin = divider.pin;
  double x;
  if constexpr (kernel::HasPinCurrent(kForm) && kConfiguration == 1) {
    x = kSerial ? (v - vfb) / (vfb * r1Inverse + pin) : (vfb * r1Inverse + pin) / (v - vfb);
  } else if constexpr (kernel::HasPinCurrent(kForm) && kConfiguration == 3) {
    x = kSerial ? (vfb - v) / (v * r1Inverse + pin) : (pin * r1 + v) / (r1 * (vfb - v));
  } else {
    if constexpr (kernel::HasPinCurrent(kForm) && kConfiguration == 0) v = v - pin * r1;
    const double q = kConfiguration <= 1 ? v / vfb - 1.0 : vfb / v - 1.0;
    if constexpr (kBase == kernel::kParallelA || kBase == kernel::kParallelC) x = q / r1;
    if constexpr (kBase == kernel::kParallelB || kBase == kernel::kParallelD) x = r1Inverse / q;
    if constexpr (kBase == kernel::kSerialA || kBase == kernel::kSerialC) x = r1 / q;
    if constexpr (kBase == kernel::kSerialB || kBase == kernel::kSerialD) x = q / r1Inverse;
  }
  if (!(x > 0.0)) return 0;  // NaN, negative or zero
  uint64_t bits;
  std::memcpy(&bits, &x, sizeof bits);
  return bits < kInfinityBits ? bits : kInfinityBits;
}

uint64_t BitsOf(double x) {
  uint64_t bits;
  std::memcpy(&bits, &x, sizeof bits);
  return bits;
}

// The sides, along the stock index, of the pair terms whose outputs lie
// within [low, high]. The bits of x are an index of their own, along which
// the output is a key like any other. With a pin current only the terms
// between the least and the greatest a pair of the table makes are searched:
// at +0 or +infinity some of its forms are NaN.
template <int kForm>
Sides TermsWithin(const SearchPass& pass, const Divider<kForm>& divider, double low, double high) {
  uint64_t from = 0;
  uint64_t to = kInfinityBits + 1;
  if constexpr (kernel::HasPinCurrent(kForm)) {
    const double* term = pass.pairTerm;
    const int n = pass.count;
    const double ends[2] = {term[0] + term[0], term[n - 2] + term[n - 1]};
    const bool ascending = kernel::IsSerial(kForm);
    from = BitsOf(ends[ascending ? 0 : 1]);
    to = BitsOf(ends[ascending ? 1 : 0]) + 1;
  }
  const Sides outputs{low, high, divider.AlongTerm()};
  const bool rising = outputs.direction == Direction::Rising;
  auto output = [&](uint64_t x) { return divider.Output(FromBits(x)); };
  auto guess = [&](double v) { return GuessTermBits<kForm>(divider, v); };
  const uint64_t first = FirstWhereNear<uint64_t>(from, to, guess(rising ? low : high),
                                                  [&](uint64_t x) { return !outputs.Before(output(x)); });
  const uint64_t end = FirstWhereNear<uint64_t>(first, to, guess(rising ? high : low),
                                                [&](uint64_t x) { return outputs.After(output(x)); });
  if (first >= end) return {HUGE_VAL, -HUGE_VAL, kTermDirection<kForm>};  // no x at all
  return {FromBits(first), FromBits(end - 1), kTermDirection<kForm>};
}

// --- The worst case by its corners ------------------------------------------------

// Without a pin current and with a positive reference, the output is
// monotone in Vfb, in L and in the pair term; L grows with R1's and R4's
// factors, the pair term moves one way with R2's and R3's. So of the corners
// of the worst case the least output is the output at one corner, where
// every quantity takes the end that lowers it, and the greatest at the
// opposite one. The whole worst case lies in the window exactly when the
// pair term at the first corner gives at least Vmin and at the second at
// most Vmax: two more intervals of pair terms, found as the window's is, so
// that a search with --worst-case counts and walks bands as one without.
bool WorstCaseByCorners(const SearchPass& pass) {
  const kernel::DesignLimits& limits = pass.limits;
  const double vfb = pass.request->Vfb;
  return limits.filtersWorstCase && limits.pin == 0.0 && limits.pinLow == 0.0 && limits.pinHigh == 0.0 &&
         vfb > 0.0 && limits.vfbLow > 0.0 && limits.vfbLow <= vfb && vfb <= limits.vfbHigh &&
         std::isfinite(limits.vfbHigh) && limits.lowFactor > 0.0 && std::isfinite(limits.highFactor) &&
         PairTermsAreMonotone(pass, pass.cornerTerm[0]) && PairTermsAreMonotone(pass, pass.cornerTerm[1]);
}

// Whether the output grows with L: L stands above the middle node in [a]
// (Vo-R1-Vfb) and below it in [d] (Vfb-R23-Vo-R1), where it raises the
// output; in [b] and [c] it lowers it.
template <int kForm>
constexpr bool kOutputRisesWithLeg = kernel::ConfigurationOf(kForm) == 0 || kernel::ConfigurationOf(kForm) == 3;

// A leg whose value and inverse are finite and positive: the forms are then
// monotone in the pair term.
bool InMonotoneDomain(double value) { return value > 0.0 && std::isfinite(value) && std::isfinite(1.0 / value); }

// Adds to `band` the worst case's two corner conditions for the leg: the
// least output at least Vmin, the greatest at most Vmax. False when a
// corner's leg lies outside the domain where that holds.
template <int kForm>
bool AddWorstCase(const SearchPass& pass, const Leg& leg, TermBand<kForm>* band) {
  const kernel::DesignLimits& limits = pass.limits;
  const StockEntry& r1 = pass.stock->entries[leg.r1];
  const StockEntry* r4 = leg.r4 >= 0 ? &pass.stock->entries[leg.r4] : nullptr;
  auto legAt = [&](double factor) {
    return kernel::LegAt(pass.r4, r1, r1.value * factor, r4, r4 != nullptr ? r4->value * factor : 0.0);
  };
  const double lowering = kOutputRisesWithLeg<kForm> ? limits.lowFactor : limits.highFactor;
  const double raising = kOutputRisesWithLeg<kForm> ? limits.highFactor : limits.lowFactor;
  const double leastLeg = legAt(lowering);
  const double greatestLeg = legAt(raising);
  if (!InMonotoneDomain(leastLeg) || !InMonotoneDomain(greatestLeg)) return false;
  const Divider<kForm> least(pass, limits.vfbLow, leastLeg);
  const Divider<kForm> greatest(pass, limits.vfbHigh, greatestLeg);
  // The pair term lowers the output at its smallest when the output rises
  // with it; in series the term grows with the factor, in parallel it falls.
  const bool termRises = least.AlongTerm() == Direction::Rising;
  const int lowestTerm = kernel::IsSerial(kForm) ? 0 : 1;  // of cornerTerm: 0 low factor, 1 high
  const int leastCorner = termRises ? lowestTerm : 1 - lowestTerm;
  band->Add(pass.cornerTerm[leastCorner], TermsWithin<kForm>(pass, least, pass.request->Vmin, HUGE_VAL));
  band->Add(pass.cornerTerm[1 - leastCorner], TermsWithin<kForm>(pass, greatest, -HUGE_VAL, pass.request->Vmax));
  return true;
}

// The band of the leg's pairs whose output lies in [low, high], and given
// the worst case's corner conditions (null: none), whose whole worst case
// lies in the window. The nominal output lies between the least and the
// greatest, so a whole worst case inside the window says that it does too:
// that condition is then left out.
template <int kForm>
TermBand<kForm> BandWithin(const SearchPass& pass, const Divider<kForm>& divider, double low, double high,
                           const TermBand<kForm>* corners) {
  TermBand<kForm> band = corners != nullptr ? *corners : TermBand<kForm>();
  const SearchRequest& request = *pass.request;
  const bool wholeWindow = low == request.Vmin && high == request.Vmax;
  if (corners == nullptr || !wholeWindow) band.Add(pass.pairTerm, TermsWithin<kForm>(pass, divider, low, high));
  return band;
}

// --- The searches per leg ---------------------------------------------------------

// A best-N search that applies no filter of its own to a combination, or
// only the worst case by its corners: every combination in its band
// qualifies, so whole runs are counted at once and only what can still
// enter the selection is offered.
bool CountsWholeRuns(const SearchPass& pass, bool worstCaseByCorners) {
  const kernel::DesignLimits& limits = pass.limits;
  return limits.bestCount > 0 && pass.request->DigitCount == 0 && (!limits.filtersWorstCase || worstCaseByCorners) &&
         !limits.boundsCurrent && !limits.filtersYield;
}

// The outputs that can still enter the selection: the window until the
// selection is full, then those within the farthest distance held of Vtyp,
// widened by a margin for the rounding of the output to 1e-9 V and of the
// distance itself.
class EntryWindow {
 public:
  explicit EntryWindow(const SearchRequest& request) : low_(request.Vmin), high_(request.Vmax) {}

  bool narrowed() const { return narrowed_; }
  double low() const { return low_; }
  double high() const { return high_; }

  /// Follows the selection; true when the window has narrowed since asked last.
  bool Follow(const SearchPass& pass) {
    const double bound = kernel::EntryBound(pass);
    if (bound == drawnFor_) return false;
    drawnFor_ = bound;
    const SearchRequest& request = *pass.request;
    const double typical = request.Vtyp;
    if (!std::isfinite(typical) || !std::isfinite(bound)) return false;
    const double margin = 1e-9 + 1e-12 * (std::fabs(typical) + bound);
    const double low = typical - bound - margin;
    const double high = typical + bound + margin;
    low_ = low > request.Vmin ? low : request.Vmin;
    high_ = high < request.Vmax ? high : request.Vmax;
    narrowed_ = true;
    return true;
  }

 private:
  double drawnFor_ = HUGE_VAL;  // the entry bound the window was drawn for
  bool narrowed_ = false;
  double low_;
  double high_;
};

// Offers the pairs of `space`, row by row in production order, each as the
// plain loop offers it. Returns true when the table became full.
template <int kForm, typename Band>
bool OfferEachRow(SearchPass* pass, const Leg& leg, const Divider<kForm>& divider, const PairSpace<Band>& space) {
  const double* term = pass->pairTerm;
  RowRun<Band> run(space);
  bool full = false;
  run.EachRow(0, [&](int j) {
    const int stop = run.stop();
    for (int k = run.start(); k < stop && !full; ++k) {
      full = kernel::Offer<kForm>(pass, leg, j, k, divider.Output(term[j] + term[k]));
    }
    return full;
  });
  return full;
}

// All pairs (j, k), k >= j, for R1's leg, those in the window (and given
// the worst case's corners, those whose worst case lies in it) each offered
// as the plain loop offers it. Returns true when the table became full.
template <int kForm>
bool FastPairsForLeg(SearchPass* pass, const Leg& leg, const TermBand<kForm>* corners) {
  const SearchRequest& request = *pass->request;
  const Divider<kForm> divider(*pass, leg.value);
  if (corners != nullptr) {
    const TermBand<kForm> band = BandWithin<kForm>(*pass, divider, request.Vmin, request.Vmax, corners);
    return OfferEachRow<kForm>(pass, leg, divider, PairSpace<TermBand<kForm>>(band, pass->count));
  }
  const PairOutput<kForm> output{pass->pairTerm, divider};
  const KeyBand<PairOutput<kForm>> band{{request.Vmin, request.Vmax, output.AlongIndex()}, output};
  return OfferEachRow<kForm>(pass, leg, divider, PairSpace<KeyBand<PairOutput<kForm>>>(band, pass->count));
}

// Offers the pairs of `space`, counted already, row by row from `from` on.
// Returns the row after the one in which the selection narrowed, to go on
// from with a narrower space, or n - 1 once the rows are done.
template <int kForm>
int OfferRows(SearchPass* pass, const Leg& leg, const Divider<kForm>& divider,
              const PairSpace<TermBand<kForm>>& space, int from, EntryWindow* entry) {
  const double* term = pass->pairTerm;
  RowRun<TermBand<kForm>> run(space);
  return run.EachRow(from, [&](int j) {
    const int stop = run.stop();
    if (stop <= run.start()) return false;
    for (int k = run.start(); k < stop; ++k) {
      const double vo = divider.Output(term[j] + term[k]);
      kernel::Offer<kForm, Counting::PerRun>(pass, leg, j, k, vo);
    }
    return entry->Follow(*pass);
  });
}

// What a best-N search that counts whole runs carries from one leg to the
// next: the entry window, and where the walks along each end began.
struct BestSearchState {
  explicit BestSearchState(const SearchRequest& request) : entry(request) {}
  EntryWindow entry;
  WalkStarts windowNotAfter;
  WalkStarts windowBefore;
  WalkStarts entryBefore;
};

// The same pairs for a best-N search that counts whole runs: the band's
// pairs are counted at once; offered are all of them, row by row, while the
// selection has room, and once it is full those within the entry window,
// gathered at once, or when too many to gather, row by row, found again
// whenever the selection narrows.
template <int kForm>
void BestPairsForLeg(SearchPass* pass, const Leg& leg, const TermBand<kForm>* corners, BestSearchState* state) {
  const int n = pass->count;
  const SearchRequest& request = *pass->request;
  const Divider<kForm> divider(*pass, leg.value);
  const PairSpace<TermBand<kForm>> window(
      BandWithin<kForm>(*pass, divider, request.Vmin, request.Vmax, corners), n);
  if (window.Empty()) return;
  pass->qualified += window.CountPairs(&state->windowNotAfter, &state->windowBefore);
  EntryWindow* entry = &state->entry;
  int row = entry->narrowed() ? 0 : OfferRows<kForm>(pass, leg, divider, window, 0, entry);
  PairList list;
  while (row < n - 1) {
    const PairSpace<TermBand<kForm>> near(
        BandWithin<kForm>(*pass, divider, entry->low(), entry->high(), corners), n);
    if (!near.Gather(row, &state->entryBefore, &list)) {
      row = OfferRows<kForm>(pass, leg, divider, near, row, entry);
      continue;
    }
    for (int m = 0; m < list.count; ++m) {
      const int j = list.pairs[m].r2;
      const int k = list.pairs[m].r3;
      const double vo = divider.Output(pass->pairTerm[j] + pass->pairTerm[k]);
      kernel::Offer<kForm, Counting::PerRun>(pass, leg, j, k, vo);
    }
    return;
  }
}

// "R3=DNM only": R3 is the last entry, and the run is that of its row. Given
// `entry`, a best-N search that filters nothing: the run is counted whole
// and only its part within the entry window offered.
template <int kForm>
bool FastDnmOnlyForLeg(SearchPass* pass, const Leg& leg, EntryWindow* entry) {
  const int n = pass->count;
  const int k = n - 1;
  const SearchRequest& request = *pass->request;
  const PairOutput<kForm> output{pass->pairTerm, Divider<kForm>(*pass, leg.value)};
  const Direction along = output.AlongIndex();
  using Band = KeyBand<PairOutput<kForm>>;
  const PairSpace<Band> space(Band{{request.Vmin, request.Vmax, along}, output}, n);
  RowRun<Band> run(space);
  run.Find(k, 0, k);
  int start = run.start();
  int stop = run.stop();
  if (entry == nullptr) {
    for (int j = start; j < stop; ++j) {
      if (kernel::Offer<kForm>(pass, leg, j, k, output(j, k))) return true;
    }
    return false;
  }
  if (stop <= start) return false;
  pass->qualified += stop - start;
  if (entry->narrowed()) {
    const PairSpace<Band> nearSpace(Band{{entry->low(), entry->high(), along}, output}, n);
    RowRun<Band> near(nearSpace);
    near.Find(k, start, stop);
    start = near.start();
    stop = near.stop();
  }
  for (int j = start; j < stop; ++j) {
    kernel::Offer<kForm, Counting::PerRun>(pass, leg, j, k, output(j, k));
  }
  return false;
}

template <int kForm>
struct FastRun {
  static void Go(SearchPass* pass) {
    const int n = pass->count;
    const double vfb = pass->request->Vfb;
    const bool monotone = n >= 2 && std::isfinite(vfb) && vfb != 0.0 && PairTermsAreMonotone(*pass, pass->pairTerm);
    const bool byCorners = monotone && !kernel::HasPinCurrent(kForm) && WorstCaseByCorners(*pass);
    // "R3=DNM only" takes the worst case combination by combination.
    const bool countsWholeRuns = CountsWholeRuns(*pass, byCorners && !pass->r3DnmOnly);
    BestSearchState best(*pass->request);
    kernel::EachLeg(*pass, [&](const Leg& leg) {
      const bool fast = monotone && InMonotoneDomain(leg.value) &&
                        PinCurrentKeepsOrder<kForm>(*pass, Divider<kForm>(*pass, leg.value));
      // A leg whose corners leave the monotone domain is searched pair by pair.
      TermBand<kForm> corners;
      const bool legByCorners = fast && byCorners && AddWorstCase<kForm>(*pass, leg, &corners);
      if (countsWholeRuns) best.entry.Follow(*pass);
      if (!fast || (countsWholeRuns && byCorners && !legByCorners)) return kernel::PlainPairsForLeg<kForm>(pass, leg);
      if (pass->r3DnmOnly) return FastDnmOnlyForLeg<kForm>(pass, leg, countsWholeRuns ? &best.entry : nullptr);
      const TermBand<kForm>* cornerBand = legByCorners ? &corners : nullptr;
      if (!countsWholeRuns) return FastPairsForLeg<kForm>(pass, leg, cornerBand);
      BestPairsForLeg<kForm>(pass, leg, cornerBand, &best);
      return false;
    });
  }
};

}  // namespace

int64_t RunSearch(const SearchRequest& request, const StockTable& stock,
              const SearchOptions& options, MatchTable* matches) {
  SearchPass pass;
  int form = kernel::BeginPass(request, stock, options, matches, &pass);
  kernel::DispatchForm<FastRun>(form, &pass);
  return kernel::QualifiedCount(pass);
}

}  // namespace tapsmith
