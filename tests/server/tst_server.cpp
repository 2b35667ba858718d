#include "fenserveur.h"
#include "frame.h"
#include "messages.h"
#include "relay.h"

#include "../protocol/malformed_frames.h"

#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

#include <memory>
#include <vector>

namespace {

constexpr int Timeout = 5000;

// A peer of the server, as the dialog or the board would be: one socket and
// its own reader, keeping every text it has received.
class Peer
{
public:
    explicit Peer(quint16 port)
    {
        QObject::connect(&socket, &QTcpSocket::readyRead,
                         [this] { received += reader.readAll(&socket); });
        socket.connectToHost(QHostAddress::LocalHost, port);
    }

    void send(const QString& text) { sendRaw(Frame::encode(text)); }
    void sendRaw(const QByteArray& bytes)
    {
        socket.write(bytes);
        socket.flush();
    }
    quint16 port() const { return socket.localPort(); }

    QTcpSocket socket;
    Frame::Reader reader;
    QStringList received;
};

// Collects the debug traces while alive.
class TraceCapture
{
public:
    TraceCapture() { previous = qInstallMessageHandler(&TraceCapture::handler); }
    ~TraceCapture() { qInstallMessageHandler(previous); }
    static inline QStringList lines;

private:
    static void handler(QtMsgType type, const QMessageLogContext&, const QString& text)
    {
        if (type == QtDebugMsg)
            lines.append(text);
    }
    QtMessageHandler previous = nullptr;
};

} // namespace

class ServerTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void showsListenerStateAndPlayerCount();
    void reportsAPortInUse();
    void registersColours_data();
    void registersColours();
    void keepsRecordsAndStartsByListPosition();
    void sendsGameStartToTheConnectionsThereAre();
    void relaysMovesUnchangedToEveryConnection();
    void tracesAsDocumented();
    void leavesTheFifthConnectionPending();
    void skipsAConnectionThatClosedWhileWaiting();
    void keepsPartialFramesOfEachConnectionApart();
    void dropsMalformedFramesAndServesOn_data();
    void dropsMalformedFramesAndServesOn();
    void showsPeerTextAsPlainText();

private:
    Relay* relay() const { return server->relay(); }
    QString started() const;
    // A new peer, once the server has counted it.
    Peer* connectPeer();
    // Waits until every request sent so far by the given peers has been
    // handled and its replies delivered: each peer sends a marker move, the
    // server relays it behind whatever that peer's earlier requests caused,
    // and every peer waits for all markers. The markers are then forgotten.
    bool settle(const QList<Peer*>& group);

    std::unique_ptr<FenServeur> server;
    std::vector<std::unique_ptr<Peer>> peers;
    int markers = 0;
};

void ServerTest::init()
{
    // A fresh server on a free loopback port for every case.
    server = std::make_unique<FenServeur>(0, QHostAddress(QHostAddress::LocalHost));
    QVERIFY(server->tcpServer->isListening());
}

void ServerTest::cleanup()
{
    peers.clear();
    server.reset();
}

QString ServerTest::started() const
{
    return QStringLiteral("Le serveur a été démarré sur le port <strong>%1</strong>.<br />")
        .arg(server->tcpServer->serverPort());
}

Peer* ServerTest::connectPeer()
{
    const int before = relay()->connectionCount();
    peers.push_back(std::make_unique<Peer>(server->tcpServer->serverPort()));
    Peer* peer = peers.back().get();
    if (!peer->socket.waitForConnected(Timeout))
        return nullptr;
    if (!QTest::qWaitFor([&] { return relay()->connectionCount() == before + 1; }, Timeout))
        return nullptr;
    return peer;
}

bool ServerTest::settle(const QList<Peer*>& group)
{
    QStringList sent;
    for (Peer* peer : group) {
        sent.append(QStringLiteral("PUT|marker|%1|").arg(++markers));
        peer->send(sent.last());
    }
    const bool all = QTest::qWaitFor([&] {
        for (Peer* peer : group)
            for (const QString& marker : sent)
                if (!peer->received.contains(marker))
                    return false;
        return true;
    }, Timeout);
    for (Peer* peer : group)
        for (const QString& marker : sent)
            peer->received.removeAll(marker);
    return all;
}

void ServerTest::showsListenerStateAndPlayerCount()
{
    QCOMPARE(server->windowTitle(), QStringLiteral("Ardesia - Serveur"));
    QCOMPARE(server->quitButton->text(), QStringLiteral("Quitter"));
    QVERIFY(server->tcpServer->serverPort() != 0);
    QCOMPARE(server->statusLabel->text(),
             started() + QStringLiteral("Des clients peuvent maintenant se connecter."));
    QCOMPARE(server->statusLabel->textFormat(), Qt::RichText);

    Peer* a = connectPeer();
    QVERIFY(a);
    QCOMPARE(server->statusLabel->text(), started() + QStringLiteral("Nb joueurs : 1"));
    Peer* b = connectPeer();
    QVERIFY(b);
    QCOMPARE(server->statusLabel->text(), started() + QStringLiteral("Nb joueurs : 2"));
    // The third and fourth leave the label as it was.
    Peer* c = connectPeer();
    Peer* d = connectPeer();
    QVERIFY(c && d);
    QCOMPARE(server->statusLabel->text(), started() + QStringLiteral("Nb joueurs : 2"));
    QCOMPARE(relay()->clients().size(), 4);

    QIODevice* second = relay()->clients().at(1);
    b->socket.disconnectFromHost();
    QTRY_COMPARE_WITH_TIMEOUT(relay()->connectionCount(), 3, Timeout);
    QCOMPARE(server->statusLabel->text(), started() + QStringLiteral("Nb joueurs : 3"));
    QCOMPARE(relay()->clients().size(), 3);
    QVERIFY(!relay()->clients().contains(second));

    a->socket.disconnectFromHost();
    QTRY_COMPARE_WITH_TIMEOUT(relay()->connectionCount(), 2, Timeout);
    QCOMPARE(server->statusLabel->text(), started() + QStringLiteral("Nb joueurs : 2"));
}

void ServerTest::reportsAPortInUse()
{
    QTcpServer occupant;
    QVERIFY(occupant.listen(QHostAddress::LocalHost, 0));
    FenServeur refused(occupant.serverPort(), QHostAddress(QHostAddress::LocalHost));

    QVERIFY(!refused.tcpServer->isListening());
    QVERIFY(!refused.tcpServer->errorString().isEmpty());
    QCOMPARE(refused.statusLabel->text(),
             QStringLiteral("Le serveur n'a pas pu être démarré. Raison :<br />")
                 + refused.tcpServer->errorString());
}

void ServerTest::registersColours_data()
{
    QTest::addColumn<bool>("bothConnectFirst");
    QTest::addColumn<QString>("firstRequest");
    QTest::addColumn<QString>("secondRequest");
    QTest::addColumn<QStringList>("firstGets");
    QTest::addColumn<QStringList>("secondGets");
    QTest::addColumn<int>("firstColour");

    QTest::newRow("white then black")
        << false << "WHITE" << "BLACK"
        << QStringList{"WHITE", "ACKGAMEBEGINW"} << QStringList{"ACKGAMEBEGINB"} << 1;
    QTest::newRow("black then white")
        << false << "BLACK" << "WHITE"
        << QStringList{"BLACK", "ACKGAMEBEGINB"} << QStringList{"ACKGAMEBEGINW"} << 0;
    QTest::newRow("black twice")
        << false << "BLACK" << "BLACK" << QStringList{"BLACK"} << QStringList{"ERR"} << 0;
    QTest::newRow("white twice")
        << false << "WHITE" << "WHITE" << QStringList{"WHITE"} << QStringList{"ERR"} << 1;
    // Both requests are read at a count of 2 with no colour for player 1.
    QTest::newRow("both connected before any request")
        << true << "BLACK" << "WHITE" << QStringList{} << QStringList{} << 2;
    // Keywords are found anywhere; "BLACK" is judged, then "WHITE".
    QTest::newRow("both keywords")
        << false << "I want BLACK or WHITE" << "WHITEBLACK"
        << QStringList{"BLACK", "WHITE", "ACKGAMEBEGINW"} << QStringList{"ACKGAMEBEGINB", "ERR"} << 1;
    QTest::newRow("no keyword")
        << false << "black" << "HELLO" << QStringList{} << QStringList{} << 2;
}

void ServerTest::registersColours()
{
    QFETCH(bool, bothConnectFirst);
    QFETCH(QString, firstRequest);
    QFETCH(QString, secondRequest);

    Peer* a = connectPeer();
    QVERIFY(a);
    Peer* b = bothConnectFirst ? connectPeer() : nullptr;
    if (bothConnectFirst)
        QVERIFY(b);
    const QList<Peer*> early = b ? QList<Peer*>{a, b} : QList<Peer*>{a};

    a->send(firstRequest);
    QVERIFY(settle(early));
    if (!b) {
        b = connectPeer();
        QVERIFY(b);
    }
    b->send(secondRequest);
    QVERIFY(settle({a, b}));

    QTEST(a->received, "firstGets");
    QTEST(b->received, "secondGets");
    QTEST(relay()->player1().couleur, "firstColour");
    QCOMPARE(relay()->player2().couleur, int(Player::NoColour));
    // A request read at a count of 2 records the second player's peer.
    if (secondRequest.contains("BLACK") || secondRequest.contains("WHITE")) {
        QCOMPARE(relay()->player2().adresse, QHostAddress(QHostAddress::LocalHost));
        QCOMPARE(relay()->player2().port, b->port());
    }
}

void ServerTest::keepsRecordsAndStartsByListPosition()
{
    Peer* a = connectPeer();
    QVERIFY(a);
    a->send(Message::Black);
    QTRY_COMPARE_WITH_TIMEOUT(a->received, QStringList{"BLACK"}, Timeout);
    const quint16 firstPort = a->port();

    Peer* b = connectPeer();
    QVERIFY(b);
    a->socket.disconnectFromHost();
    QTRY_COMPARE_WITH_TIMEOUT(relay()->connectionCount(), 1, Timeout);
    // The record outlives its connection.
    QCOMPARE(relay()->player1().couleur, 0);
    QCOMPARE(relay()->player1().port, firstPort);

    // Black is still held, so white starts a game; the start frames go to the
    // first two connections in the list, whoever registered from them.
    Peer* c = connectPeer();
    QVERIFY(c);
    c->send(Message::White);
    QVERIFY(settle({b, c}));
    QCOMPARE(b->received, QStringList{"ACKGAMEBEGINB"});
    QCOMPARE(c->received, QStringList{"ACKGAMEBEGINW"});

    // Alone again, a request makes its sender player 1 in place of the old one.
    b->socket.disconnectFromHost();
    QTRY_COMPARE_WITH_TIMEOUT(relay()->connectionCount(), 1, Timeout);
    c->send(Message::White);
    QVERIFY(settle({c}));
    QCOMPARE(c->received, (QStringList{"ACKGAMEBEGINW", "WHITE"}));
    QCOMPARE(relay()->player1().couleur, 1);
    QCOMPARE(relay()->player1().port, c->port());
}

void ServerTest::sendsGameStartToTheConnectionsThereAre()
{
    Relay* r = relay();
    // Nobody to send to: nothing happens.
    r->sendGameStart(Message::GameBegin);

    Peer* a = connectPeer();
    QVERIFY(a);
    a->send(Message::Black);
    QVERIFY(settle({a}));
    QCOMPARE(a->received, QStringList{"BLACK"});

    // Player 1 black: "B" to the first connection, the missing second skipped.
    r->sendGameStart(Message::GameBegin);
    QVERIFY(settle({a}));
    QCOMPARE(a->received, (QStringList{"BLACK", "ACKGAMEBEGINB"}));

    a->send(Message::White);
    QVERIFY(settle({a}));
    r->sendGameStart(Message::GameBegin);
    QVERIFY(settle({a}));
    QCOMPARE(a->received, (QStringList{"BLACK", "ACKGAMEBEGINB", "WHITE", "ACKGAMEBEGINW"}));
}

void ServerTest::relaysMovesUnchangedToEveryConnection()
{
    // A whole opening: two dialog connections, the start, two game connections.
    Peer* dialogA = connectPeer();
    QVERIFY(dialogA);
    dialogA->send(Message::White);
    QTRY_COMPARE_WITH_TIMEOUT(dialogA->received, QStringList{"WHITE"}, Timeout);
    Peer* dialogB = connectPeer();
    QVERIFY(dialogB);
    dialogB->send(Message::Black);
    QTRY_COMPARE_WITH_TIMEOUT(dialogB->received, QStringList{"ACKGAMEBEGINB"}, Timeout);
    Peer* gameA = connectPeer();
    Peer* gameB = connectPeer();
    QVERIFY(gameA && gameB);
    const QList<Peer*> all{dialogA, dialogB, gameA, gameB};
    for (Peer* peer : all)
        peer->received.clear();

    const QStringList moves{Message::moveText(2, 3, 1), Message::moveText(2, 2, 0),
                            QStringLiteral("PUT|"), QStringLiteral("PUT|9|-4|x|extra|"),
                            QStringLiteral("xPUT|BLACK")};
    gameA->send(moves[0]);
    QVERIFY(settle(all));
    // Two in one delivery, and texts no client would send: relayed all the same.
    gameB->sendRaw(Frame::encode(moves[1]) + Frame::encode(moves[2]));
    QVERIFY(settle(all));
    gameA->send(moves[3]);
    QVERIFY(settle(all));
    // Relayed after the colour rule ran on it (a count of 4: nothing).
    gameB->send(moves[4]);
    QVERIFY(settle(all));

    for (Peer* peer : all)
        QCOMPARE(peer->received, moves);
}

void ServerTest::tracesAsDocumented()
{
    TraceCapture capture;
    TraceCapture::lines.clear();
    const auto expect = [](const QStringList& lines) {
        const bool arrived = QTest::qWaitFor(
            [&] { return TraceCapture::lines.size() >= lines.size(); }, Timeout);
        const QStringList got = TraceCapture::lines;
        TraceCapture::lines.clear();
        if (!arrived || got != lines)
            qWarning().noquote() << "traces:" << got.join(u'\n') << "\nexpected:" << lines.join(u'\n');
        return arrived && got == lines;
    };

    Peer* a = connectPeer();
    QVERIFY(a);
    const QString aPort = QString::number(a->port());
    a->send(Message::White);
    QVERIFY(expect({R"("127.0.0.1")", R"("127.0.0.1" )" + aPort + R"( "WHITE")", R"("WHITE")"}));

    Peer* b = connectPeer();
    QVERIFY(b);
    const QString bPort = QString::number(b->port());
    b->send(Message::Black);
    QVERIFY(expect({R"("127.0.0.1")", "The game begins", R"("BLACK")"}));
    b->send(Message::White);
    QVERIFY(expect({R"("127.0.0.1")", R"("127.0.0.1" )" + bPort + R"( "ERR")", "error", R"("WHITE")"}));

    b->send(QStringLiteral("PUT|2|3|0|"));
    QVERIFY(expect({R"("2")", R"("3")", R"("0")", R"(envoyer a tous "PUT|2|3|0|")", R"("PUT|2|3|0|")"}));
    // Fewer than four fields: only those that exist are traced.
    a->send(QStringLiteral("PUT|5"));
    QVERIFY(expect({R"("5")", R"(envoyer a tous "PUT|5")", R"("PUT|5")"}));
    a->send(QStringLiteral("hello"));
    QVERIFY(expect({R"("hello")"}));
}

void ServerTest::leavesTheFifthConnectionPending()
{
    QList<Peer*> served;
    for (int i = 0; i < 4; ++i) {
        served.append(connectPeer());
        QVERIFY(served.last());
    }
    // The fifth is accepted by the system but not served: its data stays unread.
    peers.push_back(std::make_unique<Peer>(server->tcpServer->serverPort()));
    Peer* fifth = peers.back().get();
    QVERIFY(fifth->socket.waitForConnected(Timeout));
    const QString waiting = Message::moveText(7, 7, 0);
    fifth->send(waiting);
    QVERIFY(settle(served));
    QCOMPARE(relay()->connectionCount(), 4);
    QCOMPARE(relay()->clients().size(), 4);
    QTRY_VERIFY_WITH_TIMEOUT(server->tcpServer->hasPendingConnections(), Timeout);
    for (Peer* peer : served)
        QVERIFY(peer->received.isEmpty());

    // One of the four closes: a place is free, but nothing takes the fifth yet.
    served.takeFirst()->socket.disconnectFromHost();
    QTRY_COMPARE_WITH_TIMEOUT(relay()->connectionCount(), 3, Timeout);
    QVERIFY(settle(served));
    QVERIFY(server->tcpServer->hasPendingConnections());
    QVERIFY(fifth->received.isEmpty());

    // A further attempt takes the oldest pending connection, the fifth, whose
    // waiting move is then relayed; the sixth waits in its turn.
    peers.push_back(std::make_unique<Peer>(server->tcpServer->serverPort()));
    Peer* sixth = peers.back().get();
    QVERIFY(sixth->socket.waitForConnected(Timeout));
    QTRY_COMPARE_WITH_TIMEOUT(relay()->connectionCount(), 4, Timeout);
    QTRY_COMPARE_WITH_TIMEOUT(fifth->received, QStringList{waiting}, Timeout);
    served.append(fifth);
    QVERIFY(settle(served));
    for (Peer* peer : served)
        QCOMPARE(peer->received, QStringList{waiting});
    QVERIFY(sixth->received.isEmpty());
    QVERIFY(server->tcpServer->hasPendingConnections());
    const auto last = qobject_cast<QTcpSocket*>(relay()->clients().last());
    QVERIFY(last);
    QCOMPARE(last->peerPort(), fifth->port());
}

void ServerTest::skipsAConnectionThatClosedWhileWaiting()
{
    for (int i = 0; i < 4; ++i)
        QVERIFY(connectPeer());
    const quint16 port = server->tcpServer->serverPort();
    auto gone = std::make_unique<Peer>(port);
    QVERIFY(gone->socket.waitForConnected(Timeout));
    QTRY_VERIFY_WITH_TIMEOUT(server->tcpServer->hasPendingConnections(), Timeout);
    gone.reset();
    // The waiting socket notices the close, with nobody listening to it.
    const auto waitingClosed = [&] {
        for (QTcpSocket* s : server->tcpServer->findChildren<QTcpSocket*>())
            if (!relay()->clients().contains(s) && s->state() == QAbstractSocket::UnconnectedState)
                return true;
        return false;
    };
    QTRY_VERIFY_WITH_TIMEOUT(waitingClosed(), Timeout);

    peers.front()->socket.disconnectFromHost();
    QTRY_COMPARE_WITH_TIMEOUT(relay()->connectionCount(), 3, Timeout);
    // The next attempt is served in place of the closed one, which would
    // otherwise be counted forever.
    peers.push_back(std::make_unique<Peer>(port));
    Peer* next = peers.back().get();
    QVERIFY(next->socket.waitForConnected(Timeout));
    QTRY_COMPARE_WITH_TIMEOUT(relay()->connectionCount(), 4, Timeout);
    const auto last = qobject_cast<QTcpSocket*>(relay()->clients().last());
    QVERIFY(last);
    QCOMPARE(last->peerPort(), next->port());
    QVERIFY(!server->tcpServer->hasPendingConnections());
}

void ServerTest::keepsPartialFramesOfEachConnectionApart()
{
    Peer* a = connectPeer();
    Peer* b = connectPeer();
    QVERIFY(a && b);
    QIODevice* fromA = relay()->clients().at(0);
    QIODevice* fromB = relay()->clients().at(1);
    const QByteArray first = Frame::encode(Message::moveText(1, 1, 0));
    const QByteArray second = Frame::encode(Message::moveText(6, 6, 1));
    const QByteArray third = Frame::encode(QStringLiteral("PUT|third|"));

    // A's length alone, then a whole frame and a partial one from B.
    a->sendRaw(first.left(2));
    QTRY_COMPARE_WITH_TIMEOUT(relay()->pendingSize(fromA), quint16(first.size() - 2), Timeout);
    b->sendRaw(second + third.left(7));
    QTRY_COMPARE_WITH_TIMEOUT(a->received, QStringList{Message::moveText(6, 6, 1)}, Timeout);
    QTRY_COMPARE_WITH_TIMEOUT(relay()->pendingSize(fromB), quint16(third.size() - 2), Timeout);
    QCOMPARE(relay()->pendingSize(fromA), quint16(first.size() - 2));

    a->sendRaw(first.mid(2));
    QTRY_COMPARE_WITH_TIMEOUT(b->received.size(), 2, Timeout);
    b->sendRaw(third.mid(7));
    const QStringList expected{Message::moveText(6, 6, 1), Message::moveText(1, 1, 0), "PUT|third|"};
    QTRY_COMPARE_WITH_TIMEOUT(a->received, expected, Timeout);
    QTRY_COMPARE_WITH_TIMEOUT(b->received, expected, Timeout);
}

void ServerTest::dropsMalformedFramesAndServesOn_data()
{
    QTest::addColumn<QByteArray>("malformed");
    for (const auto& [name, bytes] : malformedFrames())
        QTest::newRow(name) << bytes;
}

void ServerTest::dropsMalformedFramesAndServesOn()
{
    QFETCH(QByteArray, malformed);
    QSignalSpy shown(relay(), &Relay::messageReceived);
    Peer* a = connectPeer();
    Peer* b = connectPeer();
    QVERIFY(a && b);
    const QString move = Message::moveText(3, 4, 1);

    // Followed by a good frame in the same delivery, then alone.
    a->sendRaw(malformed + Frame::encode(move));
    QTRY_COMPARE_WITH_TIMEOUT(b->received, QStringList{move}, Timeout);
    a->sendRaw(malformed);
    b->sendRaw(malformed);
    a->send(Message::White);
    QVERIFY(settle({a, b}));

    // Only the good texts were handled; both connections are still served.
    QCOMPARE(a->received, QStringList{move});
    QCOMPARE(b->received, QStringList{move});
    QStringList handled;
    for (const QList<QVariant>& args : shown)
        if (!args.at(0).toString().startsWith("PUT|marker|"))
            handled.append(args.at(0).toString());
    QCOMPARE(handled, (QStringList{move, Message::White}));
    QCOMPARE(shown.size(), 4); // and the two markers
    QCOMPARE(relay()->connectionCount(), 2);
    QCOMPARE(relay()->pendingSize(relay()->clients().at(0)), quint16(0));
    QCOMPARE(relay()->pendingSize(relay()->clients().at(1)), quint16(0));
}

void ServerTest::showsPeerTextAsPlainText()
{
    QCOMPARE(server->messageLabel->textFormat(), Qt::PlainText);
    Peer* a = connectPeer();
    QVERIFY(a);
    const QString markup = QStringLiteral("<b>bold</b><img src=\"x.png\"><br />&amp;");
    a->send(markup);
    QTRY_COMPARE_WITH_TIMEOUT(server->messageLabel->text(), markup, Timeout);
    QCOMPARE(server->messageLabel->textFormat(), Qt::PlainText);
    // Shown and traced, never answered.
    QVERIFY(settle({a}));
    QVERIFY(a->received.isEmpty());
}

QTEST_MAIN(ServerTest)
#include "tst_server.moc"
