// The Execute computation: inputs, search, order, report and status.
#include <cstdio>
#include <cstring>

#include "message_table.h"
#include "search.h"

namespace tapsmith {

namespace {

struct Report {
  int lines;
  bool budgetExceeded;
};

// Renders the lines into the result slot, whole lines only, within the
// report budget.
Report RenderReport(AppState* state, const MatchTable& matches, int configuration,
                    bool hasTypical) {
  char* result = state->slots.text[SlotResult];
  int used = 0;
  int budget = kReportBudget;
  Report report{0, false};
  char line[kLineBufferSize];
  for (int m = 0; m < matches.count; ++m) {
    int length = FormatReportLine(matches.records[m], configuration, hasTypical, line);
    budget -= length;
    if (budget < 0) {
      report.budgetExceeded = true;
      break;
    }
    // The budget keeps `used` within kReportBudget, below the slot size.
    std::memcpy(result + used, line, static_cast<size_t>(length));
    used += length;
    ++report.lines;
  }
  result[used] = '\0';
  return report;
}

}  // namespace

ExecuteResult Execute(AppState* state, SearchWorkspace* workspace) {
  SetSlotText(state, SlotResult, "");
  SetSlotText(state, SlotStatus, "");
  workspace->matches.count = 0;
  if (!ParseSearchRequest(state, &workspace->request) ||
      !ParseStockList(state, &workspace->stock)) {
    return {ExecuteOutcome::InputError, 0};
  }

  SetSetting(state, MatchCount, 0);
  SearchOptions options = SearchOptionsFromState(*state);
  RunSearch(workspace->request, workspace->stock, options, &workspace->matches);
  const int count = workspace->matches.count;
  SetSetting(state, MatchCount, count);

  OrderMatches(*state, &workspace->matches);
  Report report = RenderReport(state, workspace->matches, options.configuration,
                               workspace->request.Vtyp != 0.0);

  if (count < kMatchCapacity && !report.budgetExceeded && count > 0) {
    char status[64];
    std::snprintf(status, sizeof status, "%d", count);
    SetSlotText(state, SlotStatus, status);
    AppendSlotText(state, SlotStatus, MessageText(Message::CountSuffix, *state));
    return {ExecuteOutcome::Found, report.lines};
  }
  if (count == kMatchCapacity || report.budgetExceeded) {
    SetSlotText(state, SlotStatus, MessageText(Message::TooMany, *state));
    return {ExecuteOutcome::TooMany, report.lines};
  }
  SetSlotText(state, SlotStatus, MessageText(Message::NothingFound, *state));
  return {ExecuteOutcome::NothingFound, report.lines};
}

ExecuteResult Execute(AppState* state) {
  static SearchWorkspace workspace;
  return Execute(state, &workspace);
}

}  // namespace tapsmith
