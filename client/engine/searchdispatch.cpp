// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/search.h"

namespace engine {

namespace {

using Root = int (*)(std::uint64_t, std::uint64_t, int, int, int, int&, int&, std::uint64_t&);

// Chosen once: the processor does not change while the program runs.
Root chosen()
{
#if defined(ARDESIA_SEARCH_V3)
    __builtin_cpu_init();
    if (__builtin_cpu_supports("avx2") && __builtin_cpu_supports("bmi") && __builtin_cpu_supports("bmi2")
        && __builtin_cpu_supports("popcnt"))
        return &v3::searchRoot;
#endif
    return &generic::searchRoot;
}

const Root root = chosen();

} // namespace

int searchRoot(std::uint64_t p, std::uint64_t o, int diff, int sum, int depth, int& bestX, int& bestY,
               std::uint64_t& nodes)
{
    return root(p, o, diff, sum, depth, bestX, bestY, nodes);
}

const char* searchFlavour() { return root == &generic::searchRoot ? "generic" : "x86-64-v3"; }

} // namespace engine
