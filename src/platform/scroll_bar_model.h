// The bookkeeping of a window's standard scroll bar, by the native rules: the
// page stays within 0 .. max - min + 1, the position within
// min .. max - max(page - 1, 0), and the bar shows only while there is
// something to scroll. The Qt backend's bars and the fake's keep these
// rules here, once, apart from any toolkit, so that they are tested on their
// own.
#pragma once

#include "window_system.h"

namespace tapsmith {

class ScrollBarModel {
 public:
  /// The bar of a window created with the bar's style bit starts with the
  /// range 0 to 100, page 0, and shows; without the bit, 0 to 0, hidden.
  explicit ScrollBarModel(bool styled);

  /// SetScrollInfo(SIF_RANGE | SIF_PAGE): a maximum below the minimum is
  /// taken as the minimum, the page is cut into range, the position clamped.
  void SetRangeAndPage(int min, int max, int page);
  /// SetScrollInfo(SIF_POS): the position is clamped.
  void SetPosition(int pos);
  /// The thumb is being dragged to `pos` (clamped) until EndTrack.
  void Track(int pos);
  void EndTrack();
  bool tracking() const { return tracking_; }

  /// GetScrollInfo(SIF_ALL): the track position is the position unless a
  /// drag is on.
  ScrollBarState State() const;
  /// The highest position the bar allows, never below the minimum.
  int MaxPosition() const;
  /// False while the page covers the whole range.
  bool Visible() const;

 private:
  int Clamp(int pos) const;

  int min_;
  int max_;
  int page_ = 0;
  int pos_ = 0;
  int track_ = 0;
  bool tracking_ = false;
};

}  // namespace tapsmith
