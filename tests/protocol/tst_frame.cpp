#include "frame.h"
#include "messages.h"

#include <QTest>

class FrameTest : public QObject
{
    Q_OBJECT

private slots:
    void encodesExactBytes_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("BLACK") << Message::Black << QByteArray::fromHex("000e0000000a0042004c00410043004b");
        // White to column 2, row 3: 26 bytes.
        QTest::newRow("move") << Message::moveText(2, 3, 1)
                              << QByteArray::fromHex("001800000014005000550054007c0032007c0033007c0031007c");
    }

    void encodesExactBytes()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QCOMPARE(Frame::encode(text).toHex(' '), bytes.toHex(' '));
    }

    void parsesMoves_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("fields"); // column, row, colour; empty when not a move
        QTest::newRow("built") << Message::moveText(7, 0, 1) << "7 0 1";
        QTest::newRow("not numbers give 0") << "PUT|x|3|?|" << "0 3 0";
        QTest::newRow("three fields") << "PUT|4|5" << "";
        QTest::newRow("keyword only") << "PUT|" << "";
    }

    void parsesMoves()
    {
        QFETCH(QString, text);
        const std::optional<Message::Move> m = Message::parseMove(text);
        QTEST(m ? QString("%1 %2 %3").arg(m->column).arg(m->row).arg(m->colour) : QString(), "fields");
    }
};

QTEST_GUILESS_MAIN(FrameTest)
#include "tst_frame.moc"
