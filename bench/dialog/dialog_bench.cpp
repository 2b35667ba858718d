// SPDX-License-Identifier: GPL-3.0-or-later
// The connection dialog under a flood of relayed moves. Once a network game
// begins the dialog stays alive, hidden, and logs every text its connection
// receives, on the window's own event loop. Here a real dialog (offscreen)
// connects through its own form to a loopback server that plays the relay:
// it grants black, starts the game, then writes N move frames back to back.
//
//   BM_DialogFlood/N   the time runs from the first write until the dialog
//                      has taken every frame. Counters:
//                        frames_per_s   frames taken per second
//                        stall_ms       longest gap between ticks of a 5 ms
//                                       timer: how long the window froze
//                        rss_growth_MB  resident memory kept once the flood
//                                       is taken, dialog still alive
//                        log_entries    entries in the log at the end

#include "network/dialognetwork.h"
#include "qtbench.h"
#include "protocol/frame.h"
#include "protocol/messages.h"

#include <QApplication>
#include <QEventLoop>
#include <QPushButton>
#include <QSpinBox>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <malloc.h>
#include <memory>
#include <string>
#include <sys/ioctl.h>

namespace {

using Clock = std::chrono::steady_clock;
// A lost frame must fail the run, not hang it.
constexpr int PatienceMs = 120'000;
bool failed = false;

// Resident set size in MB.
double residentMB()
{
    return double(statusKb("VmRSS")) / 1024.0;
}

// Bytes still in the kernel on either end of a loopback connection.
int kernelQueued(QTcpSocket* socket, unsigned long request)
{
    int queued = 0;
    if (::ioctl(int(socket->socketDescriptor()), request, &queued) != 0)
        return -1;
    return queued;
}

// Runs the event loop until `done` holds (checked after every event source
// the caller wires to `check`) or the patience runs out.
struct Waiter
{
    QEventLoop loop;
    std::function<bool()> done;
    bool timedOut = false;

    void check()
    {
        if (done())
            loop.quit();
    }
    bool run(std::function<bool()> condition)
    {
        done = std::move(condition);
        if (done())
            return true;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [this] { check(); });
        poll.start(1);
        QTimer::singleShot(PatienceMs, &loop, [this] {
            timedOut = true;
            loop.quit();
        });
        loop.exec();
        return !timedOut && done();
    }
};

QString move(int k)
{
    return Message::moveText(k % 8, (k / 8) % 8, (k / 64) % 2 ? Colour::White : Colour::Black);
}

QByteArray moves(int count)
{
    QByteArray bytes;
    bytes.reserve(qsizetype(count) * 26);
    for (int k = 0; k < count; ++k)
        bytes += Frame::encode(move(k));
    return bytes;
}

QString lastLine(QTextEdit* log)
{
    return log->document()->lastBlock().text();
}

struct Result
{
    double seconds = 0;
    double stallMs = 0;
    double rssGrowthMB = 0;
    int entries = 0;
};

// One whole run: a fresh dialog and server, the game started, the flood.
// Returns an error text, empty on success.
std::string flood(const QByteArray& batch, const QString& lastText, Result& result)
{
    QTcpServer server;
    if (!server.listen(QHostAddress(QHostAddress::LocalHost), 0))
        return "server not listening";

    auto dialog = std::make_unique<DialogNetwork>();
    auto* port = dialog->findChild<QSpinBox*>(QStringLiteral("serveurPort"));
    auto* button = dialog->findChild<QPushButton*>(QStringLiteral("boutonConnexion"));
    auto* log = dialog->findChild<QTextEdit*>(QStringLiteral("listeMessages"));
    auto* client = dialog->findChild<QTcpSocket*>();
    if (!port || !button || !log || !client)
        return "the dialog's form lacks a widget";
    dialog->show();
    port->setValue(server.serverPort());
    QMetaObject::invokeMethod(button, "click");

    // The relay's side of the handshake: the colour request, BLACK granted,
    // then the game begins and the dialog hides itself.
    Waiter accepted;
    if (!accepted.run([&] { return server.hasPendingConnections(); }))
        return "the dialog did not connect";
    QTcpSocket* relay = server.nextPendingConnection();
    const QByteArray request = Frame::encode(Message::Black);
    Waiter asked;
    if (!asked.run([&] { return relay->bytesAvailable() >= request.size(); })
        || relay->readAll() != request)
        return "the dialog did not ask for black";
    relay->write(Frame::encode(Message::Black));
    relay->write(Frame::encode(Message::GameBeginBlack));
    Waiter begun;
    if (!begun.run([&] { return !dialog->isVisible(); }))
        return "the game did not begin";

    // Memory given back by earlier runs is returned first, so the growth is
    // this run's alone.
    malloc_trim(0);
    const double rssBefore = residentMB();

    // Every frame is taken once nothing is left anywhere on the way and the
    // log shows the last one: the dialog handles all complete frames of a
    // read at once, so empty buffers mean none is pending.
    auto takenAll = [&] {
        return relay->bytesToWrite() == 0 && kernelQueued(relay, TIOCOUTQ) == 0
            && kernelQueued(client, FIONREAD) == 0 && client->bytesAvailable() == 0
            && lastLine(log) == lastText;
    };

    Waiter taken;
    auto lastTick = Clock::now();
    double stall = 0;
    auto tick = [&] {
        const auto now = Clock::now();
        stall = std::max(stall, std::chrono::duration<double, std::milli>(now - lastTick).count());
        lastTick = now;
    };
    QTimer heartbeat;
    heartbeat.setTimerType(Qt::PreciseTimer);
    QObject::connect(&heartbeat, &QTimer::timeout, [&] {
        tick();
        taken.check();
    });
    // Connected after the dialog's own slot, so it sees the frames handled.
    QObject::connect(client, &QTcpSocket::readyRead, [&] { taken.check(); });
    QObject::connect(relay, &QTcpSocket::bytesWritten, [&] { taken.check(); });

    const auto start = Clock::now();
    lastTick = start;
    heartbeat.start(5);
    relay->write(batch);
    const bool ok = taken.run(takenAll);
    const auto end = Clock::now();
    tick(); // a freeze that ends the run counts too
    heartbeat.stop();
    if (!ok)
        return "timed out: frames lost";

    result.seconds = std::chrono::duration<double>(end - start).count();
    result.stallMs = stall;
    result.rssGrowthMB = residentMB() - rssBefore;
    result.entries = log->document()->blockCount();
    return {};
}

void BM_DialogFlood(benchmark::State& state)
{
    const int count = int(state.range(0));
    const QByteArray batch = moves(count);
    const QString lastText = move(count - 1);
    double seconds = 0;
    std::int64_t frames = 0;
    Result worst;
    for (auto _ : state) {
        Result result;
        const std::string error = flood(batch, lastText, result);
        if (!error.empty()) {
            state.SkipWithError(error.c_str());
            failed = true;
            return;
        }
        state.SetIterationTime(result.seconds);
        seconds += result.seconds;
        frames += count;
        worst.stallMs = std::max(worst.stallMs, result.stallMs);
        worst.rssGrowthMB = std::max(worst.rssGrowthMB, result.rssGrowthMB);
        worst.entries = std::max(worst.entries, result.entries);
    }
    state.counters["frames_per_s"] = double(frames) / seconds;
    state.counters["stall_ms"] = worst.stallMs;
    state.counters["rss_growth_MB"] = worst.rssGrowthMB;
    state.counters["log_entries"] = worst.entries;
}

BENCHMARK(BM_DialogFlood)->Arg(50000)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    const int status = runQtBenchmarks(argc, argv, [] {
        // Fonts, text layout and socket machinery are set up once by a short
        // run, so the first measured run does not count them as its growth.
        Result warmUp;
        return flood(moves(500), move(499), warmUp);
    });
    return status != 0 || failed ? 1 : 0;
}
