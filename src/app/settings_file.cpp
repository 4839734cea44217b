#include "settings_file.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "file_replace.h"
#include "message_table.h"

namespace tapsmith {

namespace {

constexpr char kLineBreakMark = '\x07';  // a slot's CR LF is written as two of these
const char kLineEnd[] = "\r\n";

// Reads the file, or the same bytes held in memory, line by line. A line
// ends at LF or CR LF; a CR that is not followed by LF is part of the line. A
// last line without a line end counts as a line.
class LineReader {
 public:
  explicit LineReader(FILE* file) : file_(file) {}
  LineReader(const char* bytes, size_t size)
      : bytes_(reinterpret_cast<const unsigned char*>(bytes)), size_(size) {}

  /// Reads the next line into `line` without its line end, keeping the first
  /// `keep` bytes; the rest of a longer line is read and dropped, so the next
  /// call starts at the next line. Returns false at the end of the file.
  bool NextLine(std::string* line, size_t keep);

  /// Reads the next line as a decimal integer: leading white space, an
  /// optional sign, digits; 0 if there are none. Values beyond 32 bits
  /// saturate at INT32_MIN or INT32_MAX. Returns false at the end of the file.
  bool NextInteger(int32_t* value);

  /// True when no byte is left.
  bool AtEnd();

 private:
  int Get();  // EOF at the end and on read errors
  int Peek();

  FILE* file_ = nullptr;  // null: the bytes below are read
  const unsigned char* bytes_ = nullptr;
  size_t size_ = 0;
  size_t next_ = 0;
};

int LineReader::Get() {
  if (file_ != nullptr) return std::getc(file_);
  return next_ < size_ ? bytes_[next_++] : EOF;
}

int LineReader::Peek() {
  if (file_ == nullptr) return next_ < size_ ? bytes_[next_] : EOF;
  int c = std::getc(file_);
  if (c != EOF) std::ungetc(c, file_);
  return c;
}

bool LineReader::AtEnd() { return Peek() == EOF; }

bool LineReader::NextLine(std::string* line, size_t keep) {
  line->clear();
  int c = Get();
  if (c == EOF) return false;
  for (; c != EOF && c != '\n'; c = Get()) {
    if (c == '\r' && Peek() == '\n') continue;  // CR LF ends the line as LF does
    if (line->size() < keep) line->push_back(static_cast<char>(c));
  }
  return true;
}

bool LineReader::NextInteger(int32_t* value) {
  constexpr int64_t kBeyondInt32 = int64_t{1} << 32;  // stop growing once out of range
  int c = Get();
  if (c == EOF) return false;
  while (c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\r') c = Get();
  bool negative = c == '-';
  if (c == '-' || c == '+') c = Get();
  int64_t magnitude = 0;
  for (; c >= '0' && c <= '9'; c = Get()) {
    if (magnitude < kBeyondInt32) magnitude = magnitude * 10 + (c - '0');
  }
  while (c != EOF && c != '\n') c = Get();
  int64_t signedValue = negative ? -magnitude : magnitude;
  if (signedValue > INT32_MAX) signedValue = INT32_MAX;
  if (signedValue < INT32_MIN) signedValue = INT32_MIN;
  *value = static_cast<int32_t>(signedValue);
  return true;
}

// Turns every BEL BEL pair back into CR LF, scanning left to right, and
// stores the line into the slot (cut at the slot's size, and at a NUL byte).
void StoreSlotLine(AppState* state, int slot, std::string* line) {
  std::string& text = *line;
  for (size_t i = 0; i + 1 < text.size(); ++i) {
    if (text[i] == kLineBreakMark && text[i + 1] == kLineBreakMark) {
      text[i] = '\r';
      text[++i] = '\n';
    }
  }
  SetSlotBytes(state, slot, text.data(), text.size());
}

// True if `line` is the format-error message, in either language, without the
// line feed that ends it.
bool IsFormatErrorWithoutLineFeed(const std::string& line) {
  for (int language : {0, 1}) {
    const char* message = MessageText(Message::FormatError, language);
    size_t length = std::strlen(message) - 1;
    if (line.size() == length && line.compare(0, length, message, length) == 0) return true;
  }
  return false;
}

// Writers that kept the status slot's line feed as it was split a format-error
// status over two lines: the message alone, then the field text, and every
// later slot one line down, the last one past the declared count. Such a file
// holds exactly one text line more than its 20; the status is joined back and
// the lists moved up to their own slots. The join is a CR LF, the slots' own
// line break, which is what any later save and load of the status gives: a
// bare LF would come back as CR LF and the state would change once more. Any
// other file is left as loaded.
void RejoinSplitStatus(LineReader* reader, AppState* state, std::string* line) {
  if (!reader->NextLine(line, kSlotSize) || !reader->AtEnd()) return;
  AppendSlotText(state, SlotStatus, "\r\n");
  AppendSlotText(state, SlotStatus, SlotText(*state, SlotStatus + 1));
  for (int slot = SlotStatus + 1; slot + 1 < kSlotCount; ++slot) {
    SetSlotText(state, slot, SlotText(*state, slot + 1));
  }
  StoreSlotLine(state, kSlotCount - 1, line);
}

void ReadSettings(LineReader* reader, AppState* state) {
  int32_t settingCount;
  if (!reader->NextInteger(&settingCount)) return;
  for (int32_t i = 0; i < settingCount; ++i) {
    int32_t value;
    if (!reader->NextInteger(&value)) return;  // truncated: no texts are read
    if (i < kSettingCount) SetSetting(state, i, value);
  }

  int32_t textCount;
  if (!reader->NextInteger(&textCount)) return;
  std::string line;
  line.reserve(kSlotSize);
  int32_t linesRead = 0;
  bool statusLooksSplit = false;
  for (; linesRead < textCount; ++linesRead) {
    bool keepLine = linesRead < kSlotCount;
    if (!reader->NextLine(&line, keepLine ? kSlotSize : 0)) break;
    if (!keepLine) continue;
    if (linesRead == SlotStatus) statusLooksSplit = IsFormatErrorWithoutLineFeed(line);
    StoreSlotLine(state, linesRead, &line);
  }
  // Files that declare 7 to 10 text lines carry List1 in slot 7.
  if (textCount >= 7 && textCount <= 10) {
    SetSlotText(state, SlotList1, SlotText(*state, SlotReserved7));
  }
  if (textCount == kSlotCount && linesRead == kSlotCount && statusLooksSplit) {
    RejoinSplitStatus(reader, state, &line);
  }
}

// Appends the slot's text with every line break, CR LF or a lone LF, written
// as BEL BEL. A lone LF would otherwise end the line inside the slot and move
// every later slot down by one at the next load.
void AppendSlotLine(std::string* bytes, const char* text) {
  for (const char* c = text; *c != '\0'; ++c) {
    if (*c == '\r' && c[1] == '\n') {
      ++c;
      bytes->append(2, kLineBreakMark);
    } else if (*c == '\n') {
      bytes->append(2, kLineBreakMark);
    } else {
      bytes->push_back(*c);
    }
  }
  bytes->append(kLineEnd);
}

void AppendNumberLine(std::string* bytes, int32_t value) {
  char number[16];
  std::snprintf(number, sizeof number, "%d", static_cast<int>(value));
  bytes->append(number);
  bytes->append(kLineEnd);
}

}  // namespace

void LoadSettings(AppState* state) { LoadSettingsFile(state, state->settingsPath); }

void LoadSettingsFile(AppState* state, const char* path) {
  std::error_code error;
  // Only a regular file is read: opening a named pipe or a device would wait
  // for a writer that never comes, and the window would never appear.
  if (path != nullptr && path[0] != '\0' && std::filesystem::is_regular_file(path, error)) {
    // Binary mode: the reader itself treats CR LF and LF alike.
    if (FILE* file = std::fopen(path, "rb")) {
      LineReader reader(file);
      ReadSettings(&reader, state);
      std::fclose(file);
    }
  }
  if (GetSetting(*state, Language) > 1) SetSetting(state, Language, 0);
}

void LoadSettingsBytes(AppState* state, const char* bytes, size_t size) {
  LineReader reader(bytes, size);
  ReadSettings(&reader, state);
  if (GetSetting(*state, Language) > 1) SetSetting(state, Language, 0);
}

std::string SettingsFileBytes(const AppState& state) {
  std::string bytes;
  AppendNumberLine(&bytes, kSettingCount);
  for (int i = 0; i < kSettingCount; ++i) AppendNumberLine(&bytes, GetSetting(state, i));
  AppendNumberLine(&bytes, kSlotCount);
  for (int slot = 0; slot < kSlotCount; ++slot) AppendSlotLine(&bytes, SlotText(state, slot));
  return bytes;
}

bool SaveSettingsFile(const AppState& state, const char* path, std::string* error) {
  if (path == nullptr || path[0] == '\0') {
    *error = "no settings file name";
    return false;
  }
  return ReplaceFileContents(path, SettingsFileBytes(state), error);
}

bool SaveSettings(const AppState& state, std::string* error) {
  if (state.settingsPath[0] == '\0') return true;
  return SaveSettingsFile(state, state.settingsPath, error);
}

}  // namespace tapsmith
