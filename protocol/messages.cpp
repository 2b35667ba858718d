// SPDX-License-Identifier: GPL-3.0-or-later
#include "protocol/messages.h"

namespace Message {

bool isTicket(const QString& text)
{
    if (text.size() != Ticket.size() + 16 || !text.startsWith(Ticket))
        return false;
    for (qsizetype i = Ticket.size(); i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (!((c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f')))
            return false;
    }
    return true;
}

const QString& colourText(Colour colour)
{
    return colour == Colour::Black ? Black : White;
}

int colourCode(Colour colour)
{
    return colour == Colour::Black ? 0 : 1;
}

std::optional<Colour> colourOfCode(int code)
{
    switch (code) {
    case 0: return Colour::Black;
    case 1: return Colour::White;
    default: return std::nullopt;
    }
}

QString moveText(int column, int row, Colour colour)
{
    return QStringLiteral("PUT|%1|%2|%3|").arg(column).arg(row).arg(colourCode(colour));
}

QStringList moveFields(const QString& text)
{
    return text.split(u'|', Qt::KeepEmptyParts);
}

std::optional<Move> parseMove(const QString& text)
{
    const QStringList fields = moveFields(text);
    if (fields.size() < 4)
        return std::nullopt;
    // toInt yields 0 for anything that is not a number: the peer decides
    // nothing here, the board judges the move.
    Move move;
    move.column = fields.at(1).toInt(nullptr, 10);
    move.row = fields.at(2).toInt(nullptr, 10);
    move.colour = fields.at(3).toInt(nullptr, 10);
    return move;
}

} // namespace Message
