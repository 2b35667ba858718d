// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

#include <array>

// The player's choices from the "&Options" menu. Each one is written to the
// application's settings as soon as it changes, so the next run starts with it;
// all are off until the player turns them on.
class Options : public QObject
{
    Q_OBJECT

public:
    // In the menu's order.
    enum Choice { LegalMoves, LastMove, WhoseTurn, StrongerComputer, ChoiceCount };

    explicit Options(QObject* parent = nullptr);

    bool isOn(Choice choice) const { return on[choice]; }
    void set(Choice choice, bool value);

signals:
    void changed();

private:
    std::array<bool, ChoiceCount> on{};
};
