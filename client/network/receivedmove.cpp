// SPDX-License-Identifier: GPL-3.0-or-later
#include "network/receivedmove.h"

#include "engine/board.h"
#include "protocol/messages.h"

#include <optional>

namespace ReceivedMove {

namespace {

// A field as every peer writes it: base 10, no padding, no plus sign, no
// leading zero, within an int. Anything else would be a different number to
// a peer that reads it another way, and the two boards would part.
std::optional<int> plainNumber(const QString& field)
{
    bool ok = false;
    const int value = field.toInt(&ok, 10);
    if (!ok || QString::number(value) != field)
        return std::nullopt;
    return value;
}

Judgement refused(const char* reason)
{
    Judgement judgement;
    judgement.reason = reason;
    return judgement;
}

} // namespace

Judgement judge(const Board& board, Colour ownColor, bool theirTurn, const QString& text)
{
    // "PUT", column, row, colour and the empty field after the last "|".
    const QStringList fields = Message::moveFields(text);
    if (fields.size() != 5 || fields.at(0) != u"PUT" || !fields.at(4).isEmpty())
        return refused("not a move");
    const std::optional<int> column = plainNumber(fields.at(1));
    const std::optional<int> row = plainNumber(fields.at(2));
    const std::optional<int> code = plainNumber(fields.at(3));
    if (!column || !row || !code)
        return refused("not plain numbers");
    const std::optional<Colour> colour = Message::colourOfCode(*code);
    if (!colour)
        return refused("no such colour");

    Judgement judgement;
    judgement.column = *column;
    judgement.row = *row;
    // The server names the leaver's colour, or both colours when it cannot
    // tell: either way it is the other player who has gone.
    if (*column == DepartureSquare && *row == DepartureSquare) {
        judgement.verdict = Verdict::OpponentLeft;
        return judgement;
    }
    if (*colour == ownColor) {
        judgement.verdict = Verdict::Echo;
        return judgement;
    }
    if (!theirTurn)
        return refused("out of turn");
    if (*column == PassSquare && *row == PassSquare) {
        if (board.hasLegalMove(*colour))
            return refused("a pass with a move left");
        judgement.verdict = Verdict::Pass;
        return judgement;
    }
    if (board.discsTurned(*column, *row, *colour) <= 0)
        return refused("illegal");
    judgement.verdict = Verdict::Place;
    return judgement;
}

} // namespace ReceivedMove
