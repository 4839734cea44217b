// The plain search: every leg of R1 in its window, every unordered pair R2, R3.
#include "search_kernel.h"

namespace tapsmith {

namespace {

template <int kForm>
struct PlainRun {
  static void Go(kernel::SearchPass* pass) {
    kernel::EachLeg(*pass, [&](const kernel::Leg& leg) { return kernel::PlainPairsForLeg<kForm>(pass, leg); });
  }
};

}  // namespace

int64_t RunPlainSearch(const SearchRequest& request, const StockTable& stock,
                   const SearchOptions& options, MatchTable* matches) {
  kernel::SearchPass pass;
  int form = kernel::BeginPass(request, stock, options, matches, &pass);
  kernel::DispatchForm<PlainRun>(form, &pass);
  return kernel::QualifiedCount(pass);
}

}  // namespace tapsmith
