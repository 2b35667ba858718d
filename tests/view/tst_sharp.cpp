// SPDX-License-Identifier: GPL-3.0-or-later
// At 200% the board is drawn from the pictures drawn at twice the size,
// pixel for pixel; a player's own picture still wins over ours.

#include "pavotwidget.h"
#include "pictures.h"

#include <QPainter>
#include <QTemporaryDir>
#include <QTest>

class SharpTest : public QObject
{
    Q_OBJECT

    // The device pixels of logical cell (x, y).
    static QRect devicePixels(int x, int y) { return QRect(x * 160, y * 160, 160, 160); }

private slots:
    void initTestCase() { QCOMPARE(qApp->devicePixelRatio(), 2.0); }

    // The start position's black disc on d4 is the large picture over the
    // large board, not the small ones blown up.
    void discEdgesAreSharp()
    {
        PavotWidget board;
        const QImage shown = board.grab().toImage().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(shown.size(), QSize(1280, 1280));
        QImage expected = QImage(QStringLiteral("checker@2x.png")).copy(devicePixels(3, 3));
        expected = expected.convertToFormat(QImage::Format_ARGB32_Premultiplied);
        QPainter painter(&expected);
        painter.drawImage(0, 0, QImage(QStringLiteral("pion_noir@2x.png")));
        painter.end();
        QCOMPARE(shown.copy(devicePixels(3, 3)), expected.convertToFormat(QImage::Format_RGB32));
    }

    // Which copy a repaint reads: (folder's files, scale) -> device pixels
    // per logical one and the picture's device width.
    void sharpestCopy_data()
    {
        QTest::addColumn<bool>("ownPicture");
        QTest::addColumn<qreal>("scale");
        QTest::addColumn<qreal>("ratio");
        QTest::addColumn<int>("width");
        QTest::addRow("ours at 100%%") << false << 1.0 << 1.0 << 640;
        QTest::addRow("ours at 150%%") << false << 1.5 << 2.0 << 1280;
        QTest::addRow("a player's own at 200%%") << true << 2.0 << 1.0 << 64;
    }
    void sharpestCopy()
    {
        QFETCH(bool, ownPicture);
        QFETCH(qreal, scale);
        QFETCH(qreal, ratio);
        QFETCH(int, width);
        const QString ours = QDir::currentPath();
        QTemporaryDir player;
        if (ownPicture) {
            // Our pictures are still beside the executable; the player's small
            // board, alone in the working folder, is the one drawn.
            QImage own(64, 64, QImage::Format_RGB32);
            own.fill(Qt::red);
            QVERIFY(own.save(player.filePath(QStringLiteral("checker.png"))));
            QVERIFY(QDir::setCurrent(player.path()));
        }
        const QPixmap picture = Pictures::sharpest(QStringLiteral("checker.png"), scale);
        QDir::setCurrent(ours);
        QCOMPARE(picture.devicePixelRatio(), ratio);
        QCOMPARE(picture.width(), width);
    }
};

QTEST_MAIN(SharpTest)
#include "tst_sharp.moc"
