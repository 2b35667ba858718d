// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "frame.h"
#include "player.h"

#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QString>

#include <vector>

class QIODevice;

// The server's game coordination, apart from any window or listener: the
// accepted connections in order of acceptance, the count of connections, the
// two player records, the colour registration and the move relay.
// A connection is any QIODevice with the peer address and port it came from,
// so the rules can be driven without sockets.
class Relay : public QObject
{
    Q_OBJECT

public:
    // At most this many connections are served at a time.
    static constexpr int MaxConnections = 4;
    // Bytes written to a connection and not yet sent: past this the peer is
    // not reading, and its connection is given up rather than the server's
    // memory.
    static constexpr qint64 MaxBacklog = 1 << 20;

    explicit Relay(QObject* parent = nullptr);

    // Appends an accepted connection and counts it.
    void addConnection(QIODevice* connection, const QHostAddress& peerAddress, quint16 peerPort);
    // One disconnection notification: the count drops whatever the sender
    // was; a known connection also leaves the list (its first occurrence).
    void connectionLost(QIODevice* connection);

    // Reads every complete frame the connection has buffered and handles
    // each in order of arrival.
    void receive(QIODevice* connection);
    // The rules for one received text.
    void handleMessage(QIODevice* sender, const QString& text);

    // One frame to every connection whose peer is the player's.
    void sendToPlayer(const QString& message, const Player& player);
    // One frame to every connection, in list order.
    void sendToAll(const QString& message);
    // prefix + "B" and prefix + "W" to the first two connections, by the
    // colour player 1 holds.
    void sendGameStart(const QString& prefix);

    int connectionCount() const { return count; }
    QList<QIODevice*> clients() const;

signals:
    // Every text read, for display.
    void messageReceived(const QString& text);
    // The connection's backlog passed MaxBacklog; nothing more is written to
    // it. Emitted in the middle of sending: the owner closes the connection
    // once control is back in the event loop, never from the slot itself.
    void backlogExceeded(QIODevice* connection);

private:
    struct Connection
    {
        QIODevice* device = nullptr;
        QString address; // text form, as the player records are matched
        quint16 port = 0;
        Frame::Reader reader; // pending state belongs to its own stream
        bool stalled = false; // past its backlog: written to no more
    };

    Connection* find(QIODevice* device);
    void requestColour(const QString& address, quint16 port, int colour);
    bool write(Connection& connection, const QByteArray& frame);

    std::vector<Connection> connections;
    int count = 0;
    // Live for the whole run and never reset, not even when connections close.
    Player first;
    Player second;
};
