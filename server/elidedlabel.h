// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLabel>

// Shows any text as plain text on one line, cut to the label's width with an
// ellipsis: however long the text or however many lines it has, the label
// never asks its window for more room.
class ElidedLabel : public QLabel
{
    Q_OBJECT

public:
    // Only the start of a long text can show; the rest is never laid out.
    static constexpr int MaxShown = 512;

    explicit ElidedLabel(QWidget* parent = nullptr);

    void setFullText(const QString& text);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void elide();

    QString latest;
    bool pending = false;
    QString shown;
};
