// A game against the computer, as the player plays it: drops on the board,
// "Passer", "&Restart" and the end-of-game report.

#include "boardtext.h"
#include "modal.h"
#include "windowparts.h"

#include <QTest>

class PlayTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<MainWindow> window;
    PavotWidget* board = nullptr;

private slots:
    void init()
    {
        window = std::make_unique<MainWindow>();
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        board = window->boardWidget();
        board->model().trace = nullptr;
    }
    void cleanup() { window.reset(); }

    void dropsOnlyWhereBlackMayPlay()
    {
        QCOMPARE(allowedCells(board), QList<QPoint>({{2, 4}, {3, 5}, {4, 2}, {5, 3}}));
        QMimeData text;
        text.setText(QStringLiteral("c5"));
        QVERIFY(!send<QDragEnterEvent>(board, centre(2, 4), &text));
        QVERIFY(!send<QDropEvent>(board, centre(2, 4), &text));

        // a1 is taken, though a line from it is bracketed.
        BoardText::load(board->model(), {"OO*.....", "........", "........", "........",
                                         "........", "........", "........", "........"});
        QVERIFY(!dropOn(board, 0, 0));
        QCOMPARE(board->model().cell(0, 0), int(White));
    }

    void dropIsAnsweredAtOnceThenPasserAndRestart()
    {
        QVERIFY(dropOn(board, 2, 4)); // c5; the computer answers e6
        const QStringList afterE6{"........", "........", "........", "...*O...",
                                  "..**O...", "....O...", "........", "........"};
        QCOMPARE(BoardText::rows(board->model()), afterE6);
        QVERIFY(!allowedCells(board).isEmpty()); // black again, no turn to wait for

        menuEntry(*window, 0, 1)->trigger(); // "&Restart"
        passButton(*window)->click();        // the computer moves first: c4
        QCOMPARE(BoardText::rows(board->model()).mid(3, 2), QStringList({"..OOO...", "...O*..."}));
        QTRY_COMPARE(blackCount(*window) + u'/' + whiteCount(*window), QStringLiteral("1/4"));
    }

    // Black takes the first cell it may, "Passer" when it has none: the game
    // ends in one report.
    void wholeGameEndsInTheReport()
    {
        BoxAnswerer boxes;
        for (int turn = 0; boxes.texts.isEmpty() && turn < 100; ++turn) {
            const QList<QPoint> cells = allowedCells(board);
            if (cells.isEmpty())
                passButton(*window)->click();
            else
                QVERIFY(dropOn(board, cells[0].x(), cells[0].y()));
            QCoreApplication::processEvents();
        }
        QCOMPARE(boxes.texts.size(), 1);
        QVERIFY(boxes.texts[0].contains(u"Player :"));
    }

    // The position before the last move, the move (a cell, or "Passer"), and
    // the report: a game ends once, full or not.
    void gameEndsInOneReport_data()
    {
        QTest::addColumn<QStringList>("position");
        QTest::addColumn<QPoint>("move");
        QTest::addColumn<QString>("report");
        const QStringList empty(7, QString(8, u'.'));
        QTest::newRow("full, drawn") << QStringList{".O*OOOOO", "**OOOOOO", "OOOOOOOO", "OOOOOOO*",
                                                    "OOOOOO**", "********", "********", "********"}
                                     << QPoint(0, 0) << "Player :32\nComputer :32\n";
        // Black takes the last white disc: nobody can move, 61 squares empty.
        QTest::newRow("black wipes out") << QStringList{"*O......"} + empty << QPoint(2, 0)
                                         << "Black won the game.\n\nPlayer :3\nComputer :0\n";
        // Black has no move; "Passer" lets white take the last black disc.
        QTest::newRow("white wipes out after a pass") << QStringList{"O*......"} + empty << QPoint(-1, -1)
                                                      << "White won the game.\n\nPlayer :0\nComputer :3\n";
    }
    void gameEndsInOneReport()
    {
        QFETCH(QStringList, position);
        QFETCH(QPoint, move);
        QFETCH(QString, report);
        BoardText::load(board->model(), position);
        BoxAnswerer boxes;
        if (move.x() < 0)
            passButton(*window)->click();
        else
            QVERIFY(dropOn(board, move.x(), move.y()));
        QTRY_COMPARE(boxes.texts, QStringList{report});

        // OK left an empty board, which neither takes a disc nor ends again,
        // until "&Restart".
        QTRY_COMPARE(blackCount(*window) + whiteCount(*window), QStringLiteral("00"));
        passButton(*window)->click();
        board->repaint();
        QCoreApplication::processEvents();
        QCOMPARE(boxes.texts.size(), 1);
        QVERIFY(allowedCells(board).isEmpty());
        menuEntry(*window, 0, 1)->trigger();
        QVERIFY(dropOn(board, 2, 4));
    }
};

QTEST_MAIN(PlayTest)
#include "tst_play.moc"
