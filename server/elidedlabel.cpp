// SPDX-License-Identifier: GPL-3.0-or-later
#include "elidedlabel.h"

ElidedLabel::ElidedLabel(QWidget* parent)
    : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
}

void ElidedLabel::setFullText(const QString& text)
{
    // Line breaks and other white space fold into single spaces: one line.
    shown = text.left(MaxShown).simplified();
    elide();
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
