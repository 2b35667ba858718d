// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the engine's tests compare it with: a plain board, walked square by
// square, with a plain negamax and a plain exact solver; and random positions.
#include "boardtext.h"

#include <QList>
#include <random>
#include <vector>

struct Ref // the plain engine: cells in an int[8][8] indexed [x][y], lines walked square by square
{
    static constexpr int Black = 0;
    static constexpr int White = 1;
    static constexpr int Empty = 2;
    static int code(Colour col) { return col == Colour::Black ? Black : White; }

    int c[8][8];
    int n[2]; // black and white counts: the search reads these, not the cells

    explicit Ref(const Board& b) : n{b.count(Colour::Black), b.count(Colour::White)}
    {
        for (int s = 0; s < 64; ++s) {
            const std::optional<Colour> disc = b.cell(s / 8, s % 8);
            c[s / 8][s % 8] = disc ? code(*disc) : Empty;
        }
    }
    bool operator==(const Ref&) const = default;

    int at(int x, int y) const { return x >= 0 && x < 8 && y >= 0 && y < 8 ? c[x][y] : -2; } // -2: off
    int flipLine(int x, int y, int d, Colour colour, bool apply)
    {
        const int col = code(colour);
        int k = 1;
        while (at(x + k * Board::dirX[d], y + k * Board::dirY[d]) == 1 - col)
            ++k;
        const bool bracketed = at(x + k * Board::dirX[d], y + k * Board::dirY[d]) == col;
        for (int i = 1; apply && bracketed && i < k; ++i)
            c[x + i * Board::dirX[d]][y + i * Board::dirY[d]] = col;
        return bracketed ? k - 1 : 0;
    }
    int playMove(int x, int y, Colour colour, bool apply)
    {
        const int col = code(colour);
        int total = 0;
        for (int d = 0; at(x, y) == Empty && d < 8; ++d)
            total += flipLine(x, y, d, colour, apply);
        if (total > 0 && apply) {
            c[x][y] = col;
            n[col] += total + 1;
            n[1 - col] -= total;
        }
        return total;
    }
    std::vector<std::pair<int, Ref>> moves(Colour col) const // in scan order: square, position after
    {
        std::vector<std::pair<int, Ref>> out;
        for (int s = 0; s < 64; ++s) {
            Ref child = *this;
            if (child.playMove(s / 8, s % 8, col, true) > 0)
                out.emplace_back(s, child);
        }
        return out;
    }
    // depth plies for col by the counts: value, first best square (-1, -1: no move), positions.
    QList<int> negamax(Colour colour, int depth) const
    {
        const int col = code(colour);
        const bool full = n[Black] + n[White] == 64;
        if (full || depth <= 0)
            return {(n[col] - n[1 - col]) * (full ? 10000 : 1), -1, -1, 1};
        QList<int> best{-1000000, -1, -1, 1};
        for (const auto& [s, child] : moves(colour)) {
            const QList<int> reply = child.negamax(opponent(colour), depth - 1);
            best[3] += reply[3];
            if (-reply[0] > best[0])
                best = {-reply[0], s / 8, s % 8, best[3]};
        }
        return best;
    }
    int solve(Colour colour, bool passed = false) const // disc difference at the end with best play
    {
        const int col = code(colour);
        int best = -65;
        for (const auto& [s, child] : moves(colour))
            best = std::max(best, -child.solve(opponent(colour)));
        return best > -65 ? best : passed ? n[col] - n[1 - col] : -solve(opponent(colour), true);
    }
};

// empties cells empty, scattered by 37 s + shift modulo 64; of the others col owns one in odds.
inline Board randomPosition(std::mt19937& rng, int empties, Colour col, unsigned odds)
{
    Board b;
    const unsigned shift = rng() % 64;
    for (int s = 0; s < 64; ++s) {
        if ((37 * s + shift) % 64 < unsigned(empties))
            b.setCell(s / 8, s % 8, std::nullopt);
        else
            b.setCell(s / 8, s % 8, rng() % odds > 0 ? opponent(col) : col);
    }
    BoardText::load(b, BoardText::rows(b)); // counts from the cells
    return b;
}

