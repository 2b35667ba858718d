#pragma once

// Reaching the parts of the client's window the way a player sees them, and
// collecting the debug channel.

#include "mainwindow.h"
#include "pieceslist.h"

#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStringList>

// The side column's widget at `row`, top to bottom.
template <typename T>
T* columnWidget(MainWindow& window, int row)
{
    return qobject_cast<T*>(window.pieces()->parentWidget()->layout()->itemAt(row)->widget());
}

inline QString blackCount(MainWindow& window) { return columnWidget<QLabel>(window, 4)->text(); }
inline QString whiteCount(MainWindow& window) { return columnWidget<QLabel>(window, 6)->text(); }
inline QPushButton* passButton(MainWindow& window) { return columnWidget<QPushButton>(window, 2); }

// Entries of the menu `menu` (0 "&Game", 1 "&Network"), separators left out.
inline QList<QAction*> menuEntries(MainWindow& window, int menu)
{
    QList<QAction*> out;
    for (QAction* a : window.menuBar()->actions().at(menu)->menu()->actions())
        if (!a->isSeparator())
            out << a;
    return out;
}

// Every debug message since the last reset().
struct DebugLog
{
    static QStringList& lines()
    {
        static QStringList all;
        return all;
    }
    static void handler(QtMsgType, const QMessageLogContext&, const QString& text) { lines() << text; }
    static void start()
    {
        lines().clear();
        qInstallMessageHandler(handler);
    }
    static void stop() { qInstallMessageHandler(nullptr); }
};
