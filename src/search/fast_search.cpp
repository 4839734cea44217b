#include "search_kernel.h"

namespace tapsmith {

void RunSearch(const SearchRequest& request, const StockTable& stock,
               const SearchOptions& options, MatchTable* matches) {
  RunPlainSearch(request, stock, options, matches);
}

}  // namespace tapsmith
