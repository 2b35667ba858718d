// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/board.h"
#include "game/game.h"
#include "engine/levels.h"

#include <QAbstractSocket>
#include <QRect>
#include <QTransform>
#include <QWidget>

#include <optional>

class QTcpSocket;
class ServerConnection;

// The board: draws the position, takes the discs dropped on it and holds the
// game in progress, against the computer or over the network. The rules and
// the search live in the Board model it owns.
class PavotWidget : public QWidget
{
    Q_OBJECT

public:
    explicit PavotWidget(QWidget* parent = nullptr);
    ~PavotWidget() override;

    static constexpr int CellSize = 80;
    static constexpr int BoardSize = 8 * CellSize;

    Board& model() { return game.board(); }
    const Board& model() const { return game.board(); }
    // The game in progress: its moves, undo and redo, the computer's search.
    Game& gameState() { return game; }

    // The one pair of pixel <-> cell mappings: the cell (x, y) that holds a
    // logical point of the 640 x 640 board, and the logical pixels a cell covers.
    static QPoint cellAt(const QPoint& p);
    static QRect cellRect(const QPoint& cell);
    // The model's operations, as the rest of the window knows them.
    // The square of the board that holds point p.
    static QRect squareRect(const QPoint& p);
    int playMove(int x, int y, Colour colour, bool apply) { return game.playMove(x, y, colour, apply); }

    void resetGame();      // "&Restart": a new game against the computer
    void clearBoard();     // empties every cell after the end-of-game report
    void resetDropState(); // forgets the cell offered to a drag

    // "Passer": against the computer, the computer plays one white move; in a
    // network game, the turn goes to the opponent when we cannot move.
    void passTurn();
    // The computer's turn: one white move, with no move of black's before it.
    void computerMove();
    // Black's disc dropped on (x, y) is played, then the computer's turn
    // follows at once.
    void computerTurnAfterDrop(int x, int y);
    void dumpBoard() const;

    // -1 when the local player may drop a disc on the cell now, 1 when not.
    int checkDrop(const QRect& cell) const;

    // Whose move it is: the local player's, the computer's (waiting for
    // "Passer", or thinking on its own), the remote player's, or nobody's
    // once the game is over.
    enum class Turn { Local, Computer, Thinking, Remote, Over };
    Turn turn() const;
    // The local player has a legal move now.
    bool localPlayerCanMove() const;
    // Which marks are drawn over the discs: the cells the local player may
    // drop on now, and the last disc the other side placed.
    void showMarks(bool legalMoves, bool lastMove);
    // The computer's strength; a change cancels a search in progress and
    // starts the reply again at the new level.
    void setLevel(engine::Level value);
    engine::Level level() const { return strength; }
    // With fit on, the board grows and shrinks with the window: everything is
    // drawn in the logical 640 x 640 board, scaled to the largest square that
    // fits and centred. Off, the board is a fixed 640 x 640.
    void setFitToWindow(bool on);
    bool fitsWindow() const { return fitToWindow; }
    QSize sizeHint() const override;
    // The logical board point under a widget point; a point beside a fitted
    // board lies on no cell.
    QPoint logicalPoint(const QPointF& widgetPoint) const;
    // A click on a cell, or Enter and Space on the keyboard's cursor, places
    // a disc as a drop there would.
    void setClickPlay(bool on);
    QPoint keyboardCursor() const { return cursor; }
    // Marks the move the strongest level would play for the local player,
    // once found off the window's thread; any change to the game clears it.
    void showHint();
    std::optional<QPoint> hint() const { return hintCell; }
    // Against the computer only: takes back the player's last move and the
    // computer's reply, or plays them again. False when refused.
    bool undo();
    bool redo();
    // A saved game's moves, replayed from the start as a game against the
    // computer, which answers at once when the moves end on black's. False,
    // and nothing changed, when they are not a legal game.
    bool loadGame(const std::vector<Game::Played>& moves);

    // Network game: open the game connection to the server.
    void startNetworkPlay(bool playbynetwork, const QString& host, quint16 port);
    void sendMove(int column, int row, Colour colour);
    // What one text received on the game connection does (the fuzz target
    // feeds it directly).
    void playReceivedMove(const QString& text);

    // The square of a pass: off the board, so any peer places nothing and,
    // the colour being its opponent's, takes the turn.
    static constexpr int PassSquare = -1;

    bool canPlay() const { return canplay; }
    bool networkGame() const { return playbynetwork; }
    Colour localColour() const { return ownColor; }
    void setOwnColor(Colour colour) { ownColor = colour; }
    QTcpSocket* gameConnection() const;
    // The seat the server gave this player (16 hexadecimal digits), sent
    // first on the game connection so our server knows whose it is; empty
    // for a server that gives none.
    void setGameTicket(const QString& ticket) { gameTicket = ticket; }

    // How the network game's link stands: not (yet) up, open, or ended by
    // the opponent's departure or by the loss of the connection. Once ended,
    // the game takes no more drops; a new game starts over at None.
    enum class Link { None, Open, OpponentLeft, Lost };
    Link gameLink() const { return link; }

signals:
    // Every repaint ends with it, so the window's side column follows the board.
    void up();
    void passEnable();

private slots:
    void donneesRecues();
    void connecte();
    void deconnecte();
    void erreurSocket(QAbstractSocket::SocketError erreur);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // Lets the server see this player leave the network game, if any.
    void closeGameConnection();
    // The game connection dropped or failed while its game was on.
    void gameConnectionLost();
    // Whether the local player may drop anywhere now: in a network game only
    // in its turn, and never while the computer thinks.
    bool dropsOpen() const;
    // The drop rule: the local player may drop on (x, y) now. checkDrop is
    // this with its traces; painting asks it for every cell.
    bool mayDrop(int x, int y) const;
    // The computer's turn, from the guess (x, y): at Normal here and now
    // (computerTurnHere), at the other levels on a worker thread, whose
    // square computerTurnFound plays. After a drop the board is dumped.
    void computerTurn(int x, int y, bool afterDrop);
    // The computer's turn at Normal, on the window's thread.
    void computerTurnHere(int x, int y);
    // The worker's square (-1 for none), played the way computerTurnHere
    // plays its own.
    void computerTurnFound(int square, int value);
    // The drop rule for the cell and, when it allows it, the local player's
    // move and its hand-off: what a drop, a click and a key all do.
    bool placeDisc(const QRect& cell, bool carriesPiece);
    // The computer's turn when the moves played end on black's.
    void answerBlacksMove();
    // After undo, redo or any move: the marks follow the moves.
    void gameChanged();
    // Logical board coordinates to widget ones: the identity unless fitted.
    QTransform boardTransform() const;
    void updateLogical(const QRect& logical);
    void paintMarks(QPainter& painter);

    QRect offeredSquare;
    Game game;
    bool playbynetwork = false;
    // The colour whose received moves hand the turn to the local player.
    Colour opponentColor = Colour::White;
    // Until a game connection is made nobody may drop in a network game.
    bool canplay = false;
    // The local player's colour: black against the computer.
    Colour ownColor = Colour::Black;
    bool legalMovesMarked = false;
    bool lastMoveMarked = false;
    // The last disc the other side placed in this game, if any.
    std::optional<QPoint> theirLastMove;
    engine::Level strength = engine::Level::Normal;
    // What the pending threaded reply will need: its guess, and whether it
    // answers a drop.
    QPoint replyGuess;
    bool replyAfterDrop = false;
    bool clickPlay = false;
    bool fitToWindow = false;
    QPoint cursor{3, 3};
    std::optional<QPoint> hintCell;
    ServerConnection* gameServer = nullptr;
    QString gameTicket;
    Link link = Link::None;
};
