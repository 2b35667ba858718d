// SPDX-License-Identifier: GPL-3.0-or-later
// A game against the computer as the player plays it, and the choices it remembers.

#include "boardtext.h"
#include "modal.h"
#include "movelist/movelistpanel.h"
#include "windowparts.h"

#include <QSettings>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QThread>
#include <QTest>

class FlowTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<MainWindow> window;
    PavotWidget* board = nullptr;
    // Every report is answered at once.
    BoxAnswerer boxes;

    QStringList rows() const { return BoardText::rows(board->model()); }
    void option(Options::Choice choice) { menuEntry(*window, 2, choice)->setChecked(true); }
    void newWindow()
    {
        window = std::make_unique<MainWindow>();
        window->show();
        board = window->boardWidget();
        board->gameState().setTraceOutput(nullptr);
    }

private slots:
    void init()
    {
        QStandardPaths::setTestModeEnabled(true);
        QSettings().clear();
        boxes.texts.clear();
        newWindow();
    }

    // The disc dropped on c5 stays in the list; e6 answers, marked until "&Restart". "Passer" lets the computer play
    // from its last square; without a move it tries that one, keeps it and passes, its disc still marked.
    void oneGameAgainstTheComputer()
    {
        menuEntry(*window, 0, 0)->trigger(); // "&Begin alone..." puts the disc in the list
        QVERIFY(dropOn(board, 2, 4));
        QVERIFY(!dropBack(window->pieces()));
        QCOMPARE(window->pieces()->count(), 1);
        QCOMPARE(markedCells(*window, Options::LastMove), QList<QPoint>{QPoint(4, 5)}); // e6
        menuEntry(*window, 0, 1)->trigger(); // "&Restart"
        QCOMPARE(markedCells(*window, Options::LastMove), QList<QPoint>());
        BoardText::load(board->model(), BoardText::topRow("OX.X....")); // c1 is white's only move
        passButton(*window)->click();
        QCOMPARE(markedCells(*window, Options::LastMove), QList<QPoint>{QPoint(2, 0)});
        QCOMPARE(turnText(*window), QStringLiteral("C'est votre tour !"));
        option(Options::WhoseTurn);
        board->grab();
        QCOMPARE(turnText(*window), QStringLiteral("Au tour de l'ordinateur")); // black has no move
        BoardText::load(board->model(), BoardText::topRow("XXO.....")); // white has none
        passButton(*window)->click();
        QCOMPARE(markedCells(*window, Options::LastMove), QList<QPoint>{QPoint(2, 0)});
        QVERIFY(dropOn(board, 3, 0)); // d1 takes white's last disc: nobody can move
        board->grab(); // the report opens after this repaint; the next one opens none
        QTRY_COMPARE(boxes.texts.size(), 1);
        QCoreApplication::processEvents(); // repaints the board the report emptied
        QCOMPARE(turnText(*window), QStringLiteral("Partie terminée"));
    }

    // The player's disc shows at once; while the computer thinks the window
    // turns its event loop, says so, and refuses drops; then it answers.
    void threadedLevelThinksOffTheWindowThread()
    {
        // A level long enough that a busy machine still turns the loop.
        levelEntry(*window, engine::Level::Expert)->trigger();
        option(Options::WhoseTurn);
        const int ticks = boxes.ticks;
        QVERIFY(dropOn(board, 2, 4)); // c5
        QCOMPARE(board->model().count(Colour::Black), 4);
        board->grab();
        QCOMPARE(turnText(*window), QStringLiteral("L'ordinateur réfléchit..."));
        QCOMPARE(allowedCells(board), QList<QPoint>());
        QTRY_VERIFY(board->model().count(Colour::White) > 1);
        QVERIFY(boxes.ticks - ticks >= 5);
        QCOMPARE(board->model().count(Colour::Black) + board->model().count(Colour::White), 6);
        QVERIFY(!allowedCells(board).isEmpty());
    }

    // "&Restart" or undo while the computer thinks, or "&Restart" while it seeks a hint: what it found before the
    // cancel never lands after it (a search still running is cancelled the same way). Redo answers again.
    void cancelledWorkNeverLands_data()
    {
        QTest::addColumn<bool>("hint");
        QTest::addColumn<int>("entry");
        QTest::addRow("reply, restart") << false << 1;
        QTest::addRow("reply, undo then redo") << false << 2;
        QTest::addRow("hint, restart") << true << 1;
    }
    void cancelledWorkNeverLands()
    {
        QFETCH(bool, hint);
        QFETCH(int, entry);
        levelEntry(*window, engine::Level::Beginner)->trigger();
        if (hint) {
            BoardText::load(board->model(), BoardText::topRow("XO......")); // one move: found at once
            menuEntry(*window, 0, 4)->trigger();
        } else {
            QVERIFY(dropOn(board, 2, 4));
        }
        QThread::msleep(300); // found, not yet delivered
        menuEntry(*window, 0, entry)->trigger();
        QTest::qWait(300);
        QVERIFY(!board->hint().has_value());
        if (hint)
            return;
        QCOMPARE(rows(), BoardText::rows(Board()));
        QCOMPARE(board->turn(), PavotWidget::Turn::Local);
        if (entry == 2)
            menuEntry(*window, 0, 3)->trigger();
        QTRY_COMPARE(board->model().count(Colour::Black) + board->model().count(Colour::White), entry == 2 ? 6 : 4);
    }

    // The hint is searched off the window's thread, then marks one of the player's moves without playing it.
    void hintIsMarkedNotPlayed()
    {
        QVERIFY(dropOn(board, 2, 4)); // c5, answered e6
        const QStringList position = rows();
        const int ticks = boxes.ticks;
        menuEntry(*window, 0, 4)->trigger(); // "&Hint"
        QTRY_VERIFY_WITH_TIMEOUT(board->hint().has_value(), 15000);
        QVERIFY(boxes.ticks - ticks >= 5);
        QCOMPARE(rows(), position);
        QVERIFY(allowedCells(board).contains(*board->hint()));
    }

    // Undo and redo go by a move and its reply; the move list follows.
    void undoAndRedoAgainstTheComputer()
    {
        option(Options::MoveList);
        QVERIFY(dropOn(board, 2, 4)); // c5, answered e6
        const QStringList afterOne = rows();
        QCOMPARE(window->moveList()->item(0)->text(), QStringLiteral("1. Black c4"));
        menuEntry(*window, 0, 2)->trigger();
        QCOMPARE(rows(), BoardText::rows(Board()));
        QCOMPARE(window->moveList()->count(), 0);
        menuEntry(*window, 0, 3)->trigger();
        QCOMPARE(rows(), afterOne);
        QCOMPARE(window->moveList()->count(), 2);
    }

    // A new level while the computer thinks takes over its reply at once.
    void levelChangeTakesOverTheReply()
    {
        levelEntry(*window, engine::Level::Master)->trigger();
        QVERIFY(dropOn(board, 2, 4));
        levelEntry(*window, engine::Level::Normal)->trigger();
        QCOMPARE(board->model().count(Colour::Black) + board->model().count(Colour::White), 6);
        QTest::qWait(100);
        QCOMPARE(board->model().count(Colour::Black) + board->model().count(Colour::White), 6);
    }

    // A listener stands in for the server. The turn begins once the game connection is up, and white moves first;
    // undo is refused. A new network game starts from the start position, nobody's turn until it connects.
    void networkGameTurns()
    {
        QTcpServer server;
        QVERIFY(server.listen(QHostAddress::LocalHost));
        board->startNetworkPlay(true, QStringLiteral("127.0.0.1"), server.serverPort());
        QTRY_VERIFY_WITH_TIMEOUT(boxes.texts.contains(QStringLiteral("Le joueur blanc commence.")), 5000);
        QVERIFY(!dropOn(board, 2, 4));
        board->playReceivedMove(QStringLiteral("PUT|2|3|1|")); // white c4
        QVERIFY(dropOn(board, 2, 2)); // black c3
        const QStringList before = rows();
        menuEntry(*window, 0, 2)->trigger();
        QVERIFY(!board->undo());
        QCOMPARE(rows(), before);
        board->playReceivedMove(QStringLiteral("PUT|4|5|1|")); // white e6: black's turn
        board->startNetworkPlay(true, QStringLiteral("127.0.0.1"), server.serverPort());
        QCOMPARE(rows(), BoardText::rows(Board()));
        QVERIFY(!dropOn(board, 2, 4));
    }

    // A drop, a click, or the arrow keys and Enter, each follow the drop rule at once: a refused cell stays refused,
    // whatever a drag was told over it; an allowed one is answered by the computer.
    void placingFollowsTheDropRule_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QPoint>("cell");
        QTest::addColumn<bool>("allowed");
        QTest::addRow("drop on a1") << "drop" << QPoint(0, 0) << false;
        QTest::addRow("click on d4") << "click" << QPoint(3, 3) << false;
        QTest::addRow("click on c5") << "click" << QPoint(2, 4) << true;
        QTest::addRow("keys to b7") << "keys" << QPoint(1, 6) << false;
        QTest::addRow("keys to f4") << "keys" << QPoint(5, 3) << true;
    }
    void placingFollowsTheDropRule()
    {
        QFETCH(QString, how);
        QFETCH(QPoint, cell);
        QFETCH(bool, allowed);
        option(Options::ClickPlay);
        if (how == "drop") {
            QCOMPARE(dropOn(board, cell.x(), cell.y()), allowed);
        } else if (how == "keys") {
            for (QPoint at = board->keyboardCursor(); at != cell; at = board->keyboardCursor()) {
                const Qt::Key key = at.x() < cell.x()   ? Qt::Key_Right
                                    : at.x() > cell.x() ? Qt::Key_Left
                                    : at.y() < cell.y() ? Qt::Key_Down
                                                        : Qt::Key_Up;
                QTest::keyClick(board, key);
            }
            QTest::keyClick(board, Qt::Key_Return);
        } else {
            QTest::mouseClick(board, Qt::LeftButton, {}, centre(cell.x(), cell.y()));
        }
        QVERIFY(!allowed || board->model().cell(cell.x(), cell.y()) == Colour::Black);
        QCOMPARE(board->model().count(Colour::Black) + board->model().count(Colour::White), allowed ? 6 : 4);
    }

    // With automatic passes "Passer" does nothing while black can move;
    // when black cannot, after a short notice, the computer plays by itself.
    void automaticPassGoesOn()
    {
        option(Options::AutoPass);
        passButton(*window)->click();
        QCOMPARE(rows(), BoardText::rows(Board()));
        BoardText::load(board->model(), BoardText::topRow("OX......")); // c1 is white's only move
        board->update();
        QCOMPARE(boxes.texts.size(), 0);
        QTRY_COMPARE(boxes.texts, QStringList{QStringLiteral("White won the game.\n\nPlayer :0\nComputer :3\n")});
    }

    // The report names the winner, or none; the count labels and, with the
    // final position kept, the player's score say the same.
    void theEndIsReported_data()
    {
        QTest::addColumn<QString>("row");
        QTest::addColumn<QString>("report");
        QTest::addColumn<QStringList>("labels"); // black's count, white's count, the score
        QTest::newRow("black wins") << "XO......" << "Black won the game.\n\nPlayer :3\nComputer :0\n"
                                    << QStringList{"3", "0", "You won 3-0"};
        QTest::newRow("draw") << "XO.XOOOO" << "Player :4\nComputer :4\n" << QStringList{"4", "4", "Draw 4-4"};
    }
    void theEndIsReported()
    {
        QFETCH(QString, row);
        QFETCH(QString, report);
        QFETCH(QStringList, labels);
        option(Options::KeepFinal);
        BoardText::load(board->model(), BoardText::topRow(row));
        QVERIFY(dropOn(board, 2, 0)); // c1 ends the game
        QTRY_COMPARE(boxes.texts, QStringList{report});
        board->grab();
        QCOMPARE(columnWidget<QLabel>(*window, 4)->text(), labels.at(0));
        QCOMPARE(columnWidget<QLabel>(*window, 6)->text(), labels.at(1));
        QCOMPARE(turnText(*window), labels.at(2));
    }

    // A saved game opens, after "&Restart", to the same position and move
    // list; a file that is not a legal game is refused, told, and changes nothing.
    void openingAGame_data()
    {
        QTest::addColumn<bool>("saved");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addRow("saved game") << true << QByteArray();
        QTest::addRow("too large") << false << QByteArray(5000, ' ');
        QTest::addRow("missing") << false << QByteArray();
    }
    void openingAGame()
    {
        QFETCH(bool, saved);
        QFETCH(QByteArray, bytes);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("game.txt"));
        if (!bytes.isEmpty()) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            QCOMPARE(file.write(bytes), bytes.size());
        }
        QVERIFY(dropOn(board, 2, 4));
        QVERIFY(dropOn(board, 5, 4));
        const QStringList position = rows();
        const int moves = window->moveList()->count();
        if (saved) {
            QVERIFY(window->saveGame(path));
            menuEntry(*window, 0, 1)->trigger(); // "&Restart"
        }
        QCOMPARE(window->openGame(path), saved);
        QCOMPARE(rows(), position);
        QCOMPARE(window->moveList()->count(), moves);
        QCOMPARE(boxes.texts.size(), saved ? 0 : 1);
    }

    // Each option turned on is on in the next window, the others off; so is the level chosen.
    void choicesAreRemembered_data()
    {
        QTest::addColumn<int>("choice");
        for (int choice = 0; choice < Options::ChoiceCount; ++choice)
            QTest::addRow("%d", choice) << choice;
    }
    void choicesAreRemembered()
    {
        QFETCH(int, choice);
        menuEntry(*window, 2, choice)->trigger();
        levelEntry(*window, engine::Level::Beginner)->trigger();
        newWindow();
        for (int other = 0; other < Options::ChoiceCount; ++other)
            QCOMPARE(menuEntry(*window, 2, other)->isChecked(), other == choice);
        QVERIFY(levelEntry(*window, engine::Level::Beginner)->isChecked());
        QCOMPARE(board->level(), engine::Level::Beginner);
    }
};

QTEST_MAIN(FlowTest)
#include "tst_flow.moc"
