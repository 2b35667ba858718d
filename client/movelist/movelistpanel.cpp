// SPDX-License-Identifier: GPL-3.0-or-later
#include "movelist/movelistpanel.h"

#include <QScrollBar>

MoveListPanel::MoveListPanel(QWidget* parent)
    : QListWidget(parent)
{
    setSelectionMode(QAbstractItemView::NoSelection);
    setFocusPolicy(Qt::NoFocus);
    // Wide enough for the longest entry in the player's language, so no
    // entry is ever cut or scrolled sideways.
    const QString widest = QStringLiteral("60. %1 h8").arg(tr("White").size() > tr("Black").size() ? tr("White")
                                                                                                    : tr("Black"));
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setMinimumWidth(fontMetrics().horizontalAdvance(widest) + verticalScrollBar()->sizeHint().width()
                    + 2 * frameWidth() + 12);
    setMaximumWidth(minimumWidth() + 40);
}

void MoveListPanel::showMoves(const std::vector<Game::Played>& moves, bool networkGame)
{
    clear();
    int number = 0;
    for (const Game::Played& move : moves) {
        const QString colour = move.colour == Colour::Black ? tr("Black") : tr("White");
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
