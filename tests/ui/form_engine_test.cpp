#include <climits>
#include <string>

#include "form_fixture.h"

namespace tapsmith::testing {
namespace {

using FormEngine = FormTest;

PixelRect Rect(int left, int top, int width, int height) {
  return PixelRect{left, top, left + width, top + height};
}

void ExpectRect(const PixelRect& actual, const PixelRect& expected) {
  EXPECT_EQ(actual.left, expected.left);
  EXPECT_EQ(actual.top, expected.top);
  EXPECT_EQ(actual.right, expected.right);
  EXPECT_EQ(actual.bottom, expected.bottom);
}

TEST_F(FormEngine, ControlsArePlacedByConvertingEachEdge) {
  BuildForm();
  ExpectRect(ControlOfRow(11).rect, Rect(210, 112, 60, 19));
  ExpectRect(ControlOfRow(42).rect, Rect(15, 336, 495, 120));
}

TEST_F(FormEngine, WidthIsTheDifferenceOfConvertedEdges) {
  form_.metrics = FormMetrics{9, 16};
  BuildForm();
  EXPECT_EQ(ControlOfRow(2).rect.left, 454);
  EXPECT_EQ(ControlOfRow(2).rect.right - ControlOfRow(2).rect.left, 14);
}

TEST_F(FormEngine, ScrollOriginOffsetsEveryEdgeInWholeCells) {
  form_.origin = ScrollOrigin{-2, -3};
  ExpectRect(RowToPixels(form_, 11), PixelRect{190, 64, 250, 83});
}

TEST_F(FormEngine, VariablePitchFontWidensTheCellByHalf) {
  fake_.textMetrics = TextMetrics{7, 13, 3, kPitchVariable};
  MeasureCell(&form_);
  EXPECT_EQ(form_.metrics.cellWidth, 10);
  EXPECT_EQ(form_.metrics.cellHeight, 16);

  fake_.textMetrics = TextMetrics{8, 16, 0, 0};
  MeasureCell(&form_);
  EXPECT_EQ(form_.metrics.cellWidth, 8);

  fake_.textMetrics = TextMetrics{8, 16, 0, kPitchVariable | 0x30};
  MeasureCell(&form_);
  EXPECT_EQ(form_.metrics.cellWidth, 12);
}

TEST_F(FormEngine, UnreadableOrEmptyMetricsFallBackToAUsableCell) {
  fake_.textMetricsFail = true;
  MeasureCell(&form_);
  EXPECT_EQ(form_.metrics.cellWidth, kFallbackCellWidth);
  EXPECT_EQ(form_.metrics.cellHeight, kFallbackCellHeight);

  fake_.textMetricsFail = false;
  fake_.textMetrics = TextMetrics{0, 14, 0, 0};
  MeasureCell(&form_);
  EXPECT_EQ(form_.metrics.cellWidth, kFallbackCellWidth);
  EXPECT_EQ(form_.metrics.cellHeight, 14);
}

TEST_F(FormEngine, EveryControlRowBecomesAControlWithBlankTextRowStyleAndRowId) {
  CreateFormControls(&form_);
  int created = 0;
  for (const FakeCall& call : fake_.calls()) {
    if (call.kind != FakeCallKind::CreateControl) continue;
    const LayoutRow& row = LayoutTable(call.id);
    EXPECT_EQ(call.text, " ") << "row " << call.id;
    EXPECT_EQ(call.style, row.style) << "row " << call.id;
    ++created;
  }
  int controlRows = 0;
  for (int row = 0; row < kLayoutRowCount; ++row) {
    const LayoutRow& layout = LayoutTable(row);
    EXPECT_EQ(form_.controls.handles[row] != nullptr, IsControlType(layout.type)) << row;
    if (!IsControlType(layout.type)) continue;
    ++controlRows;
    ControlClass expected = layout.type == Edit           ? ControlClass::Edit
                            : layout.type == StaticLabel ? ControlClass::Static
                                                         : ControlClass::Button;
    EXPECT_EQ(ControlOfRow(row).controlClass, expected) << "row " << row;
  }
  EXPECT_EQ(created, controlRows);
  EXPECT_EQ(created, 41);
  EXPECT_EQ(form_.controls.handles[kRowStatus], nullptr);
}

TEST_F(FormEngine, RadioMarksFollowTheirSettings) {
  SetSetting(state_.get(), Configuration, 2);
  SetSetting(state_.get(), ListChoice, 5);
  BuildForm();
  for (int row : {4, 5, 6, 7}) EXPECT_EQ(ControlOfRow(row).checked, row == 6) << row;
  for (int row = 25; row <= 30; ++row) EXPECT_EQ(ControlOfRow(row).checked, row == 30) << row;
}

TEST_F(FormEngine, RadioSettingNamingNoButtonLeavesTheGroupUnchecked) {
  SetSetting(state_.get(), Configuration, 4);
  SetSetting(state_.get(), ListChoice, -1);
  BuildForm();
  for (int row : {4, 5, 6, 7}) EXPECT_FALSE(ControlOfRow(row).checked) << row;
  for (int row = 25; row <= 30; ++row) EXPECT_FALSE(ControlOfRow(row).checked) << row;
}

TEST_F(FormEngine, CheckBoxesAreCheckedForAnyNonZeroSetting) {
  SetSetting(state_.get(), SortByResistors, 1);
  SetSetting(state_.get(), SortByPrecision, 1);
  SetSetting(state_.get(), SerialMode, -7);
  BuildForm();
  EXPECT_TRUE(ControlOfRow(41).checked);
  EXPECT_TRUE(ControlOfRow(39).checked);
  EXPECT_TRUE(ControlOfRow(49).checked);
  EXPECT_FALSE(ControlOfRow(35).checked);
}

TEST_F(FormEngine, EditBoxesShowTheirSlots) {
  SetSlotText(state_.get(), SlotResult, "old report\r\n");
  BuildForm();
  EXPECT_EQ(ControlOfRow(11).text, "1.35");
  EXPECT_EQ(ControlOfRow(13).text, "0.01%");
  EXPECT_EQ(ControlOfRow(21).text, "0");
  EXPECT_EQ(ControlOfRow(42).text, "old report\r\n");
  EXPECT_EQ(ControlOfRow(46).text, SlotText(*state_, SlotList1));
}

TEST_F(FormEngine, LabelsFollowTheLanguage) {
  BuildForm();
  EXPECT_EQ(ControlOfRow(1).text, "English");
  EXPECT_EQ(ControlOfRow(3).text, Cp932("構成選択"));
  EXPECT_EQ(ControlOfRow(24).text, Cp932("抵抗リスト"));
  EXPECT_EQ(ControlOfRow(38).text, Cp932("実行結果"));

  SetSetting(state_.get(), Language, 1);
  RelabelControls(form_);
  EXPECT_EQ(ControlOfRow(1).text, "Japanese");
  EXPECT_EQ(ControlOfRow(18).text, "Referrence Voltage(Vfb)[V]");
  EXPECT_EQ(ControlOfRow(0).text, "Searching for resistor's combinations as target voltage.");
  EXPECT_EQ(ControlOfRow(11).text, "1.35");
}

TEST_F(FormEngine, FailedControlLeavesANullHandleAndItsSlotAlone) {
  fake_.failingControlId = 11;
  BuildForm();
  EXPECT_EQ(form_.controls.handles[11], nullptr);
  EXPECT_NE(form_.controls.handles[13], nullptr);
  fake_.TypeText(13, "2V");
  CollectEditTexts(&form_);
  EXPECT_STREQ(SlotText(*state_, SlotVoMinTyp), "1.35");
  EXPECT_STREQ(SlotText(*state_, SlotVoMaxPercent), "2V");
}

TEST_F(FormEngine, StatusLineIsPaintedWordWrappedInButtonColours) {
  SetSlotText(state_.get(), SlotStatus, "10 set(s) found.");
  FakePaintSurface surface;
  PaintForm(form_, surface);
  EXPECT_EQ(surface.textColor, SystemColor::ButtonText);
  EXPECT_EQ(surface.backgroundColor, SystemColor::ButtonFace);
  ASSERT_EQ(surface.texts.size(), 1u);
  EXPECT_EQ(surface.texts[0].text, "10 set(s) found.");
  EXPECT_EQ(surface.texts[0].format, kDrawTextWordBreak);
  ExpectRect(surface.texts[0].rect, PixelRect{15, 288, 330, 307});
  EXPECT_TRUE(surface.edges.empty());
}

TEST_F(FormEngine, PaintedRowPartlyLeftOfTheClientAreaIsNotDrawn) {
  form_.origin = ScrollOrigin{-1, 0};
  FakePaintSurface shifted;
  PaintForm(form_, shifted);
  ASSERT_EQ(shifted.texts.size(), 1u);
  EXPECT_EQ(shifted.texts[0].rect.left, 5);

  form_.origin = ScrollOrigin{-2, -30};
  FakePaintSurface hidden;
  PaintForm(form_, hidden);
  EXPECT_TRUE(hidden.texts.empty());

  form_.origin = ScrollOrigin{0, -30};
  FakePaintSurface above;
  PaintForm(form_, above);
  ASSERT_EQ(above.texts.size(), 1u);
  EXPECT_EQ(above.texts[0].rect.top, 288 - 480);
}

TEST_F(FormEngine, CollectEditTextsCopiesEveryEditBoxCutAtTheSlotSize) {
  BuildForm();
  fake_.TypeText(19, "1.25V");
  fake_.TypeText(42, "typed into the result");
  fake_.TypeText(47, std::string(40000, 'x'));
  CollectEditTexts(&form_);
  EXPECT_STREQ(SlotText(*state_, SlotVfb), "1.25V");
  EXPECT_STREQ(SlotText(*state_, SlotResult), "typed into the result");
  EXPECT_EQ(std::string(SlotText(*state_, SlotList2)), std::string(kSlotMaxLength, 'x'));
  EXPECT_STREQ(SlotText(*state_, SlotVoMinTyp), "1.35");
}

TEST_F(FormEngine, DefaultWindowSizeFollowsTheCell) {
  PixelSize size = DefaultWindowSize(FormMetrics{10, 16});
  EXPECT_EQ(size.width, 550);
  EXPECT_EQ(size.height, 696);
  size = DefaultWindowSize(FormMetrics{7, 15});
  EXPECT_EQ(size.width, 388);   // trunc(378) + 10
  EXPECT_EQ(size.height, 652);  // trunc(652.5)
}

class WindowPlacement : public FormTest {
 protected:
  std::string PlaceFrom(int left, int top, int right, int bottom) {
    SetSetting(state_.get(), WindowLeft, left);
    SetSetting(state_.get(), WindowTop, top);
    SetSetting(state_.get(), WindowRight, right);
    SetSetting(state_.get(), WindowBottom, bottom);
    fake_.ClearCalls();
    PlaceMainWindow(&form_);
    std::vector<std::string> moves = fake_.Described(FakeCallKind::MoveWindow);
    return moves.size() == 1 ? moves[0] : "moved " + std::to_string(moves.size()) + " times";
  }

  // The primary monitor of 1920 x 1080 at (0, 0) and one of 1920 x 1200 left
  // of it, reaching 300 pixels higher.
  void UseTwoMonitors() {
    fake_.virtualScreenX = -1920;
    fake_.virtualScreenY = -300;
    fake_.virtualScreenWidth = 3840;
    fake_.virtualScreenHeight = 1380;
  }
};

TEST_F(WindowPlacement, FirstStartGetsTheDefaultSizeAtTheCorner) {
  EXPECT_EQ(PlaceFrom(0, 0, 0, 0), "MoveWindow 0 0 550 696");
}

TEST_F(WindowPlacement, SavedRectangleOnTheScreenIsRestored) {
  EXPECT_EQ(PlaceFrom(100, 50, 700, 600), "MoveWindow 100 50 600 550");
}

TEST_F(WindowPlacement, EdgesTooNearTheScreenEndMoveToZero) {
  EXPECT_EQ(PlaceFrom(1800, 50, 2400, 600), "MoveWindow 0 50 600 550");
  EXPECT_EQ(Setting(WindowLeft), 0);
  EXPECT_EQ(Setting(WindowRight), 600);
  EXPECT_EQ(PlaceFrom(100, 950, 700, 1500), "MoveWindow 100 0 600 550");
  EXPECT_EQ(Setting(WindowTop), 0);
  EXPECT_EQ(Setting(WindowBottom), 550);
  EXPECT_EQ(PlaceFrom(1720, 930, 2000, 1000), "MoveWindow 1720 930 280 70");
}

TEST_F(WindowPlacement, WindowOnAMonitorLeftOfAndAboveThePrimaryKeepsItsPlace) {
  UseTwoMonitors();
  EXPECT_EQ(PlaceFrom(-1500, -200, -900, 300), "MoveWindow -1500 -200 600 500");
  EXPECT_EQ(PlaceFrom(-2120, -300, -1720, 200), "MoveWindow -2120 -300 400 500");
}

TEST_F(WindowPlacement, WindowLeftOfOrAboveTheVirtualScreenMovesToItsEdge) {
  // One screen: the monitor the window was saved on is gone.
  EXPECT_EQ(PlaceFrom(-400, -300, 200, 300), "MoveWindow -400 0 600 600");
  EXPECT_EQ(Setting(WindowTop), 0);
  EXPECT_EQ(Setting(WindowBottom), 600);
  EXPECT_EQ(PlaceFrom(-401, 50, 199, 600), "MoveWindow 0 50 600 550");
  EXPECT_EQ(Setting(WindowLeft), 0);
  EXPECT_EQ(Setting(WindowRight), 600);
  EXPECT_EQ(PlaceFrom(-50, 50, 100, 600), "MoveWindow 0 50 150 550");
  UseTwoMonitors();
  EXPECT_EQ(PlaceFrom(-2500, -500, -1900, 0), "MoveWindow -1920 -300 600 500");
  EXPECT_EQ(Setting(WindowRight), -1320);
  EXPECT_EQ(Setting(WindowBottom), 200);
}

TEST_F(WindowPlacement, TinySizeGivesTheDefaultSizeAtTheCorrectedPlace) {
  EXPECT_EQ(PlaceFrom(100, 50, 105, 600), "MoveWindow 100 50 550 696");
  EXPECT_EQ(PlaceFrom(1800, 50, 1800, 50), "MoveWindow 0 50 550 696");
  EXPECT_EQ(PlaceFrom(100, 50, 106, 56), "MoveWindow 100 50 6 6");
  EXPECT_EQ(PlaceFrom(100, 50, 40, 600), "MoveWindow 100 50 550 696");
}

TEST_F(WindowPlacement, ExtremeHandEditedValuesStayInRange) {
  EXPECT_EQ(PlaceFrom(INT_MIN, 0, INT_MAX, 600),
            "MoveWindow " + std::to_string(INT_MIN) + " 0 " + std::to_string(INT_MAX) + " 600");
  EXPECT_EQ(PlaceFrom(INT_MAX, INT_MAX, INT_MIN, INT_MIN), "MoveWindow 0 0 550 696");
}

}  // namespace
}  // namespace tapsmith::testing
