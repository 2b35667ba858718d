// SPDX-License-Identifier: GPL-3.0-or-later
// The moves of the game in progress, without a window: what a peer's passes may add to them.

#include "boardtext.h"
#include "game/game.h"

#include <QTest>

using enum Colour;

class GameTest : public QObject
{
    Q_OBJECT

private slots:
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
