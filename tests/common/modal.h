// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QStringList>
#include <QTimer>

// Modal boxes run their own event loop, so none may wait for a player: this presses the first button of each one as
// soon as it opens (OK, or Cancel when it is the only one) and keeps the texts the boxes showed, in order. Its
// ticks count the turns of the event loop.
struct BoxAnswerer
{
    QStringList texts;
    QTimer timer;
    int ticks = 0;

    BoxAnswerer()
    {
        timer.callOnTimeout([this] {
            ++ticks;
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                texts << box->text();
                box->buttons().first()->click();
            }
        });
        timer.start(5);
    }
};
