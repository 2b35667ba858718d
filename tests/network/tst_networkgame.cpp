// Two players, one game: two client windows and a real server on loopback,
// from the connection dialogs to moves crossing between the boards.

#include "boardtext.h"
#include "dialognetwork.h"
#include "fenserveur.h"
#include "frame.h"
#include "modal.h"
#include "pavotwidget.h"
#include "relay.h"
#include "windowparts.h"

#include <QDropEvent>
#include <QMimeData>
#include <QRadioButton>
#include <QSpinBox>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTextEdit>
#include <memory>

namespace {

// Answers every modal box that opens ("Le joueur blanc commence." opens one
// on each board, the second inside the first one's loop), innermost first.
class BoxAnswerer
{
public:
    BoxAnswerer()
    {
        timer.setInterval(5);
        QObject::connect(&timer, &QTimer::timeout, [this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                texts << box->text();
                box->button(QMessageBox::Ok)->click();
            }
        });
        timer.start();
    }
    QStringList texts;

private:
    QTimer timer;
};

std::unique_ptr<QMimeData> pieceData()
{
    auto data = std::make_unique<QMimeData>();
    data->setData(PiecesList::mimeType(), PiecesList::encodePiece(QPixmap(80, 80), QPoint(0, 0)));
    return data;
}

// A drop of the disc on cell (x, y), handed to the board's own handler.
bool dropOn(PavotWidget* board, int x, int y)
{
    const auto data = pieceData();
    QDropEvent event(QPointF(x * 80 + 40, y * 80 + 40), Qt::MoveAction, data.get(), Qt::LeftButton,
                     Qt::NoModifier);
    static_cast<QObject*>(board)->event(&event);
    return event.isAccepted();
}

QList<QPoint> allowedCells(PavotWidget* board)
{
    QList<QPoint> cells;
    for (int x = 0; x < 8; ++x)
        for (int y = 0; y < 8; ++y)
            if (board->checkDrop(QRect(x * 80, y * 80, 80, 80)) == -1)
                cells << QPoint(x, y);
    return cells;
}

// One player's client window, driven through its menu and dialog.
struct Client
{
    MainWindow window;
    DialogNetwork* dialog = nullptr;

    PavotWidget* board() { return window.boardWidget(); }

    void openDialog(quint16 port, bool black)
    {
        menuEntries(window, 1).at(0)->trigger(); // "&Play multi..."
        dialog = window.findChildren<DialogNetwork*>().last();
        dialog->findChild<QSpinBox*>(QStringLiteral("serveurPort"))->setValue(port);
        dialog->findChild<QRadioButton*>(black ? QStringLiteral("radioButton") : QStringLiteral("radioButton_2"))
            ->setChecked(true);
    }
    void connectButton() { dialog->findChild<QPushButton*>(QStringLiteral("boutonConnexion"))->click(); }
    QString log() const { return dialog->findChild<QTextEdit*>(QStringLiteral("listeMessages"))->toPlainText(); }
};

} // namespace

class NetworkGameTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<FenServeur> server;
    std::unique_ptr<Client> black;
    std::unique_ptr<Client> white;
    std::unique_ptr<BoxAnswerer> boxes;
    quint16 port = 0;

    // Black asks first, white second; the game begins on both boards.
    void startGame()
    {
        black->openDialog(port, true);
        black->connectButton();
        QTRY_VERIFY(!black->dialog->findChild<QPushButton*>(QStringLiteral("boutonConnexion"))->isEnabled());
        white->openDialog(port, false);
        white->connectButton();
        QTRY_COMPARE(boxes->texts.size(), 2);
        QCOMPARE(boxes->texts, QStringList({"Le joueur blanc commence.", "Le joueur blanc commence."}));
        QTRY_COMPARE(server->relay()->connectionCount(), 4);
    }

private slots:
    void init()
    {
        DebugLog::start();
        server = std::make_unique<FenServeur>(0, QHostAddress(QHostAddress::LocalHost));
        port = server->tcpServer->serverPort();
        black = std::make_unique<Client>();
        white = std::make_unique<Client>();
        black->window.show();
        white->window.show();
        boxes = std::make_unique<BoxAnswerer>();
        devNull = std::fopen("/dev/null", "w");
        black->board()->model().trace = devNull;
        white->board()->model().trace = devNull;
    }
    void cleanup()
    {
        boxes.reset();
        black.reset();
        white.reset();
        server.reset();
        std::fclose(devNull);
        DebugLog::stop();
    }

    void movesCrossBetweenTheBoards()
    {
        startGame();
        QVERIFY(!black->dialog->isVisible());
        QVERIFY(!white->dialog->isVisible());
        QVERIFY(black->board()->playByNetwork());
        QCOMPARE(black->board()->ownColour(), int(Black));
        QCOMPARE(white->board()->ownColour(), int(White));
        QVERIFY(black->log().contains(QStringLiteral("ACKGAMEBEGINB")));
        QVERIFY(white->log().contains(QStringLiteral("ACKGAMEBEGINW")));
        // Each player got the disc of its colour.
        QCOMPARE(black->window.pieces()->count(), 1);
        QCOMPARE(white->window.pieces()->count(), 1);

        // White moves first: black is refused everywhere, legal cells included.
        QVERIFY(allowedCells(black->board()).isEmpty());
        QVERIFY(!dropOn(black->board(), 2, 4));
        QCOMPARE(allowedCells(white->board()), QList<QPoint>({{2, 3}, {3, 2}, {4, 5}, {5, 4}}));

        QVERIFY(dropOn(white->board(), 2, 3)); // white c4
        QVERIFY(!white->board()->canPlay());
        QVERIFY(allowedCells(white->board()).isEmpty());
        const QStringList afterC4 = {"........", "........", "........", "..OOO...",
                                     "...O*...", "........", "........", "........"};
        QCOMPARE(BoardText::rows(white->board()->model()), afterC4);

        // It reaches black's board with its flip, and black may move.
        QTRY_VERIFY(black->board()->canPlay());
        QCOMPARE(BoardText::rows(black->board()->model()), afterC4);
        QCOMPARE(black->board()->discCount()[Black], 1);
        QCOMPARE(black->board()->discCount()[White], 4);
        QTRY_COMPARE(blackCount(black->window), QStringLiteral("1"));

        // White's own echo changed nothing on its board and kept the turn away.
        QTRY_VERIFY(DebugLog::lines().count(QStringLiteral("\"PUT|2|3|1|\"")) >= 3);
        QVERIFY(!white->board()->canPlay());
        QCOMPARE(BoardText::rows(white->board()->model()), afterC4);

        QVERIFY(dropOn(black->board(), 2, 2)); // black c3 turns d4 back
        QTRY_VERIFY(white->board()->canPlay());
        QCOMPARE(BoardText::rows(white->board()->model()), BoardText::rows(black->board()->model()));
        QCOMPARE(white->board()->model().cell(3, 3), int(Black));
        QVERIFY(!black->board()->canPlay());

        // The hidden dialogs logged every relayed move after the start.
        QTRY_VERIFY(black->log().contains(QStringLiteral("PUT|2|2|0|")));
        QVERIFY(black->log().indexOf(QStringLiteral("PUT|2|3|1|")) > black->log().indexOf(QStringLiteral("ACKGAMEBEGINB")));
    }

    void takenColourThenTheOther()
    {
        black->openDialog(port, true);
        black->connectButton();
        QTRY_VERIFY(!black->dialog->findChild<QPushButton*>(QStringLiteral("boutonConnexion"))->isEnabled());
        white->openDialog(port, true); // asks for black too
        white->connectButton();
        QTRY_VERIFY(white->log().contains(QStringLiteral("Erreur: choissez l'autre couleur.")));
        QVERIFY(white->dialog->findChild<QPushButton*>(QStringLiteral("boutonConnexion"))->isEnabled());
        QVERIFY(!white->board()->playByNetwork());

        white->dialog->findChild<QRadioButton*>(QStringLiteral("radioButton_2"))->setChecked(true);
        white->connectButton();
        QTRY_COMPARE(boxes->texts.size(), 2);
        QTRY_VERIFY(white->board()->canPlay());
        QCOMPARE(white->board()->ownColour(), int(White));
        QVERIFY(!black->board()->canPlay());
    }

    void oddMovesNeverCorruptTheBoard()
    {
        startGame();
        QTcpSocket* whiteGame = white->board()->gameConnection();
        const QStringList start = BoardText::rows(black->board()->model());

        // Not moves, or moves off the board or of no colour: nothing placed.
        for (const char* text : {"PUT|1|2", "PUT|", "HELLO", "PUT|2|3|2|", "PUT|2|3|-1|", "PUT|9|3|0|",
                                 "PUT|-1|0|0|", "PUT|2|3|99999999999|"})
            whiteGame->write(Frame::encode(QString::fromLatin1(text)));
        QTRY_VERIFY(DebugLog::lines().count(QStringLiteral("\"PUT|2|3|99999999999|\"")) >= 2);
        QCOMPARE(BoardText::rows(black->board()->model()), start);
        QCOMPARE(black->board()->discCount()[Black] + black->board()->discCount()[White], 4);
        QVERIFY(!black->board()->canPlay());

        // A white move that brackets nothing places nothing but hands the turn.
        white->board()->sendMove(0, 0, White);
        QTRY_VERIFY(black->board()->canPlay());
        QCOMPARE(BoardText::rows(black->board()->model()), start);
        QVERIFY(dropOn(black->board(), 2, 4));
    }

    void restartLeavesNetworkPlay()
    {
        startGame();
        menuEntries(black->window, 0).at(1)->trigger(); // "&Restart"
        QVERIFY(!black->board()->playByNetwork());
        // A drop is now a move against the computer, answered at once.
        QVERIFY(dropOn(black->board(), 2, 4));
        QCOMPARE(black->board()->discCount()[Black], 3);
        QCOMPARE(black->board()->discCount()[White], 3);
        QCOMPARE(black->board()->model().cell(4, 5), int(White));

        // Moves still arriving on the open game connection are placed.
        white->board()->sendMove(2, 5, White); // c6 turns d5
        QTRY_COMPARE(black->board()->model().cell(2, 5), int(White));
        QCOMPARE(black->board()->model().cell(3, 4), int(White));
    }

    void earlierGameConnectionNeitherMixesNorStalls()
    {
        // A plain listener stands in for the server, to write on each
        // connection separately.
        QTcpServer listener;
        QVERIFY(listener.listen(QHostAddress::LocalHost, 0));
        PavotWidget* board = black->board();
        board->setOwnColour(Black);
        board->startNetworkPlay(true, QStringLiteral("127.0.0.1"), listener.serverPort());
        QVERIFY(listener.waitForNewConnection(5000));
        QTcpSocket* first = listener.nextPendingConnection();
        QTRY_COMPARE(boxes->texts.size(), 1);

        board->startNetworkPlay(true, QStringLiteral("127.0.0.1"), listener.serverPort());
        QVERIFY(listener.waitForNewConnection(5000));
        QTcpSocket* second = listener.nextPendingConnection();
        QTRY_COMPARE(boxes->texts.size(), 2);

        // Half a frame on the earlier connection, a whole move on the new one.
        const QByteArray stale = Frame::encode(QStringLiteral("PUT|5|4|1|"));
        first->write(stale.left(5));
        first->write(Frame::encode(QStringLiteral("PUT|3|2|1|")));
        first->flush();
        second->write(Frame::encode(QStringLiteral("PUT|5|4|1|")));
        second->flush();
        QTRY_COMPARE(board->model().cell(5, 4), int(White));
        QVERIFY(board->canPlay());
        QCOMPARE(board->model().cell(3, 2), int(Empty));

        // More on the old one is still never taken for a move of this game.
        first->write(Frame::encode(QStringLiteral("PUT|3|2|1|")));
        first->flush();
        QTest::qWait(100);
        QCOMPARE(board->model().cell(3, 2), int(Empty));
    }

private:
    std::FILE* devNull = nullptr;
};

QTEST_MAIN(NetworkGameTest)
#include "tst_networkgame.moc"
