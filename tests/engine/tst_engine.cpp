// SPDX-License-Identifier: GPL-3.0-or-later
// Rules and searches on drawn boards; in a move's board '@' marks its square, lower case what turns.
#include "engine/levels.h"
#include "engine/strongsearch.h"
#include "reference.h"

#include <QtTest>

#include <future>
#include <thread>

namespace {

using engine::StrongSearch;

const QStringList elevenEmpties{"XXXOX.O.", "XX.OXOX.", "XXXOOXX.", "OXXXXXXX",
                                "OOXXXO..", "OOOOOOOO", "OOOOOOO.", ".XX..XXX"};

// The final disc difference for the side owning p once it has played sq and both sides then play their best.
int scoreAfter(Bits p, Bits o, int sq)
{
    const Bits turned = flips(p, o, sq);
    return -bruteForceScore(o & ~turned, p | turned | Bits{1} << sq);
}

// Moves from the start: a pass, when a side has none, is a move; a finished game ends its line.
std::uint64_t perft(Bits p, Bits o, int depth, bool passed = false)
{
    if (depth == 0)
        return 1;
    Bits moves = legalMoves(p, o);
    if (!moves)
        return passed ? 1 : perft(o, p, depth - 1, true);
    std::uint64_t leaves = 0;
    for (; moves; moves &= moves - 1) {
        const Bits turned = flips(p, o, lowestSquare(moves));
        leaves += perft(o & ~turned, p | turned | (moves & (Bits{0} - moves)), depth - 1);
    }
    return leaves;
}

} // namespace

class EngineTest : public QObject
{
    Q_OBJECT
private slots:
    void moves_data()
    {
        QTest::addColumn<Colour>("colour");
        QTest::addColumn<QPoint>("move");
        QTest::addColumn<QStringList>("drawn");
        QTest::newRow("flips in all eight directions") << Colour::Black << QPoint(3, 3)
            << QStringList{"X..X....", ".o.o.X..", "..ooo...", "Xoo@oooX",
                           "..ooo...", ".X.X.o..", "......X.", "........"};
        QTest::newRow("white flips") << Colour::White << QPoint(2, 3)
            << QStringList{"........", "........", "........", "..@xO...",
                           "...OX...", "........", "........", "........"};
        QTest::newRow("no flip across an empty, off the edge or after an own disc") << Colour::Black << QPoint(3, 3)
            << QStringList{"...X..O.", ".....O..", "...OO...", "XO.@XOX.",
                           "...O....", "...O....", "...O....", "...O...."};
        QTest::newRow("occupied square") << Colour::Black << QPoint(1, 0) << BoardText::topRow("XOOX....");
        QTest::newRow("right of the board") << Colour::Black << QPoint(8, 1) << QStringList{"........", "......XO"}
                                                                         + QStringList(6, "........");
    }
    // Tested, a move changes nothing; played, it turns exactly the marked discs and the counts follow.
    void moves()
    {
        QFETCH(Colour, colour);
        QFETCH(QPoint, move);
        QFETCH(QStringList, drawn);
        Board board = BoardText::board(drawn);
        const int turned = int(drawn.join(QString()).count(QRegularExpression("[xo]")));
        const QChar mover = colour == Colour::Black ? u'X' : u'O';
        QStringList after = drawn;
        for (QString& row : after)
            for (QChar& c : row)
                c = c.isLower() || (c == u'@' && turned > 0) ? mover : c;
        QCOMPARE(board.playMove(move.x(), move.y(), colour, false), turned);
        QCOMPARE(BoardText::rows(board), BoardText::rows(BoardText::board(drawn)));
        QCOMPARE(board.playMove(move.x(), move.y(), colour, true), turned);
        const Board expected = BoardText::board(after);
        QCOMPARE(BoardText::rows(board), BoardText::rows(expected));
        QCOMPARE(board.count(Colour::Black), expected.count(Colour::Black));
        QCOMPARE(board.count(Colour::White), expected.count(Colour::White));
    }

    void passesAndTheEnd_data()
    {
        QTest::addColumn<QStringList>("drawn");
        QTest::addColumn<bool>("blackMoves");
        QTest::addColumn<bool>("whiteMoves");
        QTest::addColumn<bool>("over");
        QTest::newRow("black must pass") << BoardText::topRow("OX......") << false << true << false;
        QTest::newRow("white must pass") << BoardText::topRow("XO......") << true << false << false;
        QTest::newRow("nobody can move") << BoardText::topRow("X.O.....") << false << false << true;
        QTest::newRow("full") << QStringList(8, "XXXOOOOO") << false << false << true;
        QTest::newRow("emptied by the report") << QStringList(8, "........") << false << false << true;
    }
    void passesAndTheEnd()
    {
        QFETCH(QStringList, drawn);
        QFETCH(bool, blackMoves);
        QFETCH(bool, whiteMoves);
        QFETCH(bool, over);
        const Board board = BoardText::board(drawn);
        QCOMPARE(board.hasLegalMove(Colour::Black), blackMoves);
        QCOMPARE(board.hasLegalMove(Colour::White), whiteMoves);
        QCOMPARE(board.gameOver(), over);
    }

    void movesFromTheStart_data()
    {
        QTest::addColumn<int>("depth");
        QTest::addColumn<quint64>("count");
        const quint64 counts[] = {4, 12, 56, 244, 1396, 8200, 55092, 390216};
        for (int depth = 1; depth <= 8; ++depth)
            QTest::addRow("depth %d", depth) << depth << counts[depth - 1];
    }
    void movesFromTheStart()
    {
        QFETCH(int, depth);
        QFETCH(quint64, count);
        const Board board;
        QCOMPARE(quint64(perft(board.discs(Colour::Black), board.discs(Colour::White), depth)), count);
    }

    // On positions of random games: the plain search as the rules describe it; the stronger one, cut short by a node
    // limit, plays the square of its last finished depth.
    void searchesOnRandomGames()
    {
        std::mt19937 rng(2024);
        for (int n = 0; n < 120; ++n) {
            Board board;
            const Colour side = playRandomly(board, rng, n % 61);
            int at[2] = {-1, -1};
            const int v = board.negamax(side, at[0], at[1], 1 + n % 3);
            QCOMPARE((QList<int>{v, at[0], at[1], board.nodeCount}), plainNegamax(board, side, 1 + n % 3));
            StrongSearch strong(std::chrono::hours(1), 1 + rng() % 5000);
            const int sq = strong.choose(board.discs(side), board.discs(opponent(side)));
            QVERIFY(sq < 0 || sq == strong.lines().back().square);
        }
    }

    // White's c8 ends the game 32-32: every depth finds the same draw in the
    // same two positions, and the search must see that deeper changes nothing.
    void plainSearchEndsOnADrawnFinish()
    {
        auto board = std::make_shared<Board>(BoardText::board(
            {"XXXXXXXX", "XXXXXXXO", "OOXOOOOX", "OOXOOOXO", "OOXOOXOO", "XOXOXOOO", "OXXXOOOO", "OX@XXXXX"}));
        auto found = std::make_shared<std::promise<QList<int>>>();
        std::future<QList<int>> result = found->get_future();
        // Its own thread, so an endless search fails this test alone.
        std::thread([board, found] {
            int at[2] = {0, 0};
            const int v = board->searchMove(Colour::White, at[0], at[1]);
            found->set_value({v, at[0], at[1]});
        }).detach();
        QVERIFY2(result.wait_for(std::chrono::seconds(10)) == std::future_status::ready, "endless search");
        QCOMPARE(result.get(), (QList<int>{0, 2, 7}));
    }

    // On a clock that moves a millisecond each time it is read, the exact solve of eleven empties outlasts a budget
    // of ten: the search ends within it, the midgame's square standing.
    void strongSearchKeepsToItsBudget()
    {
        static std::chrono::steady_clock::time_point fake;
        engine::SearchLimits limits;
        limits.budget = std::chrono::milliseconds(10);
        limits.now = [] { return fake += std::chrono::milliseconds(1); };
        const auto begin = fake;
        const Board board = BoardText::board(elevenEmpties);
        StrongSearch search(limits);
        QVERIFY(search.choose(board.discs(Colour::White), board.discs(Colour::Black)) >= 0);
        QVERIFY(fake - begin <= limits.budget);
        QVERIFY(search.lines().back().depth < 11);
    }

    void endgames_data()
    {
        QTest::addColumn<Colour>("side");
        QTest::addColumn<QStringList>("drawn");
        QTest::newRow("9 empties, white") << Colour::White
            << QStringList{"OOOOOOX.", "XXXXXOXO", ".XOOXXO.", "..XXXOOO",
                           ".XXXOXOX", ".XXOXOXX", "XXXXOOXX", "OXO.OXX."};
        QTest::newRow("10 empties, black") << Colour::Black
            << QStringList{"XOXXOOO.", "XOXXXOO.", "XOOXOXX.", "XOXOOXXX",
                           "XXOOOOXX", "XXXXXOOX", "OXXX.OOO", "O.X....."};
        QTest::newRow("11 empties, white") << Colour::White << elevenEmpties;
    }
    // The exact solve, its value and a best square; the midgame search deepened to the end instead agrees, at more
    // cost. Master and the stronger computer play a best square.
    void endgames()
    {
        QFETCH(Colour, side);
        QFETCH(QStringList, drawn);
        Board board = BoardText::board(drawn);
        const Bits p = board.discs(side);
        const Bits o = board.discs(opponent(side));
        const int empties = 64 - popCount(p | o);
        const int score = bruteForceScore(p, o);
        engine::SearchLimits limits;
        limits.budget = std::chrono::hours(1);
        limits.solveEmpties = empties;
        StrongSearch solver(limits);
        const int sq = solver.choose(p, o);
        QCOMPARE(solver.lines().back().depth, empties);
        QCOMPARE(solver.lines().back().value, score * StrongSearch::kFinished);
        QCOMPARE(scoreAfter(p, o, sq), score);
        limits.solveEmpties = 0;
        StrongSearch deepener(limits);
        deepener.choose(p, o);
        QCOMPARE(deepener.lines().back().value, score * StrongSearch::kFinished);
        QVERIFY(solver.nodes() < deepener.nodes());
        const std::atomic<bool> going{false};
        QCOMPARE(scoreAfter(p, o, engine::think(engine::Level::Master, p, o, going).square), score);
        if (side == Colour::White) {
            board.setStronger(true);
            int at[2] = {-1, -1};
            QCOMPARE(board.computerSearch(at[0], at[1]), score * StrongSearch::kFinished);
            QVERIFY(board.playMove(at[0], at[1], Colour::White, true) > 0);
            QCOMPARE(-bruteForceScore(board.discs(Colour::Black), board.discs(Colour::White)), score);
        }
    }
};

QTEST_APPLESS_MAIN(EngineTest)
#include "tst_engine.moc"
