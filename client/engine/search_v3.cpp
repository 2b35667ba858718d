// The same search built for x86-64-v3. The search blocks the window; this
// build is about a tenth faster: hardware popcount instead of a library call,
// and andn/blsi/lzcnt in the ray scans.
#include "search.h"
#include "search_core.h"

int engine::detail::searchRootV3(std::uint64_t p, std::uint64_t o, int diff, int sum, int depth,
                                 int& bestX, int& bestY, std::uint64_t& nodes)
{
    return rootSearch(p, o, diff, sum, depth, bestX, bestY, nodes);
}
