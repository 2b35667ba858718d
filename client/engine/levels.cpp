// SPDX-License-Identifier: GPL-3.0-or-later
#include "levels.h"

#include "strongsearch.h"

namespace engine {

std::chrono::milliseconds budget(Level level)
{
    switch (level) {
    case Level::Beginner: return std::chrono::milliseconds(5);
    case Level::Normal: return std::chrono::milliseconds(0);
    case Level::Strong: return std::chrono::milliseconds(100);
    case Level::Expert: return std::chrono::milliseconds(1000);
    case Level::Master: return std::chrono::milliseconds(5000);
    }
    return std::chrono::milliseconds(0);
}

Choice think(Level level, std::uint64_t own, std::uint64_t opponent, const std::atomic<bool>& stop,
             std::uint64_t)
{
    StrongSearch search(budget(level));
    Choice choice;
    choice.square = search.choose(own, opponent);
    if (!search.lines().empty())
        choice.value = search.lines().back().value;
    if (stop.load())
        choice.square = -1;
    return choice;
}

} // namespace engine
