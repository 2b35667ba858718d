// SPDX-License-Identifier: GPL-3.0-or-later
// The moves of the game in progress, without a window: what a replay or a peer's passes may add to them.

#include "boardtext.h"
#include "game/game.h"

#include <QTest>

namespace {

using Played = Game::Played;
using enum Colour;

// A few moves of a game against the computer: black c5, white e6, black f5, white c6, each legal where it stands.
std::vector<Played> opening()
{
    return {{2, 4, Black}, {4, 5, White}, {5, 4, Black}, {2, 5, White}};
}

} // namespace

class GameTest : public QObject
{
    Q_OBJECT

private slots:
    // A replay that meets an illegal move, or a pass while that side could move, changes nothing.
    void illegalReplayChangesNothing_data()
    {
        QTest::addColumn<int>("x");
        QTest::addColumn<int>("y");
        QTest::addRow("brackets nothing") << 0 << 0;
        QTest::addRow("pass with a move") << -1 << -1;
    }
    void illegalReplayChangesNothing()
    {
        QFETCH(int, x);
        QFETCH(int, y);
        Game game;
        QVERIFY(game.replay(opening()));
        const QStringList before = BoardText::rows(game.board());
        std::vector<Played> moves = opening();
        moves.push_back({x, y, White});
        QVERIFY(!game.replay(moves));
        QCOMPARE(BoardText::rows(game.board()), before);
        QCOMPARE(game.moves().size(), opening().size());
    }

    // A peer may send passes without end: only a forced pass counts, and
    // never twice in a row, so the moves kept stay bounded.
    void passesCannotFloodTheMoves()
    {
        Game game;
        BoardText::load(game.board(), BoardText::topRow("OX......"));
        for (int i = 0; i < 1000; ++i) {
            game.playMove(-1, -1, Black, true);
            game.playMove(-1, -1, White, true);
        }
        QCOMPARE(game.moves().size(), std::size_t(1));
        QVERIFY(game.moves().front().isPass());
        QCOMPARE(game.moves().front().colour, Black);
    }

};

QTEST_MAIN(GameTest)
#include "tst_game.moc"
