// The console front end's options: one table, each row an option with its
// help and the one function that reads and applies it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "cli_command.h"

namespace tapsmith {

/// Parses the arguments (argv[0] is the program name) into `command`.
/// Without files (`hasFiles` false) the options that read or write one are
/// refused. Returns false with a one-line reason in `*error` for an unknown
/// option, a missing, repeated or invalid value, or options that contradict
/// each other.
bool ParseCommandLine(int argc, const char* const* argv, bool hasFiles, CliCommand* command, CliError* error);

/// The language the arguments ask for with --lang (the last that reads),
/// whatever else in them is wrong; none when they ask for none.
std::optional<int32_t> LanguageOfArguments(int argc, const char* const* argv);

/// The option that fills the window's field of text slot `slot` ("--vo"),
/// or null when no option does.
const char* OptionOfSlot(int slot);

/// The help text, options under their headings, ending in a line feed.
std::string UsageText();

}  // namespace tapsmith
