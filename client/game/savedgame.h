// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "game/game.h"

#include <QString>

#include <vector>

// Games saved as the common Othello transcript, in a file small enough that
// reading it never costs the window a frame.
namespace SavedGame {

// A transcript of 60 moves is 120 bytes: anything past this is not one.
constexpr qint64 MaxBytes = 4096;

// Writes the moves; the error text, in English, is empty on success. A game
// the transcript cannot hold whole (a pass while that side could move) is
// not written.
QString save(const QString& path, const std::vector<Game::Played>& moves, bool networkGame);

struct Loaded
{
    std::vector<Game::Played> moves; // from our start, as a game against the computer
    QString error;                   // empty when the file holds a legal game
};
Loaded load(const QString& path);

} // namespace SavedGame
