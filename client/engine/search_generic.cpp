#include "search.h"
#include "search_core.h"

int engine::detail::searchRootGeneric(std::uint64_t p, std::uint64_t o, int diff, int sum,
                                      int depth, int& bestX, int& bestY, std::uint64_t& nodes)
{
    return rootSearch(p, o, diff, sum, depth, bestX, bestY, nodes);
}
