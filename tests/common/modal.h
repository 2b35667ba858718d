#pragma once

// Modal boxes run their own event loop; a test answers them from a timer so
// it never blocks.

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <functional>

// Waits for the next modal message box and hands it to `answer`, which
// records what it needs and closes it.
inline void answerNextBox(std::function<void(QMessageBox*)> answer)
{
    auto* timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, answer] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            answer(box);
        }
    });
    timer->start();
}

struct SeenBox
{
    QString title;
    QString text;
    QList<QMessageBox::StandardButton> buttons;
    int shown = 0;
};

// Records the next box and presses `button` on it.
inline void pressOnNextBox(SeenBox& seen, QMessageBox::StandardButton button)
{
    answerNextBox([&seen, button](QMessageBox* box) {
        seen.title = box->windowTitle();
        seen.text = box->text();
        seen.buttons.clear();
        for (QAbstractButton* b : box->buttons())
            seen.buttons << box->standardButton(b);
        ++seen.shown;
        box->button(button)->click();
    });
}
