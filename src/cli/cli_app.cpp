#include "cli_app.h"

#include <memory>
#include <string>

#include "cli_options.h"
#include "cli_output.h"
#include "settings_file.h"

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

int UsageError(std::ostream& err, const std::string& reason) {
  err << "tapsmith-cli: " << reason << "\nRun 'tapsmith-cli --help' for the options.\n";
  return kExitUsage;
}

int InputError(std::ostream& err, const std::string& reason) {
  err << "tapsmith-cli: " << reason << "\n";
  return kExitInputError;
}

// The state the search starts from: the defaults, the settings file over
// them, the options over both. False, with the reason, when a file cannot
// be read.
bool PrepareState(const CliCommand& command, FileSystem* files, AppState* state, std::string* error) {
  InitialiseState(state);
  if (command.settingsFile && !LoadSettingsFile(*files, state, command.settingsFile->c_str(), error)) {
    *error = "--settings: " + *error;
    return false;
  }
  return ApplyCommand(command, files, state, error);
}

void Print(const CliCommand& command, const AppState& state, const SearchWorkspace& search,
           const ExecuteResult& result, std::ostream& out, std::ostream& err) {
  const bool designSearch = AsksDesignSearch(command);
  const bool searched = result.outcome != ExecuteOutcome::InputError;
  const PrintedMatches printed{search.matches, result, ConfigurationInUse(state),
                               searched && search.request.Vtyp != 0, &command.design};
  switch (command.format) {
    case OutputFormat::Text:
      // The window's report as it is, unless there is more to print.
      out << (designSearch ? MatchesAsText(printed) : ReportAsText(state));
      break;
    case OutputFormat::Csv:
      out << ReportAsCsv(printed);
      break;
    case OutputFormat::Json:
      out << ReportAsJson(state, printed);
      break;
  }
  // The report first, then its status: on a terminal both streams meet.
  out.flush();
  if (command.format != OutputFormat::Json) err << StatusAsText(state, result) << "\n";
}

}  // namespace

int RunCli(int argc, const char* const* argv, std::ostream& out, std::ostream& err,
           ConsoleWorkspace* workspace, FileSystem* files) {
  CliCommand command;
  std::string error;
  if (!ParseCommandLine(argc, argv, files != nullptr, &command, &error)) return UsageError(err, error);
  if (command.help) {
    out << UsageText();
    return kExitFound;
  }
  if (command.version) {
    out << "tapsmith-cli " TAPSMITH_VERSION "\n";
    return kExitFound;
  }

  AppState* state = &workspace->state;
  if (!PrepareState(command, files, state, &error)) return InputError(err, error);
  SearchWorkspace* search = &workspace->search;
  const ExecuteResult result = AsksDesignSearch(command) ? Execute(state, search, command.design)
                                                         : Execute(state, search);
  Print(command, *state, *search, result, out, err);

  if (command.save && !SaveSettingsFile(*files, *state, command.settingsFile->c_str(), &error)) {
    err << "tapsmith-cli: settings not saved: " << error << "\n";
    return kExitSaveFailed;
  }
  return ExitStatusOf(result.outcome);
}

int RunCli(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
  // 800 kB of tables: on the heap, once per run.
  auto workspace = std::make_unique<ConsoleWorkspace>();
  return RunCli(argc, argv, out, err, workspace.get(), &SystemFileSystem());
}

}  // namespace tapsmith
