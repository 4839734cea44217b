// What one console run was asked to do, read from its options, and how it
// is applied over the state as if the user had typed it into the window.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app_state.h"
#include "file_system.h"
#include "message_table.h"
#include "search.h"

namespace tapsmith {

enum class OutputFormat { Text, Csv, Json };

enum ExitStatus : int {
  kExitFound = 0,  // matches found, the too-many case included
  kExitNothingFound = 1,
  kExitInputError = 2,  // a format or stock-list error, or a file that cannot be read
  kExitSaveFailed = 3,
  kExitUsage = 64,
};

// The E-series `--list` builds into List1: every `step`-th E192 mantissa
// over the range, both ends included.
struct SeriesList {
  const char* name = nullptr;  // "E96"; null: no series
  int step = 0;
  double minOhms = 0.0;
  double maxOhms = 0.0;
  std::string rangeText;  // as the user wrote it, or the default
};

// Why a run cannot go on: the reason in both languages, and the options it
// names, its subject first (none for a word that is no option at all).
struct CliError {
  Localized reason;
  std::vector<std::string> options;
};

// A board of rails, each its own divider, chosen at once.
struct BoardRequest {
  std::optional<std::string> file;  // --board
  std::optional<std::string> text;  // --board-text: the file's text itself
  std::optional<std::string> bom;   // the values already on the board, UTF-8
  std::optional<std::string> bomFile;
  double timeLimit = 60.0;  // seconds

  bool Asked() const { return file || text; }
};

struct CliCommand {
  std::optional<std::string> slotTexts[kSlotCount];  // UTF-8, as typed
  std::optional<int32_t> settings[kSettingCount];
  // List1 from a file, from --values or from a series; chosen unless --list
  // names another list.
  std::optional<std::string> listFile;
  std::optional<std::string> values;  // UTF-8, as given to --values
  const char* listOption = nullptr;   // the option that made List1 (--list-file, --values, --list)
  SeriesList series;
  DesignRequest design;
  R4Mode r4 = R4Mode::None;  // --r4: a fourth resistor beside R1
  // Each option's text as the user wrote it, for messages that name it.
  std::map<std::string_view, std::string> given;
  BoardRequest board;
  std::optional<std::string> settingsFile;
  bool save = false;
  OutputFormat format = OutputFormat::Text;
  bool help = false;
  bool version = false;
};

/// True when the command asks more of the search than the window does.
bool AsksDesignSearch(const CliCommand& command);

/// Applies the command's texts, list and settings over `state`, texts
/// converted to code page 932. A list file is read through `files`. Returns
/// false with the reason in `*error` when the list file cannot be read or is
/// no list text, or a list is longer than a list holds; the state is then
/// unchanged.
bool ApplyCommand(const CliCommand& command, FileSystem* files, AppState* state, CliError* error);

}  // namespace tapsmith
