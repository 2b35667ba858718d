// SPDX-License-Identifier: GPL-3.0-or-later
// Feeds arbitrary bytes to the client as the server could send them: every
// text the frame reader takes out goes to the connection dialog and to the
// board, and after each one the invariants the window relies on are checked.
//
// Input: one flags byte, then the bytes.
//   flags & 1    the bytes are texts, one per line (UTF-8), each sent as a
//                frame; otherwise they are the raw bytes of the connection
//   flags >> 1   delivered in pieces of this many bytes (0: all at once), so
//                that frames also arrive split

#include "dialognetwork.h"
#include "frame.h"
#include "messages.h"
#include "pavotwidget.h"
#include "support.h"

#include <QApplication>
#include <QTextEdit>

#include <cstdint>

namespace {

bool sameBoard(const Board& a, const Board& b)
{
    for (int x = 0; x < 8; ++x)
        for (int y = 0; y < 8; ++y)
            if (a.cell(x, y) != b.cell(x, y))
                return false;
    return a.count(Black) == b.count(Black) && a.count(White) == b.count(White);
}

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

void receiveMove(PavotWidget& board, const QString& text)
{
    const Board before = board.model();
    board.playReceivedMove(text);
    const Board& after = board.model();
    int cells[3] = {0, 0, 0};
    for (int x = 0; x < 8; ++x)
        for (int y = 0; y < 8; ++y)
            ++cells[after.cell(x, y)];
    // The window shows the counts; they must be what the board holds.
    check(board.model().count(Black) == cells[Black] && board.model().count(White) == cells[White]);
    // A pass names a square off the board: it places and turns nothing, and
    // neither does a colour other than the two.
    const std::optional<Message::Move> move = Message::parseMove(text);
    const bool offBoard = move && (move->column < 0 || move->column > 7 || move->row < 0 || move->row > 7);
    if (offBoard || (move && move->colour != Black && move->colour != White))
        check(sameBoard(before, after));
}

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
    PavotWidget board;
    FakeConnection connection;
    Frame::Reader reader;
    for (qsizetype at = 0; at < bytes.size(); at += piece) {
        connection.inbox += bytes.mid(at, piece);
        for (const QString& text : reader.readAll(&connection)) {
            dialog->receive(text);
            receiveMove(board, text);
        }
    }
    return 0;
}
