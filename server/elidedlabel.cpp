// SPDX-License-Identifier: GPL-3.0-or-later
#include "server/elidedlabel.h"

ElidedLabel::ElidedLabel(QWidget* parent)
    : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
}

void ElidedLabel::setFullText(const QString& text)
{
    // Many texts can arrive in one turn of the event loop, and only the last
    // could be seen: it is laid out once, when the turn is over.
    latest = text.left(MaxShown);
    if (pending)
        return;
    pending = true;
    QMetaObject::invokeMethod(this, [this] {
        pending = false;
        // Line breaks and other white space fold into single spaces: one line.
        shown = latest.simplified();
        elide();
    }, Qt::QueuedConnection);
}

void ElidedLabel::resizeEvent(QResizeEvent* event)
{
    QLabel::resizeEvent(event);
    elide();
}

void ElidedLabel::elide()
{
    setText(fontMetrics().elidedText(shown, Qt::ElideRight, width()));
}
