// The settings file: all 20 settings and all 20 text slots, carried from one
// run to the next. Every line ends in CR LF:
//
//   20                  the number of settings lines that follow
//   <setting 0..19>     one decimal integer per line
//   20                  the number of text lines that follow
//   <slot 0..19>        one slot per line
//
// Inside a slot line every line break of the slot (CR LF, or a lone LF) is
// written as the two bytes BEL BEL, so that a multi-line list stays on one
// line of the file; a reader turns each BEL BEL pair back into CR LF.
#pragma once

#include <cstddef>
#include <string>

#include "app_state.h"
#include "file_system.h"

namespace tapsmith {

/// LoadSettingsFile from state->settingsPath. With an empty path no file is
/// read, but `Language` is still normalised.
void LoadSettings(AppState* state);

/// Loads the settings file at `path` over the state, which holds the defaults.
/// Never fails: a missing, unreadable, truncated or hand-edited file leaves
/// whatever it did not supply as it was. Lines of any length are read; a slot
/// keeps the first 32759 bytes of its line, up to a NUL byte if the line holds
/// one. Only a regular file is read: never a directory, a pipe or a device.
/// Afterwards, whether or not a file was read, a `Language` above 1 is
/// reset to 0 (a negative one is kept as stored).
void LoadSettingsFile(FileSystem& files, AppState* state, const char* path);

/// LoadSettingsFile on the platform's own file system.
void LoadSettingsFile(AppState* state, const char* path);

/// LoadSettingsFile for a caller that reports what went wrong (the console):
/// the same reading, but a file that is there and cannot be read whole (a
/// folder, a pipe, no permission, a read error part way) is a failure.
/// Returns true for a file read whole, and for no file at `path` (the state
/// keeps its defaults, and a later save creates the file); `Language` is then
/// normalised as above. Returns false with "<path>: <reason>" in `error`, or
/// "no settings file name" for an empty path, and the state exactly as it was
/// before the call.
bool LoadSettingsFile(FileSystem& files, AppState* state, const char* path, std::string* error);

/// The reporting LoadSettingsFile on the platform's own file system.
bool LoadSettingsFile(AppState* state, const char* path, std::string* error);

/// LoadSettingsFile on the bytes of a settings file held in memory: the same
/// reading, line by line, with the same tolerance of any bytes.
void LoadSettingsBytes(AppState* state, const char* bytes, size_t size);

/// The bytes of the settings file for `state`.
std::string SettingsFileBytes(const AppState& state);

/// Writes the settings file for `state` to `path`, replacing the previous file
/// only once the new one is complete (see file_replace.h). Returns false with
/// the old file intact and "<path>: <reason>" in `error` if it cannot be
/// written (an empty path included).
bool SaveSettingsFile(FileSystem& files, const AppState& state, const char* path,
                      std::string* error);

/// SaveSettingsFile on the platform's own file system.
bool SaveSettingsFile(const AppState& state, const char* path, std::string* error);

/// SaveSettingsFile to state.settingsPath. An empty path means that this run
/// uses no settings file: nothing is written and the result is true.
bool SaveSettings(const AppState& state, std::string* error);

}  // namespace tapsmith
