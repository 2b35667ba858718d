// Two client windows and a real server on loopback, from the connection
// dialogs to the end of the game.
#include "boardtext.h"
#include "dialognetwork.h"
#include "fenserveur.h"
#include "frame.h"
#include "modal.h"
#include "windowparts.h"

#include <QSignalSpy>
#include <QTcpSocket>
#include <QTest>
#include <memory>

struct Client
{
    MainWindow window;
    Client()
    {
        window.show();
        menuEntry(window, 1, 0)->trigger(); // "&Play multi..." opens the dialog
    }
    QObject* part(const char* name) { return window.findChild<DialogNetwork*>()->findChild<QObject*>(name); }
    PavotWidget* board() { return window.boardWidget(); }
    QStringList rows() { return BoardText::rows(board()->model()); }
    void ask(quint16 port, bool black)
    {
        part("serveurPort")->setProperty("value", port);
        part(black ? "radioButton" : "radioButton_2")->setProperty("checked", true);
        QMetaObject::invokeMethod(part("boutonConnexion"), "click");
    }
};

class NetworkGameTest : public QObject
{
    Q_OBJECT
    std::unique_ptr<FenServeur> server;
    std::unique_ptr<Client> black, white;
    std::unique_ptr<BoxAnswerer> boxes;

    // Black registers; white asks for black too, is told "ERR", then gets white.
    bool startGame()
    {
        const quint16 port = server->listener()->serverPort();
        black->ask(port, true);
        if (!QTest::qWaitFor([&] { return !black->part("boutonConnexion")->property("enabled").toBool(); }))
            return false;
        white->ask(port, true);
        const QString taken = QStringLiteral("Erreur: choissez l'autre couleur.");
        if (!QTest::qWaitFor([&] { return white->part("listeMessages")->property("plainText").toString().contains(taken); }))
            return false;
        white->ask(port, false);
        return QTest::qWaitFor([&] { return boxes->texts.size() == 2; })
            && boxes->texts == QStringList(2, QStringLiteral("Le joueur blanc commence."));
    }

private slots:
    void init()
    {
        boxes = std::make_unique<BoxAnswerer>();
        server = std::make_unique<FenServeur>(0, QHostAddress(QHostAddress::LocalHost));
        black = std::make_unique<Client>();
        white = std::make_unique<Client>();
        QVERIFY(startGame());
    }
    void cleanup()
    {
        black.reset();
        white.reset();
        server.reset();
        boxes.reset();
    }

    // White moves first; each move shows on both boards, its echo changes
    // nothing, and texts that place nothing on this board place nothing.
    void movesGoAcrossTheBoards()
    {
        QVERIFY(!dropOn(black->board(), 2, 4)); // legal, but white moves first
        QSignalSpy echo(white->board()->gameConnection(), &QTcpSocket::readyRead);
        QVERIFY(dropOn(white->board(), 2, 3)); // c4
        QTRY_COMPARE(black->rows(), white->rows());
        QTRY_VERIFY(echo.count() > 0);
        QVERIFY(!white->board()->canPlay());
        QVERIFY(dropOn(black->board(), 2, 2)); // c3
        const QStringList afterC3 = black->rows();
        QTRY_COMPARE(white->rows(), afterC3);
        QVERIFY(white->board()->canPlay());

        // (4, 5) is white's to take: read as white or folded onto it, any of
        // these would place a disc there.
        for (const char* odd : {"PUT|4|5", "HELLO", "PUT|4|5|2|", "PUT|4|5|-1|", "PUT|4|5|4294967297|",
                                "PUT|4294967300|5|1|", "PUT|3|13|1|", "PUT|8|5|1|"})
            white->board()->gameConnection()->write(Frame::encode(QString::fromLatin1(odd)));
        white->board()->sendMove(0, 0, White); // brackets nothing, yet hands the turn
        QTRY_VERIFY(black->board()->canPlay());
        QCOMPARE(black->rows(), afterC3);
    }

    // Only the player to move, and unable to, passes with "Passer"; the game
    // then ends on both boards alike.
    void passThenTheEndOnBothBoards()
    {
        QTcpSocket* whiteGame = white->board()->gameConnection();
        QTcpSocket* blackGame = black->board()->gameConnection();
        const auto load = [&](const char* firstRow) {
            const QStringList position = QStringList{firstRow} + QStringList(7, QString(8, u'.'));
            BoardText::load(white->board()->model(), position);
            BoardText::load(black->board()->model(), position);
        };
        passButton(white->window)->click(); // white to move, and could
        QCOMPARE(white->rows(), BoardText::rows(Board()));
        load("O*......");                   // black cannot move, but it is white's turn
        passButton(black->window)->click();
        QCOMPARE(whiteGame->bytesToWrite() + blackGame->bytesToWrite(), 0);

        load("*O......"); // white cannot move; black can take the last white disc
        passButton(white->window)->click();
        QVERIFY(!white->board()->canPlay());
        QTRY_VERIFY(black->board()->canPlay());
        QCOMPARE(black->rows(), white->rows());
        QVERIFY(dropOn(black->board(), 2, 0));
        const QString report = QStringLiteral("Black won the game.\n\nPlayer :3\nComputer :0\n");
        QTRY_COMPARE(boxes->texts.mid(2), QStringList(2, report));
    }

    // "&Restart" leaves the network game: the board plays the computer, and
    // what still arrives on the old game connection is read and dropped.
    void restartLeavesTheNetworkGame()
    {
        QTcpSocket* oldGame = black->board()->gameConnection();
        QSignalSpy arrived(oldGame, &QTcpSocket::readyRead);
        menuEntry(black->window, 0, 1)->trigger();
        black->board()->model().trace = nullptr;
        white->board()->sendMove(2, 3, White); // c4, legal on the start position
        QTRY_VERIFY(arrived.count() > 0);
        QTRY_COMPARE(oldGame->bytesAvailable(), 0);
        QCOMPARE(black->rows(), BoardText::rows(Board()));
        QVERIFY(dropOn(black->board(), 2, 4)); // answered by the computer at once
        QCOMPARE(black->board()->discCount()[Black] + black->board()->discCount()[White], 6);
    }
};

QTEST_MAIN(NetworkGameTest)
#include "tst_networkgame.moc"
