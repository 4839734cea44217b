// The resistor combination search: search inputs, the combination search, and
// the ordering and report that make up the Execute computation.
//
// Data flows one way: text slots and settings in; stock table and search
// request; match table; report (slot 8) and status (slot 9) out. Nothing here
// touches a window.
#pragma once

#include <cmath>
#include <cstdint>
#include <optional>
#include <string>

#include "app_state.h"

namespace tapsmith {

// A list text gives at most 501 entries, as the window's list always has;
// a designer's series is read whole, up to every E192 value from 1 milliohm
// to 1 teraohm (2881) and DNM.
constexpr int kListEntryLimit = 501;
constexpr int kStockCapacity = 2882;
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

// How a fourth resistor R4 joins R1: not at all (the window's divider), in
// parallel or in series. R1 and R4 are an unordered pair of the stock list,
// as R2 and R3 are.
enum class R4Mode { None, Parallel, Series };

struct MatchRecord {
  char r1[kNameSize];
  char r2[kNameSize];
  char r3[kNameSize];
  char r4[kNameSize];  // empty without R4, or with R4 = DNM in parallel
  int32_t serial;      // 1: R2 + R3 in series, 0: in parallel
  R4Mode r4Mode;       // how R4 joins R1; None: R1 alone (DNM in parallel too)
  double vout;         // rounded to 1e-9 V
  double deviation;    // percent; 0 when there is no typical voltage
  // The stock entries of R1, R4 (-1 without it), R2 and R3: production
  // order is their order.
  int16_t entry[4];
  double dividerCurrent;  // amperes through the leg to ground at nominal values
  // Set only when the design request asks for them.
  double least;     // worst case: the least and the greatest output over
  double greatest;  // the tolerance corners, rounded to 1e-9 V
  double yield;     // the share of boards inside the window
};

struct MatchTable {
  MatchRecord records[kMatchCapacity];
  int count;
};

// How the best N are chosen: closest to Vtyp, or highest yield (ties to the
// closest); and how they are shown: in that rank, or as the window orders.
enum class BestRank { Closest, Yield };
enum class BestOrder { Rank, Voltage, Resistors };

// What the designer asks of the search beyond the window's, in the user's
// words: each field as an option gave it, none implied by another. A search
// without it (a null pointer in SearchOptions) is the window's search. What
// follows from it is derived in one place: what every match reports
// (ReportsOf), and the numbers the search works with (search_kernel.h).
struct DesignRequest {
  // The worst case: every resistor within tolerancePercent of its value,
  // the reference within [vfbMin, vfbMax] (each Vfb when not given), the
  // pin current within its limits.
  std::optional<double> tolerancePercent;
  std::optional<double> vfbMin;
  std::optional<double> vfbMax;
  bool worstCaseInWindow = false;  // keep only a whole worst case inside the window
  // Bounds on the divider's current at nominal values, both included.
  std::optional<double> currentMin;
  std::optional<double> currentMax;
  // The current the feedback pin draws from the divider's middle node
  // (negative: out of the pin), in amperes: every output is computed with
  // it (0, or not given: the divider without one); its limits, each the
  // typical value when not given, are corners of the worst case.
  std::optional<double> pinCurrent;
  std::optional<double> pinCurrentMin;
  std::optional<double> pinCurrentMax;
  // The yield: the share of boards inside the window with every part and
  // the reference normally distributed, their tolerance `sigmaCount`
  // standard deviations (3 when not given); kept only from `yieldMin` on.
  bool yield = false;
  std::optional<double> sigmaCount;
  std::optional<double> yieldMin;
  // 0: the first 1000 that pass; 1..1000: the search runs to the end and
  // keeps the N best by `bestRank` (ties: the first produced), shown in
  // `bestOrder`.
  int bestCount = 0;
  BestRank bestRank = BestRank::Closest;
  BestOrder bestOrder = BestOrder::Rank;
};

// What every match of a design search carries and the outputs print.
struct DesignReports {
  bool worstCase;  // the least and the greatest output over the corners
  bool current;    // the divider's current
  bool yield;      // the share of boards inside the window
};

/// The worst case with any of its quantities (a tolerance, the reference's
/// or the pin current's limits, --worst-case); the current with a bound on
/// it; the yield when asked, or with sigma, a least yield or a ranking by it.
DesignReports ReportsOf(const DesignRequest& design);

// The bounded selection of the best N: a max-heap of record numbers, the
// farthest on top. Scratch of the search, kept in the workspace.
struct BestSelection {
  int16_t heap[kMatchCapacity];
  double distance[kMatchCapacity];  // by record number: fabs(vout - Vtyp)
  double yield[kMatchCapacity];     // by record number, when it ranks by yield
};

// Receives every combination that qualifies, in production order, from a
// search that keeps none of them: the board weighs all of a rail's
// dividers, not the first 1000. The match table stays empty.
class MatchVisitor {
 public:
  /// Whether the combination of these stock entries (R4 -1 without it) is
  /// to be weighed at all: asked of each in the window before it is
  /// measured, so that one not wanted costs next to nothing.
  virtual bool Wants(int r1, int r4, int r2, int r3) = 0;
  /// Whether any combination of R1's leg of these entries may be wanted;
  /// a leg not wanted is not searched.
  virtual bool WantsLeg(int r1, int r4) = 0;
  virtual void Visit(const MatchRecord& match) = 0;

 protected:
  ~MatchVisitor() = default;
};

// What the search needs from the settings, with out-of-range values of a
// hand-edited file already clamped.
struct SearchOptions {
  int configuration;  // 0..3 = [a]..[d]
  bool serial;        // "Serial" checked (the search drops it under R3DnmOnly)
  bool r3DnmOnly;
  const DesignRequest* design = nullptr;  // null: the window's search
  BestSelection* selection = nullptr;     // needed when design->bestCount > 0
  R4Mode r4 = R4Mode::None;
  MatchVisitor* visitor = nullptr;  // every match to it, none kept; not with a best N
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

// The parameter fields as a search read them, for a front end that says
// what was searched: the window and R1's range before they are widened.
struct FieldReadings {
  double least;     // the window's ends and its typical voltage
  double greatest;
  double typical;
  bool tolerance;   // Vo(max/%) read as a tolerance in percent
  bool reversed;    // Vo(max) lay below Vo(min) and was raised to it
  double maximumAsRead;  // Vo(max) before it was raised
  double r1Least;   // R1's range
  double r1Greatest;
  bool empty[kSlotCount];  // fields that held no number and so read as 0
};

/// Reads slots 1, 2, 5, 6, 3, 4 (in that order) into `request` and stores the
/// digit count into setting 9. On a format error sets the status slot to the
/// format-error message and the field's text, puts the field's slot into
/// `*failedSlot` when given, and returns false. Fills `*readings` when given.
bool ParseSearchRequest(AppState* state, SearchRequest* request, int* failedSlot = nullptr,
                        FieldReadings* readings = nullptr);

/// Reads a voltage field's text as the window reads its Vfb: false when it
/// is a format error.
bool ReadVoltageField(const char* text, double* volts);

/// The status of an input error, in the state's language, into `status`
/// (kSlotSize bytes, cut as a slot cuts it): for a field's slot the
/// format-error message and the field's text, for a list's slot the
/// stock-list error.
void ComposeInputError(const AppState& state, int slot, char* status);

// The units an option text may carry, each read as the fields read theirs.
enum class Unit {
  Volts,    // "m" (divides by 1000), "V", "v"
  Ohms,     // "m", "u" (divides by 1 000 000), "k", "K", "M" (multiply)
  Amperes,  // "m", "u", "n" (divides by 1 000 000 000), "p", "A"
  Percent,  // "%"
};

/// Applies the unit letter `letter` of `unit` to `*value` ("k": times 1000,
/// "m": divided by 1000, and so on); false, `*value` unchanged, when
/// `letter` is none of that unit's.
bool ApplyUnitLetter(Unit unit, char letter, double* value);

/// Reads a whole text as the fields read theirs: a number (ReadNumber),
/// blanks, then at most one scaling letter of `unit` ("m", "k", ...) and at
/// most one of its symbols after it ("V", "A", "%"): "792mV", "0.8V",
/// "10uA". Unlike a field, the text must hold a number and nothing may
/// follow the unit. Returns false then.
bool ReadQuantity(const char* text, Unit unit, double* value);

/// The letters `unit` takes, scaling letters and symbols, in table order:
/// "mVv" for volts.
std::string UnitLetterList(Unit unit);

/// Parses the chosen stock list (slot 10 + ListChoice) into `table`, sorted
/// ascending by value, at most `entryLimit` entries (the window's 501, or
/// up to kStockCapacity for a designer's series). On a negative value or
/// fewer than 2 entries sets the stock-list-error status and returns false.
bool ParseStockList(AppState* state, StockTable* table, int entryLimit = kListEntryLimit);

/// Parses one list text; the state-free core of ParseStockList. Equal values
/// keep their list order (the sort is stable). A list that reaches
/// `entryLimit` entries ends there, without DNM. Returns false, with
/// `table->count` not usable, on a negative value or fewer than 2 entries.
bool ParseStockText(const char* text, StockTable* table, int entryLimit = kListEntryLimit);

// --- Combination search -----------------------------------------------------

/// The plain triple loop: every R1 in the window, every unordered pair R2, R3,
/// in production order, stopping at the 1000th match. Kept as the reference
/// the fast search is checked against. With a design request, a combination
/// must also pass its filters; with a best N, the loop runs to the end and
/// keeps the N closest to Vtyp (ties: the first produced), in no particular
/// order. Returns how many combinations qualified (in the first case the
/// match count).
int64_t RunPlainSearch(const SearchRequest& request, const StockTable& stock,
                   const SearchOptions& options, MatchTable* matches);

/// The search Execute uses: the same matches as RunPlainSearch, for every
/// input, bit for bit, and the same count. Where the voltage is not
/// provably monotone along the table it runs the plain loop: a zero or
/// non-finite Vfb or R1, a table whose conductances or values are out of
/// order; and with a pin current I, for an R1 whose I x R1 is not finite in
/// [a], whenever I and Vfb differ in sign in [b], for an R1 that makes
/// Vfb - I x R1 zero or not finite in [c], and in [d] unless Vfb, I and the
/// window's lower end are all above 0 and the table's pair sums finite.
int64_t RunSearch(const SearchRequest& request, const StockTable& stock,
              const SearchOptions& options, MatchTable* matches);

// --- Ordering and report ----------------------------------------------------

// Scratch of the sorts.
struct OrderScratch {
  int16_t order[kMatchCapacity];
  int16_t merged[kMatchCapacity];
  MatchRecord sorted[kMatchCapacity];
};

/// Orders the matches: by voltage and names, by precision, or left in
/// production order, as the two check-box settings say. The sorts are
/// stable: ties keep production order. No allocation.
void OrderMatches(const AppState& state, MatchTable* matches, OrderScratch* scratch);

/// Orders the best N, held in any order: in their rank (the closest to
/// `typical` first, or the highest yield first, ties to the closest; then in
/// production order), in production order, or by voltage and names as the
/// window orders them.
void OrderBestMatches(BestRank rank, BestOrder order, double typical, MatchTable* matches,
                      OrderScratch* scratch);

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
  Found,         // "%d" + count suffix, or the best N shown
  TooMany,       // 1000 matches or the report budget ran out
  NothingFound,
};

struct ExecuteResult {
  ExecuteOutcome outcome;
  int reportedLines;  // matches whose lines are in the report, in table order
  int64_t qualified;  // combinations that passed: the match count, or in a
                      // best-N search all that passed
  int shown;          // matches to show: reportedLines, or the best N held
  bool bestSearch;    // the best N of a search run to the end
  int errorSlot;      // InputError: the field or list that failed; else -1
  bool rankedByYield = false;  // the best N are those of the highest yield
};

// The fixed tables Execute works in. One static instance serves the program;
// tests make their own.
struct SearchWorkspace {
  SearchRequest request;
  FieldReadings readings;
  StockTable stock;
  MatchTable matches;
  BestSelection selection;
  OrderScratch order;
};

/// The Execute computation: clears slots 8 and 9, parses, searches, orders,
/// renders the report into slot 8 and the status into slot 9. After it,
/// `workspace->matches` holds the ordered matches, the first `reportedLines`
/// of them being those in slot 8. On an input error the status says which,
/// the match table is empty and setting 12 keeps its previous value.
ExecuteResult Execute(AppState* state, SearchWorkspace* workspace);

// What a search of the console asks beyond the window's.
struct ExecuteOptions {
  const DesignRequest* design = nullptr;  // the designer's request; null: none
  int listEntryLimit = kListEntryLimit;   // the most entries the stock list gives
  R4Mode r4 = R4Mode::None;               // a fourth resistor beside R1
};

/// Execute with the designer's request. Without a best N it is the
/// window's Execute, its filters applied to each combination before it
/// counts. With one, the search runs to the end; the best N are ordered as
/// asked, their lines go into slot 8 within the report budget, and the
/// status tells how many qualified and how many are shown.
ExecuteResult Execute(AppState* state, SearchWorkspace* workspace, const DesignRequest& design);

/// Execute as the console asks it: with or without a design request, the
/// stock list read up to the options' limit (a designer's series whole).
ExecuteResult Execute(AppState* state, SearchWorkspace* workspace, const ExecuteOptions& options);

/// The status Execute writes into slot 9 for `result`, composed again from
/// the result and the state's inputs and language, into `status` (kSlotSize
/// bytes).
void ComposeStatus(const AppState& state, const ExecuteResult& result, char* status);

/// Execute on the program's one static workspace.
ExecuteResult Execute(AppState* state);

}  // namespace tapsmith
