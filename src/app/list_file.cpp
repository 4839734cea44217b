#include "list_file.h"

#include <algorithm>
#include <string>
#include <utility>

#include "app_state.h"
#include "text_encoding.h"

namespace tapsmith {

namespace {

// A list that reaches the slot's size in code page 932 never fits; reading
// stops past this many bytes, which no fitting list has (a UTF-8 character
// takes at most three bytes where code page 932 takes at least one).
constexpr size_t kReadLimit = 3 * kSlotMaxLength + 3;

const char kUtf8ByteOrderMark[] = "\xEF\xBB\xBF";

// Up to kReadLimit + 1 bytes of the file, so that one too many tells that it
// is too long.
bool ReadLimited(FileSystem& files, const std::string& path, std::string* raw, std::string* reason) {
  File file;
  if (!files.OpenForReading(path, &file, reason)) return false;
  raw->assign(kReadLimit + 1, '\0');
  size_t size = 0;
  while (size < raw->size()) {
    size_t got = 0;
    if (!files.Read(file, raw->data() + size, raw->size() - size, &got, reason)) return false;
    if (got == 0) break;
    size += got;
  }
  raw->resize(size);
  return true;
}

std::string TooLongForAList(const std::string& what) {
  return what + " is too long for a stock list: at most " + std::to_string(kSlotMaxLength) +
         " bytes with CR LF line ends";
}

}  // namespace

bool ReadListFile(FileSystem& files, const std::string& path, std::string* list, std::string* error) {
  std::string raw;
  std::string reason;
  if (!ReadLimited(files, path, &raw, &reason)) {
    *error = "cannot read " + path + ": " + reason;
    return false;
  }
  if (raw.find('\0') != std::string::npos) {
    *error = path + " holds NUL bytes: it is not UTF-8 text (UTF-16?)";
    return false;
  }
  const bool tooMuchRead = raw.size() > kReadLimit;
  if (raw.compare(0, 3, kUtf8ByteOrderMark) == 0) raw.erase(0, 3);

  std::string text;
  text.reserve(raw.size() + raw.size() / 8);
  for (size_t i = 0; i < raw.size(); ++i) {
    if (raw[i] == '\n' && (i == 0 || raw[i - 1] != '\r')) text.push_back('\r');
    text.push_back(raw[i]);
  }
  std::string converted = Utf8ToCp932(text);
  if (tooMuchRead || converted.size() > static_cast<size_t>(kSlotMaxLength)) {
    *error = TooLongForAList(path);
    return false;
  }
  *list = std::move(converted);
  return true;
}

bool ListFromValues(std::string_view values, std::string* list, std::string* error) {
  std::string lines;
  size_t start = 0;
  while (start < values.size()) {
    const size_t end = std::min(values.find_first_of(", \t\r\n", start), values.size());
    if (end > start) {
      lines.append(values.substr(start, end - start));
      lines.append("\r\n");
    }
    start = end + 1;
  }
  std::string converted = Utf8ToCp932(lines);
  if (converted.size() > static_cast<size_t>(kSlotMaxLength)) {
    *error = TooLongForAList("the list");
    return false;
  }
  *list = std::move(converted);
  return true;
}

}  // namespace tapsmith
