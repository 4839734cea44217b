#include <string>
#include <vector>

#include "form_fixture.h"
#include "message_table.h"

namespace tapsmith::testing {
namespace {

class Commands : public FormTest {
 protected:
  void SetUp() override {
    FormTest::SetUp();
    BuildForm();
  }

  // The calls one command makes.
  std::vector<std::string> Click(int id) {
    size_t from = fake_.calls().size();
    OnCommand(&form_, id);
    return fake_.DescribedSince(from);
  }
};

using Strings = std::vector<std::string>;

TEST_F(Commands, RadioClickMovesTheMarkAndTheSetting) {
  EXPECT_EQ(Click(5), (Strings{"SetCheck 4 0", "SetCheck 5 1", "InvalidateClientArea 1"}));
  EXPECT_EQ(Setting(Configuration), 1);
  EXPECT_EQ(Click(28), (Strings{"SetCheck 25 0", "SetCheck 28 1", "InvalidateClientArea 1"}));
  EXPECT_EQ(Setting(ListChoice), 3);
  EXPECT_FALSE(ControlOfRow(4).checked);
  EXPECT_TRUE(ControlOfRow(5).checked);
}

TEST_F(Commands, RadioClickOnTheSelectedButtonSetsItsMarkAgain) {
  EXPECT_EQ(Click(4), (Strings{"SetCheck 4 0", "SetCheck 4 1", "InvalidateClientArea 1"}));
  EXPECT_EQ(Setting(Configuration), 0);
  EXPECT_TRUE(ControlOfRow(4).checked);
}

TEST_F(Commands, RadioSettingNamingNoButtonUnchecksNothing) {
  // 21 would reach row 25, the first list button: it belongs to another
  // group and keeps its mark.
  for (int value : {4, -1, 21, INT32_MIN, INT32_MAX}) {
    SetSetting(state_.get(), Configuration, value);
    EXPECT_EQ(Click(6), (Strings{"SetCheck 6 1", "InvalidateClientArea 1"})) << value;
    EXPECT_EQ(Setting(Configuration), 2);
  }
  EXPECT_TRUE(ControlOfRow(25).checked);
}

TEST_F(Commands, CheckBoxClickTogglesItsSetting) {
  EXPECT_EQ(Click(35), (Strings{"SetCheck 35 1", "InvalidateClientArea 1"}));
  EXPECT_EQ(Setting(R3DnmOnly), 1);
  EXPECT_EQ(Click(49), (Strings{"SetCheck 49 1", "InvalidateClientArea 1"}));
  EXPECT_EQ(Setting(SerialMode), 1);
  EXPECT_EQ(Click(35), (Strings{"SetCheck 35 0", "InvalidateClientArea 1"}));
  EXPECT_EQ(Setting(R3DnmOnly), 0);
  EXPECT_EQ(Setting(SerialMode), 1);
  SetSetting(state_.get(), SerialMode, 5);
  Click(49);
  EXPECT_EQ(Setting(SerialMode), 0);
}

TEST_F(Commands, OrderingBoxesExcludeEachOtherWhenOneIsSwitchedOn) {
  Click(39);
  EXPECT_EQ(Setting(SortByPrecision), 1);
  EXPECT_EQ(Click(41), (Strings{"SetCheck 41 1", "SetCheck 39 0", "InvalidateClientArea 1"}));
  EXPECT_EQ(Setting(SortByResistors), 1);
  EXPECT_EQ(Setting(SortByPrecision), 0);
  Click(41);
  EXPECT_EQ(Setting(SortByResistors), 0);
  EXPECT_EQ(Setting(SortByPrecision), 0);
  EXPECT_FALSE(ControlOfRow(39).checked);
  EXPECT_FALSE(ControlOfRow(41).checked);
  EXPECT_EQ(Click(39), (Strings{"SetCheck 39 1", "SetCheck 41 0", "InvalidateClientArea 1"}));
}

TEST_F(Commands, SwitchingOneOrderingBoxOffLeavesTheOther) {
  SetSetting(state_.get(), SortByResistors, 1);
  SetSetting(state_.get(), SortByPrecision, 1);
  EXPECT_EQ(Click(41), (Strings{"SetCheck 41 0", "InvalidateClientArea 1"}));
  EXPECT_EQ(Setting(SortByPrecision), 1);
}

TEST_F(Commands, InputsAreDisabledAndEnabledInTheirOrder) {
  DisableInputs(form_);
  Strings expected;
  for (int row : {4, 5, 11, 13, 15, 17, 19, 21, 41, 49, 34, 36, 46, 47, 48})
    expected.push_back("EnableControl " + std::to_string(row) + " 0");
  EXPECT_EQ(fake_.Described(FakeCallKind::EnableControl), expected);
  for (const FakeControl& control : fake_.controls()) {
    bool listed = false;
    for (int row : {4, 5, 11, 13, 15, 17, 19, 21, 41, 49, 34, 36, 46, 47, 48})
      listed = listed || row == control.id;
    EXPECT_EQ(control.enabled, !listed) << "row " << control.id;
  }
  EnableInputs(form_);
  for (const FakeControl& control : fake_.controls()) EXPECT_TRUE(control.enabled);
}

TEST_F(Commands, ExecuteCollectsDisablesSearchesShowsAndEnables) {
  SetSetting(state_.get(), Language, 1);
  fake_.TypeText(11, "1.35V");
  Strings calls = Click(kRowExecute);

  Strings collect;
  for (int row : {11, 13, 15, 17, 19, 21, 42, 46, 47, 48})
    collect.push_back("GetText " + std::to_string(row));
  Strings expected = collect;
  for (int row : {4, 5, 11, 13, 15, 17, 19, 21, 41, 49, 34, 36, 46, 47, 48})
    expected.push_back("EnableControl " + std::to_string(row) + " 0");
  expected.insert(expected.end(), collect.begin(), collect.end());
  expected.push_back("SetText 42");
  for (int row : {4, 5, 11, 13, 15, 17, 19, 21, 41, 49, 34, 36, 46, 47, 48})
    expected.push_back("EnableControl " + std::to_string(row) + " 1");
  expected.push_back("InvalidateClientArea 1");
  EXPECT_EQ(calls, expected);

  EXPECT_STREQ(SlotText(*state_, SlotVoMinTyp), "1.35V");
  EXPECT_STREQ(SlotText(*state_, SlotStatus), "10 set(s) found.");
  EXPECT_EQ(CountCrLfLines(ControlOfRow(42).text), 10);
  EXPECT_EQ(ControlOfRow(42).text.rfind("8.2k + (9.1k // 300k) = 1.349903 (-0.007%)\r\n", 0), 0u);
}

TEST_F(Commands, ExecuteWithBadInputEmptiesTheResultBox) {
  SetSlotText(state_.get(), SlotResult, "old");
  fake_.TypeText(15, "abc");
  Click(kRowExecute);
  EXPECT_EQ(ControlOfRow(42).text, "");
  EXPECT_NE(std::string(SlotText(*state_, SlotStatus)).find("abc"), std::string::npos);
  for (const FakeControl& control : fake_.controls()) EXPECT_TRUE(control.enabled);
}

TEST_F(Commands, LanguageButtonRelabelsWithoutTouchingEditsOrTheStatus) {
  SetSetting(state_.get(), Language, 1);
  RelabelControls(form_);
  SetSlotText(state_.get(), SlotStatus, "10 set(s) found.");
  fake_.TypeText(42, "report");
  fake_.ClearCalls();

  Click(kRowLanguage);
  EXPECT_EQ(Setting(Language), 0);
  for (const FakeCall& call : fake_.calls()) {
    if (call.kind != FakeCallKind::SetText) continue;
    EXPECT_TRUE(IsLabelledType(LayoutTable(call.id).type)) << "row " << call.id;
    EXPECT_EQ(call.text, RowLabel(call.id, 0)) << "row " << call.id;
  }
  EXPECT_EQ(fake_.Described(FakeCallKind::SetText).size(), 31u);
  EXPECT_EQ(ControlOfRow(1).text, "English");
  EXPECT_EQ(ControlOfRow(42).text, "report");
  EXPECT_EQ(ControlOfRow(11).text, "1.35");
  EXPECT_STREQ(SlotText(*state_, SlotStatus), "10 set(s) found.");

  Click(kRowLanguage);
  EXPECT_EQ(Setting(Language), 1);
  EXPECT_EQ(ControlOfRow(1).text, "Japanese");
}

TEST_F(Commands, LanguageButtonFromAHandEditedValueGoesToEnglish) {
  SetSetting(state_.get(), Language, -3);
  Click(kRowLanguage);
  EXPECT_EQ(Setting(Language), 1);
  EXPECT_EQ(ControlOfRow(1).text, "Japanese");
}

TEST_F(Commands, SizeButtonRestoresTheDefaultSizeInPlace) {
  fake_.SetWindowRect(PixelRect{40, 30, 340, 230});
  EXPECT_EQ(Click(kRowDefaultSize), (Strings{"ResizeWindow 550 696", "InvalidateClientArea 1"}));
  EXPECT_EQ(fake_.windowRect().left, 40);
  EXPECT_EQ(fake_.windowRect().bottom, 30 + 696);
}

TEST_F(Commands, IdsWithoutACommandOnlyRepaint) {
  for (int id : {-1, 0, 3, 8, 10, 11, 24, 31, 38, 40, 42, 50, 65535})
    EXPECT_EQ(Click(id), Strings{"InvalidateClientArea 1"}) << id;
}

TEST_F(Commands, ExitAskedAndAnsweredNoChangesNothing) {
  SetSetting(state_.get(), Language, 1);
  fake_.answerYes = false;
  EXPECT_EQ(Click(kRowExit), (Strings{"AskYesNo \"Exit\"", "InvalidateClientArea 1"}));
  const FakeCall& question = fake_.calls()[0];
  EXPECT_EQ(question.text, "Really exit?");
  EXPECT_TRUE(question.hasOwner);
}

TEST_F(Commands, ExitAnsweredYesDestroysTheWindow) {
  fake_.answerYes = true;
  EXPECT_EQ(Click(kRowExit),
            (Strings{"AskYesNo \"Exit\"", "SendDestroy", "InvalidateClientArea 1"}));
  EXPECT_EQ(fake_.calls()[0].text, Cp932("本当に終了しますか？"));
}

TEST_F(Commands, ExitQuestionNamesItsButtonsInTheLanguage) {
  Click(kRowExit);
  SetSetting(state_.get(), Language, 1);
  Click(kRowExit);
  const std::vector<FakeCall>& calls = fake_.calls();
  ASSERT_EQ(calls.size(), 4u);
  EXPECT_EQ(calls[0].buttons[0], Cp932("はい"));
  EXPECT_EQ(calls[0].buttons[1], Cp932("いいえ"));
  EXPECT_EQ(calls[2].buttons[0], "Yes");
  EXPECT_EQ(calls[2].buttons[1], "No");
}

}  // namespace
}  // namespace tapsmith::testing
