// Where the settings file lives: "Tapsmith.ini" in the current working
// directory (not necessarily the program's own directory), as a full path.
//
// The full-path resolution is the platform's part: one sibling file per
// platform (settings_path_posix.cpp, settings_path_win32.cpp) implements
// FullPathName, chosen in CMake. ResolveSettingsPath is shared.
#pragma once

#include <cstddef>

#include "app_state.h"

namespace tapsmith {

/// Sets state->settingsPath to the full path of "Tapsmith.ini" in the current
/// working directory, formed as the program always has: the full path of
/// "Tapsmith.exe" with "exe" replaced by "ini". Returns false, with the path
/// empty (no settings file this run), if the path cannot be formed or does not
/// fit in kSettingsPathSize bytes with its terminator.
bool ResolveSettingsPath(AppState* state);

/// Resolves the relative file name `name` against the current working
/// directory into `buffer` of `size` bytes, terminator included. Returns the
/// length of the full path without its terminator; returns 0, with `buffer`
/// empty (when size > 0), if the working directory cannot be had or the path
/// does not fit. Implemented once per platform.
size_t FullPathName(const char* name, char* buffer, size_t size);

}  // namespace tapsmith
