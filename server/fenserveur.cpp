// SPDX-License-Identifier: GPL-3.0-or-later
#include "server/fenserveur.h"

#include "server/elidedlabel.h"
#include "protocol/frame.h"
#include "server/listener.h"
#include "server/relay.h"

#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTcpSocket>
#include <QVBoxLayout>

FenServeur::FenServeur(quint16 port, const QHostAddress& address, const Relay::Limits& limits)
{
    statusLabel = new QLabel;
    statusLabel->setTextFormat(Qt::RichText);
    // Whatever a peer sends is shown as plain text on one line: never as
    // markup, and never at a size that would grow the window.
    messageLabel = new ElidedLabel;
    coordination = new Relay(limits, this);
    quitButton = new QPushButton(tr("Quitter"));
    connect(quitButton, &QPushButton::clicked, qApp, &QApplication::quit);

    auto* layout = new QVBoxLayout;
    layout->addWidget(statusLabel);
    layout->addWidget(messageLabel);
    layout->addWidget(quitButton);
    setLayout(layout);

    setWindowTitle(tr("Ardesia - Serveur"));

    connect(coordination, &Relay::messageReceived, messageLabel, &ElidedLabel::setFullText);
    connect(coordination, &Relay::closeRequested, this, [this](QIODevice* connection) {
        // A peer that does not read what it is sent, floods, idles or whose
        // game is over: its connection goes. Closed once the rules are done.
        QPointer<QTcpSocket> socket = qobject_cast<QTcpSocket*>(connection);
        QMetaObject::invokeMethod(this, [socket] { if (socket) socket->abort(); }, Qt::QueuedConnection);
    });

    tcpServer = new Listener(this);
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
    serveWaiting();
}

void FenServeur::serveWaiting()
{
    // Four per game at most; further connections wait in the listener and are
    // taken, oldest first, as soon as a place frees up.
    while (coordination->hasRoom()) {
        QTcpSocket* socket = tcpServer->takeWaiting();
        if (!socket)
            return;
        serve(socket);
    }
}

void FenServeur::serve(QTcpSocket* socket)
{
    // Moves are small and a player waits for each: no batching delay.
    socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    coordination->addConnection(socket, socket->peerAddress(), socket->peerPort());

    const int count = coordination->connectionCount();
    if (count == 1)
        statusLabel->setText(startedPrefix() + tr("</strong>.<br />Nb joueurs : 1"));
    else if (count == 2)
        statusLabel->setText(startedPrefix() + tr("</strong>.<br />Nb joueurs : 2"));

    // The socket goes with the call: sender() searches every connection made
    // to this window, thousands with many games.
    connect(socket, &QTcpSocket::readyRead, this, [this, socket] { donneesRecues(socket); });
    // The loss waits for the event loop: a write that fails (a flush to a peer
    // that reset) emits disconnected at once, in the middle of the rules that
    // are still using this connection and its game.
    connect(
        socket, &QTcpSocket::disconnected, this, [this, socket] { deconnexionClient(socket); },
        Qt::QueuedConnection);

    // A connection that waited may hold data already; its notification went
    // to nobody and may not come again.
    if (socket->bytesAvailable() > 0)
        coordination->receive(socket);
    // A buffer that filled up while it waited stopped the socket reading, and
    // Qt resumes only when the limit is set anew: without this the connection
    // would never be read again, nor seen to close.
    socket->setReadBufferSize(0);
    socket->setReadBufferSize(Frame::ReadAhead);
}

void FenServeur::donneesRecues(QTcpSocket* socket)
{
    coordination->receive(socket);
}

void FenServeur::deconnexionClient(QTcpSocket* socket)
{
    coordination->connectionLost(socket);
    socket->deleteLater();
    statusLabel->setText(startedPrefix()
                         + tr("</strong>.<br />Nb joueurs : %1").arg(coordination->clients().size()));
    serveWaiting();
}
