// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "server/game.h"

#include <QHash>
#include <QList>
#include <QPair>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

class QIODevice;

// Many games on one server: which connection belongs to which game, and the
// rules by which players pair, seat their boards and leave. It reads and
// writes no bytes itself: it is handed the texts that matter and answers
// through the two callbacks.
class GameTable
{
public:
    using Send = std::function<void(QIODevice* connection, const QString& text)>;
    using Close = std::function<void(QIODevice* connection)>;

    GameTable(int maxGames, Send send, Close close);
    ~GameTable();

    // A new connection: attributed at once to the oldest started game that
    // still waits for a board from its address (see accepted() in the source).
    void accepted(QIODevice* connection, const QString& address);
    void lost(QIODevice* connection);

    // A colour request, by the rules of the first two requests of a server.
    void requestColour(QIODevice* connection, Colour colour);
    // A text that is exactly a ticket of a started game's free seat seats the
    // connection as that player's board, and is echoed to it. False when the
    // text was no such ticket.
    bool claim(QIODevice* connection, const QString& text);
    // The connections a move from this one reaches: those of its own game.
    QList<QIODevice*> audience(QIODevice* connection) const;

    // A connection that registered a colour or belongs to a started game.
    bool holds(QIODevice* connection) const;
    // Closes what is left of games abandoned for longer than ms.
    void closeAbandoned(qint64 ms);

    int gameCount() const { return int(games.size()); }
    int maxGameCount() const { return maxGames; }

private:
    Game* newGame();
    void start(Game& game, QIODevice* second, Colour colour);
    void unseatBoard(QIODevice* connection);
    void depart(Game& game, Colour colour, bool sure);
    void end(Game& game);
    QString newTicket() const;

    int maxGames;
    Send send;
    Close close;
    std::vector<std::unique_ptr<Game>> games; // oldest first
    QHash<const QIODevice*, Game*> members;
    QHash<const QIODevice*, QString> addresses; // peer addresses, text form
    QHash<QString, Game*> tickets;
    Game* forming = nullptr; // the game whose first player waits, if any
    // Requests that found every game taken, oldest first: served when one ends.
    QList<QPair<QIODevice*, Colour>> waiting;
};
