#include "cli_options.h"

#include <CLI/CLI.hpp>

#include <cmath>
#include <iterator>
#include <memory>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "e_series.h"
#include "search.h"

namespace tapsmith {

namespace {

const char kProgramName[] = "tapsmith-cli";
const char kDescription[] = "Searches resistor combinations for a regulator's feedback divider.";
// The values --list E48, E96 or E192 takes when --range is not given: a
// macro, so that the option table's help can hold it inside its literal.
#define TAPSMITH_DEFAULT_RANGE "10..1M"
const char kDefaultRange[] = TAPSMITH_DEFAULT_RANGE;

enum class Group { Window, Design, Board, Output, SettingsFile };

const char* const kGroupHeadings[] = {
    "The window's fields and choices",
    "The designer's search",
    "The board: every rail's divider at once",
    "Output",
    "Settings file",
};

// --- Choices ------------------------------------------------------------------

// Choices are told apart in ASCII alone, whatever the locale.
bool SameIgnoringAsciiCase(std::string_view a, std::string_view b) {
  auto fold = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (fold(a[i]) != fold(b[i])) return false;
  }
  return true;
}

template <typename Choice>
const Choice* FindChoice(std::span<const Choice> choices, const std::string& text) {
  for (const Choice& choice : choices) {
    if (SameIgnoringAsciiCase(text, choice.name)) return &choice;
  }
  return nullptr;
}

template <typename Choice>
bool NoSuchChoice(std::span<const Choice> choices, const std::string& text, Message kind, Localized* reason) {
  std::vector<Localized> names;
  for (const Choice& choice : choices) names.push_back(Quoted(choice.name));
  *reason = Fill(Message::NoChoice, {Quoted(text), Fill(kind), Listed(names)});
  return false;
}

struct NamedSetting {
  const char* name;
  int32_t value;
};

const NamedSetting kConfigurations[] = {{"a", 0}, {"b", 1}, {"c", 2}, {"d", 3}};
const NamedSetting kLanguages[] = {{"ja", 0}, {"en", 1}};

// The window's six lists, and the series --list builds into List1 (every
// `seriesStep`-th E192 mantissa).
struct ListName {
  const char* name;
  int32_t listChoice;
  int seriesStep;  // 0: one of the window's lists
};

const ListName kListNames[] = {
    {"List1", 0, 0}, {"List2", 1, 0}, {"List3", 2, 0}, {"E24", 3, 0},  {"E12", 4, 0},
    {"E6", 5, 0},    {"E48", 0, 4},   {"E96", 0, 2},   {"E192", 0, 1},
};

struct SortName {
  const char* name;
  int32_t byResistors;
  int32_t byPrecision;
  BestOrder bestOrder;  // of the best N
};

const SortName kSortNames[] = {
    {"voltage", 0, 0, BestOrder::Voltage},
    {"precision", 0, 1, BestOrder::Rank},
    {"resistors", 1, 0, BestOrder::Resistors},
};

struct RankName {
  const char* name;
  BestRank rank;
};

const RankName kRankNames[] = {{"closest", BestRank::Closest}, {"yield", BestRank::Yield}};

struct R4Name {
  const char* name;
  R4Mode mode;
};

const R4Name kR4Names[] = {{"parallel", R4Mode::Parallel}, {"series", R4Mode::Series}};

struct FormatName {
  const char* name;
  OutputFormat format;
};

const FormatName kFormatNames[] = {
    {"text", OutputFormat::Text}, {"csv", OutputFormat::Csv}, {"json", OutputFormat::Json}};

// --- Readers --------------------------------------------------------------------
// Each reads one option's text and applies it to the command; false with the
// reason when the text does not read.

struct OptionRow;
using Apply = bool (*)(const OptionRow& row, const std::string& text, CliCommand* command, Localized* reason);

bool SetField(const OptionRow& row, const std::string& text, CliCommand* command, Localized*);

template <int kSetting, int32_t kValue>
bool SetFlag(const OptionRow&, const std::string&, CliCommand* command, Localized*) {
  command->settings[kSetting] = kValue;
  return true;
}

bool ApplyConfiguration(const OptionRow&, const std::string& text, CliCommand* command, Localized* reason) {
  const NamedSetting* choice = FindChoice<NamedSetting>(kConfigurations, text);
  if (choice == nullptr) return NoSuchChoice<NamedSetting>(kConfigurations, text, Message::KindConfiguration, reason);
  command->settings[Configuration] = choice->value;
  return true;
}

bool ApplyLanguage(const OptionRow&, const std::string& text, CliCommand* command, Localized* reason) {
  const NamedSetting* choice = FindChoice<NamedSetting>(kLanguages, text);
  if (choice == nullptr) return NoSuchChoice<NamedSetting>(kLanguages, text, Message::KindLanguage, reason);
  command->settings[Language] = choice->value;
  return true;
}

bool ApplyList(const OptionRow&, const std::string& text, CliCommand* command, Localized* reason) {
  const ListName* list = FindChoice<ListName>(kListNames, text);
  if (list == nullptr) return NoSuchChoice<ListName>(kListNames, text, Message::KindStockList, reason);
  command->settings[ListChoice] = list->listChoice;
  if (list->seriesStep > 0) {
    command->series.name = list->name;
    command->series.step = list->seriesStep;
    command->listOption = "--list";
  }
  return true;
}

bool ApplySort(const OptionRow&, const std::string& text, CliCommand* command, Localized* reason) {
  const SortName* sort = FindChoice<SortName>(kSortNames, text);
  if (sort == nullptr) return NoSuchChoice<SortName>(kSortNames, text, Message::KindOrder, reason);
  command->settings[SortByResistors] = sort->byResistors;
  command->settings[SortByPrecision] = sort->byPrecision;
  command->design.bestOrder = sort->bestOrder;
  return true;
}

bool ApplyRank(const OptionRow&, const std::string& text, CliCommand* command, Localized* reason) {
  const RankName* rank = FindChoice<RankName>(kRankNames, text);
  if (rank == nullptr) return NoSuchChoice<RankName>(kRankNames, text, Message::KindRank, reason);
  command->design.bestRank = rank->rank;
  return true;
}

bool ApplyR4(const OptionRow&, const std::string& text, CliCommand* command, Localized* reason) {
  const R4Name* mode = FindChoice<R4Name>(kR4Names, text);
  if (mode == nullptr) return NoSuchChoice<R4Name>(kR4Names, text, Message::KindR4Connection, reason);
  command->r4 = mode->mode;
  return true;
}

bool ApplyFormat(const OptionRow&, const std::string& text, CliCommand* command, Localized* reason) {
  const FormatName* format = FindChoice<FormatName>(kFormatNames, text);
  if (format == nullptr) return NoSuchChoice<FormatName>(kFormatNames, text, Message::KindFormat, reason);
  command->format = format->format;
  return true;
}

bool ApplyListFile(const OptionRow&, const std::string& text, CliCommand* command, Localized*) {
  command->listFile = text;
  command->listOption = "--list-file";
  return true;
}

bool ApplyValues(const OptionRow&, const std::string& text, CliCommand* command, Localized*) {
  command->values = text;
  command->listOption = "--values";
  return true;
}

// The names and examples of the quantities option texts hold.
struct QuantityName {
  Unit unit;
  Message kind;
  const char* examples[3];
};

const QuantityName kQuantityNames[] = {
    {Unit::Volts, Message::KindVoltage, {"0.8", "792mV", "0.8V"}},
    {Unit::Ohms, Message::KindResistance, {"10", "4.7k", "1M"}},
    {Unit::Amperes, Message::KindCurrent, {"10u", "10uA", "0.5mA"}},
    {Unit::Percent, Message::KindPercentage, {"1", "1%", nullptr}},
};

bool ReadAmount(const std::string& text, Unit unit, double* value, Localized* reason) {
  if (ReadQuantity(text.c_str(), unit, value)) return true;
  const QuantityName* quantity = &kQuantityNames[0];
  for (const QuantityName& candidate : kQuantityNames) {
    if (candidate.unit == unit) quantity = &candidate;
  }
  std::vector<Localized> letters, examples;
  for (char letter : UnitLetterList(unit)) letters.push_back(Quoted(std::string(1, letter)));
  for (const char* example : quantity->examples) {
    if (example != nullptr) examples.emplace_back(example);
  }
  *reason = Fill(Message::NoQuantity, {Quoted(text), Fill(quantity->kind), Listed(letters), Listed(examples)});
  return false;
}

bool ApplyTolerance(const OptionRow&, const std::string& text, CliCommand* command, Localized* reason) {
  double percent = 0.0;
  if (!ReadQuantity(text.c_str(), Unit::Percent, &percent) || !(percent >= 0.0 && percent < 100.0)) {
    *reason = Fill(Message::NoTolerance, {Quoted(text)});
    return false;
  }
  command->design.tolerancePercent = percent;
  return true;
}

// A quantity of the design request: the reference's limits, the current's
// bounds, the pin current and its limits.
template <Unit kUnit, std::optional<double> DesignRequest::*kField>
bool ApplyAmount(const OptionRow&, const std::string& text, CliCommand* command, Localized* reason) {
  double amount = 0.0;
  if (!ReadAmount(text, kUnit, &amount, reason)) return false;
  command->design.*kField = amount;
  return true;
}

bool ApplyWorstCase(const OptionRow&, const std::string&, CliCommand* command, Localized*) {
  command->design.worstCaseInWindow = true;
  return true;
}

bool ApplyYield(const OptionRow&, const std::string&, CliCommand* command, Localized*) {
  command->design.yield = true;
  return true;
}

// A number alone: blanks may follow it, nothing else.
bool ReadPlainNumber(const std::string& text, double* value) {
  const char* end = text.c_str();
  *value = ReadNumber(text.c_str(), &end);
  if (end == text.c_str()) return false;
  while (*end == ' ') ++end;
  return *end == '\0';
}

bool ApplySigma(const OptionRow&, const std::string& text, CliCommand* command, Localized* reason) {
  double count = 0.0;
  if (!ReadPlainNumber(text, &count) || !(count > 0.0 && std::isfinite(count))) {
    *reason = Fill(Message::NoSigma, {Quoted(text)});
    return false;
  }
  command->design.sigmaCount = count;
  return true;
}

bool ApplyYieldMin(const OptionRow&, const std::string& text, CliCommand* command, Localized* reason) {
  double share = 0.0;
  const bool read = ReadQuantity(text.c_str(), Unit::Percent, &share);
  if (read && text.find('%') != std::string::npos) share = share / 100.0;
  if (!read || !(share > 0.0 && share <= 1.0)) {
    *reason = Fill(Message::NoYield, {Quoted(text)});
    return false;
  }
  command->design.yieldMin = share;
  return true;
}

bool ApplyBest(const OptionRow&, const std::string& text, CliCommand* command, Localized* reason) {
  int count = 0;
  bool digits = !text.empty() && text.size() <= 4;
  for (char c : text) {
    digits = digits && c >= '0' && c <= '9';
    if (digits) count = count * 10 + (c - '0');
  }
  if (!digits || count < 1 || count > kMatchCapacity) {
    *reason = Fill(Message::NoCount, {Quoted(text), std::to_string(kMatchCapacity)});
    return false;
  }
  command->design.bestCount = count;
  return true;
}

std::string OhmsText(double ohms) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", ohms);
  return text;
}

bool ReadRange(const std::string& text, SeriesList* series, Localized* reason) {
  const size_t dots = text.find("..");
  double low = 0.0, high = 0.0;
  if (dots == std::string::npos || !ReadQuantity(text.substr(0, dots).c_str(), Unit::Ohms, &low) ||
      !ReadQuantity(text.substr(dots + 2).c_str(), Unit::Ohms, &high)) {
    *reason = Fill(Message::NoRange, {Quoted(text)});
    return false;
  }
  if (low > high) {
    *reason = Fill(Message::RangeReversed, {Quoted(text)});
    return false;
  }
  if (!(low >= kSeriesLowest && high <= kSeriesHighest)) {
    *reason = Fill(Message::RangeBeyond, {Quoted(text), OhmsText(kSeriesLowest), OhmsText(kSeriesHighest)});
    return false;
  }
  series->minOhms = low;
  series->maxOhms = high;
  series->rangeText = text;
  return true;
}

bool ApplyRange(const OptionRow&, const std::string& text, CliCommand* command, Localized* reason) {
  return ReadRange(text, &command->series, reason);
}

bool ApplyBoard(const OptionRow&, const std::string& text, CliCommand* command, Localized*) {
  command->board.file = text;
  return true;
}

bool ApplyBoardText(const OptionRow&, const std::string& text, CliCommand* command, Localized*) {
  command->board.text = text;
  return true;
}

bool ApplyBom(const OptionRow&, const std::string& text, CliCommand* command, Localized*) {
  command->board.bom = text;
  return true;
}

bool ApplyBomFile(const OptionRow&, const std::string& text, CliCommand* command, Localized*) {
  command->board.bomFile = text;
  return true;
}

bool ApplyTimeLimit(const OptionRow&, const std::string& text, CliCommand* command, Localized* reason) {
  double seconds = 0.0;
  if (!ReadPlainNumber(text, &seconds) || !(seconds > 0.0 && std::isfinite(seconds))) {
    *reason = Fill(Message::NoTimeLimit, {Quoted(text)});
    return false;
  }
  command->board.timeLimit = seconds;
  return true;
}

bool ApplySettingsFile(const OptionRow&, const std::string& text, CliCommand* command, Localized*) {
  command->settingsFile = text;
  return true;
}

bool ApplySave(const OptionRow&, const std::string&, CliCommand* command, Localized*) {
  command->save = true;
  return true;
}

bool ApplyHelp(const OptionRow&, const std::string&, CliCommand* command, Localized*) {
  command->help = true;
  return true;
}

bool ApplyVersion(const OptionRow&, const std::string&, CliCommand* command, Localized*) {
  command->version = true;
  return true;
}

// --- The table --------------------------------------------------------------------

struct OptionRow {
  const char* name;
  Group group;
  const char* valueName;  // null: a flag
  const char* help;
  Apply apply;
  const char* excludes = nullptr;  // an option that cannot go with this one
  const char* needs = nullptr;     // an option this one cannot go without
  bool usesFiles = false;          // reads or writes a file
  int slot = -1;                   // the window's field it fills, a text slot
  // The whole run's, never a rail's: refused on a board's line, as are the
  // board's own options, the output's and the settings file's.
  bool ofRun = false;
};

// Whether a rail of a board may take the option on its own line.
bool BelongsToRail(const OptionRow& row) {
  return (row.group == Group::Window || row.group == Group::Design) && !row.ofRun;
}

bool SetField(const OptionRow& row, const std::string& text, CliCommand* command, Localized*) {
  command->slotTexts[row.slot] = text;
  return true;
}

const OptionRow kOptionRows[] = {
    {"--vo", Group::Window, "VOLTS", "Vo(min/typ): minimum or typical output voltage, e.g. 1.35 or 1350m",
     SetField, nullptr, nullptr, false, SlotVoMinTyp},
    {"--vo2", Group::Window, "VOLTS|P%", "Vo(max/%): maximum output voltage, or a tolerance such as 0.01%",
     SetField, nullptr, nullptr, false, SlotVoMaxPercent},
    {"--r1-min", Group::Window, "OHMS", "R1(min): smallest R1, e.g. 1k", SetField, nullptr, nullptr, false,
     SlotR1Min},
    {"--r1-max", Group::Window, "OHMS", "R1(max): largest R1, e.g. 9.1k", SetField, nullptr, nullptr, false,
     SlotR1Max},
    {"--vfb", Group::Window, "VOLTS", "Vfb: reference (feedback) voltage, e.g. 0.7", SetField, nullptr, nullptr,
     false, SlotVfb},
    {"--digits", Group::Window, "N", "Just fit digit number: decimal places of the output, 0 = any", SetField,
     nullptr, nullptr, false, SlotDigits},
    {"--config", Group::Window, "a|b|c|d",
     "divider configuration: a Vo-R1-Vfb-(R2,R3)-GND, b Vo-(R2,R3)-Vfb-R1-GND, "
     "c Vfb-R1-Vo-(R2,R3)-GND, d Vfb-(R2,R3)-Vo-R1-GND",
     ApplyConfiguration},
    {"--serial", Group::Window, nullptr, "join R2 and R3 in series", SetFlag<SerialMode, 1>, "--parallel"},
    {"--parallel", Group::Window, nullptr, "join R2 and R3 in parallel", SetFlag<SerialMode, 0>},
    {"--dnm-only", Group::Window, nullptr, "R3=DNM only: leave R3 unfitted", SetFlag<R3DnmOnly, 1>,
     "--no-dnm-only"},
    {"--no-dnm-only", Group::Window, nullptr, "let R3 take every stock value", SetFlag<R3DnmOnly, 0>},
    {"--list", Group::Window, "NAME",
     "stock list: List1, List2, List3, E24, E12 or E6 (any case); or E48, E96 or E192 over "
     "--range, built into List1 and chosen",
     ApplyList},
    {"--list-file", Group::Window, "FILE",
     "read List1 from this file (one value a line) and choose it unless --list says otherwise",
     ApplyListFile, "--values", nullptr, true},
    {"--values", Group::Window, "LIST",
     "List1 itself, chosen unless --list says otherwise: values separated by commas, blanks or line "
     "breaks, e.g. \"1k, 2.2k, 4.7k\"",
     ApplyValues},
    {"--sort", Group::Window, "ORDER", "order of the report: voltage, precision or resistors", ApplySort,
     nullptr, nullptr, false, -1, true},
    {"--lang", Group::Window, "ja|en", "language of the status and the messages: ja or en", ApplyLanguage,
     nullptr, nullptr, false, -1, true},

    {"--range", Group::Design, "MIN..MAX",
     "values of --list E48, E96 or E192, both ends included, e.g. 1k..100k (default "
     TAPSMITH_DEFAULT_RANGE ")",
     ApplyRange},
    {"--r4", Group::Design, "parallel|series",
     "a fourth resistor R4 beside R1: R1's leg is R1 // R4 or R1 + R4, R4 any entry of the list "
     "(DNM too), --r1-min and --r1-max bounding the leg",
     ApplyR4},
    {"--tolerance", Group::Design, "P%",
     "the resistors' tolerance in percent (0 to below 100): each match gets its worst case",
     ApplyTolerance},
    {"--vfb-min", Group::Design, "VOLTS", "the reference's lowest voltage, e.g. 792mV (default Vfb): worst case",
     ApplyAmount<Unit::Volts, &DesignRequest::vfbMin>},
    {"--vfb-max", Group::Design, "VOLTS", "the reference's highest voltage, e.g. 808mV (default Vfb): worst case",
     ApplyAmount<Unit::Volts, &DesignRequest::vfbMax>},
    {"--worst-case", Group::Design, nullptr,
     "keep only combinations whose whole worst case lies inside the window", ApplyWorstCase},
    {"--current-min", Group::Design, "AMPS", "least current through the divider, e.g. 10uA",
     ApplyAmount<Unit::Amperes, &DesignRequest::currentMin>},
    {"--current-max", Group::Design, "AMPS", "greatest current through the divider, e.g. 0.5mA",
     ApplyAmount<Unit::Amperes, &DesignRequest::currentMax>},
    {"--best", Group::Design, "N",
     "search to the end and show the N (1 to 1000) closest to the typical voltage, closest first "
     "unless --sort says voltage or resistors",
     ApplyBest, nullptr, nullptr, false, -1, true},
    {"--rank", Group::Design, "closest|yield",
     "with --best: keep the N closest to the typical voltage (default), or those of the highest "
     "yield, ties to the closest; with a board: make the least yield of a rail the highest",
     ApplyRank, nullptr, "--best --board --board-text", false, -1, true},
    {"--pin-current", Group::Design, "AMPS",
     "the current the feedback pin draws from the divider's middle node (negative: out of it), "
     "e.g. 50nA: every output counts it",
     ApplyAmount<Unit::Amperes, &DesignRequest::pinCurrent>},
    {"--pin-current-min", Group::Design, "AMPS",
     "the pin current's lowest value (default the typical): worst case",
     ApplyAmount<Unit::Amperes, &DesignRequest::pinCurrentMin>},
    {"--pin-current-max", Group::Design, "AMPS",
     "the pin current's highest value (default the typical): worst case",
     ApplyAmount<Unit::Amperes, &DesignRequest::pinCurrentMax>},
    {"--yield", Group::Design, nullptr,
     "give every match its yield: the share of boards inside the window, with the parts, the "
     "reference and the pin current normally distributed",
     ApplyYield},
    {"--sigma", Group::Design, "K", "the tolerances and limits as K standard deviations (default 3): yield",
     ApplySigma},
    {"--yield-min", Group::Design, "Y",
     "keep only combinations whose yield is at least Y, e.g. 0.997 or 99.7%", ApplyYieldMin},

    {"--board", Group::Board, "FILE",
     "choose every rail's divider at once, from the fewest values not on the BOM: one rail a line, "
     "NAME: OPTIONS, the options above; those given here apply to every rail, a rail's own override them",
     ApplyBoard, "--board-text", nullptr, true},
    {"--board-text", Group::Board, "TEXT", "the board file's text itself, in place of --board", ApplyBoardText},
    {"--bom", Group::Board, "LIST",
     "values already on the board, which cost nothing, written as --values writes a list", ApplyBom,
     "--bom-file", "--board --board-text"},
    {"--bom-file", Group::Board, "FILE", "read the BOM's values from this file (one value a line)",
     ApplyBomFile, nullptr, "--board --board-text", true},
    {"--time-limit", Group::Board, "SECONDS",
     "stop a search not yet proven optimal after so many seconds (default 60) and print the best found",
     ApplyTimeLimit, nullptr, "--board --board-text"},

    {"--format", Group::Output, "text|csv|json", "output: text (default), csv or json", ApplyFormat},
    {"--help", Group::Output, nullptr, "show this help and exit", ApplyHelp},
    {"--version", Group::Output, nullptr, "show the version and exit", ApplyVersion},

    {"--settings", Group::SettingsFile, "FILE",
     "start from this settings file (a missing file leaves the defaults)", ApplySettingsFile, nullptr,
     nullptr, true},
    {"--save", Group::SettingsFile, nullptr, "write the state back into the settings file after the search",
     ApplySave, nullptr, "--settings", true},
};
constexpr size_t kOptionCount = std::size(kOptionRows);

const OptionRow* FindRow(std::string_view name) {
  for (const OptionRow& row : kOptionRows) {
    if (name == row.name) return &row;
  }
  return nullptr;
}

// --- The help ---------------------------------------------------------------------

// The help shows each option with its value's name alone: what it excludes
// or needs is said by the error, not between an option and its text.
class HelpFormatter : public CLI::Formatter {
 public:
  std::string make_option_opts(const CLI::Option* option) const override {
    const OptionRow* row = FindRow(option->get_name());
    return row != nullptr && row->valueName != nullptr ? std::string(" ") + row->valueName : std::string();
  }
};

// --- Parsing ----------------------------------------------------------------------

// The words of the command line, each option's occurrences with their
// values: "--name VALUE" or "--name=VALUE". The word after an option that
// takes a value is its value whatever it looks like ("-.5u", ""), unless it
// is an option of the table itself: then the value is missing.
struct Occurrence {
  bool hasValue = false;
  std::string value;
};

struct ParsedWords {
  std::vector<Occurrence> occurrences[kOptionCount];
};

size_t RowIndex(const OptionRow* row) { return static_cast<size_t>(row - kOptionRows); }

// The option a word names, as "--name" or "--name=...".
const OptionRow* OptionOfWord(std::string_view word) {
  if (word.rfind("--", 0) != 0) return nullptr;
  return FindRow(word.substr(0, word.find('=')));
}

bool SplitWords(std::span<const char* const> words, ParsedWords* parsed, CliError* error) {
  for (size_t n = 0; n < words.size(); ++n) {
    const std::string_view word = words[n];
    const OptionRow* row = OptionOfWord(word);
    if (row == nullptr) {
      const bool option = word.size() > 1 && word[0] == '-';
      *error = {option ? Fill(Message::UnknownOption, {std::string(word)})
                       : Fill(Message::StrayWord, {Quoted(std::string(word))}),
                {}};
      return false;
    }
    Occurrence occurrence;
    const size_t equals = word.find('=');
    if (equals != std::string_view::npos) {
      occurrence = {true, std::string(word.substr(equals + 1))};
    } else if (row->valueName != nullptr && n + 1 < words.size() && OptionOfWord(words[n + 1]) == nullptr) {
      occurrence = {true, words[++n]};
    }
    parsed->occurrences[RowIndex(row)].push_back(std::move(occurrence));
  }
  return true;
}

bool ApplyRow(const OptionRow& row, const std::vector<Occurrence>& occurrences, bool hasFiles,
              CliCommand* command, CliError* error) {
  if (occurrences.empty()) return true;
  const std::string name = row.name;
  if (row.usesFiles && !hasFiles) {
    *error = {Fill(Message::NoFiles, {name}), {name}};
    return false;
  }
  std::string text;
  if (row.valueName != nullptr) {
    if (occurrences.size() > 1) {
      *error = {Fill(Message::GivenTwice, {name}), {name}};
      return false;
    }
    if (!occurrences.front().hasValue) {
      *error = {Fill(Message::NeedsValue, {name, std::string(row.valueName)}), {name}};
      return false;
    }
    text = occurrences.front().value;
    command->given[row.name] = text;
  } else if (occurrences.front().hasValue) {
    *error = {Fill(Message::TakesNoValue, {name}), {name}};
    return false;
  }
  Localized reason;
  if (!row.apply(row, text, command, &reason)) {
    *error = {Fill(Message::OptionReason, {name, reason}), {name}};
    return false;
  }
  return true;
}

// What one option excludes or needs, told once every option is read.
bool CheckCompanions(const ParsedWords& parsed, CliError* error) {
  auto given = [&](std::string_view name) { return !parsed.occurrences[RowIndex(FindRow(name))].empty(); };
  for (const OptionRow& row : kOptionRows) {
    if (parsed.occurrences[RowIndex(&row)].empty()) continue;
    if (row.excludes != nullptr && given(row.excludes)) {
      *error = {Fill(Message::Excludes, {row.name, row.excludes}), {row.name, row.excludes}};
      return false;
    }
    if (row.needs == nullptr) continue;
    // What it needs may be any of a few, written with blanks between.
    std::vector<std::string> needed;
    bool met = false;
    for (std::string_view rest = row.needs; !rest.empty();) {
      const std::string_view name = rest.substr(0, rest.find(' '));
      rest.remove_prefix(std::min(rest.size(), name.size() + 1));
      met = met || given(name);
      needed.emplace_back(name);
    }
    if (met) continue;
    std::vector<Localized> names(needed.begin(), needed.end());
    std::vector<std::string> options{row.name};
    options.insert(options.end(), needed.begin(), needed.end());
    *error = {Fill(Message::Requires, {row.name, Listed(names)}), options};
    return false;
  }
  return true;
}

// --- Options that only together can be wrong -----------------------------------

// Two limits of one quantity; the lower must not lie above the upper.
struct LimitPair {
  const char* low;
  const char* high;
  bool (*inOrder)(const DesignRequest& design);
};

// The pin current's typical value, 0 when not given.
double TypicalPinCurrent(const DesignRequest& d) { return d.pinCurrent.value_or(0.0); }

const LimitPair kLimitPairs[] = {
    {"--vfb-min", "--vfb-max",
     [](const DesignRequest& d) { return !(d.vfbMin && d.vfbMax && *d.vfbMin > *d.vfbMax); }},
    {"--current-min", "--current-max",
     [](const DesignRequest& d) { return !(d.currentMin && d.currentMax && *d.currentMin > *d.currentMax); }},
    {"--pin-current-min", "--pin-current-max",
     [](const DesignRequest& d) {
       return !(d.pinCurrentMin && d.pinCurrentMax && *d.pinCurrentMin > *d.pinCurrentMax);
     }},
    {"--pin-current-min", "--pin-current",
     [](const DesignRequest& d) { return !(d.pinCurrentMin && *d.pinCurrentMin > TypicalPinCurrent(d)); }},
    {"--pin-current", "--pin-current-max",
     [](const DesignRequest& d) { return !(d.pinCurrentMax && TypicalPinCurrent(d) > *d.pinCurrentMax); }},
};

// A limit as the user wrote it; the typical pin current, when not given, as
// the 0 it stands for.
Localized NamedLimit(const CliCommand& command, const char* name) {
  auto given = command.given.find(name);
  if (given != command.given.end()) return std::string(name) + " " + given->second;
  const Localized notGiven = Fill(Message::NotGiven, {"0"});
  return {std::string(name) + " " + notGiven.text[0], std::string(name) + " " + notGiven.text[1]};
}

std::vector<Localized> SeriesNames() {
  std::vector<Localized> names;
  for (const ListName& list : kListNames) {
    if (list.seriesStep > 0) names.emplace_back(list.name);
  }
  return names;
}

// The series over its range, which must hold a value.
bool CheckSeries(const CliCommand& command, CliError* error) {
  const SeriesList& series = command.series;
  if (series.name == nullptr) {
    if (command.given.count("--range") == 0) return true;
    *error = {Fill(Message::RangeWithoutSeries, {Listed(SeriesNames())}), {"--range", "--list"}};
    return false;
  }
  const std::string list = std::string("--list ") + series.name;
  if (command.listFile || command.values) {
    const char* other = command.listFile ? "--list-file" : "--values";
    *error = {Fill(Message::TwoListSources, {list, other}), {"--list", other}};
    return false;
  }
  const int count = SeriesValues(series.step, series.minOhms, series.maxOhms, nullptr);
  if (count == 0) {
    *error = {Fill(Message::RangeHoldsNone, {series.rangeText, series.name}), {"--range"}};
    return false;
  }
  return true;
}

// A board reads no settings file, and every rail searches to the end.
bool CheckBoard(const ParsedWords& parsed, CliError* error) {
  const char* board = !parsed.occurrences[RowIndex(FindRow("--board"))].empty()        ? "--board"
                      : !parsed.occurrences[RowIndex(FindRow("--board-text"))].empty() ? "--board-text"
                                                                                        : nullptr;
  if (board == nullptr) return true;
  for (const char* other : {"--settings", "--save", "--best", "--sort"}) {
    if (parsed.occurrences[RowIndex(FindRow(other))].empty()) continue;
    *error = {Fill(Message::Excludes, {board, other}), {board, other}};
    return false;
  }
  return true;
}

bool CheckTogether(CliCommand* command, CliError* error) {
  for (const LimitPair& pair : kLimitPairs) {
    if (pair.inOrder(command->design)) continue;
    *error = {Fill(Message::LimitAbove, {NamedLimit(*command, pair.low), NamedLimit(*command, pair.high)}),
              {pair.low, pair.high}};
    return false;
  }
  if (command->series.name != nullptr && command->given.count("--range") == 0) {
    Localized ignored;
    ReadRange(kDefaultRange, &command->series, &ignored);
  }
  return CheckSeries(*command, error);
}

}  // namespace

std::string UsageText() {
  CLI::App app(kDescription, kProgramName);
  app.set_help_flag();  // --help is a row of its own
  app.formatter(std::make_shared<HelpFormatter>());
  for (const OptionRow& row : kOptionRows) {
    CLI::Option* option = row.valueName != nullptr ? app.add_option(row.name, row.help) : app.add_flag(row.name, row.help);
    option->group(kGroupHeadings[static_cast<int>(row.group)]);
  }
  return app.help();
}

namespace {

bool ApplyWords(const ParsedWords& parsed, bool hasFiles, CliCommand* command, CliError* error) {
  *command = CliCommand();
  for (size_t r = 0; r < kOptionCount; ++r) {
    if (!ApplyRow(kOptionRows[r], parsed.occurrences[r], hasFiles, command, error)) return false;
  }
  if (command->help || command->version) return true;
  return CheckCompanions(parsed, error) && CheckBoard(parsed, error) && CheckTogether(command, error);
}

std::span<const char* const> ArgumentWords(int argc, const char* const* argv) {
  return {argv + 1, argc > 0 ? static_cast<size_t>(argc - 1) : 0};
}

// The options of a rail's line that replace others of the command line
// beside themselves: a choice and its opposite, a list and its sources.
struct Replacement {
  const char* option;
  const char* replaced[3];
};

const Replacement kReplacements[] = {
    {"--serial", {"--parallel"}},
    {"--parallel", {"--serial"}},
    {"--dnm-only", {"--no-dnm-only"}},
    {"--no-dnm-only", {"--dnm-only"}},
    {"--list", {"--list-file", "--values", "--range"}},
    {"--list-file", {"--list", "--values", "--range"}},
    {"--values", {"--list", "--list-file", "--range"}},
};

}  // namespace

bool ParseCommandLine(int argc, const char* const* argv, bool hasFiles, CliCommand* command, CliError* error) {
  *command = CliCommand();
  auto parsed = std::make_unique<ParsedWords>();
  if (!SplitWords(ArgumentWords(argc, argv), parsed.get(), error)) return false;
  return ApplyWords(*parsed, hasFiles, command, error);
}

bool ParseRailCommand(int argc, const char* const* argv, const std::vector<std::string>& railWords, bool hasFiles,
                      CliCommand* command, CliError* error) {
  std::vector<const char*> words;
  for (const std::string& word : railWords) words.push_back(word.c_str());
  auto rail = std::make_unique<ParsedWords>();
  auto run = std::make_unique<ParsedWords>();
  if (!SplitWords(words, rail.get(), error)) return false;
  for (const OptionRow& row : kOptionRows) {
    if (rail->occurrences[RowIndex(&row)].empty() || BelongsToRail(row)) continue;
    *error = {Fill(Message::NotOfRail, {row.name}), {row.name}};
    return false;
  }
  if (!SplitWords(ArgumentWords(argc, argv), run.get(), error)) return false;
  for (const Replacement& replacement : kReplacements) {
    if (rail->occurrences[RowIndex(FindRow(replacement.option))].empty()) continue;
    for (const char* replaced : replacement.replaced) {
      if (replaced != nullptr) run->occurrences[RowIndex(FindRow(replaced))].clear();
    }
  }
  // The rail's own options in place of the run's; of the run's own, only
  // its language, which every rail speaks.
  for (const OptionRow& row : kOptionRows) {
    std::vector<Occurrence>& taken = run->occurrences[RowIndex(&row)];
    const std::vector<Occurrence>& own = rail->occurrences[RowIndex(&row)];
    if (!own.empty()) {
      taken = own;
    } else if (!BelongsToRail(row) && std::string_view(row.name) != "--lang") {
      taken.clear();
    }
  }
  return ApplyWords(*run, hasFiles, command, error);
}

std::optional<int32_t> LanguageOfArguments(int argc, const char* const* argv) {
  std::optional<int32_t> language;
  for (int n = 1; n < argc; ++n) {
    std::string_view word = argv[n];
    std::string text;
    if (word.rfind("--lang=", 0) == 0) {
      text = word.substr(7);
    } else if (word == "--lang" && n + 1 < argc) {
      text = argv[++n];
    } else {
      continue;
    }
    if (const NamedSetting* choice = FindChoice<NamedSetting>(kLanguages, text)) language = choice->value;
  }
  return language;
}

const char* OptionOfSlot(int slot) {
  for (const OptionRow& row : kOptionRows) {
    if (row.slot == slot) return row.name;
  }
  return nullptr;
}

}  // namespace tapsmith
