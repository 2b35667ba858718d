#include "elidedlabel.h"
#include "fenserveur.h"
#include "messages.h"
#include "relay.h"

#include <QLoggingCategory>
#include <QSignalSpy>
#include <QTcpSocket>
#include <QTest>

#include <deque>
#include <netinet/in.h>
#include <sys/resource.h>
#include <unistd.h>

// A player, keeping every text it receives.
struct Peer
{
    QTcpSocket socket;
    Frame::Reader reader;
    QStringList got;
    explicit Peer(quint16 port)
    {
        const auto take = [this] { got += reader.readAll(&socket); };
        QObject::connect(&socket, &QTcpSocket::readyRead, take);
        socket.connectToHost(QHostAddress::LocalHost, port);
    }
    void send(const QString& text) { socket.write(Frame::encode(text)); }
};

class ServerTest : public QObject
{
    Q_OBJECT
    std::unique_ptr<FenServeur> server;
    std::deque<Peer> peers;

    int served() const { return server->relay()->connectionCount(); }
    int waiting() const { return server->listener()->waitingCount(); }
    bool join() // one more player, once the server has it
    {
        peers.emplace_back(server->listener()->serverPort());
        return QTest::qWaitFor([&] { return served() + waiting() == int(peers.size()); });
    }
    // Two players ask in turn for a colour; `got`: what each is sent, up to a
    // move the second sends last.
    void ask(bool bothConnectFirst, const QString& first, const QString& second, const QString& got)
    {
        QSignalSpy handled(server->relay(), &Relay::messageReceived);
        QVERIFY(join());
        if (bothConnectFirst)
            QVERIFY(join());
        peers[0].send(first);
        QVERIFY(handled.wait());
        if (!bothConnectFirst)
            QVERIFY(join());
        peers[1].send(second);
        peers[1].send(Message::moveText(0, 0, 0));
        QTRY_VERIFY(peers[0].got.endsWith("PUT|0|0|0|"));
        QTRY_VERIFY(peers[1].got.endsWith("PUT|0|0|0|"));
        QCOMPARE(peers[0].got.join(' ') + " / " + peers[1].got.join(' '), got);
    }

private slots:
    void initTestCase()
    {
        QLoggingCategory::setFilterRules("default.debug=false"); // floods of traces
    }
    void init()
    {
        peers.clear();
        server = std::make_unique<FenServeur>(0, QHostAddress::LocalHost);
    }

    void relaysEveryFrameHoweverItArrives()
    {
        for (int i = 0; i < 4; ++i)
            QVERIFY(join());
        QSignalSpy handled(server->relay(), &Relay::messageReceived);
        // A text holding "PUT|" anywhere is relayed; any other only shown.
        const QStringList a{"PUT|2|3|1|a|", "hello a", "a PUT|5"};
        const QStringList b{"PUT|4|5|0|b|", "b PUT|5", "hello b"};
        QByteArray streams[2];
        for (int i = 0; i < 3; ++i) {
            streams[0] += Frame::encode(a[i]);
            streams[1] += Frame::encode(b[i]);
        }
        // Two players' bytes interleaved one by one, each read by the server
        // before the next: each connection keeps its own half frame.
        for (qsizetype at = 0; at < streams[0].size(); ++at) {
            for (int i : {0, 1}) {
                QSignalSpy read(server->relay()->clients().at(i), &QIODevice::readyRead);
                peers[i].socket.write(streams[i].mid(at, 1));
                QVERIFY(read.wait());
            }
        }
        QTRY_COMPARE(handled.size(), 6);
        QTRY_COMPARE(peers[3].got.size(), 4);
        QCOMPARE(peers[3].got.filter(u"a"), QStringList({a[0], a[2]}));
        QCOMPARE(peers[3].got.filter(u"b"), QStringList({b[0], b[1]}));
        for (int i = 0; i < 3; ++i) // the same to all four, senders included
            QTRY_COMPARE(peers[i].got, peers[3].got);
    }

    void registersColours_data()
    {
        QTest::addColumn<bool>("bothConnectFirst");
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("second");
        QTest::addColumn<QString>("got"); // what each is sent, up to the second's move
        QTest::newRow("white then black")
            << false << "WHITE" << "BLACK"
            << "WHITE ACKGAMEBEGINW PUT|0|0|0| / ACKGAMEBEGINB PUT|0|0|0|";
        QTest::newRow("the same colour twice")
            << false << "BLACK" << "BLACK" << "BLACK PUT|0|0|0| / ERR PUT|0|0|0|";
        // The count decides: with two connected, the first request registers nobody.
        QTest::newRow("both connected first")
            << true << "BLACK" << "WHITE" << "PUT|0|0|0| / PUT|0|0|0|";
    }
    void registersColours()
    {
        QFETCH(bool, bothConnectFirst);
        QFETCH(QString, first);
        QFETCH(QString, second);
        QFETCH(QString, got);
        ask(bothConnectFirst, first, second, got);
    }

    void servesFourWhateverTheyDo()
    {
        server->show();
        QVERIFY(QTest::qWaitForWindowExposed(server.get()));
        for (int i = 0; i < 5; ++i)
            QVERIFY(join());
        // Any text shows on one line, and the window never grows to hold it.
        const QSize size = server->size();
        const QString longLine(30000, u'x');
        const QString manyLines = "<b>top</b>\nbottom" + QString(29999, u'\n');
        const ElidedLabel* label = server->message();
        for (const QString& text : {longLine, manyLines}) {
            peers[1].send(text);
            QTRY_VERIFY(label->text().startsWith(text.left(3)));
            QCoreApplication::sendPostedEvents();
            QCOMPARE(server->size(), size);
            QCOMPARE(label->sizeHint().height(), label->fontMetrics().height());
        }
        QCOMPARE(label->text(), "<b>top</b> bottom");
        // The fifth is not served: what it sends, more than the server buffers
        // for it, stays unread.
        const QString held = Message::moveText(7, 7, 0);
        const QString move = Message::moveText(1, 2, 1);
        const QString big = Message::moveText(7, 7, 1) + QString(30000, u'x');
        peers[4].socket.write(Frame::encode(big).repeated(3));
        peers[4].send(held);
        peers[0].send(move);
        for (int i = 0; i < 4; ++i)
            QTRY_COMPARE(peers[i].got, QStringList{move});
        // The fourth floods as fast as it can and never reads: the server closes it alone.
        peers[3].socket.setReadBufferSize(1);
        const QString flood = Message::moveText(1, 1, 0) + QString(2000, u'x');
        const QByteArray burst = Frame::encode(flood).repeated(64);
        QTcpSocket& flooder = peers[3].socket;
        for (int n = 0; n < 1024 && flooder.state() == QAbstractSocket::ConnectedState; ++n) {
            flooder.write(burst);
            flooder.flush();
            QCoreApplication::processEvents();
        }
        QTRY_COMPARE(served(), 3);
        // The fifth is taken only on a later attempt; its move then reaches
        // the others.
        QCOMPARE(waiting(), 1);
        peers.emplace_back(server->listener()->serverPort());
        for (int i : {0, 1, 2, 4})
            QTRY_VERIFY(peers[i].got.endsWith(held));
    }

    void weathersConnectionStorms()
    {
        // A thousand client ends open at once, besides the server's own.
        rlimit files{};
        getrlimit(RLIMIT_NOFILE, &files);
        files.rlim_cur = std::max(files.rlim_cur, std::min<rlim_t>(files.rlim_max, 4096));
        if (setrlimit(RLIMIT_NOFILE, &files) != 0 || files.rlim_cur < 1100)
            QSKIP("needs 1,100 open files");
        const quint16 port = server->listener()->serverPort();
        const sockaddr_in to{sa_family_t(AF_INET), htons(port), {htonl(INADDR_LOOPBACK)}, {}};
        const linger reset{1, 0}; // no TIME_WAIT left behind
        int mostWaiting = 0;
        std::vector<int> open;
        for (int i = 1; i <= 11000; ++i) {
            open.push_back(::socket(AF_INET, SOCK_STREAM, 0));
            ::setsockopt(open.back(), SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
            QCOMPARE(::connect(open.back(), reinterpret_cast<const sockaddr*>(&to), sizeof to), 0);
            // The first thousand close together, the next ten thousand one by one.
            if (i >= 1000) {
                for (int fd : open)
                    ::close(fd);
                open.clear();
            }
            // Batches under the listen backlog, each accepted before the next.
            if (i % 32 == 0)
                QCoreApplication::processEvents();
            mostWaiting = qMax(mostWaiting, waiting());
        }
        QCOMPARE(mostWaiting, Listener::MaxWaiting);
        QTRY_COMPARE(served() + waiting(), 0);
        // Then a new pair still gets its game.
        const QString got = "BLACK ACKGAMEBEGINB PUT|0|0|0| / ACKGAMEBEGINW PUT|0|0|0|";
        ask(false, "BLACK", "WHITE", got);
    }
};

QTEST_MAIN(ServerTest)
#include "tst_server.moc"
