#pragma once

// Positions written as eight text rows, top row first, so a test reads like
// its board: '*' black, 'O' white, '.' empty.

#include "board.h"

#include <QString>
#include <QStringList>
#include <cstdio>
#include <initializer_list>

namespace BoardText {

inline void load(Board& board, std::initializer_list<const char*> rows)
{
    int counts[3] = {0, 0, 0};
    int y = 0;
    for (const char* row : rows) {
        for (int x = 0; x < 8; ++x) {
            const int c = row[x] == '*' ? Black : row[x] == 'O' ? White : Empty;
            board.setCell(x, y, c);
            ++counts[c];
        }
        ++y;
    }
    board.discCount[Black] = counts[Black];
    board.discCount[White] = counts[White];
}

inline Board make(std::initializer_list<const char*> rows)
{
    Board board;
    load(board, rows);
    return board;
}

inline QStringList rows(const Board& board)
{
    QStringList out;
    for (int y = 0; y < 8; ++y) {
        QString row;
        for (int x = 0; x < 8; ++x) {
            const int c = board.cell(x, y);
            row += c == Black ? u'*' : c == White ? u'O' : u'.';
        }
        out << row;
    }
    return out;
}

// Everything written so far to a search trace file.
inline QString readTrace(std::FILE* file)
{
    std::fflush(file);
    std::rewind(file);
    QByteArray bytes;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        bytes.append(buffer, qsizetype(n));
    return QString::fromLatin1(bytes);
}

} // namespace BoardText
