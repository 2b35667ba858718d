// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Positions as eight text rows, top row (y = 0) first: 'X' black, 'O' white, anything else empty; lower case 'x'
// and 'o' load as their colour (an engine test marks with them the discs a move turns).

#include "engine/board.h"

#include <QStringList>
#include <optional>

namespace BoardText {

// Every cell from the rows, then the counts from the cells.
inline void load(Board& board, const QStringList& rows)
{
    int counts[2] = {0, 0};
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) {
            const QChar c = rows.at(y).at(x).toUpper();
            std::optional<Colour> disc;
            if (c == u'X')
                disc = Colour::Black;
            else if (c == u'O')
                disc = Colour::White;
            board.setCell(x, y, disc);
            if (disc)
                ++counts[index(*disc)];
        }
    board.setCounts(counts[0], counts[1]);
}

inline Board board(const QStringList& rows)
{
    Board b;
    load(b, rows);
    return b;
}

// A position whose only discs are on the top row.
inline QStringList topRow(const QString& row)
{
    return QStringList{row} + QStringList(7, QString(8, u'.'));
}

inline QStringList rows(const Board& board)
{
    QStringList out(8, QString(8, u'.'));
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            if (board.cell(x, y))
                out[y][x] = board.cell(x, y) == Colour::Black ? u'X' : u'O';
    return out;
}

} // namespace BoardText
