// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/colour.h"

#include <QElapsedTimer>
#include <QList>
#include <QString>

#include <array>
#include <optional>

class QIODevice;

// The player of one colour in a game.
struct Seat
{
    QIODevice* dialog = nullptr; // the connection that asked for the colour
    QString address;             // its peer address, text form
    QIODevice* board = nullptr;  // the player's game connection, once attributed
    bool sure = false;           // the board came with this seat's ticket
    QString ticket;              // what the player's board sends to claim the seat
    bool ticketUsed = false;     // a ticket claims a seat once
    bool left = false;
};

// One game: forming while its first player waits for an opponent, started
// once both colours are taken, over once both players have left. It only
// knows who belongs to it; the rules for joining and leaving are the table's.
class Game
{
public:
    bool started = false;
    std::array<Seat, 2> seats; // black's, then white's
    Seat& seat(Colour colour) { return seats[index(colour)]; }
    const Seat& seat(Colour colour) const { return seats[index(colour)]; }
    // Running from the first departure: an abandoned game does not hold its
    // places for ever.
    QElapsedTimer abandoned;

    // Every open connection of the game: dialogs, then boards.
    QList<QIODevice*> connections() const;
    // The colour whose dialog, or whose board, the connection is, if any.
    std::optional<Colour> dialogSeat(const QIODevice* connection) const;
    std::optional<Colour> boardSeat(const QIODevice* connection) const;
    // A seat whose player connects from address and has no board yet, black
    // first, if any.
    std::optional<Colour> seatLacking(const QString& address) const;
    bool over() const { return seats[0].left && seats[1].left; }
};
