#include "scroll_bar_model.h"

#include <algorithm>
#include <cstdint>

namespace tapsmith {

ScrollBarModel::ScrollBarModel(bool styled) : min_(0), max_(styled ? 100 : 0) {}

void ScrollBarModel::SetRangeAndPage(int min, int max, int page) {
  min_ = min;
  max_ = std::max(min, max);
  // 64 bits: a range of the whole int span would overflow its own length.
  const int64_t length = int64_t{max_} - min_ + 1;
  page_ = static_cast<int>(std::clamp<int64_t>(page, 0, length));
  pos_ = Clamp(pos_);
  track_ = Clamp(track_);
}

void ScrollBarModel::SetPosition(int pos) { pos_ = Clamp(pos); }

void ScrollBarModel::Track(int pos) {
  tracking_ = true;
  track_ = Clamp(pos);
}

void ScrollBarModel::EndTrack() { tracking_ = false; }

ScrollBarState ScrollBarModel::State() const {
  return ScrollBarState{min_, max_, page_, pos_, tracking_ ? track_ : pos_};
}

int ScrollBarModel::MaxPosition() const { return std::max(min_, max_ - std::max(page_ - 1, 0)); }

bool ScrollBarModel::Visible() const { return MaxPosition() > min_; }

int ScrollBarModel::Clamp(int pos) const { return std::clamp(pos, min_, MaxPosition()); }

}  // namespace tapsmith
