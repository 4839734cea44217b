#include "app_state.h"

#include <cassert>
#include <cstring>

#include "default_texts.h"

namespace tapsmith {

namespace {

char* SlotBuffer(AppState* state, int slot) {
  assert(slot >= 0 && slot < kSlotCount && "slot number out of range");
  return state->slots.text[slot];
}

int32_t Clamp(int32_t value, int32_t low, int32_t high) {
  return value < low ? low : value > high ? high : value;
}

}  // namespace

void InitialiseState(AppState* state) {
  std::memset(state, 0, sizeof *state);
  WriteDefaultTexts(state);
}

const char* SlotText(const AppState& state, int slot) {
  assert(slot >= 0 && slot < kSlotCount && "slot number out of range");
  return state.slots.text[slot];
}

void SetSlotText(AppState* state, int slot, const char* text) {
  SetSlotBytes(state, slot, text, std::strlen(text));
}

void SetSlotBytes(AppState* state, int slot, const char* bytes, size_t length) {
  char* buffer = SlotBuffer(state, slot);
  if (length > static_cast<size_t>(kSlotMaxLength)) length = kSlotMaxLength;
  std::memmove(buffer, bytes, length);
  buffer[length] = '\0';
}

void AppendSlotText(AppState* state, int slot, const char* text) {
  char* buffer = SlotBuffer(state, slot);
  size_t used = std::strlen(buffer);
  size_t length = std::strlen(text);
  if (length > kSlotMaxLength - used) length = kSlotMaxLength - used;
  std::memmove(buffer + used, text, length);
  buffer[used + length] = '\0';
}

int32_t GetSetting(const AppState& state, int index) {
  assert(index >= 0 && index < kSettingCount && "setting number out of range");
  return state.settings.values[index];
}

void SetSetting(AppState* state, int index, int32_t value) {
  assert(index >= 0 && index < kSettingCount && "setting number out of range");
  state->settings.values[index] = value;
}

int LanguageInUse(const AppState& state) {
  return state.settings.values[Language] == 1 ? 1 : 0;
}

int ConfigurationInUse(const AppState& state) {
  return Clamp(state.settings.values[Configuration], 0, 3);
}

int ListChoiceInUse(const AppState& state) {
  return Clamp(state.settings.values[ListChoice], 0, kListCount - 1);
}

}  // namespace tapsmith
