// SPDX-License-Identifier: GPL-3.0-or-later
// The levels on a worker thread: legal replies and a stop obeyed.
#include "engine/levels.h"
#include "engine/strongsearch.h"
#include "reference.h"

#include <QtTest>
#include <thread>

using engine::Level;

Q_DECLARE_METATYPE(Level)

namespace {

// A short budget; the level's own settings otherwise.
engine::Choice think(Level level, const Board& b, Colour side, std::uint64_t salt = 0)
{
    const std::atomic<bool> stop{false};
    return engine::think(level, b.discs(side), b.discs(opponent(side)), stop, salt, std::chrono::milliseconds(30));
}

} // namespace

class LevelsTest : public QObject
{
    Q_OBJECT
private slots:
    // Openings to endgames: a legal square whenever the side can move, -1 when it cannot.
    void legalReplies_data()
    {
        QTest::addColumn<Level>("level");
        QTest::newRow("beginner") << Level::Beginner;
        QTest::newRow("normal") << Level::Normal;
        QTest::newRow("strong") << Level::Strong;
        QTest::newRow("expert") << Level::Expert;
        QTest::newRow("master") << Level::Master;
    }
    void legalReplies()
    {
        QFETCH(Level, level);
        std::mt19937 rng(16);
        for (int n = 0; n < 40; ++n) {
            Board b;
            const Colour side = n % 5 ? playRandomly(b, rng, n + n % 2) : n % 2 ? Colour::White : Colour::Black;
            if (n % 5 == 0) // side cannot move
                BoardText::load(b, BoardText::topRow(side == Colour::Black ? "OX......" : "XO......"));
            const int square = think(level, b, side, std::uint64_t(n)).square;
            const bool legal = square >= 0 && b.playMove(square / 8, square % 8, side, false) > 0;
            QVERIFY2(legal == b.hasLegalMove(side), qPrintable(BoardText::rows(b).join('\n')));
            QVERIFY(legal || square == -1);
        }
    }

    // A flag set before the call, or by another thread during a five-second
    // search: no square, and the search itself says it stopped early.
    void stopFlag()
    {
        const Board start;
        std::atomic<bool> stop{true};
        QCOMPARE(engine::think(Level::Master, start.discs(Colour::Black), start.discs(Colour::White), stop).square, -1);

        stop = false;
        engine::SearchLimits limits;
        limits.budget = std::chrono::seconds(5);
        limits.stop = &stop;
        engine::StrongSearch search(limits);
        std::thread stopper([&stop] {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            stop = true;
        });
        search.choose(start.discs(Colour::Black), start.discs(Colour::White));
        stopper.join();
        QVERIFY(search.stopped());
    }
};

QTEST_APPLESS_MAIN(LevelsTest)
#include "tst_levels.moc"
