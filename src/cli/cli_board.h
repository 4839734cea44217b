// The board: every rail's divider chosen at once by the console, each rail
// a console command line of its own.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "cli_command.h"
#include "cli_output.h"
#include "search.h"

namespace tapsmith {

struct ConsoleWorkspace;
struct ConsoleRun;

// One rail as the board chose it.
struct ChosenRail {
  std::string name;
  int line = 0;
  int configuration = 0;
  bool hasTypical = false;
  DesignReports reports{false, false, false};
  R4Mode r4 = R4Mode::None;
  double pinCurrent = 0.0;
  std::unique_ptr<StockTable> stock;  // the rail's candidates and the BOM
  MatchRecord match{};                // when the board was solved
};

// What a board run found and what it prints.
struct BoardResult {
  std::vector<ChosenRail> rails;
  bool solved = false;
  std::vector<std::string> unsolvable;  // names of the rails no divider meets
  std::vector<std::string> newValues;   // ascending
  std::vector<std::string> bomValuesUsed;
  bool hasBom = false;
  int resistors = 0;
  bool proven = false;
  int bound = 0;
  std::string status;
  std::string text, csv, json;  // each as that --format prints it

  /// The printed form of rail `r`'s match, with the board's `columns` of
  /// reports (the union over the rails) or its own.
  PrintedMatches PrintedOf(size_t r, const DesignReports& reports) const;
  std::unique_ptr<MatchTable> matches;  // rail r's match at r
  ExecuteResult shown{ExecuteOutcome::Found, 1, 1, 1, false, -1};
};

/// Runs the board the command asks for: reads it, searches every rail,
/// chooses, renders. Ends the run with its exit status, error or outputs.
void RunBoard(int argc, const char* const* argv, FileSystem* files, ConsoleWorkspace* workspace, ConsoleRun* run);

}  // namespace tapsmith
