#include "dialognetwork.h"
#include "frame.h"
#include "messages.h"

#include <QApplication>
#include <QBuffer>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTextEdit>
#include <QTimer>

#include <algorithm>
#include <memory>
#include <vector>

namespace {

// A server on a free loopback port that records what each peer sends.
class FrameServer
{
public:
    struct Peer
    {
        QTcpSocket* socket = nullptr;
        QByteArray received;
        bool closed = false;

        QStringList texts() const
        {
            QBuffer buffer;
            buffer.setData(received);
            buffer.open(QIODevice::ReadOnly);
            return Frame::Reader().readAll(&buffer);
        }
        void send(const QString& text) { socket->write(Frame::encode(text)); }
    };

    FrameServer()
    {
        QObject::connect(&server, &QTcpServer::newConnection, [this] {
            while (QTcpSocket* socket = server.nextPendingConnection()) {
                Peer* peer = peers.emplace_back(std::make_unique<Peer>()).get();
                peer->socket = socket;
                QObject::connect(socket, &QTcpSocket::readyRead,
                                 [peer] { peer->received += peer->socket->readAll(); });
                QObject::connect(socket, &QTcpSocket::disconnected, [peer] { peer->closed = true; });
            }
        });
        server.listen(QHostAddress::LocalHost, 0);
    }

    int openPeers() const
    {
        return int(std::count_if(peers.begin(), peers.end(), [](const auto& p) { return !p->closed; }));
    }

    // Peers outlive the server, whose sockets still signal while it is destroyed.
    std::vector<std::unique_ptr<Peer>> peers;
    QTcpServer server;
};

const QString attemptText = QStringLiteral("Tentative de connexion en cours...");
const QString successText = QStringLiteral("Connexion réussie !");

} // namespace

class DialogNetworkTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<DialogNetwork> dialog;

    template<typename T> T* child(const char* name) { return dialog->findChild<T*>(name); }
    QString log() { return child<QTextEdit>("listeMessages")->toPlainText(); }
    QStringList logLines() { return log().split(u'\n'); }

    // Connects to the server with the colour chosen and waits until the
    // request is there, so replies reach an established connection.
    FrameServer::Peer* connectAs(FrameServer& server, const char* radio = "radioButton")
    {
        if (!server.server.isListening())
            return nullptr;
        child<QRadioButton>(radio)->setChecked(true);
        child<QSpinBox>("serveurPort")->setValue(server.server.serverPort());
        QTest::mouseClick(child<QPushButton>("boutonConnexion"), Qt::LeftButton);
        if (!QTest::qWaitFor([&] { return !server.peers.empty() && !server.peers.back()->received.isEmpty(); }, 5000))
            return nullptr;
        return server.peers.back().get();
    }

private slots:
    void init()
    {
        dialog = std::make_unique<DialogNetwork>();
        dialog->show();
    }
    void cleanup() { dialog.reset(); }

    void form_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("className");
        QTest::addColumn<QRect>("geometry");
        QTest::addColumn<QString>("text");
        QTest::newRow("buttonBox") << "buttonBox" << "QDialogButtonBox" << QRect(30, 330, 341, 32) << "";
        QTest::newRow("connect") << "boutonConnexion" << "QPushButton" << QRect(280, 30, 75, 23) << "Connect";
        QTest::newRow("host") << "serveurIP" << "QLineEdit" << QRect(20, 30, 241, 20) << "127.0.0.1";
        QTest::newRow("log") << "listeMessages" << "QTextEdit" << QRect(20, 190, 331, 111) << "";
        QTest::newRow("port") << "serveurPort" << "QSpinBox" << QRect(20, 60, 111, 22) << "50885";
        QTest::newRow("black") << "radioButton" << "QRadioButton" << QRect(30, 100, 82, 17) << "Noir";
        QTest::newRow("white") << "radioButton_2" << "QRadioButton" << QRect(30, 150, 82, 17) << "Blanc";
    }
    void form()
    {
        QFETCH(QString, name);
        QFETCH(QString, className);
        QFETCH(QRect, geometry);
        QFETCH(QString, text);

        QCOMPARE(dialog->objectName(), QStringLiteral("DialogNetwork"));
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Dialog"));
        QCOMPARE(dialog->size(), QSize(388, 378));

        auto* widget = dialog->findChild<QWidget*>(name);
        QVERIFY(widget);
        QCOMPARE(QString::fromLatin1(widget->metaObject()->className()), className);
        QCOMPARE(widget->geometry(), geometry);
        const QVariant shown = widget->property("text").isValid() ? widget->property("text")
                                                                  : widget->property("plainText");
        if (shown.isValid())
            QCOMPARE(shown.toString(), text);
    }

    void formSettings()
    {
        auto* port = child<QSpinBox>("serveurPort");
        QCOMPARE(port->minimum(), 0);
        QCOMPARE(port->maximum(), 65535);
        QVERIFY(child<QRadioButton>("radioButton")->isChecked());
        QVERIFY(!child<QRadioButton>("radioButton_2")->isChecked());

        auto* box = child<QDialogButtonBox>("buttonBox");
        QCOMPARE(box->orientation(), Qt::Horizontal);
        QCOMPARE(box->standardButtons(), QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
        box->button(QDialogButtonBox::Ok)->click();
        QVERIFY(!dialog->isVisible());
        QCOMPARE(dialog->result(), int(QDialog::Accepted));
        dialog->show();
        box->button(QDialogButtonBox::Cancel)->click();
        QVERIFY(!dialog->isVisible());
        QCOMPARE(dialog->result(), int(QDialog::Rejected));
    }

    void connectSendsColour_data()
    {
        QTest::addColumn<QString>("radio");
        QTest::addColumn<QString>("request");
        QTest::newRow("Noir") << "radioButton" << Message::Black;
        QTest::newRow("Blanc") << "radioButton_2" << Message::White;
    }
    void connectSendsColour()
    {
        QFETCH(QString, radio);
        QFETCH(QString, request);
        FrameServer server;
        FrameServer::Peer* peer = connectAs(server, radio.toLatin1().constData());
        QVERIFY(peer);
        QCOMPARE(peer->received, Frame::encode(request));
        QTRY_VERIFY(log().contains(successText));
        QVERIFY(log().indexOf(attemptText) < log().indexOf(successText));
        QVERIFY2(!log().contains(u"<em>"), "the program's own texts render as rich text");
        QCOMPARE(dialog->findChild<QTcpSocket*>()->peerPort(), server.server.serverPort());
    }

    // The second press drops the first connection and starts clean, even
    // with half a frame left over from the first.
    void connectTwice()
    {
        FrameServer server;
        FrameServer::Peer* first = connectAs(server);
        QVERIFY(first);
        auto* socket = dialog->findChild<QTcpSocket*>();
        first->socket->write(Frame::encode(Message::Err).left(3));
        QTRY_VERIFY(socket->bytesAvailable() > 0);

        QTest::mouseClick(child<QPushButton>("boutonConnexion"), Qt::LeftButton);
        QTRY_COMPARE(server.peers.size(), size_t(2));
        FrameServer::Peer* second = server.peers.back().get();
        QTRY_VERIFY(first->closed);
        QTRY_COMPARE(second->texts(), QStringList{Message::Black});
        QCOMPARE(first->texts(), QStringList{Message::Black});
        QCOMPARE(server.openPeers(), 1);

        second->send(Message::Black);
        QTRY_VERIFY(!child<QPushButton>("boutonConnexion")->isEnabled());
        QVERIFY(!log().contains(u"Erreur"));
    }

    void colourReplies_data()
    {
        QTest::addColumn<QString>("radio");
        QTest::addColumn<QString>("reply");
        QTest::addColumn<bool>("connectEnabled");
        QTest::addColumn<bool>("blackEnabled");
        QTest::addColumn<bool>("whiteEnabled");
        QTest::addColumn<bool>("blackHidden");
        QTest::addColumn<bool>("whiteHidden");
        QTest::newRow("BLACK") << "radioButton" << Message::Black << false << false << true << false << true;
        QTest::newRow("WHITE") << "radioButton_2" << Message::White << false << true << false << true << false;
        QTest::newRow("ERR") << "radioButton" << Message::Err << true << true << true << false << false;
    }
    void colourReplies()
    {
        QFETCH(QString, radio);
        QFETCH(QString, reply);
        QFETCH(bool, connectEnabled);
        QFETCH(bool, blackEnabled);
        QFETCH(bool, whiteEnabled);
        QFETCH(bool, blackHidden);
        QFETCH(bool, whiteHidden);

        FrameServer server;
        FrameServer::Peer* peer = connectAs(server, radio.toLatin1().constData());
        QVERIFY(peer);
        QTRY_VERIFY(log().contains(successText));
        auto* connectButton = child<QPushButton>("boutonConnexion");
        peer->send(reply);
        // A marker sent after the reply tells when the reply has been handled.
        peer->send(QStringLiteral("done"));
        QTRY_COMPARE(logLines().last(), QStringLiteral("done"));

        QCOMPARE(connectButton->isEnabled(), connectEnabled);
        QCOMPARE(child<QRadioButton>("radioButton")->isEnabled(), blackEnabled);
        QCOMPARE(child<QRadioButton>("radioButton_2")->isEnabled(), whiteEnabled);
        QCOMPARE(child<QRadioButton>("radioButton")->isHidden(), blackHidden);
        QCOMPARE(child<QRadioButton>("radioButton_2")->isHidden(), whiteHidden);
        QCOMPARE(logLines().contains(QStringLiteral("Erreur: choissez l'autre couleur.")), reply == Message::Err);
        QVERIFY(!logLines().contains(reply));
    }

    void gameBegins_data()
    {
        QTest::addColumn<QString>("ack");
        QTest::addColumn<bool>("white");
        QTest::newRow("ACKGAMEBEGINB") << Message::GameBeginBlack << false;
        QTest::newRow("ACKGAMEBEGINW") << Message::GameBeginWhite << true;
    }
    void gameBegins()
    {
        QFETCH(QString, ack);
        QFETCH(bool, white);
        FrameServer server;
        FrameServer::Peer* peer = connectAs(server);
        QVERIFY(peer);
        QSignalSpy blackSpy(dialog.get(), &DialogNetwork::setBlack);
        QSignalSpy whiteSpy(dialog.get(), &DialogNetwork::setWhite);
        QSignalSpy& granted = white ? whiteSpy : blackSpy;

        peer->send(ack);
        QVERIFY(granted.wait(5000));
        QCOMPARE((white ? blackSpy : whiteSpy).count(), 0);
        QCOMPARE(granted.count(), 1);
        QCOMPARE(granted.at(0).at(0).toString(), server.server.serverAddress().toString());
        QCOMPARE(granted.at(0).at(1).value<quint16>(), server.server.serverPort());
        QVERIFY(!dialog->isVisible());

        // Hidden, the dialog keeps its connection and logs what is relayed.
        const QString move = Message::moveText(2, 3, 1);
        peer->send(move);
        QTRY_COMPARE(logLines().last(), move);
        QCOMPARE(logLines().at(logLines().size() - 2), ack);
        QCOMPARE(dialog->findChild<QTcpSocket*>()->state(), QAbstractSocket::ConnectedState);
    }

    // Received texts are shown as written, and every frame of one delivery
    // is handled.
    void receivedTexts()
    {
        FrameServer server;
        FrameServer::Peer* peer = connectAs(server);
        QVERIFY(peer);
        QTRY_VERIFY(log().contains(successText));
        QSignalSpy whiteSpy(dialog.get(), &DialogNetwork::setWhite);

        const QStringList texts{QStringLiteral("<b>gras</b> &amp; <i>x"), QStringLiteral("a  &  b"),
                                Message::moveText(7, 0, 0), Message::GameBeginWhite};
        QByteArray delivery;
        for (const QString& text : texts)
            delivery += Frame::encode(text);
        peer->socket->write(delivery);

        QVERIFY(whiteSpy.wait(5000));
        QCOMPARE(logLines().mid(logLines().size() - texts.size()), texts);
    }

    void socketErrors()
    {
        quint16 closedPort = 0;
        {
            QTcpServer probe;
            QVERIFY(probe.listen(QHostAddress::LocalHost, 0));
            closedPort = probe.serverPort();
        }
        auto* connectButton = child<QPushButton>("boutonConnexion");
        child<QSpinBox>("serveurPort")->setValue(closedPort);
        QTest::mouseClick(connectButton, Qt::LeftButton);
        QTRY_VERIFY(log().contains(QStringLiteral(
            "ERREUR : le serveur a refusé la connexion. Vérifiez si le programme \"serveur\" a "
            "bien été lancé. Vérifiez aussi l'IP et le port.")));
        QVERIFY(connectButton->isEnabled());

        // Registered as black, then the server drops us: Connect comes back.
        FrameServer server;
        FrameServer::Peer* peer = connectAs(server);
        QVERIFY(peer);
        peer->send(Message::Black);
        QTRY_VERIFY(!connectButton->isEnabled());
        peer->socket->disconnectFromHost();
        QTRY_VERIFY(log().contains(QStringLiteral("Déconnecté du serveur")));
        QVERIFY(log().contains(QStringLiteral("ERREUR : le serveur a coupé la connexion.")));
        QVERIFY(connectButton->isEnabled());

        // No name lookup leaves the machine in a test: the slot takes the error directly.
        QVERIFY(QMetaObject::invokeMethod(dialog.get(), "erreurSocket",
                                          Q_ARG(QAbstractSocket::SocketError, QAbstractSocket::HostNotFoundError)));
        QCOMPARE(logLines().last(), QStringLiteral("ERREUR : le serveur n'a pas pu être trouvé. Vérifiez l'IP et le port."));
        QVERIFY(QMetaObject::invokeMethod(dialog.get(), "erreurSocket",
                                          Q_ARG(QAbstractSocket::SocketError, QAbstractSocket::SocketTimeoutError)));
        QCOMPARE(logLines().last(), QStringLiteral("ERREUR : ") + dialog->findChild<QTcpSocket*>()->errorString());
    }

    void noColourChosen()
    {
        FrameServer server;
        for (const char* name : {"radioButton", "radioButton_2"}) {
            child<QRadioButton>(name)->setAutoExclusive(false);
            child<QRadioButton>(name)->setChecked(false);
        }
        child<QSpinBox>("serveurPort")->setValue(server.server.serverPort());

        QString shown;
        QTimer dismiss;
        QObject::connect(&dismiss, &QTimer::timeout, [&] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                shown = box->text();
                box->button(QMessageBox::Ok)->click();
            }
        });
        dismiss.start(10);
        QTest::mouseClick(child<QPushButton>("boutonConnexion"), Qt::LeftButton);
        dismiss.stop();

        QCOMPARE(shown, QStringLiteral("Il faut choisir BLACK ou WHITE."));
        QVERIFY(log().isEmpty());
        QCOMPARE(dialog->findChild<QTcpSocket*>()->state(), QAbstractSocket::UnconnectedState);
    }
};

QTEST_MAIN(DialogNetworkTest)
#include "tst_dialognetwork.moc"
