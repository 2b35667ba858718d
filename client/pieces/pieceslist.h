// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QListWidget>
#include <QPixmap>
#include <QPoint>

// The source of every drag: holds the disc the player pulls onto the board.
// A drag never takes the piece out, so the same disc serves the whole game.
class PiecesList : public QListWidget
{
    Q_OBJECT

public:
    explicit PiecesList(QWidget* parent = nullptr);

    void insertPiece(const QPixmap& pixmap, const QPoint& location);

    // The MIME type of a dragged piece and its payload: the pixmap and its
    // location in one QDataStream.
    static QString mimeType();
    static QByteArray encodePiece(const QPixmap& pixmap, const QPoint& location);
    static bool decodePiece(const QByteArray& data, QPixmap& pixmap, QPoint& location);

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void startDrag(Qt::DropActions supportedActions) override;
};
