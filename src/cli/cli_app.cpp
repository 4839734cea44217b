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

}  // namespace

int RunCli(int argc, const char* const* argv, std::ostream& out, std::ostream& err,
           ConsoleWorkspace* workspace) {
  CliCommand command;
  std::string error;
  if (!ParseCommandLine(argc, argv, &command, &error)) {
    err << "tapsmith-cli: " << error << "\n" << UsageText();
    return kExitUsage;
  }
  if (command.help) {
    out << UsageText();
    return kExitFound;
  }
  if (command.version) {
    out << "tapsmith-cli " TAPSMITH_VERSION "\n";
    return kExitFound;
  }

  AppState* state = &workspace->state;
  InitialiseState(state);
  if (command.settingsFile) LoadSettingsFile(state, command.settingsFile->c_str());
  if (!ApplyCommand(command, state, &error)) {
    err << "tapsmith-cli: " << error << "\n" << UsageText();
    return kExitUsage;
  }

  SearchWorkspace* search = &workspace->search;
  ExecuteResult result = command.designGiven ? Execute(state, search, command.design)
                                             : Execute(state, search);
  const bool searched = result.outcome != ExecuteOutcome::InputError;
  const OutputColumns columns{command.design.reportsWorstCase, command.design.reportsCurrent};
  const PrintedMatches printed{search->matches, result, ConfigurationInUse(*state),
                               searched && search->request.Vtyp != 0, columns};
  switch (command.format) {
    case OutputFormat::Text:
      // The window's report as it is, unless there is more to print.
      out << (command.designGiven ? MatchesAsText(printed) : ReportAsText(*state));
      break;
    case OutputFormat::Csv:
      out << ReportAsCsv(printed);
      break;
    case OutputFormat::Json:
      out << ReportAsJson(*state, printed);
      break;
  }
  // The report first, then its status: on a terminal both streams meet.
  out.flush();
  if (command.format != OutputFormat::Json) err << StatusAsText(*state, result) << "\n";

  if (command.save && !SaveSettingsFile(*state, command.settingsFile->c_str(), &error)) {
    err << "tapsmith-cli: settings not saved: " << error << "\n";
    return kExitSaveFailed;
  }
  return ExitStatusOf(result.outcome);
}

int RunCli(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
  // 800 kB of tables: on the heap, once per run.
  auto workspace = std::make_unique<ConsoleWorkspace>();
  return RunCli(argc, argv, out, err, workspace.get());
}

}  // namespace tapsmith
