// Two client windows and a real server on loopback, from the connection dialogs to the boards.
#include "boardtext.h"
#include "dialognetwork.h"
#include "fenserveur.h"
#include "frame.h"
#include "pavotwidget.h"
#include "relay.h"
#include "windowparts.h"

#include <QDropEvent>
#include <QMessageBox>
#include <QMimeData>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>
#include <memory>

static bool dropOn(PavotWidget* board, int x, int y)
{
    QMimeData data;
    data.setData(PiecesList::mimeType(), PiecesList::encodePiece(QPixmap(80, 80), QPoint()));
    QDropEvent event(QPointF(x * 80 + 40, y * 80 + 40), Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
    static_cast<QObject*>(board)->event(&event);
    return event.isAccepted();
}

struct Client
{
    MainWindow window;
    Client() { menuEntries(window, 1).at(0)->trigger(); } // "&Play multi..." opens the dialog
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
    QStringList boxTexts; // every modal box, each answered as it opens
    QTimer boxTimer;

    // Black registers; white, told "ERR" first if it asks for black too, gets white.
    bool startGame(bool whiteAsksBlackFirst)
    {
        const quint16 port = server->tcpServer->serverPort();
        black->ask(port, true);
        bool ok = QTest::qWaitFor([&] { return !black->part("boutonConnexion")->property("enabled").toBool(); });
        if (ok && whiteAsksBlackFirst) {
            white->ask(port, true);
            const QString taken = QStringLiteral("Erreur: choissez l'autre couleur.");
            ok = QTest::qWaitFor([&] { return white->part("listeMessages")->property("plainText").toString().contains(taken); });
        }
        white->ask(port, false);
        return ok && QTest::qWaitFor([&] { return boxTexts.size() == 2 && server->relay()->connectionCount() == 4; })
            && boxTexts == QStringList(2, QStringLiteral("Le joueur blanc commence."));
    }

private slots:
    void initTestCase()
    {
        boxTimer.callOnTimeout([this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                boxTexts << box->text();
                box->accept();
            }
        });
        boxTimer.start(5);
    }
    void init()
    {
        server = std::make_unique<FenServeur>(0, QHostAddress(QHostAddress::LocalHost));
        black = std::make_unique<Client>();
        white = std::make_unique<Client>();
    }
    void cleanup() { black.reset(); white.reset(); server.reset(); boxTexts.clear(); }

    void gameAcrossTheBoards_data()
    {
        QTest::addColumn<bool>("whiteAsksBlackFirst");
        QTest::addColumn<QString>("odd"); // sent by white before a move that brackets nothing
        QTest::newRow("ERR, then the other colour") << true << QString();
        // (4, 5) is white's to take: read as white or folded onto that square, a move would be placed.
        for (const char* odd : {"PUT|4|5", "PUT|", "HELLO", "PUT|4|5|2|", "PUT|4|5|-1|", "PUT|4|5|4294967297|",
                                "PUT|4294967300|5|1|", "PUT|3|13|1|", "PUT|5|-3|1|", "PUT|8|5|1|"})
            QTest::newRow(odd) << false << QString::fromLatin1(odd);
    }
    void gameAcrossTheBoards()
    {
        QFETCH(bool, whiteAsksBlackFirst);
        QFETCH(QString, odd);
        QVERIFY(startGame(whiteAsksBlackFirst));
        QVERIFY(!dropOn(black->board(), 2, 4)); // legal, but white moves first
        QSignalSpy echo(white->board()->gameConnection(), &QTcpSocket::readyRead);
        QVERIFY(dropOn(white->board(), 2, 3)); // c4 turns d4
        const QStringList afterC4{"........", "........", "........", "..OOO...", "...O*...", "........", "........", "........"};
        QCOMPARE(white->rows(), afterC4);
        QTRY_COMPARE(black->rows(), afterC4);
        QTRY_VERIFY(echo.count() > 0); // white's own move back changes nothing
        QVERIFY(!white->board()->canPlay());
        QCOMPARE(white->rows(), afterC4);
        QVERIFY(dropOn(black->board(), 2, 2)); // c3 turns d4 back
        const QStringList afterC3 = black->rows();
        QTRY_COMPARE(white->rows(), afterC3);
        QVERIFY(white->board()->canPlay());
        white->board()->gameConnection()->write(Frame::encode(odd));
        white->board()->sendMove(0, 0, White); // brackets nothing, yet hands the turn
        QTRY_VERIFY(black->board()->canPlay());
        QCOMPARE(black->rows(), afterC3);
        // "&Restart": a drop is answered by the computer; white's moves still arrive.
        Board& model = black->board()->model();
        model.trace = nullptr;
        menuEntries(black->window, 0).at(1)->trigger();
        QVERIFY(dropOn(black->board(), 2, 4));
        QCOMPARE(model.discCount[Black] + model.discCount[White], 6);
        int cell = 64; // the last square white may take now
        while (--cell > 0 && model.playMove(cell % 8, cell / 8, White, false) == 0) {}
        white->board()->sendMove(cell % 8, cell / 8, White);
        QTRY_COMPARE(model.cell(cell % 8, cell / 8), int(White));
    }

    void earlierGameConnectionNeitherMixesNorStalls() // a listener writes on each game connection apart
    {
        QTcpServer listener;
        QVERIFY(listener.listen(QHostAddress::LocalHost, 0));
        QTcpSocket *sides[2], *earlierGame = nullptr;
        for (int game = 0; game < 2; ++game) {
            earlierGame = black->board()->gameConnection();
            black->board()->startNetworkPlay(true, QStringLiteral("127.0.0.1"), listener.serverPort());
            QVERIFY(listener.waitForNewConnection(5000));
            sides[game] = listener.nextPendingConnection();
            QTRY_COMPARE(boxTexts.size(), game + 1);
        }
        QSignalSpy earlier(earlierGame, &QTcpSocket::readyRead);
        sides[0]->write(Frame::encode(QStringLiteral("PUT|5|4|1|")).left(5) + Frame::encode(QStringLiteral("PUT|3|2|1|")));
        QTRY_VERIFY(earlier.count() > 0);
        sides[1]->write(Frame::encode(QStringLiteral("PUT|5|4|1|")));
        QTRY_COMPARE(black->board()->model().cell(5, 4), int(White));
        QCOMPARE(black->board()->model().cell(3, 2), int(Empty)); // the earlier game's move
    }
};

QTEST_MAIN(NetworkGameTest)
#include "tst_networkgame.moc"
