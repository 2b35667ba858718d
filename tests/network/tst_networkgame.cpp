// SPDX-License-Identifier: GPL-3.0-or-later
// Two client windows and a real server on loopback: one game from the
// connection dialogs to its end, then "&Restart".
#include "boardtext.h"
#include "fenserveur.h"
#include "modal.h"
#include "windowparts.h"

#include <QSignalSpy>
#include <QStandardPaths>
#include <QTcpSocket>
#include <QTest>

struct Client
{
    MainWindow window;
    PavotWidget* board = window.boardWidget();
    Client()
    {
        window.show();
        menuEntry(window, 1, 0)->trigger(); // "&Play multi..." opens the dialog
        menuEntry(window, 2, Options::WhoseTurn)->setChecked(true);
    }
    QObject* dialogPart(const char* name) { return window.findChild<QObject*>(name); }
    QStringList rows() { return BoardText::rows(board->model()); }
    void ask(quint16 port, const char* colourButton)
    {
        dialogPart("serveurPort")->setProperty("value", port);
        dialogPart(colourButton)->setProperty("checked", true);
        QMetaObject::invokeMethod(dialogPart("boutonConnexion"), "click");
    }
};

class NetworkGameTest : public QObject
{
    Q_OBJECT

private slots:
    // White moves first: a move shows on both boards, marked on the other.
    // Only the player to move, and unable to, passes; the end shows on both.
    // "&Restart" plays black, whatever the colour was, deaf to the old game.
    void oneGameThenRestart()
    {
        QStandardPaths::setTestModeEnabled(true);
        BoxAnswerer boxes;
        FenServeur server(0, QHostAddress(QHostAddress::LocalHost));
        Client black;
        Client white;
        black.ask(server.listener()->serverPort(), "radioButton");
        QTRY_VERIFY(!black.dialogPart("boutonConnexion")->property("enabled").toBool());
        white.ask(server.listener()->serverPort(), "radioButton_2");
        QTRY_COMPARE(boxes.texts, QStringList(2, QStringLiteral("Le joueur blanc commence.")));
        // No white move, so no turn; read as white, any would place e6.
        for (const char* odd : {"PUT|4|5", "PUT|4|5|2|", "PUT|4|5|-1|", "PUT|4|5|4294967297|"})
            black.board->playReceivedMove(QString::fromLatin1(odd));
        QVERIFY(!black.board->canPlay());
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
        const QStringList position = QStringList{"O*......"} + QStringList(7, QString(8, u'.'));
        BoardText::load(black.board->model(), position);
        BoardText::load(white.board->model(), position);
        passButton(black.window)->click();
        QTRY_VERIFY(white.board->canPlay());
        passButton(black.window)->click(); // out of turn now
        QCOMPARE(black.board->gameConnection()->bytesToWrite(), 0);
        QVERIFY(dropOn(white.board, 2, 0));
        QTRY_COMPARE(boxes.texts.size(), 4); // one report in each window
        QTRY_COMPARE(turnText(black.window), QStringLiteral("Partie terminée"));
        QSignalSpy arrived(white.board->gameConnection(), &QTcpSocket::readyRead);
        menuEntry(white.window, 0, 1)->trigger(); // "&Restart"
        white.board->model().trace = nullptr;
        black.board->sendMove(2, 4, Black); // c5, legal on the start position
        QTRY_VERIFY(arrived.count() > 0);
        QCOMPARE(white.rows(), BoardText::rows(Board()));
        QVERIFY(dropOn(white.board, 2, 4)); // answered by the computer at once
    }
};

QTEST_MAIN(NetworkGameTest)
#include "tst_networkgame.moc"
