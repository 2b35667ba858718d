// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/colour.h"

#include <QString>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// One line of a search's table: a depth it completed (the empty squares for
// an exact solve), the positions that depth visited, its value and the square
// it left chosen.
struct SearchLine
{
    int depth;
    std::uint64_t nodes;
    int value;
    int x;
    int y;
};

// The table as the computer's turn prints it: a title line "prof\tnoeuds\teval\tcoup"
// (depth, nodes, value, move), then one line per depth, the square written
// as a letter from 'a' (x) and a number from 1 (y).
std::string searchTrace(const std::vector<SearchLine>& lines);

// The game model: an 8 x 8 Reversi board, its one move rule and the computer's
// negamax search. Knows nothing of widgets. Squares are (x, y): x the column
// 0..7 from the left, y the row 0..7 from the top.
class Board
{
public:
    static constexpr int dirX[8] = {1, -1, 0, 0, 1, 1, -1, -1};
    static constexpr int dirY[8] = {0, 0, 1, -1, 1, -1, 1, -1};

    Board(); // start position, counts 2 and 2, last move (0, 0)

    // The disc on (x, y), nothing for an empty square or one off the board.
    std::optional<Colour> cell(int x, int y) const;
    // Puts a disc (or empties the square) without any rule and without
    // touching the counts.
    void setCell(int x, int y, std::optional<Colour> disc);

    // Opponent discs bracketed from (x, y) in direction d; turns them when apply.
    int flipLine(int x, int y, int d, Colour colour, bool apply);
    // Discs a move of colour on (x, y) would turn, 0 when it is illegal.
    int discsTurned(int x, int y, Colour colour) const;
    // Discs turned by a move of colour on (x, y), 0 when illegal. With apply a
    // legal move is played and the counts follow; without it nothing changes
    // (discsTurned).
    int playMove(int x, int y, Colour colour, bool apply);

    // Whether colour has a legal move anywhere on the board.
    bool hasLegalMove(Colour colour) const;
    // The game is over: the counts fill the board, or neither side can move
    // (an empty board, once the end-of-game report has cleared it, too).
    bool gameOver() const;

    void startPosition();   // empties the board, puts the four starting discs, counts 2 and 2
    void reset();           // a new game: last move (0, 0), counts 2 and 2, start position
    void clearBoard();      // every cell empty; the counts are left alone

    int negamax(Colour colour, int& bestX, int& bestY, int depth);
    // Iterative deepening, one line of lines() per depth. bestX/bestY are in/out.
    int searchMove(Colour colour, int& bestX, int& bestY);

    // The stronger search for colour, on a copy of the discs (the counts are
    // not read): bestX/bestY take its square, left alone when colour has no
    // move. Leaves a table of searchMove's form in lines(), one line per depth
    // it completed within the budget, the last an exact solve when the endgame
    // fitted. Returns the value of that line (a finished game is worth its disc
    // difference times 10000), -1000000 when colour has no move.
    int strongMove(Colour colour, int& bestX, int& bestY, int budgetMs = 100);

    // The table of the last search, one line per depth.
    const std::vector<SearchLine>& lines() const { return table; }

    // The computer's search for white from the guess (x, y): searchMove, or
    // strongMove when stronger. Returns its value; (x, y) take its square.
    int computerSearch(int& x, int& y);

    // The stronger computer: off, computerSearch runs the plain search.
    void setStronger(bool on) { strong = on; }
    bool stronger() const { return strong; }

    // The debug dump of the board and counts.
    QString dumpText() const;

    // The disc counts: what the evaluation, the full-board test and the window
    // read. They may differ from the cells: the end-of-game report zeroes them.
    int count(Colour colour) const { return discCount[index(colour)]; }
    void setCounts(int black, int white);

    // The discs of colour as a bitboard, square (x, y) at bit x * 8 + y: what a
    // search on another thread copies.
    std::uint64_t discs(Colour colour) const { return bits[index(colour)]; }
    // Sets both colours' discs at once (a replayed or undone position); the
    // counts follow the cells.
    void setBitboards(std::uint64_t black, std::uint64_t white);

    int nodeCount = 0;
    int lastMoveX = 0;
    int lastMoveY = 0;

private:
    // What every change leaves true (checked in debug builds): no square
    // holds two discs, and the counts stay within the board.
    void checkInvariants() const;

    // One bitboard per colour, square (x, y) at bit x * 8 + y; a square in
    // neither is empty.
    std::uint64_t bits[2] = {0, 0};
    int discCount[2] = {2, 2};
    bool strong = false;
    std::vector<SearchLine> table;
};
