// The engine against a plain one on random positions, the stronger search against exact solves.
#include "boardtext.h"
#include "strongsearch.h"

#include <QtTest>
#include <chrono>
#include <random>

namespace {

// The plain engine: cells in an int[8][8] indexed [x][y], each line walked
// square by square, negamax playing every move on a copy of the whole board.
struct Ref
{
    int c[8][8];
    int n[2]; // black and white counts: the search reads these, not the cells
    int nodes = 0;

    explicit Ref(const Board& b) : n{b.count(Black), b.count(White)}
    {
        for (int s = 0; s < 64; ++s)
            c[s / 8][s % 8] = b.cell(s / 8, s % 8);
    }
    bool operator==(const Ref&) const = default;

    int at(int x, int y) const { return x >= 0 && x < 8 && y >= 0 && y < 8 ? c[x][y] : -2; } // -2: off
    int flipLine(int x, int y, int d, int col, bool apply)
    {
        const int dx = Board::dirX[d];
        const int dy = Board::dirY[d];
        int k = 1;
        while (at(x + k * dx, y + k * dy) == 1 - col)
            ++k;
        if (k == 1 || at(x + k * dx, y + k * dy) != col)
            return 0;
        for (int i = 1; apply && i < k; ++i)
            c[x + i * dx][y + i * dy] = col;
        return k - 1;
    }
    int playMove(int x, int y, int col, bool apply)
    {
        int total = 0;
        if ((col == Black || col == White) && at(x, y) == Empty)
            for (int d = 0; d < 8; ++d)
                total += flipLine(x, y, d, col, apply);
        if (total > 0 && apply) {
            c[x][y] = col;
            n[col] += total + 1;
            n[1 - col] -= total;
        }
        return total;
    }
    int negamax(int col, int& bestX, int& bestY, int depth)
    {
        ++nodes;
        if (n[Black] + n[White] == 64)
            return (n[col] - n[1 - col]) * 10000;
        if (depth <= 0)
            return n[col] - n[1 - col];
        int best = -1000000, replyX, replyY;
        for (int s = 0; s < 64; ++s) {
            if (Ref child = *this; child.playMove(s / 8, s % 8, col, true) > 0) {
                const int v = -child.negamax(1 - col, replyX, replyY, depth - 1);
                nodes = child.nodes;
                if (v > best)
                    std::tie(best, bestX, bestY) = std::tuple(v, s / 8, s % 8);
            }
        }
        return best;
    }
    bool canMove(int col) const
    {
        for (int s = 0; s < 64; ++s)
            if (Ref(*this).playMove(s / 8, s % 8, col, false) > 0)
                return true;
        return false;
    }
    bool gameOver() const // full by the counts or no move; counts of 0: a cleared board, no game
    {
        return n[0] + n[1] == 64 || (n[0] + n[1] > 0 && !canMove(Black) && !canMove(White));
    }
    // Disc difference for col at the end of the game, both sides playing their best.
    int solve(int col, bool passed = false) const
    {
        int best = -65;
        for (int s = 0; s < 64; ++s)
            if (c[s / 8][s % 8] == Empty) // copies for the empty squares only
                if (Ref child = *this; child.playMove(s / 8, s % 8, col, true) > 0)
                    best = std::max(best, -child.solve(1 - col));
        return best > -65 ? best : passed ? n[col] - n[1 - col] : -solve(1 - col, true);
    }
    // The table, then "=" and what the last line says: the nodes, value and pair left.
    QString searchMove(int col, int x, int y)
    {
        QString table = "prof\tnoeuds\teval\tcoup\n";
        for (int depth = 1, previous = -1;; ++depth, previous = nodes) {
            nodes = 0;
            const int v = negamax(col, x, y, depth);
            const QString line = QString::asprintf("\t%d\t%d\t%c%d\n", nodes, v, 'a' + x, y + 1);
            table += QString::number(depth) + line;
            if (v > 9999 || v < -9999 || nodes > 1000 || nodes <= previous)
                return table + "=" + line;
        }
    }
};

// A test move, the move, each line tested then turned, and the position left.
template <typename Engine>
std::pair<QList<int>, Ref> moveResults(Engine e, int x, int y, int colour)
{
    QList<int> r{e.playMove(x, y, colour, false), e.playMove(x, y, colour, true)};
    for (int d = 0; d < 8; ++d)
        r << e.flipLine(x, y, d, colour, false) << e.flipLine(x, y, d, colour, true);
    return {r, Ref(e)};
}

// Random legal play from the start or, one time in three, cells filled at random.
Board randomPosition(std::mt19937& rng)
{
    Board b;
    const bool fill = rng() % 3 == 0;
    const unsigned emptyShare = rng() % 60 + 10;
    for (int s = 0; fill && s < 64; ++s)
        b.setCell(s / 8, s % 8, rng() % 100 < emptyShare ? Empty : int(rng() % 2));
    BoardText::load(b, BoardText::rows(b)); // counts from the cells
    for (int moves = fill ? 0 : int(rng() % 64), side = Black; moves > 0; --moves, side = 1 - side)
        for (int tries = 0; tries < 100; ++tries)
            if (const int s = int(rng() % 64); b.playMove(s / 8, s % 8, side, true) > 0)
                break;
    return b;
}

} // namespace

class EngineTest : public QObject
{
    Q_OBJECT
private slots:
    // Random positions, every other one with counts that disagree with the cells. Moves of colour
    // codes -1 to 2 on and next to the board, game ends, searches that leave the position alone.
    void matchesReference()
    {
        std::mt19937 rng(2024); // fixed start
        for (int n = 0; n < 300; ++n) {
            Board b = randomPosition(rng);
            // Near 32/32 and 62 to 64 in all: full and drawn finishes come soon.
            if (n % 2 == 1) {
                const int black = 30 + int(rng() % 5);
                b.setCounts(black, 64 - black - int(rng() % 3));
            }
            if (n % 10 == 4) // as the end-of-game report leaves them
                b.setCounts(0, 0);
            const Ref before(b);
            const int side = int(rng() % 2);
            int x = int(rng() % 8);
            int y = int(rng() % 8);
            const QString where = BoardText::rows(b).join('\n')
                + QStringLiteral("\ncounts %1/%2, side %3\n").arg(b.count(Black)).arg(b.count(White)).arg(side);
            for (int s = 0; s < 400; ++s) {
                const int mx = s % 10 - 1;
                const int my = s / 10 % 10 - 1;
                const int colour = s / 100 - 1;
                QVERIFY2(moveResults(b, mx, my, colour) == moveResults(before, mx, my, colour),
                         qPrintable(where + QString::asprintf("colour %d at %d,%d", colour, mx, my)));
            }
            const QString want = where + Ref(before).searchMove(side, x, y);
            b.trace = std::tmpfile(); // Board::searchMove in the form of Ref::searchMove
            const int v = b.searchMove(side, x, y);
            const QString table = BoardText::readTrace(b.trace)
                + QString::asprintf("=\t%d\t%d\t%c%d\n", b.nodeCount, v, 'a' + x, y + 1);
            std::fclose(std::exchange(b.trace, stdout));
            QCOMPARE(where + table, want);
            QVERIFY(Ref(b) == before);
            QCOMPARE(b.gameOver(), before.gameOver());
            QCOMPARE(b.hasLegalMove(side), before.canMove(side));
            // The stronger search cut short at some point keeps the last completed depth's square.
            std::uint64_t discs[3] = {}; // by cell code
            for (int s = 0; s < 64; ++s)
                discs[b.cell(s / 8, s % 8)] |= std::uint64_t{1} << s;
            engine::StrongSearch strong(std::chrono::hours(1), 1 + rng() % 30000);
            const int sq = strong.choose(discs[side], discs[1 - side]);
            QCOMPARE(sq >= 0, before.canMove(side));
            QVERIFY(sq < 0 || b.playMove(sq / 8, sq % 8, side, false) > 0);
            QVERIFY(sq < 0 || sq == strong.lines().back().square);
        }
    }

    // Random endgames of 0 to 9 empties solved by the reference: the stronger computer plays
    // white's best square and reports its value; black's search moves nothing.
    void strongSolvesEndgames()
    {
        std::mt19937 rng(5);
        for (int n = 0; n < 100; ++n) {
            const int side = n % 2; // owns one disc in eight: passes come early
            Board b;
            for (int s = 0; s < 64; ++s) // 37 s + n modulo 64 scatters the n % 10 empties
                b.setCell(s / 8, s % 8,
                          (37 * s + n) % 64 < n % 10 ? Empty : side ^ (rng() % 8 > 0));
            BoardText::load(b, BoardText::rows(b)); // counts from the cells
            b.setStronger(true);
            b.trace = nullptr;
            const Ref before(b);
            Ref played = before;
            const int best = before.solve(side);
            int x = -1;
            int y = -1;
            const int v = side == White ? b.computerPlay(x, y) : b.strongMove(Black, x, y);
            const bool moved = played.playMove(x, y, side, true) > 0;
            QVERIFY(Ref(b) == (side == White ? played : before));
            QCOMPARE(moved, before.canMove(side));
            QCOMPARE(v, moved ? best * engine::StrongSearch::kFinished : -1000000);
            QCOMPARE(moved ? -played.solve(1 - side) : best, best);
        }
    }
};

QTEST_APPLESS_MAIN(EngineTest)
#include "tst_engine.moc"
