// Scrolling the form in whole cells with the main window's own scroll bars.
#pragma once

#include "form.h"

namespace tapsmith {

/// The size notification: pulls a scrolled form back (vertically, then
/// horizontally) when the client area shows space beyond its end, repaints
/// the whole client area if it did, then gives the vertical bar the range
/// 0..39 and the horizontal bar 0..52, each with the page of whole cells that
/// fit. Negative sizes count as 0.
void OnSize(Form* form, int clientWidth, int clientHeight);

/// The vertical bar's notification with a ScrollCode: moves the bar, then the
/// client area and the controls by whole lines, the origin never becoming
/// positive; the uncovered strip is repainted at once. Codes 4, 8 and unknown
/// codes, a bar that cannot be read and a bar that does not move change
/// nothing.
void OnVScroll(Form* form, int code);

/// The same for the horizontal bar, by whole columns; the whole client area
/// is invalidated afterwards (a painted row partly off the left edge must
/// disappear whole).
void OnHScroll(Form* form, int code);

}  // namespace tapsmith
