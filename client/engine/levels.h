// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>

namespace engine {

// How strongly the computer plays. Normal is the plain described search, run
// by Board::computerPlay on the window's thread; every other level is
// searched by think() on a worker thread.
enum class Level { Beginner, Normal, Strong, Expert, Master };

struct Choice
{
    int square = -1; // x * 8 + y; -1 when the side has no move or was stopped
    int value = 0;
};

// The time a level may think for one move (zero for Normal, which has no clock).
std::chrono::milliseconds budget(Level level);

// The move of the side owning `own` (bitboards, square (x, y) at bit x * 8 + y)
// at a threaded level. Works only on its arguments, so it may run on any
// thread; returns soon after `stop` becomes true, with square -1. The seed
// makes the weaker levels' variety repeatable.
Choice think(Level level, std::uint64_t own, std::uint64_t opponent, const std::atomic<bool>& stop,
             std::uint64_t seed = 0);

} // namespace engine
