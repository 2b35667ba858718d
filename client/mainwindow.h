// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/colour.h"

#include <QMainWindow>
#include <QPixmap>
#include <QTimer>

class MoveListPanel;
class Options;
class PiecesList;
class PavotWidget;
class QLabel;
class QPushButton;

// The client's window: menus, the side column (piece list, turn label, pass
// button, disc counts) and the board. Holds no game state beyond the piece image.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(QWidget* parent = nullptr);

    PavotWidget* boardWidget() const { return board; }
    PiecesList* pieces() const { return pieceList; }
    MoveListPanel* moveList() const { return movePanel; }
    // The game as a transcript file, and back; a failure is told in a
    // message box and changes nothing. True on success.
    bool saveGame(const QString& path);
    bool openGame(const QString& path);

public slots:
    void openImage(const QString& path = QString());
    void setupPuzzle();
    // Enables "Passer".
    void passPbutEn();

private slots:
    // After each board repaint: the counts, the turn label, the report at the end.
    void setUp();
    // "Passer": the turn goes to the other side.
    void push();
    // Opens the connection dialog of a network game.
    void SeConnecterA();
    void playnet();
    void setWhite(const QString& a, quint16 p);
    void setBlack(const QString& a, quint16 p);
    void playAgain();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildMenus();
    void buildOptionsMenu();
    void buildCentralArea();
    void loadPiece(const QString& fileName);
    void startNetworkGame(const QString& address, quint16 port, Colour colour, const QString& pieceFile);
    void showReport(const QString& message);
    // What ended the network game early, or nothing while it is on.
    QString departureText() const;
    void showDeparture();
    void applyOptions();
    QString turnText() const;
    // The local player has no move while the game goes on, so the turn
    // passes, by "Passer" or, with the option on, by itself.
    bool mustPass() const;
    void scheduleAutoPass();
    // The final score from the local player's side.
    QString resultText(int black, int white) const;

    Options* options = nullptr;
    QPixmap pieceImage;
    PiecesList* pieceList = nullptr;
    PavotWidget* board = nullptr;
    QLabel* blackTitleLabel = nullptr;
    QLabel* whiteTitleLabel = nullptr;
    QLabel* blackCountLabel = nullptr;
    QLabel* whiteCountLabel = nullptr;
    QLabel* turnLabel = nullptr;
    QPushButton* passButton = nullptr;
    // The end-of-game report waits for the repaint that found the full board
    // to finish; further repaints meanwhile must not open a second one.
    bool reportPending = false;
    // With the final position kept: the result shown in the turn label until
    // the board holds a game that goes on; also marks the game as reported.
    QString finalText;
    MoveListPanel* movePanel = nullptr;
    // The short notice before a pass the player could not avoid.
    QTimer autoPassTimer;
};
