// SPDX-License-Identifier: GPL-3.0-or-later
// "Fit the board to the window": drops land where the player sees the cell,
// at any size; off, the board keeps its fixed size; the first window fits
// small laptop screens.

#include "boardtext.h"
#include "windowparts.h"

#include <QScreen>
#include <QSettings>
#include <QStandardPaths>
#include <QTest>

namespace {
// Black may play only in the two far corners, a1 and h8.
const QStringList corners{".O*.....", "........", "........", "........",
                          "........", "........", "........", ".....*O."};
} // namespace

class FitTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<PavotWidget> board;
    // The square the player sees: the largest that fits, centred.
    int side = 0;
    QPoint origin;

    // A point of cell (x, y), `inset` pixels from its top-left corner.
    QPoint inCell(int x, int y, int inset) const
    {
        return origin + QPoint(x * side / 8 + inset, y * side / 8 + inset);
    }

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void init()
    {
        QSettings().clear();
        board = std::make_unique<PavotWidget>();
        board->model().trace = nullptr;
        BoardText::load(board->model(), corners);
    }

    void drops_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addRow("smallest") << QSize(320, 320);
        QTest::addRow("large") << QSize(904, 904);
        QTest::addRow("wide") << QSize(1000, 700);
        QTest::addRow("tall") << QSize(450, 777);
    }

    // Every cell's centre is offered to a drag: only the two legal corners
    // are allowed. A drop near a corner cell's far edge plays that cell.
    void drops()
    {
        QFETCH(QSize, size);
        board->setFitToWindow(true);
        board->resize(size);
        side = qMin(size.width(), size.height());
        origin = QPoint(size.width() - side, size.height() - side) / 2;
        const int last = side / 8 - 2; // inside the cell, by its bottom-right corner
        QList<QPoint> allowed;
        for (int x = 0; x < 8; ++x)
            for (int y = 0; y < 8; ++y)
                if (send<QDragMoveEvent>(board.get(), inCell(x, y, side / 16)))
                    allowed << QPoint(x, y);
        QCOMPARE(allowed, (QList<QPoint>{QPoint(0, 0), QPoint(7, 7)}));
        QVERIFY(send<QDropEvent>(board.get(), inCell(7, 7, last)));
        QCOMPARE(board->model().cell(7, 7), Black);
        BoardText::load(board->model(), corners); // the computer's reply took a1 from black
        QVERIFY(send<QDropEvent>(board.get(), inCell(0, 0, last)));
        QCOMPARE(board->model().cell(0, 0), Black);
    }

    // Beside a board narrower or shorter than the widget lies no cell, not
    // even next to the legal corner.
    void marginsTakeNoDrop_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QPoint>("beside"); // the margin's point next to a1
        QTest::addRow("left") << QSize(1000, 700) << QPoint(148, 10);
        QTest::addRow("above") << QSize(450, 777) << QPoint(10, 161);
    }
    void marginsTakeNoDrop()
    {
        QFETCH(QSize, size);
        QFETCH(QPoint, beside);
        board->setFitToWindow(true);
        board->resize(size);
        QVERIFY(!send<QDragMoveEvent>(board.get(), beside));
        QVERIFY(!send<QDropEvent>(board.get(), beside));
        QCOMPARE(BoardText::rows(board->model()), corners);
    }

    // Off, the board is 640 x 640 in any window; on, it takes the room.
    void boardFollowsTheWindow_data()
    {
        QTest::addColumn<bool>("fit");
        QTest::addRow("off") << false;
        QTest::addRow("on") << true;
    }
    void boardFollowsTheWindow()
    {
        QFETCH(bool, fit);
        MainWindow window;
        menuEntry(window, 2, Options::FitBoard)->setChecked(fit);
        window.show();
        window.resize(1300, 1000);
        QTRY_VERIFY(window.size() == QSize(1300, 1000));
        QCoreApplication::processEvents();
        const QSize got = window.boardWidget()->size();
        if (fit)
            QVERIFY2(qMin(got.width(), got.height()) > 800, qPrintable(QString::number(got.height())));
        else
            QCOMPARE(got, QSize(640, 640));
    }

    // With the option on, a new window and a title bar fit each screen.
    void firstWindowFitsTheScreen_data()
    {
        QTest::addColumn<int>("screen");
        QTest::addRow("1366 x 768") << 0;
        QTest::addRow("1024 x 600") << 1;
    }
    void firstWindowFitsTheScreen()
    {
        QFETCH(int, screen);
        QCOMPARE(QGuiApplication::screens().size(), 2);
        QSettings().setValue(QStringLiteral("options/fitBoard"), true);
        MainWindow window;
        window.setScreen(QGuiApplication::screens().at(screen));
        window.boardWidget()->updateGeometry();
        const QRect available = window.screen()->availableGeometry();
        constexpr int TitleBar = 40;
        QVERIFY(window.sizeHint().width() <= available.width());
        QVERIFY2(window.sizeHint().height() + TitleBar <= available.height(),
                 qPrintable(QString::number(window.sizeHint().height())));
    }
};

QTEST_MAIN(FitTest)
#include "tst_fit.moc"
