#include "qt_paint_surface.h"

#include <QRect>
#include <QString>

#include "control_text.h"

namespace tapsmith {
namespace {

// DrawTextA format bits and what the toolkit calls them.
struct DrawTextFlag {
  uint32_t native;
  int toolkit;
};
static const DrawTextFlag kDrawTextFlags[] = {
    {0x00000001, Qt::AlignHCenter},    // DT_CENTER
    {0x00000002, Qt::AlignRight},      // DT_RIGHT
    {0x00000004, Qt::AlignVCenter},    // DT_VCENTER
    {0x00000008, Qt::AlignBottom},     // DT_BOTTOM
    {0x00000010, Qt::TextWordWrap},    // DT_WORDBREAK
    {0x00000020, Qt::TextSingleLine},  // DT_SINGLELINE
    {0x00000040, Qt::TextExpandTabs},  // DT_EXPANDTABS
};
constexpr uint32_t kDrawTextNoClip = 0x100;    // DT_NOCLIP
constexpr uint32_t kDrawTextNoPrefix = 0x800;  // DT_NOPREFIX

// DrawEdge: the border bits of the edge kind and the sides of the flags.
constexpr uint32_t kRaisedOuter = 0x1;  // BDR_RAISEDOUTER
constexpr uint32_t kSunkenOuter = 0x2;  // BDR_SUNKENOUTER
constexpr uint32_t kRaisedInner = 0x4;  // BDR_RAISEDINNER
constexpr uint32_t kSunkenInner = 0x8;  // BDR_SUNKENINNER
constexpr uint32_t kSideLeft = 0x1;     // BF_LEFT
constexpr uint32_t kSideTop = 0x2;      // BF_TOP
constexpr uint32_t kSideRight = 0x4;    // BF_RIGHT
constexpr uint32_t kSideBottom = 0x8;   // BF_BOTTOM

QRect ToQRect(const PixelRect& rect) {
  return QRect(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
}

}  // namespace

QtPaintSurface::QtPaintSurface(QPainter* painter, const QPalette& palette)
    : painter_(painter),
      palette_(palette),
      text_(ColorOf(SystemColor::ButtonText)),
      background_(ColorOf(SystemColor::ButtonFace)) {}

QColor QtPaintSurface::ColorOf(SystemColor color) const {
  return palette_.color(color == SystemColor::ButtonText ? QPalette::ButtonText : QPalette::Button);
}

void QtPaintSurface::SetTextColor(SystemColor color) { text_ = ColorOf(color); }

void QtPaintSurface::SetBackgroundColor(SystemColor color) { background_ = ColorOf(color); }

void QtPaintSurface::DrawText(const char* text, const PixelRect& rect, uint32_t format) {
  if (text == nullptr) return;
  int flags = Qt::AlignLeft | Qt::AlignTop;
  for (const DrawTextFlag& flag : kDrawTextFlags)
    if (format & flag.native) flags |= flag.toolkit;
  // Without DT_NOPREFIX an ampersand underlines the next character.
  if (!(format & kDrawTextNoPrefix)) flags |= Qt::TextShowMnemonic;
  const QString shown = QString::fromStdString(BytesToShownText(text, true));

  painter_->save();
  painter_->setPen(text_);
  painter_->setBackground(background_);
  painter_->setBackgroundMode(Qt::OpaqueMode);
  const QRect box = ToQRect(rect);
  if (!(format & kDrawTextNoClip)) painter_->setClipRect(box, Qt::IntersectClip);
  painter_->drawText(box, flags, shown);
  painter_->restore();
}

void QtPaintSurface::DrawEdge(const PixelRect& rect, uint32_t edge, uint32_t flags) {
  const QColor light = palette_.color(QPalette::Light);
  const QColor shadow = palette_.color(QPalette::Dark);
  const QColor highlight = palette_.color(QPalette::Midlight);
  const QColor darkShadow = palette_.color(QPalette::Shadow);
  QRect box = ToQRect(rect);
  painter_->save();
  // The outer border first, then the inner one a pixel further in.
  for (int ring = 0; ring < 2; ++ring) {
    const uint32_t raised = ring == 0 ? kRaisedOuter : kRaisedInner;
    const uint32_t sunken = ring == 0 ? kSunkenOuter : kSunkenInner;
    if (edge & (raised | sunken)) {
      const bool up = (edge & raised) != 0;
      const QColor topLeft =
          up ? (ring == 0 ? light : highlight) : (ring == 0 ? shadow : darkShadow);
      const QColor bottomRight =
          up ? (ring == 0 ? darkShadow : shadow) : (ring == 0 ? light : highlight);
      if (box.width() > 0 && box.height() > 0) {
        if (flags & kSideLeft) painter_->fillRect(box.left(), box.top(), 1, box.height(), topLeft);
        if (flags & kSideTop) painter_->fillRect(box.left(), box.top(), box.width(), 1, topLeft);
        if (flags & kSideRight)
          painter_->fillRect(box.right(), box.top(), 1, box.height(), bottomRight);
        if (flags & kSideBottom)
          painter_->fillRect(box.left(), box.bottom(), box.width(), 1, bottomRight);
      }
    }
    box.adjust(1, 1, -1, -1);
  }
  painter_->restore();
}

}  // namespace tapsmith
