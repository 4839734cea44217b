#include "board_file.h"

#include <algorithm>

namespace tapsmith {

namespace {

bool IsNameCharacter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '.' ||
         c == '+' || c == '-';
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && (IsBlank(text.front()) || text.front() == '\r')) text.remove_prefix(1);
  while (!text.empty() && (IsBlank(text.back()) || text.back() == '\r')) text.remove_suffix(1);
  return text;
}

// The line without its comment; false when a quote is left open.
bool WithoutComment(std::string_view line, std::string_view* kept) {
  bool quoted = false;
  for (size_t i = 0; i < line.size(); ++i) {
    if (line[i] == '"') quoted = !quoted;
    if (line[i] == '#' && !quoted) {
      *kept = line.substr(0, i);
      return true;
    }
  }
  *kept = line;
  return !quoted;
}

// The words of the options, quotes joined into the word they stand in.
std::vector<std::string> WordsOf(std::string_view text) {
  std::vector<std::string> words;
  std::string word;
  bool inWord = false;
  bool quoted = false;
  for (char c : text) {
    if (c == '"') {
      quoted = !quoted;
      inWord = true;
    } else if (!quoted && (IsBlank(c) || c == '\r')) {
      if (inWord) words.push_back(std::move(word));
      word.clear();
      inWord = false;
    } else {
      word.push_back(c);
      inWord = true;
    }
  }
  if (inWord) words.push_back(std::move(word));
  return words;
}

}  // namespace

bool ReadBoardText(std::string_view text, const std::string& what, std::vector<BoardRail>* rails,
                   BoardError* error) {
  rails->clear();
  int number = 0;
  while (!text.empty() || number == 0) {
    ++number;
    const size_t end = text.find('\n');
    const std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    std::string_view kept;
    if (!WithoutComment(line, &kept)) {
      *error = {number, Fill(Message::OpenQuote)};
      return false;
    }
    kept = Trimmed(kept);
    if (kept.empty()) continue;
    const size_t colon = kept.find(':');
    if (colon == std::string_view::npos) {
      *error = {number, Fill(Message::NoRailName)};
      return false;
    }
    const std::string name(Trimmed(kept.substr(0, colon)));
    if (name.empty() || name.size() > kLongestRailName || !std::all_of(name.begin(), name.end(), IsNameCharacter)) {
      *error = {number, Fill(Message::BadRailName, {Quoted(name), std::to_string(kLongestRailName)})};
      return false;
    }
    for (const BoardRail& rail : *rails) {
      if (rail.name != name) continue;
      *error = {number, Fill(Message::RailNamedTwice, {Quoted(name), std::to_string(rail.line)})};
      return false;
    }
    if (rails->size() == static_cast<size_t>(kMostRails)) {
      *error = {number, Fill(Message::TooManyRails, {std::to_string(kMostRails)})};
      return false;
    }
    rails->push_back({name, number, WordsOf(kept.substr(colon + 1))});
  }
  if (rails->empty()) {
    *error = {0, Fill(Message::NoRails, {what})};
    return false;
  }
  return true;
}

bool ReadBoardFile(FileSystem& files, const std::string& path, std::string* text, Localized* error) {
  std::string bytes, reason;
  if (!ReadFileUpTo(files, path, kBoardByteLimit, &bytes, &reason)) {
    *error = Fill(Message::CannotRead, {path, reason});
    return false;
  }
  if (bytes.find('\0') != std::string::npos) {
    *error = Fill(Message::HoldsNul, {path});
    return false;
  }
  if (bytes.size() > kBoardByteLimit) {
    *error = Fill(Message::TooLongForBoard, {path, std::to_string(kBoardByteLimit)});
    return false;
  }
  if (bytes.rfind("\xEF\xBB\xBF", 0) == 0) bytes.erase(0, 3);
  *text = std::move(bytes);
  return true;
}

}  // namespace tapsmith
