// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/patterns.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <limits>
#include <vector>

namespace engine {

// How far one reply of StrongSearch may go.
struct SearchLimits
{
    std::chrono::milliseconds budget{100};
    // Endgames of this many empty squares or fewer are solved to the end once
    // the midgame search has ordered the root (and abandoned if the budget runs
    // out first, the midgame's square standing).
    int solveEmpties = 18;
    // Each of the two hash tables holds 2^tableBits entries of 24 bytes.
    int tableBits = 16;
    std::uint64_t nodeLimit = std::numeric_limits<std::uint64_t>::max();
    // Another thread sets it to end the search at once; may be null.
    const std::atomic<bool>* stop = nullptr;
    // What the budget is measured by: a test may give a clock of its own.
    std::chrono::steady_clock::time_point (*now)() = std::chrono::steady_clock::now;

    // What the levels add to the search as first built (all off by default):
    // the trained evaluation (null: the hand-weighted one), hash tables that
    // outlive a reply (entries aged rather than cleared), ProbCut's threshold
    // in standard deviations (0: no selective cuts), a win/loss/draw solve
    // before the exact one, and starting the solve when its estimated cost fits
    // the time left rather than by a fixed rule.
    const patterns::Weights* weights = nullptr;
    bool keepTables = false;
    double probCut = 0.0;
    bool winLossFirst = false;
    bool estimateSolve = false;
    // A move proved better than the last depth's best by an iteration that
    // then ran out of time is played rather than dropped with it.
    bool keepPartial = false;
};

// The stronger computer's search, on copies of two bitboards (square (x, y) at
// bit x * 8 + y; p the side to move, o the other): principal variation search
// over an evaluation of mobility, corners and frontier, deepened one ply at a
// time within a time budget, then an exact solve of the endgame when it fits.
// An object holds the table of depths of its last reply; the hash tables are
// the thread's, cleared for each reply unless the limits keep them.
class StrongSearch
{
public:
    // A finished game is worth its disc difference times this, so any result
    // outweighs the evaluation, which stays well inside +-kFinished.
    static constexpr int kFinished = 10000;

    // One completed iteration: its depth (the empty squares for an exact
    // solve), the positions it visited, its value and the square it chose.
    struct Line
    {
        int depth;
        std::uint64_t nodes;
        int value;
        int square;
        // A win/loss/draw solve: the value's sign alone is exact.
        bool winLoss = false;
    };

    // An iteration still running when the budget or the node limit is spent
    // is dropped; the first depth always completes unless the stop flag is set.
    explicit StrongSearch(const SearchLimits& limits);
    explicit StrongSearch(std::chrono::milliseconds budget = std::chrono::milliseconds(100),
                          std::uint64_t nodeLimit = std::numeric_limits<std::uint64_t>::max());

    // The square (x * 8 + y) for the side owning p, -1 when it has no move.
    // Once stopped by the flag, the square of the last completed depth (the
    // first move in order when none completed): stopped() tells.
    int choose(std::uint64_t p, std::uint64_t o);
    bool stopped() const { return flagged; }

    const std::vector<Line>& lines() const { return done; }
    // The exact disc difference for the side owning p with best play by both,
    // however long it takes (only the stop flag ends it, with 0).
    int exactScore(std::uint64_t p, std::uint64_t o);
    // The value of a midgame search of the given depth, no clock (the stop
    // flag and the node limit still apply).
    int valueAt(std::uint64_t p, std::uint64_t o, int depth);
    // Positions visited in all, the dropped iteration included.
    std::uint64_t nodes() const { return visited; }

private:
    // A hash table slot: the position, its value or a bound of it, the depth
    // searched and the best square found. Two empty boards match no position.
    struct Entry
    {
        std::uint64_t p = 0;
        std::uint64_t o = 0;
        int value = 0;
        std::int8_t depth = -1;
        std::int8_t bound = 0;
        std::int8_t move = 0;
        std::uint8_t age = 0; // the reply that wrote it
    };

    struct Move
    {
        int square;
        int score;
    };

    int rootSearch(std::uint64_t p, std::uint64_t o, int depth, bool exact, int& square, int alpha, int beta);
    void prepare(std::uint64_t p, std::uint64_t o);
    bool solveFits(int empties, std::chrono::steady_clock::time_point start, std::uint64_t midNodes) const;
    int evaluate(std::uint64_t p, std::uint64_t o) const;
    int moveScore(std::uint64_t p, std::uint64_t o, int sq, bool deep);
    bool probCut(std::uint64_t p, std::uint64_t o, int depth, int alpha, int beta, int& value);
    void store(Entry& e, const Entry& fresh) const;
    int search(std::uint64_t p, std::uint64_t o, int depth, int alpha, int beta);
    int solve(std::uint64_t p, std::uint64_t o, int empties, int alpha, int beta);
    int solveNear(std::uint64_t p, std::uint64_t o, int empties, int alpha, int beta);
    int lastSquare(std::uint64_t p, std::uint64_t o);
    template <typename Child>
    int tryMove(std::uint64_t p, std::uint64_t o, int sq, bool first, int alpha, int beta, Child child);
    // The move loop both searches share; child searches one reply.
    template <typename Child>
    int bestReply(std::uint64_t p, std::uint64_t o, Move* list, int n, int alpha, int beta,
                  int& bestSquare, Child child);
    bool stop();
    bool stopAsked() const;
    std::size_t slot(std::uint64_t p, std::uint64_t o) const;
    Entry* table(int which);

    SearchLimits limits;
    std::chrono::steady_clock::time_point deadline;
    std::uint64_t visited = 0;
    bool mayStop = false;
    bool halted = false;  // by the clock, the node limit or the flag
    bool flagged = false; // by the flag
    std::vector<Move> rootMoves;
    Entry* midTable = nullptr;
    Entry* endTable = nullptr;
    std::vector<Line> done;
    // The trained evaluation's view of the position searched (side A the side
    // to move at the root) and whether A is to move there; kept up to date as
    // the midgame search plays and takes back moves.
    patterns::Features features;
    bool aToMove = true;
    bool tracking = false;
    std::uint8_t age = 0;
};

} // namespace engine
