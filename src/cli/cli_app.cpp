#include "cli_app.h"

#include <string>

#include "cli_options.h"
#include "cli_output.h"
#include "search.h"
#include "settings_file.h"

namespace tapsmith {

namespace {

// The console runs once per process, like the window: one state, one
// workspace, in static storage.
AppState gState;
SearchWorkspace gWorkspace;

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

int RunCli(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
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

  AppState* state = &gState;
  InitialiseState(state);
  if (command.settingsFile) LoadSettingsFile(state, command.settingsFile->c_str());
  if (!ApplyCommand(command, state, &error)) {
    err << "tapsmith-cli: " << error << "\n" << UsageText();
    return kExitUsage;
  }

  ExecuteResult result = Execute(state, &gWorkspace);
  bool hasTypical = result.outcome != ExecuteOutcome::InputError && gWorkspace.request.Vtyp != 0;
  switch (command.format) {
    case OutputFormat::Text:
      out << ReportAsText(*state);
      break;
    case OutputFormat::Csv:
      out << ReportAsCsv(gWorkspace.matches, result, hasTypical);
      break;
    case OutputFormat::Json:
      out << ReportAsJson(*state, gWorkspace.matches, result, hasTypical);
      break;
  }
  // The report first, then its status: on a terminal both streams meet.
  out.flush();
  if (command.format != OutputFormat::Json) err << StatusAsText(*state) << "\n";

  if (command.save && !SaveSettingsFile(*state, command.settingsFile->c_str(), &error)) {
    err << "tapsmith-cli: settings not saved: " << error << "\n";
    return kExitSaveFailed;
  }
  return ExitStatusOf(result.outcome);
}

}  // namespace tapsmith
