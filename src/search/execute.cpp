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

ExecuteResult Run(AppState* state, SearchWorkspace* workspace, const ExecuteOptions& asked) {
  const DesignRequest* design = asked.design;
  SetSlotText(state, SlotResult, "");
  SetSlotText(state, SlotStatus, "");
  workspace->matches.count = 0;
  ExecuteResult result{ExecuteOutcome::InputError, 0, 0, 0, false, -1};
  if (!ParseSearchRequest(state, &workspace->request, &result.errorSlot, &workspace->readings)) return result;
  if (!ParseStockList(state, &workspace->stock, asked.listEntryLimit)) {
    result.errorSlot = SlotList1 + ListChoiceInUse(*state);
    return result;
  }

  SetSetting(state, MatchCount, 0);
  SearchOptions options = SearchOptionsFromState(*state);
  options.r4 = asked.r4;
  if (design != nullptr) {
    options.design = design;
    options.selection = &workspace->selection;
    result.bestSearch = design->bestCount > 0;
    result.rankedByYield = result.bestSearch && design->bestRank == BestRank::Yield;
  }
  result.qualified = RunSearch(workspace->request, workspace->stock, options, &workspace->matches);
  const int count = workspace->matches.count;
  SetSetting(state, MatchCount, count);

  if (result.bestSearch) {
    OrderBestMatches(design->bestRank, design->bestOrder, workspace->request.Vtyp,
                     &workspace->matches, &workspace->order);
  } else {
    OrderMatches(*state, &workspace->matches, &workspace->order);
  }
  Report report = RenderReport(state, workspace->matches, options.configuration,
                               workspace->request.Vtyp != 0.0);
  result.reportedLines = report.lines;
  // A best-N search shows all it holds: the budget binds only slot 8.
  result.shown = result.bestSearch ? count : report.lines;

  if (result.bestSearch) {
    result.outcome = count > 0 ? ExecuteOutcome::Found : ExecuteOutcome::NothingFound;
  } else if (count < kMatchCapacity && !report.budgetExceeded && count > 0) {
    result.outcome = ExecuteOutcome::Found;
  } else if (count == kMatchCapacity || report.budgetExceeded) {
    result.outcome = ExecuteOutcome::TooMany;
  } else {
    result.outcome = ExecuteOutcome::NothingFound;
  }
  ComposeStatus(*state, result, state->slots.text[SlotStatus]);
  return result;
}

}  // namespace

void ComposeStatus(const AppState& state, const ExecuteResult& result, char* status) {
  switch (result.outcome) {
    case ExecuteOutcome::InputError:
      ComposeInputError(state, result.errorSlot, status);
      return;
    case ExecuteOutcome::Found:
      if (result.bestSearch) {
        const Message shown = result.rankedByYield ? Message::BestShownByYield : Message::BestShown;
        std::snprintf(status, kSlotSize, MessageText(shown, state), static_cast<long long>(result.qualified),
                      result.shown);
      } else {
        std::snprintf(status, kSlotSize, "%lld%s", static_cast<long long>(result.qualified),
                      MessageText(Message::CountSuffix, state));
      }
      return;
    case ExecuteOutcome::TooMany:
      std::snprintf(status, kSlotSize, "%s", MessageText(Message::TooMany, state));
      return;
    case ExecuteOutcome::NothingFound:
      break;
  }
  std::snprintf(status, kSlotSize, "%s", MessageText(Message::NothingFound, state));
}

ExecuteResult Execute(AppState* state, SearchWorkspace* workspace) { return Run(state, workspace, {}); }

ExecuteResult Execute(AppState* state, SearchWorkspace* workspace, const DesignRequest& design) {
  return Run(state, workspace, {&design, kListEntryLimit, R4Mode::None});
}

ExecuteResult Execute(AppState* state, SearchWorkspace* workspace, const ExecuteOptions& options) {
  return Run(state, workspace, options);
}

ExecuteResult Execute(AppState* state) {
  static SearchWorkspace workspace;
  return Execute(state, &workspace);
}

}  // namespace tapsmith
