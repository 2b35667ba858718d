// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Positions written as eight text rows, top row first, so a test reads like
// its board: '*' black, 'O' white, '.' empty.

#include "engine/board.h"

#include <QStringList>

namespace BoardText {

// Every cell from the rows, then the counts from the cells.
inline void load(Board& board, const QStringList& rows)
{
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) {
            const QChar c = rows.at(y).at(x);
            if (c == u'*' || c == u'O')
                board.setCell(x, y, c == u'*' ? Colour::Black : Colour::White);
            else
                board.setCell(x, y, std::nullopt);
        }
    const QString cells = rows.join(QString());
    board.setCounts(int(cells.count(u'*')), int(cells.count(u'O')));
}

inline QStringList rows(const Board& board)
{
    QStringList out(8, QString(8, u'.'));
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            if (board.cell(x, y))
                out[y][x] = board.cell(x, y) == Colour::Black ? u'*' : u'O';
    return out;
}

} // namespace BoardText
