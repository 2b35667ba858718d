// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The parts of the client's window a player uses, reached the way the player
// sees them, and drags carrying the piece list's disc.

#include "mainwindow.h"
#include "options/options.h"
#include "board/pavotwidget.h"
#include "pieces/pieceslist.h"

#include <QCoreApplication>
#include <QDropEvent>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>

// The side column's widget at `row`, top to bottom.
template <typename T>
T* columnWidget(MainWindow& window, int row)
{
    return qobject_cast<T*>(window.pieces()->parentWidget()->layout()->itemAt(row)->widget());
}

inline QString turnText(MainWindow& window) { return columnWidget<QLabel>(window, 1)->text(); }
inline QPushButton* passButton(MainWindow& window) { return columnWidget<QPushButton>(window, 2); }

// Entry `entry` of the menu `menu` (0 "&Game", 1 "&Network", 2 "&Options").
inline QAction* menuEntry(MainWindow& window, int menu, int entry)
{
    return window.menuBar()->actions().at(menu)->menu()->actions().at(entry);
}

// The entry of a level in "&Options" > "&Level".
inline QAction* levelEntry(MainWindow& window, engine::Level level)
{
    return menuEntry(window, 2, Options::ChoiceCount)->menu()->actions().at(int(level));
}

inline const QMimeData* pieceData()
{
    static QMimeData data;
    data.setData(PiecesList::mimeType(), PiecesList::encodePiece(QPixmap(80, 80), QPoint(0, 0)));
    return &data;
}

// Straight to the handler: the application routes drags only after a drag enter.
template <typename Event>
bool send(QWidget* target, QPoint at, const QMimeData* data = pieceData())
{
    Event event(at, Qt::MoveAction, data, Qt::LeftButton, Qt::NoModifier);
    static_cast<QObject*>(target)->event(&event);
    return event.isAccepted();
}

// A disc dragged from the list back onto it, through the view's event filter
// as Qt's drag loop would: dropped only if the drag is taken.
inline bool dropBack(PiecesList* list)
{
    QDragEnterEvent enter(QPoint(40, 40), Qt::MoveAction, pieceData(), Qt::LeftButton, {});
    QDropEvent drop(QPointF(40, 40), Qt::MoveAction, pieceData(), Qt::LeftButton, {});
    QCoreApplication::sendEvent(list->viewport(), &enter);
    if (enter.isAccepted())
        QCoreApplication::sendEvent(list->viewport(), &drop);
    return enter.isAccepted() && drop.isAccepted();
}

inline QPoint centre(int x, int y) { return QPoint(x * 80 + 40, y * 80 + 40); }
inline bool dropOn(QWidget* board, int x, int y) { return send<QDropEvent>(board, centre(x, y)); }

// The cells a drag over the board is allowed on now.
inline QList<QPoint> allowedCells(PavotWidget* board)
{
    QList<QPoint> cells;
    for (int x = 0; x < 8; ++x)
        for (int y = 0; y < 8; ++y)
            if (send<QDragMoveEvent>(board, centre(x, y)))
                cells << QPoint(x, y);
    return cells;
}

// The cells whose centre the option, left on, paints differently.
inline QList<QPoint> markedCells(MainWindow& window, Options::Choice choice)
{
    QAction* option = menuEntry(window, 2, choice);
    option->setChecked(false);
    const QImage off = window.boardWidget()->grab().toImage();
    option->setChecked(true);
    const QImage on = window.boardWidget()->grab().toImage();
    QList<QPoint> cells;
    for (int x = 0; x < 8; ++x)
        for (int y = 0; y < 8; ++y)
            if (on.pixel(centre(x, y)) != off.pixel(centre(x, y)))
                cells << QPoint(x, y);
    return cells;
}
