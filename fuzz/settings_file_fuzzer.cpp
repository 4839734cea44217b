// Arbitrary bytes as a settings file. Loading never faults and keeps every
// slot within its size; and whatever state a file gave, saving it and loading
// the saved bytes gives that very state again, every setting and every slot
// byte for byte, so that a hand-edited file settles after one run.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "app_state.h"
#include "fuzz_state.h"
#include "settings_file.h"

namespace {

using namespace tapsmith;

// 650 kB each: static storage, as the program keeps its state.
AppState gLoaded;
AppState gReloaded;

[[noreturn]] void Fail(const char* what, int index) {
  std::fprintf(stderr, "settings_file_fuzzer: %s (%d)\n", what, index);
  std::abort();
}

void CheckSlotsBounded(const AppState& state) {
  for (int slot = 0; slot < kSlotCount; ++slot) {
    if (std::strlen(SlotText(state, slot)) > static_cast<size_t>(kSlotMaxLength)) {
      Fail("slot longer than its buffer allows", slot);
    }
  }
  if (GetSetting(state, Language) > 1) Fail("Language above 1 after loading", 0);
}

// The saved file: "20", 20 numbers, "20", 20 slot lines, each ended by CR LF,
// with no other LF in it (a slot's line break must never end a line).
void CheckSavedShape(const std::string& bytes) {
  int lines = 0;
  for (size_t i = bytes.find('\n'); i != std::string::npos; i = bytes.find('\n', i + 1)) {
    if (i == 0 || bytes[i - 1] != '\r') Fail("bare LF in the saved file", static_cast<int>(i));
    ++lines;
  }
  if (lines != 2 + kSettingCount + kSlotCount) Fail("saved file has the wrong line count", lines);
  if (bytes.size() < 2 || bytes.compare(bytes.size() - 2, 2, "\r\n") != 0) {
    Fail("saved file does not end in CR LF", 0);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzzing::RestoreDefaults(&gLoaded);
  LoadSettingsBytes(&gLoaded, reinterpret_cast<const char*>(data), size);
  CheckSlotsBounded(gLoaded);

  std::string saved = SettingsFileBytes(gLoaded);
  CheckSavedShape(saved);

  // Start the second load from something unlike the first, so that a slot
  // or setting the saved file failed to carry shows up as a difference.
  for (int i = 0; i < kSettingCount; ++i) SetSetting(&gReloaded, i, 0x5A5A5A5A);
  for (int slot = 0; slot < kSlotCount; ++slot) SetSlotText(&gReloaded, slot, "\x01stale");
  LoadSettingsBytes(&gReloaded, saved.data(), saved.size());

  for (int i = 0; i < kSettingCount; ++i) {
    if (GetSetting(gLoaded, i) != GetSetting(gReloaded, i)) Fail("setting changed by save and load", i);
  }
  for (int slot = 0; slot < kSlotCount; ++slot) {
    if (std::strcmp(SlotText(gLoaded, slot), SlotText(gReloaded, slot)) != 0) {
      Fail("slot changed by save and load", slot);
    }
  }
  if (SettingsFileBytes(gReloaded) != saved) Fail("second save differs from the first", 0);
  return 0;
}
