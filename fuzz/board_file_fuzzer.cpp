// The board file's reader on arbitrary bytes: it never faults, and what it
// reads holds to its rules: at most 64 rails, names of 1 to 32 allowed
// characters, unique, on increasing lines; a refusal names a line of the
// text (or none) and gives its reason in both languages.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>
#include <string_view>

#include "board_file.h"

namespace {

using namespace tapsmith;

[[noreturn]] void Fail(const char* what) {
  std::fprintf(stderr, "board_file_fuzzer: %s\n", what);
  std::abort();
}

bool IsNameCharacter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '.' ||
         c == '+' || c == '-';
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  int lines = 1;
  for (char c : text) lines += c == '\n';
  std::vector<BoardRail> rails;
  BoardError error;
  if (!ReadBoardText(text, "board.txt", &rails, &error)) {
    if (error.line < 0 || error.line > lines) Fail("the refusal names no line of the text");
    if (error.reason.In(0).empty() || error.reason.In(1).empty()) Fail("a refusal without its reason");
    return 0;
  }
  if (rails.empty() || rails.size() > static_cast<size_t>(kMostRails)) Fail("no rail, or too many");
  std::set<std::string> names;
  int previous = 0;
  for (const BoardRail& rail : rails) {
    if (rail.name.empty() || rail.name.size() > kLongestRailName) Fail("a name's length");
    for (char c : rail.name) {
      if (!IsNameCharacter(c)) Fail("a name's character");
    }
    if (!names.insert(rail.name).second) Fail("a name twice");
    if (rail.line <= previous || rail.line > lines) Fail("the rails' lines out of order");
    previous = rail.line;
    for (const std::string& word : rail.words) {
      if (word.find('\n') != std::string::npos) Fail("a word across lines");
    }
  }
  return 0;
}
