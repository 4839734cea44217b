// Every message of the program in both languages: the window's statuses
// and dialog, and the console's reasons and notes, whose "{0}", "{1}"...
// stand for the values filled in.
#pragma once

#include <initializer_list>
#include <string>
#include <vector>

#include "app_state.h"

namespace tapsmith {

enum class Message : int {
  // The window's: shown as code page 932 (MessageText).
  ExitConfirmation,
  CountSuffix,
  NothingFound,
  TooMany,
  FormatError,
  StockListError,
  BestShown,         // a format: how many qualified ("%lld"), then how many are shown ("%d")
  BestShownByYield,  // the same, the best N chosen by their yield

  // The console's reasons for a usage or an input error.
  UsageHint,
  UnknownOption,    // the option
  StrayWord,        // the word, quoted
  GivenTwice,       // the option
  NeedsValue,       // the option, its value's name
  TakesNoValue,     // the option
  Excludes,         // the option, the one it excludes
  Requires,         // the option, the one it needs
  NoFiles,          // the option
  OptionReason,     // the option, the reason: "--vo: ..."
  Quoted,           // a text as given
  ListNext,         // two items of a list that goes on
  ListLast,         // the last two items of a list of alternatives
  ListLastAnd,      // the last two items of a list of things together
  NoChoice,         // the text, the kind, the choices
  NoQuantity,       // the text, the kind, the letters, examples
  KindConfiguration,
  KindLanguage,
  KindStockList,
  KindOrder,
  KindRank,
  KindFormat,
  KindR4Connection,
  KindVoltage,
  KindResistance,
  KindCurrent,
  KindPercentage,
  NoTolerance,    // the text
  NoSigma,        // the text
  NoYield,        // the text
  NoCount,        // the text, the greatest count
  NoRange,        // the text
  RangeReversed,  // the text
  RangeBeyond,    // the text, the lowest and the highest value
  LimitAbove,     // the limit named with its value, the other one
  NotGiven,       // the value a limit stands for when not given
  RangeWithoutSeries,  // the series' names
  RangeHoldsNone,      // the range, the series
  TwoListSources,      // the two options
  CannotRead,          // the path, the system's reason
  HoldsNul,            // the path
  TooLongForList,      // the path or TheList, the most bytes
  TheList,
  PathReason,          // the path, the system's reason
  SettingsNotSaved,    // the path and reason
  ArgumentHoldsNul,    // the option or word

  // The board's reasons, statuses and lines.
  NotOfRail,           // the option
  AtLine,              // the file, the line's number, the reason
  NoRailName,
  BadRailName,         // the name, quoted; the longest name
  RailNamedTwice,      // the name, quoted; the other line's number
  TooManyRails,        // the most rails
  OpenQuote,
  NoRails,             // the file
  TooLongForBoard,     // the file, the most bytes
  NoTimeLimit,         // the text
  NoValues,
  TooManyValues,       // the most values
  BoardProven,         // rails, new values, resistors
  BoardNotProven,      // rails, new values, resistors, the bound
  BoardUnsolvable,     // the rails' names
  BoardNewValues,      // how many, the values
  BoardFromBom,        // how many, the values
  BoardProgress,       // the level, choices tried, the best so far's new values (or "-")

  // The notes that say why a search found nothing.
  NoteSearched,        // least, greatest (volts)
  NoteWindowReversed,  // the minimum, the maximum (volts)
  NoteEmptyField,      // the unit the field reads 0 of
  NoteR1RangeEmpty,    // R1's least and greatest (ohms)
  NoteBelowVfb,        // the configuration, Vfb
  NoteAboveVfb,        // the configuration, Vfb
  NoteFilterLeavesNone,  // how many lie in the window, the filter's options
  NoteFiltersTogether,   // how many lie in the window, every filter's options
  kCount,
};

/// The message in `language` (1 English, anything else Japanese), as
/// code-page-932 bytes. The pointer stays valid for the whole run.
const char* MessageText(Message message, int language);

/// The message in the state's current language.
const char* MessageText(Message message, const AppState& state);

/// The message in `language` as UTF-8, as the table writes it.
const char* MessageUtf8(Message message, int language);

/// A text in both languages, UTF-8: text[0] Japanese, text[1] English. A
/// plain string is the same in both (a value, an option's name).
struct Localized {
  std::string text[2];

  Localized() = default;
  Localized(std::string same) : text{same, std::move(same)} {}  // NOLINT: a value is one in both
  Localized(const char* same) : Localized(std::string(same)) {}  // NOLINT
  Localized(std::string japanese, std::string english) : text{std::move(japanese), std::move(english)} {}

  /// The text in `language` (1 English, anything else Japanese).
  const std::string& In(int language) const { return text[language == 1 ? 1 : 0]; }
};

/// The message in both languages, "{n}" replaced by `args[n]` in the same
/// language.
Localized Fill(Message message, std::initializer_list<Localized> args = {});

/// "a", "b" or "c" (`last` ListLast), or "a", "b" and "c" (ListLastAnd), in
/// each language's words.
Localized Listed(const std::vector<Localized>& items, Message last = Message::ListLast);

/// A text as given, quoted in each language's way.
Localized Quoted(const std::string& text);

}  // namespace tapsmith
