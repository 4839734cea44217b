#include "qt_window_system.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>
#include <memory>
#include <string>

#include "qt_main_window.h"
#include "text_encoding.h"
#include "window_test_util.h"

namespace tapsmith {
namespace {

constexpr uint32_t kWindowStyle = kStyleOverlappedWindow | kStyleVScroll | kStyleHScroll;
constexpr uint32_t kPushButton = 0x50000000;
constexpr uint32_t kCheckBox = 0x50000102;
constexpr uint32_t kRadioButton = 0x50000004;
constexpr uint32_t kGroupBox = 0x50000007;
constexpr uint32_t kLineEdit = 0x50800080;
constexpr uint32_t kMultiLineEdit = 0x50A000C4;

class QtBackend : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::EnsureApplication();
    system_ = std::make_unique<QtWindowSystem>(argc_, argv_);
  }

  WindowHandle CreateWindow() {
    window_ = system_->CreateMainWindow("test", kWindowStyle, &events_);
    return window_;
  }
  QtMainWindow* Main() const { return static_cast<QtMainWindow*>(system_->WidgetOf(window_)); }
  WindowHandle Control(ControlClass controlClass, uint32_t style, int id,
                       const QRect& at = QRect(10, 10, 120, 20)) {
    return system_->CreateControl(controlClass, " ", style, at.x(), at.y(), at.width(), at.height(),
                                  window_, id);
  }
  template <typename Widget>
  Widget* As(WindowHandle handle) const {
    return qobject_cast<Widget*>(system_->WidgetOf(handle));
  }
  std::string Text(WindowHandle control) {
    char buffer[256];
    const int length = system_->GetText(control, buffer, sizeof buffer);
    return std::string(buffer, length);
  }
  void ShowAndWait() {
    system_->ShowMainWindow(window_, 10);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(Main()));
  }

  inline static int argc_ = 1;
  inline static char name_[] = "window_tests";
  inline static char* argv_[] = {name_, nullptr};
  testing::RecordingEvents events_;
  std::unique_ptr<QtWindowSystem> system_;
  WindowHandle window_ = nullptr;
};

TEST_F(QtBackend, CreationRunsOnCreateThenReportsTheClientSize) {
  bool hadNoSizeYet = false;
  events_.onCreate = [&](WindowHandle window) {
    hadNoSizeYet = events_.sizes.empty();
    return system_->CreateControl(ControlClass::Button, "x", kPushButton, 0, 0, 10, 10, window,
                                  1) != nullptr;
  };
  ASSERT_NE(CreateWindow(), nullptr);
  EXPECT_EQ(events_.creates, 1);
  EXPECT_TRUE(hadNoSizeYet);
  ASSERT_FALSE(events_.sizes.empty());
  const QSize client = Main()->client()->size();
  EXPECT_EQ(events_.sizes.back(),
            (testing::RecordingEvents::Size{client.width(), client.height()}));
}

TEST_F(QtBackend, RefusedCreationGivesNoWindow) {
  events_.onCreate = [](WindowHandle) { return false; };
  EXPECT_EQ(CreateWindow(), nullptr);
  EXPECT_EQ(system_->LastMainWindow(), nullptr);
  EXPECT_EQ(system_->CreateMainWindow("test", kWindowStyle, nullptr), nullptr);
}

TEST_F(QtBackend, PlainCheckBoxKeepsItsMarkOnClickAndSpace) {
  CreateWindow();
  const WindowHandle box = Control(ControlClass::Button, kCheckBox, 35);
  ShowAndWait();
  auto* widget = As<QCheckBox>(box);
  ASSERT_NE(widget, nullptr);
  QTest::mouseClick(widget, Qt::LeftButton);
  QTest::keyClick(widget, Qt::Key_Space);
  EXPECT_FALSE(widget->isChecked());
  system_->SetCheck(box, true);
  QTest::mouseClick(widget, Qt::LeftButton);
  EXPECT_TRUE(widget->isChecked());
  system_->SetCheck(box, false);
  EXPECT_FALSE(widget->isChecked());
  EXPECT_EQ(events_.commands, (std::vector<int>{35, 35, 35}));
}

TEST_F(QtBackend, PlainRadioButtonsNeitherToggleNorClearEachOther) {
  CreateWindow();
  const WindowHandle first = Control(ControlClass::Button, kRadioButton, 4, QRect(10, 10, 100, 20));
  const WindowHandle second =
      Control(ControlClass::Button, kRadioButton, 5, QRect(10, 40, 100, 20));
  ShowAndWait();
  system_->SetCheck(first, true);
  QTest::mouseClick(As<QRadioButton>(second), Qt::LeftButton);
  QTest::keyClick(As<QRadioButton>(second), Qt::Key_Space);
  EXPECT_TRUE(As<QRadioButton>(first)->isChecked());
  EXPECT_FALSE(As<QRadioButton>(second)->isChecked());
  system_->SetCheck(second, true);
  EXPECT_TRUE(As<QRadioButton>(first)->isChecked());
  QTest::mouseClick(As<QRadioButton>(first), Qt::LeftButton);
  EXPECT_TRUE(As<QRadioButton>(first)->isChecked());
  EXPECT_EQ(events_.commands, (std::vector<int>{5, 5, 4}));
}

TEST_F(QtBackend, ControlsAfterAGroupBoxStayOnTopOfIt) {
  CreateWindow();
  Control(ControlClass::Button, kGroupBox, 3, QRect(0, 0, 300, 100));
  const WindowHandle button = Control(ControlClass::Button, kPushButton, 34, QRect(20, 30, 80, 24));
  ShowAndWait();
  EXPECT_EQ(Main()->client()->childAt(60, 42), system_->WidgetOf(button));
  EXPECT_TRUE(qobject_cast<QGroupBox*>(Main()->client()->childAt(200, 80)) != nullptr);
}

TEST_F(QtBackend, EditingReportsNoCommand) {
  CreateWindow();
  const WindowHandle edit = Control(ControlClass::Edit, kLineEdit, 11);
  ShowAndWait();
  QTest::mouseClick(As<QLineEdit>(edit), Qt::LeftButton);
  QTest::keyClicks(As<QLineEdit>(edit), "12");
  EXPECT_TRUE(events_.commands.empty());
}

TEST_F(QtBackend, UnchangedTextGivesBackItsExactBytes) {
  CreateWindow();
  const WindowHandle edit = Control(ControlClass::Edit, kLineEdit, 11);
  const WindowHandle editor =
      Control(ControlClass::Edit, kMultiLineEdit, 46, QRect(10, 40, 200, 100));
  const WindowHandle button =
      Control(ControlClass::Button, kPushButton, 34, QRect(10, 150, 80, 20));
  ShowAndWait();
  // A lone lead byte, bytes that are no character, a CR without LF.
  const std::string junk = "1.2\x81 \xFF\xA0k\r5\r\n\x82\xA0\r\n\x81";
  for (WindowHandle control : {edit, editor, button}) {
    system_->SetText(control, junk.c_str());
    EXPECT_EQ(Text(control), junk);
  }
  // Typed into and changed back: still the very bytes.
  auto* line = As<QLineEdit>(edit);
  line->setFocus();
  line->end(false);
  QTest::keyClicks(line, "x");
  EXPECT_NE(Text(edit), junk);
  QTest::keyClick(line, Qt::Key_Backspace);
  EXPECT_EQ(Text(edit), junk);
  const std::string hand = LiteralToCp932("直列 & 並列");
  system_->SetText(button, hand.c_str());
  EXPECT_EQ(Text(button), hand);
}

TEST_F(QtBackend, EditedMultiLineTextComesBackWithCrLf) {
  CreateWindow();
  const WindowHandle editor =
      Control(ControlClass::Edit, kMultiLineEdit, 46, QRect(10, 10, 200, 100));
  ShowAndWait();
  system_->SetText(editor, "1k\r\n2k");
  auto* widget = As<QPlainTextEdit>(editor);
  EXPECT_EQ(widget->toPlainText(), QString("1k\n2k"));
  widget->moveCursor(QTextCursor::End);
  QTest::mouseClick(widget->viewport(), Qt::LeftButton, {}, QPoint(150, 80));
  widget->moveCursor(QTextCursor::End);
  QTest::keyClick(widget, Qt::Key_Return);
  QTest::keyClicks(widget, "3");
  widget->insertPlainText(QString::fromUtf8("k\xE6\x8A\xB5\xC3\xA9"));  // k, 抵, é
  EXPECT_EQ(Text(editor), "1k\r\n2k\r\n3k" + LiteralToCp932("抵") + "?");
  system_->SetText(editor, "\x81");
  EXPECT_EQ(Text(editor), "\x81");
}

TEST_F(QtBackend, ScrollBarHidesWhenThePageCoversTheRangeAndTheClientGrows) {
  CreateWindow();
  ShowAndWait();
  events_.sizes.clear();
  const int extent = Main()->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, Main());
  const int wide = Main()->width();
  system_->SetScrollRange(window_, ScrollBarKind::Vertical, 0, 39, 40);
  system_->SetScrollRange(window_, ScrollBarKind::Horizontal, 0, 52, 60);
  EXPECT_TRUE(Main()->Bar(ScrollBarKind::Vertical)->isHidden());
  EXPECT_TRUE(Main()->Bar(ScrollBarKind::Horizontal)->isHidden());
  EXPECT_EQ(Main()->client()->width(), wide);
  ASSERT_FALSE(events_.sizes.empty());
  EXPECT_EQ(events_.sizes.back().width, wide);

  system_->SetScrollRange(window_, ScrollBarKind::Vertical, 0, 39, 10);
  EXPECT_FALSE(Main()->Bar(ScrollBarKind::Vertical)->isHidden());
  EXPECT_EQ(Main()->client()->width(), wide - extent);
  EXPECT_EQ(events_.sizes.back().width, wide - extent);
}

TEST_F(QtBackend, ScrollBarClampsItsPosition) {
  CreateWindow();
  system_->SetScrollRange(window_, ScrollBarKind::Horizontal, 0, 52, 50);
  system_->SetScrollPosition(window_, ScrollBarKind::Horizontal, 9);
  ScrollBarState state{};
  ASSERT_TRUE(system_->GetScrollBar(window_, ScrollBarKind::Horizontal, &state));
  EXPECT_EQ(state.pos, 3);
  EXPECT_EQ(Main()->Bar(ScrollBarKind::Horizontal)->value(), 3);
  EXPECT_EQ(Main()->Bar(ScrollBarKind::Horizontal)->maximum(), 3);
}

TEST_F(QtBackend, BarActionsReportCodesAndMoveOnlyWhenTheFormSetsThePosition) {
  CreateWindow();
  ShowAndWait();
  system_->SetScrollRange(window_, ScrollBarKind::Vertical, 0, 39, 10);
  QScrollBar* bar = Main()->Bar(ScrollBarKind::Vertical);
  bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
  bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
  bar->triggerAction(QAbstractSlider::SliderToMaximum);
  EXPECT_EQ(bar->value(), 0);
  ScrollBarState state{};
  system_->GetScrollBar(window_, ScrollBarKind::Vertical, &state);
  EXPECT_EQ(state.pos, 0);

  events_.onScroll = [&](WindowHandle window, ScrollBarKind kind, int code) {
    ScrollBarState now{};
    system_->GetScrollBar(window, kind, &now);
    if (code == kScrollLineDown) system_->SetScrollPosition(window, kind, now.pos + 1);
    if (code == kScrollTop) system_->SetScrollPosition(window, kind, now.min);
  };
  bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
  EXPECT_EQ(bar->value(), 1);
  bar->triggerAction(QAbstractSlider::SliderSingleStepSub);
  bar->triggerAction(QAbstractSlider::SliderPageStepSub);
  EXPECT_EQ(bar->value(), 1);
  bar->triggerAction(QAbstractSlider::SliderToMinimum);
  EXPECT_EQ(bar->value(), 0);
  EXPECT_EQ(events_.vscrolls, (std::vector<int>{1, 3, 7, 1, 0, 2, 6}));
}

TEST_F(QtBackend, ThumbDragReportsTrackPositionsThenItsEnd) {
  CreateWindow();
  Main()->resize(300, 300);
  ShowAndWait();
  system_->SetScrollRange(window_, ScrollBarKind::Vertical, 0, 39, 10);
  std::vector<int> trackSeen;
  events_.onScroll = [&](WindowHandle window, ScrollBarKind kind, int code) {
    ScrollBarState now{};
    system_->GetScrollBar(window, kind, &now);
    if (code == kScrollThumbTrack) {
      trackSeen.push_back(now.trackPos);
      system_->SetScrollPosition(window, kind, now.trackPos);
    }
  };
  QScrollBar* bar = Main()->Bar(ScrollBarKind::Vertical);
  const int extent = bar->width();
  // The thumb sits right below the up arrow at position 0.
  const QPoint grip(extent / 2, extent + 4);
  QTest::mousePress(bar, Qt::LeftButton, {}, grip);
  QTest::mouseMove(bar, grip + QPoint(0, 60));
  QTest::mouseRelease(bar, Qt::LeftButton, {}, grip + QPoint(0, 60));
  ASSERT_FALSE(trackSeen.empty());
  EXPECT_GT(trackSeen.back(), 0);
  ASSERT_GE(events_.vscrolls.size(), 3u);
  EXPECT_EQ(events_.vscrolls.front(), kScrollThumbTrack);
  EXPECT_EQ(events_.vscrolls[events_.vscrolls.size() - 2], kScrollThumbPosition);
  EXPECT_EQ(events_.vscrolls.back(), kScrollEnd);
  ScrollBarState after{};
  system_->GetScrollBar(window_, ScrollBarKind::Vertical, &after);
  EXPECT_EQ(after.pos, trackSeen.back());
  EXPECT_EQ(after.trackPos, after.pos);
  EXPECT_EQ(bar->value(), after.pos);
}

TEST_F(QtBackend, JumpToThePointerEndsLikeADrag) {
  CreateWindow();
  Main()->resize(300, 300);
  ShowAndWait();
  system_->SetScrollRange(window_, ScrollBarKind::Vertical, 0, 39, 10);
  QScrollBar* bar = Main()->Bar(ScrollBarKind::Vertical);
  const bool middleJumps =
      bar->style()->styleHint(QStyle::SH_ScrollBar_MiddleClickAbsolutePosition);
  const bool leftJumps = bar->style()->styleHint(QStyle::SH_ScrollBar_LeftClickAbsolutePosition);
  if (!middleJumps && !leftJumps) GTEST_SKIP() << "this style never jumps to the pointer";
  const QPoint groove(bar->width() / 2, bar->height() - bar->width() - 10);
  QTest::mouseClick(bar, middleJumps ? Qt::MiddleButton : Qt::LeftButton, {}, groove);
  ASSERT_GE(events_.vscrolls.size(), 3u);
  EXPECT_EQ(events_.vscrolls.front(), kScrollThumbTrack);
  EXPECT_EQ(events_.vscrolls[events_.vscrolls.size() - 2], kScrollThumbPosition);
  EXPECT_EQ(events_.vscrolls.back(), kScrollEnd);
  ScrollBarState after{};
  system_->GetScrollBar(window_, ScrollBarKind::Vertical, &after);
  EXPECT_EQ(after.trackPos, after.pos);
  EXPECT_EQ(bar->value(), 0);
}

TEST_F(QtBackend, WheelAndKeysDoNotScroll) {
  CreateWindow();
  ShowAndWait();
  system_->SetScrollRange(window_, ScrollBarKind::Vertical, 0, 39, 10);
  QScrollBar* bar = Main()->Bar(ScrollBarKind::Vertical);
  for (QWidget* target : {static_cast<QWidget*>(bar), static_cast<QWidget*>(Main()->client())}) {
    QWheelEvent wheel(QPointF(5, 5), target->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, -120),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(target, &wheel);
    QTest::keyClick(target, Qt::Key_PageDown);
    QTest::keyClick(target, Qt::Key_Down);
  }
  EXPECT_TRUE(events_.vscrolls.empty());
  EXPECT_EQ(bar->value(), 0);
}

TEST_F(QtBackend, ScrollClientAreaMovesEveryControl) {
  CreateWindow();
  const WindowHandle button = Control(ControlClass::Button, kPushButton, 34, QRect(50, 60, 80, 20));
  const WindowHandle edit = Control(ControlClass::Edit, kLineEdit, 11, QRect(200, 100, 60, 20));
  ShowAndWait();
  system_->ScrollClientArea(window_, -10, -16);
  EXPECT_EQ(system_->WidgetOf(button)->pos(), QPoint(40, 44));
  EXPECT_EQ(system_->WidgetOf(edit)->pos(), QPoint(190, 84));
  EXPECT_EQ(Main()->client()->pos(), QPoint(0, 0));
}

TEST_F(QtBackend, PaintedTextIsClippedToItsRectangle) {
  const std::string longText(200, 'W');
  events_.onPaint = [&](WindowHandle, PaintSurface& surface) {
    surface.DrawText(longText.c_str(), PixelRect{20, 20, 120, 40}, kDrawTextWordBreak);
  };
  CreateWindow();
  ShowAndWait();
  const QImage image = Main()->client()->grab().toImage();
  EXPECT_GT(testing::DarkPixels(image, QRect(20, 20, 100, 20)), 50);
  EXPECT_EQ(testing::DarkPixels(image, QRect(121, 0, 200, 100)), 0);
  EXPECT_EQ(testing::DarkPixels(image, QRect(0, 41, 300, 100)), 0);
}

TEST_F(QtBackend, CloseReportsDestroyWhileTheControlsLiveThenForgetsThem) {
  std::string seen;
  WindowHandle edit = nullptr;
  events_.onDestroy = [&](WindowHandle) { seen = Text(edit); };
  CreateWindow();
  edit = Control(ControlClass::Edit, kLineEdit, 11);
  system_->SetText(edit, "4.7k");
  ShowAndWait();
  Main()->close();
  EXPECT_EQ(events_.destroys, 1);
  EXPECT_EQ(seen, "4.7k");
  EXPECT_EQ(Text(edit), "");
  EXPECT_EQ(system_->LastMainWindow(), nullptr);
  system_->SendDestroy(window_);
  EXPECT_EQ(events_.destroys, 1);
}

TEST_F(QtBackend, QuitEndsTheLoopWithItsCodeOncePosted) {
  CreateWindow();
  system_->PostQuit(3);
  EXPECT_EQ(system_->RunMessageLoop(), 3);
  bool handlerFinished = false;
  QTimer::singleShot(0, [&] {
    system_->PostQuit(5);
    handlerFinished = true;
  });
  EXPECT_EQ(system_->RunMessageLoop(), 5);
  EXPECT_TRUE(handlerFinished);
}

TEST_F(QtBackend, SendDestroyRunsOnDestroyAtOnce) {
  CreateWindow();
  system_->SendDestroy(window_);
  EXPECT_EQ(events_.destroys, 1);
  EXPECT_FALSE(Main() != nullptr);
}

TEST_F(QtBackend, MoveWindowPlacesTheOuterRectangle) {
  CreateWindow();
  system_->MoveWindow(window_, 100, 50, 600, 550);
  ShowAndWait();
  PixelRect rect{};
  ASSERT_TRUE(system_->GetWindowRect(window_, &rect));
  EXPECT_EQ(rect.left, 100);
  EXPECT_EQ(rect.top, 50);
  EXPECT_EQ(rect.right - rect.left, 600);
  EXPECT_EQ(rect.bottom - rect.top, 550);
  system_->ResizeWindow(window_, 400, 300);
  ASSERT_TRUE(system_->GetWindowRect(window_, &rect));
  EXPECT_EQ(rect.left, 100);
  EXPECT_EQ(rect.right - rect.left, 400);
  EXPECT_EQ(rect.bottom - rect.top, 300);
  int width = 0, height = 0;
  system_->GetVirtualScreenSize(&width, &height);
  EXPECT_GT(width, 0);
  EXPECT_GT(height, 0);
  int x = -1, y = -1;
  system_->GetVirtualScreenOrigin(&x, &y);
  const QRect screen = QGuiApplication::primaryScreen()->geometry();
  EXPECT_EQ(QRect(x, y, width, height), screen);  // the offscreen platform's one screen
}

TEST_F(QtBackend, MinimisingReportsAnEmptyClientArea) {
  CreateWindow();
  ShowAndWait();
  Main()->showMinimized();
  QTest::qWait(20);
  if (!Main()->isMinimized()) GTEST_SKIP() << "this platform does not minimise";
  ASSERT_FALSE(events_.sizes.empty());
  EXPECT_EQ(events_.sizes.back(), (testing::RecordingEvents::Size{0, 0}));
  Main()->showNormal();
  QTest::qWait(20);
  EXPECT_EQ(events_.sizes.back().width, Main()->client()->width());
}

TEST_F(QtBackend, NullAndDeadHandlesDoNothing) {
  char buffer[4] = "abc";
  EXPECT_EQ(system_->GetText(nullptr, buffer, sizeof buffer), 0);
  EXPECT_STREQ(buffer, "");
  EXPECT_EQ(system_->CreateControl(ControlClass::Button, "x", kPushButton, 0, 0, 9, 9, nullptr, 1),
            nullptr);
  TextMetrics metrics{};
  EXPECT_FALSE(system_->GetTextMetrics(nullptr, &metrics));
  ScrollBarState state{};
  EXPECT_FALSE(system_->GetScrollBar(nullptr, ScrollBarKind::Vertical, &state));
  system_->SetCheck(nullptr, true);
  system_->ScrollClientArea(nullptr, 1, 1);
}

}  // namespace
}  // namespace tapsmith
