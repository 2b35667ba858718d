// SPDX-License-Identifier: GPL-3.0-or-later
// One client window against a scripted server that writes what each test
// needs, as a hostile or a departing peer could: black is granted through the
// connection dialog, then the board's game connection is the server's to play.
#include "boardtext.h"
#include "dialognetwork.h"
#include "frame.h"
#include "messages.h"
#include "modal.h"
#include "windowparts.h"

#include <QSignalSpy>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

class GameLinkTest : public QObject
{
    Q_OBJECT
    const QString ticket = QStringLiteral("GAME|0123456789abcdef");
    std::unique_ptr<BoxAnswerer> boxes;
    std::unique_ptr<QTcpServer> server;
    std::unique_ptr<MainWindow> window;
    PavotWidget* board = nullptr;
    QTcpSocket* game = nullptr; // the server's end of the game connection

    QTcpSocket* accept()
    {
        if (!QTest::qWaitFor([&] { return server->hasPendingConnections(); }))
            return nullptr;
        return server->nextPendingConnection();
    }
    static QString firstText(QTcpSocket* peer)
    {
        Frame::Reader reader;
        QStringList texts;
        const bool arrived = QTest::qWaitFor([&] {
            texts += reader.readAll(peer);
            return !texts.isEmpty();
        });
        return arrived ? texts.first() : QString();
    }
    QString status() const
    {
        const auto* bar = window->findChild<QStatusBar*>();
        return bar ? bar->currentMessage() : QString();
    }

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    // The ticket that came with the grant opens the game connection.
    void init()
    {
        boxes = std::make_unique<BoxAnswerer>();
        server = std::make_unique<QTcpServer>();
        QVERIFY(server->listen(QHostAddress::LocalHost, 0));
        window = std::make_unique<MainWindow>();
        window->show();
        board = window->boardWidget();
        board->model().trace = nullptr;
        menuEntry(*window, 1, 0)->trigger(); // "&Play multi..."
        menuEntry(*window, 2, Options::WhoseTurn)->setChecked(true);
        auto* dialog = window->findChild<DialogNetwork*>();
        dialog->findChild<QObject*>("serveurPort")->setProperty("value", server->serverPort());
        QMetaObject::invokeMethod(dialog->findChild<QObject*>("boutonConnexion"), "click");
        QTcpSocket* talk = accept();
        QVERIFY(talk);
        QCOMPARE(firstText(talk), Message::Black);
        talk->write(Frame::encode(ticket) + Frame::encode(Message::GameBeginBlack));
        game = accept();
        QVERIFY(game);
        QCOMPARE(firstText(game), ticket);
        QTRY_COMPARE(boxes->texts.size(), 1); // "Le joueur blanc commence."
    }
    void cleanup()
    {
        window.reset();
        server.reset();
        boxes.reset();
    }

    // Only white's legal move, in turn and written as every peer writes
    // numbers, is placed and hands black the turn; the rest changes nothing.
    void onlyTheOpponentsLegalMovesCount_data()
    {
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<bool>("c4Taken");
        QTest::newRow("legal c4") << QStringList{"PUT|2|3|1|"} << true;
        QTest::newRow("own colour") << QStringList{"PUT|5|3|0|"} << false; // f4, legal for black
        QTest::newRow("out of turn") << QStringList{"PUT|2|3|1|", "PUT|5|5|1|"} << true;
        QTest::newRow("illegal square") << QStringList{"PUT|0|0|1|"} << false;
        QTest::newRow("off the board") << QStringList{"PUT|8|3|1|"} << false;
        QTest::newRow("pass with a move") << QStringList{"PUT|-1|-1|1|"} << false;
        const char* odd[] = {"PUT|+2|3|1|", "PUT| 2|3|1|", "PUT|02|3|1|", "PUT|2|3|1.0|", "PUT|0x5|3|1|",
                             "PUT|2147483648|3|1|", "PUT|2|3|1|more", "PUT|2|3|1", "GET|2|3|1|"};
        for (const char* text : odd)
            QTest::newRow(text) << QStringList{text} << false;
    }
    void onlyTheOpponentsLegalMovesCount()
    {
        QFETCH(QStringList, texts);
        QFETCH(bool, c4Taken);
        for (const QString& text : texts)
            board->playReceivedMove(text);
        Board expected;
        if (c4Taken)
            expected.playMove(2, 3, White, true);
        QCOMPARE(BoardText::rows(board->model()), BoardText::rows(expected));
        QCOMPARE(board->model().count(White), expected.count(White));
        QCOMPARE(board->canPlay(), c4Taken);
    }

    // The opponent's departure, named in either form the server uses, or the
    // loss of the game connection ends the game: no more drops or moves, and
    // the window says why until "&Restart", which plays the computer again.
    void anEndedGameSaysWhyUntilRestart_data()
    {
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<QString>("shown");
        const QString left = QStringLiteral("L'adversaire a quitté la partie");
        QTest::newRow("white left") << QStringList{"PUT|-2|-2|1|"} << left;
        QTest::newRow("someone left") << QStringList{"PUT|-2|-2|0|", "PUT|-2|-2|1|"} << left;
        QTest::newRow("connection lost") << QStringList() << QStringLiteral("Connexion au serveur perdue");
    }
    void anEndedGameSaysWhyUntilRestart()
    {
        QFETCH(QStringList, texts);
        QFETCH(QString, shown);
        for (const QString& text : texts)
            game->write(Frame::encode(text));
        if (texts.isEmpty())
            game->disconnectFromHost();
        QTRY_COMPARE(status(), shown);
        QCOMPARE(turnText(*window), shown);
        board->playReceivedMove(QStringLiteral("PUT|2|3|1|")); // white's c4 was legal
        QCOMPARE(board->model().count(White), 2);
        QCOMPARE(allowedCells(board), QList<QPoint>());
        menuEntry(*window, 0, 1)->trigger(); // "&Restart"
        QTRY_COMPARE(status(), QString());
        QVERIFY(dropOn(board, 2, 4)); // the computer answers
        QCOMPARE(board->model().count(White), 3);
    }

    // "&Restart" and a new network game each close the game connection, so
    // the server sees this player leave.
    void leavingAGameClosesItsConnection_data()
    {
        QTest::addColumn<bool>("restart");
        QTest::newRow("restart") << true;
        QTest::newRow("new game") << false;
    }
    void leavingAGameClosesItsConnection()
    {
        QFETCH(bool, restart);
        QSignalSpy closed(game, &QTcpSocket::disconnected);
        if (restart)
            menuEntry(*window, 0, 1)->trigger();
        else
            QMetaObject::invokeMethod(window.get(), "setWhite", Q_ARG(QString, "127.0.0.1"),
                                      Q_ARG(quint16, server->serverPort()));
        QTRY_COMPARE(closed.count(), 1);
        QCOMPARE(status(), QString());
    }
};

QTEST_MAIN(GameLinkTest)
#include "tst_gamelink.moc"
