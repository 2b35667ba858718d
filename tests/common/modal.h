#pragma once

// Modal boxes run their own event loop: tests answer every one from a timer
// as soon as it opens, so none ever blocks.

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QStringList>
#include <QTimer>

// Presses the first button of each modal box that opens (OK, or Cancel when
// it is the only one) and keeps the texts the boxes showed, in order.
struct BoxAnswerer
{
    QStringList texts;
    QTimer timer;

    BoxAnswerer()
    {
        timer.callOnTimeout([this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                texts << box->text();
                box->buttons().first()->click();
            }
        });
        timer.start(5);
    }
};
