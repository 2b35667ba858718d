#include "fenserveur.h"
#include "messages.h"
#include "relay.h"

#include <QLabel>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

#include <memory>

namespace {

constexpr int T = 5000;
const QHostAddress Local(QHostAddress::LocalHost);

// A connection without a socket: the relay reads `in` and writes to `out`.
struct Pipe : QIODevice
{
    QByteArray in, out;
    Pipe() { open(ReadWrite | Unbuffered); }
    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override { return in.size(); }
    qint64 readData(char* data, qint64 max) override
    {
        const qint64 n = qMin(max, qint64(in.size()));
        memcpy(data, in.constData(), size_t(n));
        in.remove(0, n);
        return n;
    }
    qint64 writeData(const char* data, qint64 n) override { out.append(data, n); return n; }
    void feed(Relay& relay, const QByteArray& bytes) { in += bytes; relay.receive(this); }
    QStringList texts() { Pipe sent; sent.in = out; return Frame::Reader().readAll(&sent); } // all it was sent
};

// A peer on a real socket, keeping every text it receives.
struct Peer { QTcpSocket socket; Frame::Reader reader; QStringList got; };

QStringList without(QStringList list, const QStringList& drop)
{
    for (const QString& text : drop)
        list.removeAll(text);
    return list;
}

} // namespace

class ServerTest : public QObject
{
    Q_OBJECT

private slots:
    void readsEveryFrameHoweverItArrives_data()
    {
        QTest::addColumn<QByteArray>("malformed");
        QTest::addColumn<int>("chunk");
        const QList<std::pair<const char*, const char*>> kinds{
            {"none", ""}, {"count below length-4", "000e00000008" "0042004c00410043004b"},
            {"huge count", "00087ffffffe00410042"}, {"null marker", "0004ffffffff"},
            {"odd count", "000700000003004100"}, {"empty frame", "0000"}, {"length 3", "0003000000"}};
        for (const auto& [name, hex] : kinds)
            for (int chunk : {1, 5, 1000}) // 1000: all at once
                QTest::addRow("%s, chunks of %d", name, chunk) << QByteArray::fromHex(hex) << chunk;
    }

    void readsEveryFrameHoweverItArrives()
    {
        QFETCH(QByteArray, malformed);
        QFETCH(int, chunk);
        Relay relay;
        QSignalSpy handled(&relay, &Relay::messageReceived);
        Pipe pipes[4];
        for (int i = 0; i < 4; ++i)
            relay.addConnection(&pipes[i], Local, quint16(1000 + i));
        // Two connections sending at once, their bytes cut and interleaved.
        const QStringList a{Message::moveText(2, 3, 1), "PUT|5"};
        const QStringList b{Message::moveText(4, 5, 0), "PUT|x|-1|y|extra|"};
        const QByteArray fromA = malformed + Frame::encode(a[0]) + Frame::encode(a[1]);
        const QByteArray fromB = Frame::encode(b[0]) + Frame::encode(b[1]);
        for (qsizetype at = 0; at < fromA.size() || at < fromB.size(); at += chunk) {
            pipes[0].feed(relay, fromA.mid(at, chunk));
            pipes[1].feed(relay, fromB.mid(at, chunk));
        }
        const QStringList texts = pipes[3].texts();
        QCOMPARE(handled.size(), texts.size()); // nothing from the malformed frame
        QCOMPARE(without(texts, b), a);
        QCOMPARE(without(texts, a), b);
        for (Pipe& pipe : pipes) // relayed unchanged to all four, senders included
            QCOMPARE(pipe.texts(), texts);
    }

    void registersColours_data()
    {
        QTest::addColumn<bool>("bothConnectFirst");
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("second");
        QTest::addColumn<QStringList>("firstGets");
        QTest::addColumn<QStringList>("secondGets");
        QTest::newRow("white then black")
            << false << "WHITE" << "BLACK" << QStringList{"WHITE", "ACKGAMEBEGINW"} << QStringList{"ACKGAMEBEGINB"};
        QTest::newRow("black twice") << false << "BLACK" << "BLACK" << QStringList{"BLACK"} << QStringList{"ERR"};
        QTest::newRow("both connected first") << true << "BLACK" << "WHITE" << QStringList{} << QStringList{};
        // Each keyword is a request of its own, "BLACK" before "WHITE".
        QTest::newRow("both keywords") << false << "BLACK or WHITE" << "WHITEBLACK"
                                       << QStringList{"BLACK", "WHITE", "ACKGAMEBEGINW"} << QStringList{"ACKGAMEBEGINB", "ERR"};
    }

    void registersColours()
    {
        QFETCH(bool, bothConnectFirst);
        QFETCH(QString, first);
        QFETCH(QString, second);
        Relay relay;
        Pipe a, b;
        relay.addConnection(&a, Local, 1000);
        if (bothConnectFirst)
            relay.addConnection(&b, Local, 1001);
        a.feed(relay, Frame::encode(first));
        if (!bothConnectFirst)
            relay.addConnection(&b, Local, 1001);
        b.feed(relay, Frame::encode(second));
        QTEST(a.texts(), "firstGets");
        QTEST(b.texts(), "secondGets");
    }

    void sendsGameStartToTheConnectionsThereAre()
    {
        Relay relay;
        Pipe a;
        relay.addConnection(&a, Local, 1000);
        a.feed(relay, Frame::encode(Message::Black));
        relay.sendGameStart(Message::GameBegin); // no second connection: player 1 only
        QCOMPARE(a.texts(), (QStringList{"BLACK", "ACKGAMEBEGINB"}));
    }

    void servesFourAndLeavesTheFifthPending()
    {
        FenServeur server(0, Local);
        const quint16 port = server.tcpServer->serverPort();
        const QString started = QString("Le serveur a été démarré sur le port <strong>%1</strong>.<br />").arg(port);
        const auto count = [&] { return server.relay()->connectionCount(); };
        std::vector<std::unique_ptr<Peer>> peers;
        const auto attempt = [&] {
            Peer* p = peers.emplace_back(std::make_unique<Peer>()).get();
            QObject::connect(&p->socket, &QTcpSocket::readyRead, [p] { p->got += p->reader.readAll(&p->socket); });
            p->socket.connectToHost(Local, port);
            return p->socket.waitForConnected(T);
        };
        for (int i = 1; i <= 4; ++i) {
            QVERIFY(attempt());
            QTRY_COMPARE_WITH_TIMEOUT(count(), i, T);
            if (i <= 2)
                QCOMPARE(server.statusLabel->text(), started + QString("Nb joueurs : %1").arg(i));
        }
        // The fifth is not served: its move stays unread, the four never see it.
        QVERIFY(attempt());
        const QString waiting = Message::moveText(7, 7, 0), markup = "PUT|<b>1</b>|";
        peers[4]->socket.write(Frame::encode(waiting));
        QTRY_VERIFY_WITH_TIMEOUT(server.tcpServer->hasPendingConnections(), T);
        peers[0]->socket.write(Frame::encode(markup));
        for (int i = 0; i < 4; ++i)
            QTRY_COMPARE_WITH_TIMEOUT(peers[i]->got, QStringList{markup}, T);
        QCOMPARE(server.messageLabel->text(), markup);
        QCOMPARE(server.messageLabel->textFormat(), Qt::PlainText);
        // One of the four leaves: the fifth waits on until another attempt.
        peers[1]->socket.disconnectFromHost();
        QTRY_COMPARE_WITH_TIMEOUT(count(), 3, T);
        QCOMPARE(server.statusLabel->text(), started + "Nb joueurs : 3");
        QVERIFY(server.tcpServer->hasPendingConnections());
        QVERIFY(attempt());
        QTRY_COMPARE_WITH_TIMEOUT(peers[4]->got, QStringList{waiting}, T);
        for (int i : {0, 2, 3})
            QTRY_COMPARE_WITH_TIMEOUT(peers[i]->got.last(), waiting, T);
        QCOMPARE(count(), 4);
        QVERIFY(server.tcpServer->hasPendingConnections()); // the sixth
    }

    void reportsAPortInUse()
    {
        QTcpServer occupant;
        QVERIFY(occupant.listen(Local, 0));
        FenServeur refused(occupant.serverPort(), Local);
        QCOMPARE(refused.statusLabel->text(),
                 "Le serveur n'a pas pu être démarré. Raison :<br />" + refused.tcpServer->errorString());
    }
};

QTEST_MAIN(ServerTest)
#include "tst_server.moc"
