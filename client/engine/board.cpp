// SPDX-License-Identifier: GPL-3.0-or-later
#include "board.h"

#include "bitboard.h"
#include "search.h"
#include "strongsearch.h"

#include <QtDebug>

#include <bit>

namespace {

constexpr bool onBoard(int x, int y) { return x >= 0 && x < 8 && y >= 0 && y < 8; }

// Moves and searches come from the network too: anything but the two colours
// is refused rather than used as an index.
constexpr bool isColour(int c) { return c == Black || c == White; }

} // namespace

Board::Board()
{
    startPosition();
}

void Board::setCounts(int black, int white)
{
    discCount[Black] = black;
    discCount[White] = white;
}

void Board::setBitboards(std::uint64_t black, std::uint64_t white)
{
    // A square held by both would be read as black: white keeps only its own.
    discs[Black] = black;
    discs[White] = white & ~black;
    discCount[Black] = std::popcount(discs[Black]);
    discCount[White] = std::popcount(discs[White]);
}

int Board::cell(int x, int y) const
{
    if (!onBoard(x, y))
        return Empty;
    const Bits b = bitOf(x, y);
    if (discs[Black] & b)
        return Black;
    if (discs[White] & b)
        return White;
    return Empty;
}

void Board::setCell(int x, int y, int colour)
{
    // Only the three cell codes can be held; anything else leaves the cell be.
    if (!onBoard(x, y) || (colour != Black && colour != White && colour != Empty))
        return;
    const Bits b = bitOf(x, y);
    discs[Black] &= ~b;
    discs[White] &= ~b;
    if (colour != Empty)
        discs[colour] |= b;
}

int Board::flipLine(int x, int y, int d, int colour, bool apply)
{
    if (d < 0 || d > 7 || !isColour(colour) || x < -1 || x > 8 || y < -1 || y > 8)
        return 0;
    const int x1 = x + dirX[d], y1 = y + dirY[d];
    if (!onBoard(x1, y1))
        return 0;
    // The line is its first square and the ray on from there, which also serves
    // a start just off the board. Which of a square's rays each direction is:
    constexpr int kRayIndex[8] = {0, 0, 1, 1, 2, 3, 3, 2};
    const bool up = dirX[d] * 8 + dirY[d] > 0;
    const Rays& r = kRays[static_cast<unsigned>(x1 * 8 + y1)];
    const Bits ray = bitOf(x1, y1) | (up ? r.up[kRayIndex[d]] : r.down[kRayIndex[d]]);
    const Bits p = discs[colour], o = discs[1 - colour];
    const Bits f = up ? rayFlipsUp(p, o, ray) : rayFlipsDown(p, o, ray);
    if (apply) {
        discs[colour] |= f;
        discs[1 - colour] &= ~f;
    }
    return popCount(f);
}

int Board::playMove(int x, int y, int colour, bool apply)
{
    if (!isColour(colour) || !onBoard(x, y) || cell(x, y) != Empty)
        return 0;
    const Bits f = flips(discs[colour], discs[1 - colour], x * 8 + y);
    const int total = popCount(f);
    if (total == 0 || !apply)
        return total;
    discs[colour] |= f | bitOf(x, y);
    discs[1 - colour] &= ~f;
    discCount[colour] += total + 1;
    discCount[1 - colour] -= total;
    return total;
}

bool Board::hasLegalMove(int colour) const
{
    return isColour(colour) && legalMoves(discs[colour], discs[1 - colour]) != 0;
}

bool Board::gameOver() const
{
    const int placed = discCount[Black] + discCount[White];
    // A board that the end-of-game report has cleared, its counts zeroed,
    // holds no game to end again.
    return placed == 64 || (placed > 0 && !hasLegalMove(Black) && !hasLegalMove(White));
}

void Board::startPosition()
{
    discs[Black] = bitOf(3, 3) | bitOf(4, 4);
    discs[White] = bitOf(3, 4) | bitOf(4, 3);
    discCount[Black] = 2;
    discCount[White] = 2;
}

void Board::reset()
{
    lastMoveX = 0;
    lastMoveY = 0;
    discCount[Black] = 2;
    discCount[White] = 2;
    startPosition();
}

void Board::clearBoard()
{
    discs[Black] = 0;
    discs[White] = 0;
}

int Board::negamax(int colour, int& bestX, int& bestY, int depth)
{
    if (!isColour(colour)) {
        // No such side can move: one position, scored as a side without a move.
        ++nodeCount;
        return -1000000;
    }
    std::uint64_t nodes = 0;
    const int v = engine::searchRoot(discs[colour], discs[1 - colour],
                                     discCount[colour] - discCount[1 - colour],
                                     discCount[Black] + discCount[White], depth, bestX, bestY,
                                     nodes);
    nodeCount += static_cast<int>(nodes);
    return v;
}

int Board::searchMove(int colour, int& bestX, int& bestY)
{
    if (trace)
        std::fputs("prof\tnoeuds\teval\tcoup\n", trace);
    int previous = -1;
    for (int depth = 1;; ++depth) {
        nodeCount = 0;
        const int v = negamax(colour, bestX, bestY, depth);
        if (trace)
            std::fprintf(trace, "%d\t%d\t%d\t%c%d\n", depth, nodeCount, v, 'a' + bestX, bestY + 1);
        if (v > 9999 || v < -9999 || nodeCount > 1000)
            return v;
        // A depth that visits no more positions than the one before has reached
        // the end of every line (the drawn finishes the bounds above miss):
        // deeper depths would repeat it exactly, value and square included, so
        // its value and the square it left in the pair are the answer.
        if (nodeCount <= previous)
            return v;
        previous = nodeCount;
    }
}

int Board::strongMove(int colour, int& bestX, int& bestY, int budgetMs)
{
    if (trace)
        std::fputs("prof\tnoeuds\teval\tcoup\n", trace);
    nodeCount = 0;
    if (!isColour(colour))
        return -1000000;
    engine::StrongSearch search{std::chrono::milliseconds(budgetMs)};
    if (search.choose(discs[colour], discs[1 - colour]) < 0)
        return -1000000;
    for (const engine::StrongSearch::Line& line : search.lines()) {
        if (trace)
            std::fprintf(trace, "%d\t%llu\t%d\t%c%d\n", line.depth,
                         static_cast<unsigned long long>(line.nodes), line.value,
                         'a' + (line.square >> 3), (line.square & 7) + 1);
    }
    const engine::StrongSearch::Line& last = search.lines().back();
    nodeCount = static_cast<int>(last.nodes);
    bestX = last.square >> 3;
    bestY = last.square & 7;
    return last.value;
}

int Board::computerPlay(int& x, int& y)
{
    const int v = strong ? strongMove(White, x, y) : searchMove(White, x, y);
    // The stronger search names no square when white has to pass.
    if ((!strong || hasLegalMove(White)) && playMove(x, y, White, true) == 0)
        qDebug("Erreur : negamax renvoie un coup illegal\n");
    return v;
}

QString Board::dumpText() const
{
    QString text = QStringLiteral("\n");
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x) {
            switch (cell(x, y)) {
            case Black: text += QLatin1String("|*"); break;
            case White: text += QLatin1String("|X"); break;
            default: text += QLatin1String("| "); break;
            }
        }
        text += QLatin1String("|\n");
    }
    text += QLatin1String("\n");
    text += QStringLiteral("NOIR :%1 // BLANC :%2\n").arg(discCount[Black]).arg(discCount[White]);
    return text;
}
