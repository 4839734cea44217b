#include "board_file.h"

#include <gtest/gtest.h>

#include "../app/fake_file_system.h"

namespace tapsmith {
namespace {

std::vector<BoardRail> Read(const std::string& text, BoardError* error) {
  std::vector<BoardRail> rails;
  EXPECT_FALSE(ReadBoardText(text, "board.txt", &rails, error)) << text;
  return rails;
}

TEST(BoardFile, ReadsRailsWithQuotesCommentsAndBlankLines) {
  std::vector<BoardRail> rails;
  BoardError error;
  ASSERT_TRUE(ReadBoardText("# the board\n\n3V3: --vo 3.3 --vo2 3%  # main\r\n"
                            "core_1.0+x-y:--values=\"1k, 2.2k\" --vfb \"0.6\" \"\"\n  io : \n",
                            "board.txt", &rails, &error));
  ASSERT_EQ(rails.size(), 3u);
  EXPECT_EQ(rails[0].name, "3V3");
  EXPECT_EQ(rails[0].line, 3);
  EXPECT_EQ(rails[0].words, (std::vector<std::string>{"--vo", "3.3", "--vo2", "3%"}));
  EXPECT_EQ(rails[1].name, "core_1.0+x-y");
  EXPECT_EQ(rails[1].words, (std::vector<std::string>{"--values=1k, 2.2k", "--vfb", "0.6", ""}));
  EXPECT_EQ(rails[2].name, "io");
  EXPECT_TRUE(rails[2].words.empty());
}

TEST(BoardFile, RefusesBadLinesNamingTheLine) {
  struct Case {
    const char* text;
    int line;
    const char* reason;
  };
  const std::string longName(33, 'a');
  const Case cases[] = {
      {"a: --vo 1\n--vo 2\n", 2, "begins with its name"},
      {"a b: --vo 1\n", 1, "is no rail's name"},
      {": --vo 1\n", 1, "is no rail's name"},
      {"a: --vo 1\n\na: --vo 2\n", 3, "named on line 1 already"},
      {"a: --values \"1k\n", 1, "is not closed"},
      {"# nothing\n\n", 0, "holds no rail"},
  };
  for (const Case& c : cases) {
    BoardError error;
    Read(c.text, &error);
    EXPECT_EQ(error.line, c.line) << c.text;
    EXPECT_NE(error.reason.In(1).find(c.reason), std::string::npos) << error.reason.In(1);
    EXPECT_FALSE(error.reason.In(0).empty());
  }
  BoardError error;
  Read(longName + ": --vo 1\n", &error);
  EXPECT_EQ(error.line, 1);
  std::string many;
  for (int n = 0; n <= kMostRails; ++n) many += "r" + std::to_string(n) + ": --vo 1\n";
  Read(many, &error);
  EXPECT_EQ(error.line, kMostRails + 1);
}

TEST(BoardFile, RefusesFilesThatAreNoBoardText) {
  testing::FakeFileSystem files;
  files.AddFile("/home/nul.txt", std::string("a: --vo 1\0\n", 11));
  files.AddFile("/home/big.txt", std::string(kBoardByteLimit + 1, '#'));
  files.AddFile("/home/ok.txt", "\xEF\xBB\xBF" "a: --vo 1\n");
  std::string text;
  Localized error;
  EXPECT_FALSE(ReadBoardFile(files, "/home/missing.txt", &text, &error));
  EXPECT_NE(error.In(1).find("cannot read /home/missing.txt"), std::string::npos);
  EXPECT_FALSE(ReadBoardFile(files, "/home/nul.txt", &text, &error));
  EXPECT_NE(error.In(1).find("NUL"), std::string::npos);
  EXPECT_FALSE(ReadBoardFile(files, "/home/big.txt", &text, &error));
  EXPECT_NE(error.In(1).find("too long for a board"), std::string::npos);
  ASSERT_TRUE(ReadBoardFile(files, "/home/ok.txt", &text, &error));
  EXPECT_EQ(text, "a: --vo 1\n");
}

}  // namespace
}  // namespace tapsmith
