// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QTcpServer>

class QTcpSocket;

// The server's listener. Accepted connections wait here until the server
// takes them, oldest first. At most MaxWaiting wait: the excess is closed at
// once, and a waiting connection that closes is dropped, so however many come
// and go the listener never fills up and never stops accepting. A waiting
// connection may send one request and no more: past that it is closed, for it
// is no player, and one that filled its buffer would close unseen.
class Listener : public QTcpServer
{
    Q_OBJECT

public:
    static constexpr int MaxWaiting = 16;
    static const qint64 MaxWaitingBytes;

    using QTcpServer::QTcpServer;

    // The oldest waiting connection still open, or null when none waits.
    // It stays the listener's child, so it goes with the listener at the
    // latest; the caller takes charge of its signals, closing and deletion.
    QTcpSocket* takeWaiting();
    int waitingCount() const { return int(waiting.size()); }

protected:
    void incomingConnection(qintptr descriptor) override;

private:
    void drop(QTcpSocket* socket);

    QList<QTcpSocket*> waiting;
};
