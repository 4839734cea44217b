#include "settings_path.h"

#include <cstring>

namespace tapsmith {

namespace {

const char kProgramFileName[] = "Tapsmith.exe";
const char kSettingsExtension[] = "ini";  // replaces the last three characters
constexpr size_t kExtensionLength = sizeof kSettingsExtension - 1;

}  // namespace

bool ResolveSettingsPath(FileSystem& files, AppState* state) {
  char* path = state->settingsPath;
  size_t length = files.FullPathName(kProgramFileName, path, kSettingsPathSize);
  if (length < kExtensionLength || length >= static_cast<size_t>(kSettingsPathSize)) {
    path[0] = '\0';
    return false;
  }
  std::memcpy(path + length - kExtensionLength, kSettingsExtension, kExtensionLength);
  return true;
}

bool ResolveSettingsPath(AppState* state) { return ResolveSettingsPath(SystemFileSystem(), state); }

}  // namespace tapsmith
