// What the console front end prints: the report as text, CSV or JSON, in
// UTF-8.
#pragma once

#include <string>

#include "search.h"

namespace tapsmith {

/// The report text of slot 8 in UTF-8 with LF line ends.
std::string ReportAsText(const AppState& state);

/// The status of slot 9 in UTF-8 (without a line end of its own).
std::string StatusAsText(const AppState& state);

/// A header and one RFC 4180 row per reported match, in report order: the
/// first `result.reportedLines` records of `matches`. The deviation is empty
/// when there is no typical voltage.
std::string ReportAsCsv(const MatchTable& matches, const ExecuteResult& result, bool hasTypical);

/// One JSON object: status, count (matches found), too_many and the reported
/// matches.
std::string ReportAsJson(const AppState& state, const MatchTable& matches,
                         const ExecuteResult& result, bool hasTypical);

}  // namespace tapsmith
