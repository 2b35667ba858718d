// SPDX-License-Identifier: GPL-3.0-or-later
// Feeds arbitrary bytes to the client as the server could send them: every
// text the frame reader takes out goes to the connection dialog and to the
// referee of both players' boards, and after each one the invariants the
// window relies on are checked.
//
// Input: one flags byte, then the bytes.
//   flags & 1    the bytes are texts, one per line (UTF-8), each sent as a
//                frame; otherwise they are the raw bytes of the connection
//   flags >> 1   delivered in pieces of this many bytes (0: all at once), so
//                that frames also arrive split

#include "engine/board.h"
#include "network/dialognetwork.h"
#include "protocol/frame.h"
#include "protocol/messages.h"
#include "network/receivedmove.h"
#include "support.h"

#include <QApplication>
#include <QTextEdit>

#include <cstdint>

namespace {

// The connection dialog. Building one takes a millisecond under the
// sanitizers, a hundred times what an input takes, so one is kept from input
// to input while its game has not begun: with its log emptied it handles
// texts as a new one would.
class Dialog
{
public:
    Dialog()
    {
        check(log != nullptr);
        // The game begins once, and only on the server's own start texts.
        QObject::connect(&dialog, &DialogNetwork::setBlack, [this] {
            ++starts;
            check(current == Message::GameBeginBlack);
        });
        QObject::connect(&dialog, &DialogNetwork::setWhite, [this] {
            ++starts;
            check(current == Message::GameBeginWhite);
        });
    }

    bool started() const { return starts > 0; }

    void clearLog()
    {
        log->clear();
        blocks = log->document()->blockCount();
    }

    void receive(const QString& text)
    {
        current = text;
        dialog.handleMessage(text);
        check(starts <= 1);
        // The log never grows past twice MaxLogEntries blocks, and shrinks
        // only when it drops its oldest entries, keeping the latest
        // MaxLogEntries (a block or more each).
        const int now = log->document()->blockCount();
        check(now <= 2 * DialogNetwork::MaxLogEntries);
        check(now >= blocks || now >= DialogNetwork::MaxLogEntries);
        blocks = now;
    }

private:
    DialogNetwork dialog;
    QTextEdit* log = dialog.findChild<QTextEdit*>(QStringLiteral("listeMessages"));
    QString current; // the text being handled
    int starts = 0;  // setBlack and setWhite so far
    int blocks = 1;  // in the log after the previous text
};

// One game as both players' boards see it. The server relays every text to
// both; each board's referee judges it, and the move one board takes from its
// opponent is the one the other played itself, so the two boards never part
// and exactly one player is to move until somebody leaves.
class Game
{
public:
    void receive(const QString& text)
    {
        if (left)
            return;
        const Verdict black = judge(Colour::Black, text);
        const Verdict white = judge(Colour::White, text);
        // The notice of a departure ends the game for both; any other text
        // is taken by at most one of them, the opponent of its colour.
        check((black == Verdict::OpponentLeft) == (white == Verdict::OpponentLeft));
        check(black != Verdict::Place || white == Verdict::Echo);
        check(white != Verdict::Place || black == Verdict::Echo);
        left = black == Verdict::OpponentLeft;
        for (Colour c : {Colour::Black, Colour::White})
            check(board(Colour::Black).discs(c) == board(Colour::White).discs(c));
    }

private:
    using Verdict = ReceivedMove::Verdict;

    Board& board(Colour colour) { return boards[index(colour)]; }

    Verdict judge(Colour colour, const QString& text)
    {
        const Colour mover = opponent(colour);
        const ReceivedMove::Judgement judgement = ReceivedMove::judge(board(colour), colour, toMove == mover, text);
        if (judgement.verdict == Verdict::Place) {
            // Played by the mover on its own board first, as a drop would.
            check(board(mover).playMove(judgement.column, judgement.row, mover, true) > 0);
            check(board(colour).playMove(judgement.column, judgement.row, mover, true) > 0);
        }
        if (judgement.verdict == Verdict::Pass)
            check(!board(mover).hasLegalMove(mover));
        if (judgement.verdict == Verdict::Place || judgement.verdict == Verdict::Pass)
            toMove = colour;
        return judgement.verdict;
    }

    Board boards[2];
    Colour toMove = Colour::White; // white moves first in a network game
    bool left = false;
};

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char*** argv)
{
    // Widgets without a display; Qt gets its own arguments, since it takes
    // out the ones it knows from what it is given.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int qtArgc = 1;
    static char* qtArgv[] = {(*argv)[0], nullptr};
    // Never destroyed: taken down among the other static objects at exit, it
    // leaves font caches unreachable, which the leak check would report.
    static QApplication* app = new QApplication(qtArgc, qtArgv);
    Q_UNUSED(app);
    qInstallMessageHandler(silent);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    const uint8_t flags = data[0];
    QByteArray bytes(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));
    if (flags & 1) {
        QByteArray frames;
        for (const QByteArray& line : bytes.split('\n'))
            frames += Frame::encode(QString::fromUtf8(line));
        bytes = frames;
    }
    const qsizetype piece = flags >> 1 ? flags >> 1 : qMax<qsizetype>(bytes.size(), 1);

    // The one kept at the end is never deleted, like the application.
    static Dialog* dialog = nullptr;
    if (!dialog || dialog->started()) {
        delete dialog;
        dialog = new Dialog;
    } else {
        dialog->clearLog();
    }
    Game game;
    FakeConnection connection;
    Frame::Reader reader;
    for (qsizetype at = 0; at < bytes.size(); at += piece) {
        connection.inbox += bytes.mid(at, piece);
        for (const QString& text : reader.readAll(&connection)) {
            dialog->receive(text);
            game.receive(text);
        }
    }
    return 0;
}
