// SPDX-License-Identifier: GPL-3.0-or-later
// The board at 200%: fitted to the window, drops land where the cell shows; the player's own pictures win.

#include "boardtext.h"
#include "common/pictures.h"
#include "windowparts.h"

#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

class ViewTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init() { QSettings().clear(); }

    void drops_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addRow("smallest") << QSize(400, 320);
        QTest::addRow("tall") << QSize(450, 777);
    }
    // On the largest square that fits, centred, only the two legal corners take a drag; a drop by a corner cell's far
    // edge plays that cell; the margin beside a1 is no cell.
    void drops()
    {
        QFETCH(QSize, size);
        QStringList corners(8, QString(8, u'.'));
        corners.first() = QStringLiteral(".OX.....");
        corners.last() = QStringLiteral(".....XO.");
        PavotWidget board;
        board.gameState().setTraceOutput(nullptr);
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
        QCOMPARE(board.model().cell(7, 7), Colour::Black);
        BoardText::load(board.model(), corners); // the computer's reply took a1 from black
        QVERIFY(send<QDropEvent>(&board, at(0, 0, side / 8 - 2)));
        QCOMPARE(board.model().cell(0, 0), Colour::Black);
    }

    // The player's board, alone in the working folder, is drawn at its own
    // size though ours at twice the size lies beside the executable.
    void playersOwnPictureWins()
    {
        const QString ours = QDir::currentPath();
        QTemporaryDir player;
        QImage own(64, 64, QImage::Format_RGB32);
        own.fill(Qt::red);
        QVERIFY(own.save(player.filePath(QStringLiteral("checker.png"))));
        QDir::setCurrent(player.path());
        const QPixmap picture = Pictures::sharpest(QStringLiteral("checker.png"), 2);
        QDir::setCurrent(ours);
        QCOMPARE(picture.size(), QSize(64, 64));
    }
};

QTEST_MAIN(ViewTest)
#include "tst_view.moc"
