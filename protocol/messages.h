// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/colour.h"

#include <QString>
#include <QStringList>
#include <optional>

// The texts both programs exchange.
namespace Message {

inline const QString Black = QStringLiteral("BLACK");
inline const QString White = QStringLiteral("WHITE");
inline const QString Err = QStringLiteral("ERR");
inline const QString GameBegin = QStringLiteral("ACKGAMEBEGIN");
inline const QString GameBeginBlack = QStringLiteral("ACKGAMEBEGINB");
inline const QString GameBeginWhite = QStringLiteral("ACKGAMEBEGINW");
inline const QString MoveKeyword = QStringLiteral("PUT|");
// "GAME|" and 16 lowercase hexadecimal digits: a player's claim to its seat.
inline const QString Ticket = QStringLiteral("GAME|");
// Whether text is exactly a ticket of that form, nothing before or after.
bool isTicket(const QString& text);

// The request for a colour, and the server's echo of it: "BLACK" or "WHITE".
const QString& colourText(Colour colour);

// A colour on the wire is its code: 0 black, 1 white. Any other code names
// no colour.
int colourCode(Colour colour);
std::optional<Colour> colourOfCode(int code);

// "PUT|column|row|colour|"
QString moveText(int column, int row, Colour colour);

struct Move
{
    int column = 0;
    int row = 0;
    int colour = 0;
};

// The "|"-separated fields of a move text, empty ones kept: "PUT", the
// column, the row, the colour, then whatever follows.
QStringList moveFields(const QString& text);

// Fields 1 to 3 of a move text, each converted base 10 (0 when not a number).
// Empty when the text has fewer than four "|"-separated fields.
std::optional<Move> parseMove(const QString& text);

} // namespace Message
