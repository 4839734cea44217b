#include "cli_output.h"

#include <nlohmann/json.hpp>

#include "text_encoding.h"

namespace tapsmith {

namespace {

std::string WithLfLineEnds(std::string text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    out.push_back(text[i]);
  }
  return out;
}

std::string CsvField(const std::string& text) {
  if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
  std::string quoted = "\"";
  for (char c : text) {
    if (c == '"') quoted.push_back('"');
    quoted.push_back(c);
  }
  quoted.push_back('"');
  return quoted;
}

std::string Fixed(double value, int decimals) {
  char buffer[kLineBufferSize];
  FormatFixed(value, decimals, buffer, sizeof buffer);
  return buffer;
}

const char* Connection(const MatchRecord& match) { return match.serial ? "series" : "parallel"; }

int FoundCount(const AppState& state, const ExecuteResult& result) {
  return result.outcome == ExecuteOutcome::InputError ? 0 : GetSetting(state, MatchCount);
}

}  // namespace

std::string ReportAsText(const AppState& state) {
  return WithLfLineEnds(Cp932ToUtf8(SlotText(state, SlotResult)));
}

std::string StatusAsText(const AppState& state) {
  return WithLfLineEnds(Cp932ToUtf8(SlotText(state, SlotStatus)));
}

std::string ReportAsCsv(const MatchTable& matches, const ExecuteResult& result, bool hasTypical) {
  std::string csv = "r1,r2,r3,connection,vout,deviation_percent\n";
  for (int i = 0; i < result.reportedLines; ++i) {
    const MatchRecord& match = matches.records[i];
    csv += CsvField(Cp932ToUtf8(match.r1)) + ',' + CsvField(Cp932ToUtf8(match.r2)) + ',' +
           CsvField(Cp932ToUtf8(match.r3)) + ',' + Connection(match) + ',' + Fixed(match.vout, 9) +
           ',' + (hasTypical ? Fixed(match.deviation, 6) : std::string()) + "\n";
  }
  return csv;
}

std::string ReportAsJson(const AppState& state, const MatchTable& matches,
                         const ExecuteResult& result, bool hasTypical) {
  nlohmann::ordered_json report;
  report["status"] = Cp932ToUtf8(SlotText(state, SlotStatus));
  report["count"] = FoundCount(state, result);
  report["too_many"] = result.outcome == ExecuteOutcome::TooMany;
  report["matches"] = nlohmann::ordered_json::array();
  for (int i = 0; i < result.reportedLines; ++i) {
    const MatchRecord& match = matches.records[i];
    nlohmann::ordered_json row;
    row["r1"] = Cp932ToUtf8(match.r1);
    row["r2"] = Cp932ToUtf8(match.r2);
    row["r3"] = Cp932ToUtf8(match.r3);
    row["connection"] = Connection(match);
    row["vout"] = match.vout;
    row["deviation_percent"] = hasTypical ? nlohmann::ordered_json(match.deviation) : nullptr;
    report["matches"].push_back(row);
  }
  // The names went through the code-page conversion and are valid UTF-8;
  // replacing keeps a stray byte from ever throwing.
  return report.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) + "\n";
}

}  // namespace tapsmith
