// What a design request implies beyond its own words.
#include "search.h"

namespace tapsmith {

DesignReports ReportsOf(const DesignRequest& design) {
  DesignReports reports;
  reports.worstCase = design.tolerancePercent || design.vfbMin || design.vfbMax || design.worstCaseInWindow ||
                      design.pinCurrentMin || design.pinCurrentMax;
  reports.current = design.currentMin || design.currentMax;
  reports.yield = design.yield || design.sigmaCount || design.yieldMin || design.bestRank == BestRank::Yield;
  return reports;
}

}  // namespace tapsmith
