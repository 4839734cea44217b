// The board file: one rail a line, "NAME: OPTIONS", the options the
// console's own. Read here into words; what they mean is the console's.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "file_system.h"
#include "message_table.h"

namespace tapsmith {

constexpr int kMostRails = 64;
constexpr size_t kLongestRailName = 32;
constexpr size_t kBoardByteLimit = 1 << 20;

struct BoardRail {
  std::string name;
  int line = 0;                    // from 1
  std::vector<std::string> words;  // the options, quotes taken off
};

// Why a board cannot be read: the line at fault (0: the board as a whole).
struct BoardError {
  int line = 0;
  Localized reason;
};

/// Reads the board's text into its rails, in file order. `#` starts a
/// comment outside quotes, blank lines are skipped, blanks and tabs
/// separate words, "..." holds blanks (and may be part of a word, as in
/// --values="1k 2k"). A name is 1 to 32 letters, digits, "_", ".", "+" or
/// "-", unique in the file; at most 64 rails. Returns false with the first
/// fault: a line without its name, a bad or repeated name, a quote left
/// open, too many rails, or no rail at all (`what` names the board then).
bool ReadBoardText(std::string_view text, const std::string& what, std::vector<BoardRail>* rails,
                   BoardError* error);

/// Reads the board file at `path` whole into `text`. Returns false with the
/// reason, naming the path, when it cannot be read, holds NUL bytes or is
/// longer than 1 MB.
bool ReadBoardFile(FileSystem& files, const std::string& path, std::string* text, Localized* error);

}  // namespace tapsmith
