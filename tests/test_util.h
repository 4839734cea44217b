// Shared helpers of the tests.
#pragma once

#include <memory>
#include <string>

#include "app_state.h"

namespace tapsmith::testing {

// An AppState is 650 kB: tests keep theirs on the heap.
inline std::unique_ptr<AppState> NewDefaultState() {
  auto state = std::make_unique<AppState>();
  InitialiseState(state.get());
  return state;
}

// The lines of a CR LF text, without their line ends.
inline int CountCrLfLines(const std::string& text) {
  int lines = 0;
  for (size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at + 2))
    ++lines;
  return lines;
}

}  // namespace tapsmith::testing
