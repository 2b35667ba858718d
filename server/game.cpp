// SPDX-License-Identifier: GPL-3.0-or-later
#include "game.h"

QList<QIODevice*> Game::connections() const
{
    QList<QIODevice*> list;
    for (const Seat& seat : seats) {
        if (seat.dialog)
            list.append(seat.dialog);
    }
    for (const Seat& seat : seats) {
        if (seat.board)
            list.append(seat.board);
    }
    return list;
}

int Game::dialogSeat(const QIODevice* connection) const
{
    for (int colour : {0, 1}) {
        if (connection && seats[size_t(colour)].dialog == connection)
            return colour;
    }
    return -1;
}

int Game::boardSeat(const QIODevice* connection) const
{
    for (int colour : {0, 1}) {
        if (connection && seats[size_t(colour)].board == connection)
            return colour;
    }
    return -1;
}

int Game::seatLacking(const QString& address) const
{
    if (!started)
        return -1;
    for (int colour : {0, 1}) {
        const Seat& seat = seats[size_t(colour)];
        if (!seat.left && !seat.board && seat.address == address)
            return colour;
    }
    return -1;
}
