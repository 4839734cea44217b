#include "settings_path.h"

#include <cstring>
#include <string>

namespace tapsmith {

namespace {

const char kProgramFileName[] = "Tapsmith.exe";
const char kSettingsExtension[] = "ini";  // replaces the last three characters
constexpr size_t kExtensionLength = sizeof kSettingsExtension - 1;

}  // namespace

bool ResolveSettingsPath(FileSystem& files, AppState* state) {
  std::string path = files.FullPathName(kProgramFileName);
  if (path.size() < kExtensionLength || path.size() >= static_cast<size_t>(kSettingsPathSize)) {
    state->settingsPath[0] = '\0';
    return false;
  }
  path.replace(path.size() - kExtensionLength, kExtensionLength, kSettingsExtension);
  std::memcpy(state->settingsPath, path.c_str(), path.size() + 1);
  return true;
}

bool ResolveSettingsPath(AppState* state) { return ResolveSettingsPath(SystemFileSystem(), state); }

}  // namespace tapsmith
