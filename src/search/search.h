// The resistor combination search: search inputs, the combination search, and
// the ordering and report that make up the Execute computation.
//
// Data flows one way: text slots and settings in; stock table and search
// request; match table; report (slot 8) and status (slot 9) out. Nothing here
// touches a window.
#pragma once

#include <cstdint>

#include "app_state.h"

namespace tapsmith {

constexpr int kStockCapacity = 501;
constexpr int kNameSize = 24;  // at most 23 characters and the terminator
constexpr int kMatchCapacity = 1000;
constexpr int kReportBudget = 32758;
constexpr int kLineBufferSize = 200;

// Value and conductance of the open-circuit entry "DNM", and the conductance
// given to a zero-ohm entry.
constexpr double kOpenCircuitValue = 9e100;
constexpr double kZeroOhmConductance = 9e100;

struct SearchRequest {
  double Vmin;  // widened by 5e-10 V on each side
  double Vmax;
  double Vtyp;  // reference for the deviation in percent
  double Vfb;
  double R1min;  // widened by 5e-10 ohm on each side
  double R1max;
  int32_t DigitCount;
};

struct StockEntry {
  char name[kNameSize];  // the line as written, cut at 23 characters
  double value;
  double conductance;  // 1 / value; kZeroOhmConductance when value is 0
};

struct StockTable {
  StockEntry entries[kStockCapacity];
  int count;
};

struct MatchRecord {
  char r1[kNameSize];
  char r2[kNameSize];
  char r3[kNameSize];
  int32_t serial;    // 1: R2 + R3 in series, 0: in parallel
  double vout;       // rounded to 1e-9 V
  double deviation;  // percent; 0 when there is no typical voltage
};

struct MatchTable {
  MatchRecord records[kMatchCapacity];
  int count;
};

// What the search needs from the settings, with out-of-range values of a
// hand-edited file already clamped.
struct SearchOptions {
  int configuration;  // 0..3 = [a]..[d]
  bool serial;        // "Serial" checked (the search drops it under R3DnmOnly)
  bool r3DnmOnly;
};

/// The search options from settings 10, 15 and 13: the configuration clamped
/// into 0..3, "Serial" when setting 15 is not 0, "R3=DNM only" when setting 13
/// is exactly 1. Never fails.
SearchOptions SearchOptionsFromState(const AppState& state);

// --- Number reading ---------------------------------------------------------

/// The decimal string-to-double conversion of the input fields: leading white
/// space, sign, digits, ".", digits, exponent after e, E, d or D. No inf, nan
/// or hexadecimal forms. Sets `*end` after the last character used, or to
/// `text` (and returns 0) when no number can be read. The result is the
/// correctly rounded double of the decimal number read.
double ReadNumber(const char* text, const char** end);

/// The decimal string-to-integer conversion: leading white space, sign,
/// digits; 0 when there are none. Out-of-range numbers saturate at
/// INT32_MIN / INT32_MAX (setting 9 is a 32-bit integer).
int32_t ReadInteger(const char* text);

// --- Search inputs ----------------------------------------------------------

/// Reads slots 1, 2, 5, 6, 3, 4 (in that order) into `request` and stores the
/// digit count into setting 9. On a format error sets the status slot to the
/// format-error message and the field's text, and returns false.
bool ParseSearchRequest(AppState* state, SearchRequest* request);

/// Parses the chosen stock list (slot 10 + ListChoice) into `table`, sorted
/// ascending by value. On a negative value or fewer than 2 entries sets the
/// stock-list-error status and returns false.
bool ParseStockList(AppState* state, StockTable* table);

/// Parses one list text; the state-free core of ParseStockList. Equal values
/// keep their list order (the sort is stable). Returns false, with
/// `table->count` not usable, on a negative value or fewer than 2 entries.
bool ParseStockText(const char* text, StockTable* table);

// --- Combination search -----------------------------------------------------

/// The plain triple loop: every R1 in the window, every unordered pair R2, R3,
/// in production order, stopping at the 1000th match. Kept as the reference
/// the fast search is checked against.
void RunPlainSearch(const SearchRequest& request, const StockTable& stock,
                    const SearchOptions& options, MatchTable* matches);

/// The search Execute uses: the same matches in the same order as
/// RunPlainSearch, for every input, bit for bit. Where the voltage is not
/// provably monotone along the table (zero or non-finite Vfb or R1, a table
/// whose conductances or values are out of order) it runs the plain loop.
void RunSearch(const SearchRequest& request, const StockTable& stock,
               const SearchOptions& options, MatchTable* matches);

// --- Ordering and report ----------------------------------------------------

/// Orders the matches: by voltage and names, by precision, or left in
/// production order, as the two check-box settings say. The sorts are
/// stable: ties keep production order. No allocation.
void OrderMatches(const AppState& state, MatchTable* matches);

/// Formats `value` like printf's "%.*f" with `decimals` places, but rounds the
/// 17-significant-digit form of the value half up. Writes at most
/// `capacity` - 1 characters and the terminator; returns the full length.
int FormatFixed(double value, int decimals, char* buffer, int capacity);

/// One report line with its CR LF into `buffer` (kLineBufferSize bytes).
/// Returns its length, at most 199. A line that would be longer (only absurd
/// voltages make one) has its body cut so that it still ends in CR LF.
int FormatReportLine(const MatchRecord& match, int configuration, bool hasTypical,
                     char* buffer);

enum class ExecuteOutcome {
  InputError,    // a format or stock-list error; the status says which
  Found,         // "%d" + count suffix
  TooMany,       // 1000 matches or the report budget ran out
  NothingFound,
};

struct ExecuteResult {
  ExecuteOutcome outcome;
  int reportedLines;  // matches whose lines are in the report, in table order
};

// The fixed tables Execute works in. One static instance serves the program;
// tests make their own.
struct SearchWorkspace {
  SearchRequest request;
  StockTable stock;
  MatchTable matches;
};

/// The Execute computation: clears slots 8 and 9, parses, searches, orders,
/// renders the report into slot 8 and the status into slot 9. After it,
/// `workspace->matches` holds the ordered matches, the first `reportedLines`
/// of them being those in slot 8. On an input error the status says which,
/// the match table is empty and setting 12 keeps its previous value.
ExecuteResult Execute(AppState* state, SearchWorkspace* workspace);

/// Execute on the program's one static workspace.
ExecuteResult Execute(AppState* state);

}  // namespace tapsmith
