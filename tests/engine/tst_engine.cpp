// SPDX-License-Identifier: GPL-3.0-or-later
// The engine against a plain one on random positions, the stronger search against exact solves.
#include "reference.h"
#include "engine/levels.h"
#include "engine/strongsearch.h"

#include <QtTest>

// Move s of 200, each line tested then turned, the move tested then played, the position left.
template <typename Engine>
static std::pair<QList<int>, Ref> moveResults(Engine e, int s)
{
    const Colour colour = s < 100 ? Colour::Black : Colour::White; // x and y -1 to 8, the board and its rim
    const int x = s % 10 - 1;
    const int y = s / 10 % 10 - 1;
    QList<int> r;
    for (int d = 0; d < 8; ++d)
        r << e.flipLine(x, y, d, colour, false) << e.flipLine(x, y, d, colour, true);
    r << e.playMove(x, y, colour, false) << e.playMove(x, y, colour, true);
    return {r, Ref(e)};
}

class EngineTest : public QObject
{
    Q_OBJECT
private slots:
    // Random positions, every other one with counts unlike its cells: each move of either colour
    // on and next to the board, game ends, the plain search, the stronger one cut short.
    void matchesReference()
    {
        std::mt19937 rng(2024); // fixed start
        for (int n = 0; n < 300; ++n) {
            Board b = randomPosition(rng, n % 65, Colour::Black, 2); // an empty board, counts 0, now and then
            if (n % 2 == 1) // 62 to 64 in all: full and drawn finishes come soon
                b.setCounts(32, 30 + int(rng() % 3));
            const Ref ref(b);
            const Colour side = n / 2 % 2 ? Colour::White : Colour::Black;
            for (int s = 0; s < 200; ++s)
                QVERIFY2(moveResults(b, s) == moveResults(ref, s), qPrintable(BoardText::rows(b).join('\n')));
            const bool stuck = ref.moves(Colour::Black).empty() && ref.moves(Colour::White).empty();
            QCOMPARE(b.gameOver(), ref.n[0] + ref.n[1] == 64 || stuck);
            int square[2] = {-1, -1};
            const int v = b.negamax(side, square[0], square[1], 1 + n % 3);
            QCOMPARE((QList<int>{v, square[0], square[1], b.nodeCount}), ref.negamax(side, 1 + n % 3));
            engine::StrongSearch strong(std::chrono::hours(1), 1 + rng() % 5000);
            const int sq = strong.choose(b.discs(side), b.discs(opponent(side)));
            QVERIFY(sq < 0 || sq == strong.lines().back().square); // cut short: the last finished depth's
        }
    }

    // Random endgames of 0 to 9 empties: the stronger search finds a best square and its exact
    // value; white's computer plays it, black's search moves nothing. Master finds a best square.
    void strongSolvesEndgames()
    {
        std::mt19937 rng(5);
        for (int n = 0; n < 100; ++n) {
            const Colour side = n % 2 ? Colour::White : Colour::Black;
            Board b = randomPosition(rng, n % 10, side, 8); // side owns one disc in eight: passes come early
            b.setStronger(true);
            const Ref ref(b);
            Ref played = ref;
            const int best = ref.solve(side);
            const std::atomic<bool> going{false};
            const int sq = engine::think(engine::Level::Master, b.discs(side), b.discs(opponent(side)), going).square;
            Ref byMaster = ref;
            const bool masterMoved = byMaster.playMove(sq / 8, sq % 8, side, true) > 0;
            QCOMPARE(masterMoved ? -byMaster.solve(opponent(side)) : best, best);
            int xy[2] = {-1, -1}; // the square chosen
            const int v = side == Colour::White ? b.computerSearch(xy[0], xy[1]) : b.strongMove(Colour::Black, xy[0], xy[1]);
            if (side == Colour::White) // white's computer plays the square it chose
                b.playMove(xy[0], xy[1], Colour::White, true);
            const bool moved = played.playMove(xy[0], xy[1], side, true) > 0;
            QVERIFY(Ref(b) == (side == Colour::White ? played : ref));
            QCOMPARE(v, moved ? best * engine::StrongSearch::kFinished : -1000000);
            QCOMPARE(moved ? -played.solve(opponent(side)) : best, best);
        }
    }
};

QTEST_APPLESS_MAIN(EngineTest)
#include "tst_engine.moc"
