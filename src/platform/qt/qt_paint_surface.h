// The paint handler's drawing surface on a QPainter: the window's own text
// drawing (DrawTextA) and edges (DrawEdge) in the system colours, which are
// the toolkit palette's button colours here.
#pragma once

#include <QColor>
#include <QPainter>
#include <QPalette>

#include "window_system.h"

namespace tapsmith {

class QtPaintSurface final : public PaintSurface {
 public:
  /// Paints with `painter`, which must outlive the surface; colours come from
  /// `palette`. Starts with button text on button face, opaque.
  QtPaintSurface(QPainter* painter, const QPalette& palette);

  void SetTextColor(SystemColor color) override;
  void SetBackgroundColor(SystemColor color) override;
  void DrawText(const char* text, const PixelRect& rect, uint32_t format) override;
  void DrawEdge(const PixelRect& rect, uint32_t edge, uint32_t flags) override;

 private:
  QColor ColorOf(SystemColor color) const;

  QPainter* painter_;
  QPalette palette_;
  QColor text_;
  QColor background_;
};

}  // namespace tapsmith
