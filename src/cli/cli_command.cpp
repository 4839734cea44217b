#include "cli_command.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "e_series.h"
#include "text_encoding.h"

namespace tapsmith {

namespace {

// A list that reaches the slot's size in code page 932 never fits; reading
// stops past this many bytes, which no fitting list has (a UTF-8 character
// takes at most three bytes where code page 932 takes at least one).
constexpr size_t kListFileReadLimit = 3 * kSlotMaxLength + 3;

const char kUtf8ByteOrderMark[] = "\xEF\xBB\xBF";

std::string TooLongForAList(const std::string& what) {
  return what + " is too long for a stock list: at most " + std::to_string(kSlotMaxLength) +
         " bytes with CR LF line ends";
}

// The file's lines with CR LF line breaks, as a list edit box holds them, in
// code page 932. A file that is no UTF-8 text (NUL bytes: UTF-16 or binary),
// or that is longer than a list can hold, is refused rather than read in part:
// a list cut short or read as garbage would give a plausible but wrong result.
bool ReadListFile(FileSystem&, const std::string& path, std::string* list, std::string* error) {
  FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) {
    *error = "cannot read " + path + ": " + std::strerror(errno);
    return false;
  }
  std::string raw(kListFileReadLimit + 1, '\0');
  size_t size = std::fread(raw.data(), 1, raw.size(), file);
  int readError = std::ferror(file) ? errno : 0;  // EISDIR for a directory
  std::fclose(file);
  if (readError != 0) {
    *error = "cannot read " + path + ": " + std::strerror(readError);
    return false;
  }
  raw.resize(size);
  if (raw.find('\0') != std::string::npos) {
    *error = path + " holds NUL bytes: it is not UTF-8 text (UTF-16?)";
    return false;
  }
  if (raw.compare(0, 3, kUtf8ByteOrderMark) == 0) raw.erase(0, 3);

  std::string text;
  text.reserve(raw.size() + raw.size() / 8);
  for (size_t i = 0; i < raw.size(); ++i) {
    if (raw[i] == '\n' && (i == 0 || raw[i - 1] != '\r')) text.push_back('\r');
    text.push_back(raw[i]);
  }
  *list = Utf8ToCp932(text);
  if (size > kListFileReadLimit || list->size() > static_cast<size_t>(kSlotMaxLength)) {
    *error = TooLongForAList(path);
    return false;
  }
  return true;
}

// List1 as the command makes it: from the file, the values or the series.
// False with the reason when it cannot be had.
bool MakeListOne(const CliCommand& command, FileSystem* files, std::string* list, std::string* error) {
  if (command.listFile) {
    if (!ReadListFile(*files, *command.listFile, list, error)) {
      *error = "--list-file: " + *error;
      return false;
    }
    return true;
  }
  if (command.values) {
    *list = Utf8ToCp932(*command.values);
    if (list->size() > static_cast<size_t>(kSlotMaxLength)) {
      *error = "--values: " + TooLongForAList("the list");
      return false;
    }
    return true;
  }
  const SeriesList& series = command.series;
  SeriesValues(series.step, series.minOhms, series.maxOhms, list);
  return true;
}

}  // namespace

bool AsksDesignSearch(const CliCommand& command) {
  const DesignRequest& design = command.design;
  return design.reportsWorstCase || design.worstCaseInWindow || design.reportsCurrent ||
         design.pinCurrent || design.pinCurrentMin || design.pinCurrentMax || design.reportsYield ||
         design.bestCount > 0;
}

bool ApplyCommand(const CliCommand& command, FileSystem* files, AppState* state,
                  std::string* error) {
  const bool makesListOne = command.listFile || command.values || command.series.name != nullptr;
  std::string list;
  if (makesListOne && !MakeListOne(command, files, &list, error)) return false;
  for (int slot = 0; slot < kSlotCount; ++slot) {
    if (command.slotTexts[slot]) {
      SetSlotText(state, slot, Utf8ToCp932(*command.slotTexts[slot]).c_str());
    }
  }
  if (makesListOne) {
    SetSlotBytes(state, SlotList1, list.data(), list.size());
    if (!command.listNamed) SetSetting(state, ListChoice, 0);
  }
  for (int index = 0; index < kSettingCount; ++index) {
    if (command.settings[index]) SetSetting(state, index, *command.settings[index]);
  }
  return true;
}

}  // namespace tapsmith
