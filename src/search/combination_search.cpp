// The plain search: every R1 in its window, every unordered pair R2, R3.
#include "search_kernel.h"

namespace tapsmith {

namespace {

template <int kForm>
struct PlainRun {
  static void Go(kernel::SearchPass* pass) {
    for (int i = 0; i < pass->count - 1; ++i) {
      if (!kernel::R1InWindow(*pass, pass->stock->entries[i].value)) continue;
      if (kernel::PlainPairsForR1<kForm>(pass, i)) return;
    }
  }
};

}  // namespace

int RunPlainSearch(const SearchRequest& request, const StockTable& stock,
                   const SearchOptions& options, MatchTable* matches) {
  kernel::SearchPass pass;
  int form = kernel::BeginPass(request, stock, options, matches, &pass);
  kernel::DispatchForm<PlainRun>(form, &pass);
  return kernel::QualifiedCount(pass);
}

}  // namespace tapsmith
