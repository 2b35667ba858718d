// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QMainWindow>
#include <QPixmap>

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

private:
    void buildMenus();
    void buildCentralArea();
    void loadPiece(const QString& fileName);
    void startNetworkGame(const QString& address, quint16 port, int colour, const QString& pieceFile);
    void showReport(const QString& message);
    // What ended the network game early, or nothing while it is on.
    QString departureText() const;
    void showDeparture();
    void applyOptions();
    QString turnText() const;

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
};
