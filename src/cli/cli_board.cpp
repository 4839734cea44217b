#include "cli_board.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <map>

#include "board_choice.h"
#include "board_file.h"
#include "cli_app.h"
#include "cli_options.h"
#include "list_file.h"
#include "message_table.h"
#include "text_encoding.h"

namespace tapsmith {

PrintedMatches BoardResult::PrintedOf(size_t r, const DesignReports& reports) const {
  const ChosenRail& rail = rails[r];
  bool r4 = false;
  for (const ChosenRail& any : rails) r4 = r4 || any.r4 != R4Mode::None;
  return {*matches, shown, rail.configuration, rail.hasTypical, reports, r4};
}

namespace {

// Every value of the board numbered once: its name as the BOM writes it,
// else as the first rail's list that holds it.
struct BoardValues {
  std::map<double, ValueNumber> numbers;
  std::vector<double> values;
  std::vector<std::string> names;  // UTF-8
  std::vector<bool> onBom;

  bool Number(const StockEntry& entry, bool bom, ValueNumber* number) {
    auto found = numbers.find(entry.value);
    if (found != numbers.end()) {
      *number = found->second;
      return true;
    }
    if (values.size() >= kNoValue) return false;
    *number = static_cast<ValueNumber>(values.size());
    numbers.emplace(entry.value, *number);
    values.push_back(entry.value);
    names.push_back(Cp932ToUtf8(entry.name));
    onBom.push_back(bom);
    return true;
  }

  // The names of `numbers`, by value ascending.
  std::vector<std::string> NamesOf(std::vector<ValueNumber> numbered) const {
    std::sort(numbered.begin(), numbered.end(), [&](ValueNumber a, ValueNumber b) { return values[a] < values[b]; });
    std::vector<std::string> named;
    for (ValueNumber n : numbered) named.push_back(names[n]);
    return named;
  }
};

bool IsOpen(const StockEntry& entry) { return entry.conductance == 0.0; }

Localized StockListErrorText() {
  return {MessageUtf8(Message::StockListError, 0), MessageUtf8(Message::StockListError, 1)};
}

// The BOM's values, as a stock list reads them, without DNM.
bool ReadBom(const BoardRequest& board, FileSystem* files, StockTable* bom, CliError* error) {
  bom->count = 0;
  if (!board.bom && !board.bomFile) return true;
  const char* option = board.bom ? "--bom" : "--bom-file";
  std::string list;
  Localized reason;
  const bool read = board.bom ? ListFromValues(*board.bom, &list, &reason)
                              : ReadListFile(*files, *board.bomFile, &list, &reason);
  if (!read) {
    *error = {Fill(Message::OptionReason, {option, reason}), {option}};
    return false;
  }
  const bool parsed = ParseStockText(list.c_str(), bom, kListEntryLimit);
  if (!parsed && bom->count != 1) {
    *error = {Fill(Message::OptionReason, {option, StockListErrorText()}), {option}};
    return false;
  }
  int kept = 0;
  for (int e = 0; e < bom->count; ++e) {
    if (!IsOpen(bom->entries[e])) bom->entries[kept++] = bom->entries[e];
  }
  bom->count = kept;
  if (kept == 0) {
    *error = {Fill(Message::OptionReason, {option, Fill(Message::NoValues)}), {option}};
    return false;
  }
  return true;
}

// The rail's candidates and the BOM in one table, by value: a value once,
// named as the BOM names it; DNM last. False when they do not fit.
bool WithBom(const StockTable& candidates, const StockTable& bom, StockTable* merged) {
  int c = 0, b = 0, count = 0;
  bool open = false;
  while (c < candidates.count || b < bom.count) {
    const StockEntry* next;
    if (c < candidates.count && IsOpen(candidates.entries[c])) {
      open = true;
      ++c;
      continue;
    }
    if (b < bom.count && (c >= candidates.count || bom.entries[b].value <= candidates.entries[c].value)) {
      next = &bom.entries[b++];
      while (c < candidates.count && candidates.entries[c].value == next->value) ++c;
    } else {
      next = &candidates.entries[c++];
    }
    if (count > 0 && merged->entries[count - 1].value == next->value) continue;
    if (count == kStockCapacity) return false;
    merged->entries[count++] = *next;
  }
  if (open) {
    if (count == kStockCapacity) return false;
    std::memset(&merged->entries[count], 0, sizeof(StockEntry));
    std::memcpy(merged->entries[count].name, "DNM", 4);
    merged->entries[count].value = kOpenCircuitValue;
    merged->entries[count++].conductance = 0.0;
  }
  merged->count = count;
  return true;
}

// A rail as it is searched.
struct RailSearch {
  CliCommand command;
  SearchRequest request;
  SearchOptions options;
  std::vector<ValueNumber> numbers;  // per stock entry; kNoValue for DNM
};

// A divider's place in its rail's production order: R1, R4, R2, R3.
uint64_t PositionOf(int r1, int r4, int r2, int r3) {
  return static_cast<uint64_t>(r1) << 48 | static_cast<uint64_t>(r4 + 1) << 32 | static_cast<uint64_t>(r2) << 16 |
         static_cast<uint64_t>(r3);
}

// Weighs the dividers of a rail that use at most `largestSet` values not on
// the BOM into the board's model.
class Collector final : public MatchVisitor {
 public:
  Collector(BoardModel* model, int rail, const StockTable& stock, const RailSearch& search,
            const BoardValues& values, bool byYield, int largestSet)
      : model_(model), rail_(rail), stock_(stock), largestSet_(largestSet), byYield_(byYield) {
    for (int e = 0; e < stock.count; ++e) {
      const ValueNumber number = search.numbers[static_cast<size_t>(e)];
      newValue_.push_back(number != kNoValue && !values.onBom[number] ? number : kNoValue);
    }
  }

  bool WantsLeg(int r1, int r4) override { return Wants(r1, r4, -1, -1); }

  bool Wants(int r1, int r4, int r2, int r3) override {
    if (largestSet_ >= kMostNewValues) return true;
    ValueNumber seen[kMostNewValues];
    int count = 0;
    for (int entry : {r1, r4, r2, r3}) {
      const ValueNumber number = entry < 0 ? kNoValue : newValue_[static_cast<size_t>(entry)];
      if (number == kNoValue || std::find(seen, seen + count, number) != seen + count) continue;
      if (count == largestSet_) return false;
      seen[count++] = number;
    }
    return true;
  }

  void Visit(const MatchRecord& match) override {
    DividerWeight weight;
    weight.position = PositionOf(match.entry[0], match.entry[1], match.entry[2], match.entry[3]);
    for (int16_t entry : match.entry) {
      if (entry < 0 || IsOpen(stock_.entries[entry])) continue;
      ++weight.fitted;
      const ValueNumber number = newValue_[static_cast<size_t>(entry)];
      ValueNumber* end = weight.newValues + weight.newCount;
      if (number != kNoValue && std::find(weight.newValues, end, number) == end) {
        weight.newValues[weight.newCount++] = number;
      }
    }
    std::sort(weight.newValues, weight.newValues + weight.newCount);
    weight.badness = !byYield_ ? std::fabs(match.deviation) : std::isnan(match.yield) ? HUGE_VAL : -match.yield;
    model_->Add(rail_, weight);
  }

 private:
  BoardModel* model_;
  int rail_;
  const StockTable& stock_;
  std::vector<ValueNumber> newValue_;  // per entry; kNoValue on the BOM or DNM
  int largestSet_;
  bool byYield_;
};

// Finds the divider at a place of the rail's production order again.
class Capture final : public MatchVisitor {
 public:
  Capture(uint64_t wanted, MatchRecord* into) : wanted_(wanted), into_(into) {}
  bool Wants(int r1, int r4, int r2, int r3) override { return PositionOf(r1, r4, r2, r3) == wanted_; }
  bool WantsLeg(int r1, int r4) override { return PositionOf(r1, r4, 0, 0) >> 32 == wanted_ >> 32; }
  void Visit(const MatchRecord& match) override { *into_ = match; }

 private:
  uint64_t wanted_;
  MatchRecord* into_;
};

// The time limit, and the progress line on a terminal once a second.
class BoardClock final : public ChoiceClock {
 public:
  BoardClock(double limit, std::ostream* progress, int language)
      : start_(std::chrono::steady_clock::now()), limit_(limit), progress_(progress), language_(language) {}
  ~BoardClock() {
    if (drawn_ > 0) *progress_ << '\r' << std::string(drawn_, ' ') << '\r' << std::flush;
  }
  BoardClock(const BoardClock&) = delete;
  BoardClock& operator=(const BoardClock&) = delete;

  bool Over() const { return Elapsed() >= limit_; }

  bool Expired(int level, int64_t tried, int best) override {
    const double elapsed = Elapsed();
    if (progress_ != nullptr && elapsed >= shown_ + 1.0) {
      shown_ = elapsed;
      const std::string line =
          Fill(Message::BoardProgress, {std::to_string(level), std::to_string(tried),
                                        best < 0 ? std::string("-") : std::to_string(best)})
              .In(language_);
      *progress_ << '\r' << line << std::string(line.size() < drawn_ ? drawn_ - line.size() : 0, ' ') << std::flush;
      drawn_ = std::max(drawn_, line.size());
    }
    return elapsed >= limit_;
  }

 private:
  double Elapsed() const {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
  }

  std::chrono::steady_clock::time_point start_;
  double limit_;
  std::ostream* progress_;
  int language_;
  double shown_ = 0.0;
  size_t drawn_ = 0;
};

std::string Joined(const std::vector<std::string>& names) {
  std::string text;
  for (const std::string& name : names) text += (text.empty() ? "" : ", ") + name;
  return text.empty() ? "-" : text;
}

DesignReports Union(const BoardResult& board) {
  DesignReports all{false, false, false};
  for (const ChosenRail& rail : board.rails) {
    all.worstCase = all.worstCase || rail.reports.worstCase;
    all.current = all.current || rail.reports.current;
    all.yield = all.yield || rail.reports.yield;
  }
  return all;
}

void Render(BoardResult* board, int language) {
  const std::string valuesLine =
      Fill(Message::BoardNewValues, {std::to_string(board->newValues.size()), Joined(board->newValues)}).In(language);
  const std::string bomLine =
      Fill(Message::BoardFromBom, {std::to_string(board->bomValuesUsed.size()), Joined(board->bomValuesUsed)})
          .In(language);
  const DesignReports all = Union(*board);
  nlohmann::ordered_json json;
  json["rails"] = nlohmann::ordered_json::array();
  board->csv = "rail," + CsvHeader(board->PrintedOf(0, all)) + "\n";
  board->text.clear();
  for (size_t r = 0; board->solved && r < board->rails.size(); ++r) {
    const ChosenRail& rail = board->rails[r];
    board->text += rail.name + ": " + MatchLine(board->PrintedOf(r, rail.reports), rail.match) + "\n";
    board->csv += rail.name + "," + CsvRow(board->PrintedOf(r, all), rail.match, rail.reports) + "\n";
    nlohmann::ordered_json row;
    row["name"] = rail.name;
    AddMatchFields(board->PrintedOf(r, rail.reports), rail.match, &row);
    json["rails"].push_back(row);
  }
  if (board->solved) {
    board->text += valuesLine + "\n";
    if (board->hasBom) board->text += bomLine + "\n";
  }
  json["new_values"] = board->newValues;
  json["bom_values_used"] = board->bomValuesUsed;
  json["resistors"] = board->resistors;
  json["proven"] = board->proven;
  json["bound"] = board->bound;
  json["unsolvable"] = board->unsolvable;
  json["status"] = board->status;
  board->json = json.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) + "\n";
}

// Ends the run for a fault on line `line` of the board (0: none).
void StopAtLine(ConsoleRun* run, int exit, const std::string& what, int line, const CliError& error) {
  CliError located = error;
  if (line > 0) located.reason = Fill(Message::AtLine, {what, std::to_string(line), error.reason});
  StopRun(run, exit, located);
  run->error->line = line;
}

// A rail's command line made ready to search, or false once the run is stopped.
bool PrepareRail(int argc, const char* const* argv, FileSystem* files, const BoardRail& line,
                 const std::string& what, const StockTable& bom, ConsoleWorkspace* workspace, ConsoleRun* run,
                 BoardValues* values, RailSearch* search, ChosenRail* chosen) {
  CliError error;
  CliCommand& command = search->command;
  if (!ParseRailCommand(argc, argv, line.words, files != nullptr, &command, &error)) {
    StopAtLine(run, kExitUsage, what, line.line, error);
    return false;
  }
  if (run->command.design.bestRank == BestRank::Yield) command.design.yield = true;
  AppState* state = &workspace->state;
  if (!PrepareState(command, files, state, &error)) {
    StopAtLine(run, kExitInputError, what, line.line, error);
    return false;
  }
  if (!ReferenceWithinLimits(command, *state, &error)) {
    StopAtLine(run, kExitUsage, what, line.line, error);
    return false;
  }
  int slot = -1;
  auto candidates = std::make_unique<StockTable>();
  const bool read = ParseSearchRequest(state, &search->request, &slot) &&
                    ParseStockList(state, candidates.get(), command.series.name != nullptr ? kStockCapacity
                                                                                          : kListEntryLimit);
  if (!read) {
    const char* option = slot >= 0 ? OptionOfSlot(slot) : command.listOption != nullptr ? command.listOption : "--list";
    StopAtLine(run, kExitInputError, what, line.line,
               {Cp932ToUtf8(SlotText(*state, SlotStatus)), {option != nullptr ? option : "--list"}});
    return false;
  }
  chosen->stock = std::make_unique<StockTable>();
  if (!WithBom(*candidates, bom, chosen->stock.get())) {
    StopAtLine(run, kExitInputError, what, line.line,
               {Fill(Message::TooManyValues, {std::to_string(kStockCapacity)}), {"--bom"}});
    return false;
  }
  const StockTable& stock = *chosen->stock;
  for (int e = 0; e < stock.count; ++e) {
    ValueNumber number = kNoValue;
    if (!IsOpen(stock.entries[e]) && !values->Number(stock.entries[e], false, &number)) {
      StopAtLine(run, kExitInputError, what, line.line,
                 {Fill(Message::TooManyValues, {std::to_string(kNoValue)}), {}});
      return false;
    }
    search->numbers.push_back(number);
  }
  const bool design = AsksDesignSearch(command);
  search->options = SearchOptionsFromState(*state);
  search->options.r4 = command.r4;
  chosen->name = line.name;
  chosen->line = line.line;
  chosen->configuration = search->options.configuration;
  chosen->hasTypical = search->request.Vtyp != 0.0;
  chosen->reports = design ? ReportsOf(command.design) : DesignReports{false, false, false};
  chosen->r4 = command.r4;
  chosen->pinCurrent = command.design.pinCurrent.value_or(0.0);
  return true;
}

}  // namespace

void RunBoard(int argc, const char* const* argv, FileSystem* files, ConsoleWorkspace* workspace, ConsoleRun* run) {
  const CliCommand& command = run->command;
  const BoardRequest& request = command.board;
  const char* option = request.file ? "--board" : "--board-text";
  const std::string what = request.file ? *request.file : "--board-text";
  std::string text;
  Localized reason;
  if (request.file && !ReadBoardFile(*files, *request.file, &text, &reason)) {
    return StopRun(run, kExitInputError, {Fill(Message::OptionReason, {option, reason}), {option}});
  }
  if (request.text) {
    if (request.text->size() > kBoardByteLimit) {
      return StopRun(run, kExitInputError,
                     {Fill(Message::TooLongForBoard, {what, std::to_string(kBoardByteLimit)}), {option}});
    }
    text = *request.text;
  }
  std::vector<BoardRail> lines;
  BoardError boardError;
  if (!ReadBoardText(text, what, &lines, &boardError)) {
    return StopAtLine(run, kExitInputError, what, boardError.line, {boardError.reason, {option}});
  }
  auto bom = std::make_unique<StockTable>();
  CliError error;
  if (!ReadBom(request, files, bom.get(), &error)) return StopRun(run, kExitInputError, error);

  auto board = std::make_shared<BoardResult>();
  board->hasBom = bom->count > 0;
  BoardValues values;
  for (int e = 0; e < bom->count; ++e) {
    ValueNumber number;
    values.Number(bom->entries[e], true, &number);
  }
  std::vector<std::unique_ptr<RailSearch>> searches;
  board->rails.resize(lines.size());
  for (size_t r = 0; r < lines.size(); ++r) {
    searches.push_back(std::make_unique<RailSearch>());
    if (!PrepareRail(argc, argv, files, lines[r], what, *bom, workspace, run, &values, searches[r].get(),
                     &board->rails[r])) {
      return;
    }
  }

  BoardClock clock(request.timeLimit, workspace->progress, run->language);
  const bool byYield = command.design.bestRank == BestRank::Yield;
  auto choose = [&](int largestSet) {
    BoardModel model(static_cast<int>(lines.size()), largestSet);
    for (size_t r = 0; r < lines.size(); ++r) {
      RailSearch& search = *searches[r];
      Collector collector(&model, static_cast<int>(r), *board->rails[r].stock, search, values, byYield, largestSet);
      SearchOptions options = search.options;
      if (AsksDesignSearch(search.command)) options.design = &search.command.design;
      options.visitor = &collector;
      RunSearch(search.request, *board->rails[r].stock, options, &workspace->search.matches);
    }
    bool everyRail = true;
    for (size_t r = 0; r < lines.size(); ++r) everyRail = everyRail && model.HasDivider(static_cast<int>(r));
    if (!everyRail && largestSet < kMostNewValues) return BoardChoice();
    model.Finish();
    return ChooseBoard(model, &clock);
  };
  // Most boards reuse enough of the BOM that dividers of one or two new
  // values decide; only if they do not are all of them weighed.
  constexpr int kFirstLargestSet = 2;
  BoardChoice choice = choose(kFirstLargestSet);
  if (!choice.found || (!choice.proven && !clock.Over())) {
    BoardChoice whole = choose(kMostNewValues);
    // Levels ruled out with the small sets held whole stay ruled out; a
    // stopped second search keeps the first's choice if that is better.
    const int bound = std::max(choice.bound, whole.bound);
    if (whole.proven || !choice.found || Precedes(whole, choice)) choice = whole;
    if (!choice.proven) choice.bound = std::min(bound, static_cast<int>(choice.newValues.size()));
  }

  board->matches = std::make_unique<MatchTable>();
  board->matches->count = static_cast<int>(lines.size());
  const std::string rails = std::to_string(lines.size());
  if (!choice.found) {
    for (int r : choice.unsolvable) board->unsolvable.push_back(lines[static_cast<size_t>(r)].name);
    std::vector<Localized> names(board->unsolvable.begin(), board->unsolvable.end());
    board->status = Fill(Message::BoardUnsolvable, {Listed(names, Message::ListLastAnd)}).In(run->language);
    run->exit = kExitNothingFound;
  } else {
    board->solved = true;
    std::vector<ValueNumber> bomUsed;
    for (size_t r = 0; r < lines.size(); ++r) {
      RailSearch& search = *searches[r];
      ChosenRail& rail = board->rails[r];
      Capture capture(choice.positions[r], &rail.match);
      SearchOptions options = search.options;
      if (AsksDesignSearch(search.command)) options.design = &search.command.design;
      options.visitor = &capture;
      RunSearch(search.request, *rail.stock, options, &workspace->search.matches);
      board->matches->records[r] = rail.match;
      for (int16_t entry : rail.match.entry) {
        if (entry < 0 || IsOpen(rail.stock->entries[entry])) continue;
        const ValueNumber number = search.numbers[static_cast<size_t>(entry)];
        if (values.onBom[number] && std::find(bomUsed.begin(), bomUsed.end(), number) == bomUsed.end()) {
          bomUsed.push_back(number);
        }
      }
    }
    board->newValues = values.NamesOf(choice.newValues);
    board->bomValuesUsed = values.NamesOf(bomUsed);
    board->resistors = choice.resistors;
    board->proven = choice.proven;
    board->bound = choice.bound;
    const std::string count = std::to_string(choice.newValues.size());
    const std::string resistors = std::to_string(choice.resistors);
    board->status = choice.proven ? Fill(Message::BoardProven, {rails, count, resistors}).In(run->language)
                                  : Fill(Message::BoardNotProven, {rails, count, resistors, std::to_string(choice.bound)})
                                        .In(run->language);
    run->exit = kExitFound;
  }
  Render(board.get(), run->language);
  run->board = board;
  run->out = RenderingOf(*run, *workspace, command.format);
  if (command.format != OutputFormat::Json) run->err = board->status + "\n";
}

}  // namespace tapsmith
