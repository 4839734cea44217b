// The default texts of the parameter fields and the six stock lists.
#pragma once

#include "app_state.h"

namespace tapsmith {

/// Copies the twelve default texts into slots 1..6 and 10..15, in that order.
void WriteDefaultTexts(AppState* state);

}  // namespace tapsmith
