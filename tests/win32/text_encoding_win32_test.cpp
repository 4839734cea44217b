// The Windows conversions keep the contract of the iconv ones.
#include <gtest/gtest.h>

#include "text_encoding.h"

namespace tapsmith {
namespace {

TEST(TextEncodingWin32, JapaneseRoundTripsThroughCodePage932) {
  // 電圧 is 0x93 0x64 0x88 0xB3; the half-width katakana ｱ is one byte.
  EXPECT_EQ(Utf8ToCp932("電圧 ｱ R1"), "\x93\x64\x88\xB3 \xB1 R1");
  EXPECT_EQ(Cp932ToUtf8("\x93\x64\x88\xB3 \xB1 R1"), "電圧 ｱ R1");
  EXPECT_EQ(LiteralToCp932("本当に終了しますか？"), Utf8ToCp932("本当に終了しますか？"));
  EXPECT_EQ(Cp932ToUtf8(LiteralToCp932("構成選択")), "構成選択");
  // The yen-sign position is the backslash both ways, as the program has it.
  EXPECT_EQ(Cp932ToUtf8("\\"), "\\");
}

TEST(TextEncodingWin32, BytesThatFormNoCharacterBecomeReplacementCharacters) {
  // A lead byte at the end; a lead byte before a byte that cannot follow it
  // (only the lead byte is replaced); the bytes Shift-JIS leaves unassigned.
  EXPECT_EQ(Cp932ToUtf8("a\x81"), "a\xEF\xBF\xBD");
  EXPECT_EQ(Cp932ToUtf8("\x81 b"), "\xEF\xBF\xBD b");
  EXPECT_EQ(Cp932ToUtf8("\x80\xA0\xFD\xFE\xFF"),
            "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD");
  EXPECT_EQ(Cp932ToUtf8(std::string_view("x\0y", 3)), std::string("x\0y", 3));
}

TEST(TextEncodingWin32, CharactersWithoutCodePage932FormBecomeOneQuestionMarkEach) {
  // No best fit: é does not become e, nor ¥ a backslash, nor € anything.
  EXPECT_EQ(Utf8ToCp932("caf\xC3\xA9"), "caf?");
  EXPECT_EQ(Utf8ToCp932("\xC2\xA5\xE2\x82\xAC"), "??");
  EXPECT_EQ(Utf8ToCp932("\xF0\x9F\x98\x80!"), "?!");  // outside the BMP
  // Bytes that are not UTF-8: a stray continuation byte, a cut-short
  // character at the end, an overlong form, an encoded surrogate.
  EXPECT_EQ(Utf8ToCp932("a\x80z"), "a?z");
  EXPECT_EQ(Utf8ToCp932("a\xE9\x9B"), "a?");
  EXPECT_EQ(Utf8ToCp932("\xC0\xAF/"),
            "?"
            "?/");
  EXPECT_EQ(Utf8ToCp932("\xED\xA0\x80."), "?.");
}

}  // namespace
}  // namespace tapsmith
