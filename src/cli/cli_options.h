// The console front end's options: parsed from the command line and applied
// over the state as if the user had typed them into the window.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app_state.h"
#include "search.h"

namespace tapsmith {

enum class OutputFormat { Text, Csv, Json };

enum ExitStatus : int {
  kExitFound = 0,  // matches found, the too-many case included
  kExitNothingFound = 1,
  kExitInputError = 2,  // a format or stock-list error
  kExitSaveFailed = 3,
  kExitUsage = 64,
};

struct SettingValue {
  int index;
  int32_t value;
};

struct CliCommand {
  std::optional<std::string> slotTexts[kSlotCount];  // UTF-8, as typed
  std::vector<SettingValue> settings;                // applied in this order
  std::optional<std::string> listFile;
  bool listNamed = false;  // --list given: --list-file then leaves the choice alone
  // --list E48, E96 or E192: the series, every `seriesStep`-th E192
  // mantissa, from rangeMin to rangeMax ohms, becomes List1.
  const char* seriesName = nullptr;
  int seriesStep = 0;
  double rangeMin = 10.0;
  double rangeMax = 1000000.0;
  std::string rangeText = "10..1M";
  bool rangeGiven = false;
  // The designer's options; `designGiven` when any of them is.
  DesignRequest design;
  bool designGiven = false;
  std::optional<std::string> settingsFile;
  bool save = false;
  OutputFormat format = OutputFormat::Text;
  bool help = false;
  bool version = false;
};

/// Parses the arguments (argv[0] is the program name). Returns false with a
/// one-line reason in `*error` for an unknown option, a missing or invalid
/// value, or options that contradict each other.
bool ParseCommandLine(int argc, const char* const* argv, CliCommand* command,
                      std::string* error);

/// The usage text, several lines, ending in a line feed.
std::string UsageText();

/// Applies the command's texts, list file or series and settings over
/// `state`, texts converted to code page 932. Returns false with the reason
/// in `*error` when the list file cannot be read or the series' range holds
/// no value or more than a list holds; the state is then unchanged.
bool ApplyCommand(const CliCommand& command, AppState* state, std::string* error);

}  // namespace tapsmith
