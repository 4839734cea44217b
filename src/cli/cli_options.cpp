#include "cli_options.h"

#include <CLI/CLI.hpp>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>

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
    {"--list", "stock list: List1, List2, List3, E24, E12 or E6 (any case)", kLists, 6},
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
    const Choice* match = nullptr;
    for (int c = 0; c < option.choiceCount; ++c) {
      if (EqualsIgnoringCase(given, option.choices[c].name)) match = &option.choices[c];
    }
    if (match == nullptr) {
      *error = std::string(option.name) + ": invalid value \"" + given + "\"";
      return false;
    }
    command->settings.push_back(match->first);
    if (match->second.index >= 0) command->settings.push_back(match->second);
    if (option.choices == kLists) command->listNamed = true;
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
  return true;
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

}  // namespace

bool ApplyCommand(const CliCommand& command, AppState* state, std::string* error) {
  std::string list;
  if (command.listFile && !ReadListFile(*command.listFile, &list, error)) return false;
  for (int slot = 0; slot < kSlotCount; ++slot) {
    if (command.slotTexts[slot]) {
      SetSlotText(state, slot, Utf8ToCp932(*command.slotTexts[slot]).c_str());
    }
  }
  if (command.listFile) {
    SetSlotBytes(state, SlotList1, list.data(), list.size());
    if (!command.listNamed) SetSetting(state, ListChoice, 0);
  }
  for (const SettingValue& setting : command.settings) {
    SetSetting(state, setting.index, setting.value);
  }
  return true;
}

}  // namespace tapsmith
