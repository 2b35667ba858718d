// A game against the computer as the player plays it, "&Options" included.

#include "boardtext.h"
#include "modal.h"
#include "optionparts.h"

#include <QDrag>
#include <QSettings>
#include <QStandardPaths>
#include <QTest>

class PlayTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<MainWindow> window;
    PavotWidget* board = nullptr;
    const QStringList empty{7, QString(8, u'.')};

private slots:
    void init()
    {
        QStandardPaths::setTestModeEnabled(true);
        QSettings().clear();
        window = std::make_unique<MainWindow>();
        window->show();
        board = window->boardWidget();
        board->model().trace = nullptr;
    }

    // Only the disc's drags count; the disc dragged to c5 stays in the list.
    // The computer answers e6 at once, its disc marked until "&Restart".
    void dropIsAnsweredAtOnceThenRestart()
    {
        if (QGuiApplication::platformName() != u"offscreen")
            QSKIP("Only the offscreen platform ends a drag without a player.");
        QCOMPARE(allowedCells(board), QList<QPoint>({{2, 4}, {3, 5}, {4, 2}, {5, 3}}));
        const QMimeData noDisc;
        QVERIFY(!send<QDropEvent>(board, centre(2, 4), &noDisc));
        menuEntry(*window, 0, 0)->trigger(); // "&Begin alone..." puts the disc in the list
        QWidget* list = window->pieces()->viewport();
        const QPoint disc = window->pieces()->visualItemRect(window->pieces()->item(0)).center();
        QTest::mousePress(list, Qt::LeftButton, {}, disc);
        QTest::mouseMove(list, disc + QPoint(10, 0));
        QTest::mouseMove(list, disc + QPoint(40, 0)); // the drag starts, and ends at once
        const QDrag* drag = window->pieces()->findChild<QDrag*>();
        QVERIFY(drag && send<QDropEvent>(board, centre(2, 4), drag->mimeData()));
        QCOMPARE(window->pieces()->count(), 1);
        QCOMPARE(markedCells(*window, Options::LastMove), QList<QPoint>{QPoint(4, 5)}); // e6
        menuEntry(*window, 0, 1)->trigger(); // "&Restart"
        QCOMPARE(markedCells(*window, Options::LastMove), QList<QPoint>());
    }

    // Black takes the first cell it may (the cells marked), else "Passer": one
    // report, then an empty board without marks or turn until "&Restart".
    void wholeGameEndsInOneReport()
    {
        menuEntry(*window, 2, Options::WhoseTurn)->trigger();
        BoxAnswerer boxes;
        for (int turn = 0; boxes.texts.isEmpty() && turn < 100; ++turn) {
            const QList<QPoint> cells = allowedCells(board);
            QCOMPARE(markedCells(*window, Options::LegalMoves), cells);
            if (cells.isEmpty())
                passButton(*window)->click();
            else
                QVERIFY(dropOn(board, cells[0].x(), cells[0].y()));
            QCoreApplication::processEvents();
        }
        QTRY_COMPARE(blackCount(*window) + whiteCount(*window), QStringLiteral("00"));
        passButton(*window)->click();
        QCOMPARE(markedCells(*window, Options::LastMove), QList<QPoint>());
        QCoreApplication::processEvents();
        QCOMPARE(boxes.texts.size(), 1);
        QCOMPARE(turnText(*window), QStringLiteral("Partie terminée"));
        menuEntry(*window, 0, 1)->trigger();
        QVERIFY(dropOn(board, 2, 4));
    }

    // "Passer": the computer searches from its last square; without a move it
    // tries that one, refused, and keeps it. Its turn shows only as an option.
    void passerStartsFromTheComputersLastSquare()
    {
        BoardText::load(board->model(), QStringList{"O*.*...."} + empty); // c1 is white's only move
        passButton(*window)->click();
        QCOMPARE(markedCells(*window, Options::LastMove), QList<QPoint>{QPoint(2, 0)});
        QCOMPARE(turnText(*window), QStringLiteral("C'est votre tour !"));
        menuEntry(*window, 2, Options::WhoseTurn)->trigger();
        board->grab();
        QCOMPARE(turnText(*window), QStringLiteral("Au tour de l'ordinateur")); // black has no move
        QCOMPARE(QPoint(board->model().lastMoveX, board->model().lastMoveY), QPoint(2, 0));
        BoardText::load(board->model(), QStringList{"*O......"} + empty); // white has none
        board->model().lastMoveX = 1; // as if b1 were its last
        passButton(*window)->click();
        QCOMPARE(QPoint(board->model().lastMoveX, board->model().lastMoveY), QPoint(1, 0));
        QCOMPARE(markedCells(*window, Options::LastMove), QList<QPoint>{QPoint(2, 0)});
    }

    // Each option turned on is on in the next window, the others off.
    void optionsAreRemembered_data()
    {
        QTest::addColumn<int>("choice");
        for (int choice = 0; choice < Options::ChoiceCount; ++choice)
            QTest::addRow("%d", choice) << choice;
    }
    void optionsAreRemembered()
    {
        QFETCH(int, choice);
        menuEntry(*window, 2, choice)->trigger();
        window = std::make_unique<MainWindow>();
        for (int other = 0; other < Options::ChoiceCount; ++other)
            QCOMPARE(menuEntry(*window, 2, other)->isChecked(), other == choice);
        QCOMPARE(window->boardWidget()->model().stronger(), choice == Options::StrongerComputer);
    }
};

QTEST_MAIN(PlayTest)
#include "tst_play.moc"
