// The console front end: the Execute computation of the window, driven by
// command-line options.
#pragma once

#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "app_state.h"
#include "cli_board.h"
#include "cli_command.h"
#include "cli_output.h"
#include "file_system.h"
#include "search.h"

namespace tapsmith {

// The fixed tables one console run works in: the state and the search's
// workspace.
struct ConsoleWorkspace {
  AppState state;
  SearchWorkspace search;
  std::ostream* progress = nullptr;  // a terminal, for a long search's progress line
};

// Why a run stopped before it searched, or could not save: in the run's
// language, with the options at fault (the subject first).
struct RunError {
  std::string reason;
  std::vector<std::string> options;
  int line = 0;  // a board's line at fault; 0: none
};

// What one console run did: what it was asked, what it found and what it
// prints. The workspace holds the state and the matches it left.
struct ConsoleRun {
  int exit = kExitFound;  // ExitStatus
  int language = 0;       // of every text the run gives: 0 Japanese, 1 English
  CliCommand command;
  bool searched = false;  // Execute ran; its result follows
  ExecuteResult result{ExecuteOutcome::InputError, 0, 0, 0, false, -1};
  std::optional<RunError> error;  // a usage error (64), a file or an input error (2), a failed save (3)
  std::shared_ptr<const BoardResult> board;  // a board's run, once it searched
  std::string out;  // standard output and standard error, as tapsmith-cli prints them
  std::string err;
};

/// One tapsmith-cli run with the given arguments: starts from the defaults
/// (or a settings file), applies the options, runs Execute, renders what it
/// prints and saves when asked. Files are read and written through `files`;
/// a run without them (null: the page in the browser) refuses the options
/// that need one. `adjust`, when given, changes the command once read (the
/// page's picture of the whole design space asks for more matches).
void RunConsole(int argc, const char* const* argv, FileSystem* files, ConsoleWorkspace* workspace,
                ConsoleRun* run, void (*adjust)(CliCommand* command) = nullptr);

/// How the command's search is executed: with `design` (null: the
/// window's search), its series whole, its R4.
ExecuteOptions ExecuteOptionsOf(const CliCommand& command, const DesignRequest* design);

/// Ends a run that cannot go on, in the run's language: its exit status,
/// its error and the line (and for a usage error the hint) it prints.
void StopRun(ConsoleRun* run, int exit, const CliError& error);

/// The state a search starts from: the defaults, the settings file over
/// them, the command over both. False, with the reason, when a file cannot
/// be read.
bool PrepareState(const CliCommand& command, FileSystem* files, AppState* state, CliError* error);

/// Vfb, as the window reads its field, within the reference's limits;
/// else false with the reason (the yield would take a spread that the
/// limits do not give).
bool ReferenceWithinLimits(const CliCommand& command, const AppState& state, CliError* error);

/// The matches a run prints, with what its design request adds to each.
PrintedMatches PrintedMatchesOf(const ConsoleRun& run, const SearchWorkspace& search, const AppState& state);

/// What a run that searched prints in `format`, whichever it was asked for.
std::string RenderingOf(const ConsoleRun& run, const ConsoleWorkspace& workspace, OutputFormat format);

/// Runs `tapsmith-cli` as RunConsole does and prints on `out` and `err`.
/// Returns the process exit status (ExitStatus).
int RunCli(int argc, const char* const* argv, std::ostream& out, std::ostream& err,
           ConsoleWorkspace* workspace, FileSystem* files);

/// RunCli on the platform's own file system, in a workspace of its own;
/// a board's progress line on `progress` when given (a terminal).
int RunCli(int argc, const char* const* argv, std::ostream& out, std::ostream& err,
           std::ostream* progress = nullptr);

}  // namespace tapsmith
