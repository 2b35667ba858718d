// SPDX-License-Identifier: GPL-3.0-or-later
#include "network/serverconnection.h"

#include <QTcpSocket>
#include <QTimer>

ServerConnection::ServerConnection(QObject* parent)
    : QObject(parent)
    , tcp(new QTcpSocket(this))
{
    tcp->setReadBufferSize(Frame::ReadAhead);
}

void ServerConnection::restart()
{
    tcp->abort();
    reader = Frame::Reader();
}

void ServerConnection::open(const QString& host, quint16 port)
{
    restart();
    tcp->connectToHost(host, port, QIODevice::ReadWrite);
}

void ServerConnection::open(const QHostAddress& host, quint16 port)
{
    restart();
    tcp->connectToHost(host, port, QIODevice::ReadWrite);
}

QStringList ServerConnection::takeTexts()
{
    return reader.readAll(tcp);
}

void ServerConnection::send(const QString& text)
{
    if (tcp->isWritable())
        tcp->write(Frame::encode(text));
}

void ServerConnection::leave(int lingerMs)
{
    // Whoever owned it hears nothing more; the server sees this player go.
    if (owner)
        tcp->disconnect(owner);
    connect(tcp, &QAbstractSocket::disconnected, this, &QObject::deleteLater);
    // Deleting the socket aborts its connection; the timer dies with it.
    QTimer::singleShot(lingerMs, this, &QObject::deleteLater);
    tcp->disconnectFromHost();
    if (tcp->state() == QAbstractSocket::UnconnectedState)
        deleteLater();
}
