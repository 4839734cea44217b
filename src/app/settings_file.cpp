#include "settings_file.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <memory>

#include "decimal_integer.h"
#include "file_replace.h"
#include "message_table.h"

namespace tapsmith {

namespace {

constexpr char kLineBreakMark = '\x07';  // a slot's CR LF is written as two of these
const char kLineEnd[] = "\r\n";
constexpr size_t kReadChunk = 64 * 1024;

// Reads the file, or the same bytes held in memory, line by line. A line
// ends at LF or CR LF; a CR that is not followed by LF is part of the line. A
// last line without a line end counts as a line. A file is read in chunks, so
// that a hand-made line of any length needs no more memory than it keeps; a
// read error ends the file there, and is kept for a caller that reports it.
class LineReader {
 public:
  LineReader(FileSystem* files, File* file)
      : files_(files), file_(file), chunk_(new char[kReadChunk]) {}
  LineReader(const char* bytes, size_t size) : next_(bytes), end_(bytes + size) {}

  /// Reads the next line into `line` without its line end, keeping the first
  /// `keep` bytes; the rest of a longer line is read and dropped, so the next
  /// call starts at the next line. Returns false at the end of the file.
  bool NextLine(std::string* line, size_t keep);

  /// Reads the next line as a decimal integer (see decimal_integer.h); the
  /// rest of the line is dropped. Returns false at the end of the file.
  bool NextInteger(int32_t* value);

  /// True when no byte is left.
  bool AtEnd() { return !Fill(); }

  /// Why the file ended early; empty if no read failed.
  const std::string& readError() const { return readError_; }

 private:
  // Makes at least one byte available; false at the end of the file.
  bool Fill();

  FileSystem* files_ = nullptr;  // null: only the bytes given are read
  File* file_ = nullptr;
  std::unique_ptr<char[]> chunk_;
  std::string readError_;
  const char* next_ = nullptr;
  const char* end_ = nullptr;
};

bool LineReader::Fill() {
  if (next_ != end_) return true;
  if (files_ == nullptr) return false;
  size_t got = 0;
  if (!files_->Read(*file_, chunk_.get(), kReadChunk, &got, &readError_) || got == 0) {
    files_ = nullptr;
    return false;
  }
  next_ = chunk_.get();
  end_ = next_ + got;
  return true;
}

bool LineReader::NextLine(std::string* line, size_t keep) {
  line->clear();
  if (!Fill()) return false;
  size_t length = 0;  // of the whole line, as far as read
  bool lastWasCr = false;
  while (Fill()) {
    const char* lineFeed = static_cast<const char*>(std::memchr(next_, '\n', end_ - next_));
    const char* stop = lineFeed != nullptr ? lineFeed : end_;
    size_t run = static_cast<size_t>(stop - next_);
    if (run > 0) {
      if (line->size() < keep) line->append(next_, std::min(run, keep - line->size()));
      lastWasCr = stop[-1] == '\r';
      length += run;
    }
    next_ = stop;
    if (lineFeed != nullptr) {
      ++next_;
      // CR LF ends the line as LF does; the CR was kept if the line fitted.
      if (lastWasCr && length <= keep) line->pop_back();
      break;
    }
  }
  return true;
}

bool LineReader::NextInteger(int32_t* value) {
  if (!Fill()) return false;
  DecimalIntegerReader number;
  while (Fill() && *next_ != '\n' && number.Take(static_cast<unsigned char>(*next_))) ++next_;
  std::string rest;
  NextLine(&rest, 0);  // what follows the number on its line
  *value = number.Value();
  return true;
}

// Turns every BEL BEL pair back into CR LF, scanning left to right, and
// stores the line into the slot (cut at the slot's size, and at a NUL byte).
void StoreSlotLine(AppState* state, int slot, std::string* line) {
  char* text = line->data();
  char* end = text + line->size();
  while ((text = static_cast<char*>(std::memchr(text, kLineBreakMark, end - text))) != nullptr) {
    if (end - text < 2) break;
    if (text[1] == kLineBreakMark) {
      *text++ = '\r';
      *text = '\n';
    }
    ++text;
  }
  SetSlotBytes(state, slot, line->data(), line->size());
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
  size_t length = std::strlen(text);
  size_t start = bytes->size();
  bytes->resize(start + 2 * length + 2);  // room for every byte a lone LF
  char* out = bytes->data() + start;
  const char* end = text + length;
  while (const char* lineFeed = static_cast<const char*>(std::memchr(text, '\n', end - text))) {
    const char* runEnd = lineFeed > text && lineFeed[-1] == '\r' ? lineFeed - 1 : lineFeed;
    out = std::copy(text, runEnd, out);
    *out++ = kLineBreakMark;
    *out++ = kLineBreakMark;
    text = lineFeed + 1;
  }
  out = std::copy(text, end, out);
  out = std::copy(kLineEnd, kLineEnd + 2, out);
  bytes->resize(static_cast<size_t>(out - bytes->data()));
}

// Reads the file at `path` over the state. Returns false with the reason if
// it cannot be opened or a read fails, the state then holding what was read.
bool ReadSettingsFile(FileSystem& files, AppState* state, const char* path, std::string* reason) {
  File file;
  if (!files.OpenForReading(path, &file, reason)) return false;
  LineReader reader(&files, &file);
  ReadSettings(&reader, state);
  *reason = reader.readError();
  return reason->empty();
}

void NormaliseLanguage(AppState* state) {
  if (GetSetting(*state, Language) > 1) SetSetting(state, Language, 0);
}

bool Fail(std::string* error, const char* path, const std::string& reason) {
  *error = std::string(path) + ": " + reason;
  return false;
}

void AppendNumberLine(std::string* bytes, int32_t value) {
  char number[16];
  char* end = std::to_chars(number, number + sizeof number, value).ptr;
  bytes->append(number, end);
  bytes->append(kLineEnd);
}

}  // namespace

void LoadSettings(AppState* state) { LoadSettingsFile(state, state->settingsPath); }

void LoadSettingsFile(FileSystem& files, AppState* state, const char* path) {
  std::string ignored;
  if (path != nullptr && path[0] != '\0') ReadSettingsFile(files, state, path, &ignored);
  NormaliseLanguage(state);
}

void LoadSettingsFile(AppState* state, const char* path) {
  LoadSettingsFile(SystemFileSystem(), state, path);
}

bool LoadSettingsFile(FileSystem& files, AppState* state, const char* path, std::string* error) {
  if (path == nullptr || path[0] == '\0') {
    *error = "no settings file name";
    return false;
  }
  FileInfo info;
  std::string reason;
  if (!files.Inspect(path, &info, &reason)) return Fail(error, path, reason);
  // Read into a copy, so that a file that fails part way leaves nothing of
  // itself in the state.
  auto loaded = std::make_unique<AppState>(*state);
  if (info.exists && !ReadSettingsFile(files, loaded.get(), path, &reason)) {
    return Fail(error, path, reason);
  }
  NormaliseLanguage(loaded.get());
  *state = *loaded;
  return true;
}

bool LoadSettingsFile(AppState* state, const char* path, std::string* error) {
  return LoadSettingsFile(SystemFileSystem(), state, path, error);
}

void LoadSettingsBytes(AppState* state, const char* bytes, size_t size) {
  LineReader reader(bytes, size);
  ReadSettings(&reader, state);
  NormaliseLanguage(state);
}

std::string SettingsFileBytes(const AppState& state) {
  std::string bytes;
  bytes.reserve(4096);
  AppendNumberLine(&bytes, kSettingCount);
  for (int i = 0; i < kSettingCount; ++i) AppendNumberLine(&bytes, GetSetting(state, i));
  AppendNumberLine(&bytes, kSlotCount);
  for (int slot = 0; slot < kSlotCount; ++slot) AppendSlotLine(&bytes, SlotText(state, slot));
  return bytes;
}

bool SaveSettingsFile(FileSystem& files, const AppState& state, const char* path,
                      std::string* error) {
  if (path == nullptr || path[0] == '\0') {
    *error = "no settings file name";
    return false;
  }
  return ReplaceFileContents(files, path, SettingsFileBytes(state), error);
}

bool SaveSettingsFile(const AppState& state, const char* path, std::string* error) {
  return SaveSettingsFile(SystemFileSystem(), state, path, error);
}

bool SaveSettings(const AppState& state, std::string* error) {
  if (state.settingsPath[0] == '\0') return true;
  return SaveSettingsFile(state, state.settingsPath, error);
}

}  // namespace tapsmith
