// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the engine's tests measure it against: the plain search as the rules describe it, a solver that walks every
// line to the end, and games of random legal moves.
#include "engine/bitboard.h"
#include "boardtext.h"

#include <QList>
#include <random>

// Depth plies for colour: the disc difference by the counts at depth 0 (times 10000 on a full board), moves from a1,
// a2, ... to h8, the first best kept, no move -1000000. Value, best x and y (-1 for none), positions visited.
inline QList<int> plainNegamax(const Board& board, Colour colour, int depth)
{
    const bool full = board.count(Colour::Black) + board.count(Colour::White) == 64;
    if (full || depth <= 0)
        return {(board.count(colour) - board.count(opponent(colour))) * (full ? 10000 : 1), -1, -1, 1};
    QList<int> best{-1000000, -1, -1, 1};
    for (int s = 0; s < 64; ++s) {
        Board child = board;
        if (child.playMove(s / 8, s % 8, colour, true) == 0)
            continue;
        const QList<int> reply = plainNegamax(child, opponent(colour), depth - 1);
        best[3] += reply[3];
        if (-reply[0] > best[0])
            best = {-reply[0], s / 8, s % 8, best[3]};
    }
    return best;
}

// The final disc difference for the side owning p when both play their best.
inline int bruteForceScore(Bits p, Bits o, bool passed = false)
{
    int best = -65;
    for (Bits moves = legalMoves(p, o); moves; moves &= moves - 1) {
        const int sq = lowestSquare(moves);
        const Bits turned = flips(p, o, sq);
        best = std::max(best, -bruteForceScore(o & ~turned, p | turned | Bits{1} << sq));
    }
    if (best > -65)
        return best;
    return passed ? popCount(p) - popCount(o) : -bruteForceScore(o, p, true);
}

// Up to plies random legal moves from the start, first moving first, a pass when there is none: played(x, y, side)
// hears each, (-1, -1, side) a pass. Returns the side to move.
template <typename Played>
Colour playRandomly(Board& board, std::mt19937& rng, int plies, Colour first, Played played)
{
    Colour side = first;
    for (int n = 0; n < plies && !board.gameOver(); ++n) {
        Bits moves = legalMoves(board.discs(side), board.discs(opponent(side)));
        for (int skip = moves ? int(rng() % unsigned(popCount(moves))) : 0; skip > 0; --skip)
            moves &= moves - 1;
        const int sq = moves ? lowestSquare(moves) : -9;
        board.playMove(sq / 8, sq % 8, side, true);
        played(moves ? sq / 8 : -1, moves ? sq % 8 : -1, side);
        side = opponent(side);
    }
    return side;
}

inline Colour playRandomly(Board& board, std::mt19937& rng, int plies)
{
    return playRandomly(board, rng, plies, Colour::Black, [](int, int, Colour) {});
}
