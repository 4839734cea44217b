// The page's one way into the core: a whole tapsmith-cli run, its two
// streams kept until the next run for the script that asked (web/src/core.ts)
// to read from the module's memory. The page builds the console's arguments
// and shows what comes back; for its chart it also asks the run's target
// window, which the console's outputs do not print.
#include <emscripten/emscripten.h>

#include <cstddef>
#include <memory>
#include <sstream>
#include <string>

#include "cli_app.h"

namespace {

struct LastRun {
  std::string output[2];  // standard output, standard error
  std::unique_ptr<tapsmith::ConsoleWorkspace> workspace;
  int status = 0;
};

LastRun last;

// The one call into the console's core: without a disk, so that
// --settings, --save and --list-file are usage errors here.
int RunConsole(int argc, const char* const* argv, std::ostream& out, std::ostream& err,
               tapsmith::ConsoleWorkspace* workspace) {
  return tapsmith::RunCli(argc, argv, out, err, workspace, nullptr);
}

}  // namespace

extern "C" {

/// Runs tapsmith-cli with `argv` (argv[0] the program's name, each argument
/// UTF-8) as the native program runs it. Returns its exit status; its
/// standard output and error wait in tapsmith_output.
EMSCRIPTEN_KEEPALIVE int tapsmith_run(int argc, const char* const* argv) {
  // A fresh workspace per run, as a fresh process has: no run sees another's.
  last.workspace = std::make_unique<tapsmith::ConsoleWorkspace>();
  std::ostringstream out, err;
  last.status = RunConsole(argc, argv, out, err, last.workspace.get());
  last.output[0] = out.str();
  last.output[1] = err.str();
  return last.status;
}

/// The bytes the last run wrote to standard output (stream 1) or standard
/// error (stream 2), `*size` of them; valid until the next run.
EMSCRIPTEN_KEEPALIVE const char* tapsmith_output(int stream, size_t* size) {
  const std::string& text = last.output[stream == 2 ? 1 : 0];
  *size = text.size();
  return text.data();
}

/// The target window the last run searched, as volts[0] least, volts[1]
/// greatest (each widened by the search's 5e-10 V) and volts[2] typical (0:
/// none). Returns 0, leaving `volts` alone, if that run searched nothing (an
/// input or usage error, --help, --version).
EMSCRIPTEN_KEEPALIVE int tapsmith_window(double* volts) {
  if (!last.workspace || (last.status != 0 && last.status != 1)) return 0;
  const tapsmith::SearchRequest& request = last.workspace->search.request;
  if (request.Vmin == 0 && request.Vmax == 0) return 0;  // --help, --version
  volts[0] = request.Vmin;
  volts[1] = request.Vmax;
  volts[2] = request.Vtyp;
  return 1;
}

}  // extern "C"
