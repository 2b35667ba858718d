// SPDX-License-Identifier: GPL-3.0-or-later
// The relay's rules on connections without sockets, then the whole server.
#include "elidedlabel.h"
#include "fakeconnection.h"
#include "fenserveur.h"
#include "messages.h"
#include "relay.h"

#include <QLoggingCategory>
#include <QTcpSocket>
#include <QTest>

#include <deque>

// A player on a socket, keeping every text it receives.
struct Peer
{
    QTcpSocket socket;
    Frame::Reader reader;
    QStringList got;
    explicit Peer(quint16 port)
    {
        QObject::connect(&socket, &QTcpSocket::readyRead, [this] { got += reader.readAll(&socket); });
        socket.connectToHost(QHostAddress::LocalHost, port);
    }
};

// The texts the relay wrote to a connection.
QStringList sent(const FakeConnection& player)
{
    FakeConnection wire;
    wire.inbox = player.outbox;
    return Frame::Reader().readAll(&wire);
}

class ServerTest : public QObject
{
    Q_OBJECT
    std::unique_ptr<FenServeur> server;
    std::deque<Peer> peers; // references stay valid as players arrive

    int served() const { return server->relay()->connectionCount(); }
    int waiting() const { return server->listener()->waitingCount(); }
    Peer& arrive() { return peers.emplace_back(server->listener()->serverPort()); }

private slots:
    void init()
    {
        QLoggingCategory::setFilterRules("default.debug=false"); // floods of traces
        peers.clear();
        server = std::make_unique<FenServeur>(0, QHostAddress::LocalHost);
    }

    // A text holding "PUT|" anywhere goes to every connection, sender included.
    // Two players' bytes interleaved one by one still make whole frames: each
    // connection keeps its own half frame.
    void relaysMovesFromInterleavedBytes()
    {
        FakeConnection players[2];
        Relay relay;
        relay.addConnection(&players[0], QHostAddress::LocalHost, 1);
        relay.addConnection(&players[1], QHostAddress::LocalHost, 2);
        const QStringList moves{"a PUT|5", "PUT|4|5"}; // of one length: they complete in this order
        const QByteArray streams[2] = {Frame::encode(moves[0]), Frame::encode(moves[1])};
        for (qsizetype at = 0; at < streams[0].size(); ++at) {
            for (int i : {0, 1}) {
                players[i].inbox += streams[i].at(at);
                relay.receive(&players[i]);
            }
        }
        QCOMPARE(sent(players[0]), moves);
        QCOMPARE(sent(players[1]), moves);
    }

    void registersColours_data()
    {
        // Connections counted when the first request is read, and when the second is.
        QTest::addColumn<int>("atFirst");
        QTest::addColumn<int>("atSecond");
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("second");
        QTest::addColumn<QString>("got"); // what the first two are sent
        QTest::newRow("white first") << 1 << 2 << "WHITE" << "BLACK" << "WHITE ACKGAMEBEGINW / ACKGAMEBEGINB";
        QTest::newRow("black first") << 1 << 2 << "BLACK" << "WHITE" << "BLACK ACKGAMEBEGINB / ACKGAMEBEGINW";
        QTest::newRow("the same twice") << 1 << 2 << "BLACK" << "BLACK" << "BLACK / ERR";
        // The count alone decides who registers.
        QTest::newRow("both connected first") << 2 << 2 << "BLACK" << "WHITE" << " / ";
        QTest::newRow("a third before the second") << 1 << 3 << "BLACK" << "WHITE" << "BLACK / ";
    }
    void registersColours()
    {
        QFETCH(int, atFirst);
        QFETCH(int, atSecond);
        QFETCH(QString, first);
        QFETCH(QString, second);
        QFETCH(QString, got);
        FakeConnection players[3];
        Relay relay;
        for (int i = 0; i < atFirst; ++i)
            relay.addConnection(&players[i], QHostAddress::LocalHost, quint16(i + 1));
        relay.handleMessage(&players[0], first);
        for (int i = atFirst; i < atSecond; ++i)
            relay.addConnection(&players[i], QHostAddress::LocalHost, quint16(i + 1));
        relay.handleMessage(&players[1], second);
        QCOMPARE(sent(players[0]).join(' ') + " / " + sent(players[1]).join(' '), got);
    }

    // Four are served at a time. The next MaxWaiting wait and any more are
    // closed at once; a waiting player that leaves frees its place. The oldest
    // waiting is taken on a later attempt, with what it sent while it waited.
    void queuesPlayersBeyondFour()
    {
        const int queued = Relay::MaxConnections + Listener::MaxWaiting;
        for (int i = 0; i < queued + 20; ++i) // more than Qt's own pending queue holds
            arrive();
        const QString move = Message::moveText(1, 2, 1);
        const QString late = Message::moveText(3, 4, 0);
        peers[Relay::MaxConnections].socket.write(Frame::encode(move)); // the oldest to wait
        // The next sends more than the server reads ahead for a waiting player.
        const QByteArray filler = Frame::encode(QString(30000, u'x')).repeated(3);
        peers[Relay::MaxConnections + 1].socket.write(filler + Frame::encode(late));
        for (int i = queued; i < queued + 20; ++i)
            QTRY_COMPARE(peers[i].socket.state(), QAbstractSocket::UnconnectedState);
        QCOMPARE(served(), Relay::MaxConnections);
        QCOMPARE(waiting(), Listener::MaxWaiting);
        peers[queued - 1].socket.abort(); // a waiting player leaves
        QTRY_COMPARE(waiting(), Listener::MaxWaiting - 1);
        peers[0].socket.abort(); // two served players leave
        peers[1].socket.abort();
        QTRY_COMPARE(served(), Relay::MaxConnections - 2);
        arrive(); // the later attempt takes both waiting players
        for (int i : {2, 3})
            QTRY_COMPARE(peers[i].got, QStringList({move, late}));
    }

    // A player that floods and never reads what it is sent is closed, alone.
    void closesAPlayerThatNeverReads()
    {
        Peer& honest = arrive();
        QTcpSocket& flooder = arrive().socket;
        QTRY_COMPARE(served(), 2);
        flooder.setReadBufferSize(1);
        const QByteArray burst = Frame::encode(Message::moveText(1, 1, 0) + QString(2000, u'x')).repeated(64);
        for (int n = 0; n < 1024 && flooder.state() != QAbstractSocket::UnconnectedState; ++n) {
            flooder.write(burst);
            flooder.flush();
            QCoreApplication::processEvents();
        }
        QTRY_COMPARE(served(), 1);
        honest.socket.write(Frame::encode("PUT|end")); // still served
        QTRY_VERIFY(honest.got.endsWith("PUT|end"));
    }

    // Whatever a player sends shows on one line and never grows the window.
    void showsAnyTextOnOneLine()
    {
        server->show();
        QVERIFY(QTest::qWaitForWindowExposed(server.get()));
        const QSize size = server->size();
        for (const QString& text : {QString(30000, u'x'), "top\nbottom" + QString(29999, u'\n')}) {
            emit server->relay()->messageReceived(text); // as for every text a player sends
            QCoreApplication::sendPostedEvents();
            QVERIFY(server->message()->text().startsWith(text.left(3)));
            QCOMPARE(server->size(), size);
            QCOMPARE(server->message()->sizeHint().height(), server->message()->fontMetrics().height());
        }
    }
};

QTEST_MAIN(ServerTest)
#include "tst_server.moc"
