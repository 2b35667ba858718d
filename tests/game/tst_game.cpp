// SPDX-License-Identifier: GPL-3.0-or-later
// The game in progress without a window: its moves, undo and redo, replays
// and the computer's searches on a worker thread.

#include "boardtext.h"
#include "game.h"

#include <QSignalSpy>
#include <QTest>

namespace {

using Played = Game::Played;

// A few moves of a game against the computer: black c5, white e6, black f5,
// white c6, each legal where it stands.
std::vector<Played> opening()
{
    return {{2, 4, Black}, {4, 5, White}, {5, 4, Black}, {2, 5, White}};
}

bool isLegalFor(const Board& board, int square, int colour)
{
    Board copy = board;
    return square >= 0 && copy.playMove(square / 8, square % 8, colour, false) > 0;
}

} // namespace

class GameTest : public QObject
{
    Q_OBJECT

private slots:
    // Undo takes back the player's move and the reply, redo plays both again:
    // every position on the way back is one seen on the way there.
    void undoAndRedoRoundTrip()
    {
        Game game;
        QList<QStringList> seen{BoardText::rows(game.board())};
        for (const Played& m : opening()) {
            QVERIFY(game.playMove(m.x, m.y, m.colour, true) > 0);
            seen << BoardText::rows(game.board());
        }
        QVERIFY(game.undo(Black));
        QCOMPARE(BoardText::rows(game.board()), seen[2]);
        QVERIFY(game.undo(Black));
        QCOMPARE(BoardText::rows(game.board()), seen[0]);
        QVERIFY(!game.undo(Black));
        QVERIFY(game.moves().empty());
        QVERIFY(game.redo(Black));
        QCOMPARE(BoardText::rows(game.board()), seen[2]);
        QVERIFY(game.redo(Black));
        QCOMPARE(BoardText::rows(game.board()), seen[4]);
        QCOMPARE(game.moves().size(), opening().size());
        QCOMPARE(game.board().count(Black) + game.board().count(White), 8);
        QVERIFY(!game.redo(Black));
    }

    // A new move after an undo forgets what could have been redone.
    void aNewMoveEndsRedo()
    {
        Game game;
        QVERIFY(game.replay(opening()));
        QVERIFY(game.undo(Black));
        QVERIFY(game.playMove(5, 5, Black, true) > 0); // f6 instead of f5
        QVERIFY(!game.canRedo());
        QCOMPARE(game.moves().size(), std::size_t(3));
    }

    // A replay that meets an illegal move, or a pass while that side could
    // move, changes nothing.
    void illegalReplayChangesNothing_data()
    {
        QTest::addColumn<int>("x");
        QTest::addColumn<int>("y");
        QTest::addColumn<int>("colour");
        QTest::addRow("occupied") << 3 << 3 << int(White);
        QTest::addRow("brackets nothing") << 0 << 0 << int(White);
        QTest::addRow("off the board") << 8 << 2 << int(White);
        QTest::addRow("pass with a move") << -1 << -1 << int(White);
        QTest::addRow("no such colour") << 2 << 3 << int(Empty);
    }
    void illegalReplayChangesNothing()
    {
        QFETCH(int, x);
        QFETCH(int, y);
        QFETCH(int, colour);
        Game game;
        QVERIFY(game.replay(opening()));
        const QStringList before = BoardText::rows(game.board());
        std::vector<Played> moves = opening();
        moves.push_back({x, y, colour});
        QVERIFY(!game.replay(moves));
        QCOMPARE(BoardText::rows(game.board()), before);
        QCOMPARE(game.moves().size(), opening().size());
    }

    // A peer may send passes without end: only a forced pass counts, and
    // never twice in a row, so the moves kept stay bounded.
    void passesCannotFloodTheMoves()
    {
        Game game;
        BoardText::load(game.board(), QStringList{"O*......"} + QStringList(7, QString(8, u'.')));
        for (int i = 0; i < 1000; ++i) {
            game.playMove(-1, -1, Black, true);
            game.playMove(-1, -1, White, true);
        }
        QCOMPARE(game.moves().size(), std::size_t(1));
        QVERIFY(game.moves().front().isPass());
        QCOMPARE(game.moves().front().colour, Black);
    }

    // A threaded level answers with a legal square, on the window's thread.
    void threadedReplyIsLegal_data()
    {
        QTest::addColumn<int>("level");
        QTest::addRow("beginner") << int(engine::Level::Beginner);
        QTest::addRow("strong") << int(engine::Level::Strong);
    }
    void threadedReplyIsLegal()
    {
        QFETCH(int, level);
        Game game;
        QVERIFY(game.playMove(2, 4, Black, true) > 0);
        QSignalSpy replied(&game, &Game::replied);
        game.startReply(engine::Level(level), White);
        QVERIFY(game.thinking());
        QVERIFY(replied.wait(10000));
        QVERIFY(!game.thinking());
        QVERIFY(isLegalFor(game.board(), replied.at(0).at(0).toInt(), White));
    }

    // A search cancelled by a new game, an undo or another search never
    // reports; only the search that replaced it does.
    void cancelledSearchNeverReports_data()
    {
        QTest::addColumn<int>("cancel");
        QTest::addRow("new game") << 0;
        QTest::addRow("undo") << 1;
        QTest::addRow("another search") << 2;
    }
    void cancelledSearchNeverReports()
    {
        QFETCH(int, cancel);
        Game game;
        QVERIFY(game.playMove(2, 4, Black, true) > 0);
        QSignalSpy replied(&game, &Game::replied);
        QSignalSpy hinted(&game, &Game::hinted);
        game.startReply(engine::Level::Beginner, White);
        if (cancel == 0)
            game.reset();
        else if (cancel == 1)
            QVERIFY(game.undo(Black));
        else
            game.startReply(engine::Level::Beginner, White);
        QCOMPARE(game.thinking(), cancel == 2);
        QTest::qWait(500); // long enough for the cancelled search to end
        QCOMPARE(replied.size(), cancel == 2 ? 1 : 0);
        QCOMPARE(hinted.size(), 0);
    }
};

QTEST_MAIN(GameTest)
#include "tst_game.moc"
