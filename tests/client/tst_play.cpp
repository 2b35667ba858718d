// SPDX-License-Identifier: GPL-3.0-or-later
// A game against the computer as the player plays it, "&Options" included.

#include "boardtext.h"
#include "modal.h"
#include "windowparts.h"

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

    // The disc dragged from the list to c5 stays in the list; the computer
    // answers e6 at once, its disc marked until "&Restart". Then a short game
    // on the top row: "Passer" lets the computer play, searching from its last
    // square (without a move it tries that one, refused, and keeps it). Its
    // turn shows only as an option; the end, in one report.
    void oneGameAgainstTheComputer()
    {
        if (QGuiApplication::platformName() != u"offscreen")
            QSKIP("Only the offscreen platform ends a drag without a player.");
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
        BoardText::load(board->model(), QStringList{"O*.*...."} + empty); // c1 is white's only move
        passButton(*window)->click();
        QCOMPARE(markedCells(*window, Options::LastMove), QList<QPoint>{QPoint(2, 0)});
        QCOMPARE(turnText(*window), QStringLiteral("C'est votre tour !"));
        menuEntry(*window, 2, Options::WhoseTurn)->trigger();
        board->grab();
        QCOMPARE(turnText(*window), QStringLiteral("Au tour de l'ordinateur")); // black has no move
        BoardText::load(board->model(), QStringList{"*O......"} + empty); // white has none
        passButton(*window)->click();
        QCOMPARE(QPoint(board->model().lastMoveX, board->model().lastMoveY), QPoint(2, 0));
        BoxAnswerer boxes;
        QVERIFY(dropOn(board, 2, 0)); // c1 takes white's last disc: nobody can move
        board->grab(); // the report opens after this repaint; the next one opens none
        QTRY_COMPARE(boxes.texts.size(), 1);
        QCoreApplication::processEvents(); // repaints the board the report emptied
        QCOMPARE(turnText(*window), QStringLiteral("Partie terminée"));
        QCOMPARE(boxes.texts, QStringList{QStringLiteral("Black won the game.\n\nPlayer :3\nComputer :0\n")});
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
    }
};

QTEST_MAIN(PlayTest)
#include "tst_play.moc"
