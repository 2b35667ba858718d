// SPDX-License-Identifier: GPL-3.0-or-later
// The board's side of a network game: its game connection to the server,
// the moves it sends and the moves it receives.
#include "board/pavotwidget.h"

#include "protocol/messages.h"
#include "network/receivedmove.h"
#include "network/serverconnection.h"

#include <QDebug>
#include <QHostAddress>
#include <QMessageBox>

#include <utility>

namespace {
// How long a connection we leave may take to send what it still holds
// before it is cut: a server that never reads must not keep it for ever.
constexpr int LingerMs = 5000;
static_assert(PavotWidget::PassSquare == ReceivedMove::PassSquare, "the pass we send is the one we take");
} // namespace

void PavotWidget::startNetworkPlay(bool playbynetwork, const QString& host, quint16 port)
{
    qDebug() << "playbynetwork" << playbynetwork;
    // The previous game, if any, is left for good before this one starts;
    // its ticket was for its own seat.
    closeGameConnection();
    gameTicket.clear();
    this->playbynetwork = playbynetwork;
    // Both players start from the start position, whatever this board held
    // before, and nobody moves until the game connection is up.
    game.reset();
    canplay = false;
    theirLastMove.reset();
    update();
    gameServer = new ServerConnection(this);
    gameServer->notify(this, &PavotWidget::donneesRecues, &PavotWidget::connecte, &PavotWidget::deconnecte,
                       &PavotWidget::erreurSocket);
    gameServer->open(QHostAddress(host), port);
}

QTcpSocket* PavotWidget::gameConnection() const
{
    return gameServer ? gameServer->socket() : nullptr;
}

void PavotWidget::closeGameConnection()
{
    link = Link::None;
    // Nothing it still receives belongs to this board's game any more.
    if (ServerConnection* connection = std::exchange(gameServer, nullptr))
        connection->leave(LingerMs);
}

void PavotWidget::connecte()
{
    if (sender() != gameConnection())
        return;
    link = Link::Open;
    // Before anything else, so the server counts this connection in our seat.
    // The ticket stays until the server answers it (see donneesRecues).
    if (!gameTicket.isEmpty())
        gameServer->send(Message::Ticket + gameTicket);
    // White moves first.
    opponentColor = opponent(ownColor);
    canplay = ownColor == Colour::White;
    update();
    QMessageBox box(this);
    box.setText(tr("Le joueur blanc commence."));
    box.exec();
}

void PavotWidget::sendMove(int column, int row, Colour colour)
{
    const QString text = Message::moveText(column, row, colour);
    if (gameServer)
        gameServer->send(text);
    qDebug() << text;
}

void PavotWidget::donneesRecues()
{
    if (!gameServer || sender() != gameServer->socket())
        return;
    for (const QString& text : gameServer->takeTexts()) {
        // Until our server has read our ticket it may count this connection,
        // by its address, in another game of our host and relay that game's
        // moves here. It answers an accepted ticket with the same text; until
        // then nothing is ours. A server that gives no ticket sends no answer,
        // and then there is no ticket to wait for.
        if (!gameTicket.isEmpty()) {
            if (text == Message::Ticket + gameTicket)
                gameTicket.clear();
            else
                qDebug() << "before our seat" << text;
            continue;
        }
        playReceivedMove(text);
    }
}

void PavotWidget::playReceivedMove(const QString& text)
{
    qDebug() << text;
    using ReceivedMove::Verdict;
    const bool theirTurn = playbynetwork && link == Link::Open && !canplay;
    const ReceivedMove::Judgement judgement = ReceivedMove::judge(model(), ownColor, theirTurn, text);
    switch (judgement.verdict) {
    case Verdict::Place:
        game.playMove(judgement.column, judgement.row, opponent(ownColor), true);
        theirLastMove = QPoint(judgement.column, judgement.row);
        canplay = true;
        break;
    case Verdict::Pass:
        canplay = true;
        break;
    case Verdict::OpponentLeft:
        // Only a game that is on can be left; its end stays as it was.
        if (!playbynetwork || link != Link::Open)
            return;
        link = Link::OpponentLeft;
        canplay = false;
        break;
    case Verdict::Echo:
        return;
    case Verdict::Refused:
        qDebug() << "refused" << text << judgement.reason;
        return;
    }
    update();
}

void PavotWidget::gameConnectionLost()
{
    if (sender() != gameConnection() || !playbynetwork || link == Link::OpponentLeft || link == Link::Lost)
        return;
    link = Link::Lost;
    canplay = false;
    update();
}

void PavotWidget::deconnecte()
{
    gameConnectionLost();
}

void PavotWidget::erreurSocket(QAbstractSocket::SocketError)
{
    gameConnectionLost();
}
