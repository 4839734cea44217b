#include "list_file.h"

#include <algorithm>
#include <string>
#include <utility>

#include "app_state.h"
#include "text_encoding.h"

namespace tapsmith {

namespace {

const char kUtf8ByteOrderMark[] = "\xEF\xBB\xBF";

Localized TooLongForAList(const Localized& what) {
  return Fill(Message::TooLongForList, {what, std::to_string(kSlotMaxLength)});
}

// The bytes as list text: no NUL in them, no byte order mark kept.
bool ListBytes(std::string_view bytes, const std::string& name, std::string_view* text, Localized* error) {
  if (bytes.find('\0') != std::string_view::npos) {
    *error = Fill(Message::HoldsNul, {name});
    return false;
  }
  if (bytes.size() > kListReadLimit) {
    *error = TooLongForAList(name);
    return false;
  }
  if (bytes.substr(0, 3) == kUtf8ByteOrderMark) bytes.remove_prefix(3);
  *text = bytes;
  return true;
}

// The list slot's text of UTF-8 lines: code page 932, each lone LF a CR LF.
bool SlotListOf(std::string_view utf8, const Localized& name, std::string* list, Localized* error) {
  std::string text;
  text.reserve(utf8.size() + utf8.size() / 8);
  for (size_t i = 0; i < utf8.size(); ++i) {
    if (utf8[i] == '\n' && (i == 0 || utf8[i - 1] != '\r')) text.push_back('\r');
    text.push_back(utf8[i]);
  }
  std::string converted = Utf8ToCp932(text);
  if (converted.size() > static_cast<size_t>(kSlotMaxLength)) {
    *error = TooLongForAList(name);
    return false;
  }
  *list = std::move(converted);
  return true;
}

// The length of the separator at `at`, 0 where none stands: a comma, a
// blank or a line break, or the ideographic comma (、), the ideographic
// space or the full-width comma (，) that a Japanese input method types.
size_t SeparatorAt(std::string_view text, size_t at) {
  static const std::string_view kWide[] = {"\xE3\x80\x81", "\xE3\x80\x80", "\xEF\xBC\x8C"};
  const char c = text[at];
  if (c == ',' || c == ' ' || c == '\t' || c == '\r' || c == '\n') return 1;
  for (std::string_view wide : kWide) {
    if (text.substr(at, wide.size()) == wide) return wide.size();
  }
  return 0;
}

}  // namespace

bool ReadListFile(FileSystem& files, const std::string& path, std::string* list, Localized* error) {
  std::string raw;
  std::string reason;
  if (!ReadFileUpTo(files, path, kListReadLimit, &raw, &reason)) {
    *error = Fill(Message::CannotRead, {path, reason});
    return false;
  }
  std::string_view text;
  return ListBytes(raw, path, &text, error) && SlotListOf(text, path, list, error);
}

bool CheckListBytes(std::string_view bytes, const std::string& name, std::string* utf8, Localized* error) {
  std::string_view text;
  std::string list;
  if (!ListBytes(bytes, name, &text, error) || !SlotListOf(text, name, &list, error)) return false;
  *utf8 = std::string(text);
  return true;
}

bool ListFromValues(std::string_view values, std::string* list, Localized* error) {
  std::string lines;
  size_t at = 0;
  while (at < values.size()) {
    size_t end = at;
    while (end < values.size() && SeparatorAt(values, end) == 0) ++end;
    if (end > at) {
      lines.append(values.substr(at, end - at));
      lines.append("\n");
      if (lines.size() > kListReadLimit) {
        *error = TooLongForAList(Fill(Message::TheList));
        return false;
      }
    }
    at = end < values.size() ? end + SeparatorAt(values, end) : end;
  }
  return SlotListOf(lines, Fill(Message::TheList), list, error);
}

}  // namespace tapsmith
