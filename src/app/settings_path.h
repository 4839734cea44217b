// Where the settings file lives: "Tapsmith.ini" in the current working
// directory (not necessarily the program's own directory), as a full path.
#pragma once

#include "app_state.h"
#include "file_system.h"

namespace tapsmith {

/// Sets state->settingsPath to the full path of "Tapsmith.ini" in the current
/// working directory, formed as the program always has: the full path of
/// "Tapsmith.exe" (resolved by `files`) with "exe" replaced by "ini".
/// Returns false, with the path empty (no settings file this run), if the
/// path cannot be formed or does not fit in kSettingsPathSize bytes with its
/// terminator.
bool ResolveSettingsPath(FileSystem& files, AppState* state);

/// ResolveSettingsPath on the platform's own file system.
bool ResolveSettingsPath(AppState* state);

}  // namespace tapsmith
