// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/levels.h"

#include <QObject>

#include <array>

// The player's choices from the "&Options" menu. Each one is written to the
// application's settings as soon as it changes, so the next run starts with it;
// all switches are off and the level is Normal until the player changes them.
class Options : public QObject
{
    Q_OBJECT

public:
    // In the menu's order.
    enum Choice {
        LegalMoves,
        LastMove,
        WhoseTurn,
        ClickPlay,  // a click, or the keyboard, places a disc as a drop does
        AutoPass,   // a player without a move passes by itself
        PlayAtOnce, // a game against the computer is ready without "&Begin alone..."
        KeepFinal,  // the report's OK leaves the final position on the board
        MoveList,   // the moves played, in a panel beside the board
        FitBoard,   // the board grows and shrinks with the window
        ChoiceCount
    };

    explicit Options(QObject* parent = nullptr);

    bool isOn(Choice choice) const { return on[choice]; }
    void set(Choice choice, bool value);

    engine::Level level() const { return strength; }
    void setLevel(engine::Level value);

signals:
    void changed();

private:
    std::array<bool, ChoiceCount> on{};
    engine::Level strength = engine::Level::Normal;
};
