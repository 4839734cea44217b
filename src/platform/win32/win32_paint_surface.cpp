#include "win32_paint_surface.h"

namespace tapsmith {

namespace {

int SystemColorIndex(SystemColor color) {
  return color == SystemColor::ButtonText ? COLOR_BTNTEXT : COLOR_BTNFACE;
}

RECT ToRect(const PixelRect& rect) { return RECT{rect.left, rect.top, rect.right, rect.bottom}; }

}  // namespace

void Win32PaintSurface::SetTextColor(SystemColor color) {
  ::SetTextColor(dc_, GetSysColor(SystemColorIndex(color)));
}

void Win32PaintSurface::SetBackgroundColor(SystemColor color) {
  ::SetBkColor(dc_, GetSysColor(SystemColorIndex(color)));
}

void Win32PaintSurface::DrawText(const char* text, const PixelRect& rect, uint32_t format) {
  RECT r = ToRect(rect);
  ::DrawTextA(dc_, text, -1, &r, format);
}

void Win32PaintSurface::DrawEdge(const PixelRect& rect, uint32_t edge, uint32_t flags) {
  RECT r = ToRect(rect);
  ::DrawEdge(dc_, &r, edge, flags);
}

}  // namespace tapsmith
