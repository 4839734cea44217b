// The process-wide application state: 20 integer settings, 20 text slots and
// the settings-file path. Slots hold Shift-JIS (code page 932) bytes with CR LF
// line breaks; every write into a slot is bounded and never fails.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tapsmith {

constexpr int kSettingCount = 20;
constexpr int kSlotCount = 20;
constexpr int kSlotSize = 32760;               // bytes, terminator included
constexpr int kSlotMaxLength = kSlotSize - 1;  // 32759 characters
constexpr int kSettingsPathSize = 1000;

// Setting numbers. They are also the order of the settings file.
enum Setting : int {
  Language = 0,  // 0 Japanese, 1 English
  WindowLeft = 1,
  WindowTop = 2,
  WindowRight = 3,
  WindowBottom = 4,
  DigitCount = 9,
  Configuration = 10,  // 0..3 = [a]..[d]
  SortByResistors = 11,
  MatchCount = 12,
  R3DnmOnly = 13,
  ListChoice = 14,  // 0..5 = List1, List2, List3, E24, E12, E6
  SerialMode = 15,
  SortByPrecision = 16,
};

// Text slot numbers.
enum Slot : int {
  SlotVoMinTyp = 1,
  SlotVoMaxPercent = 2,
  SlotR1Min = 3,
  SlotR1Max = 4,
  SlotVfb = 5,
  SlotDigits = 6,
  SlotReserved7 = 7,
  SlotResult = 8,
  SlotStatus = 9,
  SlotList1 = 10,
  SlotList2 = 11,
  SlotList3 = 12,
  SlotE24 = 13,
  SlotE12 = 14,
  SlotE6 = 15,
};

constexpr int kListCount = 6;  // slots SlotList1 .. SlotE6

struct SettingsBlock {
  int32_t values[kSettingCount];
};

struct TextSlots {
  char text[kSlotCount][kSlotSize];
};

struct AppState {
  SettingsBlock settings;
  TextSlots slots;
  char settingsPath[kSettingsPathSize];  // empty: no settings file this run
};

/// All settings 0, all slots and the path empty, then the twelve default
/// texts into slots 1..6 and 10..15.
void InitialiseState(AppState* state);

/// The slot's text; `slot` must be 0..19.
const char* SlotText(const AppState& state, int slot);

/// Copies `text` into the slot, cut at 32759 bytes.
void SetSlotText(AppState* state, int slot, const char* text);

/// Copies `length` bytes into the slot, cut at 32759 bytes. The bytes may hold
/// NULs; the slot then reads up to the first of them, as C strings do.
void SetSlotBytes(AppState* state, int slot, const char* bytes, size_t length);

/// Appends `text` to the slot, cut where the slot is full.
void AppendSlotText(AppState* state, int slot, const char* text);

int32_t GetSetting(const AppState& state, int index);
void SetSetting(AppState* state, int index, int32_t value);

// A hand-edited settings file can hold any number in any setting. These give
// the value the program acts on, clamped into range; the stored value itself
// is carried through to the file unchanged.
int LanguageInUse(const AppState& state);       // 0 or 1
int ConfigurationInUse(const AppState& state);  // 0..3
int ListChoiceInUse(const AppState& state);     // 0..5

}  // namespace tapsmith
