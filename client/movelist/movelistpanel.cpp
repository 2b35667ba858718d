// SPDX-License-Identifier: GPL-3.0-or-later
#include "movelistpanel.h"

MoveListPanel::MoveListPanel(QWidget* parent)
    : QListWidget(parent)
{
    setSelectionMode(QAbstractItemView::NoSelection);
    setFocusPolicy(Qt::NoFocus);
    setMaximumWidth(160);
}

void MoveListPanel::showMoves(const std::vector<Game::Played>& moves, bool networkGame)
{
    clear();
    int number = 0;
    for (const Game::Played& move : moves) {
        const QString colour = move.colour == Black ? tr("Black") : tr("White");
        addItem(QStringLiteral("%1. %2 %3").arg(++number).arg(colour, notation(move, networkGame)));
    }
    scrollToBottom();
}

QString MoveListPanel::notation(const Game::Played& move, bool networkGame)
{
    if (move.isPass())
        return tr("pass");
    const int row = networkGame ? move.y + 1 : 8 - move.y;
    return QStringLiteral("%1%2").arg(QChar(u'a' + move.x)).arg(row);
}
