// What the console front end prints: the report as text, CSV or JSON, in
// UTF-8, built from the search's records.
#pragma once

#include <nlohmann/json_fwd.hpp>

#include <string>

#include "search.h"

namespace tapsmith {

// The matches to print: the first `result.shown` records of `matches`.
struct PrintedMatches {
  const MatchTable& matches;
  const ExecuteResult& result;
  int configuration;
  bool hasTypical;
  // What the designer's search adds to each match: its worst case, current
  // and yield. None in the window's search.
  DesignReports reports;
  bool r4 = false;  // a fourth resistor may join R1: its columns are printed

  bool ShowsWorstCase() const { return reports.worstCase; }
  bool ShowsCurrent() const { return reports.current; }
  bool ShowsYield() const { return reports.yield; }
};

/// The report text of slot 8 in UTF-8 with LF line ends.
std::string ReportAsText(const AppState& state);

/// The report lines of the printed matches with what the design request
/// adds to each, LF line ends: " [least .. greatest]" (six decimals),
/// " I=<current>" (four significant digits with A, mA, uA, nA or pA) and
/// " yield=<percent>%" (four decimals).
std::string MatchesAsText(const PrintedMatches& printed);

/// One match's line of MatchesAsText, without its line end.
std::string MatchLine(const PrintedMatches& printed, const MatchRecord& match);

/// A current with four significant digits and the prefix that keeps it
/// from 1 to below 1000, as the report writes it ("126.3uA"), or as a page
/// shows it, a blank before the unit and its micro sign ("126.3 µA").
enum class CurrentStyle { Report, Page };
std::string AmperesText(double amperes, CurrentStyle style = CurrentStyle::Report);

/// The status Execute gave, in UTF-8 (without a line end of its own).
std::string StatusAsText(const AppState& state, const ExecuteResult& result);

/// A header and one RFC 4180 row per printed match. The deviation is empty
/// when there is no typical voltage; with R4, r4 and r4_connection follow
/// the pair's connection (both empty where R1 stands alone); vout_min and
/// vout_max (nine decimals), current_a ("%.6e") and yield (nine decimals)
/// follow when the design request asks for them.
std::string ReportAsCsv(const PrintedMatches& printed);

/// ReportAsCsv's header and one of its rows, without line ends. A report
/// the match was not measured for (`measured`) leaves its fields empty.
std::string CsvHeader(const PrintedMatches& printed);
std::string CsvRow(const PrintedMatches& printed, const MatchRecord& match, const DesignReports& measured);

/// The fields of one match of ReportAsJson, added to `row`.
void AddMatchFields(const PrintedMatches& printed, const MatchRecord& match, nlohmann::ordered_json* row);

/// One JSON object: status, count (combinations that qualified), too_many
/// and the printed matches.
std::string ReportAsJson(const AppState& state, const PrintedMatches& printed);

}  // namespace tapsmith
