// The console front end: the Execute computation of the window, driven by
// command-line options.
#pragma once

#include <ostream>

#include "app_state.h"
#include "file_system.h"
#include "search.h"

namespace tapsmith {

// The fixed tables one console run works in: the state and the search's
// workspace.
struct ConsoleWorkspace {
  AppState state;
  SearchWorkspace search;
};

/// Runs `tapsmith-cli` with the given arguments: starts from the defaults (or
/// a settings file), applies the options, runs Execute and prints. Files are
/// read and written through `files`; a run without them (null: the page in
/// the browser) refuses the options that need one. Returns the process exit
/// status (ExitStatus).
int RunCli(int argc, const char* const* argv, std::ostream& out, std::ostream& err,
           ConsoleWorkspace* workspace, FileSystem* files);

/// RunCli on the platform's own file system, in a workspace of its own.
int RunCli(int argc, const char* const* argv, std::ostream& out, std::ostream& err);

}  // namespace tapsmith
