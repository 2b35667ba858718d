// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/levels.h"

#include "engine/bitboard.h"
#include "engine/board.h"
#include "engine/patterns.h"
#include "engine/strongsearch.h"

#include <algorithm>
#include <vector>

namespace engine {

namespace {

// The stronger levels differ in time and in the size of their hash tables
// (Master's 2 x 24 MB). All use the trained evaluation when it is installed,
// ProbCut, tables kept from one reply to the next, and an exact solve started
// when its estimated cost fits the time left, after a win/loss/draw one:
// Master so gets the deepest exact endgame its budget allows.
SearchLimits limitsOf(Level level)
{
    SearchLimits limits;
    limits.budget = budget(level);
    limits.weights = patterns::installed();
    limits.keepTables = true;
    limits.probCut = limits.weights ? 1.5 : 0.0;
    limits.winLossFirst = true;
    limits.estimateSolve = true;
    limits.keepPartial = true;
    limits.solveEmpties = 30;
    switch (level) {
    case Level::Strong:
        limits.tableBits = 16;
        break;
    case Level::Expert:
        limits.tableBits = 18;
        break;
    default:
        limits.tableBits = 20;
        break;
    }
    return limits;
}

// A well-mixed 64-bit word from another (splitmix64's finaliser).
std::uint64_t mix(std::uint64_t z)
{
    z += 0x9E3779B97F4A7C15ULL;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

// Disc difference for the side owning p after depth more plies of best play
// by that measure; a finished game outweighs any count on the way.
int discSearch(Bits p, Bits o, int depth)
{
    if (depth == 0)
        return popCount(p) - popCount(o);
    const Bits moves = legalMoves(p, o);
    if (!moves) {
        if (!legalMoves(o, p))
            return 100 * (popCount(p) - popCount(o));
        return -discSearch(o, p, depth - 1);
    }
    int best = -100 * 64;
    for (Bits m = moves; m; m &= m - 1) {
        const int sq = lowestSquare(m);
        const Bits f = flips(p, o, sq);
        const Next after = next(p, o, sq, f);
        best = std::max(best, -discSearch(after.p, after.o, depth - 1));
    }
    return best;
}

// Beginner: its move and the opponent's best reply, counted in discs; one
// move in three, when the second best is nearly as good, it takes that one.
// The salt and the position decide, so a game replays the same way.
Choice beginner(Bits own, Bits opponent, std::uint64_t salt)
{
    constexpr int kDepth = 2;
    constexpr int kNearlyAsGood = 4; // discs
    struct Scored
    {
        int square;
        int value;
    };
    std::vector<Scored> moves;
    for (Bits m = legalMoves(own, opponent); m; m &= m - 1) {
        const int sq = lowestSquare(m);
        const Bits f = flips(own, opponent, sq);
        const Next after = next(own, opponent, sq, f);
        moves.push_back({sq, -discSearch(after.p, after.o, kDepth - 1)});
    }
    std::stable_sort(moves.begin(), moves.end(), [](const Scored& a, const Scored& b) { return a.value > b.value; });
    const std::uint64_t roll = mix(salt ^ mix(own) ^ mix(mix(opponent)));
    const bool second = moves.size() > 1 && roll % 3 == 0 && moves[1].value >= moves[0].value - kNearlyAsGood;
    const Scored& pick = moves[second ? 1 : 0];
    return {pick.square, pick.value};
}

// Normal: the plain search.
Choice plain(Bits own, Bits opponent)
{
    Board board;
    board.setBitboards(own, opponent);
    int x = 0;
    int y = 0;
    const int value = board.searchMove(Colour::Black, x, y);
    return {x * 8 + y, value};
}

} // namespace

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
             std::uint64_t salt)
{
    return think(level, own, opponent, stop, salt, budget(level));
}

Choice think(Level level, std::uint64_t own, std::uint64_t opponent, const std::atomic<bool>& stop,
             std::uint64_t salt, std::chrono::milliseconds budget)
{
    opponent &= ~own;
    Choice choice;
    if (stop.load() || !legalMoves(own, opponent))
        return choice;
    if (level == Level::Beginner) {
        choice = beginner(own, opponent, salt);
    } else if (level == Level::Normal) {
        choice = plain(own, opponent);
    } else {
        SearchLimits limits = limitsOf(level);
        limits.budget = budget;
        limits.stop = &stop;
        StrongSearch search(limits);
        choice.square = search.choose(own, opponent);
        if (!search.lines().empty())
            choice.value = search.lines().back().value;
    }
    if (stop.load())
        return Choice{};
    return choice;
}

} // namespace engine
