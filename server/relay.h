// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "protocol/frame.h"
#include "server/player.h"

#include <QElapsedTimer>
#include <QHash>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>

#include <memory>
#include <vector>

class GameTable;
class QIODevice;

// The server's game coordination, apart from any window or listener: the
// accepted connections in order of acceptance and the bounds on what each may
// cost, then the rules. With one game the rules are the classic ones (a count
// of connections, two player records, every move to every connection); with
// more, a GameTable forms games from the colour requests in order of arrival.
// A connection is any QIODevice with the peer address and port it came from,
// so the rules can be driven without sockets.
class Relay : public QObject
{
    Q_OBJECT

public:
    struct Limits
    {
        int games = 256;
        // A connection that neither registered a colour nor belongs to a
        // started game within this time is closed; so is what is left of a
        // game that one player left this long ago.
        int idleMs = 60000;
    };
    // Two players, each with a dialog and a game connection.
    static constexpr int ConnectionsPerGame = 4;
    // Bytes written to a connection and not yet sent: past this the peer is
    // not reading, and its connection is given up rather than the server's
    // memory.
    static constexpr qint64 MaxBacklog = 1 << 20;
    // Longer than any message of the protocol (in UTF-16 units): its sender is
    // cut, and the text goes nowhere.
    static constexpr int MaxText = 128;
    // One frame of the longest text.
    static constexpr int MaxFrame = 6 + 2 * MaxText;
    // What a connection may have relayed, in frame bytes: a burst, then a
    // steady rate far above any game's. A flooder is cut before its copies
    // pile up for the players who read them.
    static constexpr qint64 FloodBurst = 64 * 1024;
    static constexpr qint64 FloodPerSecond = 16 * 1024;

    explicit Relay(QObject* parent = nullptr);
    explicit Relay(const Limits& limits, QObject* parent = nullptr);
    ~Relay() override;

    // Appends an accepted connection and counts it.
    void addConnection(QIODevice* connection, const QHostAddress& peerAddress, quint16 peerPort);
    // One disconnection notification: the count drops whatever the sender
    // was; a known connection also leaves the list (its first occurrence).
    void connectionLost(QIODevice* connection);

    // Reads every complete frame the connection has buffered and handles
    // each in order of arrival, within the bounds above.
    void receive(QIODevice* connection);
    // The rules for one received text.
    void handleMessage(QIODevice* sender, const QString& text);

    // Closes the connections that outstayed the idle limit.
    void closeIdle();

    // One frame to every connection whose peer is the player's.
    void sendToPlayer(const QString& message, const Player& player);
    // One frame to every connection, in list order.
    void sendToAll(const QString& message);
    // prefix + "B" and prefix + "W" to the first two connections, by the
    // colour player 1 holds.
    void sendGameStart(const QString& prefix);

    int connectionCount() const { return count; }
    int maxConnections() const { return ConnectionsPerGame * limits.games; }
    bool hasRoom() const { return count < maxConnections(); }
    int gameCount() const;
    QList<QIODevice*> clients() const;

signals:
    // Every text read, for display.
    void messageReceived(const QString& text);
    // The connection is given up (a backlog past MaxBacklog, a text too long,
    // a flood, the idle limit, the end of its game): nothing more is read from
    // it or written to it. Emitted in the middle of the rules: the owner
    // closes the connection once control is back in the event loop, never
    // from the slot itself.
    void closeRequested(QIODevice* connection);

private:
    struct Connection
    {
        QIODevice* device = nullptr;
        QString address; // text form, as the player records are matched
        quint16 port = 0;
        Frame::Reader reader; // pending state belongs to its own stream
        bool cut = false;     // given up: neither read nor written to
        bool held = false;    // one game: registered, or there when a game began
        QElapsedTimer since;  // accepted
        qint64 budget = FloodBurst;
        QElapsedTimer refilled;
    };

    Connection* find(QIODevice* device) const;
    bool admit(Connection& connection, const QString& text);
    void cut(Connection& connection);
    void requestColour(Connection& sender, Colour colour);
    void relayMove(QIODevice* sender, const QString& text);
    bool write(Connection& connection, const QByteArray& frame);

    Limits limits;
    std::vector<std::unique_ptr<Connection>> connections;
    QHash<const QIODevice*, Connection*> byDevice;
    int count = 0;
    QTimer idleTimer;
    // Many games: their table. One game: the classic records, live for the
    // whole run and never reset, and whether a game began since the server
    // was last empty (what makes a connection part of it).
    std::unique_ptr<GameTable> table;
    Player first;
    Player second;
    bool begun = false;
};
