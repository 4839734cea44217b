#include "cli_answer.h"

#include <nlohmann/json.hpp>

#include <cmath>
#include <cstdio>
#include <memory>

#include "cli_options.h"
#include "message_table.h"
#include "text_encoding.h"

namespace tapsmith {

namespace {

using Json = nlohmann::ordered_json;

const char* const kConfigurationNames[] = {"a", "b", "c", "d"};

std::string Fixed(double value, int decimals) {
  char buffer[kLineBufferSize];
  FormatFixed(value, decimals, buffer, sizeof buffer);
  return buffer;
}

// A number as a field would be typed back: twelve significant digits, no
// trailing zeros ("3.201" for 3.3 V less 3 %).
std::string FieldNumber(double value) {
  char text[40];
  std::snprintf(text, sizeof text, "%.12g", value);
  return text;
}

// Volts as a note writes them: six decimals at most, three at least.
std::string Volts(double volts) {
  std::string text = Fixed(volts, 6);
  const size_t point = text.find('.');
  while (point != std::string::npos && text.size() > point + 4 && text.back() == '0') text.pop_back();
  return text;
}

// Ohms as a list writes them: "910", "4.7k", "1M".
std::string Ohms(double ohms) {
  const double magnitude = std::fabs(ohms);
  const char* prefix = magnitude >= 1e6 ? "M" : magnitude >= 1e3 ? "k" : "";
  const double scale = magnitude >= 1e6 ? 1e6 : magnitude >= 1e3 ? 1e3 : 1.0;
  char text[40];
  std::snprintf(text, sizeof text, "%.6g%s", ohms / scale, prefix);
  return text;
}

Json Note(Message message, std::initializer_list<Localized> args, int language,
          std::vector<std::string> options = {}) {
  Json note;
  note["message"] = Fill(message, args).In(language);
  note["options"] = options;
  return note;
}

// The design request's filters, each applied after the window: which of
// them leaves none of what lies in it.
struct Filter {
  bool (*applies)(const DesignRequest& design, const SearchRequest& request);
  void (*drop)(DesignRequest* design, AppState* state);
  std::vector<std::string> (*options)(const DesignRequest& design);
};

const Filter kFilters[] = {
    {[](const DesignRequest& d, const SearchRequest&) { return d.worstCaseInWindow; },
     [](DesignRequest* d, AppState*) { d->worstCaseInWindow = false; },
     [](const DesignRequest&) { return std::vector<std::string>{"--worst-case"}; }},
    {[](const DesignRequest& d, const SearchRequest&) { return d.currentMin || d.currentMax; },
     [](DesignRequest* d, AppState*) { d->currentMin = d->currentMax = std::nullopt; },
     [](const DesignRequest& d) {
       std::vector<std::string> options;
       if (d.currentMin) options.push_back("--current-min");
       if (d.currentMax) options.push_back("--current-max");
       return options;
     }},
    {[](const DesignRequest& d, const SearchRequest&) { return d.yieldMin.has_value(); },
     [](DesignRequest* d, AppState*) { d->yieldMin = std::nullopt; },
     [](const DesignRequest&) { return std::vector<std::string>{"--yield-min"}; }},
    {[](const DesignRequest&, const SearchRequest& r) { return r.DigitCount != 0; },
     [](DesignRequest*, AppState* state) { SetSlotText(state, SlotDigits, "0"); },
     [](const DesignRequest&) { return std::vector<std::string>{"--digits"}; }},
};
constexpr size_t kFilterCount = std::size(kFilters);

// How many combinations of the run's search pass with only the filters of
// `kept` (a mask over kFilters), all of them counted, as a best-N search
// counts.
int64_t QualifyingWith(const ConsoleRun& run, const ConsoleWorkspace& workspace, unsigned kept) {
  auto scratch = std::make_unique<ConsoleWorkspace>();
  scratch->state = workspace.state;
  DesignRequest design = run.command.design;
  for (size_t f = 0; f < kFilterCount; ++f) {
    if (!(kept & (1u << f))) kFilters[f].drop(&design, &scratch->state);
  }
  design.bestCount = 1;
  return Execute(&scratch->state, &scratch->search, ExecuteOptionsOf(run.command, &design)).qualified;
}

// When nothing qualified though the window holds combinations: the filter
// that alone leaves none of them, or all the filters together.
void AddFilterNotes(const ConsoleRun& run, const ConsoleWorkspace& workspace, Json* notes) {
  const DesignRequest& design = run.command.design;
  std::vector<size_t> present;
  for (size_t f = 0; f < kFilterCount; ++f) {
    if (kFilters[f].applies(design, workspace.search.request)) present.push_back(f);
  }
  if (present.empty()) return;
  const int64_t inWindow = QualifyingWith(run, workspace, 0);
  if (inWindow == 0) return;
  const std::string count = std::to_string(inWindow);
  std::vector<std::string> every;
  std::vector<Localized> everyName;
  bool alone = false;
  for (size_t f : present) {
    const std::vector<std::string> options = kFilters[f].options(design);
    every.insert(every.end(), options.begin(), options.end());
    everyName.insert(everyName.end(), options.begin(), options.end());
    if (QualifyingWith(run, workspace, 1u << f) != 0) continue;
    const std::vector<Localized> names(options.begin(), options.end());
    notes->push_back(Note(Message::NoteFilterLeavesNone, {count, Listed(names)}, run.language, options));
    alone = true;
  }
  if (!alone) {
    notes->push_back(Note(Message::NoteFiltersTogether, {count, Listed(everyName, Message::ListLastAnd)},
                          run.language, every));
  }
}

// Why the search found what it found: fields that read as 0 always, and
// when nothing qualified the window searched and what rules it out.
Json Notes(const ConsoleRun& run, const ConsoleWorkspace& workspace) {
  Json notes = Json::array();
  const FieldReadings& read = workspace.search.readings;
  const int language = run.language;
  struct EmptyField {
    int slot;
    const char* unit;
    const char* option;
  };
  static const EmptyField kFields[] = {
      {SlotVoMinTyp, "V", "--vo"}, {SlotVoMaxPercent, "V", "--vo2"}, {SlotR1Min, "\xCE\xA9", "--r1-min"},
      {SlotR1Max, "\xCE\xA9", "--r1-max"}, {SlotVfb, "V", "--vfb"}};
  for (const EmptyField& field : kFields) {
    if (read.empty[field.slot]) notes.push_back(Note(Message::NoteEmptyField, {field.unit}, language, {field.option}));
  }
  if (run.result.outcome != ExecuteOutcome::NothingFound) return notes;

  if (read.reversed) {
    notes.push_back(Note(Message::NoteWindowReversed, {Volts(read.least), Volts(read.maximumAsRead)}, language,
                         {"--vo", "--vo2"}));
  } else {
    notes.push_back(Note(Message::NoteSearched, {Volts(read.least), Volts(read.greatest)}, language));
  }
  const SearchRequest& request = workspace.search.request;
  const StockTable& stock = workspace.search.stock;
  int r1Values = 0;
  for (int i = 0; i < stock.count - 1; ++i) {
    if (request.R1min <= stock.entries[i].value && stock.entries[i].value <= request.R1max) ++r1Values;
  }
  if (r1Values == 0) {
    notes.push_back(Note(Message::NoteR1RangeEmpty, {Ohms(read.r1Least), Ohms(read.r1Greatest)}, language,
                         {"--r1-min", "--r1-max"}));
  }
  // Without a pin current [a] and [b] give at least Vfb, [c] and [d] at most.
  const int configuration = ConfigurationInUse(workspace.state);
  const double vfb = request.Vfb;
  if (run.command.design.pinCurrent.value_or(0.0) == 0.0 && vfb > 0.0) {
    const Localized name = std::string("[") + kConfigurationNames[configuration] + "]";
    if (configuration >= 2 && read.least > vfb) {
      notes.push_back(Note(Message::NoteBelowVfb, {name, Volts(vfb)}, language, {"--config", "--vfb"}));
    }
    if (configuration <= 1 && read.greatest < vfb) {
      notes.push_back(Note(Message::NoteAboveVfb, {name, Volts(vfb)}, language, {"--config", "--vfb"}));
    }
  }
  AddFilterNotes(run, workspace, &notes);
  return notes;
}

Json Window(const ConsoleWorkspace& workspace) {
  const FieldReadings& read = workspace.search.readings;
  const SearchRequest& request = workspace.search.request;
  Json window;
  window["least"] = request.Vmin;  // widened, as the search tests it
  window["greatest"] = request.Vmax;
  window["typical"] = request.Vtyp;
  // The fields of either form of the window, as they would be typed.
  window["least_text"] = FieldNumber(read.least);
  window["greatest_text"] = FieldNumber(read.greatest);
  window["typical_text"] = FieldNumber(read.typical);
  window["tolerance_text"] =
      read.typical != 0.0 ? FieldNumber((read.greatest - read.typical) / read.typical * 100.0) : std::string();
  return window;
}

Json MatchOf(const MatchRecord& match, const StockTable& stock, const PrintedMatches& printed, double pinCurrent) {
  Json row;
  std::string id;
  for (int16_t entry : match.entry) id += (id.empty() ? "" : ".") + std::to_string(entry);
  row["id"] = id;
  row["r1"] = Cp932ToUtf8(match.r1);
  row["r2"] = Cp932ToUtf8(match.r2);
  row["r3"] = Cp932ToUtf8(match.r3);
  row["connection"] = match.serial ? "series" : "parallel";
  const bool hasR4 = match.r4Mode != R4Mode::None;
  row["r4"] = hasR4 ? Json(Cp932ToUtf8(match.r4)) : Json(nullptr);
  row["r4_connection"] = hasR4 ? Json(match.r4Mode == R4Mode::Series ? "series" : "parallel") : Json(nullptr);
  // The values as numbers, for sorting; null for an open position (DNM) and
  // for R1 standing alone.
  auto ohms = [&](int entry) {
    if (entry < 0 || stock.entries[entry].conductance == 0.0) return Json(nullptr);
    return Json(stock.entries[entry].value);
  };
  row["r1_ohms"] = ohms(match.entry[0]);
  row["r4_ohms"] = hasR4 ? ohms(match.entry[1]) : Json(nullptr);
  row["r2_ohms"] = ohms(match.entry[2]);
  row["r3_ohms"] = ohms(match.entry[3]);
  row["vout"] = match.vout;
  row["deviation_percent"] = printed.hasTypical ? Json(match.deviation) : Json(nullptr);
  Json texts;
  texts["vout"] = Fixed(match.vout, 6);
  texts["deviation_percent"] = printed.hasTypical ? Fixed(match.deviation, 3) : std::string();
  if (printed.ShowsWorstCase()) {
    row["vout_min"] = match.least;
    row["vout_max"] = match.greatest;
    texts["vout_min"] = Fixed(match.least, 6);
    texts["vout_max"] = Fixed(match.greatest, 6);
  }
  // The leg to ground carries the current; the other leg the pin's as well.
  const double upper = match.dividerCurrent + pinCurrent;
  row["current_a"] = match.dividerCurrent;
  row["current_upper_a"] = upper;
  texts["current_a"] = AmperesText(match.dividerCurrent, CurrentStyle::Page);
  texts["current_upper_a"] = AmperesText(upper, CurrentStyle::Page);
  if (printed.ShowsYield()) {
    row["yield"] = match.yield;
    texts["yield"] = Fixed(match.yield * 100.0, 4);
  }
  row["texts"] = texts;
  return row;
}

Json Matches(const ConsoleRun& run, const ConsoleWorkspace& workspace) {
  Json matches = Json::array();
  const PrintedMatches printed = PrintedMatchesOf(run, workspace.search, workspace.state);
  const double pin = run.command.design.pinCurrent.value_or(0.0);
  for (int m = 0; m < run.result.shown; ++m) {
    matches.push_back(MatchOf(workspace.search.matches.records[m], workspace.search.stock, printed, pin));
  }
  return matches;
}

Json Error(const ConsoleRun& run) {
  if (!run.error) return nullptr;
  Json error;
  error["kind"] = run.exit == kExitUsage ? "usage" : run.exit == kExitSaveFailed ? "save" : "input";
  error["message"] = run.error->reason;
  error["options"] = run.error->options;
  error["line"] = run.error->line > 0 ? Json(run.error->line) : Json(nullptr);
  return error;
}

// A board's rails with the divider each was given, and what they use.
Json Board(const BoardResult& board) {
  Json answer;
  answer["rails"] = Json::array();
  const char* const kR4Names[] = {nullptr, "parallel", "series"};
  for (size_t r = 0; r < board.rails.size(); ++r) {
    const ChosenRail& rail = board.rails[r];
    const PrintedMatches printed = board.PrintedOf(r, rail.reports);
    Json row;
    row["name"] = rail.name;
    row["line"] = rail.line;
    row["configuration"] = kConfigurationNames[rail.configuration];
    const char* r4 = kR4Names[static_cast<int>(rail.r4)];
    row["r4"] = r4 != nullptr ? Json(r4) : Json(nullptr);
    row["reports"] = {{"worst_case", rail.reports.worstCase}, {"current", rail.reports.current},
                      {"yield", rail.reports.yield}};
    row["match"] = board.solved ? MatchOf(rail.match, *rail.stock, printed, rail.pinCurrent) : Json(nullptr);
    row["text"] = board.solved ? Json(rail.name + ": " + MatchLine(printed, rail.match)) : Json(nullptr);
    answer["rails"].push_back(row);
  }
  answer["new_values"] = board.newValues;
  answer["bom_values_used"] = board.bomValuesUsed;
  answer["resistors"] = board.resistors;
  answer["proven"] = board.proven;
  answer["bound"] = board.bound;
  answer["unsolvable"] = board.unsolvable;
  return answer;
}

Json Answer(const ConsoleRun& run, const ConsoleWorkspace& workspace, const AnswerRequest& request) {
  Json answer;
  answer["exit"] = run.exit;
  answer["language"] = run.language == 1 ? "en" : "ja";
  const bool searched = run.searched && run.result.outcome != ExecuteOutcome::InputError;
  std::string status = run.board      ? run.board->status
                       : run.searched ? StatusAsText(workspace.state, run.result)
                       : run.error    ? run.error->reason
                                      : "";
  answer["status"] = status;
  answer["error"] = Error(run);
  answer["hint"] = run.exit == kExitUsage ? Json(MessageUtf8(Message::UsageHint, run.language)) : Json(nullptr);
  const char* const kR4Names[] = {nullptr, "parallel", "series"};
  const char* r4 = kR4Names[static_cast<int>(run.command.r4)];
  answer["r4"] = r4 != nullptr ? Json(r4) : Json(nullptr);
  answer["configuration"] = run.searched ? Json(kConfigurationNames[ConfigurationInUse(workspace.state)]) : Json(nullptr);
  if (searched) {
    const FieldReadings& read = workspace.search.readings;
    answer["window"] = Window(workspace);
    answer["r1"] = {{"least", read.r1Least}, {"greatest", read.r1Greatest}};
    answer["notes"] = Notes(run, workspace);
    const DesignReports reports = PrintedMatchesOf(run, workspace.search, workspace.state).reports;
    answer["reports"] = {{"worst_case", reports.worstCase}, {"current", reports.current}, {"yield", reports.yield}};
    answer["count"] = run.result.qualified;
    answer["too_many"] = run.result.outcome == ExecuteOutcome::TooMany;
    answer["best"] = run.result.bestSearch;
    answer["matches"] = Matches(run, workspace);
  } else {
    answer["window"] = nullptr;
    answer["r1"] = nullptr;
    answer["notes"] = Json::array();
    answer["matches"] = Json::array();
  }
  answer["board"] = run.board ? Board(*run.board) : Json(nullptr);
  const bool renders = run.searched || run.board;
  const bool printsItself = run.command.help || run.command.version;  // the help or the version
  const std::pair<const char*, OutputFormat> renderings[] = {
      {"text", OutputFormat::Text}, {"csv", OutputFormat::Csv}, {"json", OutputFormat::Json}};
  const bool asked[] = {request.text, request.csv, request.json};
  for (int r = 0; r < 3; ++r) {
    if (!asked[r]) continue;
    answer[renderings[r].first] = renders        ? Json(RenderingOf(run, workspace, renderings[r].second))
                                  : printsItself ? Json(run.out)
                                                 : Json(nullptr);
  }
  return answer;
}

void AskForTheWholeSpace(CliCommand* command) { command->design.bestCount = kMatchCapacity; }

}  // namespace

std::string ConsoleAnswer(const std::vector<std::string>& args, const AnswerRequest& request, FileSystem* files,
                          ConsoleWorkspace* workspace) {
  auto run = std::make_unique<ConsoleRun>();
  std::vector<const char*> argv{"tapsmith-cli"};
  for (const std::string& arg : args) argv.push_back(arg.c_str());
  const int argc = static_cast<int>(argv.size());
  // A C string ends at its first NUL: such an argument would be read cut.
  size_t cut = 0;
  while (cut < args.size() && args[cut].find('\0') == std::string::npos) ++cut;
  if (cut < args.size()) {
    *run = ConsoleRun();
    run->language = LanguageOfArguments(argc, argv.data()).value_or(0);
    const std::string word = args[cut].substr(0, args[cut].find('\0'));
    StopRun(run.get(), kExitUsage, {Fill(Message::ArgumentHoldsNul, {Fill(Message::Quoted, {word})}), {}});
  } else {
    RunConsole(argc, argv.data(), files, workspace, run.get(), request.space ? AskForTheWholeSpace : nullptr);
  }
  // The names went through the code-page conversion and are valid UTF-8;
  // replacing keeps a stray byte from ever throwing.
  return Answer(*run, *workspace, request).dump(-1, ' ', false, Json::error_handler_t::replace);
}

}  // namespace tapsmith
