// SPDX-License-Identifier: GPL-3.0-or-later
// The stronger computer against the plain search, as computerPlay plays it
// without the flag: games from varied openings, each opening played twice
// with the colours swapped. Prints the stronger side's results and how long
// its replies took.
//
//   match_bench [games = 200] [budget of a stronger reply in ms = 100]

#include "board.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

namespace {

struct Tally
{
    int wins = 0;
    int draws = 0;
    int losses = 0;
    double slowestMs = 0;
    double totalMs = 0;
    long replies = 0;
};

std::vector<int> legalSquares(Board& b, int side)
{
    std::vector<int> out;
    for (int sq = 0; sq < 64; ++sq)
        if (b.playMove(sq / 8, sq % 8, side, false) > 0)
            out.push_back(sq);
    return out;
}

// Two to four random moves from the start; black moves first.
std::vector<int> randomOpening(std::mt19937& rng)
{
    Board b;
    std::vector<int> moves;
    const int length = 2 + static_cast<int>(rng() % 3);
    for (int side = Black; static_cast<int>(moves.size()) < length; side = 1 - side) {
        const std::vector<int> legal = legalSquares(b, side);
        const int sq = legal[rng() % legal.size()];
        b.playMove(sq / 8, sq % 8, side, true);
        moves.push_back(sq);
    }
    return moves;
}

// One game; false when a side chose a refused square.
bool play(const std::vector<int>& opening, int strongColour, int budgetMs, Tally& t)
{
    Board b;
    b.trace = nullptr;
    int side = Black;
    for (const int sq : opening) {
        b.playMove(sq / 8, sq % 8, side, true);
        side = 1 - side;
    }
    for (;;) {
        if (!b.hasLegalMove(side)) {
            if (!b.hasLegalMove(1 - side))
                break;
            side = 1 - side; // a pass
            continue;
        }
        int x = 0, y = 0;
        if (side == strongColour) {
            const auto start = std::chrono::steady_clock::now();
            b.strongMove(side, x, y, budgetMs);
            const auto end = std::chrono::steady_clock::now();
            const double ms = std::chrono::duration<double, std::milli>(end - start).count();
            t.slowestMs = std::max(t.slowestMs, ms);
            t.totalMs += ms;
            ++t.replies;
        } else {
            b.searchMove(side, x, y);
        }
        if (b.playMove(x, y, side, true) == 0) {
            std::fprintf(stderr, "%s chose the refused square %c%d\n",
                         side == strongColour ? "stronger" : "plain", 'a' + x, y + 1);
            return false;
        }
        side = 1 - side;
    }
    int discs[2] = {0, 0};
    for (int sq = 0; sq < 64; ++sq)
        if (const int c = b.cell(sq / 8, sq % 8); c != Empty)
            ++discs[c];
    const int diff = discs[strongColour] - discs[1 - strongColour];
    (diff > 0 ? t.wins : diff < 0 ? t.losses : t.draws) += 1;
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    const int games = argc > 1 ? std::max(2, std::atoi(argv[1])) : 200;
    const int budgetMs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 100;
    std::mt19937 rng(20240612u); // the same openings every run
    Tally t;
    for (int g = 0; g < games; g += 2) {
        const std::vector<int> opening = randomOpening(rng);
        for (const int strongColour : {Black, White})
            if (!play(opening, strongColour, budgetMs, t))
                return 1;
    }
    const int played = t.wins + t.draws + t.losses;
    std::printf("stronger side over %d games: %d won, %d drawn, %d lost, score %.1f%%\n", played,
                t.wins, t.draws, t.losses, 100.0 * (t.wins + 0.5 * t.draws) / played);
    std::printf("stronger replies: %ld, slowest %.1f ms, mean %.1f ms (budget %d ms)\n", t.replies,
                t.slowestMs, t.totalMs / static_cast<double>(t.replies), budgetMs);
    return 0;
}
