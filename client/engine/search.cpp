#include "search.h"

namespace {

using Root = int (*)(std::uint64_t, std::uint64_t, int, int, int, int&, int&, std::uint64_t&);

// Chosen once: the faster build when the processor has the instructions.
Root pickRoot()
{
#ifdef ENGINE_HAVE_V3
    __builtin_cpu_init();
#if defined(__clang__) || __GNUC__ < 12
    // No level names here; processors with these have the rest of the level.
    const bool v3 = __builtin_cpu_supports("avx2") && __builtin_cpu_supports("bmi")
        && __builtin_cpu_supports("bmi2") && __builtin_cpu_supports("fma")
        && __builtin_cpu_supports("popcnt");
#else
    const bool v3 = __builtin_cpu_supports("x86-64-v3");
#endif
    if (v3)
        return engine::detail::searchRootV3;
#endif
    return engine::detail::searchRootGeneric;
}

} // namespace

int engine::searchRoot(std::uint64_t p, std::uint64_t o, int diff, int sum, int depth, int& bestX,
                       int& bestY, std::uint64_t& nodes)
{
    static const Root root = pickRoot();
    return root(p, o, diff, sum, depth, bestX, bestY, nodes);
}
