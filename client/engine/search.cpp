// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/search.h"

#include "engine/bitboard.h"

#include <algorithm>

// This file is compiled once for every x86-64 processor and, where the
// compiler can, once more for those with AVX2, BMI and POPCNT (x86-64-v3),
// each copy in a namespace of its own; searchRoot picks one when first
// called (searchdispatch.cpp).
#ifndef ARDESIA_SEARCH_ISA
#define ARDESIA_SEARCH_ISA generic
#endif

namespace {

constexpr int kNoMove = -1000000; // the side to move has no legal move
constexpr int kFullBoard = 10000; // a finished game scores its disc difference times this

// Copy-make: a child is the pair of bitboards after the move, nothing to undo.
// Inner levels only need a value, so the order in which they try moves does not
// matter; only the root records a square and walks the scan order.
int innerSearch(Bits p, Bits o, int diff, int sum, int depth, std::uint64_t& nodes)
{
    ++nodes;
    if (sum == 64)
        return diff * kFullBoard;
    if (depth <= 0)
        return diff;
    Bits moves = legalMoves(p, o);
    if (!moves)
        return kNoMove;

    if (depth == 1) {
        // Each reply is a leaf worth -(diff + 2t + 1) to the opponent (t discs
        // turned), scaled when that move fills the counts: only the largest t
        // matters, and every leaf still counts as a visited position.
        nodes += static_cast<unsigned>(popCount(moves));
        int most = 0;
        do {
            const int sq = lowestSquare(moves);
            moves &= moves - 1;
            most = std::max(most, popCount(flips(p, o, sq)));
        } while (moves);
        const int d = diff + 2 * most + 1;
        return std::max(sum + 1 == 64 ? d * kFullBoard : d, kNoMove);
    }

    int best = kNoMove;
    do {
        const int sq = lowestSquare(moves);
        moves &= moves - 1;
        const Bits f = flips(p, o, sq);
        const int t = popCount(f);
        const Next after = next(p, o, sq, f);
        const int v = -innerSearch(after.p, after.o, -(diff + 2 * t + 1), sum + 1,
                                   depth - 1, nodes);
        best = std::max(best, v);
    } while (moves);
    return best;
}

} // namespace

int engine::ARDESIA_SEARCH_ISA::searchRoot(std::uint64_t p, std::uint64_t o, int diff, int sum, int depth,
                                           int& bestX, int& bestY, std::uint64_t& nodes)
{
    ++nodes;
    if (sum == 64)
        return diff * kFullBoard;
    if (depth <= 0)
        return diff;
    int best = kNoMove;
    for (Bits moves = legalMoves(p, o); moves; moves &= moves - 1) {
        const int sq = lowestSquare(moves);
        const Bits f = flips(p, o, sq);
        const int t = popCount(f);
        const Next after = next(p, o, sq, f);
        const int v = -innerSearch(after.p, after.o, -(diff + 2 * t + 1), sum + 1,
                                   depth - 1, nodes);
        // Strictly greater: of equal values the earlier square stays.
        if (v > best) {
            best = v;
            bestX = sq >> 3;
            bestY = sq & 7;
        }
    }
    return best;
}
