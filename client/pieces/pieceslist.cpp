// SPDX-License-Identifier: GPL-3.0-or-later
#include "pieces/pieceslist.h"

#include <QDataStream>
#include <QDrag>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QIcon>
#include <QMimeData>

namespace {
// Pinned so the payload's bytes do not move with Qt's default stream version.
constexpr QDataStream::Version StreamVersion = QDataStream::Qt_5_0;
}

PiecesList::PiecesList(QWidget* parent)
    : QListWidget(parent)
{
    setDragEnabled(true);
    setViewMode(QListView::IconMode);
    setIconSize(QSize(60, 60));
    setSpacing(10);
    // After the view mode, which would turn drops back on: a source only.
    setAcceptDrops(false);
    setDropIndicatorShown(true);
}

QString PiecesList::mimeType()
{
    return QStringLiteral("image/x-puzzle-piece");
}

QByteArray PiecesList::encodePiece(const QPixmap& pixmap, const QPoint& location)
{
    QByteArray data;
    QDataStream stream(&data, QIODevice::WriteOnly);
    stream.setVersion(StreamVersion);
    stream << pixmap << location;
    return data;
}

bool PiecesList::decodePiece(const QByteArray& data, QPixmap& pixmap, QPoint& location)
{
    QDataStream stream(data);
    stream.setVersion(StreamVersion);
    stream >> pixmap >> location;
    return stream.status() == QDataStream::Ok;
}

void PiecesList::insertPiece(const QPixmap& pixmap, const QPoint& location)
{
    auto* item = new QListWidgetItem(this);
    item->setIcon(QIcon(pixmap));
    item->setData(Qt::UserRole, QVariant(pixmap));
    item->setData(Qt::UserRole + 1, location);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled);
}

void PiecesList::dragEnterEvent(QDragEnterEvent*)
{
    // Left undecided on purpose: the list takes no drops.
}

void PiecesList::dragMoveEvent(QDragMoveEvent* event)
{
    if (event->mimeData()->hasFormat(mimeType())) {
        event->setDropAction(Qt::MoveAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void PiecesList::dropEvent(QDropEvent* event)
{
    if (!event->mimeData()->hasFormat(mimeType())) {
        event->ignore();
        return;
    }
    QPixmap pixmap;
    QPoint location;
    if (!decodePiece(event->mimeData()->data(mimeType()), pixmap, location)) {
        event->ignore();
        return;
    }
    insertPiece(pixmap, location);
    event->setDropAction(Qt::MoveAction);
    event->accept();
}

void PiecesList::startDrag(Qt::DropActions)
{
    QListWidgetItem* item = currentItem();
    if (!item)
        return;
    const QPixmap pixmap = item->data(Qt::UserRole).value<QPixmap>();
    const QPoint location = item->data(Qt::UserRole + 1).toPoint();

    auto* mimeData = new QMimeData;
    mimeData->setData(mimeType(), encodePiece(pixmap, location));

    auto* drag = new QDrag(this);
    drag->setMimeData(mimeData);
    drag->setHotSpot(QPoint(pixmap.width() / 2, pixmap.height() / 2));
    drag->setPixmap(pixmap);
    // The piece stays in the list whatever the target did with the drop.
    drag->exec(Qt::MoveAction);
}
