#include "scrolling.h"

namespace tapsmith {

namespace {

// The pull-back of one axis: when the client area shows more than the form's
// end, move the form back by the difference, but never past the origin 0.
// Returns the cells moved (0 or more).
int PullBack(int* origin, int cellsShown, int formExtent) {
  if (*origin >= 0 || cellsShown <= *origin + formExtent) return 0;
  int d = cellsShown - (*origin + formExtent);
  if (d > -*origin) d = -*origin;
  *origin += d;
  return d;
}

int NewPosition(const ScrollBarState& bar, int code) {
  switch (code) {
    case kScrollLineUp: return bar.pos - 1;
    case kScrollLineDown: return bar.pos + 1;
    case kScrollPageUp: return bar.pos - bar.page;
    case kScrollPageDown: return bar.pos + bar.page;
    case kScrollThumbTrack: return bar.trackPos;
    case kScrollTop: return bar.min;
    case kScrollBottom: return bar.max;
    default: return bar.pos;  // end of a drag, end of scrolling, unknown
  }
}

// Moves the bar by `code` and returns the cells the form has to move
// (positive: down or right), bounded so that `origin` stays <= 0. After a
// pull-back the bar can stand one above -origin; moving it back to 0 then
// moves nothing, and 0 is returned.
int ScrollBarBy(const Form& form, ScrollBarKind kind, int code, int origin) {
  ScrollBarState bar{};
  if (!form.system->GetScrollBar(form.window, kind, &bar)) return 0;
  const int old = bar.pos;
  form.system->SetScrollPosition(form.window, kind, NewPosition(bar, code));
  if (!form.system->GetScrollBar(form.window, kind, &bar)) return 0;
  if (bar.pos == old) return 0;
  int d = old - bar.pos;
  if (d > -origin) d = -origin;
  return d;
}

}  // namespace

void OnSize(Form* form, int clientWidth, int clientHeight) {
  const int cellWidth = form->metrics.cellWidth;
  const int cellHeight = form->metrics.cellHeight;
  const int cols = clientWidth > 0 ? clientWidth / cellWidth : 0;
  const int lines = clientHeight > 0 ? clientHeight / cellHeight : 0;

  const int down = PullBack(&form->origin.y, lines, kFormLines);
  if (down != 0) form->system->ScrollClientArea(form->window, 0, down * cellHeight);
  const int right = PullBack(&form->origin.x, cols, kFormColumns);
  if (right != 0) form->system->ScrollClientArea(form->window, right * cellWidth, 0);
  if (down != 0 || right != 0) form->system->InvalidateClientArea(form->window, true);

  const unsigned notification = ++form->sizeNotifications;
  form->system->SetScrollRange(form->window, ScrollBarKind::Vertical, 0, kFormLines, lines);
  // Showing or hiding the vertical bar narrows or widens the client area, and
  // the window system reports the new size from inside the call above. That
  // newer notification has set both bars for the new width; setting the
  // horizontal page from the old width now would let the form's last columns
  // drop out of reach.
  if (form->sizeNotifications != notification) return;
  form->system->SetScrollRange(form->window, ScrollBarKind::Horizontal, 0, kFormColumns, cols);
}

void OnVScroll(Form* form, int code) {
  const int d = ScrollBarBy(*form, ScrollBarKind::Vertical, code, form->origin.y);
  if (d == 0) return;
  form->system->ScrollClientArea(form->window, 0, d * form->metrics.cellHeight);
  form->origin.y += d;
  form->system->UpdateWindow(form->window);
}

void OnHScroll(Form* form, int code) {
  const int d = ScrollBarBy(*form, ScrollBarKind::Horizontal, code, form->origin.x);
  if (d == 0) return;
  form->system->ScrollClientArea(form->window, d * form->metrics.cellWidth, 0);
  form->origin.x += d;
  form->system->InvalidateClientArea(form->window, true);
}

}  // namespace tapsmith
