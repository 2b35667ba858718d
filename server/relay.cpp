// SPDX-License-Identifier: GPL-3.0-or-later
#include "relay.h"

#include "messages.h"

#include <QDebug>
#include <QIODevice>
#include <QStringList>

#include <algorithm>

Relay::Relay(QObject* parent)
    : QObject(parent)
{
}

void Relay::addConnection(QIODevice* connection, const QHostAddress& peerAddress, quint16 peerPort)
{
    Connection c;
    c.device = connection;
    c.address = peerAddress.toString();
    c.port = peerPort;
    connections.push_back(std::move(c));
    ++count;
}

void Relay::connectionLost(QIODevice* connection)
{
    --count;
    if (!connection)
        return;
    const auto it = std::find_if(connections.begin(), connections.end(),
                                 [connection](const Connection& c) { return c.device == connection; });
    if (it != connections.end())
        connections.erase(it);
}

QList<QIODevice*> Relay::clients() const
{
    QList<QIODevice*> list;
    list.reserve(qsizetype(connections.size()));
    for (const Connection& c : connections)
        list.append(c.device);
    return list;
}

Relay::Connection* Relay::find(QIODevice* device)
{
    for (Connection& c : connections)
        if (c.device == device)
            return &c;
    return nullptr;
}

void Relay::receive(QIODevice* connection)
{
    Connection* c = find(connection);
    if (!c)
        return;
    // Every complete frame now, not one per notification: a second frame in
    // the same delivery would otherwise wait for bytes that may never come.
    const QStringList texts = c->reader.readAll(connection);
    for (const QString& text : texts)
        handleMessage(connection, text);
}

void Relay::handleMessage(QIODevice* sender, const QString& text)
{
    const Connection* from = find(sender);
    if (!from)
        return;
    // Copies: the rules go by the peer the connection was accepted from.
    const QString address = from->address;
    const quint16 port = from->port;

    emit messageReceived(text);

    // Each keyword is its own rule: a text holding both colours runs both.
    if (text.contains(Message::Black))
        requestColour(address, port, Black);
    if (text.contains(Message::White))
        requestColour(address, port, White);

    if (text.contains(Message::MoveKeyword)) {
        const QStringList fields = Message::moveFields(text);
        // Only the fields that are there; the relay itself uses none.
        for (qsizetype i = 1; i <= 3 && i < fields.size(); ++i)
            qDebug() << fields.at(i);
        sendToAll(text);
    }

    qDebug() << text;
}

// Registration runs on the count at the moment the request is read and on
// player 1's colour alone; there is no game state beyond that.
void Relay::requestColour(const QString& address, quint16 port, int colour)
{
    if (count == 1) {
        first.setCouleur(colour);
        first.setAdresse(QHostAddress(address));
        first.setPort(port);
        sendToPlayer(colour == Black ? Message::Black : Message::White, first);
    } else if (count == 2) {
        second.setAdresse(QHostAddress(address));
        second.setPort(port);
        if (first.couleur == 1 - colour) {
            sendGameStart(Message::GameBegin);
            qDebug() << "The game begins";
        } else if (first.couleur == colour) {
            sendToPlayer(Message::Err, second);
            qDebug() << "error";
        }
    }
}

bool Relay::write(Connection& connection, const QByteArray& frame)
{
    if (connection.stalled)
        return false;
    connection.device->write(frame);
    if (connection.device->bytesToWrite() > MaxBacklog) {
        connection.stalled = true;
        emit backlogExceeded(connection.device);
    }
    return true;
}

void Relay::sendToPlayer(const QString& message, const Player& player)
{
    const QByteArray frame = Frame::encode(message);
    const QString address = player.adresse.toString();
    for (Connection& c : connections) {
        if (c.address == address && c.port == player.port && write(c, frame))
            qDebug() << c.address << c.port << message;
    }
}

void Relay::sendToAll(const QString& message)
{
    const QByteArray frame = Frame::encode(message);
    for (Connection& c : connections)
        write(c, frame);
    qDebug() << "envoyer a tous" << message;
}

void Relay::sendGameStart(const QString& prefix)
{
    const QByteArray black = Frame::encode(prefix + u'B');
    const QByteArray white = Frame::encode(prefix + u'W');
    // By list position: the first two connections are the players' dialog
    // connections, player 1's first. Fewer than two is possible only if the
    // count and the list disagree; send what has somewhere to go.
    Connection* firstConnection = connections.size() > 0 ? &connections[0] : nullptr;
    Connection* secondConnection = connections.size() > 1 ? &connections[1] : nullptr;
    Connection* toBlack = nullptr;
    Connection* toWhite = nullptr;
    if (first.couleur == Black) {
        toBlack = firstConnection;
        toWhite = secondConnection;
    } else if (first.couleur == White) {
        toBlack = secondConnection;
        toWhite = firstConnection;
    } else {
        return;
    }
    if (toBlack)
        write(*toBlack, black);
    if (toWhite)
        write(*toWhite, white);
}
