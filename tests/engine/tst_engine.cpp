// SPDX-License-Identifier: GPL-3.0-or-later
// The engine against a plain one on random positions, the stronger search against exact solves.
#include "boardtext.h"
#include "strongsearch.h"

#include <QtTest>
#include <random>

struct Ref // the plain engine: cells in an int[8][8] indexed [x][y], lines walked square by square
{
    int c[8][8];
    int n[2]; // black and white counts: the search reads these, not the cells

    explicit Ref(const Board& b) : n{b.count(Black), b.count(White)}
    {
        for (int s = 0; s < 64; ++s)
            c[s / 8][s % 8] = b.cell(s / 8, s % 8);
    }
    bool operator==(const Ref&) const = default;

    int at(int x, int y) const { return x >= 0 && x < 8 && y >= 0 && y < 8 ? c[x][y] : -2; } // -2: off
    int flipLine(int x, int y, int d, int col, bool apply) // other codes bracket nothing: 1 - col != col
    {
        int k = 1;
        while (at(x + k * Board::dirX[d], y + k * Board::dirY[d]) == 1 - col)
            ++k;
        const bool bracketed = at(x + k * Board::dirX[d], y + k * Board::dirY[d]) == col;
        for (int i = 1; apply && bracketed && i < k; ++i)
            c[x + i * Board::dirX[d]][y + i * Board::dirY[d]] = col;
        return bracketed ? k - 1 : 0;
    }
    int playMove(int x, int y, int col, bool apply)
    {
        int total = 0;
        for (int d = 0; at(x, y) == Empty && d < 8; ++d)
            total += flipLine(x, y, d, col, apply);
        if (total > 0 && apply) {
            c[x][y] = col;
            n[col] += total + 1;
            n[1 - col] -= total;
        }
        return total;
    }
    std::vector<std::pair<int, Ref>> moves(int col) const // in scan order: square, position after
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
    QList<int> negamax(int col, int depth) const
    {
        const bool full = n[Black] + n[White] == 64;
        if (full || depth <= 0)
            return {(n[col] - n[1 - col]) * (full ? 10000 : 1), -1, -1, 1};
        QList<int> best{-1000000, -1, -1, 1};
        for (const auto& [s, child] : moves(col)) {
            const QList<int> reply = child.negamax(1 - col, depth - 1);
            best[3] += reply[3];
            if (-reply[0] > best[0])
                best = {-reply[0], s / 8, s % 8, best[3]};
        }
        return best;
    }
    int solve(int col, bool passed = false) const // disc difference at the end with best play
    {
        int best = -65;
        for (const auto& [s, child] : moves(col))
            best = std::max(best, -child.solve(1 - col));
        return best > -65 ? best : passed ? n[col] - n[1 - col] : -solve(1 - col, true);
    }
};

// Move s of 400, each line tested then turned, the move tested then played, the position left.
template <typename Engine>
static std::pair<QList<int>, Ref> moveResults(Engine e, int s)
{
    const int colour = s / 100 - 1; // codes -1 to 2; x and y -1 to 8, the board and its rim
    const int x = s % 10 - 1;
    const int y = s / 10 % 10 - 1;
    QList<int> r;
    for (int d = 0; d < 8; ++d)
        r << e.flipLine(x, y, d, colour, false) << e.flipLine(x, y, d, colour, true);
    r << e.playMove(x, y, colour, false) << e.playMove(x, y, colour, true);
    return {r, Ref(e)};
}

// empties cells empty, scattered by 37 s + shift modulo 64; of the others col owns one in odds.
static Board randomPosition(std::mt19937& rng, int empties, int col, unsigned odds)
{
    Board b;
    const unsigned shift = rng() % 64;
    for (int s = 0; s < 64; ++s)
        b.setCell(s / 8, s % 8,
                  (37 * s + shift) % 64 < unsigned(empties) ? Empty : col ^ (rng() % odds > 0));
    BoardText::load(b, BoardText::rows(b)); // counts from the cells
    return b;
}

class EngineTest : public QObject
{
    Q_OBJECT
private slots:
    // Random positions, every other one with counts unlike its cells: each move of colour codes -1
    // to 2 on and next to the board, game ends, the plain search, the stronger one cut short.
    void matchesReference()
    {
        std::mt19937 rng(2024); // fixed start
        for (int n = 0; n < 300; ++n) {
            Board b = randomPosition(rng, n % 65, Black, 2); // an empty board, counts 0, now and then
            if (n % 2 == 1) // 62 to 64 in all: full and drawn finishes come soon
                b.setCounts(32, 30 + int(rng() % 3));
            const Ref ref(b);
            const int side = n / 2 % 2;
            for (int s = 0; s < 400; ++s)
                QVERIFY2(moveResults(b, s) == moveResults(ref, s), qPrintable(BoardText::rows(b).join('\n')));
            const bool stuck = ref.moves(Black).empty() && ref.moves(White).empty();
            QCOMPARE(b.gameOver(), ref.n[0] + ref.n[1] == 64 || (ref.n[0] + ref.n[1] > 0 && stuck));
            int square[2] = {-1, -1};
            const int v = b.negamax(side, square[0], square[1], 1 + n % 3);
            QCOMPARE((QList<int>{v, square[0], square[1], b.nodeCount}), ref.negamax(side, 1 + n % 3));
            std::uint64_t discs[3] = {}; // by cell code
            for (int s = 0; s < 64; ++s)
                discs[b.cell(s / 8, s % 8)] |= std::uint64_t{1} << s;
            engine::StrongSearch strong(std::chrono::hours(1), 1 + rng() % 5000);
            const int sq = strong.choose(discs[side], discs[1 - side]);
            QVERIFY(sq < 0 || sq == strong.lines().back().square); // cut short: the last finished depth's
        }
    }

    // Random endgames of 0 to 9 empties: the stronger search finds a best square and its exact
    // value; white's computer plays it, black's search moves nothing.
    void strongSolvesEndgames()
    {
        std::mt19937 rng(5);
        for (int n = 0; n < 100; ++n) {
            const int side = n % 2;
            Board b = randomPosition(rng, n % 10, side, 8); // side owns one disc in eight: passes come early
            b.setStronger(true);
            b.trace = nullptr;
            const Ref ref(b);
            Ref played = ref;
            const int best = ref.solve(side);
            int xy[2] = {-1, -1}; // the square chosen
            const int v = side == White ? b.computerPlay(xy[0], xy[1]) : b.strongMove(Black, xy[0], xy[1]);
            const bool moved = played.playMove(xy[0], xy[1], side, true) > 0;
            QVERIFY(Ref(b) == (side == White ? played : ref));
            QCOMPARE(v, moved ? best * engine::StrongSearch::kFinished : -1000000);
            QCOMPARE(moved ? -played.solve(1 - side) : best, best);
        }
    }
};

QTEST_APPLESS_MAIN(EngineTest)
#include "tst_engine.moc"
