// SPDX-License-Identifier: GPL-3.0-or-later
#include "server/listener.h"

#include "protocol/frame.h"
#include "server/relay.h"

#include <QTcpSocket>

const qint64 Listener::MaxWaitingBytes = Relay::MaxFrame;

void Listener::incomingConnection(qintptr descriptor)
{
    auto* socket = new QTcpSocket(this);
    socket->setReadBufferSize(Frame::ReadAhead);
    if (!socket->setSocketDescriptor(descriptor) || waiting.size() >= MaxWaiting) {
        socket->abort();
        socket->deleteLater();
        return;
    }
    connect(socket, &QTcpSocket::disconnected, this, [this, socket] { drop(socket); });
    connect(socket, &QTcpSocket::readyRead, this, [this, socket] {
        if (socket->bytesAvailable() > MaxWaitingBytes)
            drop(socket);
    });
    waiting.append(socket);
}

void Listener::drop(QTcpSocket* socket)
{
    waiting.removeOne(socket);
    socket->disconnect(this);
    socket->abort();
    socket->deleteLater();
}

QTcpSocket* Listener::takeWaiting()
{
    while (!waiting.isEmpty()) {
        QTcpSocket* socket = waiting.takeFirst();
        socket->disconnect(this);
        if (socket->state() == QAbstractSocket::ConnectedState)
            return socket;
        socket->deleteLater();
    }
    return nullptr;
}
