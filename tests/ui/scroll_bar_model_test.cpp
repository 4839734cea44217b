#include "scroll_bar_model.h"

#include <gtest/gtest.h>

namespace tapsmith {
namespace {

TEST(ScrollBarModel, StyledBarStartsWithTheNativeDefaultRange) {
  const ScrollBarModel styled(true);
  EXPECT_EQ(styled.State().max, 100);
  EXPECT_TRUE(styled.Visible());
  const ScrollBarModel plain(false);
  EXPECT_EQ(plain.State().max, 0);
  EXPECT_FALSE(plain.Visible());
}

TEST(ScrollBarModel, PositionStopsAtMaxMinusPageLessOne) {
  ScrollBarModel bar(true);
  bar.SetRangeAndPage(0, 52, 50);
  bar.SetPosition(10);
  EXPECT_EQ(bar.State().pos, 3);
  bar.SetPosition(-4);
  EXPECT_EQ(bar.State().pos, 0);
  bar.SetRangeAndPage(0, 52, 0);
  bar.SetPosition(60);
  EXPECT_EQ(bar.State().pos, 52);
}

TEST(ScrollBarModel, GrowingPageClampsThePositionDown) {
  ScrollBarModel bar(true);
  bar.SetRangeAndPage(0, 39, 30);
  bar.SetPosition(10);
  EXPECT_EQ(bar.State().pos, 10);
  bar.SetRangeAndPage(0, 39, 35);
  EXPECT_EQ(bar.State().pos, 5);
}

TEST(ScrollBarModel, HiddenWhileThePageCoversTheWholeRange) {
  ScrollBarModel bar(true);
  bar.SetRangeAndPage(0, 39, 40);
  EXPECT_FALSE(bar.Visible());
  EXPECT_EQ(bar.State().pos, 0);
  bar.SetRangeAndPage(0, 39, 39);
  EXPECT_TRUE(bar.Visible());
  bar.SetRangeAndPage(0, 39, 500);
  EXPECT_EQ(bar.State().page, 40);
  EXPECT_FALSE(bar.Visible());
}

TEST(ScrollBarModel, BadRangeAndPageAreTakenInRange) {
  ScrollBarModel bar(true);
  bar.SetRangeAndPage(5, 2, -3);
  const ScrollBarState state = bar.State();
  EXPECT_EQ(state.min, 5);
  EXPECT_EQ(state.max, 5);
  EXPECT_EQ(state.page, 0);
  EXPECT_EQ(state.pos, 5);
  EXPECT_FALSE(bar.Visible());
}

TEST(ScrollBarModel, TrackPositionFollowsTheDragOnly) {
  ScrollBarModel bar(true);
  bar.SetRangeAndPage(0, 39, 20);
  bar.SetPosition(2);
  bar.Track(15);
  EXPECT_EQ(bar.State().trackPos, 15);
  EXPECT_EQ(bar.State().pos, 2);
  bar.Track(99);
  EXPECT_EQ(bar.State().trackPos, 20);
  bar.EndTrack();
  EXPECT_EQ(bar.State().trackPos, 2);
}

}  // namespace
}  // namespace tapsmith
