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
    // The network game left behind is over for this board: its connection
    // stays open, but what still arrives on it is read and dropped.
    gameSocket = nullptr;
    game.reset();
    update();
}

void PavotWidget::clearBoard()
{
    game.clearBoard();
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
}

void PavotWidget::computerMove()
{
    int x = game.lastMoveX;
    int y = game.lastMoveY;
    const int value = game.computerPlay(x, y);
    qDebug() << value;
    update();
    game.lastMoveX = x;
    game.lastMoveY = y;
}

void PavotWidget::computerReply(int x, int y)
{
    game.playMove(x, y, Black, true);
    update();
    // The dropped square is the search's first guess.
    const int value = game.computerPlay(x, y);
    game.lastMoveX = x;
    game.lastMoveY = y;
    qDebug() << value;
    update();
    dumpBoard();
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
    int turned = 0;
    if (!playbynetwork) {
        turned = game.playMove(x, y, Black, false);
        qDebug() << "[" << x << "/" << y << "]";
        qDebug() << turned;
    } else {
        if (!canplay)
            return 1;
        turned = game.playMove(x, y, ownColor, false);
        qDebug() << "[" << x << "/" << y << "]";
    }
    return turned > 0 ? -1 : 1;
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
