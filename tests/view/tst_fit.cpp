// SPDX-License-Identifier: GPL-3.0-or-later
// "Fit the board to the window": drops land where the player sees the cell,
// at any size; off, the board keeps its fixed size.

#include "boardtext.h"
#include "windowparts.h"

#include <QSettings>
#include <QStandardPaths>
#include <QTest>

class FitTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init() { QSettings().clear(); }

    void drops_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addRow("smallest") << QSize(400, 320);
        QTest::addRow("wide") << QSize(1000, 700);
        QTest::addRow("tall") << QSize(450, 777);
    }
    // On the largest square that fits, centred, only the two legal corners
    // take a drag; a drop by a corner cell's far edge plays that cell; the
    // margin beside a1 is no cell.
    void drops()
    {
        QFETCH(QSize, size);
        QStringList corners(8, QString(8, u'.'));
        corners.first() = QStringLiteral(".O*.....");
        corners.last() = QStringLiteral(".....*O.");
        PavotWidget board;
        board.model().trace = nullptr;
        BoardText::load(board.model(), corners);
        board.setFitToWindow(true);
        board.resize(size);
        const int side = qMin(size.width(), size.height());
        const QPoint origin = QPoint(size.width() - side, size.height() - side) / 2;
        const auto at = [&](int x, int y, int inset) {
            return origin + QPoint(x, y) * side / 8 + QPoint(inset, inset);
        };
        QList<QPoint> allowed;
        for (int x = 0; x < 8; ++x)
            for (int y = 0; y < 8; ++y)
                if (send<QDragMoveEvent>(&board, at(x, y, side / 16)))
                    allowed << QPoint(x, y);
        QCOMPARE(allowed, (QList<QPoint>{QPoint(0, 0), QPoint(7, 7)}));
        const QPoint beside = origin.x() > 0 ? origin + QPoint(-2, 5) : origin + QPoint(5, -2);
        QVERIFY(!send<QDropEvent>(&board, beside));
        QVERIFY(send<QDropEvent>(&board, at(7, 7, side / 8 - 2)));
        QCOMPARE(board.model().cell(7, 7), Black);
        BoardText::load(board.model(), corners); // the computer's reply took a1 from black
        QVERIFY(send<QDropEvent>(&board, at(0, 0, side / 8 - 2)));
        QCOMPARE(board.model().cell(0, 0), Black);
    }

    void boardFollowsTheWindow_data()
    {
        QTest::addColumn<bool>("fit");
        QTest::addRow("off") << false;
        QTest::addRow("on") << true;
    }
    // Off, the board is 640 x 640 in a large window; on, it takes the room.
    void boardFollowsTheWindow()
    {
        QFETCH(bool, fit);
        MainWindow window;
        menuEntry(window, 2, Options::FitBoard)->setChecked(fit);
        window.show();
        window.resize(1300, 1000);
        QTRY_COMPARE(window.size(), QSize(1300, 1000));
        QCoreApplication::processEvents();
        const QSize board = window.boardWidget()->size();
        QCOMPARE(qMin(board.width(), board.height()) > 800, fit);
        QVERIFY(fit || board == QSize(640, 640));
    }
};

QTEST_MAIN(FitTest)
#include "tst_fit.moc"
