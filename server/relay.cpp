// SPDX-License-Identifier: GPL-3.0-or-later
#include "server/relay.h"

#include "server/gametable.h"
#include "protocol/messages.h"

#include <QAbstractSocket>
#include <QDebug>
#include <QIODevice>
#include <QLoggingCategory>
#include <QStringList>

#include <algorithm>

namespace {

// qDebug formats its line before the logging rules drop it: the traces of
// every relayed move are built only when someone reads them.
bool tracing()
{
    return QLoggingCategory::defaultCategory()->isDebugEnabled();
}

} // namespace

Relay::Relay(QObject* parent)
    : Relay(Limits{}, parent)
{
}

Relay::Relay(const Limits& limits, QObject* parent)
    : QObject(parent)
    , limits(limits)
{
    if (limits.games > 1) {
        table = std::make_unique<GameTable>(
            limits.games,
            [this](QIODevice* device, const QString& text) {
                Connection* c = find(device);
                if (c && write(*c, Frame::encode(text)))
                    qDebug() << c->address << c->port << text;
            },
            [this](QIODevice* device) {
                if (Connection* c = find(device))
                    cut(*c);
            });
    }
    // Checked a few times per limit: a connection goes at most a tenth late.
    idleTimer.setInterval(std::clamp(limits.idleMs / 10, 10, 1000));
    connect(&idleTimer, &QTimer::timeout, this, &Relay::closeIdle);
    idleTimer.start();
}

Relay::~Relay() = default;

void Relay::addConnection(QIODevice* connection, const QHostAddress& peerAddress, quint16 peerPort)
{
    auto c = std::make_unique<Connection>();
    c->device = connection;
    c->address = peerAddress.toString();
    c->port = peerPort;
    c->held = begun;
    c->since.start();
    c->refilled.start();
    byDevice.insert(connection, c.get());
    connections.push_back(std::move(c));
    ++count;
    if (table)
        table->accepted(connection, peerAddress.toString());
}

void Relay::connectionLost(QIODevice* connection)
{
    --count;
    if (count <= 0)
        begun = false;
    if (!connection || !byDevice.remove(connection))
        return;
    connections.erase(std::find_if(connections.begin(), connections.end(),
                                   [connection](const auto& c) { return c->device == connection; }));
    if (table)
        table->lost(connection);
}

QList<QIODevice*> Relay::clients() const
{
    QList<QIODevice*> list;
    list.reserve(qsizetype(connections.size()));
    for (const auto& c : connections)
        list.append(c->device);
    return list;
}

int Relay::gameCount() const
{
    return table ? table->gameCount() : int(begun);
}

Relay::Connection* Relay::find(QIODevice* device) const
{
    return byDevice.value(device);
}

void Relay::cut(Connection& connection)
{
    if (connection.cut)
        return;
    connection.cut = true;
    emit closeRequested(connection.device);
}

// A text is admitted when it is no longer than any message of the protocol
// and its sender is within its flood budget.
bool Relay::admit(Connection& connection, const QString& text)
{
    if (text.size() > MaxText)
        return false;
    const qint64 ms = connection.refilled.restart();
    connection.budget = std::min(FloodBurst, connection.budget + ms * FloodPerSecond / 1000);
    connection.budget -= 6 + 2 * text.size();
    return connection.budget >= 0;
}

void Relay::receive(QIODevice* connection)
{
    Connection* c = find(connection);
    if (!c || c->cut)
        return;
    // Every complete frame now, not one per notification: a second frame in
    // the same delivery would otherwise wait for bytes that may never come.
    const QStringList texts = c->reader.readAll(connection);
    // Bytes that are not frames cost reading without counting as texts.
    if (c->reader.skipped > 0) {
        cut(*c);
        return;
    }
    for (const QString& text : texts) {
        // The rules may give this connection up too (the end of its game).
        c = find(connection);
        if (!c || c->cut)
            return;
        if (!admit(*c, text)) {
            qDebug() << "cut" << c->address << c->port;
            cut(*c);
            return;
        }
        handleMessage(connection, text);
    }
}

void Relay::handleMessage(QIODevice* sender, const QString& text)
{
    Connection* from = find(sender);
    if (!from)
        return;

    emit messageReceived(text);

    if (table && Message::isTicket(text))
        table->claim(sender, text);

    // Each keyword is its own rule: a text holding both colours runs both.
    if (text.contains(Message::Black))
        requestColour(*from, Colour::Black);
    if (text.contains(Message::White))
        requestColour(*from, Colour::White);

    if (text.contains(Message::MoveKeyword)) {
        if (tracing()) {
            const QStringList fields = Message::moveFields(text);
            // Only the fields that are there; the relay itself uses none.
            for (qsizetype i = 1; i <= 3 && i < fields.size(); ++i)
                qDebug() << fields.at(i);
        }
        relayMove(sender, text);
    }

    if (tracing())
        qDebug() << text;
}

// One game: registration runs on the count at the moment the request is read
// and on player 1's colour alone; there is no game state beyond that.
void Relay::requestColour(Connection& sender, Colour colour)
{
    if (table) {
        table->requestColour(sender.device, colour);
        return;
    }
    // Copies: sending may not touch the sender's record, but the rules go by
    // the peer the connection was accepted from.
    const QHostAddress address(sender.address);
    const quint16 port = sender.port;
    if (count == 1) {
        sender.held = true;
        first.setCouleur(colour);
        first.setAdresse(address);
        first.setPort(port);
        sendToPlayer(Message::colourText(colour), first);
    } else if (count == 2) {
        second.setAdresse(address);
        second.setPort(port);
        if (first.couleur == opponent(colour)) {
            sendGameStart(Message::GameBegin);
            qDebug() << "The game begins";
        } else if (first.couleur == colour) {
            sendToPlayer(Message::Err, second);
            qDebug() << "error";
        }
    }
}

void Relay::relayMove(QIODevice* sender, const QString& text)
{
    const QByteArray frame = Frame::encode(text);
    if (table) {
        for (QIODevice* device : table->audience(sender)) {
            if (Connection* c = find(device))
                write(*c, frame);
        }
    } else {
        for (const auto& c : connections)
            write(*c, frame);
    }
    if (tracing())
        qDebug() << "envoyer a tous" << text;
}

void Relay::closeIdle()
{
    for (const auto& c : connections) {
        const bool held = table ? table->holds(c->device) : c->held;
        if (!held && !c->cut && c->since.hasExpired(limits.idleMs)) {
            qDebug() << "idle" << c->address << c->port;
            cut(*c);
        }
    }
    if (table)
        table->closeAbandoned(limits.idleMs);
}

bool Relay::write(Connection& connection, const QByteArray& frame)
{
    // A socket that closed is written to no more; its loss is on its way.
    if (connection.cut || !connection.device->isWritable())
        return false;
    connection.device->write(frame);
    // A socket sends one block of its queue per turn of the event loop, less
    // than one read can bring in: the copy goes out now, so what stays queued,
    // and counts as backlog, is what the peer does not take.
    if (auto* socket = qobject_cast<QAbstractSocket*>(connection.device))
        socket->flush();
    if (connection.device->bytesToWrite() > MaxBacklog)
        cut(connection);
    return true;
}

void Relay::sendToPlayer(const QString& message, const Player& player)
{
    const QByteArray frame = Frame::encode(message);
    const QString address = player.adresse.toString();
    for (const auto& c : connections) {
        if (c->address == address && c->port == player.port && write(*c, frame))
            qDebug() << c->address << c->port << message;
    }
}

void Relay::sendToAll(const QString& message)
{
    const QByteArray frame = Frame::encode(message);
    for (const auto& c : connections)
        write(*c, frame);
    qDebug() << "envoyer a tous" << message;
}

void Relay::sendGameStart(const QString& prefix)
{
    const QByteArray black = Frame::encode(prefix + u'B');
    const QByteArray white = Frame::encode(prefix + u'W');
    // By list position: the first two connections are the players' dialog
    // connections, player 1's first. Fewer than two is possible only if the
    // count and the list disagree; send what has somewhere to go.
    Connection* firstConnection = connections.size() > 0 ? connections[0].get() : nullptr;
    Connection* secondConnection = connections.size() > 1 ? connections[1].get() : nullptr;
    Connection* toBlack = nullptr;
    Connection* toWhite = nullptr;
    if (first.couleur == Colour::Black) {
        toBlack = firstConnection;
        toWhite = secondConnection;
    } else if (first.couleur == Colour::White) {
        toBlack = secondConnection;
        toWhite = firstConnection;
    } else {
        return;
    }
    // Whoever is here when a game begins is part of it, and so is whoever
    // comes before the server is empty again.
    begun = true;
    for (const auto& c : connections)
        c->held = true;
    if (toBlack)
        write(*toBlack, black);
    if (toWhite)
        write(*toWhite, white);
}
