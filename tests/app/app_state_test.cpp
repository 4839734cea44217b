#include "app_state.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "message_table.h"
#include "test_util.h"
#include "text_encoding.h"

namespace tapsmith {
namespace {

using testing::CountCrLfLines;
using testing::NewDefaultState;

std::string Slot(const AppState& state, int slot) { return SlotText(state, slot); }

bool StartsWith(const std::string& text, const std::string& start) {
  return text.compare(0, start.size(), start) == 0;
}

bool EndsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

TEST(AppState, DefaultsFillTheParameterFields) {
  auto state = NewDefaultState();
  EXPECT_EQ(Slot(*state, SlotVoMinTyp), "1.35");
  EXPECT_EQ(Slot(*state, SlotVoMaxPercent), "0.01%");
  EXPECT_EQ(Slot(*state, SlotR1Min), "1k");
  EXPECT_EQ(Slot(*state, SlotR1Max), "9.1k");
  EXPECT_EQ(Slot(*state, SlotVfb), "0.7");
  EXPECT_EQ(Slot(*state, SlotDigits), "0");
  for (int slot : {0, 7, 8, 9, 16, 17, 18, 19}) EXPECT_EQ(Slot(*state, slot), "") << slot;
  for (int i = 0; i < kSettingCount; ++i) EXPECT_EQ(GetSetting(*state, i), 0) << i;
  EXPECT_EQ(std::string(state->settingsPath), "");
}

TEST(AppState, DefaultListsHaveTheirValueCounts) {
  auto state = NewDefaultState();
  EXPECT_EQ(CountCrLfLines(Slot(*state, SlotList1)), 97);
  EXPECT_EQ(CountCrLfLines(Slot(*state, SlotList2)), 56);
  EXPECT_EQ(CountCrLfLines(Slot(*state, SlotList3)), 72);
  EXPECT_EQ(CountCrLfLines(Slot(*state, SlotE24)), 145);
  EXPECT_EQ(CountCrLfLines(Slot(*state, SlotE12)), 73);
  EXPECT_EQ(CountCrLfLines(Slot(*state, SlotE6)), 37);
  for (int slot = SlotList1; slot <= SlotE6; ++slot) {
    std::string text = Slot(*state, slot);
    EXPECT_TRUE(EndsWith(text, "\r\n")) << slot;
    EXPECT_EQ(text.find("\n\r"), std::string::npos) << slot;
  }
}

TEST(AppState, SeriesValuesAreWrittenWithoutTrailingZero) {
  auto state = NewDefaultState();
  std::string list1 = Slot(*state, SlotList1);
  EXPECT_TRUE(StartsWith(list1, "100\r\n110\r\n120\r\n"));
  EXPECT_NE(list1.find("\r\n910\r\n1k\r\n1.1k\r\n"), std::string::npos);
  EXPECT_NE(list1.find("\r\n2k\r\n"), std::string::npos);
  EXPECT_NE(list1.find("\r\n10k\r\n"), std::string::npos);
  EXPECT_TRUE(EndsWith(list1, "\r\n910k\r\n1M\r\n"));
  std::string e24 = Slot(*state, SlotE24);
  EXPECT_TRUE(StartsWith(e24, "10\r\n11\r\n12\r\n"));
  EXPECT_NE(e24.find("\r\n1M\r\n1.1M\r\n"), std::string::npos);
  EXPECT_TRUE(EndsWith(e24, "\r\n9.1M\r\n10M\r\n"));
  std::string e6 = Slot(*state, SlotE6);
  EXPECT_TRUE(StartsWith(e6, "10\r\n15\r\n22\r\n33\r\n47\r\n68\r\n100\r\n"));
  EXPECT_TRUE(EndsWith(e6, "6.8M\r\n10M\r\n"));
}

TEST(AppState, IrregularListsKeepTheirSpelling) {
  auto state = NewDefaultState();
  std::string list2 = Slot(*state, SlotList2);
  EXPECT_TRUE(StartsWith(list2, "1\r\n4,7\r\n10\r\n"));
  EXPECT_TRUE(EndsWith(list2, "470k\r\n1M\r\n"));
  std::string list3 = Slot(*state, SlotList3);
  EXPECT_NE(list3.find("\r\n1.8k\r\n2.0k\r\n2.4k\r\n3.0k\r\n"), std::string::npos);
  EXPECT_NE(list3.find("\r\n2.0M\r\n"), std::string::npos);
  EXPECT_TRUE(EndsWith(list3, "\r\n6.2M\r\n7.5M\r\n"));
}

TEST(AppState, SlotWritesAreCutAtTheSlotSize) {
  auto state = NewDefaultState();
  std::string longText(40000, 'x');
  SetSlotText(state.get(), SlotStatus, longText.c_str());
  EXPECT_EQ(Slot(*state, SlotStatus).size(), static_cast<size_t>(kSlotMaxLength));
  EXPECT_EQ(Slot(*state, SlotStatus + 1), Slot(*NewDefaultState(), SlotList1))
      << "the next slot is untouched";

  SetSlotText(state.get(), SlotResult, std::string(kSlotMaxLength - 2, 'a').c_str());
  AppendSlotText(state.get(), SlotResult, "bcdef");
  std::string result = Slot(*state, SlotResult);
  ASSERT_EQ(result.size(), static_cast<size_t>(kSlotMaxLength));
  EXPECT_TRUE(EndsWith(result, "abc"));
}

TEST(AppState, SettingsOutOfRangeAreClampedForUse) {
  auto state = NewDefaultState();
  SetSetting(state.get(), Language, -3);
  SetSetting(state.get(), Configuration, 7);
  SetSetting(state.get(), ListChoice, -1);
  EXPECT_EQ(LanguageInUse(*state), 0);
  EXPECT_EQ(ConfigurationInUse(*state), 3);
  EXPECT_EQ(ListChoiceInUse(*state), 0);
  SetSetting(state.get(), ListChoice, 99);
  EXPECT_EQ(ListChoiceInUse(*state), 5);
  EXPECT_EQ(GetSetting(*state, ListChoice), 99) << "the stored value is kept";
}

TEST(MessageTable, EnglishTextsAreExact) {
  EXPECT_STREQ(MessageText(Message::CountSuffix, 1), " set(s) found.");
  EXPECT_STREQ(MessageText(Message::NothingFound, 1), "Can not be able to fined.");
  EXPECT_STREQ(MessageText(Message::TooMany, 1), "Break off because of too many matches.");
  EXPECT_STREQ(MessageText(Message::FormatError, 1), "Format error\n");
  EXPECT_STREQ(MessageText(Message::StockListError, 1), "Stock list error");
  EXPECT_STREQ(MessageText(Message::ExitConfirmation, 1), "Really exit?");
}

TEST(MessageTable, JapaneseTextsAreShiftJis) {
  // 部品リストエラー
  EXPECT_STREQ(MessageText(Message::StockListError, 0),
               "\x95\x94\x95\x69\x83\x8A\x83\x58\x83\x67\x83\x47\x83\x89\x81\x5B");
  EXPECT_EQ(Cp932ToUtf8(MessageText(Message::FormatError, 0)), "フォーマット・エラー\n");
  EXPECT_EQ(Cp932ToUtf8(MessageText(Message::ExitConfirmation, 0)), "本当に終了しますか？");
  auto state = NewDefaultState();
  SetSetting(state.get(), Language, 5);
  EXPECT_STREQ(MessageText(Message::TooMany, *state), MessageText(Message::TooMany, 0));
}

TEST(TextEncoding, RoundTripsJapanese) {
  std::string utf8 = "電圧設定抵抗の探索 R1.50";
  std::string cp932 = Utf8ToCp932(utf8);
  EXPECT_EQ(cp932.size(), 24u);
  EXPECT_EQ(Cp932ToUtf8(cp932), utf8);
}

TEST(TextEncoding, CharactersWithoutShiftJisFormBecomeOneQuestionMark) {
  EXPECT_EQ(Utf8ToCp932("a\xF0\x9F\x98\x80" "b"), "a?b");  // an emoji
  EXPECT_EQ(Utf8ToCp932("a\xFF" "b"), "a?b");               // not UTF-8
  EXPECT_EQ(Utf8ToCp932("\xE3\x81"), "?");                  // cut short
}

TEST(TextEncoding, JunkBytesNeverStopTheConversion) {
  std::string junk("\x81\xFF\x00\xA0z", 5);
  std::string utf8 = Cp932ToUtf8(junk);
  EXPECT_EQ(utf8.back(), 'z');
  EXPECT_NE(utf8.find("\xEF\xBF\xBD"), std::string::npos);
}

}  // namespace
}  // namespace tapsmith

namespace tapsmith {
namespace {

// A translation that drops or adds a value, or a row left empty, would show
// a message with a hole or a stray "{1}".
TEST(MessageTable, EveryMessageHasBothTextsWithTheSameValues) {
  for (int row = 0; row < static_cast<int>(Message::kCount); ++row) {
    const Message message = static_cast<Message>(row);
    auto placeholders = [](std::string text) {
      std::string found;
      for (size_t at = text.find('{'); at != std::string::npos; at = text.find('{', at + 1)) found += text.substr(at, 3);
      std::sort(found.begin(), found.end());
      return found;
    };
    EXPECT_NE(std::string(MessageUtf8(message, 0)), "") << row;
    EXPECT_NE(std::string(MessageUtf8(message, 1)), "") << row;
    EXPECT_EQ(placeholders(MessageUtf8(message, 0)), placeholders(MessageUtf8(message, 1))) << row;
    EXPECT_NE(std::string(MessageText(message, 0)), "") << "a code-page-932 form: " << row;
  }
  EXPECT_EQ(Fill(Message::LimitAbove, {"--a 1", "--b 2"}).In(1), "--a 1 lies above --b 2");
  EXPECT_EQ(Fill(Message::Quoted, {"x"}).In(0), "「x」");
}

}  // namespace
}  // namespace tapsmith
