#pragma once

// What the "&Options" menu adds, as the player sees it.

#include "options/options.h"
#include "windowparts.h"

inline QString turnText(MainWindow& window) { return columnWidget<QLabel>(window, 1)->text(); }

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
