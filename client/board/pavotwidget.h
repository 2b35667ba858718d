#pragma once

#include "board.h"
#include "frame.h"

#include <QAbstractSocket>
#include <QRect>
#include <QWidget>

class QTcpSocket;

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

    Board& model() { return game; }
    const Board& model() const { return game; }

    // The model's operations, as the rest of the window knows them.
    static QRect squareRect(const QPoint& p) { return Board::squareRect(p); }
    int playMove(int x, int y, int colour, bool apply) { return game.playMove(x, y, colour, apply); }
    int* discCount() { return game.discCount; }

    void resetGame();      // "&Restart": a new game against the computer
    void clearBoard();     // empties every cell after the end-of-game report
    void resetDropState(); // forgets the cell offered to a drag

    // "Passer": against the computer, the computer plays one white move; in a
    // network game, the turn goes to the opponent when we cannot move.
    void passTurn();
    // The computer plays one white move.
    void computerMove();
    // Black's disc dropped on (x, y) is played and the computer answers at once.
    void computerReply(int x, int y);
    void dumpBoard() const;

    // -1 when the local player may drop a disc on the cell now, 1 when not.
    int checkDrop(const QRect& cell);

    // Network game: open the game connection to the server.
    void startNetworkPlay(bool playbynetwork, const QString& host, quint16 port);
    void sendMove(int column, int row, int colour);
    // What one text received on the game connection does (the fuzz target
    // feeds it directly).
    void playReceivedMove(const QString& text);

    // The square of a pass: off the board, so any peer places nothing and,
    // the colour being its opponent's, takes the turn.
    static constexpr int PassSquare = -1;

    bool playByNetwork() const { return playbynetwork; }
    bool canPlay() const { return canplay; }
    int ownColour() const { return ownColor; }
    void setOwnColour(int colour) { ownColor = colour; }
    int opponentColour() const { return opponentColor; }
    QRect offered() const { return offeredSquare; }
    QTcpSocket* gameConnection() const { return gameSocket; }

signals:
    void up();
    void passEnable();

private slots:
    void donneesRecues();
    void connecte();
    void deconnecte();
    void erreurSocket(QAbstractSocket::SocketError erreur);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    QRect offeredSquare;
    Board game;
    bool playbynetwork = false;
    // Until a game connection is made nobody may drop in a network game.
    int opponentColor = White;
    bool canplay = false;
    int ownColor = Black;
    QTcpSocket* gameSocket = nullptr;
    Frame::Reader reader;
};
