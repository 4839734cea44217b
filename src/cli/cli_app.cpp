#include "cli_app.h"

#include <memory>
#include <string>

#include "cli_options.h"
#include "cli_output.h"
#include "message_table.h"
#include "settings_file.h"
#include "text_encoding.h"

namespace tapsmith {

namespace {

int ExitStatusOf(ExecuteOutcome outcome) {
  switch (outcome) {
    case ExecuteOutcome::Found:
    case ExecuteOutcome::TooMany:
      return kExitFound;
    case ExecuteOutcome::NothingFound:
      return kExitNothingFound;
    case ExecuteOutcome::InputError:
      break;
  }
  return kExitInputError;
}

// The language of a run whose options did not read: the one --lang asks
// for, else the settings file's, else Japanese, as the status would be.
int LanguageOfRefusedRun(int argc, const char* const* argv, FileSystem* files, AppState* scratch) {
  if (const std::optional<int32_t> language = LanguageOfArguments(argc, argv)) return *language;
  std::optional<std::string> settings;
  for (int n = 1; n + 1 < argc; ++n) {
    if (std::string(argv[n]) == "--settings") settings = argv[n + 1];
  }
  if (files == nullptr || !settings) return 0;
  InitialiseState(scratch);
  std::string ignored;
  return LoadSettingsFile(*files, scratch, settings->c_str(), &ignored) ? LanguageInUse(*scratch) : 0;
}

// The options of an input error that Execute found: the field's, or the
// list's.
std::vector<std::string> OptionsOfInputError(const CliCommand& command, int slot) {
  if (slot >= SlotList1) return {command.listOption != nullptr ? command.listOption : "--list"};
  const char* option = OptionOfSlot(slot);
  return option != nullptr ? std::vector<std::string>{option} : std::vector<std::string>{};
}

}  // namespace

bool PrepareState(const CliCommand& command, FileSystem* files, AppState* state, CliError* error) {
  InitialiseState(state);
  std::string reason;
  if (command.settingsFile && !LoadSettingsFile(*files, state, command.settingsFile->c_str(), &reason)) {
    *error = {Fill(Message::OptionReason, {"--settings", reason}), {"--settings"}};
    return false;
  }
  return ApplyCommand(command, files, state, error);
}

bool ReferenceWithinLimits(const CliCommand& command, const AppState& state, CliError* error) {
  const DesignRequest& design = command.design;
  double vfb = 0.0;
  if ((!design.vfbMin && !design.vfbMax) || !ReadVoltageField(SlotText(state, SlotVfb), &vfb)) return true;
  auto named = [&](const char* name) -> Localized {
    auto given = command.given.find(name);
    if (given != command.given.end()) return std::string(name) + " " + given->second;
    const Localized text = Fill(Message::NotGiven, {Cp932ToUtf8(SlotText(state, SlotVfb))});
    return {std::string(name) + " " + text.text[0], std::string(name) + " " + text.text[1]};
  };
  const char* low = nullptr;
  const char* high = nullptr;
  if (design.vfbMin && *design.vfbMin > vfb) {
    low = "--vfb-min";
    high = "--vfb";
  } else if (design.vfbMax && vfb > *design.vfbMax) {
    low = "--vfb";
    high = "--vfb-max";
  } else {
    return true;
  }
  *error = {Fill(Message::LimitAbove, {named(low), named(high)}), {low, high}};
  return false;
}

ExecuteOptions ExecuteOptionsOf(const CliCommand& command, const DesignRequest* design) {
  ExecuteOptions options;
  options.design = design;
  // A designer's series is searched whole; a list text as the window reads it.
  if (command.series.name != nullptr) options.listEntryLimit = kStockCapacity;
  options.r4 = command.r4;
  return options;
}

void StopRun(ConsoleRun* run, int exit, const CliError& error) {
  run->exit = exit;
  run->error = RunError{error.reason.In(run->language), error.options};
  run->err = "tapsmith-cli: " + run->error->reason + "\n";
  if (exit == kExitUsage) run->err += std::string(MessageUtf8(Message::UsageHint, run->language)) + "\n";
}

PrintedMatches PrintedMatchesOf(const ConsoleRun& run, const SearchWorkspace& search, const AppState& state) {
  const bool design = AsksDesignSearch(run.command);
  const DesignReports reports = design ? ReportsOf(run.command.design) : DesignReports{false, false, false};
  return {search.matches, run.result, ConfigurationInUse(state),
          run.searched && run.result.outcome != ExecuteOutcome::InputError && search.request.Vtyp != 0, reports,
          run.command.r4 != R4Mode::None};
}

std::string RenderingOf(const ConsoleRun& run, const ConsoleWorkspace& workspace, OutputFormat format) {
  if (run.board) {
    return format == OutputFormat::Text ? run.board->text : format == OutputFormat::Csv ? run.board->csv : run.board->json;
  }
  const PrintedMatches printed = PrintedMatchesOf(run, workspace.search, workspace.state);
  switch (format) {
    case OutputFormat::Text:
      // The window's report as it is, unless there is more to print.
      return AsksDesignSearch(run.command) ? MatchesAsText(printed) : ReportAsText(workspace.state);
    case OutputFormat::Csv:
      return ReportAsCsv(printed);
    case OutputFormat::Json:
      break;
  }
  return ReportAsJson(workspace.state, printed);
}

void RunConsole(int argc, const char* const* argv, FileSystem* files, ConsoleWorkspace* workspace,
                ConsoleRun* run, void (*adjust)(CliCommand* command)) {
  *run = ConsoleRun();
  AppState* state = &workspace->state;
  CliError error;
  if (!ParseCommandLine(argc, argv, files != nullptr, &run->command, &error)) {
    run->language = LanguageOfRefusedRun(argc, argv, files, state);
    return StopRun(run, kExitUsage, error);
  }
  CliCommand& command = run->command;
  if (command.help || command.version) {
    run->out = command.help ? UsageText() : "tapsmith-cli " TAPSMITH_VERSION "\n";
    return;
  }
  if (command.board.Asked()) {
    run->language = command.settings[Language].value_or(0);
    return RunBoard(argc, argv, files, workspace, run);
  }
  if (adjust != nullptr) adjust(&command);
  if (!PrepareState(command, files, state, &error)) {
    const std::optional<int32_t>& language = command.settings[Language];
    run->language = language ? *language : command.settingsFile ? LanguageInUse(*state) : 0;
    return StopRun(run, kExitInputError, error);
  }
  run->language = LanguageInUse(*state);
  if (!ReferenceWithinLimits(command, *state, &error)) return StopRun(run, kExitUsage, error);

  SearchWorkspace* search = &workspace->search;
  run->result = Execute(state, search, ExecuteOptionsOf(command, AsksDesignSearch(command) ? &command.design : nullptr));
  run->searched = true;
  run->exit = ExitStatusOf(run->result.outcome);
  if (run->result.outcome == ExecuteOutcome::InputError) {
    run->error = RunError{StatusAsText(*state, run->result), OptionsOfInputError(command, run->result.errorSlot)};
  }
  run->out = RenderingOf(*run, *workspace, command.format);
  if (command.format != OutputFormat::Json) run->err = StatusAsText(*state, run->result) + "\n";

  std::string reason;
  if (command.save && !SaveSettingsFile(*files, *state, command.settingsFile->c_str(), &reason)) {
    run->exit = kExitSaveFailed;
    run->error = RunError{Fill(Message::SettingsNotSaved, {reason}).In(run->language), {"--settings"}};
    run->err += "tapsmith-cli: " + run->error->reason + "\n";
  }
}

int RunCli(int argc, const char* const* argv, std::ostream& out, std::ostream& err,
           ConsoleWorkspace* workspace, FileSystem* files) {
  auto run = std::make_unique<ConsoleRun>();
  RunConsole(argc, argv, files, workspace, run.get());
  // The report first, then its status: on a terminal both streams meet.
  out << run->out;
  out.flush();
  err << run->err;
  return run->exit;
}

int RunCli(int argc, const char* const* argv, std::ostream& out, std::ostream& err, std::ostream* progress) {
  // 800 kB of tables: on the heap, once per run.
  auto workspace = std::make_unique<ConsoleWorkspace>();
  workspace->progress = progress;
  return RunCli(argc, argv, out, err, workspace.get(), &SystemFileSystem());
}

}  // namespace tapsmith
