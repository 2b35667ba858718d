#include "fenserveur.h"

#include "relay.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTcpServer>
#include <QTcpSocket>
#include <QVBoxLayout>

FenServeur::FenServeur(quint16 port, const QHostAddress& address)
{
    statusLabel = new QLabel;
    statusLabel->setTextFormat(Qt::RichText);
    messageLabel = new QLabel;
    // Whatever a peer sends is shown as it is, never interpreted as markup.
    messageLabel->setTextFormat(Qt::PlainText);
    coordination = new Relay(this);
    quitButton = new QPushButton(tr("Quitter"));
    connect(quitButton, &QPushButton::clicked, qApp, &QApplication::quit);

    auto* layout = new QVBoxLayout;
    layout->addWidget(statusLabel);
    layout->addWidget(messageLabel);
    layout->addWidget(quitButton);
    setLayout(layout);

    setWindowTitle(tr("Ardesia - Serveur"));

    connect(coordination, &Relay::messageReceived, messageLabel, &QLabel::setText);

    tcpServer = new QTcpServer(this);
    if (!tcpServer->listen(address, port)) {
        statusLabel->setText(tr("Le serveur n'a pas pu être démarré. Raison :<br />")
                             + tcpServer->errorString());
    } else {
        statusLabel->setText(startedPrefix()
                             + tr("</strong>.<br />Des clients peuvent maintenant se connecter."));
        connect(tcpServer, &QTcpServer::newConnection, this, &FenServeur::nouvelleConnexion);
    }
}

FenServeur::~FenServeur()
{
    // The sockets are children of the listener and close as they go: their
    // last notifications must not reach a window that is half destroyed.
    for (QTcpSocket* socket : tcpServer->findChildren<QTcpSocket*>())
        socket->disconnect(this);
}

QString FenServeur::startedPrefix() const
{
    return tr("Le serveur a été démarré sur le port <strong>")
           + QString::number(tcpServer->serverPort());
}

void FenServeur::nouvelleConnexion()
{
    // At most four served; a further connection waits in the listener until
    // a notification comes while fewer are counted.
    if (coordination->connectionCount() >= Relay::MaxConnections)
        return;

    QTcpSocket* socket = tcpServer->nextPendingConnection();
    // A connection that closed while it waited will never say so again:
    // counting it would hold a place forever. Take the next one instead.
    while (socket && socket->state() != QAbstractSocket::ConnectedState) {
        socket->deleteLater();
        socket = tcpServer->nextPendingConnection();
    }
    if (!socket)
        return;

    coordination->addConnection(socket, socket->peerAddress(), socket->peerPort());

    const int count = coordination->connectionCount();
    if (count == 1)
        statusLabel->setText(startedPrefix() + tr("</strong>.<br />Nb joueurs : 1"));
    else if (count == 2)
        statusLabel->setText(startedPrefix() + tr("</strong>.<br />Nb joueurs : 2"));

    connect(socket, &QTcpSocket::readyRead, this, &FenServeur::donneesRecues);
    connect(socket, &QTcpSocket::disconnected, this, &FenServeur::deconnexionClient);

    // A connection that waited in the listener may hold data already; its
    // notification went to nobody and may not come again.
    if (socket->bytesAvailable() > 0)
        coordination->receive(socket);
}

void FenServeur::donneesRecues()
{
    auto* socket = qobject_cast<QTcpSocket*>(sender());
    if (!socket)
        return;
    coordination->receive(socket);
}

void FenServeur::deconnexionClient()
{
    auto* socket = qobject_cast<QTcpSocket*>(sender());
    coordination->connectionLost(socket);
    if (!socket)
        return;
    socket->deleteLater();
    statusLabel->setText(startedPrefix()
                         + tr("</strong>.<br />Nb joueurs : %1").arg(coordination->clients().size()));
}
