// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

class QDialog;
class QMainWindow;

// The "&Help" menu of a window: "Rules", a short page on how to play, opened
// by the platform's help key too, and "About", the name, version and licence.
class HelpMenu : public QObject
{
    Q_OBJECT

public:
    // Adds the menu to the end of window's menu bar; the menu, its pages and
    // this object belong to window.
    explicit HelpMenu(QMainWindow* window);

    static QString rulesText();
    static QString aboutText();

public slots:
    // One rules page per window: asked again, it comes to the front.
    void showRules();
    void showAbout();

private:
    QMainWindow* window;
    QPointer<QDialog> rulesPage;
};
