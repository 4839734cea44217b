// The state the fuzz targets start each input from. Building it from scratch
// (InitialiseState) writes all 655 kB and formats four E-series lists, many
// times the work of a small input; the defaults are built once instead, and
// each input gets back only what a load or Execute can have changed.
#pragma once

#include "app_state.h"

namespace tapsmith::fuzzing {

inline const AppState& Defaults() {
  static const AppState* defaults = [] {
    static AppState state;
    InitialiseState(&state);
    return &state;
  }();
  return *defaults;
}

/// Puts the defaults back into `state`: every setting, and every slot's text
/// up to its terminator. The bytes after a slot's terminator are never read,
/// so the state acts exactly as a freshly initialised one.
inline void RestoreDefaults(AppState* state) {
  const AppState& defaults = Defaults();
  state->settings = defaults.settings;
  for (int slot = 0; slot < kSlotCount; ++slot) SetSlotText(state, slot, SlotText(defaults, slot));
  state->settingsPath[0] = '\0';
}

}  // namespace tapsmith::fuzzing
