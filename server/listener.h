// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QTcpServer>

class QTcpSocket;

// The server's listener. Accepted connections wait here until the server
// takes them, oldest first. Each reads at most Frame::ReadAhead ahead of the
// server, so a connection that sends without being read cannot grow it. At
// most MaxWaiting wait: the excess is closed at once, and a waiting
// connection that closes is dropped, so however many come and go the
// listener never fills up and never stops accepting.
class Listener : public QTcpServer
{
    Q_OBJECT

public:
    static constexpr int MaxWaiting = 16;

    using QTcpServer::QTcpServer;

    // The oldest waiting connection still open, or null when none waits.
    // The caller owns it from then on.
    QTcpSocket* takeWaiting();
    int waitingCount() const { return int(waiting.size()); }

protected:
    void incomingConnection(qintptr descriptor) override;

private:
    QList<QTcpSocket*> waiting;
};
