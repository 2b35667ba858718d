// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The common Othello transcript: the moves of a game as one string such as
// "f5d6c3d3c4", a column letter and a row digit each, the colours implied by
// the rules and a pass implied wherever a side cannot move. It assumes the
// standard start (d5 and e4 black, d4 and e5 white, black first). Ours has
// black on d4 and e5 with a1 at the top left: a game against the computer
// (black first) maps onto it by mirroring the rows, a network game (white
// first) by swapping the colours. Both functions go through that mapping, so
// games move both ways between this game and other Othello programs.

#include "core/colour.h"

#include <string>
#include <string_view>
#include <vector>

namespace engine {

struct PlayedMove
{
    int x;      // column 0..7 from the left; -1 with y = -1: a pass
    int y;      // row 0..7 from the top
    Colour colour;
    bool isPass() const { return x < 0; }
};

enum class Opening { BlackFirst, WhiteFirst }; // against the computer / network game

// The longest start of moves that is a game from our start position in which
// only a side without a move passes (see transcriptProblem), written as the
// common transcript.
std::string writeTranscript(const std::vector<PlayedMove>& moves, Opening opening);

// Empty when writeTranscript holds the whole of moves; otherwise why not, in
// English, naming the first move it cannot hold: an illegal move, a move out
// of turn, or a pass by a side that could move (the transcript has no way to
// say so, and the moves after it would be read with the wrong colours).
std::string transcriptProblem(const std::vector<PlayedMove>& moves, Opening opening);

struct ReadTranscript
{
    bool ok = false;
    std::vector<PlayedMove> moves; // ours, with a pass listed before each move that follows one
    std::string error;             // when not ok: in English, naming the move
};

// Replays a transcript from our start. Upper or lower case letters and white
// space around the moves are accepted, nothing else; a text that is not a legal
// game of at most 60 moves is refused (ok false, no moves).
ReadTranscript readTranscript(std::string_view text, Opening opening);

} // namespace engine
