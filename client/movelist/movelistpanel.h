// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "game/game.h"

#include <QListWidget>

// The moves of the game in progress, numbered, in the notation that saved
// games and other Othello programs use, passes included.
class MoveListPanel : public QListWidget
{
    Q_OBJECT

public:
    explicit MoveListPanel(QWidget* parent = nullptr);

    void showMoves(const std::vector<Game::Played>& moves, bool networkGame);

    // The common notation of a move: against the computer our rows are read
    // from the bottom (its start position is ours mirrored), in a network
    // game as they stand (its start is ours with the colours swapped).
    static QString notation(const Game::Played& move, bool networkGame);
};
