// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/game.h"

#include <QDebug>
#include <QRandomGenerator>
#include <QtConcurrent/QtConcurrentRun>

Game::Game(QObject* parent)
    : QObject(parent)
    , last(snapshot())
{
    worker.setMaxThreadCount(1);
    worker.setExpiryTimeout(-1);
    connect(&watcher, &QFutureWatcher<Outcome>::finished, this, &Game::finished);
}

Game::~Game()
{
    cancelSearch();
}

int Game::playMove(int x, int y, Colour colour, bool apply)
{
    if (apply && x == -1 && y == -1) {
        // A pass counts only when it is forced and the game goes on.
        if (!model.hasLegalMove(colour) && model.hasLegalMove(opponent(colour)))
            record({x, y, colour}, snapshot());
        return 0;
    }
    const Snapshot before = snapshot();
    const int turned = model.playMove(x, y, colour, apply);
    if (apply && turned > 0)
        record({x, y, colour}, before);
    return turned;
}

int Game::computerTurnHere(int& x, int& y)
{
    const int value = model.computerSearch(x, y);
    if (traceOutput)
        std::fputs(searchTrace(model.lines()).c_str(), traceOutput);
    playComputerSquare(QPoint(x, y));
    return value;
}

void Game::playComputerSquare(std::optional<QPoint> square)
{
    if (square && playMove(square->x(), square->y(), Colour::White, true) > 0)
        return;
    qDebug("Erreur : negamax renvoie un coup illegal\n");
    playMove(-1, -1, Colour::White, true);
}

void Game::reset()
{
    cancelSearch();
    model.reset();
    history.clear();
    current = 0;
    last = snapshot();
    emit changed();
}

std::vector<Game::Played> Game::moves() const
{
    std::vector<Played> out;
    for (std::size_t i = 0; i < current; ++i)
        out.push_back(history[i].move);
    return out;
}

bool Game::canUndo(Colour colour) const
{
    for (std::size_t i = current; i > 0; --i)
        if (history[i - 1].move.colour == colour)
            return true;
    return false;
}

bool Game::undo(Colour colour)
{
    for (std::size_t i = current; i > 0; --i) {
        if (history[i - 1].move.colour != colour)
            continue;
        cancelSearch();
        current = i - 1;
        restore(history[current].before);
        emit changed();
        return true;
    }
    return false;
}

bool Game::redo(Colour colour)
{
    if (current == history.size())
        return false;
    cancelSearch();
    std::size_t next = current + 1;
    while (next < history.size() && history[next].move.colour != colour)
        ++next;
    current = next;
    restore(current < history.size() ? history[current].before : last);
    emit changed();
    return true;
}

bool Game::replay(const std::vector<Played>& moves)
{
    Game trial;
    for (const Played& m : moves) {
        const std::size_t before = trial.current;
        trial.playMove(m.x, m.y, m.colour, true);
        if (trial.current == before)
            return false; // an illegal move, or a pass while that side could move
    }
    cancelSearch();
    history = trial.history;
    current = trial.current;
    last = trial.last;
    restore(trial.snapshot());
    emit changed();
    return true;
}

void Game::startReply(engine::Level level, Colour colour)
{
    run(level, colour, Search::Reply);
}

void Game::startHint(Colour colour)
{
    run(engine::Level::Master, colour, Search::Hint);
}

void Game::cancelSearch()
{
    if (stopFlag)
        stopFlag->store(true);
    stopFlag.reset();
    search = Search::None;
    ++serial;
}

Game::Snapshot Game::snapshot() const
{
    return {model.discs(Colour::Black), model.discs(Colour::White), model.lastMoveX, model.lastMoveY};
}

void Game::restore(const Snapshot& s)
{
    model.setBitboards(s.black, s.white);
    model.lastMoveX = s.lastX;
    model.lastMoveY = s.lastY;
}

void Game::record(const Played& move, const Snapshot& before)
{
    cancelSearch();
    history.resize(current);
    const bool repeatedPass = move.isPass() && current > 0 && history[current - 1].move.isPass()
                              && history[current - 1].move.colour == move.colour;
    if (!repeatedPass && history.size() < MaxHistory) {
        history.push_back({move, before});
        current = history.size();
    }
    last = snapshot();
    emit changed();
}

void Game::run(engine::Level level, Colour colour, Search kind)
{
    cancelSearch();
    stopFlag = std::make_shared<std::atomic<bool>>(false);
    search = kind;
    const unsigned mine = serial;
    const std::uint64_t own = model.discs(colour);
    const std::uint64_t other = model.discs(opponent(colour));
    const std::uint64_t salt = QRandomGenerator::global()->generate64();
    const std::shared_ptr<const std::atomic<bool>> stop = stopFlag;
    watcher.setFuture(QtConcurrent::run(&worker, [=] {
        return Outcome{mine, engine::think(level, own, other, *stop, salt)};
    }));
}

void Game::finished()
{
    // A finished signal of a future that has since been replaced is not ours.
    if (!watcher.future().isFinished() || watcher.future().resultCount() == 0)
        return;
    const Outcome outcome = watcher.result();
    if (outcome.serial != serial)
        return; // cancelled since it started
    const Search kind = search;
    search = Search::None;
    stopFlag.reset();
    if (kind == Search::Reply)
        emit replied(outcome.choice.square, outcome.choice.value);
    else
        emit hinted(outcome.choice.square);
}
