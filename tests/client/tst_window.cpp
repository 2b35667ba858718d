// The client's window: menus, side column, board size and drawing, and the
// "Passer" and "&Restart" commands.

#include "boardtext.h"
#include "windowparts.h"
#include "mainwindow.h"
#include "pavotwidget.h"
#include "pieceslist.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>
#include <cstdio>

class WindowTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        DebugLog::start();
    }
    void cleanup() { DebugLog::stop(); }

    void titleAndMenus()
    {
        MainWindow window;
        QCOMPARE(window.windowTitle(), QStringLiteral("QArdesia multi"));
        const QList<QAction*> menus = window.menuBar()->actions();
        QCOMPARE(menus.size(), 2);
        QCOMPARE(menus[0]->text(), QStringLiteral("&Game"));
        QCOMPARE(menus[1]->text(), QStringLiteral("&Network"));

        const QList<QAction*> game = menuEntries(window, 0);
        QCOMPARE(game.size(), 3);
        QCOMPARE(game[0]->text(), QStringLiteral("&Begin alone..."));
        QCOMPARE(game[0]->shortcuts(), QKeySequence::keyBindings(QKeySequence::Open));
        QCOMPARE(game[1]->text(), QStringLiteral("&Restart"));
        QVERIFY(game[1]->shortcuts().isEmpty());
        QCOMPARE(game[2]->text(), QStringLiteral("E&xit"));
        QCOMPARE(game[2]->shortcuts(), QKeySequence::keyBindings(QKeySequence::Quit));

        const QList<QAction*> network = menuEntries(window, 1);
        QCOMPARE(network.size(), 1);
        QCOMPARE(network[0]->text(), QStringLiteral("&Play multi..."));
        QVERIFY(network[0]->shortcuts().isEmpty());
    }

    void sideColumnInOrder()
    {
        MainWindow window;
        auto* column = window.pieces()->parentWidget();
        auto* layout = qobject_cast<QVBoxLayout*>(column->layout());
        QVERIFY(layout);
        QCOMPARE(layout->count(), 7);
        QCOMPARE(layout->itemAt(0)->widget(), window.pieces());
        const int labels[] = {1, 3, 4, 5, 6};
        const char* texts[] = {"C'est votre tour !", "Pion(s) noir:", "0", "Pion(s) blanc:", "0"};
        for (int i = 0; i < 5; ++i) {
            auto* label = qobject_cast<QLabel*>(layout->itemAt(labels[i])->widget());
            QVERIFY(label);
            QCOMPARE(label->text(), QString::fromUtf8(texts[i]));
        }
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY(layout->itemAt(1)->widget()->isVisible());
        auto* pass = qobject_cast<QPushButton*>(layout->itemAt(2)->widget());
        QVERIFY(pass);
        QCOMPARE(pass->text(), QStringLiteral("Passer"));
        QVERIFY(pass->isEnabled());
        QCOMPARE(window.pieces()->count(), 0);

        // The board stands right of the column.
        QVERIFY(window.boardWidget()->geometry().left() > column->geometry().right());
    }

    void boardKeepsItsSize()
    {
        MainWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        PavotWidget* board = window.boardWidget();
        QCOMPARE(board->size(), QSize(640, 640));
        window.resize(2000, 1500);
        QCoreApplication::processEvents();
        QCOMPARE(board->size(), QSize(640, 640));
        window.resize(100, 100);
        QCoreApplication::processEvents();
        QCOMPARE(board->size(), QSize(640, 640));
    }

    void repaintDrawsDiscsOnThePicture()
    {
        PavotWidget board;
        QSignalSpy ups(&board, &PavotWidget::up);
        const QImage shot = board.grab().toImage();
        QCOMPARE(ups.count(), 1); // every repaint reports once

        const QImage checker(QStringLiteral("checker.png"));
        const QImage black(QStringLiteral("pion_noir.png"));
        const QImage white(QStringLiteral("pion_blanc.png"));
        QVERIFY(!checker.isNull() && !black.isNull() && !white.isNull());
        QCOMPARE(shot.pixel(280, 280), black.pixel(40, 40));
        QCOMPARE(shot.pixel(360, 360), black.pixel(40, 40));
        QCOMPARE(shot.pixel(360, 280), white.pixel(40, 40));
        QCOMPARE(shot.pixel(280, 360), white.pixel(40, 40));
        QCOMPARE(shot.pixel(40, 40), checker.pixel(40, 40));
        QCOMPARE(shot.pixel(600, 500), checker.pixel(600, 500));
    }

    void clickOnBoardIsSwallowed()
    {
        MainWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QStringList before = BoardText::rows(window.boardWidget()->model());
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(200, 330), QPointF(200, 330), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        press.ignore();
        QCoreApplication::sendEvent(window.boardWidget(), &press);
        QVERIFY(press.isAccepted()); // not passed on to the window
        QCOMPARE(BoardText::rows(window.boardWidget()->model()), before);
    }

    void passLetsTheComputerPlayFromTheStart()
    {
        MainWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        PavotWidget* board = window.boardWidget();
        std::FILE* trace = std::tmpfile();
        board->model().trace = trace;

        passButton(window)->click();
        QTRY_COMPARE(blackCount(window), QStringLiteral("1"));
        QCOMPARE(whiteCount(window), QStringLiteral("4"));

        QCOMPARE(BoardText::rows(board->model()),
                 QStringList({"........", "........", "........", "..OOO...",
                              "...O*...", "........", "........", "........"}));
        QCOMPARE(board->model().lastMoveX, 2);
        QCOMPARE(board->model().lastMoveY, 3);
        QVERIFY(DebugLog::lines().contains(QStringLiteral("3")));
        QVERIFY(BoardText::readTrace(trace).startsWith(QStringLiteral("prof\tnoeuds\teval\tcoup\n1\t5\t3\tc4\n")));
        std::fclose(trace);
    }

    void restartSetsUpTheStartAgain()
    {
        MainWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        PavotWidget* board = window.boardWidget();
        board->model().trace = std::fopen("/dev/null", "w");
        passButton(window)->click();
        passButton(window)->click();
        QVERIFY(BoardText::rows(board->model()) != BoardText::rows(Board()));

        QAction* restart = menuEntries(window, 0).at(1);
        restart->trigger();
        QCOMPARE(BoardText::rows(board->model()), BoardText::rows(Board()));
        QCOMPARE(board->discCount()[Black], 2);
        QCOMPARE(board->discCount()[White], 2);
        QCOMPARE(board->model().lastMoveX, 0);
        QCOMPARE(board->model().lastMoveY, 0);
        QVERIFY(!board->playByNetwork());
        QTRY_COMPARE(blackCount(window), QStringLiteral("2"));
        QCOMPARE(whiteCount(window), QStringLiteral("2"));
        std::fclose(board->model().trace);
    }
};

QTEST_MAIN(WindowTest)
#include "tst_window.moc"
