// SPDX-License-Identifier: GPL-3.0-or-later
// The connection dialog against a plain listener that writes what any server could.
#include "network/dialognetwork.h"
#include "protocol/frame.h"
#include "protocol/messages.h"

#include <QSettings>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTextDocument>
#include <QTextEdit>

class DialogNetworkTest : public QObject
{
    Q_OBJECT
    std::unique_ptr<QTcpServer> server;
    std::unique_ptr<DialogNetwork> dialog;
    QTcpSocket* peer = nullptr; // the server's end of the dialog's connection

    QObject* child(const char* name) { return dialog->findChild<QObject*>(name); }
    QString log() { return child("listeMessages")->property("plainText").toString(); }
    bool enabled(const char* name) { return child(name)->property("enabled").toBool(); }
    void press() { QMetaObject::invokeMethod(child("boutonConnexion"), "click"); }
    QTcpSocket* pressAndAccept()
    {
        press();
        if (!QTest::qWaitFor([&] { return server->hasPendingConnections(); }))
            return nullptr;
        return server->nextPendingConnection();
    }
    void send(const QStringList& texts)
    {
        for (const QString& text : texts)
            peer->write(Frame::encode(text));
    }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QSettings().clear();
    }

    void init()
    {
        server = std::make_unique<QTcpServer>();
        QVERIFY(server->listen(QHostAddress::LocalHost, 0));
        dialog = std::make_unique<DialogNetwork>();
        child("serveurPort")->setProperty("value", server->serverPort());
        peer = pressAndAccept(); // asks for black, the first choice
        QVERIFY(peer);
    }

    // Pressed again, the dialog drops the first connection with its half frame, and reads the second's frames from
    // their start. Then only a whole control text acts, and only until the game has begun: any other text, even one
    // holding a control word, is logged as sent, never as markup.
    void reconnectsThenObeysOnlyWholeControlTexts()
    {
        QSignalSpy black(dialog.get(), &DialogNetwork::setBlack);
        QSignalSpy white(dialog.get(), &DialogNetwork::setWhite);
        peer->write(Frame::encode(QStringLiteral("avant")) + Frame::encode(Message::Err).left(3));
        QTRY_VERIFY(log().endsWith(u"avant"));
        peer = pressAndAccept();
        QVERIFY(peer);
        send({"PUT|ACKGAMEBEGINB|", "PUT|BLACK|", "ERR!", Message::GameBeginWhite});
        QTRY_COMPARE(white.count(), 1);
        send({Message::GameBeginBlack, Message::Black, Message::Err, "<b>end</b> &  x"});
        QTRY_VERIFY(log().endsWith(u"\n<b>end</b> &  x"));
        QCOMPARE(white.count() + black.count(), 1);
        QVERIFY(enabled("boutonConnexion"));
        QVERIFY(!log().contains(u"Erreur"));
    }

    // Only the echo of the colour asked for registers the player, who is then told to wait: in any order of echoes
    // one colour stays in view. A refusal says to choose the other colour.
    void onlyTheEchoOfTheRequestRegisters_data()
    {
        QTest::addColumn<QStringList>("echoes");
        QTest::newRow("black then white") << QStringList{"BLACK", "WHITE"};
        QTest::newRow("white then black") << QStringList{"WHITE", "BLACK"};
        QTest::newRow("white only") << QStringList{"WHITE"};
        QTest::newRow("refused") << QStringList{"ERR"};
    }
    void onlyTheEchoOfTheRequestRegisters()
    {
        QFETCH(QStringList, echoes);
        send(echoes);
        send({"fin"});
        QTRY_VERIFY(log().endsWith(u"fin"));
        const bool registered = echoes.contains(Message::Black);
        QCOMPARE(enabled("boutonConnexion"), !registered);
        QCOMPARE(log().contains(u"en attente d'un adversaire"), registered);
        QCOMPARE(log().contains(u"Erreur: choissez l'autre couleur."), echoes.contains(Message::Err));
        QVERIFY(dialog->findChild<QWidget*>("radioButton")->isVisibleTo(dialog.get()));
    }

    // A flood keeps only the latest entries, each cut short, and no undo history of them.
    void logKeepsTheLatestEntries()
    {
        peer->write(Frame::encode("PUT|1|2|0|").repeated(3 * DialogNetwork::MaxLogEntries));
        send({QString(30000, u'x')});
        const QString cut = QString(DialogNetwork::MaxEntryLength, u'x') + QChar(0x2026); // an ellipsis
        QTRY_COMPARE(log().section(u'\n', -1), cut);
        QVERIFY(log().count(u'\n') < 2 * DialogNetwork::MaxLogEntries);
        QVERIFY(!log().contains(u"Tentative")); // the oldest entries are gone
        QCOMPARE(qobject_cast<QTextEdit*>(child("listeMessages"))->document()->availableUndoSteps(), 0);
    }

    // Connect is enabled again once the server cuts the connection, and each refused attempt is reported once.
    void eachFailedAttemptIsReportedOnce()
    {
        send({Message::Black});
        QTRY_VERIFY(!enabled("boutonConnexion"));
        server.reset(); // closes the connection too
        QTRY_VERIFY(enabled("boutonConnexion"));
        const QString refused = QStringLiteral("le serveur a refusé la connexion");
        press();
        QTRY_COMPARE(log().count(refused), 1);
        press();
        QTRY_COMPARE(log().count(refused), 2);
    }
};

QTEST_MAIN(DialogNetworkTest)
#include "tst_dialognetwork.moc"
