#include "control_text.h"

#include <gtest/gtest.h>

#include <string>

#include "text_encoding.h"

namespace tapsmith {
namespace {

TEST(ControlText, MultiLineShowsEveryLineBreakAsNewline) {
  EXPECT_EQ(BytesToShownText("a\r\nb\rc\nd", true), "a\nb\nc\nd");
  EXPECT_EQ(BytesToShownText("a\r\nb", false), "a\r\nb");
  EXPECT_EQ(BytesToShownText(LiteralToCp932("抵抗\r\n"), true), "抵抗\n");
}

TEST(ControlText, TypedMultiLineTextGetsCrLf) {
  EXPECT_EQ(TypedTextToBytes("1k\n2k\n", true), "1k\r\n2k\r\n");
  EXPECT_EQ(TypedTextToBytes("1k\n", false), "1k\n");
  EXPECT_EQ(TypedTextToBytes("直列", true), LiteralToCp932("直列"));
}

TEST(ControlText, CharactersWithoutShiftJisBecomeQuestionMarks) {
  EXPECT_EQ(TypedTextToBytes("1\xC3\xA9k", false), "1?k");  // é
}

TEST(ControlText, CopyStopsAtCapacityLessOne) {
  char buffer[8];
  EXPECT_EQ(CopyTextBounded("0123456789", buffer, 5), 4);
  EXPECT_STREQ(buffer, "0123");
  EXPECT_EQ(CopyTextBounded("01", buffer, 1), 0);
  EXPECT_STREQ(buffer, "");
  EXPECT_EQ(CopyTextBounded("01", buffer, 0), 0);
  EXPECT_EQ(CopyTextBounded("01", nullptr, 5), 0);
}

TEST(ControlText, CopyNeverSplitsADoubleByteCharacter) {
  const std::string text = "a" + LiteralToCp932("抵抗");  // 1 + 2 + 2 bytes
  char buffer[8];
  EXPECT_EQ(CopyTextBounded(text, buffer, 5), 3);
  EXPECT_EQ(std::string(buffer), text.substr(0, 3));
  EXPECT_EQ(CopyTextBounded(text, buffer, 6), 5);
  // A lead byte at the very end of junk is copied as it stands.
  EXPECT_EQ(CopyTextBounded("ab\x81", buffer, 8), 3);
  EXPECT_STREQ(buffer, "ab\x81");
}

}  // namespace
}  // namespace tapsmith
