// The client's window: menus, side column, the board's size and drawing,
// and the "Passer" and "&Restart" commands.

#include "boardtext.h"
#include "pavotwidget.h"
#include "windowparts.h"

#include <QSignalSpy>
#include <QTest>

class WindowTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { DebugLog::start(); }
    void cleanup() { DebugLog::stop(); }

    void layoutAndMenus()
    {
        MainWindow window;
        QCOMPARE(window.windowTitle(), QStringLiteral("QArdesia multi"));
        QStringList menus;
        for (QAction* menu : window.menuBar()->actions())
            menus << menu->text();
        QCOMPARE(menus, QStringList({"&Game", "&Network"}));
        QStringList entries;
        for (int m = 0; m < 2; ++m)
            for (QAction* a : menuEntries(window, m))
                entries << a->text() + u' ' + QKeySequence::listToString(a->shortcuts());
        const auto keys = [](QKeySequence::StandardKey k) {
            return QKeySequence::listToString(QKeySequence::keyBindings(k));
        };
        QCOMPARE(entries, QStringList({"&Begin alone... " + keys(QKeySequence::Open), "&Restart ",
                                       "E&xit " + keys(QKeySequence::Quit), "&Play multi... "}));

        // The side column, top to bottom, before the first repaint.
        QCOMPARE(columnWidget<QWidget>(window, 0), window.pieces());
        QStringList column;
        for (int row = 1; row < 7; ++row) {
            QWidget* w = columnWidget<QWidget>(window, row);
            column << (row == 2 ? passButton(window)->text() : qobject_cast<QLabel*>(w)->text());
        }
        QCOMPARE(column, QStringList({"C'est votre tour !", "Passer", "Pion(s) noir:", "0", "Pion(s) blanc:", "0"}));

        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QVERIFY(columnWidget<QLabel>(window, 1)->isVisible() && passButton(window)->isEnabled());
        for (QSize size : {QSize(2000, 1500), QSize(100, 100)}) {
            window.resize(size);
            QCoreApplication::processEvents();
            QCOMPARE(window.boardWidget()->size(), QSize(640, 640));
        }
    }

    void repaintDrawsDiscsOnThePicture()
    {
        PavotWidget board;
        QSignalSpy ups(&board, &PavotWidget::up);
        const QImage shot = board.grab().toImage();
        QCOMPARE(ups.count(), 1);
        const QImage checker(QStringLiteral("checker.png"));
        const QRgb black = QImage(QStringLiteral("pion_noir.png")).pixel(40, 40);
        const QRgb white = QImage(QStringLiteral("pion_blanc.png")).pixel(40, 40);
        QVERIFY(!checker.isNull() && black != white);
        QCOMPARE(shot.pixel(280, 280), black);
        QCOMPARE(shot.pixel(360, 360), black);
        QCOMPARE(shot.pixel(360, 280), white);
        QCOMPARE(shot.pixel(280, 360), white);
        QCOMPARE(shot.pixel(40, 40), checker.pixel(40, 40));
    }

    void clickOnBoardGoesNoFurther()
    {
        PavotWidget board;
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(200, 330), QPointF(200, 330), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        press.ignore();
        QCoreApplication::sendEvent(&board, &press);
        QVERIFY(press.isAccepted());
        QCOMPARE(BoardText::rows(board.model()), BoardText::rows(Board()));
    }

    void passThenRestart()
    {
        MainWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        PavotWidget* board = window.boardWidget();
        std::FILE* trace = std::tmpfile();
        board->model().trace = trace;

        passButton(window)->click(); // the computer plays c4 from the start
        QCOMPARE(BoardText::rows(board->model()),
                 QStringList({"........", "........", "........", "..OOO...", "...O*...", "........",
                              "........", "........"}));
        QTRY_COMPARE(blackCount(window), QStringLiteral("1"));
        QCOMPARE(whiteCount(window), QStringLiteral("4"));
        QVERIFY(DebugLog::lines().contains(QStringLiteral("3")));
        QVERIFY(BoardText::readTrace(trace).startsWith("prof\tnoeuds\teval\tcoup\n1\t5\t3\tc4\n"));

        passButton(window)->click();
        menuEntries(window, 0).at(1)->trigger(); // "&Restart"
        QCOMPARE(BoardText::rows(board->model()), BoardText::rows(Board()));
        QCOMPARE(board->model().lastMoveX + board->model().lastMoveY, 0);
        QTRY_COMPARE(blackCount(window), QStringLiteral("2"));
        QCOMPARE(whiteCount(window), QStringLiteral("2"));
        std::fclose(trace);
    }
};

QTEST_MAIN(WindowTest)
#include "tst_window.moc"
