// SPDX-License-Identifier: GPL-3.0-or-later
// Client windows and a real server on loopback: games to their end, again, cut short, and cheated.
#include "boardtext.h"
#include "network/dialognetwork.h"
#include "server/fenserveur.h"
#include "protocol/frame.h"
#include "protocol/messages.h"
#include "modal.h"
#include "windowparts.h"

#include <QStandardPaths>
#include <QStatusBar>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTextEdit>

struct Client
{
    MainWindow window;
    PavotWidget* board = window.boardWidget();
    Client()
    {
        window.show();
        menuEntry(window, 2, Options::WhoseTurn)->setChecked(true);
    }
    // Of the latest connection dialog: "&Play multi..." opens a new one each time.
    QObject* dialogPart(const char* name)
    {
        return window.findChildren<DialogNetwork*>().last()->findChild<QObject*>(name);
    }
    QStringList rows() { return BoardText::rows(board->model()); }
    QString log() { return dialogPart("listeMessages")->property("plainText").toString(); }
    QString status() { return window.statusBar()->currentMessage(); }
    void ask(quint16 port, const char* colourButton)
    {
        menuEntry(window, 1, 0)->trigger(); // "&Play multi..."
        dialogPart("serveurPort")->setProperty("value", port);
        dialogPart(colourButton)->setProperty("checked", true);
        QMetaObject::invokeMethod(dialogPart("boutonConnexion"), "click");
    }
};

class NetworkGameTest : public QObject
{
    Q_OBJECT
    const QString left = QStringLiteral("L'adversaire a quitté la partie");
    std::unique_ptr<BoxAnswerer> boxes;
    std::unique_ptr<FenServeur> server;

    // Black asks first, then white; the game has begun once both boards have said who starts.
    bool start(Client& black, Client& white)
    {
        const qsizetype shown = boxes->texts.size();
        const quint16 port = server->listener()->serverPort();
        black.ask(port, "radioButton");
        if (!QTest::qWaitFor([&] { return !black.dialogPart("boutonConnexion")->property("enabled").toBool(); }))
            return false;
        white.ask(port, "radioButton_2");
        return QTest::qWaitFor([&] { return boxes->texts.size() == shown + 2; });
    }

private slots:
    void init()
    {
        QStandardPaths::setTestModeEnabled(true);
        boxes = std::make_unique<BoxAnswerer>();
        server = std::make_unique<FenServeur>(0, QHostAddress(QHostAddress::LocalHost));
    }

    // White moves first: a move shows on both boards, marked on the other. Only the player to move, and unable to,
    // passes; the end shows on both. Then the same pair plays again on the same server.
    void oneGameThenAnother()
    {
        Client black;
        Client white;
        QVERIFY(start(black, white));
        // Each drags a disc of its own colour: white's is the lighter one.
        const auto grey = [](Client& c) {
            return qGray(c.window.pieces()->item(0)->data(Qt::UserRole).value<QPixmap>().toImage().pixel(40, 40));
        };
        QVERIFY(grey(white) > grey(black));
        QVERIFY(dropOn(white.board, 2, 3)); // c4
        QTRY_COMPARE(black.rows(), white.rows());
        // The turn labels, and the legal cells marked: on the mover's board only.
        QCOMPARE(markedCells(black.window, Options::LegalMoves), allowedCells(black.board));
        QCOMPARE(markedCells(white.window, Options::LegalMoves), QList<QPoint>());
        QCOMPARE(turnText(black.window), QStringLiteral("C'est votre tour !"));
        QCOMPARE(turnText(white.window), QStringLiteral("Au tour de l'adversaire"));
        QCOMPARE(markedCells(black.window, Options::LastMove), QList<QPoint>{QPoint(2, 3)});
        passButton(black.window)->click(); // black could move
        QVERIFY(black.board->canPlay());
        // Black cannot move; white can take the last black disc.
        const QStringList position = BoardText::topRow("OX......");
        BoardText::load(black.board->model(), position);
        BoardText::load(white.board->model(), position);
        passButton(black.window)->click();
        QTRY_VERIFY(white.board->canPlay());
        passButton(black.window)->click(); // out of turn now
        QCOMPARE(black.board->gameConnection()->bytesToWrite(), 0);
        QVERIFY(dropOn(white.board, 2, 0));
        QTRY_COMPARE(boxes->texts.size(), 4); // one report in each window
        QTRY_COMPARE(turnText(black.window), QStringLiteral("Partie terminée"));
        QVERIFY(start(black, white));
        QVERIFY(dropOn(white.board, 3, 2)); // d3
        QTRY_COMPARE(black.rows(), white.rows());
        QCOMPARE(black.board->model().count(Colour::White), 4);
        QCOMPARE(black.status(), QString());
    }

    // A board that showed its ticket takes nothing from its game connection until the server answers with it: before
    // that the connection may be counted in another game of the host.
    void waitsForItsTicketBack()
    {
        QTcpServer seats;
        QVERIFY(seats.listen(QHostAddress::LocalHost, 0));
        Client black;
        const QString ticket = QStringLiteral("0123456789abcdef");
        black.board->startNetworkPlay(true, QStringLiteral("127.0.0.1"), seats.serverPort());
        black.board->setOwnColor(Colour::Black);
        black.board->setGameTicket(ticket);
        QTRY_VERIFY(seats.hasPendingConnections());
        QTcpSocket* seat = seats.nextPendingConnection();
        Frame::Reader reader;
        QStringList got;
        QTRY_COMPARE(got += reader.readAll(seat), QStringList{Message::Ticket + ticket});
        Board expected = black.board->model();
        expected.playMove(3, 2, Colour::White, true); // d3, after another game's c4
        seat->write(Frame::encode(Message::moveText(2, 3, Colour::White)));
        seat->write(Frame::encode(Message::Ticket + ticket));
        seat->write(Frame::encode(Message::moveText(3, 2, Colour::White)));
        QTRY_VERIFY(black.board->canPlay());
        QCOMPARE(black.rows(), BoardText::rows(expected));
    }

    // A player who leaves a game, by "&Restart", by a new network game or by closing the window, is seen gone by the
    // other, and so is the server: the board takes nothing more, and the window says why until "&Restart".
    void aPlayerWhoLeavesIsSeenGone_data()
    {
        QTest::addColumn<int>("how");
        QTest::addColumn<QString>("shown");
        QTest::newRow("restart") << 0 << left;
        QTest::newRow("new game") << 1 << left;
        QTest::newRow("window closed") << 2 << left;
        QTest::newRow("server gone") << 3 << QStringLiteral("Connexion au serveur perdue");
    }
    void aPlayerWhoLeavesIsSeenGone()
    {
        QFETCH(int, how);
        QFETCH(QString, shown);
        Client black;
        auto white = std::make_unique<Client>();
        QVERIFY(start(black, *white));
        QVERIFY(dropOn(white->board, 2, 3));
        QTRY_VERIFY(black.board->canPlay());
        if (how == 0)
            menuEntry(white->window, 0, 1)->trigger();
        else if (how == 1)
            QMetaObject::invokeMethod(&white->window, "setWhite", Q_ARG(QString, "127.0.0.1"), Q_ARG(quint16, 9));
        else if (how == 2)
            white.reset();
        else
            server.reset();
        QTRY_COMPARE(black.status(), shown);
        QCOMPARE(turnText(black.window), shown);
        QCOMPARE(allowedCells(black.board), QList<QPoint>());
        // White's board showed its seat's ticket: the server knew its colour.
        QVERIFY(!black.log().contains(u"PUT|-2|-2|0|"));
        menuEntry(black.window, 0, 1)->trigger();
        QTRY_COMPARE(black.status(), QString());
    }

    // What white's connection carries that white could not have played,
    // before or after its own c4, changes neither board.
    void cheatsChangeNeitherBoard_data()
    {
        QTest::addColumn<QString>("cheat");
        QTest::addColumn<bool>("afterC4");
        QTest::newRow("own colour") << "PUT|5|3|0|" << false; // f4, black's before c4, not after
        QTest::newRow("out of turn") << "PUT|5|5|1|" << true; // f6, white's after c4
        QTest::newRow("illegal square") << "PUT|0|0|1|" << false;
        QTest::newRow("off the board") << "PUT|8|3|1|" << false;
        QTest::newRow("pass with a move") << "PUT|-1|-1|1|" << false;
        QTest::newRow("no colour's code") << "PUT|4|5|2|" << false; // e6, were 2 read as white
        // Each read as e6 by a lenient reader, or as a1 by one that takes what is not a number for 0.
        const char* odd[] = {"PUT|+4|5|1|", "PUT| 4|5|1|", "PUT|04|5|1|", "PUT|4|5|1|x", "PUT|4|5|1",
                             "PUT|0x5|5|1|", "PUT|1.0|5|1|", "PUT|2147483648|5|1|"};
        for (const char* text : odd)
            QTest::newRow(text) << text << false;
    }
    void cheatsChangeNeitherBoard()
    {
        QFETCH(QString, cheat);
        QFETCH(bool, afterC4);
        Client black;
        Client white;
        QVERIFY(start(black, white));
        if (!afterC4)
            white.board->gameConnection()->write(Frame::encode(cheat));
        QVERIFY(dropOn(white.board, 2, 3));
        if (afterC4)
            white.board->gameConnection()->write(Frame::encode(cheat));
        QTRY_VERIFY(black.board->canPlay());
        // The hidden dialog hears the game too: the board's copy came with it.
        QTRY_VERIFY(black.log().contains(cheat));
        QCoreApplication::processEvents();
        Board expected;
        expected.playMove(2, 3, Colour::White, true);
        QCOMPARE(black.rows(), BoardText::rows(expected));
        QCOMPARE(white.rows(), BoardText::rows(expected));
    }
};

QTEST_MAIN(NetworkGameTest)
#include "tst_networkgame.moc"
