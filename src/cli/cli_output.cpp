#include "cli_output.h"

#include <nlohmann/json.hpp>

#include <cmath>
#include <cstdio>
#include <memory>

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

// How R4 joins R1; null where R1 stands alone.
const char* R4Connection(const MatchRecord& match) {
  return match.r4Mode == R4Mode::None ? nullptr : match.r4Mode == R4Mode::Series ? "series" : "parallel";
}

std::string CurrentExponent(double amperes) {
  char text[48];
  std::snprintf(text, sizeof text, "%.6e", amperes);
  return text;
}

}  // namespace

std::string AmperesText(double amperes, CurrentStyle style) {
  struct Prefix {
    double scale;
    const char* unit;
    const char* pageUnit;
  };
  static const Prefix kPrefixes[] = {
      {1.0, "A", " A"}, {1e-3, "mA", " mA"}, {1e-6, "uA", " \xC2\xB5" "A"}, {1e-9, "nA", " nA"}, {1e-12, "pA", " pA"}};
  const Prefix* prefix = &kPrefixes[0];
  for (const Prefix& candidate : kPrefixes) {
    prefix = &candidate;
    if (!(std::fabs(amperes) < candidate.scale)) break;
  }
  if (amperes == 0.0 || !std::isfinite(amperes)) prefix = &kPrefixes[0];
  char text[48];
  std::snprintf(text, sizeof text, "%.4g%s", amperes / prefix->scale,
                style == CurrentStyle::Report ? prefix->unit : prefix->pageUnit);
  return text;
}

std::string ReportAsText(const AppState& state) {
  return WithLfLineEnds(Cp932ToUtf8(SlotText(state, SlotResult)));
}

std::string MatchLine(const PrintedMatches& printed, const MatchRecord& match) {
  char line[kLineBufferSize];
  int length = FormatReportLine(match, printed.configuration, printed.hasTypical, line);
  std::string text = Cp932ToUtf8(std::string_view(line, static_cast<size_t>(length - 2)));  // without CR LF
  if (printed.ShowsWorstCase()) text += " [" + Fixed(match.least, 6) + " .. " + Fixed(match.greatest, 6) + "]";
  if (printed.ShowsCurrent()) text += " I=" + AmperesText(match.dividerCurrent);
  if (printed.ShowsYield()) text += " yield=" + Fixed(match.yield * 100.0, 4) + "%";
  return text;
}

std::string MatchesAsText(const PrintedMatches& printed) {
  std::string text;
  for (int m = 0; m < printed.result.shown; ++m) text += MatchLine(printed, printed.matches.records[m]) + '\n';
  return text;
}

namespace {

std::string ComposedStatus(const AppState& state, const ExecuteResult& result) {
  // A status holds up to a whole slot: off the stack.
  auto status = std::make_unique<char[]>(kSlotSize);
  ComposeStatus(state, result, status.get());
  return Cp932ToUtf8(status.get());
}

}  // namespace

std::string StatusAsText(const AppState& state, const ExecuteResult& result) {
  return WithLfLineEnds(ComposedStatus(state, result));
}

std::string CsvHeader(const PrintedMatches& printed) {
  std::string csv = printed.r4 ? "r1,r2,r3,connection,r4,r4_connection,vout,deviation_percent"
                               : "r1,r2,r3,connection,vout,deviation_percent";
  if (printed.ShowsWorstCase()) csv += ",vout_min,vout_max";
  if (printed.ShowsCurrent()) csv += ",current_a";
  if (printed.ShowsYield()) csv += ",yield";
  return csv;
}

std::string CsvRow(const PrintedMatches& printed, const MatchRecord& match, const DesignReports& measured) {
  std::string csv = CsvField(Cp932ToUtf8(match.r1)) + ',' + CsvField(Cp932ToUtf8(match.r2)) + ',' +
                    CsvField(Cp932ToUtf8(match.r3)) + ',' + Connection(match) + ',';
  if (printed.r4) {
    const char* joined = R4Connection(match);
    csv += CsvField(Cp932ToUtf8(match.r4)) + ',' + (joined != nullptr ? joined : "") + ',';
  }
  csv += Fixed(match.vout, 9) + ',' + (printed.hasTypical ? Fixed(match.deviation, 6) : std::string());
  if (printed.ShowsWorstCase()) {
    csv += measured.worstCase ? ',' + Fixed(match.least, 9) + ',' + Fixed(match.greatest, 9) : std::string(",,");
  }
  if (printed.ShowsCurrent()) csv += ',' + (measured.current ? CurrentExponent(match.dividerCurrent) : std::string());
  if (printed.ShowsYield()) csv += ',' + (measured.yield ? Fixed(match.yield, 9) : std::string());
  return csv;
}

std::string ReportAsCsv(const PrintedMatches& printed) {
  std::string csv = CsvHeader(printed) + "\n";
  for (int i = 0; i < printed.result.shown; ++i) {
    csv += CsvRow(printed, printed.matches.records[i], printed.reports) + "\n";
  }
  return csv;
}

void AddMatchFields(const PrintedMatches& printed, const MatchRecord& match, nlohmann::ordered_json* row) {
  (*row)["r1"] = Cp932ToUtf8(match.r1);
  (*row)["r2"] = Cp932ToUtf8(match.r2);
  (*row)["r3"] = Cp932ToUtf8(match.r3);
  (*row)["connection"] = Connection(match);
  if (printed.r4) {
    const char* joined = R4Connection(match);
    (*row)["r4"] = joined != nullptr ? nlohmann::ordered_json(Cp932ToUtf8(match.r4)) : nullptr;
    (*row)["r4_connection"] = joined != nullptr ? nlohmann::ordered_json(joined) : nullptr;
  }
  (*row)["vout"] = match.vout;
  (*row)["deviation_percent"] = printed.hasTypical ? nlohmann::ordered_json(match.deviation) : nullptr;
  if (printed.ShowsWorstCase()) {
    (*row)["vout_min"] = match.least;
    (*row)["vout_max"] = match.greatest;
  }
  if (printed.ShowsCurrent()) (*row)["current_a"] = match.dividerCurrent;
  if (printed.ShowsYield()) (*row)["yield"] = match.yield;
}

std::string ReportAsJson(const AppState& state, const PrintedMatches& printed) {
  const ExecuteResult& result = printed.result;
  nlohmann::ordered_json report;
  report["status"] = ComposedStatus(state, result);
  report["count"] = result.outcome == ExecuteOutcome::InputError ? 0 : result.qualified;
  report["too_many"] = result.outcome == ExecuteOutcome::TooMany;
  report["matches"] = nlohmann::ordered_json::array();
  for (int i = 0; i < result.shown; ++i) {
    nlohmann::ordered_json row;
    AddMatchFields(printed, printed.matches.records[i], &row);
    report["matches"].push_back(row);
  }
  // The names went through the code-page conversion and are valid UTF-8;
  // replacing keeps a stray byte from ever throwing.
  return report.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) + "\n";
}

}  // namespace tapsmith
