// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/colour.h"

#include <QString>

class Board;

// The referee of a network game: what one text received on the game
// connection may do to the local game. The server relays whatever any peer
// sends, so nothing is placed that the opponent could not have played.
namespace ReceivedMove {

// Squares off the board that carry a notice instead of a disc.
inline constexpr int PassSquare = -1;      // the mover has no move and hands over the turn
inline constexpr int DepartureSquare = -2; // from the server: that colour's player has left

enum class Verdict {
    Place,        // the opponent's legal move: play it, then the turn is ours
    Pass,         // the opponent has no move and hands the turn to us
    OpponentLeft, // the server says the other player of the game has gone
    Echo,         // our own colour: the server relaying our move back
    Refused,      // anything else: traced and dropped
};

struct Judgement
{
    Verdict verdict = Verdict::Refused;
    int column = 0;
    int row = 0;
    const char* reason = ""; // why a text is refused, for the trace
};

// `theirTurn`: the game runs and the opponent of ownColor is to move.
Judgement judge(const Board& board, Colour ownColor, bool theirTurn, const QString& text);

} // namespace ReceivedMove
