// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>

namespace engine {

// How strongly the computer plays. Normal is the plain negamax search, run
// by Board::computerSearch on the window's thread; every other level is
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
// at a threaded level; square -1 when that side has no move. Works only on its
// arguments, so it may run on any thread; returns soon after `stop` becomes
// true, with square -1. The salt makes Beginner's variety repeatable: the same
// salt and position, the same move. Normal runs the plain negamax search, which
// the flag cannot interrupt (it takes milliseconds).
Choice think(Level level, std::uint64_t own, std::uint64_t opponent, const std::atomic<bool>& stop,
             std::uint64_t salt = 0);
// The same with another budget than the level's own (a benchmark's scaled-down
// match); Beginner and Normal have no clock and ignore it.
Choice think(Level level, std::uint64_t own, std::uint64_t opponent, const std::atomic<bool>& stop,
             std::uint64_t salt, std::chrono::milliseconds budget);

} // namespace engine
