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

private slots:
    // The start position's black disc on d4 is the large picture over the
    // large board, not the small ones blown up.
    void discEdgesAreSharp()
    {
        QCOMPARE(qApp->devicePixelRatio(), 2.0);
        const QRect d4(480, 480, 160, 160);
        PavotWidget board;
        const QImage shown = board.grab().toImage().convertToFormat(QImage::Format_RGB32);
        QImage expected = QImage(QStringLiteral("checker@2x.png")).copy(d4);
        expected = expected.convertToFormat(QImage::Format_ARGB32_Premultiplied);
        QPainter(&expected).drawImage(0, 0, QImage(QStringLiteral("pion_noir@2x.png")));
        QCOMPARE(shown.copy(d4), expected.convertToFormat(QImage::Format_RGB32));
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

QTEST_MAIN(SharpTest)
#include "tst_sharp.moc"
