#include "form_fixture.h"

namespace tapsmith::testing {
namespace {

class FakeWindow : public ::testing::Test {
 protected:
  void SetUp() override { window_ = fake_.CreateMainWindow("test", kMainWindowStyle, &events_); }

  FakeWindowSystem fake_;
  SilentEvents events_;
  WindowHandle window_ = nullptr;
};

TEST_F(FakeWindow, ScrollBarKeepsItsPositionWithinTheRangeLessThePage) {
  fake_.SetScrollRange(window_, ScrollBarKind::Vertical, 0, 39, 30);
  fake_.SetScrollPosition(window_, ScrollBarKind::Vertical, 50);
  EXPECT_EQ(fake_.scrollBar(ScrollBarKind::Vertical).pos, 10);
  fake_.SetScrollRange(window_, ScrollBarKind::Vertical, 0, 39, 35);
  EXPECT_EQ(fake_.scrollBar(ScrollBarKind::Vertical).pos, 5);
  fake_.SetScrollRange(window_, ScrollBarKind::Vertical, 0, 39, 0);
  fake_.SetScrollPosition(window_, ScrollBarKind::Vertical, 39);
  EXPECT_EQ(fake_.scrollBar(ScrollBarKind::Vertical).pos, 39);
  fake_.SetScrollRange(window_, ScrollBarKind::Vertical, 0, 39, 60);
  EXPECT_EQ(fake_.scrollBar(ScrollBarKind::Vertical).pos, 0);
  fake_.SetScrollPosition(window_, ScrollBarKind::Vertical, -4);
  EXPECT_EQ(fake_.scrollBar(ScrollBarKind::Vertical).pos, 0);
}

TEST_F(FakeWindow, NullOrUnknownHandlesDoNothing) {
  fake_.failingControlId = 3;
  EXPECT_EQ(fake_.CreateControl(ControlClass::Button, " ", 0, 0, 0, 1, 1, window_, 3), nullptr);
  WindowHandle edit = fake_.CreateControl(ControlClass::Edit, "abc", 0, 0, 0, 1, 1, window_, 4);
  fake_.ClearCalls();
  fake_.SetText(nullptr, "x");
  fake_.SetCheck(nullptr, true);
  fake_.EnableControl(nullptr, false);
  fake_.ScrollClientArea(nullptr, 1, 1);
  char buffer[8] = "zz";
  EXPECT_EQ(fake_.GetText(nullptr, buffer, sizeof buffer), 0);
  EXPECT_TRUE(fake_.calls().empty());
  EXPECT_EQ(fake_.GetText(edit, buffer, 3), 2);
  EXPECT_STREQ(buffer, "ab");
}

}  // namespace
}  // namespace tapsmith::testing
