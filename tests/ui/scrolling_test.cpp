#include <string>
#include <vector>

#include "form_fixture.h"

namespace tapsmith::testing {
namespace {

using Strings = std::vector<std::string>;

// Cells of 10 x 16 pixels, the controls created at the origin.
class Scrolling : public FormTest {
 protected:
  void SetUp() override {
    FormTest::SetUp();
    BuildForm();
  }

  Strings Size(int clientWidth, int clientHeight) {
    size_t from = fake_.calls().size();
    OnSize(&form_, clientWidth, clientHeight);
    return fake_.DescribedSince(from);
  }

  // The calls a scroll notification makes that change something: the bar
  // reads are left out.
  Strings Scroll(ScrollBarKind bar, int code) {
    size_t from = fake_.calls().size();
    if (bar == ScrollBarKind::Vertical)
      OnVScroll(&form_, code);
    else
      OnHScroll(&form_, code);
    Strings changes;
    for (const std::string& call : fake_.DescribedSince(from))
      if (call.rfind("GetScrollBar", 0) != 0) changes.push_back(call);
    return changes;
  }

  int Position(ScrollBarKind bar) const { return fake_.scrollBar(bar).pos; }

  // Row 11's control sits at (210, 112) before any scroll.
  int ControlLeft() { return ControlOfRow(11).rect.left; }
  int ControlTop() { return ControlOfRow(11).rect.top; }

  static constexpr ScrollBarKind kV = ScrollBarKind::Vertical;
  static constexpr ScrollBarKind kH = ScrollBarKind::Horizontal;
};

TEST_F(Scrolling, SizeSetsRangesAndPagesOfWholeCells) {
  EXPECT_EQ(Size(505, 655), (Strings{"SetScrollRange V 0 39 40", "SetScrollRange H 0 52 50"}));
  EXPECT_EQ(Scroll(kV, kScrollLineDown), (Strings{"SetScrollPosition V 1"}));
  EXPECT_EQ(Position(kV), 0);
  EXPECT_EQ(form_.origin.y, 0);
  Scroll(kH, kScrollBottom);
  EXPECT_EQ(Position(kH), 3);
  EXPECT_EQ(form_.origin.x, -3);
}

TEST_F(Scrolling, LineRightMovesTheFormOneColumnLeft) {
  Size(500, 640);
  EXPECT_EQ(Scroll(kH, kScrollLineDown), (Strings{"SetScrollPosition H 1", "ScrollClientArea -10 0",
                                                  "InvalidateClientArea 1"}));
  EXPECT_EQ(Position(kH), 1);
  EXPECT_EQ(form_.origin.x, -1);
  EXPECT_EQ(ControlLeft(), 200);
  EXPECT_EQ(RowToPixels(form_, 11).left, 200);
}

TEST_F(Scrolling, LineLeftAtTheStartMovesNothing) {
  Size(500, 640);
  EXPECT_EQ(Scroll(kH, kScrollLineUp), (Strings{"SetScrollPosition H -1"}));
  EXPECT_EQ(form_.origin.x, 0);
  EXPECT_EQ(ControlLeft(), 210);
}

TEST_F(Scrolling, GrowingAScrolledWindowPullsTheFormBack) {
  Size(500, 30 * 16);
  Scroll(kV, kScrollBottom);
  EXPECT_EQ(Position(kV), 10);
  EXPECT_EQ(form_.origin.y, -10);
  EXPECT_EQ(ControlTop(), 112 - 160);

  EXPECT_EQ(Size(500, 35 * 16), (Strings{"ScrollClientArea 0 96", "InvalidateClientArea 1",
                                         "SetScrollRange V 0 39 35", "SetScrollRange H 0 52 50"}));
  EXPECT_EQ(form_.origin.y, -4);
  EXPECT_EQ(Position(kV), 5);

  EXPECT_EQ(Scroll(kV, kScrollLineUp),
            (Strings{"SetScrollPosition V 4", "ScrollClientArea 0 16", "UpdateWindow"}));
  EXPECT_EQ(form_.origin.y, -3);

  EXPECT_EQ(Scroll(kV, kScrollTop),
            (Strings{"SetScrollPosition V 0", "ScrollClientArea 0 48", "UpdateWindow"}));
  EXPECT_EQ(Position(kV), 0);
  EXPECT_EQ(form_.origin.y, 0);
  EXPECT_EQ(ControlTop(), 112);
}

TEST_F(Scrolling, ShrinkingNeverScrolls) {
  Size(500, 20 * 16);
  Scroll(kV, kScrollLineDown);
  EXPECT_EQ(Size(300, 10 * 16), (Strings{"SetScrollRange V 0 39 10", "SetScrollRange H 0 52 30"}));
  EXPECT_EQ(form_.origin.y, -1);
}

TEST_F(Scrolling, PageMovesByTheWholeLinesThatFit) {
  Size(500, 8 * 16 + 15);
  Scroll(kV, kScrollPageDown);
  EXPECT_EQ(form_.origin.y, -8);
  Scroll(kV, kScrollPageDown);
  EXPECT_EQ(form_.origin.y, -16);
  EXPECT_EQ(Scroll(kV, kScrollPageUp),
            (Strings{"SetScrollPosition V 8", "ScrollClientArea 0 128", "UpdateWindow"}));
  EXPECT_EQ(form_.origin.y, -8);
  EXPECT_EQ(Position(kV), 8);
}

TEST_F(Scrolling, ThumbDragMovesTheFormAndItsEndChangesNothing) {
  Size(500, 10 * 16);
  fake_.SetTrackPosition(kV, 7);
  EXPECT_EQ(Scroll(kV, kScrollThumbTrack),
            (Strings{"SetScrollPosition V 7", "ScrollClientArea 0 -112", "UpdateWindow"}));
  EXPECT_EQ(form_.origin.y, -7);
  fake_.SetTrackPosition(kV, 2);
  EXPECT_EQ(Scroll(kV, kScrollThumbPosition), (Strings{"SetScrollPosition V 7"}));
  EXPECT_EQ(Scroll(kV, kScrollEnd), (Strings{"SetScrollPosition V 7"}));
  EXPECT_EQ(Scroll(kV, 99), (Strings{"SetScrollPosition V 7"}));
  EXPECT_EQ(form_.origin.y, -7);
}

TEST_F(Scrolling, SizeNotificationAtTheBarsEndPullsBackOneCell) {
  Size(50 * 10, 30 * 16);
  Scroll(kV, kScrollBottom);
  Scroll(kH, kScrollBottom);
  EXPECT_EQ(form_.origin.y, 30 - 40);
  EXPECT_EQ(form_.origin.x, 50 - 53);

  EXPECT_EQ(Size(50 * 10, 30 * 16), (Strings{"ScrollClientArea 0 16", "ScrollClientArea 10 0",
                                             "InvalidateClientArea 1", "SetScrollRange V 0 39 30",
                                             "SetScrollRange H 0 52 50"}));
  EXPECT_EQ(form_.origin.y, 30 - 39);
  EXPECT_EQ(form_.origin.x, 50 - 52);
  EXPECT_EQ(Position(kV), 10);
  EXPECT_EQ(Position(kH), 3);

  // The bar stands one above -origin; going back to its start moves the form
  // only as far as the origin allows.
  Scroll(kV, kScrollTop);
  EXPECT_EQ(form_.origin.y, 0);
  EXPECT_EQ(ControlTop(), 112);
}

TEST_F(Scrolling, OriginNeverBecomesPositive) {
  Size(500, 30 * 16);
  Scroll(kV, kScrollBottom);
  Size(500, 30 * 16);  // pulled back: y = -9, bar 10
  EXPECT_EQ(Scroll(kV, kScrollPageUp), (Strings{"SetScrollPosition V -20", "ScrollClientArea 0 144",
                                                "UpdateWindow"}));
  EXPECT_EQ(form_.origin.y, 0);
  EXPECT_EQ(Position(kV), 0);
}

TEST_F(Scrolling, MinimisingSetsEmptyPagesAndPullsNothingBack) {
  Size(500, 10 * 16);
  Scroll(kV, kScrollLineDown);
  Scroll(kH, kScrollLineDown);
  EXPECT_EQ(Size(0, 0), (Strings{"SetScrollRange V 0 39 0", "SetScrollRange H 0 52 0"}));
  EXPECT_EQ(form_.origin.y, -1);
  EXPECT_EQ(form_.origin.x, -1);
}

TEST_F(Scrolling, UnreadableBarMovesNothing) {
  Size(500, 10 * 16);
  fake_.scrollBarsFail = true;
  EXPECT_TRUE(Scroll(kV, kScrollLineDown).empty());
  EXPECT_EQ(form_.origin.y, 0);
}

TEST_F(Scrolling, ScrolledStatusLineIsDrawnOnlyWhileWhollyVisible) {
  Size(400, 10 * 16);
  Scroll(kH, kScrollLineDown);
  FakePaintSurface oneColumn;
  PaintForm(form_, oneColumn);
  ASSERT_EQ(oneColumn.texts.size(), 1u);
  EXPECT_EQ(oneColumn.texts[0].rect.left, 5);
  Scroll(kH, kScrollLineDown);
  FakePaintSurface twoColumns;
  PaintForm(form_, twoColumns);
  EXPECT_TRUE(twoColumns.texts.empty());
}

}  // namespace
}  // namespace tapsmith::testing

namespace tapsmith::testing {
namespace {

// Hands size notifications to the form, as the main window does.
class SizeForwardingEvents : public SilentEvents {
 public:
  explicit SizeForwardingEvents(Form* form) : form_(form) {}
  void OnSize(WindowHandle, int clientWidth, int clientHeight) override {
    tapsmith::OnSize(form_, clientWidth, clientHeight);
  }

 private:
  Form* form_;
};

TEST(ScrollingWithBars, BarsAppearingInsideASizeNotificationLeaveThePagesOfTheLastSize) {
  FakeWindowSystem fake;
  fake.scrollBarThickness = 17;
  std::unique_ptr<AppState> state = NewDefaultState();
  Form form{state.get(), &fake};
  SizeForwardingEvents events(&form);
  fake.CreateMainWindow("test", kMainWindowStyle, &events);
  form.window = fake.mainWindow();
  form.metrics = FormMetrics{10, 16};

  // 300 x 320: the vertical bar appears and takes 17 pixels of width (28
  // columns left), then the horizontal bar 17 of height (18 lines left).
  fake.SendSize(300, 320);
  EXPECT_EQ(fake.clientWidth(), 283);
  EXPECT_EQ(fake.clientHeight(), 303);
  EXPECT_EQ(fake.scrollBar(ScrollBarKind::Vertical).page, 18);
  EXPECT_EQ(fake.scrollBar(ScrollBarKind::Horizontal).page, 28);
}

}  // namespace
}  // namespace tapsmith::testing
