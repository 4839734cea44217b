// The console front end: the Execute computation of the window, driven by
// command-line options.
#pragma once

#include <ostream>

namespace tapsmith {

/// Runs `tapsmith-cli` with the given arguments: starts from the defaults (or
/// a settings file), applies the options, runs Execute and prints. Returns the
/// process exit status (ExitStatus).
int RunCli(int argc, const char* const* argv, std::ostream& out, std::ostream& err);

}  // namespace tapsmith
