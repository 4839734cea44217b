// The six parameter texts and a stock list from arbitrary bytes, through the
// whole Execute computation. Checks what the user relies on: the report is
// whole CR LF lines of the matches within its budget, the status agrees with
// the count, an input error leaves no report and the previous count; and the
// fast search finds exactly what the plain loop finds, with the designer's
// rules too.
//
// Input layout:
//   byte 0    Configuration (signed: out-of-range values as a hand-edited
//             file may hold them)
//   byte 1    bits 0-1 SerialMode, 2-3 R3DnmOnly, 4 SortByResistors,
//             5 SortByPrecision, 6-7 Language (each value as stored)
//   byte 2    ListChoice (signed); bit 7 keeps the chosen list's own text
//   the rest  Vo(min/typ), Vo(max/%), R1(min), R1(max), Vfb, digits, each
//             ended by a NUL byte, then the stock list; fields the input
//             does not reach keep their defaults. The list in use, the
//             input's or a built-in one, is cut after kMaxListLines lines:
//             longer lists reach no other code and only slow each run.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "app_state.h"
#include "fuzz_state.h"
#include "message_table.h"
#include "search.h"

namespace {

using namespace tapsmith;

constexpr int kMaxListLines = 60;
constexpr int kDesignListEntries = 24;  // the longest list searched with design rules
constexpr int kFourResistorEntries = 12;  // the longest searched with R4 beside R1
constexpr int32_t kPreviousMatchCount = 777;  // what an input error must leave

const int kFieldSlots[] = {
    SlotVoMinTyp,
    SlotVoMaxPercent,
    SlotR1Min,
    SlotR1Max,
    SlotVfb,
    SlotDigits,
};

AppState gState;
SearchWorkspace gWorkspace;
MatchTable gPlain;
MatchTable gFast;

[[noreturn]] void Fail(const char* what, long detail) {
  std::fprintf(stderr, "execute_fuzzer: %s (%ld)\n", what, detail);
  std::abort();
}

bool SameRecord(const MatchRecord& a, const MatchRecord& b) {
  return std::memcmp(a.r1, b.r1, kNameSize) == 0 && std::memcmp(a.r2, b.r2, kNameSize) == 0 &&
         std::memcmp(a.r3, b.r3, kNameSize) == 0 && std::memcmp(a.r4, b.r4, kNameSize) == 0 &&
         a.serial == b.serial && a.r4Mode == b.r4Mode && std::memcmp(a.entry, b.entry, sizeof a.entry) == 0 &&
         std::memcmp(&a.vout, &b.vout, sizeof a.vout) == 0 &&
         std::memcmp(&a.deviation, &b.deviation, sizeof a.deviation) == 0;
}

// Cuts the text of the list in use after kMaxListLines lines.
void CutListInUse() {
  int slot = SlotList1 + ListChoiceInUse(gState);
  const char* text = SlotText(gState, slot);
  const char* end = text;
  for (int lines = 0; *end != '\0' && lines < kMaxListLines; ++end) {
    if (*end == '\n') ++lines;
  }
  SetSlotBytes(&gState, slot, text, static_cast<size_t>(end - text));
}

// Reads the fields and the list out of the input into the state.
void ReadInput(const uint8_t* data, size_t size) {
  if (size < 3) return;
  SetSetting(&gState, Configuration, static_cast<int8_t>(data[0]));
  SetSetting(&gState, SerialMode, data[1] & 3);
  SetSetting(&gState, R3DnmOnly, (data[1] >> 2) & 3);
  SetSetting(&gState, SortByResistors, (data[1] >> 4) & 1);
  SetSetting(&gState, SortByPrecision, (data[1] >> 5) & 1);
  SetSetting(&gState, Language, (data[1] >> 6) & 3);
  SetSetting(&gState, ListChoice, static_cast<int8_t>(data[2] & 0x7F) - 8);
  bool ownList = (data[2] & 0x80) == 0;
  SetSetting(&gState, MatchCount, kPreviousMatchCount);

  const char* p = reinterpret_cast<const char*>(data) + 3;
  const char* end = reinterpret_cast<const char*>(data) + size;
  for (int slot : kFieldSlots) {
    if (p >= end) return;
    const char* nul = static_cast<const char*>(std::memchr(p, '\0', static_cast<size_t>(end - p)));
    const char* fieldEnd = nul != nullptr ? nul : end;
    SetSlotBytes(&gState, slot, p, static_cast<size_t>(fieldEnd - p));
    p = nul != nullptr ? nul + 1 : end;
  }
  if (ownList) SetSlotBytes(&gState, SlotList1 + ListChoiceInUse(gState), p, static_cast<size_t>(end - p));
}

void FillState(const uint8_t* data, size_t size) {
  fuzzing::RestoreDefaults(&gState);
  ReadInput(data, size);
  CutListInUse();
}

void CheckStatus(const ExecuteResult& result) {
  const char* status = SlotText(gState, SlotStatus);
  const int count = gWorkspace.matches.count;
  const int language = GetSetting(gState, Language);
  switch (result.outcome) {
    case ExecuteOutcome::InputError: {
      const char* formatError = MessageText(Message::FormatError, language);
      bool formatStatus = std::strncmp(status, formatError, std::strlen(formatError)) == 0;
      bool listStatus = std::strcmp(status, MessageText(Message::StockListError, language)) == 0;
      if (!formatStatus && !listStatus) Fail("input error without its message", 0);
      if (GetSetting(gState, MatchCount) != kPreviousMatchCount) Fail("input error changed MatchCount", 0);
      if (SlotText(gState, SlotResult)[0] != '\0') Fail("input error left a report", 0);
      return;
    }
    case ExecuteOutcome::Found: {
      if (count <= 0 || count >= kMatchCapacity) Fail("found with a count out of range", count);
      if (result.reportedLines != count) Fail("found but not every line reported", result.reportedLines);
      char expected[64];
      std::snprintf(expected, sizeof expected, "%d%s", count, MessageText(Message::CountSuffix, language));
      if (std::strcmp(status, expected) != 0) Fail("count status wrong", count);
      break;
    }
    case ExecuteOutcome::TooMany:
      if (count != kMatchCapacity && result.reportedLines >= count) Fail("too many without cause", count);
      if (std::strcmp(status, MessageText(Message::TooMany, language)) != 0) Fail("too-many status wrong", 0);
      break;
    case ExecuteOutcome::NothingFound:
      if (count != 0) Fail("nothing found with matches", count);
      if (std::strcmp(status, MessageText(Message::NothingFound, language)) != 0) Fail("nothing-found status wrong", 0);
      break;
  }
  if (GetSetting(gState, MatchCount) != count) Fail("MatchCount differs from the table", count);
  if (count < 0 || count > kMatchCapacity) Fail("match count out of range", count);
}

// The report is exactly the lines of the first reportedLines matches, within
// the budget, and stops only where the next line would overrun it.
void CheckReport(const ExecuteResult& result, bool hasTypical) {
  const char* report = SlotText(gState, SlotResult);
  const size_t length = std::strlen(report);
  if (length > static_cast<size_t>(kReportBudget)) Fail("report over its budget", static_cast<long>(length));
  const SearchOptions options = SearchOptionsFromState(gState);
  char line[kLineBufferSize];
  size_t at = 0;
  for (int m = 0; m < result.reportedLines; ++m) {
    int lineLength = FormatReportLine(gWorkspace.matches.records[m], options.configuration, hasTypical, line);
    if (lineLength < 2 || lineLength >= kLineBufferSize) Fail("line length out of range", lineLength);
    if (std::memcmp(line + lineLength - 2, "\r\n", 2) != 0) Fail("line without CR LF", m);
    if (std::memchr(line, '\n', static_cast<size_t>(lineLength - 1)) != nullptr ||
        std::memchr(line, '\r', static_cast<size_t>(lineLength - 2)) != nullptr) {
      Fail("line break inside a line", m);
    }
    if (at + static_cast<size_t>(lineLength) > length ||
        std::memcmp(report + at, line, static_cast<size_t>(lineLength)) != 0) {
      Fail("report line differs from its match", m);
    }
    at += static_cast<size_t>(lineLength);
  }
  if (at != length) Fail("report holds more than its lines", static_cast<long>(at));
  if (result.reportedLines < gWorkspace.matches.count) {
    int next = FormatReportLine(gWorkspace.matches.records[result.reportedLines], options.configuration,
                                hasTypical, line);
    if (length + static_cast<size_t>(next) <= static_cast<size_t>(kReportBudget)) {
      Fail("report stopped while the next line fitted", result.reportedLines);
    }
  }
}

void CheckVoltageOrder() {
  if (GetSetting(gState, SortByResistors) != 0 || GetSetting(gState, SortByPrecision) != 0) return;
  const MatchTable& matches = gWorkspace.matches;
  for (int m = 1; m < matches.count; ++m) {
    if (matches.records[m].vout < matches.records[m - 1].vout) Fail("voltage order broken", m);
  }
}

void CheckFastSearchAgainstPlain() {
  const SearchOptions options = SearchOptionsFromState(gState);
  RunPlainSearch(gWorkspace.request, gWorkspace.stock, options, &gPlain);
  RunSearch(gWorkspace.request, gWorkspace.stock, options, &gFast);
  if (gPlain.count != gFast.count) Fail("fast search count differs from the plain loop", gFast.count);
  for (int m = 0; m < gPlain.count; ++m) {
    if (!SameRecord(gPlain.records[m], gFast.records[m])) Fail("fast search record differs", m);
  }
  // Execute searched with the same inputs: the same matches, now ordered.
  if (gPlain.count != gWorkspace.matches.count) Fail("Execute found a different count", gPlain.count);
}

// The designer's rules, drawn from a hash of the input so that the corpus
// keeps its layout: the fast search must count and select exactly as the
// plain loop does.
DesignRequest gDesign;
BestSelection gSelection;
OrderScratch gOrder;

uint64_t Hash(const uint8_t* data, size_t size) {
  uint64_t hash = 14695981039346656037ull;
  for (size_t n = 0; n < size; ++n) hash = (hash ^ data[n]) * 1099511628211ull;
  return hash;
}

void CheckDesignSearchAgainstPlain(uint64_t hash) {
  static const int kBest[] = {0, 1, 3, 10, 1000};
  static const double kPercent[] = {0.0, 1.0, 5.0, 50.0};
  static const double kCurrentMax[] = {HUGE_VAL, 1e-3, 1e-6, 0.0};
  gDesign = DesignRequest();
  gDesign.tolerancePercent = kPercent[(hash >> 8) & 3];
  gDesign.vfbMin = gWorkspace.request.Vfb * ((hash >> 10) & 1 ? 0.99 : 1.0);
  gDesign.worstCaseInWindow = (hash >> 11) & 1;
  if ((hash >> 12) & 1) {
    gDesign.currentMin = (hash >> 13) & 1 ? 0.0 : -HUGE_VAL;
    gDesign.currentMax = kCurrentMax[(hash >> 14) & 3];
  }
  gDesign.bestCount = kBest[((hash >> 16) & 0xFF) % 5];
  // A pin current of either sign, and the yield, filtering and ranking.
  static const double kPinShare[] = {0.0, 1e-3, 0.1, -0.1};
  if ((hash >> 24) & 1) {
    gDesign.pinCurrent = gWorkspace.request.Vfb / 1000.0 * kPinShare[(hash >> 25) & 3];
    gDesign.pinCurrentMax = *gDesign.pinCurrent * 2.0;
  }
  gDesign.yield = (hash >> 27) & 1;
  if ((hash >> 28) & 1) gDesign.yieldMin = 0.5;
  if ((hash >> 29) & 1) gDesign.bestRank = BestRank::Yield;
  SearchOptions options = SearchOptionsFromState(gState);
  options.design = &gDesign;
  options.selection = &gSelection;
  // R4 beside R1, in either connection, where the four-fold loop stays short.
  static const R4Mode kR4Modes[] = {R4Mode::None, R4Mode::None, R4Mode::Parallel, R4Mode::Series};
  if (gWorkspace.stock.count <= kFourResistorEntries) options.r4 = kR4Modes[(hash >> 30) & 3];
  const int64_t plain = RunPlainSearch(gWorkspace.request, gWorkspace.stock, options, &gPlain);
  const int64_t fast = RunSearch(gWorkspace.request, gWorkspace.stock, options, &gFast);
  if (plain != fast) Fail("design search counts differ", fast);
  if (gPlain.count != gFast.count) Fail("design search keeps a different number", gFast.count);
  OrderBestMatches(BestRank::Closest, BestOrder::Resistors, gWorkspace.request.Vtyp, &gPlain, &gOrder);
  OrderBestMatches(BestRank::Closest, BestOrder::Resistors, gWorkspace.request.Vtyp, &gFast, &gOrder);
  for (int m = 0; m < gPlain.count; ++m) {
    const MatchRecord& a = gPlain.records[m];
    const MatchRecord& b = gFast.records[m];
    if (!SameRecord(a, b) || std::memcmp(&a.least, &b.least, sizeof a.least) != 0 ||
        std::memcmp(&a.greatest, &b.greatest, sizeof a.greatest) != 0 ||
        std::memcmp(&a.dividerCurrent, &b.dividerCurrent, sizeof a.dividerCurrent) != 0 ||
        std::memcmp(&a.yield, &b.yield, sizeof a.yield) != 0) {
      Fail("design search record differs", m);
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FillState(data, size);
  ExecuteResult result = Execute(&gState, &gWorkspace);
  CheckStatus(result);
  if (result.outcome == ExecuteOutcome::InputError) return 0;
  CheckReport(result, gWorkspace.request.Vtyp != 0.0);
  CheckVoltageOrder();
  CheckFastSearchAgainstPlain();
  // A best-N plain loop runs to the end, through every combination: on short
  // lists only, and for one input in four, it costs less than the rest.
  const uint64_t hash = Hash(data, size);
  if ((hash & 3) == 0 && gWorkspace.stock.count <= kDesignListEntries) {
    CheckDesignSearchAgainstPlain(hash);
  }
  return 0;
}
