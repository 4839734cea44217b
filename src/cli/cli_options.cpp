#include "cli_options.h"

#include <CLI/CLI.hpp>

#include <cmath>
#include <iterator>
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

enum class Group { Window, Design, Output, SettingsFile };

const char* const kGroupHeadings[] = {
    "The window's fields and choices",
    "The designer's search",
    "Output",
    "Settings file",
};

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

// "a", "b" or "c", from any list of names.
template <typename Names>
std::string Alternatives(const Names& names) {
  std::string text;
  const size_t count = std::size(names);
  for (size_t n = 0; n < count; ++n) {
    if (n > 0) text += n + 1 == count ? " or " : ", ";
    text += names[n];
  }
  return text;
}

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
bool NoSuchChoice(std::span<const Choice> choices, const std::string& text, const char* what,
                  std::string* reason) {
  std::vector<std::string> names;
  for (const Choice& choice : choices) names.push_back(Quoted(choice.name));
  *reason = Quoted(text) + " is no " + what + ": " + Alternatives(names);
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

struct FormatName {
  const char* name;
  OutputFormat format;
};

const FormatName kFormatNames[] = {
    {"text", OutputFormat::Text}, {"csv", OutputFormat::Csv}, {"json", OutputFormat::Json}};

// --- Readers --------------------------------------------------------------------
// Each reads one option's text and applies it to the command; false with the
// reason when the text does not read.

using Apply = bool (*)(const std::string& text, CliCommand* command, std::string* reason);

template <int kSlot>
bool SetField(const std::string& text, CliCommand* command, std::string*) {
  command->slotTexts[kSlot] = text;
  return true;
}

template <int kSetting, int32_t kValue>
bool SetFlag(const std::string&, CliCommand* command, std::string*) {
  command->settings[kSetting] = kValue;
  return true;
}

bool ApplyConfiguration(const std::string& text, CliCommand* command, std::string* reason) {
  const NamedSetting* choice = FindChoice<NamedSetting>(kConfigurations, text);
  if (choice == nullptr) return NoSuchChoice<NamedSetting>(kConfigurations, text, "configuration", reason);
  command->settings[Configuration] = choice->value;
  return true;
}

bool ApplyLanguage(const std::string& text, CliCommand* command, std::string* reason) {
  const NamedSetting* choice = FindChoice<NamedSetting>(kLanguages, text);
  if (choice == nullptr) return NoSuchChoice<NamedSetting>(kLanguages, text, "language", reason);
  command->settings[Language] = choice->value;
  return true;
}

bool ApplyList(const std::string& text, CliCommand* command, std::string* reason) {
  const ListName* list = FindChoice<ListName>(kListNames, text);
  if (list == nullptr) return NoSuchChoice<ListName>(kListNames, text, "stock list", reason);
  command->settings[ListChoice] = list->listChoice;
  if (list->seriesStep > 0) {
    command->series.name = list->name;
    command->series.step = list->seriesStep;
  }
  return true;
}

bool ApplySort(const std::string& text, CliCommand* command, std::string* reason) {
  const SortName* sort = FindChoice<SortName>(kSortNames, text);
  if (sort == nullptr) return NoSuchChoice<SortName>(kSortNames, text, "order", reason);
  command->settings[SortByResistors] = sort->byResistors;
  command->settings[SortByPrecision] = sort->byPrecision;
  command->design.bestOrder = sort->bestOrder;
  return true;
}

bool ApplyRank(const std::string& text, CliCommand* command, std::string* reason) {
  const RankName* rank = FindChoice<RankName>(kRankNames, text);
  if (rank == nullptr) return NoSuchChoice<RankName>(kRankNames, text, "rank", reason);
  command->design.bestRank = rank->rank;
  if (rank->rank == BestRank::Yield) command->design.reportsYield = true;
  return true;
}

bool ApplyFormat(const std::string& text, CliCommand* command, std::string* reason) {
  const FormatName* format = FindChoice<FormatName>(kFormatNames, text);
  if (format == nullptr) return NoSuchChoice<FormatName>(kFormatNames, text, "format", reason);
  command->format = format->format;
  return true;
}

bool ApplyListFile(const std::string& text, CliCommand* command, std::string*) {
  command->listFile = text;
  return true;
}

bool ApplyValues(const std::string& text, CliCommand* command, std::string*) {
  command->values = text;
  return true;
}

// The examples and names of the quantities option texts hold.
struct QuantityName {
  Unit unit;
  const char* name;
  const char* examples;
};

const QuantityName kQuantityNames[] = {
    {Unit::Volts, "voltage", "0.8, 792mV or 0.8V"},
    {Unit::Ohms, "resistance", "10, 4.7k or 1M"},
    {Unit::Amperes, "current", "10u, 10uA or 0.5mA"},
    {Unit::Percent, "percentage", "1 or 1%"},
};

bool ReadAmount(const std::string& text, Unit unit, double* value, std::string* reason) {
  if (ReadQuantity(text.c_str(), unit, value)) return true;
  const QuantityName* quantity = &kQuantityNames[0];
  for (const QuantityName& candidate : kQuantityNames) {
    if (candidate.unit == unit) quantity = &candidate;
  }
  std::vector<std::string> letters;
  for (char letter : UnitLetterList(unit)) letters.push_back(Quoted(std::string(1, letter)));
  *reason = Quoted(text) + " is no " + quantity->name + ": a number, then " + Alternatives(letters) +
            " if you like, as in " + quantity->examples;
  return false;
}

bool ApplyTolerance(const std::string& text, CliCommand* command, std::string* reason) {
  double percent = 0.0;
  if (!ReadQuantity(text.c_str(), Unit::Percent, &percent) || !(percent >= 0.0 && percent < 100.0)) {
    *reason = Quoted(text) + " is no tolerance: a number from 0 to below 100, \"%\" optional";
    return false;
  }
  command->design.tolerancePercent = percent;
  command->design.reportsWorstCase = true;
  return true;
}

// A quantity the design request may hold: the reference's limits and the
// pin current's, which are corners of the worst case, and the typical pin
// current, which only moves every output.
enum class Corner { No, Yes };

template <Unit kUnit, std::optional<double> DesignRequest::*kField, Corner kCorner>
bool ApplyAmount(const std::string& text, CliCommand* command, std::string* reason) {
  double amount = 0.0;
  if (!ReadAmount(text, kUnit, &amount, reason)) return false;
  command->design.*kField = amount;
  if (kCorner == Corner::Yes) command->design.reportsWorstCase = true;
  return true;
}

bool ApplyWorstCase(const std::string&, CliCommand* command, std::string*) {
  command->design.worstCaseInWindow = command->design.reportsWorstCase = true;
  return true;
}

template <double DesignRequest::*kBound>
bool ApplyCurrentBound(const std::string& text, CliCommand* command, std::string* reason) {
  if (!ReadAmount(text, Unit::Amperes, &(command->design.*kBound), reason)) return false;
  command->design.reportsCurrent = true;
  return true;
}

bool ApplyYield(const std::string&, CliCommand* command, std::string*) {
  command->design.reportsYield = true;
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

bool ApplySigma(const std::string& text, CliCommand* command, std::string* reason) {
  double count = 0.0;
  if (!ReadPlainNumber(text, &count) || !(count > 0.0 && std::isfinite(count))) {
    *reason = Quoted(text) + " is no number of standard deviations: a number above 0, e.g. 3";
    return false;
  }
  command->design.sigmaCount = count;
  command->design.reportsYield = true;
  return true;
}

bool ApplyYieldMin(const std::string& text, CliCommand* command, std::string* reason) {
  double share = 0.0;
  const bool read = ReadQuantity(text.c_str(), Unit::Percent, &share);
  if (read && text.find('%') != std::string::npos) share = share / 100.0;
  if (!read || !(share > 0.0 && share <= 1.0)) {
    *reason = Quoted(text) + " is no yield: a fraction above 0 up to 1, or a percentage, e.g. 0.997 or 99.7%";
    return false;
  }
  command->design.yieldMin = share;
  command->design.reportsYield = true;
  return true;
}

bool ApplyBest(const std::string& text, CliCommand* command, std::string* reason) {
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

std::string OhmsText(double ohms) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", ohms);
  return text;
}

bool ReadRange(const std::string& text, SeriesList* series, std::string* reason) {
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
    *reason = Quoted(text) + " reaches beyond " + OhmsText(kSeriesLowest) + " to " +
              OhmsText(kSeriesHighest) + " ohm, where series values are made";
    return false;
  }
  series->minOhms = low;
  series->maxOhms = high;
  series->rangeText = text;
  return true;
}

bool ApplyRange(const std::string& text, CliCommand* command, std::string* reason) {
  return ReadRange(text, &command->series, reason);
}

bool ApplySettingsFile(const std::string& text, CliCommand* command, std::string*) {
  command->settingsFile = text;
  return true;
}

bool ApplySave(const std::string&, CliCommand* command, std::string*) {
  command->save = true;
  return true;
}

bool ApplyHelp(const std::string&, CliCommand* command, std::string*) {
  command->help = true;
  return true;
}

bool ApplyVersion(const std::string&, CliCommand* command, std::string*) {
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
};

const OptionRow kOptionRows[] = {
    {"--vo", Group::Window, "VOLTS", "Vo(min/typ): minimum or typical output voltage, e.g. 1.35 or 1350m",
     SetField<SlotVoMinTyp>},
    {"--vo2", Group::Window, "VOLTS|P%", "Vo(max/%): maximum output voltage, or a tolerance such as 0.01%",
     SetField<SlotVoMaxPercent>},
    {"--r1-min", Group::Window, "OHMS", "R1(min): smallest R1, e.g. 1k", SetField<SlotR1Min>},
    {"--r1-max", Group::Window, "OHMS", "R1(max): largest R1, e.g. 9.1k", SetField<SlotR1Max>},
    {"--vfb", Group::Window, "VOLTS", "Vfb: reference (feedback) voltage, e.g. 0.7", SetField<SlotVfb>},
    {"--digits", Group::Window, "N", "Just fit digit number: decimal places of the output, 0 = any",
     SetField<SlotDigits>},
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
    {"--sort", Group::Window, "ORDER", "order of the report: voltage, precision or resistors", ApplySort},
    {"--lang", Group::Window, "ja|en", "language of the status: ja or en", ApplyLanguage},

    {"--range", Group::Design, "MIN..MAX",
     "values of --list E48, E96 or E192, both ends included, e.g. 1k..100k (default "
     TAPSMITH_DEFAULT_RANGE ")",
     ApplyRange},
    {"--tolerance", Group::Design, "P%",
     "the resistors' tolerance in percent (0 to below 100): each match gets its worst case",
     ApplyTolerance},
    {"--vfb-min", Group::Design, "VOLTS", "the reference's lowest voltage, e.g. 792mV (default Vfb): worst case",
     ApplyAmount<Unit::Volts, &DesignRequest::vfbMin, Corner::Yes>},
    {"--vfb-max", Group::Design, "VOLTS", "the reference's highest voltage, e.g. 808mV (default Vfb): worst case",
     ApplyAmount<Unit::Volts, &DesignRequest::vfbMax, Corner::Yes>},
    {"--worst-case", Group::Design, nullptr,
     "keep only combinations whose whole worst case lies inside the window", ApplyWorstCase},
    {"--current-min", Group::Design, "AMPS", "least current through the divider, e.g. 10uA",
     ApplyCurrentBound<&DesignRequest::currentMin>},
    {"--current-max", Group::Design, "AMPS", "greatest current through the divider, e.g. 0.5mA",
     ApplyCurrentBound<&DesignRequest::currentMax>},
    {"--best", Group::Design, "N",
     "search to the end and show the N (1 to 1000) closest to the typical voltage, closest first "
     "unless --sort says voltage or resistors",
     ApplyBest},
    {"--rank", Group::Design, "closest|yield",
     "with --best: keep the N closest to the typical voltage (default), or those of the highest "
     "yield, ties to the closest",
     ApplyRank, nullptr, "--best"},
    {"--pin-current", Group::Design, "AMPS",
     "the current the feedback pin draws from the divider's middle node (negative: out of it), "
     "e.g. 50nA: every output counts it",
     ApplyAmount<Unit::Amperes, &DesignRequest::pinCurrent, Corner::No>},
    {"--pin-current-min", Group::Design, "AMPS",
     "the pin current's lowest value (default the typical): worst case",
     ApplyAmount<Unit::Amperes, &DesignRequest::pinCurrentMin, Corner::Yes>},
    {"--pin-current-max", Group::Design, "AMPS",
     "the pin current's highest value (default the typical): worst case",
     ApplyAmount<Unit::Amperes, &DesignRequest::pinCurrentMax, Corner::Yes>},
    {"--yield", Group::Design, nullptr,
     "give every match its yield: the share of boards inside the window, with the parts, the "
     "reference and the pin current normally distributed",
     ApplyYield},
    {"--sigma", Group::Design, "K", "the tolerances and limits as K standard deviations (default 3): yield",
     ApplySigma},
    {"--yield-min", Group::Design, "Y",
     "keep only combinations whose yield is at least Y, e.g. 0.997 or 99.7%", ApplyYieldMin},

    {"--format", Group::Output, "text|csv|json", "output: text (default), csv or json", ApplyFormat},
    {"--help", Group::Output, nullptr, "show this help and exit", ApplyHelp},
    {"--version", Group::Output, nullptr, "show the version and exit", ApplyVersion},

    {"--settings", Group::SettingsFile, "FILE",
     "start from this settings file (a missing file leaves the defaults)", ApplySettingsFile, nullptr,
     nullptr, true},
    {"--save", Group::SettingsFile, nullptr, "write the state back into the settings file after the search",
     ApplySave, nullptr, "--settings", true},
};

const OptionRow* FindRow(const std::string& name) {
  for (const OptionRow& row : kOptionRows) {
    if (name == row.name) return &row;
  }
  return nullptr;
}

// --- Parsing ----------------------------------------------------------------------

// The help shows each option with its value's name alone: what it excludes
// or needs is said by the error, not between an option and its text.
class HelpFormatter : public CLI::Formatter {
 public:
  std::string make_option_opts(const CLI::Option* option) const override {
    const OptionRow* row = FindRow(option->get_name());
    return row != nullptr && row->valueName != nullptr ? std::string(" ") + row->valueName : std::string();
  }
};

// One option of the parser per row, in table order. Values are collected
// however often an option is given, so that a repeat or a missing value is
// told in the console's own words.
std::vector<CLI::Option*> BuildParser(CLI::App* app) {
  app->set_help_flag();  // --help is a row of its own
  app->allow_windows_style_options(false);
  app->allow_extras(true);
  app->formatter(std::make_shared<HelpFormatter>());
  std::vector<CLI::Option*> options;
  for (const OptionRow& row : kOptionRows) {
    CLI::Option* option = row.valueName != nullptr
                              ? app->add_option(row.name, row.help)
                                    ->expected(0, 1)
                                    ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll)
                              : app->add_flag(row.name, row.help);
    option->group(kGroupHeadings[static_cast<int>(row.group)]);
    options.push_back(option);
  }
  for (const OptionRow& row : kOptionRows) {
    if (row.excludes != nullptr) app->get_option(row.name)->excludes(app->get_option(row.excludes));
    if (row.needs != nullptr) app->get_option(row.name)->needs(app->get_option(row.needs));
  }
  return options;
}

bool RunParser(CLI::App* app, int argc, const char* const* argv, std::string* error) {
  try {
    app->parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    *error = e.what();  // what excludes or needs what
    return false;
  }
  const std::vector<std::string> extras = app->remaining();
  if (extras.empty()) return true;
  const std::string& word = extras.front();
  *error = word.rfind('-', 0) == 0 ? "unknown option " + word
                                   : Quoted(word) + " follows no option that takes a value";
  return false;
}

// True when the option named `name` stands last or right before another
// option: it was given no value at all. An empty word after it ("") is a
// value, as an empty field is.
bool LacksValue(std::span<const char* const> args, const char* name) {
  for (size_t n = 1; n < args.size(); ++n) {
    if (std::string_view(args[n]) != name) continue;
    if (n + 1 == args.size()) return true;
    const std::string next = args[n + 1];
    if (FindRow(next.substr(0, next.find('='))) != nullptr) return true;
  }
  return false;
}

bool ApplyRow(const OptionRow& row, const CLI::Option& option, std::span<const char* const> args,
              bool hasFiles, CliCommand* command, std::string* error) {
  if (option.count() == 0) return true;
  const std::string name = row.name;
  if (row.usesFiles && !hasFiles) {
    *error = name + ": this run has no files to read or write (--values gives a list without one)";
    return false;
  }
  std::string text;
  if (row.valueName != nullptr) {
    const std::vector<std::string>& values = option.results();
    if (option.count() > 1) {
      *error = name + " is given more than once";
      return false;
    }
    if (values.empty() || LacksValue(args, row.name)) {
      *error = name + " needs a value: " + row.valueName;
      return false;
    }
    text = values.front();
    command->given[row.name] = text;
  }
  std::string reason;
  if (!row.apply(text, command, &reason)) {
    *error = name + ": " + reason;
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
     [](const DesignRequest& d) { return !(d.currentMin > d.currentMax); }},
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
std::string NamedLimit(const CliCommand& command, const char* name) {
  auto given = command.given.find(name);
  return std::string(name) + " " + (given != command.given.end() ? given->second : "0 (not given)");
}

std::string SeriesNames() {
  std::vector<std::string> names;
  for (const ListName& list : kListNames) {
    if (list.seriesStep > 0) names.push_back(list.name);
  }
  return Alternatives(names);
}

// The series over its range, which must hold a value and no more than a
// list holds beside DNM.
bool CheckSeries(const CliCommand& command, std::string* error) {
  const SeriesList& series = command.series;
  const std::string list = std::string("--list ") + (series.name != nullptr ? series.name : "");
  if (series.name == nullptr) {
    if (command.given.count("--range") == 0) return true;
    *error = "--range goes with --list " + SeriesNames();
    return false;
  }
  if (command.listFile || command.values) {
    *error = list + " and " + (command.listFile ? "--list-file" : "--values") +
             " both make List1: choose one";
    return false;
  }
  const int count = SeriesValues(series.step, series.minOhms, series.maxOhms, nullptr);
  if (count == 0) {
    *error = "--range " + series.rangeText + " holds no " + series.name + " value";
    return false;
  }
  if (count > kStockCapacity - 1) {
    *error = "--range " + series.rangeText + " holds " + std::to_string(count) + " " + series.name +
             " values; a list holds at most " + std::to_string(kStockCapacity - 1) + " beside DNM";
    return false;
  }
  return true;
}

bool CheckTogether(CliCommand* command, std::string* error) {
  for (const LimitPair& pair : kLimitPairs) {
    if (pair.inOrder(command->design)) continue;
    *error = NamedLimit(*command, pair.low) + " lies above " + NamedLimit(*command, pair.high);
    return false;
  }
  if (command->series.name != nullptr && command->given.count("--range") == 0) {
    std::string ignored;
    ReadRange(kDefaultRange, &command->series, &ignored);
  }
  return CheckSeries(*command, error);
}

}  // namespace

std::string UsageText() {
  CLI::App app(kDescription, kProgramName);
  BuildParser(&app);
  return app.help();
}

bool ParseCommandLine(int argc, const char* const* argv, bool hasFiles, CliCommand* command,
                      std::string* error) {
  CLI::App app(kDescription, kProgramName);
  const std::vector<CLI::Option*> options = BuildParser(&app);
  if (!RunParser(&app, argc, argv, error)) return false;
  *command = CliCommand();
  for (size_t r = 0; r < std::size(kOptionRows); ++r) {
    const std::span<const char* const> args(argv, static_cast<size_t>(argc));
    if (!ApplyRow(kOptionRows[r], *options[r], args, hasFiles, command, error)) return false;
  }
  return command->help || command->version || CheckTogether(command, error);
}

}  // namespace tapsmith
