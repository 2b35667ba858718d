// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

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

// "PUT|column|row|colour|"
QString moveText(int column, int row, int colour);

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
