// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/board.h"

#include "engine/bitboard.h"
#include "engine/search.h"
#include "engine/strongsearch.h"

#include <QtGlobal>

#include <bit>
#include <cstdio>

namespace {

constexpr bool onBoard(int x, int y) { return x >= 0 && x < 8 && y >= 0 && y < 8; }

constexpr std::size_t kBlack = index(Colour::Black);
constexpr std::size_t kWhite = index(Colour::White);

} // namespace

std::string searchTrace(const std::vector<SearchLine>& lines)
{
    std::string text = "prof\tnoeuds\teval\tcoup\n";
    for (const SearchLine& line : lines) {
        char row[96];
        std::snprintf(row, sizeof row, "%d\t%llu\t%d\t%c%d\n", line.depth,
                      static_cast<unsigned long long>(line.nodes), line.value, 'a' + line.x, line.y + 1);
        text += row;
    }
    return text;
}

Board::Board()
{
    startPosition();
}

void Board::checkInvariants() const
{
    Q_ASSERT((bits[kBlack] & bits[kWhite]) == 0);
    Q_ASSERT(discCount[kBlack] >= 0 && discCount[kBlack] <= 64);
    Q_ASSERT(discCount[kWhite] >= 0 && discCount[kWhite] <= 64);
}

void Board::setCounts(int black, int white)
{
    discCount[kBlack] = black;
    discCount[kWhite] = white;
    checkInvariants();
}

void Board::setBitboards(std::uint64_t black, std::uint64_t white)
{
    // A square held by both would be read as black: white keeps only its own.
    bits[kBlack] = black;
    bits[kWhite] = white & ~black;
    discCount[kBlack] = std::popcount(bits[kBlack]);
    discCount[kWhite] = std::popcount(bits[kWhite]);
    checkInvariants();
}

std::optional<Colour> Board::cell(int x, int y) const
{
    if (!onBoard(x, y))
        return std::nullopt;
    const Bits b = bitOf(x, y);
    if (bits[kBlack] & b)
        return Colour::Black;
    if (bits[kWhite] & b)
        return Colour::White;
    return std::nullopt;
}

void Board::setCell(int x, int y, std::optional<Colour> disc)
{
    if (!onBoard(x, y))
        return;
    const Bits b = bitOf(x, y);
    bits[kBlack] &= ~b;
    bits[kWhite] &= ~b;
    if (disc)
        bits[index(*disc)] |= b;
    checkInvariants();
}

int Board::flipLine(int x, int y, int d, Colour colour, bool apply)
{
    if (d < 0 || d > 7 || x < -1 || x > 8 || y < -1 || y > 8)
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
    Bits& p = bits[index(colour)];
    Bits& o = bits[index(opponent(colour))];
    const Bits f = up ? rayFlipsUp(p, o, ray) : rayFlipsDown(p, o, ray);
    if (apply) {
        p |= f;
        o &= ~f;
    }
    checkInvariants();
    return popCount(f);
}

int Board::discsTurned(int x, int y, Colour colour) const
{
    if (!onBoard(x, y) || cell(x, y))
        return 0;
    return popCount(flips(bits[index(colour)], bits[index(opponent(colour))], x * 8 + y));
}

int Board::playMove(int x, int y, Colour colour, bool apply)
{
    const int total = discsTurned(x, y, colour);
    if (!apply || total == 0)
        return total;
    const std::size_t own = index(colour);
    const std::size_t other = index(opponent(colour));
    const Bits f = flips(bits[own], bits[other], x * 8 + y);
    bits[own] |= f | bitOf(x, y);
    bits[other] &= ~f;
    discCount[own] += total + 1;
    discCount[other] -= total;
    checkInvariants();
    return total;
}

bool Board::hasLegalMove(Colour colour) const
{
    return legalMoves(bits[index(colour)], bits[index(opponent(colour))]) != 0;
}

bool Board::gameOver() const
{
    return discCount[kBlack] + discCount[kWhite] == 64
           || (!hasLegalMove(Colour::Black) && !hasLegalMove(Colour::White));
}

void Board::startPosition()
{
    bits[kBlack] = bitOf(3, 3) | bitOf(4, 4);
    bits[kWhite] = bitOf(3, 4) | bitOf(4, 3);
    discCount[kBlack] = 2;
    discCount[kWhite] = 2;
    checkInvariants();
}

void Board::reset()
{
    lastMoveX = 0;
    lastMoveY = 0;
    startPosition();
}

void Board::clearBoard()
{
    bits[kBlack] = 0;
    bits[kWhite] = 0;
}

int Board::negamax(Colour colour, int& bestX, int& bestY, int depth)
{
    const std::size_t own = index(colour);
    const std::size_t other = index(opponent(colour));
    std::uint64_t nodes = 0;
    const int v = engine::searchRoot(bits[own], bits[other], discCount[own] - discCount[other],
                                     discCount[kBlack] + discCount[kWhite], depth, bestX, bestY, nodes);
    nodeCount += static_cast<int>(nodes);
    return v;
}

int Board::searchMove(Colour colour, int& bestX, int& bestY)
{
    table.clear();
    int previous = -1;
    for (int depth = 1;; ++depth) {
        nodeCount = 0;
        const int v = negamax(colour, bestX, bestY, depth);
        table.push_back({depth, static_cast<std::uint64_t>(nodeCount), v, bestX, bestY});
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

int Board::strongMove(Colour colour, int& bestX, int& bestY, int budgetMs)
{
    table.clear();
    nodeCount = 0;
    engine::StrongSearch search{std::chrono::milliseconds(budgetMs)};
    if (search.choose(bits[index(colour)], bits[index(opponent(colour))]) < 0)
        return -1000000;
    for (const engine::StrongSearch::Line& line : search.lines())
        table.push_back({line.depth, line.nodes, line.value, line.square >> 3, line.square & 7});
    const SearchLine& last = table.back();
    nodeCount = static_cast<int>(last.nodes);
    bestX = last.x;
    bestY = last.y;
    return last.value;
}

int Board::computerSearch(int& x, int& y)
{
    return strong ? strongMove(Colour::White, x, y) : searchMove(Colour::White, x, y);
}


QString Board::dumpText() const
{
    QString text = QStringLiteral("\n");
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x) {
            const std::optional<Colour> disc = cell(x, y);
            if (!disc)
                text += QLatin1String("| ");
            else
                text += *disc == Colour::Black ? QLatin1String("|*") : QLatin1String("|X");
        }
        text += QLatin1String("|\n");
    }
    text += QLatin1String("\n");
    text += QStringLiteral("NOIR :%1 // BLANC :%2\n").arg(discCount[kBlack]).arg(discCount[kWhite]);
    return text;
}
