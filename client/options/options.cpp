// SPDX-License-Identifier: GPL-3.0-or-later
#include "options.h"

#include <QSettings>

namespace {
// The settings keys, in Choice order.
constexpr const char* keys[Options::ChoiceCount] = {
    "options/legalMoves", "options/lastMove", "options/whoseTurn", "options/strongerComputer"};
}

Options::Options(QObject* parent)
    : QObject(parent)
{
    const QSettings settings;
    for (int choice = 0; choice < ChoiceCount; ++choice)
        on[choice] = settings.value(QLatin1String(keys[choice]), false).toBool();
}

void Options::set(Choice choice, bool value)
{
    if (on[choice] == value)
        return;
    on[choice] = value;
    QSettings().setValue(QLatin1String(keys[choice]), value);
    emit changed();
}
