// The status and dialog messages in both languages, as Shift-JIS bytes.
#pragma once

#include "app_state.h"

namespace tapsmith {

enum class Message : int {
  ExitConfirmation,
  CountSuffix,
  NothingFound,
  TooMany,
  FormatError,
  StockListError,
  BestShown,  // a format: how many qualified ("%d"), then how many are shown ("%d")
  kCount,
};

/// The message in `language` (1 English, anything else Japanese), as
/// code-page-932 bytes. The pointer stays valid for the whole run.
const char* MessageText(Message message, int language);

/// The message in the state's current language.
const char* MessageText(Message message, const AppState& state);

}  // namespace tapsmith
