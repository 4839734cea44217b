// The choice of every rail's divider at once: the fewest values not yet on
// the BOM over the whole board, then the fewest resistors fitted, then the
// least of the rails' worst badness (deviation, or yield lost), then each
// rail, in file order, the first of its own production order. Exhaustive,
// with bounds: a choice is called optimal only once every other is ruled
// out.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tapsmith {

// A value the board may use, numbered over the whole board.
using ValueNumber = uint16_t;
constexpr ValueNumber kNoValue = 0xFFFF;
constexpr int kMostNewValues = 4;  // a divider has at most four resistors
// The most sets of new values held over the whole board (some 100 MB at
// worst); beyond it the largest sets are let go and the choice is exact
// only up to the largest size still held whole.
constexpr size_t kHeldSetLimit = 2000000;

// What the choice weighs of one qualifying divider.
struct DividerWeight {
  ValueNumber newValues[kMostNewValues];  // its values not on the BOM, ascending, distinct
  int newCount = 0;
  int fitted = 0;        // resistors fitted (DNM is not)
  double badness = 0.0;  // lower is better: |deviation| in percent, or the yield lost
  uint64_t position = 0; // in the rail's production order
};

// Every rail's dividers, grouped by the set of new values they use: for
// each set and each number of resistors fitted, the staircase of dividers
// in production order each better than those before it (no other divider
// can ever be chosen).
class BoardModel {
 public:
  /// Holds the sets of up to `largestSet` new values (a search that
  /// weighed no larger ones), within `heldSetLimit` sets over the board.
  explicit BoardModel(int railCount, int largestSet = kMostNewValues, size_t heldSetLimit = kHeldSetLimit);

  /// Adds a divider of `rail`; a rail's dividers come in production order.
  void Add(int rail, const DividerWeight& divider);

  int RailCount() const { return static_cast<int>(rails_.size()); }
  bool HasDivider(int rail) const { return rails_[static_cast<size_t>(rail)].any; }
  /// Every set of up to this many new values is held, for every rail.
  int WholeSize() const { return wholeSize_; }
  size_t HeldSets() const { return heldSets_; }

  // --- What the choice reads ---
  struct Step {
    uint64_t position;
    double badness;
    int32_t next;  // -1: the last
  };
  struct HeldSet {
    uint64_t key;  // the values ascending, 16 bits each, kNoValue after them
    int size;
    int32_t first[kMostNewValues];  // staircase by resistors fitted (1..4), -1: none
    int32_t last[kMostNewValues];
  };
  struct Rail {
    std::vector<HeldSet> sets;
    std::vector<int32_t> slots;  // open addressing over `sets`, -1 empty
    std::vector<Step> steps;
    // The sets holding no other of the rail's: every union that covers all
    // rails holds one of them for each, so the choice grows from these.
    std::vector<int32_t> minimal;
    // The minimal sets by size: those of up to n values are minimal[0,
    // minimalUpTo[n]); and by value: each value with a minimal set that
    // holds it, ascending.
    int32_t minimalUpTo[kMostNewValues + 1] = {};
    std::vector<std::pair<ValueNumber, int32_t>> minimalByValue;
    bool any = false;
    bool hasFallback = false;  // the first divider of the fewest new values
    DividerWeight fallback;
  };
  const Rail& RailAt(int rail) const { return rails_[static_cast<size_t>(rail)]; }
  /// The set of `rail` with `key`, or null.
  const HeldSet* Find(int rail, uint64_t key) const;
  /// Makes the model ready for the choice: a rail whose sets were all let
  /// go keeps its fallback; every rail's sets ordered by size, its minimal
  /// ones listed.
  void Finish();

  static uint64_t KeyOf(const ValueNumber* values, int count);

 private:
  void Hold(Rail* rail, const DividerWeight& divider);
  static void AppendStep(Rail* rail, HeldSet* set, int fitted, uint64_t position, double badness);
  void LetGoAbove(int size);

  std::vector<Rail> rails_;
  size_t heldSetLimit_;
  size_t heldSets_ = 0;
  int wholeSize_ = kMostNewValues;
};

struct BoardChoice {
  bool found = false;
  std::vector<int> unsolvable;        // rails no divider meets
  std::vector<uint64_t> positions;    // per rail, the chosen divider
  std::vector<ValueNumber> newValues; // ascending
  int resistors = 0;
  double worst = 0.0;  // the largest badness of a rail
  bool proven = false;
  int bound = 0;       // the fewest new values a better choice could use
  int64_t tried = 0;   // sets of new values weighed
};

// Tells the search when to stop, and hears how far it is.
class ChoiceClock {
 public:
  /// Called now and then: the number of new values being tried, the sets
  /// tried so far and the best choice's new values (-1: none yet). True
  /// ends the search.
  virtual bool Expired(int level, int64_t tried, int best) = 0;

 protected:
  ~ChoiceClock() = default;
};

/// The board's order of choices: fewer new values, fewer resistors, a
/// smaller worst badness, then the rails' earlier dividers, in file order.
bool Precedes(const BoardChoice& a, const BoardChoice& b);

/// Chooses every rail's divider. A rail without any divider makes the
/// board unsolvable: nothing is chosen. Otherwise a choice is always
/// found (at first a greedy one), improved level by level until proven or
/// the clock expires.
BoardChoice ChooseBoard(const BoardModel& model, ChoiceClock* clock);

}  // namespace tapsmith
