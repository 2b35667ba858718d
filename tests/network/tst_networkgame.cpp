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
    // "&Restart" plays black, whatever the colour was.
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
        menuEntry(white.window, 0, 1)->trigger(); // "&Restart"
        white.board->model().trace = nullptr;
        QCOMPARE(white.rows(), BoardText::rows(Board()));
        QVERIFY(dropOn(white.board, 2, 4)); // answered by the computer at once
    }
};

QTEST_MAIN(NetworkGameTest)
#include "tst_networkgame.moc"
