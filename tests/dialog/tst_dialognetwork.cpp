// The connection dialog against a plain listener that writes what each test
// needs, as any server, hostile or not, could.
#include "dialognetwork.h"
#include "frame.h"
#include "messages.h"

#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTextBlock>
#include <QTextEdit>
#include <memory>

class DialogNetworkTest : public QObject
{
    Q_OBJECT
    std::unique_ptr<QTcpServer> server;
    std::unique_ptr<DialogNetwork> dialog;

    QObject* part(const char* name) { return dialog->findChild<QObject*>(name); }
    QString log() { return part("listeMessages")->property("plainText").toString(); }
    bool enabled(const char* name) { return part(name)->property("enabled").toBool(); }
    void press() { QMetaObject::invokeMethod(part("boutonConnexion"), "click"); }
    QTcpSocket* pressAndAccept()
    {
        press();
        if (!QTest::qWaitFor([&] { return server->hasPendingConnections(); }))
            return nullptr;
        return server->nextPendingConnection();
    }
    void send(QTcpSocket* peer, const QStringList& texts)
    {
        for (const QString& text : texts)
            peer->write(Frame::encode(text));
    }

private slots:
    void init()
    {
        server = std::make_unique<QTcpServer>();
        QVERIFY(server->listen(QHostAddress::LocalHost, 0));
        dialog = std::make_unique<DialogNetwork>();
        part("serveurPort")->setProperty("value", server->serverPort());
    }
    void cleanup()
    {
        dialog.reset();
        server.reset();
    }

    // Pressed twice: the first connection is dropped with its half frame, and
    // the request goes out whole on the second. Received texts show as sent.
    void connectTwiceThenReceivedTexts()
    {
        QTcpSocket* first = pressAndAccept();
        QVERIFY(first);
        first->write(Frame::encode(QStringLiteral("avant")) + Frame::encode(Message::Err).left(3));
        QTRY_VERIFY(log().endsWith(u"avant"));
        QTcpSocket* second = pressAndAccept();
        QVERIFY(second);
        QTRY_COMPARE(first->state(), QAbstractSocket::UnconnectedState);
        QTRY_COMPARE(second->peek(64), Frame::encode(Message::Black));
        send(second, {QStringLiteral("<b>gras</b> & x"), QStringLiteral("a  b")});
        QTRY_VERIFY2(log().endsWith(QStringLiteral("<b>gras</b> & x\na  b")), qPrintable(log()));
    }

    // Only a whole control text acts, and only until the game has begun; a
    // relayed text that merely contains one is logged.
    void onlyWholeControlTextsActAndOnlyOnce()
    {
        QSignalSpy black(dialog.get(), &DialogNetwork::setBlack);
        QSignalSpy white(dialog.get(), &DialogNetwork::setWhite);
        QTcpSocket* peer = pressAndAccept();
        QVERIFY(peer);
        send(peer, {"PUT|ACKGAMEBEGINB|", "PUT|BLACK|", "ERR!", Message::GameBeginWhite});
        QTRY_COMPARE(white.count(), 1);
        const QStringList repeated{Message::GameBeginBlack, Message::GameBeginWhite, Message::Black,
                                   Message::Err, "end"};
        send(peer, repeated);
        QTRY_VERIFY(log().endsWith(u"\nend"));
        QCOMPARE(white.count() + black.count(), 1);
        QVERIFY(enabled("boutonConnexion") && enabled("radioButton"));
        QVERIFY(!log().contains(u"Erreur"));
        QVERIFY(log().contains(u"PUT|ACKGAMEBEGINB|\nPUT|BLACK|\nERR!"));
    }

    // A flood keeps only the latest entries, each cut short.
    void logKeepsTheLatestEntries()
    {
        QTcpSocket* peer = pressAndAccept();
        QVERIFY(peer);
        QByteArray flood;
        for (int i = 0; i < 3 * DialogNetwork::MaxLogEntries; ++i)
            flood += Frame::encode(Message::moveText(i % 8, i / 8 % 8, i % 2));
        peer->write(flood + Frame::encode(QString(30000, u'x')));
        QTRY_VERIFY(log().endsWith(u'x' + QString(QChar(0x2026))));
        const QTextDocument* document = qobject_cast<QTextEdit*>(part("listeMessages"))->document();
        QVERIFY(document->blockCount() <= 2 * DialogNetwork::MaxLogEntries);
        QVERIFY(!log().contains(u"Tentative")); // the oldest entries are gone
        QCOMPARE(document->lastBlock().text().size(), DialogNetwork::MaxEntryLength + 1);
    }

    // Each failed attempt says so once, and Connect is enabled again.
    void eachFailedAttemptIsReportedOnce()
    {
        QTcpSocket* peer = pressAndAccept();
        QVERIFY(peer);
        send(peer, {Message::Black});
        QTRY_VERIFY(!enabled("boutonConnexion"));
        peer->disconnectFromHost();
        const QString cut = QStringLiteral("ERREUR : le serveur a coupé la connexion.");
        QTRY_VERIFY(log().endsWith(cut + u'\n' + QStringLiteral("Déconnecté du serveur")));
        QVERIFY(enabled("boutonConnexion"));

        server.reset();
        const QString refused = QStringLiteral("le serveur a refusé la connexion");
        press();
        QTRY_COMPARE(log().count(refused), 1);
        press();
        QTRY_COMPARE(log().count(refused), 2);
        QTest::qWait(50);
        QCOMPARE(log().count(refused), 2);
    }
};

QTEST_MAIN(DialogNetworkTest)
#include "tst_dialognetwork.moc"
