// SPDX-License-Identifier: GPL-3.0-or-later
#include "pavotwidget.h"

#include "pictures.h"
#include "pieceslist.h"

#include <QDebug>
#include <QDragEnterEvent>
#include <QDragLeaveEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QMouseEvent>
#include <QMimeData>
#include <QPainter>
#include <QPixmap>
#include <QTcpSocket>

PavotWidget::PavotWidget(QWidget* parent)
    : QWidget(parent)
{
    setAcceptDrops(true);
    setMinimumSize(BoardSize, BoardSize);
    setMaximumSize(BoardSize, BoardSize);
}

PavotWidget::~PavotWidget()
{
    // The game connections die with the widget's children, after this
    // destructor; closing them must not call back into a half-destroyed board.
    for (QTcpSocket* socket : findChildren<QTcpSocket*>())
        socket->disconnect(this);
}

void PavotWidget::resetGame()
{
    playbynetwork = false;
    ownColor = Black;
    // The network game left behind is over: the server sees this player go.
    closeGameConnection();
    game.reset();
    theirLastMove.reset();
    update();
}

void PavotWidget::clearBoard()
{
    game.clearBoard();
    theirLastMove.reset();
    update();
}

void PavotWidget::resetDropState()
{
    offeredSquare = QRect();
    update();
}

void PavotWidget::passTurn()
{
    if (!playbynetwork) {
        computerMove();
        return;
    }
    // Only our turn can be passed, only when we have no move, and only to an
    // opponent who has one: otherwise the game is over.
    if (!canplay || game.hasLegalMove(ownColor) || !game.hasLegalMove(opponentColor))
        return;
    sendMove(PassSquare, PassSquare, ownColor);
    canplay = false;
    update();
}

void PavotWidget::computerMove()
{
    // The computer's previous square is the search's first guess.
    computerPlays(game.lastMoveX, game.lastMoveY);
}

void PavotWidget::computerReply(int x, int y)
{
    game.playMove(x, y, Black, true);
    update();
    // The dropped square is the search's first guess.
    computerPlays(x, y);
    dumpBoard();
}

void PavotWidget::computerPlays(int x, int y)
{
    const int whiteBefore = game.count(White);
    const int value = game.computerPlay(x, y);
    // The square tried, played or refused, is the next search's guess.
    game.lastMoveX = x;
    game.lastMoveY = y;
    if (game.count(White) > whiteBefore)
        theirLastMove = QPoint(x, y);
    qDebug() << value;
    update();
}

void PavotWidget::dumpBoard() const
{
    qDebug() << game.dumpText();
}

int PavotWidget::checkDrop(const QRect& cell)
{
    qDebug() << "canplay" << canplay;
    const int x = cell.left() / CellSize;
    const int y = cell.top() / CellSize;
    if (playbynetwork && !canplay)
        return 1;
    const int turned = game.playMove(x, y, ownColor, false);
    qDebug() << "[" << x << "/" << y << "]";
    if (!playbynetwork)
        qDebug() << turned;
    return turned > 0 ? -1 : 1;
}

QRect PavotWidget::squareRect(const QPoint& p)
{
    // Division truncates toward zero, as the drop handler expects for points
    // just left of or above the board.
    return QRect((p.x() / CellSize) * CellSize, (p.y() / CellSize) * CellSize, CellSize, CellSize);
}

bool PavotWidget::mayDrop(int x, int y)
{
    return (!playbynetwork || canplay) && game.playMove(x, y, ownColor, false) > 0;
}

PavotWidget::Turn PavotWidget::turn() const
{
    // Over once nobody can move: a board the end-of-game report cleared too.
    if (!game.hasLegalMove(Black) && !game.hasLegalMove(White))
        return Turn::Over;
    if (playbynetwork)
        return canplay ? Turn::Local : Turn::Remote;
    // Black without a move waits for "Passer", which lets the computer play.
    return game.hasLegalMove(Black) ? Turn::Local : Turn::Computer;
}

void PavotWidget::showMarks(bool legalMoves, bool lastMove)
{
    legalMovesMarked = legalMoves;
    lastMoveMarked = lastMove;
    update();
}

void PavotWidget::mousePressEvent(QMouseEvent* event)
{
    // Discs are placed by dragging only; a click is swallowed here rather
    // than handed on to the window.
    event->accept();
}

void PavotWidget::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    // Pictures are read at every repaint, so replacing a file shows at once.
    const auto picture = [](const char* name) { return QPixmap(Pictures::path(QLatin1String(name))); };
    painter.drawPixmap(0, 0, picture("checker.png"));
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x) {
            const int c = game.cell(x, y);
            if (c == Black)
                painter.drawPixmap(x * CellSize, y * CellSize, picture("pion_noir.png"));
            else if (c == White)
                painter.drawPixmap(x * CellSize, y * CellSize, picture("pion_blanc.png"));
        }
    }
    // Marks stay small and translucent: the discs remain what the eye reads.
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    const auto centre = [](int x, int y) { return QPointF((x + 0.5) * CellSize, (y + 0.5) * CellSize); };
    if (legalMovesMarked) {
        painter.setBrush(ownColor == Black ? QColor(0, 0, 0, 70) : QColor(255, 255, 255, 90));
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x)
                if (mayDrop(x, y))
                    painter.drawEllipse(centre(x, y), 7, 7);
    }
    if (lastMoveMarked && theirLastMove) {
        painter.setBrush(QColor(214, 48, 49, 200));
        painter.drawEllipse(centre(theirLastMove->x(), theirLastMove->y()), 6, 6);
    }
    emit up();
    painter.end();
}

void PavotWidget::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasFormat(PiecesList::mimeType()))
        event->accept();
    else
        event->ignore();
}

void PavotWidget::dragMoveEvent(QDragMoveEvent* event)
{
    const QRect cell = squareRect(event->position().toPoint());
    const QRect region = offeredSquare | cell;
    if (event->mimeData()->hasFormat(PiecesList::mimeType()) && checkDrop(cell) == -1) {
        offeredSquare = cell;
        event->setDropAction(Qt::MoveAction);
        event->accept();
    } else {
        offeredSquare = QRect();
        event->ignore();
    }
    update(region);
}

void PavotWidget::dragLeaveEvent(QDragLeaveEvent* event)
{
    const QRect region = offeredSquare;
    offeredSquare = QRect();
    update(region);
    event->accept();
}

void PavotWidget::dropEvent(QDropEvent* event)
{
    const QRect cell = squareRect(event->position().toPoint());
    if (!event->mimeData()->hasFormat(PiecesList::mimeType()) || checkDrop(cell) != -1) {
        update();
        offeredSquare = QRect();
        event->ignore();
        return;
    }

    const int x = cell.left() / CellSize;
    const int y = cell.top() / CellSize;
    qDebug() << playbynetwork;
    if (!playbynetwork) {
        computerReply(x, y);
    } else {
        game.playMove(x, y, ownColor, true);
        update();
        qDebug() << "colo" << ownColor;
        sendMove(x, y, ownColor);
        canplay = false;
    }
    offeredSquare = QRect();
    update(cell);
    update(QRect(0, 0, BoardSize, BoardSize));
    event->setDropAction(Qt::MoveAction);
    event->accept();
}
