#include "cli_options.h"

#include <CLI/CLI.hpp>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "e_series.h"
#include "search.h"
#include "text_encoding.h"

namespace tapsmith {

namespace {

// Options that set the text of a parameter field.
struct TextOption {
  const char* name;
  int slot;
  const char* help;
};

const TextOption kTextOptions[] = {
    {"--vo", SlotVoMinTyp, "Vo(min/typ): minimum or typical output voltage, e.g. 1.35 or 1350m"},
    {"--vo2", SlotVoMaxPercent, "Vo(max/%): maximum output voltage, or a tolerance such as 0.01%"},
    {"--r1-min", SlotR1Min, "R1(min): smallest R1, e.g. 1k"},
    {"--r1-max", SlotR1Max, "R1(max): largest R1, e.g. 9.1k"},
    {"--vfb", SlotVfb, "Vfb: reference (feedback) voltage, e.g. 0.7"},
    {"--digits", SlotDigits, "Just fit digit number: decimal places of the output, 0 = any"},
};

// A named value of a choice option and the settings it stands for.
struct Choice {
  const char* name;
  SettingValue first;
  SettingValue second;  // index -1: none
};

struct ChoiceOption {
  const char* name;
  const char* help;
  const Choice* choices;
  int choiceCount;
};

const Choice kConfigurations[] = {
    {"a", {Configuration, 0}, {-1, 0}},
    {"b", {Configuration, 1}, {-1, 0}},
    {"c", {Configuration, 2}, {-1, 0}},
    {"d", {Configuration, 3}, {-1, 0}},
};
const Choice kLists[] = {
    {"List1", {ListChoice, 0}, {-1, 0}}, {"List2", {ListChoice, 1}, {-1, 0}},
    {"List3", {ListChoice, 2}, {-1, 0}}, {"E24", {ListChoice, 3}, {-1, 0}},
    {"E12", {ListChoice, 4}, {-1, 0}},   {"E6", {ListChoice, 5}, {-1, 0}},
};
const Choice kSortOrders[] = {
    {"voltage", {SortByResistors, 0}, {SortByPrecision, 0}},
    {"precision", {SortByResistors, 0}, {SortByPrecision, 1}},
    {"resistors", {SortByResistors, 1}, {SortByPrecision, 0}},
};
const Choice kLanguages[] = {
    {"ja", {Language, 0}, {-1, 0}},
    {"en", {Language, 1}, {-1, 0}},
};

const ChoiceOption kChoiceOptions[] = {
    {"--config", "divider configuration: a Vo-R1-Vfb-(R2,R3)-GND, b Vo-(R2,R3)-Vfb-R1-GND, "
                 "c Vfb-R1-Vo-(R2,R3)-GND, d Vfb-(R2,R3)-Vo-R1-GND",
     kConfigurations, 4},
    {"--list", "stock list: List1, List2, List3, E24, E12 or E6 (any case); or E48, E96 or "
               "E192 over --range, built into List1 and chosen",
     kLists, 6},
    {"--sort", "order of the report: voltage, precision or resistors", kSortOrders, 3},
    {"--lang", "language of the status: ja or en", kLanguages, 2},
};

// Pairs of flags that switch one setting on and off.
struct FlagPair {
  const char* on;
  const char* off;
  int setting;
  const char* onHelp;
  const char* offHelp;
};

const FlagPair kFlagPairs[] = {
    {"--serial", "--parallel", SerialMode, "join R2 and R3 in series", "join R2 and R3 in parallel"},
    {"--dnm-only", "--no-dnm-only", R3DnmOnly, "R3=DNM only: leave R3 unfitted",
     "let R3 take every stock value"},
};

const char* const kFormats[] = {"text", "csv", "json"};

// The series --list builds into List1: every `step`-th E192 mantissa.
struct SeriesChoice {
  const char* name;
  int step;
};

const SeriesChoice kSeries[] = {
    {"E48", 4},
    {"E96", 2},
    {"E192", 1},
};

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

bool ReadTolerance(const std::string& text, CliCommand* command, std::string* reason) {
  double percent = 0.0;
  if (!ReadQuantity(text.c_str(), Unit::Percent, &percent) || !(percent >= 0.0 && percent < 100.0)) {
    *reason = Quoted(text) + " is no tolerance: a number from 0 to below 100, \"%\" optional";
    return false;
  }
  command->design.tolerancePercent = percent;
  command->design.reportsWorstCase = true;
  return true;
}

bool ReadVoltage(const std::string& text, double* volts, std::string* reason) {
  if (ReadQuantity(text.c_str(), Unit::Volts, volts)) return true;
  *reason = Quoted(text) + " is no voltage: a number, then at most \"m\", \"V\" or \"v\"";
  return false;
}

bool ReadVfbMin(const std::string& text, CliCommand* command, std::string* reason) {
  command->design.reportsWorstCase = true;
  double volts = 0.0;
  if (!ReadVoltage(text, &volts, reason)) return false;
  command->design.vfbMin = volts;
  return true;
}

bool ReadVfbMax(const std::string& text, CliCommand* command, std::string* reason) {
  command->design.reportsWorstCase = true;
  double volts = 0.0;
  if (!ReadVoltage(text, &volts, reason)) return false;
  command->design.vfbMax = volts;
  return true;
}

bool ReadCurrent(const std::string& text, double* amperes, std::string* reason) {
  if (ReadQuantity(text.c_str(), Unit::Amperes, amperes)) return true;
  *reason = Quoted(text) + " is no current: a number, then at most \"m\", \"u\", \"n\" or \"A\"";
  return false;
}

bool ReadCurrentMin(const std::string& text, CliCommand* command, std::string* reason) {
  command->design.reportsCurrent = true;
  return ReadCurrent(text, &command->design.currentMin, reason);
}

bool ReadCurrentMax(const std::string& text, CliCommand* command, std::string* reason) {
  command->design.reportsCurrent = true;
  return ReadCurrent(text, &command->design.currentMax, reason);
}

bool ReadBest(const std::string& text, CliCommand* command, std::string* reason) {
  int count = 0;
  bool digits = !text.empty() && text.size() <= 4;
  for (char c : text) {
    digits = digits && c >= '0' && c <= '9';
    if (digits) count = count * 10 + (c - '0');
  }
  if (!digits || count < 1 || count > kMatchCapacity) {
    *reason = Quoted(text) + " is no count from 1 to " + std::to_string(kMatchCapacity);
    return false;
  }
  command->design.bestCount = count;
  return true;
}

bool ReadRange(const std::string& text, CliCommand* command, std::string* reason) {
  const size_t dots = text.find("..");
  double low = 0.0, high = 0.0;
  if (dots == std::string::npos || !ReadQuantity(text.substr(0, dots).c_str(), Unit::Ohms, &low) ||
      !ReadQuantity(text.substr(dots + 2).c_str(), Unit::Ohms, &high)) {
    *reason = Quoted(text) + " is no range: MIN..MAX, each a resistance such as 10, 4.7k or 1M";
    return false;
  }
  if (low > high) {
    *reason = Quoted(text) + ": MIN lies above MAX";
    return false;
  }
  if (!(low >= kSeriesLowest && high <= kSeriesHighest)) {
    *reason = Quoted(text) + " reaches beyond 1m to 1000000M (1e12) ohm, where series values are made";
    return false;
  }
  command->rangeMin = low;
  command->rangeMax = high;
  command->rangeText = text;
  command->rangeGiven = true;
  return true;
}

// Options that take a value read by a reader of their own.
struct ValueOption {
  const char* name;
  const char* typeName;
  const char* help;
  bool (*read)(const std::string& text, CliCommand* command, std::string* reason);
  bool design;  // one of the designer's options
};

const ValueOption kValueOptions[] = {
    {"--range", "MIN..MAX",
     "values of --list E48, E96 or E192, both ends included, e.g. 1k..100k (default 10..1M)",
     ReadRange, false},
    {"--tolerance", "P%",
     "the resistors' tolerance in percent (0 to below 100): each match gets its worst case",
     ReadTolerance, true},
    {"--vfb-min", "TEXT", "the reference's lowest voltage, e.g. 0.792 (default Vfb): worst case",
     ReadVfbMin, true},
    {"--vfb-max", "TEXT", "the reference's highest voltage, e.g. 0.808 (default Vfb): worst case",
     ReadVfbMax, true},
    {"--current-min", "TEXT",
     "least current through the divider, in amperes with m, u, n or A, e.g. 10u", ReadCurrentMin,
     true},
    {"--current-max", "TEXT", "greatest current through the divider, e.g. 0.5m", ReadCurrentMax,
     true},
    {"--best", "N",
     "search to the end and show the N (1 to 1000) closest to the typical voltage, closest first "
     "unless --sort says voltage or resistors",
     ReadBest, true},
};
constexpr int kValueOptionCount = sizeof kValueOptions / sizeof kValueOptions[0];

const char kWorstCaseFlag[] = "--worst-case";

bool EqualsIgnoringCase(const std::string& a, const char* b) {
  if (a.size() != std::strlen(b)) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  }
  return true;
}

// Builds the parser; the values land in the given holders.
struct Holders {
  std::string texts[sizeof kTextOptions / sizeof kTextOptions[0]];
  std::string choices[sizeof kChoiceOptions / sizeof kChoiceOptions[0]];
  std::string values[kValueOptionCount];
  std::string listFile;
  std::string settingsFile;
  std::string format = "text";
};

void BuildParser(CLI::App* app, Holders* holders) {
  app->set_help_flag();  // --help is handled by the caller, without an exception
  app->allow_windows_style_options(false);
  int i = 0;
  for (const TextOption& option : kTextOptions) {
    app->add_option(option.name, holders->texts[i++], option.help)->type_name("TEXT");
  }
  i = 0;
  for (const ChoiceOption& option : kChoiceOptions) {
    app->add_option(option.name, holders->choices[i++], option.help)->type_name("NAME");
  }
  app->add_option("--list-file", holders->listFile,
                  "read List1 from this file (one value a line) and choose it unless --list says otherwise")
      ->type_name("PATH");
  for (const FlagPair& pair : kFlagPairs) {
    CLI::Option* on = app->add_flag(pair.on)->description(pair.onHelp);
    CLI::Option* off = app->add_flag(pair.off)->description(pair.offHelp);
    on->excludes(off);
  }
  i = 0;
  for (const ValueOption& option : kValueOptions) {
    app->add_option(option.name, holders->values[i++], option.help)->type_name(option.typeName);
  }
  app->add_flag(kWorstCaseFlag)
      ->description("keep only combinations whose whole worst case lies inside the window");
  app->add_option("--format", holders->format, "output: text (default), csv or json")
      ->type_name("FORMAT");
  CLI::Option* settings =
      app->add_option("--settings", holders->settingsFile,
                      "start from this settings file (a missing file leaves the defaults)")
          ->type_name("FILE");
  app->add_flag("--save")->description("write the state back into the settings file after the search")
      ->needs(settings);
  app->add_flag("--help")->description("show this help and exit");
  app->add_flag("--version")->description("show the version and exit");
}

}  // namespace

std::string UsageText() {
  CLI::App app("Searches resistor combinations for a regulator's feedback divider.",
               "tapsmith-cli");
  Holders holders;
  BuildParser(&app, &holders);
  return app.help();
}

namespace {

std::string Number(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", value);
  return text;
}

// The options that only together can be wrong.
bool CheckCombinations(const CliCommand& command, std::string* error) {
  const DesignRequest& design = command.design;
  if (command.seriesStep > 0 && command.listFile) {
    *error = std::string("--list ") + command.seriesName + " and --list-file both make List1: choose one";
    return false;
  }
  if (command.rangeGiven && command.seriesStep == 0) {
    *error = "--range goes with --list E48, E96 or E192";
    return false;
  }
  if (design.vfbMin && design.vfbMax && *design.vfbMin > *design.vfbMax) {
    *error = "--vfb-min " + Number(*design.vfbMin) + " V lies above --vfb-max " +
             Number(*design.vfbMax) + " V";
    return false;
  }
  if (design.currentMin > design.currentMax) {
    *error = "--current-min " + Number(design.currentMin) + " A lies above --current-max " +
             Number(design.currentMax) + " A";
    return false;
  }
  return true;
}

}  // namespace

bool ParseCommandLine(int argc, const char* const* argv, CliCommand* command,
                      std::string* error) {
  CLI::App app("", "tapsmith-cli");
  Holders holders;
  BuildParser(&app, &holders);
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    *error = e.what();
    return false;
  }
  *command = CliCommand();
  command->help = app.count("--help") > 0;
  command->version = app.count("--version") > 0;

  int i = 0;
  for (const TextOption& option : kTextOptions) {
    if (app.count(option.name) > 0) command->slotTexts[option.slot] = holders.texts[i];
    ++i;
  }
  i = 0;
  for (const ChoiceOption& option : kChoiceOptions) {
    const std::string& given = holders.choices[i++];
    if (app.count(option.name) == 0) continue;
    if (option.choices == kLists) {
      command->listNamed = true;
      for (const SeriesChoice& series : kSeries) {
        if (!EqualsIgnoringCase(given, series.name)) continue;
        command->seriesName = series.name;
        command->seriesStep = series.step;
      }
      if (command->seriesStep > 0) {
        command->settings.push_back({ListChoice, 0});
        continue;
      }
    }
    const Choice* match = nullptr;
    for (int c = 0; c < option.choiceCount; ++c) {
      if (EqualsIgnoringCase(given, option.choices[c].name)) match = &option.choices[c];
    }
    if (option.choices == kSortOrders && match != nullptr) {
      command->design.bestOrder = match == &kSortOrders[0]   ? BestOrder::Voltage
                                  : match == &kSortOrders[2] ? BestOrder::Resistors
                                                             : BestOrder::Closest;
    }
    if (match == nullptr) {
      *error = std::string(option.name) + ": invalid value \"" + given + "\"";
      return false;
    }
    command->settings.push_back(match->first);
    if (match->second.index >= 0) command->settings.push_back(match->second);
  }
  i = 0;
  for (const ValueOption& option : kValueOptions) {
    const std::string& given = holders.values[i++];
    if (app.count(option.name) == 0) continue;
    if (!option.read(given, command, error)) {
      *error = std::string(option.name) + ": " + *error;
      return false;
    }
    command->designGiven = command->designGiven || option.design;
  }
  if (app.count(kWorstCaseFlag) > 0) {
    command->design.worstCaseInWindow = command->design.reportsWorstCase = true;
    command->designGiven = true;
  }
  for (const FlagPair& pair : kFlagPairs) {
    if (app.count(pair.on) > 0) command->settings.push_back({pair.setting, 1});
    if (app.count(pair.off) > 0) command->settings.push_back({pair.setting, 0});
  }
  if (app.count("--list-file") > 0) command->listFile = holders.listFile;
  if (app.count("--settings") > 0) command->settingsFile = holders.settingsFile;
  command->save = app.count("--save") > 0;

  bool known = false;
  for (int f = 0; f < 3; ++f) {
    if (EqualsIgnoringCase(holders.format, kFormats[f])) {
      command->format = static_cast<OutputFormat>(f);
      known = true;
    }
  }
  if (!known) {
    *error = "--format: invalid value \"" + holders.format + "\"";
    return false;
  }
  return CheckCombinations(*command, error);
}

namespace {

// A list that reaches the slot's size in code page 932 never fits; reading
// stops past this many bytes, which no fitting list has (a UTF-8 character
// takes at most three bytes where code page 932 takes at least one).
constexpr size_t kListFileReadLimit = 3 * kSlotMaxLength + 3;

const char kUtf8ByteOrderMark[] = "\xEF\xBB\xBF";

// The file's lines with CR LF line breaks, as a list edit box holds them, in
// code page 932. A file that is no UTF-8 text (NUL bytes: UTF-16 or binary),
// or that is longer than a list can hold, is refused rather than read in part:
// a list cut short or read as garbage would give a plausible but wrong result.
bool ReadListFile(const std::string& path, std::string* list, std::string* error) {
  FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) {
    *error = "--list-file: cannot read " + path + ": " + std::strerror(errno);
    return false;
  }
  std::string raw(kListFileReadLimit + 1, '\0');
  size_t size = std::fread(raw.data(), 1, raw.size(), file);
  int readError = std::ferror(file) ? errno : 0;  // EISDIR for a directory
  std::fclose(file);
  if (readError != 0) {
    *error = "--list-file: cannot read " + path + ": " + std::strerror(readError);
    return false;
  }
  raw.resize(size);
  if (raw.find('\0') != std::string::npos) {
    *error = "--list-file: " + path + " holds NUL bytes: it is not UTF-8 text (UTF-16?)";
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
    *error = "--list-file: " + path + " is too long for a stock list: at most " +
             std::to_string(kSlotMaxLength) + " bytes with CR LF line ends";
    return false;
  }
  return true;
}

// The series over the command's range as a list text. A range with no
// value, or with more than a list holds beside DNM, is refused.
bool BuildSeries(const CliCommand& command, std::string* list, std::string* error) {
  const int count = SeriesValues(command.seriesStep, command.rangeMin, command.rangeMax, nullptr);
  if (count == 0) {
    *error = "--range " + command.rangeText + " holds no " + command.seriesName + " value";
    return false;
  }
  if (count > kStockCapacity - 1) {
    *error = "--range " + command.rangeText + " holds " + std::to_string(count) + " " +
             command.seriesName + " values; a list holds at most " +
             std::to_string(kStockCapacity - 1) + " beside DNM";
    return false;
  }
  SeriesValues(command.seriesStep, command.rangeMin, command.rangeMax, list);
  return true;
}

}  // namespace

bool ApplyCommand(const CliCommand& command, AppState* state, std::string* error) {
  std::string list;
  if (command.listFile && !ReadListFile(*command.listFile, &list, error)) return false;
  if (command.seriesStep > 0 && !BuildSeries(command, &list, error)) return false;
  for (int slot = 0; slot < kSlotCount; ++slot) {
    if (command.slotTexts[slot]) {
      SetSlotText(state, slot, Utf8ToCp932(*command.slotTexts[slot]).c_str());
    }
  }
  if (command.listFile || command.seriesStep > 0) {
    SetSlotBytes(state, SlotList1, list.data(), list.size());
    if (!command.listNamed) SetSetting(state, ListChoice, 0);
  }
  for (const SettingValue& setting : command.settings) {
    SetSetting(state, setting.index, setting.value);
  }
  return true;
}

}  // namespace tapsmith
