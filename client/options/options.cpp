// SPDX-License-Identifier: GPL-3.0-or-later
#include "options/options.h"

#include <QSettings>

namespace {
// The settings keys, in Choice order.
constexpr const char* keys[Options::ChoiceCount] = {
    "options/legalMoves", "options/lastMove", "options/whoseTurn", "options/clickPlay",
    "options/autoPass",   "options/playAtOnce", "options/keepFinal", "options/moveList",
    "options/fitBoard"};
constexpr const char* levelKey = "options/level";
// The single switch that the levels replaced: on meant what Strong is now.
constexpr const char* strongerKey = "options/strongerComputer";
} // namespace

Options::Options(QObject* parent)
    : QObject(parent)
{
    const QSettings settings;
    for (int choice = 0; choice < ChoiceCount; ++choice)
        on[choice] = settings.value(QLatin1String(keys[choice]), false).toBool();
    if (settings.contains(QLatin1String(levelKey))) {
        const int saved = settings.value(QLatin1String(levelKey)).toInt();
        // A value written by hand or by a later version falls back to Normal.
        if (saved >= int(engine::Level::Beginner) && saved <= int(engine::Level::Master))
            strength = engine::Level(saved);
    } else if (settings.value(QLatin1String(strongerKey), false).toBool()) {
        strength = engine::Level::Strong;
    }
}

void Options::set(Choice choice, bool value)
{
    if (on[choice] == value)
        return;
    on[choice] = value;
    QSettings().setValue(QLatin1String(keys[choice]), value);
    emit changed();
}

void Options::setLevel(engine::Level value)
{
    if (strength == value)
        return;
    strength = value;
    QSettings().setValue(QLatin1String(levelKey), int(value));
    emit changed();
}
