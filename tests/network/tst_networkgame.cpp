// Two client windows and a real server on loopback, from the connection
// dialogs to the end of the game.
#include "boardtext.h"
#include "dialognetwork.h"
#include "fenserveur.h"
#include "modal.h"
#include "optionparts.h"

#include <QSignalSpy>
#include <QStandardPaths>
#include <QTcpSocket>
#include <QTest>

struct Client
{
    MainWindow window;
    Client()
    {
        window.show();
        menuEntry(window, 1, 0)->trigger(); // "&Play multi..." opens the dialog
        menuEntry(window, 2, Options::WhoseTurn)->setChecked(true);
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

    // The turn labels, and the legal cells marked: on the mover's board only.
    void checkTurn(Client& mover, Client& waiter)
    {
        QCOMPARE(markedCells(mover.window, Options::LegalMoves), allowedCells(mover.board()));
        QCOMPARE(markedCells(waiter.window, Options::LegalMoves), QList<QPoint>());
        QCOMPARE(turnText(mover.window), QStringLiteral("C'est votre tour !"));
        QCOMPARE(turnText(waiter.window), QStringLiteral("Au tour de l'adversaire"));
    }

private slots:
    void init()
    {
        QStandardPaths::setTestModeEnabled(true);
        boxes = std::make_unique<BoxAnswerer>();
        server = std::make_unique<FenServeur>(0, QHostAddress(QHostAddress::LocalHost));
        black = std::make_unique<Client>();
        white = std::make_unique<Client>();
        const quint16 port = server->listener()->serverPort();
        black->ask(port, true);
        QTRY_VERIFY(!black->part("boutonConnexion")->property("enabled").toBool());
        white->ask(port, false);
        QTRY_COMPARE(boxes->texts, QStringList(2, QStringLiteral("Le joueur blanc commence.")));
    }

    // White moves first; labels and legal marks follow the turns. A move shows
    // on both boards, marked on the other; its echo changes nothing.
    void movesGoAcrossTheBoards()
    {
        checkTurn(*white, *black);
        QVERIFY(!dropOn(black->board(), 2, 4)); // legal, but white moves first
        // No white move, so no turn; read as white, any would place e6.
        for (const char* odd : {"PUT|4|5", "PUT|4|5|2|", "PUT|4|5|-1|", "PUT|4|5|4294967297|"})
            black->board()->playReceivedMove(QString::fromLatin1(odd));
        QVERIFY(!black->board()->canPlay());
        QCOMPARE(black->rows(), BoardText::rows(Board()));
        QSignalSpy echo(white->board()->gameConnection(), &QTcpSocket::readyRead);
        QVERIFY(dropOn(white->board(), 2, 3)); // c4
        QTRY_COMPARE(black->rows(), white->rows());
        QTRY_VERIFY(echo.count() > 0);
        checkTurn(*black, *white);
        QCOMPARE(markedCells(black->window, Options::LastMove), QList<QPoint>{QPoint(2, 3)});
        QCOMPARE(markedCells(white->window, Options::LastMove), QList<QPoint>());
    }

    // Only the player to move, and unable to, passes; the end shows on both.
    // "&Restart" plays black, whatever the colour was, deaf to the old game.
    void passTheEndThenRestart()
    {
        QTcpSocket* whiteGame = white->board()->gameConnection();
        const auto load = [&](const char* firstRow) {
            const QStringList position = QStringList{firstRow} + QStringList(7, QString(8, u'.'));
            BoardText::load(white->board()->model(), position);
            BoardText::load(black->board()->model(), position);
        };
        passButton(white->window)->click(); // white to move, and could
        QVERIFY(white->board()->canPlay());
        load("O*......");                   // black cannot move, but it is white's turn
        passButton(black->window)->click();
        QCOMPARE(black->board()->gameConnection()->bytesToWrite(), 0);
        load("*O......"); // white cannot move; black can take the last white disc
        passButton(white->window)->click();
        QTRY_VERIFY(black->board()->canPlay());
        QVERIFY(dropOn(black->board(), 2, 0));
        const QString report = QStringLiteral("Black won the game.\n\nPlayer :3\nComputer :0\n");
        QTRY_COMPARE(boxes->texts.mid(2), QStringList(2, report));
        QTRY_COMPARE(turnText(black->window), QStringLiteral("Partie terminée"));
        QSignalSpy arrived(whiteGame, &QTcpSocket::readyRead);
        menuEntry(white->window, 0, 1)->trigger(); // "&Restart"
        white->board()->model().trace = nullptr;
        black->board()->sendMove(2, 4, Black); // c5, legal on the start position
        QTRY_VERIFY(arrived.count() > 0);
        QTRY_COMPARE(whiteGame->bytesAvailable(), 0);
        QCOMPARE(white->rows(), BoardText::rows(Board()));
        QVERIFY(dropOn(white->board(), 2, 4)); // answered by the computer at once
        QCOMPARE(white->board()->model().count(Black) + white->board()->model().count(White), 6);
    }
};

QTEST_MAIN(NetworkGameTest)
#include "tst_networkgame.moc"
