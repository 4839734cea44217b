// The console front end's options: one table, each row an option with its
// help and the one function that reads and applies it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "cli_command.h"

namespace tapsmith {

/// Parses the arguments (argv[0] is the program name) into `command`.
/// Without files (`hasFiles` false) the options that read or write one are
/// refused. Returns false with a one-line reason in `*error` for an unknown
/// option, a missing, repeated or invalid value, or options that contradict
/// each other.
bool ParseCommandLine(int argc, const char* const* argv, bool hasFiles, CliCommand* command, CliError* error);

/// Parses a board's rail into `command`: the options of the command line
/// that belong to a rail, and the rail's own words over them (an option of
/// its line replaces the command line's, and its opposite: --serial the
/// --parallel, a list of its own the command line's list and its range).
/// Fails as ParseCommandLine does, and for an option that does not belong
/// to a rail on its line.
bool ParseRailCommand(int argc, const char* const* argv, const std::vector<std::string>& railWords, bool hasFiles,
                      CliCommand* command, CliError* error);

/// The language the arguments ask for with --lang (the last that reads),
/// whatever else in them is wrong; none when they ask for none.
std::optional<int32_t> LanguageOfArguments(int argc, const char* const* argv);

/// The option that fills the window's field of text slot `slot` ("--vo"),
/// or null when no option does.
const char* OptionOfSlot(int slot);

/// The help text, options under their headings, ending in a line feed.
std::string UsageText();

}  // namespace tapsmith
