// SPDX-License-Identifier: GPL-3.0-or-later
// The board's side of a network game: its game connection to the server,
// the moves it sends and the moves it receives.
#include "pavotwidget.h"

#include "messages.h"

#include <QDebug>
#include <QHostAddress>
#include <QMessageBox>
#include <QTcpSocket>

void PavotWidget::startNetworkPlay(bool playbynetwork, const QString& host, quint16 port)
{
    qDebug() << "playbynetwork" << playbynetwork;
    this->playbynetwork = playbynetwork;
    // Both players start from the start position, whatever this board held
    // before, and nobody moves until the game connection is up.
    game.reset();
    canplay = false;
    theirLastMove.reset();
    update();
    // An earlier game connection stays open; donneesRecues() tells them apart.
    gameSocket = new QTcpSocket(this);
    gameSocket->setReadBufferSize(Frame::ReadAhead);
    gameSocket->connectToHost(QHostAddress(host), port, QIODevice::ReadWrite);
    connect(gameSocket, &QTcpSocket::readyRead, this, &PavotWidget::donneesRecues);
    connect(gameSocket, &QTcpSocket::connected, this, &PavotWidget::connecte);
    connect(gameSocket, &QTcpSocket::disconnected, this, &PavotWidget::deconnecte);
    connect(gameSocket, &QTcpSocket::errorOccurred, this, &PavotWidget::erreurSocket);
    reader = Frame::Reader();
}

void PavotWidget::connecte()
{
    if (sender() != gameSocket)
        return;
    if (ownColor == Black) {
        opponentColor = White;
        canplay = false;
    } else if (ownColor == White) {
        opponentColor = Black;
        canplay = true;
    }
    update();
    QMessageBox box(this);
    box.setText(QStringLiteral("Le joueur blanc commence."));
    box.exec();
}

void PavotWidget::sendMove(int column, int row, int colour)
{
    const QString text = Message::moveText(column, row, colour);
    if (gameSocket && gameSocket->isWritable())
        gameSocket->write(Frame::encode(text));
    qDebug() << text;
}

void PavotWidget::donneesRecues()
{
    auto* socket = qobject_cast<QTcpSocket*>(sender());
    if (!socket)
        return;
    if (socket != gameSocket) {
        // A connection of a network game this board has left: its moves
        // belong to that game, not to this board's position. Drain it so it
        // never stalls.
        socket->readAll();
        return;
    }
    for (const QString& text : reader.readAll(socket))
        playReceivedMove(text);
}

void PavotWidget::playReceivedMove(const QString& text)
{
    qDebug() << text;
    const std::optional<Message::Move> move = Message::parseMove(text);
    if (!move)
        return; // not a move: nothing to place and no turn to hand over
    // playMove refuses a square off the board (a pass) and any colour but
    // the two.
    const int turned = game.playMove(move->column, move->row, move->colour, true);
    if (move->colour == opponentColor) {
        canplay = true;
        // Only their disc is marked: a pass places none.
        if (turned > 0)
            theirLastMove = QPoint(move->column, move->row);
    }
    update();
}

void PavotWidget::deconnecte()
{
    // A game whose opponent is gone simply stops; "&Restart" leads back to a
    // game against the computer.
}

void PavotWidget::erreurSocket(QAbstractSocket::SocketError)
{
    // The connection dialog reports socket trouble; the board stays silent.
}
