#include "frame.h"
#include "malformed_frames.h"
#include "messages.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

namespace {

// One loopback connection: bytes written on `out` arrive on `in`, where a
// reader takes them. Each case opens its own on a free port.
struct Link
{
    QTcpServer listener;
    QTcpSocket out;
    QTcpSocket* in = nullptr;

    bool open()
    {
        if (!listener.listen(QHostAddress::LocalHost, 0))
            return false;
        out.connectToHost(QHostAddress::LocalHost, listener.serverPort());
        if (!out.waitForConnected(5000) || !listener.waitForNewConnection(5000))
            return false;
        in = listener.nextPendingConnection();
        return in != nullptr;
    }

    // Writes the bytes and waits until all of them are buffered on the
    // receiving side, so each call is one delivery to the reader.
    bool deliver(const QByteArray& bytes)
    {
        const qint64 expected = in->bytesAvailable() + bytes.size();
        out.write(bytes);
        out.flush();
        return QTest::qWaitFor([&] { return in->bytesAvailable() >= expected; }, 5000);
    }
};

} // namespace

class FrameTest : public QObject
{
    Q_OBJECT

private slots:
    void encodesExactBytes_data();
    void encodesExactBytes();
    void refusesTextsTooLongForTheLength();
    void moveTexts_data();
    void moveTexts();

    void readsAFrameSplitAnywhere();
    void readsEveryBufferedFrame();
    void readsTheLargestFrame();
    void dropsMalformedFramesAndStaysInStep_data();
    void dropsMalformedFramesAndStaysInStep();
};

void FrameTest::encodesExactBytes_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("BLACK") << QStringLiteral("BLACK")
                           << QByteArray::fromHex("000e0000000a0042004c00410043004b");
    // White to column 2, row 3: L = 24, N = 20, 26 bytes.
    QTest::newRow("move") << Message::moveText(2, 3, 1)
                          << QByteArray::fromHex("00180000001400500055005400"
                                                 "7c0032007c0033007c0031007c");
    QTest::newRow("empty") << QStringLiteral("") << QByteArray::fromHex("000400000000");
    // The null marker never goes out: a null text travels as the empty one.
    QTest::newRow("null") << QString() << QByteArray::fromHex("000400000000");
    // Every UTF-16 unit big-endian, non-ASCII included.
    QTest::newRow("accent") << QStringLiteral("é€") << QByteArray::fromHex("00080000000400e920ac");
}

void FrameTest::encodesExactBytes()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QCOMPARE(Frame::encode(text).toHex(' '), bytes.toHex(' '));
}

void FrameTest::refusesTextsTooLongForTheLength()
{
    // 32765 units fill the 16-bit length exactly (4 + 65530 = 65534 bytes).
    const QByteArray largest = Frame::encode(QString(32765, u'x'));
    QCOMPARE(largest.size(), 2 + 65534);
    QCOMPARE(largest.left(6).toHex(), QByteArray("fffe0000fffa"));
    // One more would wrap the length around and desynchronise the peer.
    QVERIFY(Frame::encode(QString(32766, u'x')).isEmpty());
}

void FrameTest::moveTexts_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("isMove");
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("colour");

    QTest::newRow("built") << Message::moveText(7, 0, 1) << true << 7 << 0 << 1;
    QTest::newRow("not numbers give 0") << QStringLiteral("PUT|x|3|?|") << true << 0 << 3 << 0;
    QTest::newRow("four fields, last empty") << QStringLiteral("PUT|4|5|") << true << 4 << 5 << 0;
    QTest::newRow("empty middle fields kept") << QStringLiteral("PUT|||1|") << true << 0 << 0 << 1;
    QTest::newRow("hex is not base 10") << QStringLiteral("PUT|0x5|1|1|") << true << 0 << 1 << 1;
    QTest::newRow("three fields") << QStringLiteral("PUT|4|5") << false << 0 << 0 << 0;
    QTest::newRow("keyword only") << QStringLiteral("PUT|") << false << 0 << 0 << 0;
    QTest::newRow("empty") << QString() << false << 0 << 0 << 0;
}

void FrameTest::moveTexts()
{
    QFETCH(QString, text);
    QFETCH(bool, isMove);

    QCOMPARE(Message::moveText(2, 3, 1), QStringLiteral("PUT|2|3|1|"));

    const std::optional<Message::Move> move = Message::parseMove(text);
    QCOMPARE(move.has_value(), isMove);
    if (move) {
        QTEST(move->column, "column");
        QTEST(move->row, "row");
        QTEST(move->colour, "colour");
    }
}

void FrameTest::readsAFrameSplitAnywhere()
{
    Link link;
    QVERIFY(link.open());
    Frame::Reader reader;
    const QByteArray frame = Frame::encode(Message::Black);

    // The length alone: read once, then kept while the rest is awaited.
    QVERIFY(link.deliver(frame.left(2)));
    QVERIFY(reader.readAll(link.in).isEmpty());
    QCOMPARE(reader.blockSize, quint16(14));
    QCOMPARE(link.in->bytesAvailable(), qint64(0));

    // Count and half the text: still incomplete, the length not read again.
    QVERIFY(link.deliver(frame.mid(2, 7)));
    QVERIFY(reader.readAll(link.in).isEmpty());
    QCOMPARE(reader.blockSize, quint16(14));

    QVERIFY(link.deliver(frame.mid(9)));
    QCOMPARE(reader.readAll(link.in), QStringList{Message::Black});
    QCOMPARE(reader.blockSize, quint16(0));
    QCOMPARE(link.in->bytesAvailable(), qint64(0));

    // A single byte of the next length is left alone.
    QVERIFY(link.deliver(frame.left(1)));
    QVERIFY(reader.readAll(link.in).isEmpty());
    QCOMPARE(reader.blockSize, quint16(0));
    QVERIFY(link.deliver(frame.mid(1)));
    QCOMPARE(reader.readAll(link.in), QStringList{Message::Black});
}

void FrameTest::readsEveryBufferedFrame()
{
    Link link;
    QVERIFY(link.open());
    Frame::Reader reader;
    const QString move = Message::moveText(2, 3, 1);
    const QByteArray third = Frame::encode(Message::White);

    // Two whole frames and the start of a third in one delivery.
    QVERIFY(link.deliver(Frame::encode(Message::Black) + Frame::encode(move) + third.left(8)));
    QCOMPARE(reader.readAll(link.in), (QStringList{Message::Black, move}));
    QCOMPARE(reader.blockSize, quint16(third.size() - 2));

    QVERIFY(link.deliver(third.mid(8) + Frame::encode(QString())));
    QCOMPARE(reader.readAll(link.in), (QStringList{Message::White, QString("")}));
    QCOMPARE(link.in->bytesAvailable(), qint64(0));
}

void FrameTest::readsTheLargestFrame()
{
    Link link;
    QVERIFY(link.open());
    Frame::Reader reader;
    // A length above 32767 must not be taken as negative anywhere.
    QString text(32765, u'a');
    text[0] = u'P';
    text[32764] = u'Z';
    const QByteArray frame = Frame::encode(text);

    QVERIFY(link.deliver(frame.left(40000)));
    QVERIFY(reader.readAll(link.in).isEmpty());
    QCOMPARE(reader.blockSize, quint16(65534));
    QVERIFY(link.deliver(frame.mid(40000) + Frame::encode(Message::Err)));
    QCOMPARE(reader.readAll(link.in), (QStringList{text, Message::Err}));
}

void FrameTest::dropsMalformedFramesAndStaysInStep_data()
{
    QTest::addColumn<QByteArray>("malformed");
    for (const auto& [name, bytes] : malformedFrames())
        QTest::newRow(name) << bytes;
}

void FrameTest::dropsMalformedFramesAndStaysInStep()
{
    QFETCH(QByteArray, malformed);
    Link link;
    QVERIFY(link.open());
    Frame::Reader reader;
    const QString move = Message::moveText(5, 4, 0);

    // In the same delivery as a good frame.
    QVERIFY(link.deliver(malformed + Frame::encode(move)));
    QCOMPARE(reader.readAll(link.in), QStringList{move});
    QCOMPARE(reader.blockSize, quint16(0));

    // Alone, split in two, then a good frame in a later delivery.
    QVERIFY(link.deliver(malformed.left(malformed.size() / 2 + 1)));
    QVERIFY(reader.readAll(link.in).isEmpty());
    QVERIFY(link.deliver(malformed.mid(malformed.size() / 2 + 1)));
    QVERIFY(reader.readAll(link.in).isEmpty());
    QCOMPARE(reader.blockSize, quint16(0));
    QVERIFY(link.deliver(Frame::encode(Message::Black)));
    QCOMPARE(reader.readAll(link.in), QStringList{Message::Black});
}

QTEST_GUILESS_MAIN(FrameTest)
#include "tst_frame.moc"
