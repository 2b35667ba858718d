// SPDX-License-Identifier: GPL-3.0-or-later
// The trained evaluation: its features follow the moves, its file is checked
// before it is used, and the search that uses it still solves endgames exactly.
#include "engine/bitboard.h"
#include "engine/levels.h"
#include "engine/patterns.h"
#include "engine/search.h"
#include "engine/strongsearch.h"

#include <QTemporaryDir>
#include <QtTest>
#include <random>

using engine::patterns::Features;
using engine::patterns::Weights;

namespace {

struct Position
{
    Bits p;
    Bits o;
};

// A position after `plies` random moves from the start (fewer if the game ends).
Position randomPosition(std::mt19937_64& rng, int plies)
{
    Position x{bitOf(3, 4) | bitOf(4, 3), bitOf(3, 3) | bitOf(4, 4)};
    for (int i = 0; i < plies; ++i) {
        Bits moves = legalMoves(x.p, x.o);
        if (!moves) {
            if (!legalMoves(x.o, x.p))
                break;
            std::swap(x.p, x.o);
            moves = legalMoves(x.p, x.o);
        }
        for (int k = static_cast<int>(rng() % static_cast<unsigned>(popCount(moves))); k > 0; --k)
            moves &= moves - 1;
        const int sq = lowestSquare(moves);
        const Bits f = flips(x.p, x.o, sq);
        x = {x.o ^ f, x.p | f | (Bits{1} << sq)};
    }
    return x;
}

// The shipped weights, read from the folder the tests run in.
const Weights* shipped()
{
    static const std::unique_ptr<Weights> w = [] {
        std::string error;
        return Weights::load("ardesia.weights", error);
    }();
    return w.get();
}

} // namespace

class PatternsTest : public QObject
{
    Q_OBJECT
private slots:
    // After every move of random games, played and taken back, the features
    // kept up to date equal those computed from scratch.
    void incrementalEqualsFull()
    {
        std::mt19937_64 rng(7);
        for (int game = 0; game < 50; ++game) {
            Bits a = bitOf(3, 4) | bitOf(4, 3);
            Bits b = bitOf(3, 3) | bitOf(4, 4);
            bool aToMove = true;
            Features f = Features::of(a, b);
            for (int ply = 0; ply < 60; ++ply) {
                Bits& mover = aToMove ? a : b;
                Bits& other = aToMove ? b : a;
                Bits moves = legalMoves(mover, other);
                if (!moves) {
                    aToMove = !aToMove;
                    if (!legalMoves(other, mover))
                        break;
                    continue;
                }
                for (int k = static_cast<int>(rng() % static_cast<unsigned>(popCount(moves))); k > 0; --k)
                    moves &= moves - 1;
                const int sq = lowestSquare(moves);
                const Bits flipped = flips(mover, other, sq);
                const Features before = f;
                f.play(sq, flipped, aToMove);
                Features back = f;
                back.undo(sq, flipped, aToMove);
                QCOMPARE(back, before);
                mover |= flipped | (Bits{1} << sq);
                other &= ~flipped;
                QCOMPARE(f, Features::of(a, b));
                aToMove = !aToMove;
            }
        }
    }

    // The evaluation is the same for the side to move whichever side the
    // features call A.
    void sideSymmetric()
    {
        QVERIFY(shipped());
        std::mt19937_64 rng(3);
        for (int i = 0; i < 200; ++i) {
            const Position x = randomPosition(rng, 4 + static_cast<int>(rng() % 50));
            const int empties = popCount(~(x.p | x.o));
            QCOMPARE(shipped()->evaluate(Features::of(x.p, x.o), true, empties),
                     shipped()->evaluate(Features::of(x.o, x.p), false, empties));
        }
    }

    // A weights file is used only whole and of this version: anything else is
    // refused with a reason, and the levels keep playing.
    void damagedFileRefused_data()
    {
        QTest::addColumn<int>("at");
        QTest::addColumn<int>("keep");
        QTest::newRow("magic") << 0 << -1;
        QTest::newRow("version") << 8 << -1;
        QTest::newRow("hash") << 20 << -1;
        QTest::newRow("a weight") << 100000 << -1;
        QTest::newRow("truncated") << -1 << 5000;
        QTest::newRow("empty") << -1 << 0;
    }
    void damagedFileRefused()
    {
        QFETCH(int, at);
        QFETCH(int, keep);
        QVERIFY(shipped());
        std::string bytes = shipped()->toBytes();
        if (at >= 0)
            bytes[static_cast<unsigned>(at)] ^= 0x5A;
        if (keep >= 0)
            bytes.resize(static_cast<unsigned>(keep));
        std::string error;
        QVERIFY(!Weights::fromBytes(bytes, error));
        QVERIFY(!error.empty());
        std::string back;
        QVERIFY(Weights::fromBytes(shipped()->toBytes(), back));
    }

    void missingFileFallsBack()
    {
        std::string error;
        QVERIFY(!engine::patterns::install("no-such-folder/ardesia.weights", error));
        QVERIFY(error.find("no-such-folder") != std::string::npos);
        QVERIFY(!engine::patterns::installed());
        const std::atomic<bool> stop{false};
        const Position start{bitOf(3, 4) | bitOf(4, 3), bitOf(3, 3) | bitOf(4, 4)};
        const engine::Choice c = engine::think(engine::Level::Strong, start.p, start.o, stop, 0,
                                               std::chrono::milliseconds(20));
        QVERIFY(legalMoves(start.p, start.o) & (Bits{1} << c.square));
    }

    // The copy of the described search built for x86-64-v3 (its own way of
    // turning discs) gives the value, square and positions of the generic one.
    void searchCopiesAgree()
    {
#if defined(ARDESIA_SEARCH_V3)
        if (!__builtin_cpu_supports("avx2") || !__builtin_cpu_supports("bmi2"))
            QSKIP("this processor runs the generic copy only");
        std::mt19937_64 rng(5);
        for (int i = 0; i < 300; ++i) {
            const Position x = randomPosition(rng, static_cast<int>(rng() % 60));
            const int empties = popCount(~(x.p | x.o));
            const int depth = empties < 4 ? empties : 3;
            int gx = -1;
            int gy = -1;
            int vx = -1;
            int vy = -1;
            std::uint64_t generic = 0;
            std::uint64_t v3 = 0;
            const int diff = popCount(x.p) - popCount(x.o);
            QCOMPARE(engine::v3::searchRoot(x.p, x.o, diff, 64 - empties, depth, vx, vy, v3),
                     engine::generic::searchRoot(x.p, x.o, diff, 64 - empties, depth, gx, gy, generic));
            QCOMPARE(vx * 8 + vy, gx * 8 + gy);
            QCOMPARE(v3, generic);
        }
#else
        QSKIP("built with the generic copy only");
#endif
    }

    // The levels' search, selective cuts and tables kept from move to move
    // included, still plays a move of the best exact value in endgames it
    // solves, and reports that value.
    void selectiveSearchSolvesExactly()
    {
        QVERIFY(shipped());
        engine::SearchLimits plain;
        plain.budget = std::chrono::hours(1);
        engine::SearchLimits levels = plain;
        levels.weights = shipped();
        levels.keepTables = true;
        levels.probCut = 1.5;
        levels.winLossFirst = true;
        levels.estimateSolve = true;
        levels.solveEmpties = 16;
        std::mt19937_64 rng(11);
        for (int i = 0; i < 12; ++i) {
            const Position x = randomPosition(rng, 46 + static_cast<int>(rng() % 4));
            if (!legalMoves(x.p, x.o))
                continue;
            engine::StrongSearch reference(plain);
            const int best = reference.exactScore(x.p, x.o);
            engine::StrongSearch search(levels);
            const int sq = search.choose(x.p, x.o);
            QCOMPARE(search.lines().back().value, best * engine::StrongSearch::kFinished);
            const Bits f = flips(x.p, x.o, sq);
            QCOMPARE(-reference.exactScore(x.o ^ f, x.p | f | (Bits{1} << sq)), best);
        }
    }
};

QTEST_APPLESS_MAIN(PatternsTest)
#include "tst_patterns.moc"
