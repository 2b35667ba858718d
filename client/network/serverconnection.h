// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "protocol/frame.h"

#include <QAbstractSocket>
#include <QHostAddress>
#include <QObject>
#include <QStringList>
#include <QTcpSocket>

// A client's connection to the server: one TCP socket and the frame reader
// of its stream. The socket reads no further ahead than a frame can need, and
// each new connection starts with a fresh reader, so a half-read frame of the
// last one is never taken for the start of the next.
class ServerConnection : public QObject
{
    Q_OBJECT

public:
    explicit ServerConnection(QObject* parent = nullptr);

    // Sends the socket's notifications to the owner's four slots.
    template <typename Owner>
    void notify(Owner* owner, void (Owner::*received)(), void (Owner::*up)(), void (Owner::*down)(),
                void (Owner::*failed)(QAbstractSocket::SocketError));

    // Drops any connection it had and opens one to host.
    void open(const QString& host, quint16 port);
    void open(const QHostAddress& host, quint16 port);
    // Every complete frame received so far, in order.
    QStringList takeTexts();
    // One frame for text, when the socket takes writes.
    void send(const QString& text);
    // Leaves for good: nothing more reaches the owner; what is still queued
    // goes out within lingerMs, then the connection is cut and this object
    // deletes itself.
    void leave(int lingerMs);

    QTcpSocket* socket() const { return tcp; }

private:
    // Aborts the connection it had, and forgets its stream's pending frame.
    void restart();

    QTcpSocket* tcp;
    Frame::Reader reader;
    QObject* owner = nullptr;
};

template <typename Owner>
void ServerConnection::notify(Owner* owner, void (Owner::*received)(), void (Owner::*up)(), void (Owner::*down)(),
                              void (Owner::*failed)(QAbstractSocket::SocketError))
{
    this->owner = owner;
    connect(tcp, &QAbstractSocket::readyRead, owner, received);
    connect(tcp, &QAbstractSocket::connected, owner, up);
    connect(tcp, &QAbstractSocket::disconnected, owner, down);
    connect(tcp, &QAbstractSocket::errorOccurred, owner, failed);
}
