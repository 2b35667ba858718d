// SPDX-License-Identifier: GPL-3.0-or-later
#include "server/gametable.h"

#include "protocol/messages.h"

#include <QDebug>
#include <QRandomGenerator>

#include <algorithm>

GameTable::GameTable(int maxGames, Send send, Close close)
    : maxGames(maxGames)
    , send(std::move(send))
    , close(std::move(close))
{
}

GameTable::~GameTable() = default;

QString GameTable::newTicket() const
{
    for (;;) {
        const quint64 bits = QRandomGenerator::system()->generate64();
        const QString ticket = Message::Ticket + QStringLiteral("%1").arg(bits, 16, 16, QChar(u'0'));
        if (!tickets.contains(ticket))
            return ticket;
    }
}

Game* GameTable::newGame()
{
    games.push_back(std::make_unique<Game>());
    return games.back().get();
}

// How a game connection finds its game.
//
// A ticket is exact: the server gives each player of a started game its own
// random ticket on its dialog connection, and a board that sends it first
// takes that seat (claim()). Our clients always do. The server answers an
// accepted ticket on that connection with the same text: before it, the
// connection may have been counted by its address in another game of the
// host and heard its moves, so our board takes nothing until the answer. A
// client that sends no ticket never hears one.
//
// A client that sends no ticket opens its board's connection to the same
// server right after its game began, and sends nothing on it until it moves.
// So a new connection is attributed, as it is accepted, to the oldest started
// game in which a player who asked for a colour from the same address has no
// board yet, and it hears that game's moves from the start. This is safe:
// - a game takes at most one board per seat, and only from its own players'
//   addresses, so two pairs on 127.0.0.1 that start one after the other each
//   fill their own game, the older first, in the order the boards arrive;
// - a connection attributed wrongly (a player's next dialog, say) asks for a
//   colour or shows a ticket before anything else, and then leaves the game
//   at once, freeing its place; it has only heard moves, which a dialog logs;
// - nothing is sent that the game would not send to its own boards.
void GameTable::accepted(QIODevice* connection, const QString& address)
{
    addresses.insert(connection, address);
    for (const auto& game : games) {
        const std::optional<Colour> colour = game->seatLacking(address);
        if (!colour)
            continue;
        Seat& seat = game->seat(*colour);
        seat.board = connection;
        seat.sure = false;
        members.insert(connection, game.get());
        return;
    }
}

void GameTable::unseatBoard(QIODevice* connection)
{
    Game* game = members.value(connection);
    if (!game)
        return;
    const std::optional<Colour> colour = game->boardSeat(connection);
    if (colour && !game->seat(*colour).sure) {
        game->seat(*colour).board = nullptr;
        members.remove(connection);
    }
}

void GameTable::requestColour(QIODevice* connection, Colour colour)
{
    Game* own = members.value(connection);
    if (own && own == forming) {
        // The waiting player asks again: registered again with that colour.
        // A forming game has no boards, so its members are its dialogs.
        if (const std::optional<Colour> was = own->dialogSeat(connection))
            std::swap(own->seat(*was), own->seat(colour));
        send(connection, Message::colourText(colour));
        return;
    }
    if (own) {
        // A board attributed by its address that is in fact a player's new
        // dialog leaves; seated players do not start other games from the
        // same connection.
        const std::optional<Colour> seat = own->boardSeat(connection);
        if (!seat || own->seat(*seat).sure)
            return;
        unseatBoard(connection);
    }

    if (forming) {
        const Colour first = forming->seat(Colour::Black).dialog ? Colour::Black : Colour::White;
        if (first == opponent(colour)) {
            start(*forming, connection, colour);
        } else {
            send(connection, Message::Err);
            qDebug() << "error";
        }
        return;
    }
    if (gameCount() >= maxGames) {
        // Every game taken: the request waits for one to end.
        waiting.removeIf([connection](const auto& w) { return w.first == connection; });
        waiting.append({connection, colour});
        return;
    }
    forming = newGame();
    Seat& seat = forming->seat(colour);
    seat.dialog = connection;
    seat.address = addresses.value(connection);
    members.insert(connection, forming);
    send(connection, Message::colourText(colour));
}

void GameTable::start(Game& game, QIODevice* second, Colour colour)
{
    forming = nullptr;
    game.started = true;
    game.seat(colour).dialog = second;
    game.seat(colour).address = addresses.value(second);
    members.insert(second, &game);
    // Black first, as the two start frames always go; each ticket just
    // before its player's start frame.
    for (Seat& seat : game.seats) {
        seat.ticket = newTicket();
        tickets.insert(seat.ticket, &game);
    }
    for (Colour c : {Colour::Black, Colour::White}) {
        const Seat& seat = game.seat(c);
        send(seat.dialog, seat.ticket);
        send(seat.dialog, c == Colour::Black ? Message::GameBeginBlack : Message::GameBeginWhite);
    }
    qDebug() << "The game begins";
}

bool GameTable::claim(QIODevice* connection, const QString& text)
{
    Game* game = tickets.value(text);
    if (!game)
        return false;
    const Colour colour = game->seat(Colour::Black).ticket == text ? Colour::Black : Colour::White;
    Seat& seat = game->seat(colour);
    Game* own = members.value(connection);
    // Only a connection that is nobody's yet, or a board seated by its address.
    const std::optional<Colour> ownSeat = own ? own->boardSeat(connection) : std::nullopt;
    const bool provisional = !own || (ownSeat && !own->seat(*ownSeat).sure);
    if (seat.ticketUsed || seat.left || !provisional)
        return false;

    QIODevice* before = seat.board;
    unseatBoard(connection);
    if (before && before != connection) {
        // Whoever the address put there goes to the other seat if it lacks a
        // board from the same address, or out of the game.
        Seat& other = game->seat(opponent(colour));
        members.remove(before);
        if (!other.board && !other.left && other.address == seat.address) {
            other.board = before;
            members.insert(before, game);
        }
    }
    seat.board = connection;
    seat.sure = true;
    seat.ticketUsed = true;
    members.insert(connection, game);
    send(connection, text);
    return true;
}

QList<QIODevice*> GameTable::audience(QIODevice* connection) const
{
    const Game* game = members.value(connection);
    return game ? game->connections() : QList<QIODevice*>();
}

bool GameTable::holds(QIODevice* connection) const
{
    const Game* game = members.value(connection);
    return game && (game->started || game == forming);
}

void GameTable::lost(QIODevice* connection)
{
    waiting.removeIf([connection](const auto& w) { return w.first == connection; });
    addresses.remove(connection);
    Game* game = members.take(connection);
    if (!game)
        return;
    if (game == forming) {
        // The waiting player went: its game never began.
        forming = nullptr;
        end(*game);
        return;
    }
    if (const std::optional<Colour> board = game->boardSeat(connection)) {
        Seat& seat = game->seat(*board);
        seat.board = nullptr;
        // Seated by address, the board is surely this player's when the other
        // plays from elsewhere.
        const bool sure = seat.sure || game->seat(opponent(*board)).address != seat.address;
        if (!seat.left)
            depart(*game, *board, sure);
        return;
    }
    if (const std::optional<Colour> dialog = game->dialogSeat(connection)) {
        Seat& seat = game->seat(*dialog);
        seat.dialog = nullptr;
        // Before its board came, the dialog was the player's only link.
        if (!seat.left && !seat.board && !seat.ticketUsed)
            depart(*game, *dialog, true);
    }
}

// The others hear that a player left as a move of the leaver's colour to an
// off-board square: a client that does not know the notice takes the turn
// and places nothing. A board seated by its address alone may be either
// player's when both play from one address: then both colours are told.
void GameTable::depart(Game& game, Colour colour, bool sure)
{
    game.seat(colour).left = true;
    const QList<QIODevice*> rest = game.connections();
    for (Colour c : {Colour::Black, Colour::White}) {
        if (sure && c != colour)
            continue;
        for (QIODevice* connection : rest)
            send(connection, Message::moveText(-2, -2, c));
    }
    if (game.over())
        end(game);
    else if (!game.abandoned.isValid())
        game.abandoned.start();
}

// A game that is over frees its places and closes what is left of it; a
// request that waited for a game is served now.
void GameTable::end(Game& game)
{
    const QList<QIODevice*> rest = game.connections();
    for (QIODevice* connection : rest)
        members.remove(connection);
    for (const Seat& seat : game.seats)
        tickets.remove(seat.ticket);
    games.erase(std::find_if(games.begin(), games.end(), [&game](const auto& g) { return g.get() == &game; }));
    for (QIODevice* connection : rest)
        close(connection);
    while (!waiting.isEmpty() && gameCount() < maxGames) {
        const auto [connection, colour] = waiting.takeFirst();
        requestColour(connection, colour);
    }
}

void GameTable::closeAbandoned(qint64 ms)
{
    std::vector<Game*> stale;
    for (const auto& game : games) {
        if (game->abandoned.isValid() && game->abandoned.hasExpired(ms))
            stale.push_back(game.get());
    }
    for (Game* game : stale)
        end(*game);
}
