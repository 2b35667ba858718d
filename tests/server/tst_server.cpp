// SPDX-License-Identifier: GPL-3.0-or-later
// One game's rules on connections without sockets, then the whole server.
#include "server/elidedlabel.h"
#include "fakeconnection.h"
#include "server/fenserveur.h"
#include "protocol/messages.h"
#include "server/relay.h"

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
    const Relay::Limits oneGame{1, 60000}; // the classic rules
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
        Relay relay(oneGame);
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
        Relay relay(oneGame);
        for (int i = 0; i < atFirst; ++i)
            relay.addConnection(&players[i], QHostAddress::LocalHost, quint16(i + 1));
        relay.handleMessage(&players[0], first);
        for (int i = atFirst; i < atSecond; ++i)
            relay.addConnection(&players[i], QHostAddress::LocalHost, quint16(i + 1));
        relay.handleMessage(&players[1], second);
        QCOMPARE(sent(players[0]).join(' ') + " / " + sent(players[1]).join(' '), got);
    }

    // With one game, four are served at a time. The next MaxWaiting wait and
    // any more are closed at once, and so is one that sends more than a
    // request; a waiting player that leaves frees its place. As soon as places
    // free up the oldest waiting are taken, with what they sent meanwhile.
    void queuesPlayersBeyondFour()
    {
        server = std::make_unique<FenServeur>(0, QHostAddress::LocalHost, oneGame);
        const int queued = Relay::ConnectionsPerGame + Listener::MaxWaiting;
        for (int i = 0; i < queued + 20; ++i) // more than Qt's own pending queue holds
            arrive();
        const QString move = Message::moveText(1, 2, Colour::White);
        const QString late = Message::moveText(3, 4, Colour::Black);
        peers[4].socket.write(Frame::encode(move)); // the oldest to wait
        peers[5].socket.write(Frame::encode(QString(30000, u'x')));
        peers[6].socket.write(Frame::encode(late));
        for (int i = queued; i < queued + 20; ++i)
            QTRY_COMPARE(peers[i].socket.state(), QAbstractSocket::UnconnectedState);
        QTRY_COMPARE(peers[5].socket.state(), QAbstractSocket::UnconnectedState);
        QCOMPARE(served(), Relay::ConnectionsPerGame);
        peers[queued - 1].socket.abort(); // a waiting player leaves
        QTRY_COMPARE(waiting(), Listener::MaxWaiting - 2);
        peers[0].socket.abort(); // two served players leave
        peers[1].socket.abort();
        for (int i : {2, 3})
            QTRY_COMPARE(peers[i].got, QStringList({move, late}));
    }

    // Two boards that send no ticket leave at once, both resetting: the notice
    // to the first leaver's opponent fails on a connection that is already
    // gone. The server lives on, closes the game's last connection, and the
    // pair plays again.
    void outlivesBoardsThatLeaveTogether()
    {
        const quint16 port = server->listener()->serverPort();
        for (int round = 0; round < 2; ++round) {
            Peer& black = arrive();
            black.socket.write(Frame::encode(Message::Black));
            QTRY_COMPARE(black.got, QStringList{Message::Black});
            Peer& white = arrive();
            white.socket.write(Frame::encode(Message::White));
            QTRY_COMPARE(white.got.size(), 2);
            QTcpSocket boards[2];
            for (QTcpSocket& board : boards) {
                // Taking one byte, it leaves the rest unread: closed, it resets.
                board.setReadBufferSize(1);
                board.connectToHost(QHostAddress::LocalHost, port);
            }
            QTRY_COMPARE(served(), 4);
            black.socket.write(Frame::encode(Message::moveText(2, 3, Colour::Black)));
            QTRY_VERIFY(boards[0].bytesAvailable() > 0 && boards[1].bytesAvailable() > 0);
            boards[0].abort();
            boards[1].abort();
            QTRY_VERIFY(black.got.endsWith(Message::moveText(-2, -2, Colour::White)));
            black.socket.abort();
            QTRY_COMPARE(white.socket.state(), QAbstractSocket::UnconnectedState);
            QTRY_COMPARE(served(), 0);
        }
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
