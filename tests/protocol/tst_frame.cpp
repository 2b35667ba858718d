#include "frame.h"
#include "messages.h"

#include <QTest>

class FrameTest : public QObject
{
    Q_OBJECT
private slots:
    // Length of the rest, byte count of the text, the text in UTF-16 big-endian.
    void encodesExactBytes()
    {
        QCOMPARE(Frame::encode(Message::Black).toHex(' '),
                 QByteArray::fromHex("000e 0000000a 0042 004c 0041 0043 004b").toHex(' '));
        // PUT|2|3|1|: 24 bytes follow the length, 20 of them the text.
        const QByteArray move = "0018 00000014 0050 0055 0054 007c 0032 007c 0033 007c 0031 007c";
        QCOMPARE(Frame::encode(Message::moveText(2, 3, 1)).toHex(' '), QByteArray::fromHex(move).toHex(' '));
    }

    void parsesMoves()
    {
        const auto fields = [](const QString& text) { // column, row, colour; empty when not a move
            const std::optional<Message::Move> m = Message::parseMove(text);
            return m ? QList<int>{m->column, m->row, m->colour} : QList<int>();
        };
        QCOMPARE(fields(Message::moveText(7, 0, 1)), QList<int>({7, 0, 1}));
        QCOMPARE(fields("PUT|x|0x3|?|"), QList<int>({0, 0, 0})); // not base-10 numbers: 0
        QCOMPARE(fields("PUT|4|5|"), QList<int>({4, 5, 0})); // four fields, the last empty
        QCOMPARE(fields("PUT|4|5"), QList<int>());
    }
};

QTEST_GUILESS_MAIN(FrameTest)
#include "tst_frame.moc"
