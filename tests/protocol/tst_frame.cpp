// SPDX-License-Identifier: GPL-3.0-or-later
// The wire: a frame's exact bytes, and the reader however bytes come.
#include "fakeconnection.h"
#include "protocol/frame.h"
#include "protocol/messages.h"

#include <QTest>

class FrameTest : public QObject
{
    Q_OBJECT
private slots:
    // "PUT|2|3|1|": length of the rest (24), byte count of the text (20), the text in UTF-16 big-endian.
    void encodesExactBytes()
    {
        const QByteArray move = QByteArray::fromHex("0018 00000014"
                                                    "0050 0055 0054 007c 0032 007c 0033 007c 0031 007c");
        QCOMPARE(Frame::encode(Message::moveText(2, 3, Colour::White)), move);
        // A null text goes as the empty one, never as the null marker.
        QCOMPARE(Frame::encode(QString()), QByteArray::fromHex("0004 00000000"));
        // Too long for the 16-bit length by one UTF-16 unit: nothing is sent.
        QVERIFY(Frame::encode(QString(32766, u'x')).isEmpty());
    }

    void readsFramesHoweverTheyArrive_data()
    {
        QTest::addColumn<qsizetype>("piece");
        QTest::newRow("byte by byte") << qsizetype(1);
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
        // A null text arrives as the empty one (equal to it), never as the
        // null marker; the longest text still fits the 16-bit length.
        const QStringList texts{"PUT|2|3|1|", QString(), "BLACK", QString(32765, u'é')};
        QByteArray stream = malformed;
        for (const QString& text : texts)
            stream += Frame::encode(text) + malformed;
        // One reader, the stream delivered in pieces of `piece` bytes.
        FakeConnection connection;
        Frame::Reader reader;
        QStringList got;
        for (qsizetype at = 0; at < stream.size(); at += piece) {
            connection.inbox += stream.mid(at, piece);
            got += reader.readAll(&connection);
        }
        QCOMPARE(got, texts);
    }
};

QTEST_GUILESS_MAIN(FrameTest)
#include "tst_frame.moc"
