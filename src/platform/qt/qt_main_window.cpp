#include "qt_main_window.h"

#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QWheelEvent>
#include <algorithm>

#include "qt_paint_surface.h"

namespace tapsmith {
namespace {

// The toolkit's scroll-bar actions and the scroll codes they send.
struct ScrollAction {
  int action;
  int code;
};
static const ScrollAction kScrollActions[] = {
    {QAbstractSlider::SliderSingleStepSub, kScrollLineUp},
    {QAbstractSlider::SliderSingleStepAdd, kScrollLineDown},
    {QAbstractSlider::SliderPageStepSub, kScrollPageUp},
    {QAbstractSlider::SliderPageStepAdd, kScrollPageDown},
    {QAbstractSlider::SliderMove, kScrollThumbTrack},
    {QAbstractSlider::SliderToMinimum, kScrollTop},
    {QAbstractSlider::SliderToMaximum, kScrollBottom},
};

}  // namespace

QtScrollBar::QtScrollBar(Qt::Orientation orientation, ScrollBarModel* model, QWidget* parent,
                         std::function<void(int code)> report)
    : QScrollBar(orientation, parent), model_(model), report_(std::move(report)) {
  setFocusPolicy(Qt::NoFocus);
  setSingleStep(1);
  connect(this, &QAbstractSlider::actionTriggered, this, [this](int action) { OnAction(action); });
  ShowModel();
}

void QtScrollBar::ShowModel() {
  const ScrollBarState state = model_->State();
  setRange(state.min, model_->MaxPosition());
  setPageStep(state.page);
  // Also while the toolkit is in the middle of an action: setting the value
  // here makes the action end where the model stands, not where it aimed.
  setValue(state.trackPos);
}

void QtScrollBar::OnAction(int action) {
  for (const ScrollAction& entry : kScrollActions) {
    if (entry.action != action) continue;
    if (action == SliderMove) model_->Track(sliderPosition());
    report_(entry.code);
    ShowModel();
    return;
  }
}

void QtScrollBar::mousePressEvent(QMouseEvent* event) {
  pressed_ = true;
  QScrollBar::mousePressEvent(event);
}

void QtScrollBar::mouseReleaseEvent(QMouseEvent* event) {
  QScrollBar::mouseReleaseEvent(event);
  // The end of a drag (or of a jump to the pointer, which the toolkit makes a
  // drag too), then the end of any scrolling by the mouse.
  if (model_->tracking()) {
    report_(kScrollThumbPosition);
    model_->EndTrack();
  }
  if (pressed_) {
    pressed_ = false;
    report_(kScrollEnd);
  }
  ShowModel();
}

void QtScrollBar::wheelEvent(QWheelEvent* event) { event->ignore(); }

void QtScrollBar::keyPressEvent(QKeyEvent* event) { event->ignore(); }

void QtScrollBar::contextMenuEvent(QContextMenuEvent* event) { event->ignore(); }

QtClientArea::QtClientArea(QtMainWindow* window) : QWidget(window), window_(window) {
  QPalette colours = palette();
  colours.setColor(QPalette::Window, colours.color(QPalette::Button));
  setPalette(colours);
  setAutoFillBackground(true);
}

void QtClientArea::paintEvent(QPaintEvent*) {
  paintPending_ = false;
  WindowEvents* events = window_->events();
  if (events == nullptr) return;
  QPainter painter(this);
  painter.setFont(font());
  QtPaintSurface surface(&painter, palette());
  events->OnPaint(window_->handle(), surface);
}

QtMainWindow::QtMainWindow(uint32_t style)
    : horizontalModel_((style & kStyleHScroll) != 0), verticalModel_((style & kStyleVScroll) != 0) {
  // The children are made here, once every member is set: adding a child
  // already sends this window events.
  client_ = new QtClientArea(this);
  horizontalBar_ = new QtScrollBar(Qt::Horizontal, &horizontalModel_, this, [this](int code) {
    ReportScroll(ScrollBarKind::Horizontal, code);
  });
  verticalBar_ = new QtScrollBar(Qt::Vertical, &verticalModel_, this,
                                 [this](int code) { ReportScroll(ScrollBarKind::Vertical, code); });
  // The platform's default size, until the form places the window.
  resize(640, 480);
  PlaceParts();
}

void QtMainWindow::ReportScroll(ScrollBarKind bar, int code) {
  if (events_ == nullptr) return;
  if (bar == ScrollBarKind::Horizontal)
    events_->OnHScroll(handle(), code);
  else
    events_->OnVScroll(handle(), code);
}

void QtMainWindow::ScrollBarChanged(ScrollBarKind bar) {
  Bar(bar)->ShowModel();
  const bool shown = bar == ScrollBarKind::Horizontal ? horizontalShown_ : verticalShown_;
  if (Model(bar)->Visible() != shown) Relayout(false);
}

void QtMainWindow::PlaceParts() {
  const int extent = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
  horizontalShown_ = horizontalModel_.Visible();
  verticalShown_ = verticalModel_.Visible();
  const int clientWidth = std::max(0, width() - (verticalShown_ ? extent : 0));
  const int clientHeight = std::max(0, height() - (horizontalShown_ ? extent : 0));
  client_->setGeometry(0, 0, clientWidth, clientHeight);
  verticalBar_->setGeometry(clientWidth, 0, extent, clientHeight);
  verticalBar_->setVisible(verticalShown_);
  horizontalBar_->setGeometry(0, clientHeight, clientWidth, extent);
  horizontalBar_->setVisible(horizontalShown_);
}

void QtMainWindow::Relayout(bool always) {
  if (client_ == nullptr) return;
  if (layingOut_) {
    layoutAgain_ = true;
    return;
  }
  layingOut_ = true;
  bool report = always;
  do {
    layoutAgain_ = false;
    // A minimised window has reported 0 x 0 and waits for its restoration.
    if (isMinimized()) break;
    PlaceParts();
    const QSize size = client_->size();
    if (events_ != nullptr && (report || reported_ != size)) {
      reported_ = size;
      events_->OnSize(handle(), size.width(), size.height());
    }
    report = false;
  } while (layoutAgain_);
  layingOut_ = false;
}

QMargins QtMainWindow::FrameMargins() const {
  const QRect outer = frameGeometry();
  const QRect inner = geometry();
  return QMargins(inner.left() - outer.left(), inner.top() - outer.top(),
                  outer.right() - inner.right(), outer.bottom() - inner.bottom());
}

void QtMainWindow::PlaceFrame(const QRect& frame) {
  // move() places the frame's corner already; the size is the client's.
  move(frame.topLeft());
  ResizeFrame(frame.size());
}

void QtMainWindow::ResizeFrame(const QSize& size) {
  const QMargins margins = FrameMargins();
  resize(std::max(1, size.width() - margins.left() - margins.right()),
         std::max(1, size.height() - margins.top() - margins.bottom()));
  // Before the window is on screen its frame is unknown: the outer size is
  // made good once it is, or the window would grow by its frame every run.
  if (margins.isNull())
    pendingSize_ = size;
  else
    pendingSize_.reset();
  if (isVisible()) raise();
  Relayout(false);
}

void QtMainWindow::ApplyPendingSize() {
  const QMargins margins = FrameMargins();
  if (!pendingSize_ || margins.isNull()) return;
  const QSize size = *pendingSize_;
  pendingSize_.reset();
  resize(std::max(1, size.width() - margins.left() - margins.right()),
         std::max(1, size.height() - margins.top() - margins.bottom()));
}

bool QtMainWindow::event(QEvent* event) {
  const bool handled = QWidget::event(event);
  const QEvent::Type type = event->type();
  if (pendingSize_ && (type == QEvent::Move || type == QEvent::Resize || type == QEvent::Show))
    ApplyPendingSize();
  return handled;
}

void QtMainWindow::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  Relayout(false);
}

void QtMainWindow::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() != QEvent::WindowStateChange) return;
  if (!isMinimized()) {
    Relayout(false);
    return;
  }
  if (events_ != nullptr && reported_ != QSize(0, 0)) {
    reported_ = QSize(0, 0);
    events_->OnSize(handle(), 0, 0);
  }
}

void QtMainWindow::closeEvent(QCloseEvent* event) {
  event->accept();
  Destroy();
}

void QtMainWindow::Destroy() {
  if (destroyed_) return;
  destroyed_ = true;
  WindowEvents* events = events_;
  if (events != nullptr) events->OnDestroy(handle());
  events_ = nullptr;
  hide();
  if (onDestroyed_) onDestroyed_();
}

}  // namespace tapsmith
