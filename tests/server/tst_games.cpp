// SPDX-License-Identifier: GPL-3.0-or-later
// Many games on one relay without sockets: pairing, seating boards, leaving, and what a hostile peer costs.
#include "fakeconnection.h"
#include "protocol/messages.h"
#include "server/relay.h"

#include <QLoggingCategory>
#include <QRegularExpression>
#include <QTest>

#include <deque>

class GamesTest : public QObject
{
    Q_OBJECT
    std::unique_ptr<Relay> relay;
    std::deque<FakeConnection> peers; // references stay valid as peers arrive
    QList<QIODevice*> cut;

    void open(const Relay::Limits& limits)
    {
        relay = std::make_unique<Relay>(limits);
        connect(relay.get(), &Relay::closeRequested, this, [this](QIODevice* c) { cut.append(c); });
    }
    int arrive(const char* address = "127.0.0.1")
    {
        peers.emplace_back();
        relay->addConnection(&peers.back(), QHostAddress(QString::fromLatin1(address)), quint16(peers.size()));
        return int(peers.size()) - 1;
    }
    void say(int peer, const QString& text)
    {
        peers[size_t(peer)].inbox += Frame::encode(text);
        relay->receive(&peers[size_t(peer)]);
    }
    void leave(int peer) { relay->connectionLost(&peers[size_t(peer)]); }
    QStringList texts(int peer) const { return peers[size_t(peer)].sentTexts(); }
    // What the peer was sent since last asked, each ticket shown as "GAME".
    QString heard(int peer)
    {
        QString all = texts(peer).join(' ');
        peers[size_t(peer)].outbox.clear();
        return all.replace(QRegularExpression("GAME\\|[0-9a-f]{16}"), "GAME");
    }
    QString ticket(int peer) const { return texts(peer).filter(Message::Ticket).value(0); }
    // A started pair: black's dialog first, then white's; returns black's.
    int pair(const char* black, const char* white)
    {
        const int first = arrive(black);
        say(first, Message::Black);
        say(arrive(white), Message::White);
        return first;
    }

private slots:
    void init()
    {
        QLoggingCategory::setFilterRules("default.debug=false");
        peers.clear();
        cut.clear();
        open({});
    }

    // A text holding "PUT|" anywhere goes to every connection, sender included. Two players' bytes interleaved one by
    // one still make whole frames: each connection keeps its own half frame.
    void relaysMovesFromInterleavedBytes()
    {
        open({1, 60000});
        const QStringList moves{"a PUT|5", "PUT|4|5"}; // of one length: they complete in this order
        const QByteArray streams[2] = {Frame::encode(moves[0]), Frame::encode(moves[1])};
        arrive();
        arrive();
        for (qsizetype at = 0; at < streams[0].size(); ++at) {
            for (int i : {0, 1}) {
                peers[size_t(i)].inbox += streams[i].at(at);
                relay->receive(&peers[size_t(i)]);
            }
        }
        QCOMPARE(texts(0), moves);
        QCOMPARE(texts(1), moves);
    }

    // On a one-game server the count of connections alone decides who registers; a colour taken is refused.
    void registersColours_data()
    {
        QTest::addColumn<int>("atFirst"); // connections counted when the first request is read
        QTest::addColumn<int>("atSecond"); // and when the second is
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("second");
        QTest::addColumn<QString>("got"); // what the first two are sent
        QTest::newRow("white first") << 1 << 2 << "WHITE" << "BLACK" << "WHITE ACKGAMEBEGINW / ACKGAMEBEGINB";
        QTest::newRow("both connected first") << 2 << 2 << "BLACK" << "WHITE" << " / ";
        QTest::newRow("a third before the second") << 1 << 3 << "BLACK" << "WHITE" << "BLACK / ";
        QTest::newRow("the same colour") << 1 << 2 << "WHITE" << "WHITE" << "WHITE / ERR";
    }
    void registersColours()
    {
        QFETCH(int, atFirst);
        QFETCH(int, atSecond);
        QFETCH(QString, first);
        QFETCH(QString, second);
        QFETCH(QString, got);
        open({1, 60000});
        while (int(peers.size()) < atFirst)
            arrive();
        say(0, first);
        while (int(peers.size()) < atSecond)
            arrive();
        say(1, second);
        QCOMPARE(heard(0) + " / " + heard(1), got);
    }

    // Two pairs on one host, one after the other, their boards seated by
    // address or by ticket: each move reaches its own game's four, only.
    void keepsGamesApart_data()
    {
        QTest::addColumn<bool>("tickets");
        QTest::newRow("by address") << false;
        QTest::newRow("by ticket") << true;
    }
    void keepsGamesApart()
    {
        QFETCH(bool, tickets);
        int games[2] = {pair("127.0.0.1", "127.0.0.1"), 0};
        for (int board : {arrive(), arrive()})
            say(board, tickets ? ticket(board - 2) : "hello");
        games[1] = pair("127.0.0.1", "127.0.0.1");
        for (int board : {arrive(), arrive()})
            say(board, tickets ? ticket(board - 2) : "hello");
        for (int i = 0; i < int(peers.size()); ++i)
            heard(i);
        say(games[1] + 3, Message::moveText(2, 3, Colour::White));
        say(games[0] + 2, Message::moveText(4, 5, Colour::Black));
        for (int i = 0; i < int(peers.size()); ++i)
            QCOMPARE(heard(i), i < games[1] ? "PUT|4|5|0|" : "PUT|2|3|1|");
    }

    // The others hear that a player left, in its colour when it is known.
    void tellsWhoLeft_data()
    {
        QTest::addColumn<QString>("white");    // white's address
        QTest::addColumn<bool>("withBoards");  // boards seated by address
        QTest::addColumn<QString>("told");
        QTest::newRow("board, two hosts") << "10.0.0.2" << true << "PUT|-2|-2|1|";
        QTest::newRow("board, one host") << "127.0.0.1" << true << "PUT|-2|-2|0| PUT|-2|-2|1|";
        QTest::newRow("dialog before its board") << "127.0.0.1" << false << "PUT|-2|-2|1|";
    }
    void tellsWhoLeft()
    {
        QFETCH(QString, white);
        QFETCH(bool, withBoards);
        QFETCH(QString, told);
        const int black = pair("127.0.0.1", qPrintable(white));
        const int whiteBoard = withBoards ? arrive(qPrintable(white)) : black + 1;
        heard(black);
        leave(whiteBoard);
        QCOMPARE(heard(black), told);
    }

    // With every game taken a request waits, and is served once a game ends; the colour it took is then refused.
    void servesAWaitingRequestWhenAGameEnds()
    {
        open({2, 60000});
        const int first = pair("10.0.0.1", "10.0.0.2");
        pair("10.0.0.3", "10.0.0.4");
        const int late = arrive();
        say(late, Message::White);
        QCOMPARE(heard(late), "");
        leave(first);
        leave(first + 1);
        QCOMPARE(heard(late), "WHITE");
        say(arrive(), Message::White); // the colour it took
        QCOMPARE(heard(late + 1), "ERR");
    }

    // Who leaves for a text too long or a flood is its sender, never a reader.
    void cutsTheFlooder_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("times");
        QTest::addColumn<int>("copies"); // what the reader gets at least
        QTest::newRow("too long") << "PUT|1|1|0|" + QString(Relay::MaxText, u'x') << 1 << 0;
        const QString move = Message::moveText(1, 1, Colour::Black);
        const int fit = int(Relay::FloodBurst / Frame::encode(move).size());
        QTest::newRow("flood") << move << fit + 50 << fit;
        QTest::newRow("not a frame") << QString() << 1 << 0;
    }
    void cutsTheFlooder()
    {
        QFETCH(QString, text);
        QFETCH(int, times);
        QFETCH(int, copies);
        const int black = pair("10.0.0.1", "10.0.0.2");
        heard(black);
        for (int i = 0; i < times; ++i)
            peers[size_t(black) + 1].inbox += text.isNull() ? QByteArray("\0\4junk", 6) : Frame::encode(text);
        relay->receive(&peers[size_t(black) + 1]);
        QCOMPARE(cut, QList<QIODevice*>{&peers[size_t(black) + 1]});
        // The budget refills a little while the test runs.
        QVERIFY(texts(black).size() >= copies);
        QVERIFY(texts(black).size() < times);
    }

    // A reader that takes nothing is given up once a mebibyte waits for it.
    void givesUpAReaderThatTakesNothing()
    {
        struct Stalled : FakeConnection
        {
            qint64 bytesToWrite() const override { return outbox.size(); }
        } stalled;
        FakeConnection reader;
        relay->addConnection(&reader, QHostAddress::LocalHost, 1);
        relay->addConnection(&stalled, QHostAddress::LocalHost, 2);
        for (qint64 sent = 0; sent <= 1 << 20; sent += 1000)
            relay->sendToAll(QString(497, u'x'));
        QCOMPARE(cut, QList<QIODevice*>{&stalled});
    }

    // Only a connection that is in no game and asked for no colour goes idle, a used or forged ticket's included:
    // never a player who thinks, nor a seated board.
    void closesIdleConnections()
    {
        open({256, 50});
        const int silent = arrive("10.0.0.9");
        const int black = pair("10.0.0.1", "10.0.0.2");
        const int board = arrive("10.0.0.3");
        say(board, ticket(black));
        const int again = arrive("10.0.0.4");
        say(again, ticket(black)); // a used ticket
        const int forged = arrive("10.0.0.6");
        say(forged, "GAME|0123456789abcdef"); // no seat's
        const int waiting = arrive("10.0.0.5");
        say(waiting, Message::White);
        const QList<QIODevice*> idle{&peers[size_t(silent)], &peers[size_t(again)], &peers[size_t(forged)]};
        QTRY_COMPARE_WITH_TIMEOUT(cut, idle, 1000);
        QTest::qWait(100); // and no one else later
        QCOMPARE(cut.size(), 3);
        QCOMPARE(relay->gameCount(), 2);
        // Only the board that took its seat hears its ticket back.
        QCOMPARE(texts(board) + texts(again) + texts(forged), QStringList{ticket(black)});
    }
};

QTEST_MAIN(GamesTest)
#include "tst_games.moc"
