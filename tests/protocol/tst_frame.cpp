// The wire: the exact bytes of a frame, the reader whatever the deliveries
// and however malformed the frames, and the fields of a move text.
#include "fakeconnection.h"
#include "frame.h"
#include "messages.h"

#include <QTest>

namespace {

// The texts one reader takes from stream, delivered in pieces of `piece` bytes.
QStringList readInPieces(const QByteArray& stream, qsizetype piece)
{
    FakeConnection connection;
    Frame::Reader reader;
    QStringList texts;
    for (qsizetype at = 0; at < stream.size(); at += piece) {
        connection.inbox += stream.mid(at, piece);
        texts += reader.readAll(&connection);
    }
    return texts;
}

} // namespace

class FrameTest : public QObject
{
    Q_OBJECT
private slots:
    // Length of the rest, byte count of the text, the text in UTF-16 big-endian.
    void encodesExactBytes()
    {
        const QByteArray black = "000e 0000000a 0042 004c 0041 0043 004b";
        QCOMPARE(Frame::encode(Message::Black).toHex(' '), QByteArray::fromHex(black).toHex(' '));
        // PUT|2|3|1|: 24 bytes follow the length, 20 of them the text.
        const QByteArray move = "0018 00000014 0050 0055 0054 007c 0032 007c 0033 007c 0031 007c";
        const QByteArray sent = Frame::encode(Message::moveText(2, 3, 1));
        QCOMPARE(sent.toHex(' '), QByteArray::fromHex(move).toHex(' '));
        // A null text goes out as the empty one, never as the null marker.
        QCOMPARE(Frame::encode(QString()), QByteArray::fromHex("0004 00000000"));
        // The longest text fits the 16-bit length; one more unit sends nothing.
        const QString longest(32765, u'x');
        QCOMPARE(readInPieces(Frame::encode(longest), 1 << 20), QStringList{longest});
        QVERIFY(Frame::encode(longest + u'x').isEmpty());
    }

    void readsFramesHoweverTheyArrive_data()
    {
        QTest::addColumn<qsizetype>("piece");
        QTest::newRow("byte by byte") << qsizetype(1);
        QTest::newRow("five bytes") << qsizetype(5);
        QTest::newRow("all at once") << qsizetype(1 << 20);
    }
    void readsFramesHoweverTheyArrive()
    {
        QFETCH(qsizetype, piece);
        // Each skipped whole: a count short of the length, a huge count, the
        // null marker, an odd count, an empty frame, a frame shorter than a count.
        const QByteArray malformed = QByteArray::fromHex("000e00000008 0042004c00410043004b"
                                                         "00087ffffffe00410042"
                                                         "0004ffffffff"
                                                         "000700000003004100"
                                                         "0000"
                                                         "0003000000");
        const QStringList texts{"PUT|2|3|1|", QString(), "BLACK", QString(3000, u'é')};
        QByteArray stream = malformed;
        for (const QString& text : texts)
            stream += Frame::encode(text) + malformed;
        QStringList expected = texts;
        expected[1] = QStringLiteral("");
        QCOMPARE(readInPieces(stream, piece), expected);
    }

    void parsesMoves_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QList<int>>("fields"); // column, row, colour; none when not a move
        QTest::newRow("move") << Message::moveText(7, 0, 1) << QList<int>{7, 0, 1};
        QTest::newRow("not numbers") << "PUT|x|?|-|" << QList<int>{0, 0, 0};
        QTest::newRow("always base ten") << "PUT|010|0x3|1|" << QList<int>{10, 0, 1};
        QTest::newRow("last field empty") << "PUT|4|5|" << QList<int>{4, 5, 0};
        QTest::newRow("too few fields") << "PUT|4|5" << QList<int>{};
    }
    void parsesMoves()
    {
        QFETCH(QString, text);
        QFETCH(QList<int>, fields);
        const std::optional<Message::Move> move = Message::parseMove(text);
        QList<int> got;
        if (move)
            got = {move->column, move->row, move->colour};
        QCOMPARE(got, fields);
    }
};

QTEST_GUILESS_MAIN(FrameTest)
#include "tst_frame.moc"
