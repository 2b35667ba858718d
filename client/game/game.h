// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "engine/board.h"
#include "engine/levels.h"
#include "engine/transcript.h"

#include <QFutureWatcher>
#include <QObject>
#include <QPoint>
#include <QThreadPool>

#include <atomic>
#include <cstdio>
#include <memory>
#include <optional>
#include <vector>

// The game in progress, without widgets: the board, every move played on it
// (for the move list and for undo and redo), and the computer's searches that
// run off the window's thread. The board view draws it and forwards to it.
class Game : public QObject
{
    Q_OBJECT

public:
    // One move as the list shows it and a transcript holds it.
    using Played = engine::PlayedMove;

    explicit Game(QObject* parent = nullptr);
    ~Game() override;

    Board& board() { return model; }
    const Board& board() const { return model; }

    // The board's rule. A legal move played with apply is recorded; (-1, -1)
    // with apply is colour passing, recorded only when colour has no move.
    int playMove(int x, int y, Colour colour, bool apply);
    // The plain computer turn on this thread: white plays from the guess
    // (x, y), which then holds the square tried. The search's table goes to
    // the trace output, and "Erreur : negamax renvoie un coup illegal\n" to
    // the debug channel when its square is refused. Returns the search's value.
    int computerTurnHere(int& x, int& y);
    // White plays the square the computer chose; when it chose none, or the
    // board refuses it, "Erreur : negamax renvoie un coup illegal\n" goes to
    // the debug channel and white passes (recorded only when forced).
    void playComputerSquare(std::optional<QPoint> square);
    // Where the search's table is printed: standard output, or nowhere.
    void setTraceOutput(std::FILE* out) { traceOutput = out; }
    // A new game from the start position: no moves, no search.
    void reset();
    void clearBoard() { model.clearBoard(); }
    int discsTurned(int x, int y, Colour colour) const { return model.discsTurned(x, y, colour); }
    bool hasLegalMove(Colour colour) const { return model.hasLegalMove(colour); }
    bool gameOver() const { return model.gameOver(); }
    int count(Colour colour) const { return model.count(colour); }
    std::optional<Colour> cell(int x, int y) const { return model.cell(x, y); }

    // The moves that lead to the board, oldest first (undone ones excluded).
    std::vector<Played> moves() const;
    // Takes back moves down to, and including, the last one of `colour`;
    // false when it has played none. Redo plays them again, up to the next
    // move of `colour` excluded (or to the end).
    bool undo(Colour colour);
    bool redo(Colour colour);
    bool canUndo(Colour colour) const;
    bool canRedo() const { return current < history.size(); }
    // Replaces the game with these moves from the start position; false, and
    // nothing changed, when one of them is not legal where it stands.
    bool replay(const std::vector<Played>& moves);

    // The computer's reply for colour at a threaded level, off this thread.
    // replied() follows unless the search is cancelled first, which any new
    // move, undo, redo, reset or another search does.
    void startReply(engine::Level level, Colour colour);
    // The best move for colour at the strongest level, for a hint: hinted()
    // follows unless cancelled like a reply.
    void startHint(Colour colour);
    void cancelSearch();
    bool thinking() const { return search == Search::Reply; }
    bool hinting() const { return search == Search::Hint; }

    // Moves and passes kept: a game has at most 60 moves and no two passes
    // of one colour in a row, so a peer's flood of passes stops here.
    static constexpr std::size_t MaxHistory = 128;

signals:
    // square = x * 8 + y, -1 when colour has no move.
    void replied(int square, int value);
    void hinted(int square);
    // The moves or the position changed otherwise than by a search.
    void changed();

private:
    struct Snapshot
    {
        std::uint64_t black;
        std::uint64_t white;
        int lastX;
        int lastY;
    };
    struct Entry
    {
        Played move;
        Snapshot before;
    };
    enum class Search { None, Reply, Hint };
    // What a worker hands back: the serial it was started under, its choice.
    struct Outcome
    {
        unsigned serial;
        engine::Choice choice;
    };

    Snapshot snapshot() const;
    void restore(const Snapshot& s);
    void record(const Played& move, const Snapshot& before);
    void run(engine::Level level, Colour colour, Search kind);
    void finished();

    Board model;
    std::FILE* traceOutput = stdout;
    std::vector<Entry> history;
    // Entries before this index are on the board; the rest can be redone.
    std::size_t current = 0;
    // The board after the last recorded move, for redo to the end.
    Snapshot last{};
    Search search = Search::None;
    // Each search has its own stop flag, shared with its worker; a result
    // arriving under another serial is stale and dropped.
    std::shared_ptr<std::atomic<bool>> stopFlag;
    unsigned serial = 0;
    // One thread of its own that stays: the search's tables, tens of MB at
    // the strongest level, are then faulted in once rather than at every
    // reply, which would stall the window's own allocations. Destroying the
    // pool waits for a cancelled search, which stops within milliseconds.
    QThreadPool worker;
    QFutureWatcher<Outcome> watcher;
};
