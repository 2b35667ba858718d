// SPDX-License-Identifier: GPL-3.0-or-later
#include "listener.h"

#include "frame.h"

#include <QTcpSocket>

void Listener::incomingConnection(qintptr descriptor)
{
    auto* socket = new QTcpSocket(this);
    socket->setReadBufferSize(Frame::ReadAhead);
    if (!socket->setSocketDescriptor(descriptor) || waiting.size() >= MaxWaiting) {
        socket->abort();
        socket->deleteLater();
        return;
    }
    connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
        waiting.removeOne(socket);
        socket->deleteLater();
    });
    waiting.append(socket);
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
