// The build's own code-page-932 tables against this machine's iconv, which
// the native program converts with: every byte pair, every character and
// random text must come out alike, replacements included.
#include "cp932_table.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "text_encoding.h"

namespace tapsmith {
namespace {

std::string Utf8Of(uint32_t cp) {
  std::string out;
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | cp >> 6);
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | cp >> 12);
    out += static_cast<char>(0x80 | (cp >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | cp >> 18);
    out += static_cast<char>(0x80 | (cp >> 12 & 0x3F));
    out += static_cast<char>(0x80 | (cp >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
  return out;
}

TEST(Cp932Table, EveryByteAndBytePairReadsAsIconvReadsIt) {
  for (int first = 0; first < 256; ++first) {
    const std::string one(1, static_cast<char>(first));
    ASSERT_EQ(cp932::ToUtf8(one), Cp932ToUtf8(one)) << "byte " << first;
    for (int second = 0; second < 256; ++second) {
      const std::string two = one + static_cast<char>(second);
      ASSERT_EQ(cp932::ToUtf8(two), Cp932ToUtf8(two)) << "bytes " << first << " " << second;
    }
  }
}

TEST(Cp932Table, EveryCharacterIsWrittenAsIconvWritesIt) {
  for (uint32_t cp = 0; cp <= 0x10FFFF; ++cp) {
    if (cp >= 0xD800 && cp <= 0xDFFF) continue;
    const std::string utf8 = Utf8Of(cp);
    bool tableLossless = false, iconvLossless = false;
    ASSERT_EQ(cp932::FromUtf8(utf8, &tableLossless), Utf8ToCp932(utf8, &iconvLossless))
        << "U+" << std::hex << cp;
    ASSERT_EQ(tableLossless, iconvLossless) << "U+" << std::hex << cp;
  }
}

// Bytes drawn so that lead bytes, trail bytes, UTF-8 fragments, surrogates
// and overlong forms meet each other often.
TEST(Cp932Table, RandomBytesConvertAsIconvConvertsThem) {
  const unsigned char kPool[] = {0x00, 0x0A, 0x3F, 0x41, 0x5C, 0x7E, 0x7F, 0x80, 0x81, 0x82, 0x87,
                                 0x9F, 0xA0, 0xA1, 0xBF, 0xC0, 0xC1, 0xC2, 0xDF, 0xE0, 0xE3, 0xED,
                                 0xEF, 0xF0, 0xF4, 0xF5, 0xFA, 0xFC, 0xFD, 0xFF};
  std::mt19937 random(932);
  for (int round = 0; round < 20000; ++round) {
    std::string text(random() % 12, '\0');
    for (char& c : text) {
      c = static_cast<char>(random() % 3 == 0 ? random() % 256 : kPool[random() % sizeof kPool]);
    }
    ASSERT_EQ(cp932::ToUtf8(text), Cp932ToUtf8(text)) << testing::PrintToString(text);
    bool tableLossless = false, iconvLossless = false;
    ASSERT_EQ(cp932::FromUtf8(text, &tableLossless), Utf8ToCp932(text, &iconvLossless))
        << testing::PrintToString(text);
    ASSERT_EQ(tableLossless, iconvLossless) << testing::PrintToString(text);
  }
}

}  // namespace
}  // namespace tapsmith
