// The console front end: the Execute computation of the window, driven by
// command-line options.
#pragma once

#include <ostream>

#include "app_state.h"
#include "search.h"

namespace tapsmith {

// The fixed tables one console run works in: the state and the search's
// workspace.
struct ConsoleWorkspace {
  AppState state;
  SearchWorkspace search;
};

/// Runs `tapsmith-cli` with the given arguments: starts from the defaults (or
/// a settings file), applies the options, runs Execute and prints. Returns the
/// process exit status (ExitStatus).
int RunCli(int argc, const char* const* argv, std::ostream& out, std::ostream& err,
           ConsoleWorkspace* workspace);

/// RunCli in a workspace of its own.
int RunCli(int argc, const char* const* argv, std::ostream& out, std::ostream& err);

}  // namespace tapsmith
