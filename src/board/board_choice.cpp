#include "board_choice.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cmath>
#include <numeric>
#include <string>
#include <unordered_set>

namespace tapsmith {

namespace {

uint64_t Mixed(uint64_t key) {
  key ^= key >> 33;
  key *= 0xff51afd7ed558ccdULL;
  key ^= key >> 33;
  return key;
}

// The slot of `key` in an open-addressing table of a power-of-two size:
// where it is held, or the empty slot where it would go.
size_t SlotOf(const std::vector<int32_t>& slots, const std::vector<BoardModel::HeldSet>& sets, uint64_t key) {
  const size_t mask = slots.size() - 1;
  size_t at = Mixed(key) & mask;
  while (slots[at] >= 0 && sets[static_cast<size_t>(slots[at])].key != key) at = (at + 1) & mask;
  return at;
}

void Rehash(BoardModel::Rail* rail, size_t size) {
  rail->slots.assign(size, -1);
  for (size_t s = 0; s < rail->sets.size(); ++s) {
    rail->slots[SlotOf(rail->slots, rail->sets, rail->sets[s].key)] = static_cast<int32_t>(s);
  }
}

}  // namespace

BoardModel::BoardModel(int railCount, int largestSet, size_t heldSetLimit)
    : rails_(static_cast<size_t>(railCount)), heldSetLimit_(heldSetLimit), wholeSize_(largestSet) {
  for (Rail& rail : rails_) rail.slots.assign(16, -1);
}

uint64_t BoardModel::KeyOf(const ValueNumber* values, int count) {
  uint64_t key = 0;
  for (int n = kMostNewValues - 1; n >= 0; --n) key = key << 16 | (n < count ? values[n] : kNoValue);
  return key;
}

const BoardModel::HeldSet* BoardModel::Find(int rail, uint64_t key) const {
  const Rail& held = rails_[static_cast<size_t>(rail)];
  const int32_t at = held.slots[SlotOf(held.slots, held.sets, key)];
  return at < 0 ? nullptr : &held.sets[static_cast<size_t>(at)];
}

void BoardModel::Add(int rail, const DividerWeight& divider) {
  Rail* held = &rails_[static_cast<size_t>(rail)];
  held->any = true;
  if (!held->hasFallback || divider.newCount < held->fallback.newCount) {
    held->fallback = divider;
    held->hasFallback = true;
  }
  if (divider.newCount > wholeSize_) return;
  Hold(held, divider);
  if (heldSets_ > heldSetLimit_ && wholeSize_ > 0) LetGoAbove(wholeSize_ - 1);
}

void BoardModel::Hold(Rail* rail, const DividerWeight& divider) {
  const uint64_t key = KeyOf(divider.newValues, divider.newCount);
  size_t at = SlotOf(rail->slots, rail->sets, key);
  if (rail->slots[at] < 0) {
    HeldSet set{key, divider.newCount, {-1, -1, -1, -1}, {-1, -1, -1, -1}};
    rail->sets.push_back(set);
    rail->slots[at] = static_cast<int32_t>(rail->sets.size() - 1);
    ++heldSets_;
    if (rail->sets.size() * 2 > rail->slots.size()) {
      Rehash(rail, rail->slots.size() * 2);
      at = SlotOf(rail->slots, rail->sets, key);
    }
  }
  HeldSet& set = rail->sets[static_cast<size_t>(rail->slots[at])];
  const int fitted = std::clamp(divider.fitted, 1, kMostNewValues) - 1;
  // A later divider of the same set and count is kept only if it is better.
  const int32_t last = set.last[fitted];
  if (last >= 0 && !(divider.badness < rail->steps[static_cast<size_t>(last)].badness)) return;
  AppendStep(rail, &set, fitted, divider.position, divider.badness);
}

void BoardModel::AppendStep(Rail* rail, HeldSet* set, int fitted, uint64_t position, double badness) {
  rail->steps.push_back({position, badness, -1});
  const auto step = static_cast<int32_t>(rail->steps.size() - 1);
  if (set->last[fitted] >= 0) {
    rail->steps[static_cast<size_t>(set->last[fitted])].next = step;
  } else {
    set->first[fitted] = step;
  }
  set->last[fitted] = step;
}

void BoardModel::LetGoAbove(int size) {
  wholeSize_ = size;
  heldSets_ = 0;
  for (Rail& rail : rails_) {
    Rail kept;
    kept.any = rail.any;
    kept.hasFallback = rail.hasFallback;
    kept.fallback = rail.fallback;
    for (const HeldSet& set : rail.sets) {
      if (set.size > size) continue;
      HeldSet copy{set.key, set.size, {-1, -1, -1, -1}, {-1, -1, -1, -1}};
      for (int f = 0; f < kMostNewValues; ++f) {
        for (int32_t s = set.first[f]; s >= 0; s = rail.steps[static_cast<size_t>(s)].next) {
          const Step& step = rail.steps[static_cast<size_t>(s)];
          AppendStep(&kept, &copy, f, step.position, step.badness);
        }
      }
      kept.sets.push_back(copy);
    }
    size_t slots = 16;
    while (slots < kept.sets.size() * 2) slots *= 2;
    Rehash(&kept, slots);
    heldSets_ += kept.sets.size();
    rail = std::move(kept);
  }
}

void BoardModel::Finish() {
  for (size_t r = 0; r < rails_.size(); ++r) {
    Rail& rail = rails_[r];
    if (rail.any && rail.sets.empty()) Hold(&rail, rail.fallback);
    std::stable_sort(rail.sets.begin(), rail.sets.end(),
                     [](const HeldSet& a, const HeldSet& b) { return a.size < b.size; });
    Rehash(&rail, rail.slots.size());
    rail.minimal.clear();
    for (size_t s = 0; s < rail.sets.size(); ++s) {
      const HeldSet& set = rail.sets[s];
      ValueNumber values[kMostNewValues];
      for (int n = 0; n < set.size; ++n) values[n] = static_cast<ValueNumber>(set.key >> (16 * n) & 0xFFFF);
      // Each proper subset, by the bits of the values it keeps.
      bool holdsAnother = false;
      for (unsigned kept = 0; kept + 1 < (1u << set.size) && !holdsAnother; ++kept) {
        ValueNumber subset[kMostNewValues];
        int count = 0;
        for (int n = 0; n < set.size; ++n) {
          if ((kept >> n & 1u) != 0) subset[count++] = values[n];
        }
        holdsAnother = Find(static_cast<int>(r), KeyOf(subset, count)) != nullptr;
      }
      if (!holdsAnother) rail.minimal.push_back(static_cast<int32_t>(s));
    }
    rail.minimalByValue.clear();
    for (int size = 0; size <= kMostNewValues; ++size) rail.minimalUpTo[size] = 0;
    for (int32_t s : rail.minimal) {
      const HeldSet& set = rail.sets[static_cast<size_t>(s)];
      for (int size = set.size; size <= kMostNewValues; ++size) ++rail.minimalUpTo[size];
      for (int n = 0; n < set.size; ++n) {
        rail.minimalByValue.emplace_back(static_cast<ValueNumber>(set.key >> (16 * n) & 0xFFFF), s);
      }
    }
    std::sort(rail.minimalByValue.begin(), rail.minimalByValue.end());
  }
}

namespace {

class Search {
 public:
  Search(const BoardModel& model, ChoiceClock* clock) : model_(model), clock_(clock) {
    order_.resize(static_cast<size_t>(model.RailCount()));
    std::iota(order_.begin(), order_.end(), 0);
    // Among rails equally hard to cover, the one with the fewest sets first.
    std::stable_sort(order_.begin(), order_.end(), [&](int a, int b) {
      return model.RailAt(a).minimal.size() < model.RailAt(b).minimal.size();
    });
  }

  BoardChoice Run() {
    Greedy();
    int lowest = 0;  // no choice uses fewer new values
    bool whole = true;
    for (int level = 0; level <= static_cast<int>(best_.newValues.size()) && whole; ++level) {
      level_ = level;
      seen_.clear();
      if (clock_->Expired(level, tried_, static_cast<int>(best_.newValues.size()))) {
        whole = false;
        break;
      }
      std::vector<ValueNumber> none;
      whole = Explore(none);
      // A level is ruled out only where every set up to its size is held.
      if (whole && level <= model_.WholeSize() && static_cast<int>(best_.newValues.size()) > level) lowest = level + 1;
      if (whole && level > model_.WholeSize()) whole = false;
    }
    BoardChoice choice = std::move(best_);
    const int used = static_cast<int>(choice.newValues.size());
    choice.found = true;
    choice.proven = whole && lowest <= used && used <= model_.WholeSize();
    choice.bound = choice.proven ? used : std::min(lowest, used);
    choice.tried = tried_;
    return choice;
  }

 private:
  // The held sets of `rail` within `values` (ascending): each subset of up
  // to four of them that the rail holds.
  template <typename Visit>
  void EachHeldSubset(int rail, const std::vector<ValueNumber>& values, Visit visit) const {
    const int n = static_cast<int>(values.size());
    ValueNumber chosen[kMostNewValues];
    auto recurse = [&](auto&& self, int from, int count) -> void {
      if (const BoardModel::HeldSet* set = model_.Find(rail, BoardModel::KeyOf(chosen, count))) visit(*set);
      if (count == kMostNewValues) return;
      for (int i = from; i < n; ++i) {
        chosen[count] = values[static_cast<size_t>(i)];
        self(self, i + 1, count + 1);
      }
    };
    recurse(recurse, 0, 0);
  }

  bool Covered(int rail, const std::vector<ValueNumber>& values) const {
    bool covered = false;
    EachHeldSubset(rail, values, [&](const BoardModel::HeldSet&) { covered = true; });
    return covered;
  }

  // The best choice whose new values lie within `values`.
  bool Weigh(const std::vector<ValueNumber>& values, BoardChoice* weighed) const {
    const int rails = model_.RailCount();
    std::vector<int> fitted(static_cast<size_t>(rails));
    std::vector<double> badness(static_cast<size_t>(rails));
    for (int r = 0; r < rails; ++r) {
      int least = kMostNewValues + 1;
      double best = HUGE_VAL;
      const BoardModel::Rail& rail = model_.RailAt(r);
      EachHeldSubset(r, values, [&](const BoardModel::HeldSet& set) {
        for (int f = 0; f < kMostNewValues; ++f) {
          if (set.first[f] < 0 || f + 1 > least) continue;
          // The staircase's last step is its least badness.
          const double low = rail.steps[static_cast<size_t>(set.last[f])].badness;
          if (f + 1 < least || low < best) best = low;
          least = f + 1;
        }
      });
      if (least > kMostNewValues) return false;
      fitted[static_cast<size_t>(r)] = least;
      badness[static_cast<size_t>(r)] = best;
    }
    weighed->worst = *std::max_element(badness.begin(), badness.end());
    weighed->resistors = 0;
    weighed->positions.assign(static_cast<size_t>(rails), UINT64_MAX);
    weighed->newValues.clear();
    for (int r = 0; r < rails; ++r) {
      const BoardModel::Rail& rail = model_.RailAt(r);
      const int f = fitted[static_cast<size_t>(r)] - 1;
      weighed->resistors += f + 1;
      uint64_t* position = &weighed->positions[static_cast<size_t>(r)];
      uint64_t key = 0;
      EachHeldSubset(r, values, [&](const BoardModel::HeldSet& set) {
        for (int32_t s = set.first[f]; s >= 0; s = rail.steps[static_cast<size_t>(s)].next) {
          const BoardModel::Step& step = rail.steps[static_cast<size_t>(s)];
          if (!(step.badness <= weighed->worst)) continue;
          if (step.position < *position) {
            *position = step.position;
            key = set.key;
          }
          break;
        }
      });
      for (int n = 0; n < kMostNewValues; ++n) {
        const auto value = static_cast<ValueNumber>(key >> (16 * n) & 0xFFFF);
        if (value != kNoValue) weighed->newValues.push_back(value);
      }
    }
    std::sort(weighed->newValues.begin(), weighed->newValues.end());
    weighed->newValues.erase(std::unique(weighed->newValues.begin(), weighed->newValues.end()), weighed->newValues.end());
    return true;
  }

  void Offer(const std::vector<ValueNumber>& values) {
    BoardChoice weighed;
    if (Weigh(values, &weighed) && (!hasBest_ || Precedes(weighed, best_))) {
      best_ = std::move(weighed);
      hasBest_ = true;
    }
  }

  static std::vector<ValueNumber> Joined(const std::vector<ValueNumber>& values, uint64_t key) {
    std::vector<ValueNumber> joined = values;
    for (int n = 0; n < kMostNewValues; ++n) {
      const auto value = static_cast<ValueNumber>(key >> (16 * n) & 0xFFFF);
      if (value != kNoValue && !std::binary_search(values.begin(), values.end(), value)) joined.push_back(value);
    }
    std::sort(joined.begin(), joined.end());
    return joined;
  }

  // A first choice: each rail in turn takes the set that adds the fewest
  // values to those taken so far.
  void Greedy() {
    std::vector<ValueNumber> taken;
    for (int r = 0; r < model_.RailCount(); ++r) {
      if (Covered(r, taken)) continue;
      std::vector<ValueNumber> fewest;
      bool any = false;
      const BoardModel::Rail& rail = model_.RailAt(r);
      for (int32_t s : rail.minimal) {
        std::vector<ValueNumber> joined = Joined(taken, rail.sets[static_cast<size_t>(s)].key);
        if (!any || joined.size() < fewest.size()) fewest = std::move(joined);
        any = true;
      }
      taken = std::move(fewest);
    }
    Offer(taken);
  }

  // Calls `visit(set)` for each minimal set of `rail` that adds at most
  // `room` values to `values`, until it returns true: those of up to `room`
  // values, then the larger ones through a value of `values` that they hold
  // (each once, through the first such value). Returns how many it visited.
  template <typename Visit>
  int EachFitting(const BoardModel::Rail& rail, const std::vector<ValueNumber>& values, int room, Visit visit) const {
    const int small = rail.minimalUpTo[std::min(std::max(room, 0), kMostNewValues)];
    int count = 0;
    for (int m = 0; m < small; ++m) {
      ++count;
      if (visit(rail.sets[static_cast<size_t>(rail.minimal[static_cast<size_t>(m)])])) return count;
    }
    for (ValueNumber value : values) {
      auto at = std::lower_bound(rail.minimalByValue.begin(), rail.minimalByValue.end(), std::make_pair(value, INT32_MIN));
      for (; at != rail.minimalByValue.end() && at->first == value; ++at) {
        const BoardModel::HeldSet& set = rail.sets[static_cast<size_t>(at->second)];
        if (set.size <= room || set.size > level_) continue;
        int added = 0;
        ValueNumber first = kNoValue;
        for (int n = 0; n < set.size; ++n) {
          const auto held = static_cast<ValueNumber>(set.key >> (16 * n) & 0xFFFF);
          if (!std::binary_search(values.begin(), values.end(), held)) {
            ++added;
          } else if (first == kNoValue) {
            first = held;  // the set's values ascend: the first it shares
          }
        }
        if (added > room || first != value) continue;
        ++count;
        if (visit(set)) return count;
      }
    }
    return count;
  }

  // The uncovered rail with the fewest minimal sets that fit in `room` more
  // values (fail first: one with none ends the branch); -1 when every rail
  // is covered. Counting stops at the fewest found so far.
  int HardestRail(const std::vector<ValueNumber>& values, int room) const {
    int hardest = -1;
    int fewest = INT32_MAX;
    for (int r : order_) {
      if (Covered(r, values)) continue;
      int count = 0;
      EachFitting(model_.RailAt(r), values, room, [&](const BoardModel::HeldSet&) { return ++count >= fewest; });
      if (count < fewest) {
        fewest = count;
        hardest = r;
        if (count == 0) break;
      }
    }
    return hardest;
  }

  // Every set of at most `level_` new values that every rail can take,
  // grown from `values` by the minimal sets of the rail hardest to cover.
  // False when the clock stopped it.
  bool Explore(const std::vector<ValueNumber>& values) {
    if (++tried_ % 4096 == 0 && clock_->Expired(level_, tried_, static_cast<int>(best_.newValues.size()))) return false;
    const int room = level_ - static_cast<int>(values.size());
    const int open = HardestRail(values, room);
    if (open < 0) {
      Offer(values);
      return true;
    }
    bool stopped = false;
    EachFitting(model_.RailAt(open), values, room, [&](const BoardModel::HeldSet& set) {
      std::vector<ValueNumber> joined = Joined(values, set.key);
      std::string seen(reinterpret_cast<const char*>(joined.data()), joined.size() * sizeof(ValueNumber));
      if (!seen_.insert(std::move(seen)).second) return false;
      stopped = !Explore(joined);
      return stopped;
    });
    return !stopped;
  }

  const BoardModel& model_;
  ChoiceClock* clock_;
  std::vector<int> order_;
  BoardChoice best_;
  bool hasBest_ = false;
  int level_ = 0;
  int64_t tried_ = 0;
  std::unordered_set<std::string> seen_;
};

}  // namespace

bool Precedes(const BoardChoice& a, const BoardChoice& b) {
  if (a.newValues.size() != b.newValues.size()) return a.newValues.size() < b.newValues.size();
  if (a.resistors != b.resistors) return a.resistors < b.resistors;
  if (a.worst != b.worst) return a.worst < b.worst;
  return a.positions < b.positions;
}

BoardChoice ChooseBoard(const BoardModel& model, ChoiceClock* clock) {
  BoardChoice choice;
  for (int r = 0; r < model.RailCount(); ++r) {
    if (!model.HasDivider(r)) choice.unsolvable.push_back(r);
  }
  if (!choice.unsolvable.empty() || model.RailCount() == 0) return choice;
  return Search(model, clock).Run();
}

}  // namespace tapsmith
