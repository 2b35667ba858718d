// SPDX-License-Identifier: GPL-3.0-or-later
#include "board/pavotwidget.h"

#include "protocol/messages.h"
#include "common/pictures.h"
#include "pieces/pieceslist.h"

#include <QDebug>
#include <QDragEnterEvent>
#include <QDragLeaveEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QMimeData>
#include <QPainter>
#include <QPixmap>
#include <QTcpSocket>
#include <QtMath>

PavotWidget::PavotWidget(QWidget* parent)
    : QWidget(parent)
{
    setAcceptDrops(true);
    setMinimumSize(BoardSize, BoardSize);
    setMaximumSize(BoardSize, BoardSize);
    connect(&game, &Game::replied, this, &PavotWidget::computerTurnFound);
    connect(&game, &Game::hinted, this, [this](int square) {
        if (square >= 0)
            hintCell = QPoint(square / 8, square % 8);
        update();
    });
    connect(&game, &Game::changed, this, &PavotWidget::gameChanged);
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
    ownColor = Colour::Black;
    // The network game left behind is over: the server sees this player go.
    closeGameConnection();
    game.reset();
    update();
}

void PavotWidget::clearBoard()
{
    game.clearBoard();
    theirLastMove.reset();
    hintCell.reset();
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
        // One reply at a time; a forced pass is one of the game's moves.
        if (game.thinking())
            return;
        game.playMove(-1, -1, Colour::Black, true);
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
    computerTurn(game.board().lastMoveX, game.board().lastMoveY, false);
}

void PavotWidget::computerTurnAfterDrop(int x, int y)
{
    game.playMove(x, y, Colour::Black, true);
    update();
    // The dropped square is the search's first guess.
    computerTurn(x, y, true);
}

void PavotWidget::computerTurn(int x, int y, bool afterDrop)
{
    if (strength == engine::Level::Normal) {
        computerTurnHere(x, y);
        if (afterDrop)
            dumpBoard();
        return;
    }
    replyGuess = QPoint(x, y);
    replyAfterDrop = afterDrop;
    game.startReply(strength, Colour::White);
    update(); // the turn label says the computer is thinking
}

void PavotWidget::computerTurnHere(int x, int y)
{
    const int value = game.computerTurnHere(x, y);
    // The square tried, played or refused, is the next search's guess.
    game.board().lastMoveX = x;
    game.board().lastMoveY = y;
    qDebug() << value;
    update();
}

void PavotWidget::computerTurnFound(int square, int value)
{
    // No square: where the plain search would find nothing to play, so does
    // this, and the guess stays the next search's.
    const QPoint chosen = square >= 0 ? QPoint(square / 8, square % 8) : replyGuess;
    game.playComputerSquare(square >= 0 ? std::optional(chosen) : std::nullopt);
    game.board().lastMoveX = chosen.x();
    game.board().lastMoveY = chosen.y();
    qDebug() << value;
    update();
    if (replyAfterDrop)
        dumpBoard();
}

void PavotWidget::setLevel(engine::Level value)
{
    if (strength == value)
        return;
    strength = value;
    if (!game.thinking())
        return;
    game.cancelSearch();
    computerTurn(replyGuess.x(), replyGuess.y(), replyAfterDrop);
}

void PavotWidget::gameChanged()
{
    hintCell.reset();
    // The marked disc is the other side's latest in the moves played.
    theirLastMove.reset();
    const Colour theirs = playbynetwork ? opponentColor : Colour::White;
    for (const Game::Played& move : game.moves())
        if (move.colour == theirs && !move.isPass())
            theirLastMove = QPoint(move.x, move.y);
    update();
}

bool PavotWidget::undo()
{
    return !playbynetwork && game.undo(Colour::Black);
}

bool PavotWidget::redo()
{
    if (playbynetwork || !game.redo(Colour::Black))
        return false;
    answerBlacksMove();
    return true;
}

void PavotWidget::answerBlacksMove()
{
    // Moves that end on black's (a replayed game, or a redo of a move whose
    // reply was cancelled) leave the computer to move.
    const std::vector<Game::Played> moves = game.moves();
    if (!moves.empty() && moves.back().colour == Colour::Black)
        computerMove();
}

bool PavotWidget::loadGame(const std::vector<Game::Played>& moves)
{
    const bool wasNetwork = playbynetwork;
    // The marks follow the replay as those of a game against the computer.
    playbynetwork = false;
    if (!game.replay(moves)) {
        playbynetwork = wasNetwork;
        return false;
    }
    ownColor = Colour::Black;
    closeGameConnection(); // as "&Restart" leaves a network game
    answerBlacksMove();
    update();
    return true;
}

void PavotWidget::showHint()
{
    if (turn() == Turn::Local)
        game.startHint(ownColor);
}

void PavotWidget::setClickPlay(bool on)
{
    clickPlay = on;
    setFocusPolicy(on ? Qt::StrongFocus : Qt::NoFocus);
    if (on)
        setFocus(); // the keys reach the board without a click first
    update();
}

void PavotWidget::dumpBoard() const
{
    qDebug() << game.board().dumpText();
}

int PavotWidget::checkDrop(const QRect& cell) const
{
    qDebug() << "canplay" << canplay;
    const int x = cellAt(cell.topLeft()).x();
    const int y = cellAt(cell.topLeft()).y();
    // The traces of the cell are written only when a drop could be taken now.
    if (dropsOpen()) {
        qDebug() << "[" << x << "/" << y << "]";
        if (!playbynetwork)
            qDebug() << game.discsTurned(x, y, ownColor);
    }
    return mayDrop(x, y) ? -1 : 1;
}

QPoint PavotWidget::cellAt(const QPoint& p)
{
    // Division truncates toward zero, as the drop handler expects for points
    // just left of or above the board.
    return QPoint(p.x() / CellSize, p.y() / CellSize);
}

QRect PavotWidget::cellRect(const QPoint& cell)
{
    return QRect(cell.x() * CellSize, cell.y() * CellSize, CellSize, CellSize);
}

QRect PavotWidget::squareRect(const QPoint& p)
{
    return cellRect(cellAt(p));
}

bool PavotWidget::dropsOpen() const
{
    // While the computer thinks, its reply comes first.
    return (!playbynetwork || canplay) && !game.thinking();
}

bool PavotWidget::mayDrop(int x, int y) const
{
    return dropsOpen() && game.discsTurned(x, y, ownColor) > 0;
}

bool PavotWidget::localPlayerCanMove() const
{
    return game.hasLegalMove(ownColor);
}

PavotWidget::Turn PavotWidget::turn() const
{
    if (game.thinking())
        return Turn::Thinking;
    if (game.gameOver())
        return Turn::Over;
    if (playbynetwork)
        return canplay ? Turn::Local : Turn::Remote;
    // Black without a move waits for "Passer", which lets the computer play.
    return game.hasLegalMove(Colour::Black) ? Turn::Local : Turn::Computer;
}

void PavotWidget::showMarks(bool legalMoves, bool lastMove)
{
    legalMovesMarked = legalMoves;
    lastMoveMarked = lastMove;
    update();
}

void PavotWidget::mousePressEvent(QMouseEvent* event)
{
    // Without click play, discs are placed by dragging only; a click is
    // swallowed here rather than handed on to the window.
    event->accept();
    if (!clickPlay || event->button() != Qt::LeftButton)
        return;
    const QPoint cell = cellAt(logicalPoint(event->position()));
    if (!QRect(0, 0, 8, 8).contains(cell))
        return;
    cursor = cell;
    placeDisc(cellRect(cursor), true);
}

void PavotWidget::keyPressEvent(QKeyEvent* event)
{
    if (!clickPlay) {
        QWidget::keyPressEvent(event);
        return;
    }
    switch (event->key()) {
    case Qt::Key_Left: cursor.rx() = qMax(0, cursor.x() - 1); break;
    case Qt::Key_Right: cursor.rx() = qMin(7, cursor.x() + 1); break;
    case Qt::Key_Up: cursor.ry() = qMax(0, cursor.y() - 1); break;
    case Qt::Key_Down: cursor.ry() = qMin(7, cursor.y() + 1); break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space: placeDisc(cellRect(cursor), true); break;
    default: QWidget::keyPressEvent(event); return;
    }
    update();
}

void PavotWidget::setFitToWindow(bool on)
{
    fitToWindow = on;
    // Small enough for any laptop, large enough to read the discs.
    constexpr int MinimumSide = 4 * CellSize;
    setMinimumSize(on ? QSize(MinimumSide, MinimumSide) : QSize(BoardSize, BoardSize));
    setMaximumSize(on ? QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX) : QSize(BoardSize, BoardSize));
    setSizePolicy(on ? QSizePolicy::Expanding : QSizePolicy::Preferred,
                  on ? QSizePolicy::Expanding : QSizePolicy::Preferred);
    updateGeometry();
    update();
}

QSize PavotWidget::sizeHint() const
{
    if (!fitToWindow || !screen())
        return QWidget::sizeHint();
    // The board starts no taller than the screen leaves beside the menu bar,
    // the window's frame and title and a desktop panel.
    constexpr int Chrome = 200;
    const int side = qBound(minimumWidth(), screen()->availableGeometry().height() - Chrome, BoardSize);
    return QSize(side, side);
}

QTransform PavotWidget::boardTransform() const
{
    if (!fitToWindow)
        return QTransform();
    const int side = qMin(width(), height());
    const qreal scale = qreal(side) / BoardSize;
    return QTransform::fromTranslate((width() - side) / 2, (height() - side) / 2).scale(scale, scale);
}

QPoint PavotWidget::logicalPoint(const QPointF& widgetPoint) const
{
    if (!fitToWindow)
        return widgetPoint.toPoint();
    const QPointF p = boardTransform().inverted().map(widgetPoint);
    const QPoint logical(qFloor(p.x()), qFloor(p.y()));
    // cellAt truncates toward zero: a point left of or above the board would
    // otherwise find the first column or row.
    if (!QRect(0, 0, BoardSize, BoardSize).contains(logical))
        return QPoint(-BoardSize, -BoardSize);
    return logical;
}

void PavotWidget::updateLogical(const QRect& logical)
{
    update(boardTransform().mapRect(QRectF(logical)).toAlignedRect());
}

void PavotWidget::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QTransform transform = boardTransform();
    painter.setTransform(transform);
    // Smooth whenever a picture's pixels do not fall one to one on the
    // screen's (a fitted board, a screen at 150%); one to one it changes nothing.
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    // Pictures are read at every repaint, so replacing a file shows at once;
    // the copy read is the sharpest for the device pixels of a logical one.
    const qreal scale = transform.m11() * devicePixelRatioF();
    const auto picture = [scale](const char* name) { return Pictures::sharpest(QLatin1String(name), scale); };
    painter.drawPixmap(0, 0, picture("checker.png"));
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x) {
            const std::optional<Colour> disc = game.cell(x, y);
            if (disc == Colour::Black)
                painter.drawPixmap(cellRect(QPoint(x, y)).topLeft(), picture("pion_noir.png"));
            else if (disc == Colour::White)
                painter.drawPixmap(cellRect(QPoint(x, y)).topLeft(), picture("pion_blanc.png"));
        }
    }
    paintMarks(painter);
    emit up();
    painter.end();
}

void PavotWidget::paintMarks(QPainter& painter)
{
    painter.setRenderHint(QPainter::Antialiasing);
    const auto centre = [](int x, int y) { return QRectF(cellRect(QPoint(x, y))).center(); };
    if (legalMovesMarked) {
        // A ring of the player's colour outlined in the other, so it reads on
        // the felt whichever colour the player has.
        const QColor own = ownColor == Colour::Black ? QColor(20, 20, 20) : QColor(250, 250, 250);
        const QColor outline = ownColor == Colour::Black ? QColor(245, 245, 240) : QColor(15, 15, 15);
        QColor inside = own;
        inside.setAlpha(90);
        for (int y = 0; y < 8; ++y) {
            for (int x = 0; x < 8; ++x) {
                if (!mayDrop(x, y))
                    continue;
                painter.setPen(QPen(outline, 7));
                painter.setBrush(inside);
                painter.drawEllipse(centre(x, y), 15, 15);
                painter.setPen(QPen(own, 4));
                painter.setBrush(Qt::NoBrush);
                painter.drawEllipse(centre(x, y), 15, 15);
            }
        }
    }
    painter.setPen(Qt::NoPen);
    if (lastMoveMarked && theirLastMove) {
        painter.setBrush(QColor(214, 48, 49, 200));
        painter.drawEllipse(centre(theirLastMove->x(), theirLastMove->y()), 6, 6);
    }
    painter.setBrush(Qt::NoBrush);
    if (hintCell) {
        painter.setPen(QPen(QColor(240, 200, 40), 4));
        painter.drawEllipse(centre(hintCell->x(), hintCell->y()), 30, 30);
    }
    if (clickPlay) {
        painter.setPen(QPen(QColor(60, 140, 255), 3));
        painter.drawRect(cellRect(cursor).adjusted(2, 2, -2, -2));
    }
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
    const QRect cell = squareRect(logicalPoint(event->position()));
    const QRect region = offeredSquare | cell;
    if (event->mimeData()->hasFormat(PiecesList::mimeType()) && checkDrop(cell) == -1) {
        offeredSquare = cell;
        event->setDropAction(Qt::MoveAction);
        event->accept();
    } else {
        offeredSquare = QRect();
        event->ignore();
    }
    updateLogical(region);
}

void PavotWidget::dragLeaveEvent(QDragLeaveEvent* event)
{
    const QRect region = offeredSquare;
    offeredSquare = QRect();
    updateLogical(region);
    event->accept();
}

void PavotWidget::dropEvent(QDropEvent* event)
{
    const QRect cell = squareRect(logicalPoint(event->position()));
    if (!placeDisc(cell, event->mimeData()->hasFormat(PiecesList::mimeType()))) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::MoveAction);
    event->accept();
}

bool PavotWidget::placeDisc(const QRect& cell, bool carriesPiece)
{
    if (!carriesPiece || checkDrop(cell) != -1) {
        update();
        offeredSquare = QRect();
        return false;
    }

    const int x = cellAt(cell.topLeft()).x();
    const int y = cellAt(cell.topLeft()).y();
    qDebug() << playbynetwork;
    if (!playbynetwork) {
        computerTurnAfterDrop(x, y);
    } else {
        game.playMove(x, y, ownColor, true);
        update();
        qDebug() << "colo" << Message::colourCode(ownColor);
        sendMove(x, y, ownColor);
        canplay = false;
    }
    offeredSquare = QRect();
    updateLogical(cell);
    updateLogical(QRect(0, 0, BoardSize, BoardSize));
    return true;
}
