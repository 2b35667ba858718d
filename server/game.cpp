// SPDX-License-Identifier: GPL-3.0-or-later
#include "server/game.h"

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

std::optional<Colour> Game::dialogSeat(const QIODevice* connection) const
{
    for (Colour colour : {Colour::Black, Colour::White}) {
        if (connection && seat(colour).dialog == connection)
            return colour;
    }
    return std::nullopt;
}

std::optional<Colour> Game::boardSeat(const QIODevice* connection) const
{
    for (Colour colour : {Colour::Black, Colour::White}) {
        if (connection && seat(colour).board == connection)
            return colour;
    }
    return std::nullopt;
}

std::optional<Colour> Game::seatLacking(const QString& address) const
{
    if (!started)
        return std::nullopt;
    for (Colour colour : {Colour::Black, Colour::White}) {
        const Seat& s = seat(colour);
        if (!s.left && !s.board && s.address == address)
            return colour;
    }
    return std::nullopt;
}
