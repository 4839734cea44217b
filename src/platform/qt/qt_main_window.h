// The main window: a top-level widget whose client area holds the form's
// controls and is painted by the form, with the window's own two scroll bars
// beside it. It reports its events to the form's WindowEvents and decides
// nothing itself.
#pragma once

#include <QScrollBar>
#include <QSize>
#include <QWidget>
#include <functional>
#include <optional>

#include "scroll_bar_model.h"
#include "window_system.h"

namespace tapsmith {

/// The handle of a widget: its address.
inline WindowHandle HandleOf(QWidget* widget) { return reinterpret_cast<WindowHandle>(widget); }

// One of the window's own scroll bars. It shows its ScrollBarModel and reports
// what the user does with it as scroll codes; it never moves by itself, only
// the model (which the form sets) moves it. The wheel, the keys and the
// context menu do nothing to it.
class QtScrollBar final : public QScrollBar {
 public:
  QtScrollBar(Qt::Orientation orientation, ScrollBarModel* model, QWidget* parent,
              std::function<void(int code)> report);
  /// Shows the model's range, page and position.
  void ShowModel();

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  void OnAction(int action);

  ScrollBarModel* model_;
  std::function<void(int code)> report_;
  bool pressed_ = false;
};

class QtMainWindow;

// The client area: the parent of every control, painted by the form on the
// button-face colour.
class QtClientArea final : public QWidget {
 public:
  explicit QtClientArea(QtMainWindow* window);
  /// Something was invalidated and not painted yet.
  bool paintPending() const { return paintPending_; }
  void MarkPaintPending() { paintPending_ = true; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QtMainWindow* window_;
  bool paintPending_ = false;
};

class QtMainWindow final : public QWidget {
 public:
  /// A hidden window; `style` tells which scroll bars it starts with.
  explicit QtMainWindow(uint32_t style);

  WindowHandle handle() { return HandleOf(this); }
  QtClientArea* client() const { return client_; }
  WindowEvents* events() const { return events_; }
  /// From now on the window reports to `events`.
  void SetEvents(WindowEvents* events) { events_ = events; }
  /// Called once the window is destroyed, after OnDestroy.
  void SetOnDestroyed(std::function<void()> onDestroyed) { onDestroyed_ = std::move(onDestroyed); }
  /// Stops reporting anything, for a window torn down by its owner.
  void Detach() {
    events_ = nullptr;
    onDestroyed_ = nullptr;
  }
  bool destroyed() const { return destroyed_; }

  ScrollBarModel* Model(ScrollBarKind bar) {
    return bar == ScrollBarKind::Horizontal ? &horizontalModel_ : &verticalModel_;
  }
  QtScrollBar* Bar(ScrollBarKind bar) const {
    return bar == ScrollBarKind::Horizontal ? horizontalBar_ : verticalBar_;
  }
  /// The model of `bar` changed: shows it, and lays the window out anew when
  /// the bar appears or disappears.
  void ScrollBarChanged(ScrollBarKind bar);
  /// Places the client area and the bars and reports the client size to
  /// OnSize when it changed, or in any case with `always`. A size change made
  /// while OnSize runs is reported after it returns, never inside it.
  void Relayout(bool always);

  /// The outer rectangle, frame included where the window system reports one.
  QRect Frame() const { return frameGeometry(); }
  /// Moves and sizes the outer rectangle.
  void PlaceFrame(const QRect& frame);
  /// Sizes the outer rectangle at its place and raises the window.
  void ResizeFrame(const QSize& size);

  /// WM_DESTROY: tells the form while the controls exist, then hides. Only
  /// the first call acts.
  void Destroy();

 protected:
  bool event(QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void PlaceParts();
  QMargins FrameMargins() const;
  void ApplyPendingSize();
  void ReportScroll(ScrollBarKind bar, int code);

  ScrollBarModel horizontalModel_;
  ScrollBarModel verticalModel_;
  QtClientArea* client_ = nullptr;
  QtScrollBar* horizontalBar_ = nullptr;
  QtScrollBar* verticalBar_ = nullptr;
  WindowEvents* events_ = nullptr;
  std::function<void()> onDestroyed_;
  bool horizontalShown_ = false;
  bool verticalShown_ = false;
  bool layingOut_ = false;
  bool layoutAgain_ = false;
  std::optional<QSize> reported_;
  // An outer size asked for before the frame was known; applied once it is.
  std::optional<QSize> pendingSize_;
  bool destroyed_ = false;
};

}  // namespace tapsmith
