// Painting on Win32: the device context that BeginPaint hands out, with the
// font it carries (none is selected) and an opaque text background.
#pragma once

#include "win32_api.h"
#include "window_system.h"

namespace tapsmith {

class Win32PaintSurface : public PaintSurface {
 public:
  /// `dc` must stay valid while the surface is used (until EndPaint).
  explicit Win32PaintSurface(HDC dc) : dc_(dc) {}

  void SetTextColor(SystemColor color) override;
  void SetBackgroundColor(SystemColor color) override;
  void DrawText(const char* text, const PixelRect& rect, uint32_t format) override;
  void DrawEdge(const PixelRect& rect, uint32_t edge, uint32_t flags) override;

 private:
  HDC dc_;
};

}  // namespace tapsmith
