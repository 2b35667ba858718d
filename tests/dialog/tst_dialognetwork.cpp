// The dialog against a plain listener writing what each test needs; the real server is in the network suite.
#include "dialognetwork.h"
#include "frame.h"
#include "messages.h"
#include "modal.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <memory>

class DialogNetworkTest : public QObject
{
    Q_OBJECT
    std::unique_ptr<QTcpServer> server;
    std::unique_ptr<DialogNetwork> dialog;

    QObject* part(const char* name) { return dialog->findChild<QObject*>(name); }
    QString log() { return part("listeMessages")->property("plainText").toString(); }
    void press() { QMetaObject::invokeMethod(part("boutonConnexion"), "click"); }
    QTcpSocket* pressAndAccept()
    {
        part("serveurPort")->setProperty("value", server->serverPort());
        press();
        return QTest::qWaitFor([&] { return server->hasPendingConnections(); }) ? server->nextPendingConnection() : nullptr;
    }

private slots:
    void init()
    {
        server = std::make_unique<QTcpServer>();
        QVERIFY(server->listen(QHostAddress::LocalHost, 0));
        dialog = std::make_unique<DialogNetwork>();
    }
    void cleanup() { dialog.reset(); server.reset(); }

    void form_data() // each row names the object it checks
    {
        QTest::addColumn<QVariantMap>("properties");
        QTest::newRow("DialogNetwork") << QVariantMap{{"windowTitle", "Dialog"}, {"size", QSize(388, 378)}};
        QTest::newRow("buttonBox") << QVariantMap{{"geometry", QRect(30, 330, 341, 32)}};
        QTest::newRow("boutonConnexion") << QVariantMap{{"geometry", QRect(280, 30, 75, 23)}, {"text", "Connect"}};
        QTest::newRow("serveurIP") << QVariantMap{{"geometry", QRect(20, 30, 241, 20)}, {"text", "127.0.0.1"}};
        QTest::newRow("listeMessages") << QVariantMap{{"geometry", QRect(20, 190, 331, 111)}, {"plainText", ""}};
        QTest::newRow("serveurPort") << QVariantMap{{"geometry", QRect(20, 60, 111, 22)}, {"value", 50885},
                                                    {"minimum", 0}, {"maximum", 65535}};
        QTest::newRow("radioButton") << QVariantMap{{"geometry", QRect(30, 100, 82, 17)}, {"text", "Noir"}, {"checked", true}};
        QTest::newRow("radioButton_2") << QVariantMap{{"geometry", QRect(30, 150, 82, 17)}, {"text", "Blanc"}, {"checked", false}};
    }
    void form()
    {
        QFETCH(QVariantMap, properties);
        QObject* object = dialog->objectName() == QTest::currentDataTag() ? dialog.get() : part(QTest::currentDataTag());
        QVERIFY(object);
        for (auto p = properties.cbegin(); p != properties.cend(); ++p)
            QCOMPARE(object->property(p.key().toLatin1()), p.value());
    }

    // Pressed twice: the first connection dropped, its half frame kept out of the second. Texts from
    // the network show as sent, every frame of a delivery handled; the program's own stay rich.
    void connectTwiceThenReceivedTexts()
    {
        QTcpSocket* first = pressAndAccept();
        QVERIFY(first);
        first->write(Frame::encode(QStringLiteral("avant")) + Frame::encode(Message::Err).left(3));
        QTRY_VERIFY(log().contains(u"avant"));
        QTcpSocket* second = pressAndAccept();
        QVERIFY(second);
        QTRY_COMPARE(first->state(), QAbstractSocket::UnconnectedState);
        QTRY_COMPARE(second->peek(64), Frame::encode(Message::Black)); // the request, whole
        const QStringList texts{QStringLiteral("<b>gras</b> & <i>x"), QStringLiteral("a  &amp;  b"), Message::GameBeginWhite};
        for (const QString& text : texts)
            second->write(Frame::encode(text)); // buffered: one delivery
        QTRY_VERIFY2(log().endsWith(texts.join(u'\n')), qPrintable(log()));
        QVERIFY(log().contains(u"Connexion réussie !") && !log().contains(u"<em>") && !log().contains(u"Erreur"));
    }

    void registeredThenDroppedThenRefused()
    {
        QTcpSocket* peer = pressAndAccept();
        QVERIFY(peer);
        peer->write(Frame::encode(Message::Black));
        QTRY_VERIFY(!part("boutonConnexion")->property("enabled").toBool());
        peer->disconnectFromHost();
        QTRY_VERIFY(log().endsWith(QStringLiteral("ERREUR : le serveur a coupé la connexion.\nDéconnecté du serveur")));
        server.reset();
        press(); // a click does nothing unless Connect is enabled again
        QTRY_VERIFY(log().endsWith(QStringLiteral("ERREUR : le serveur a refusé la connexion. Vérifiez si le programme "
                                                  "\"serveur\" a bien été lancé. Vérifiez aussi l'IP et le port.")));
        QVERIFY(part("boutonConnexion")->property("enabled").toBool());
    }

    void noColourChosen()
    {
        part("radioButton")->setProperty("autoExclusive", false);
        part("radioButton")->setProperty("checked", false);
        part("serveurPort")->setProperty("value", server->serverPort()); // never the default port
        SeenBox seen;
        pressOnNextBox(seen, QMessageBox::Ok);
        press();
        QCOMPARE(seen.text, QStringLiteral("Il faut choisir BLACK ou WHITE."));
        QCOMPARE(dialog->findChild<QTcpSocket*>()->state(), QAbstractSocket::UnconnectedState);
    }
};

QTEST_MAIN(DialogNetworkTest)
#include "tst_dialognetwork.moc"
