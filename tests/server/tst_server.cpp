// SPDX-License-Identifier: GPL-3.0-or-later
// The whole server: its listener's queue, its window, players who leave at once.
#include "protocol/messages.h"
#include "server/elidedlabel.h"
#include "server/fenserveur.h"
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

    // One game serves four; MaxWaiting more wait, the rest and one that sends more than a request are closed. A
    // waiting player that leaves frees its place; freed places take the oldest, with what they sent meanwhile.
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

    // Two boards without tickets reset at once: the notice to the first leaver's opponent fails on a connection
    // already gone. The server lives on, closes the game's last connection, and the pair plays again.
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

    // The status says how many players are connected as they come and go.
    void statusCountsPlayers()
    {
        const auto status = [this] {
            for (const QLabel* label : server->findChildren<QLabel*>())
                if (label != server->message())
                    return label->text();
            return QString();
        };
        arrive();
        QTRY_VERIFY(status().endsWith(u"Nb joueurs : 1"));
        arrive();
        QTRY_VERIFY(status().endsWith(u"Nb joueurs : 2"));
        peers.front().socket.abort();
        QTRY_VERIFY(status().endsWith(u"Nb joueurs : 1"));
    }

    // Whatever a player sends, markup included, shows on one line and never grows the window.
    void showsAnyTextOnOneLine()
    {
        server->show();
        QVERIFY(QTest::qWaitForWindowExposed(server.get()));
        const QSize size = server->size();
        const QString markup = QStringLiteral("a<br>b<br>c");
        for (const QString& text : {QString(30000, u'x'), "top\nbottom" + QString(29999, u'\n'), markup}) {
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
