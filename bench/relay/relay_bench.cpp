// SPDX-License-Identifier: GPL-3.0-or-later
// Relay speed and memory: a real server window (offscreen) on a free
// loopback port with four client connections, as in a running game. The
// server runs the GUI event loop on the main thread; the clients are plain
// non-blocking sockets driven from a second thread, so neither side waits on
// the other's CPU. Every relayed byte is checked: a lost or altered move
// fails the run.
//
//   BM_RelayThroughput/N   N moves sent back to back on one connection; the
//                          time runs until all four connections have every
//                          one of them. Counter moves_per_s.
//   BM_RelayRoundTrip/N    N moves one at a time: send, wait for the sender's
//                          own echo. Counters rtt_us (mean), rtt_p50_us,
//                          rtt_p99_us, rtt_max_us.
//   BM_RelayFloodMemory    A server of its own with four connections, one of
//                          which floods long moves and never reads what it is
//                          sent, and a fifth connection, waiting and never
//                          served, that sends all it can until the server has
//                          taken nothing from it for 200 ms. Counters:
//                          peak_rss_mb   the resident peak of this process,
//                                        which hosts the server: VmHWM, reset
//                                        through /proc/self/clear_refs as the
//                                        run starts (where the reset is
//                                        refused, the highest VmRSS sampled
//                                        every millisecond);
//                          rss_growth_mb that peak less the resident size at
//                                        the start;
//                          flooder_closed 1 when the server closed the flooder;
//                          move_after    1 when a move between the other three
//                                        still reached all of them afterwards;
//                          flood_mb, waiting_mb  what each of the two sent.
//                          Bound: peak_rss_mb under 150 whatever one peer
//                          sends. The server holds at most 4 x (64 KiB read +
//                          1 MiB backlog + one frame) and 16 x 64 KiB of what
//                          peers send, a few MB over the ~30 MB the process
//                          needs anyway. The run fails above the bound, or when
//                          the flooder is not closed or the move is lost. The
//                          flood stops at 300 MB sent or 1.5 GB resident, so a
//                          server that does not bound its memory fails the run
//                          rather than take the machine down.

#include "fenserveur.h"
#include "qtbench.h"
#include "frame.h"
#include "messages.h"
#include "relay.h"

#include <QApplication>
#include <QEventLoop>
#include <QTcpServer>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <arpa/inet.h>
#include <array>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <memory>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <string>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
constexpr int Connections = Relay::ConnectionsPerGame;
constexpr auto Patience = std::chrono::seconds(10);

// A non-blocking client end connected to the loopback port, -1 on failure.
// A receive buffer size, when given, is set before connecting so the window
// the peer sees is small from the start.
int connectTo(quint16 port, int receiveBuffer = 0)
{
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0)
        return -1;
    if (receiveBuffer > 0)
        ::setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &receiveBuffer, sizeof receiveBuffer);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return -1;
    }
    const int one = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
    return fd;
}

// Connects `count` client ends one at a time, each once the server
// counts the one before, so the server's list is in this order.
std::string connectPlayers(FenServeur& server, int* fds, int count, int firstReceiveBuffer = 0)
{
    for (int i = 0; i < count; ++i) {
        fds[i] = connectTo(server.listener()->serverPort(), i == 0 ? firstReceiveBuffer : 0);
        if (fds[i] < 0)
            return std::string("connect: ") + std::strerror(errno);
        const auto deadline = Clock::now() + Patience;
        while (server.relay()->connectionCount() != i + 1 && Clock::now() < deadline)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        if (server.relay()->connectionCount() != i + 1)
            return "server did not accept the connection";
    }
    return {};
}

// Runs the client side on a second thread while the server's event loop
// runs here. Returns the client side's error text, empty on success.
template <typename Work>
std::string drive(Work work)
{
    QEventLoop loop;
    std::string result;
    std::thread clients([&] {
        result = work();
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    loop.exec();
    clients.join();
    return result;
}

// The server and the four client ends, set up once for the speed benchmarks.
struct Rig
{
    std::unique_ptr<FenServeur> server;
    std::array<int, Connections> fds{};
    std::string error;

    bool open()
    {
        server = std::make_unique<FenServeur>(0, QHostAddress(QHostAddress::LocalHost), Relay::Limits{1, 60000});
        if (!server->listener()->isListening()) {
            error = "server not listening";
            return false;
        }
        error = connectPlayers(*server, fds.data(), Connections);
        return error.empty();
    }

    void close()
    {
        for (int fd : fds)
            if (fd > 0)
                ::close(fd);
        fds = {};
        server.reset();
    }

};

Rig rig;
// A lost or altered move fails the whole run, so a smoke run catches it.
bool failed = false;

// Sends `out` on the first connection and reads every connection until each
// has received exactly `expected`, comparing as it goes. `echoed` is set to
// the moment the sender itself had all of it back.
std::string exchange(const QByteArray& out, const QByteArray& expected,
                     std::array<qsizetype, Connections>& received, Clock::time_point* echoed = nullptr)
{
    qsizetype sent = 0;
    std::vector<char> chunk(1 << 16);
    const auto deadline = Clock::now() + Patience;
    for (;;) {
        bool done = sent == out.size();
        for (qsizetype r : received)
            done = done && r == expected.size();
        if (done)
            return {};
        if (Clock::now() > deadline)
            return "timed out: moves lost";

        std::array<pollfd, Connections> polls{};
        for (int i = 0; i < Connections; ++i) {
            polls[size_t(i)].fd = rig.fds[size_t(i)];
            polls[size_t(i)].events = POLLIN;
        }
        if (sent < out.size())
            polls[0].events |= POLLOUT;
        if (::poll(polls.data(), polls.size(), 1000) < 0 && errno != EINTR)
            return std::string("poll: ") + std::strerror(errno);

        if (polls[0].revents & POLLOUT) {
            const ssize_t n = ::send(rig.fds[0], out.constData() + sent, size_t(out.size() - sent), 0);
            if (n > 0)
                sent += n;
        }
        for (int i = 0; i < Connections; ++i) {
            if (!(polls[size_t(i)].revents & (POLLIN | POLLHUP | POLLERR)))
                continue;
            const ssize_t n = ::recv(rig.fds[size_t(i)], chunk.data(), chunk.size(), 0);
            if (n == 0)
                return "connection closed by the server";
            if (n < 0)
                continue;
            qsizetype& at = received[size_t(i)];
            if (at + n > expected.size()
                || std::memcmp(chunk.data(), expected.constData() + at, size_t(n)) != 0)
                return "a relayed move differs from the one sent";
            at += n;
            if (i == 0 && echoed && at == expected.size())
                *echoed = Clock::now();
        }
    }
}

QByteArray moves(int count, int offset)
{
    QByteArray bytes;
    bytes.reserve(qsizetype(count) * 26);
    for (int i = 0; i < count; ++i) {
        const int k = offset + i;
        bytes += Frame::encode(Message::moveText(k % 8, (k / 8) % 8, (k / 64) % 2));
    }
    return bytes;
}

void BM_RelayThroughput(benchmark::State& state)
{
    const int count = int(state.range(0));
    const QByteArray batch = moves(count, 0);
    double seconds = 0;
    std::int64_t relayed = 0;
    std::int64_t copies = 0;
    for (auto _ : state) {
        double elapsed = 0;
        const std::string error = drive([&]() -> std::string {
            std::array<qsizetype, Connections> received{};
            const auto start = Clock::now();
            std::string e = exchange(batch, batch, received);
            elapsed = std::chrono::duration<double>(Clock::now() - start).count();
            for (qsizetype r : received)
                copies += r / (batch.size() / count);
            return e;
        });
        if (!error.empty()) {
            state.SkipWithError(error.c_str());
            failed = true;
            return;
        }
        state.SetIterationTime(elapsed);
        seconds += elapsed;
        relayed += count;
    }
    state.counters["moves_per_s"] = double(relayed) / seconds;
    // Copies checked byte for byte; four per move when none is lost.
    state.counters["copies_per_move"] = double(copies) / double(relayed);
}

void BM_RelayRoundTrip(benchmark::State& state)
{
    const int count = int(state.range(0));
    std::vector<double> rtts;
    for (auto _ : state) {
        double elapsed = 0;
        const std::string error = drive([&]() -> std::string {
            for (int i = 0; i < count; ++i) {
                const QByteArray move = moves(1, i);
                std::array<qsizetype, Connections> received{};
                Clock::time_point echoed;
                const auto start = Clock::now();
                // The sender's own echo ends the round trip; the other three
                // copies are read and checked too, so nothing piles up.
                std::string e = exchange(move, move, received, &echoed);
                const double rtt = std::chrono::duration<double, std::micro>(echoed - start).count();
                if (!e.empty())
                    return e;
                rtts.push_back(rtt);
                elapsed += rtt / 1e6;
            }
            return {};
        });
        if (!error.empty()) {
            state.SkipWithError(error.c_str());
            failed = true;
            return;
        }
        state.SetIterationTime(elapsed);
    }
    if (rtts.empty())
        return;
    std::sort(rtts.begin(), rtts.end());
    double sum = 0;
    for (double r : rtts)
        sum += r;
    state.counters["rtt_us"] = sum / double(rtts.size());
    state.counters["rtt_p50_us"] = rtts[rtts.size() / 2];
    state.counters["rtt_p99_us"] = rtts[rtts.size() * 99 / 100];
    state.counters["rtt_max_us"] = rtts.back();
}

constexpr qint64 FloodCap = qint64(300) << 20;    // bytes sent by the two peers together
constexpr long ResidentCapKb = long(1536) << 10; // 1.5 GB
constexpr double BoundMb = 150;

// Sets VmHWM back to the current resident size; false where that is refused.
bool resetResidentPeak()
{
    std::ofstream clear("/proc/self/clear_refs");
    clear << "5";
    clear.flush();
    return bool(clear) && statusKb("VmHWM") <= statusKb("VmRSS") + 1024;
}

struct Flood
{
    bool closed = false; // the server closed the flooder
    qint64 flooded = 0;
    qint64 waited = 0;
    long peakKb = 0;
};

// fds: the flooder, three players that read all they get, and the waiting
// connection. Floods until the server has closed the flooder and stopped
// taking the waiting connection's bytes for a while (or a cap is reached),
// then sends one move from a player and reads until all three players have it.
std::string flood(const std::array<int, Connections + 1>& fds, Flood& result)
{
    const int flooder = fds[0];
    const int waiter = fds[Connections];
    const QByteArray move = Frame::encode(Message::moveText(1, 1, 0) + QString(8000, u'x'));
    const QByteArray junk(1 << 16, 'j'); // never read by the server, so not even frames
    const QByteArray marker = Frame::encode(Message::moveText(7, 7, 1));
    std::array<QByteArray, Connections - 1> seen; // each player's latest bytes
    std::array<bool, Connections - 1> arrived{};
    std::vector<char> chunk(1 << 16);
    bool markerSent = false;
    const auto deadline = Clock::now() + 3 * Patience;
    auto sampled = Clock::now();
    auto waiterMoved = Clock::now(); // the last time the waiting connection could send
    for (;;) {
        if (Clock::now() - sampled >= std::chrono::milliseconds(1)) {
            result.peakKb = std::max(result.peakKb, statusKb("VmRSS"));
            sampled = Clock::now();
        }
        if (std::all_of(arrived.begin(), arrived.end(), [](bool a) { return a; }))
            return {};
        if (Clock::now() > deadline)
            return markerSent ? "the move between players was lost" : "timed out flooding";
        const bool capped = result.flooded + result.waited >= FloodCap || result.peakKb >= ResidentCapKb;
        const bool waiterHeld = Clock::now() - waiterMoved > std::chrono::milliseconds(200);
        if (!markerSent && ((result.closed && waiterHeld) || capped)) {
            if (::send(fds[1], marker.constData(), size_t(marker.size()), MSG_NOSIGNAL) != marker.size())
                return "could not send the move between players";
            markerSent = true;
        }

        std::array<pollfd, Connections + 1> polls{};
        for (size_t i = 0; i < polls.size(); ++i)
            polls[i].fd = fds[i];
        for (size_t i = 1; i < Connections; ++i)
            polls[i].events = POLLIN;
        if (!capped) {
            polls[0].events = result.closed ? 0 : POLLOUT;
            polls[Connections].events = POLLOUT;
        }
        if (::poll(polls.data(), polls.size(), 1) < 0 && errno != EINTR)
            return std::string("poll: ") + std::strerror(errno);

        if (!result.closed && (polls[0].revents & (POLLERR | POLLHUP)))
            result.closed = true;
        if (!result.closed && (polls[0].revents & POLLOUT)) {
            const qsizetype at = result.flooded % move.size();
            const ssize_t n = ::send(flooder, move.constData() + at, size_t(move.size() - at),
                                     MSG_DONTWAIT | MSG_NOSIGNAL);
            if (n > 0)
                result.flooded += n;
            else if (n < 0 && errno != EAGAIN && errno != EINTR)
                result.closed = true;
        }
        if (polls[Connections].revents & POLLOUT) {
            const ssize_t n = ::send(waiter, junk.constData(), size_t(junk.size()),
                                     MSG_DONTWAIT | MSG_NOSIGNAL);
            if (n > 0) {
                result.waited += n;
                waiterMoved = Clock::now();
            }
        }
        for (size_t i = 1; i < Connections; ++i) {
            if (!(polls[i].revents & (POLLIN | POLLHUP | POLLERR)))
                continue;
            const ssize_t n = ::recv(fds[i], chunk.data(), chunk.size(), 0);
            if (n == 0)
                return "the server closed a player that reads";
            if (n < 0)
                continue;
            // Only the tail matters: the move is the last thing each player gets.
            QByteArray& tail = seen[i - 1];
            tail.append(chunk.data(), qsizetype(n));
            tail = tail.right(marker.size());
            arrived[i - 1] = markerSent && tail == marker;
        }
    }
}

void BM_RelayFloodMemory(benchmark::State& state)
{
    for (auto _ : state) {
        FenServeur server(0, QHostAddress(QHostAddress::LocalHost), Relay::Limits{1, 60000});
        std::array<int, Connections + 1> fds{};
        fds.fill(-1);
        // The flooder's small receive window backs its copies up in the server soon.
        std::string error = connectPlayers(server, fds.data(), Connections, 4096);
        fds[Connections] = connectTo(server.listener()->serverPort());
        if (error.empty() && fds[Connections] < 0)
            error = "the fifth connection failed";

        const long startKb = statusKb("VmRSS");
        const bool peakReset = resetResidentPeak();
        Flood result;
        result.peakKb = startKb;
        const auto start = Clock::now();
        if (error.empty())
            error = drive([&] { return flood(fds, result); });
        const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
        if (peakReset)
            result.peakKb = std::max(result.peakKb, statusKb("VmHWM"));
        for (int fd : fds)
            if (fd >= 0)
                ::close(fd);

        const double peakMb = double(result.peakKb) / 1024;
        char figures[200];
        std::snprintf(figures, sizeof figures, "peak %.0f MB, flood %.0f MB, waiting %.0f MB, move %s",
                      peakMb, double(result.flooded) / (1 << 20), double(result.waited) / (1 << 20),
                      error.empty() ? "delivered" : "lost");
        if (error.empty() && !result.closed)
            error = "the flooder was not closed";
        if (error.empty() && peakMb >= BoundMb)
            error = "over the memory bound";
        if (!error.empty()) {
            state.SkipWithError((error + " (" + figures + ")").c_str());
            failed = true;
            return;
        }
        state.SetIterationTime(seconds);
        state.counters["peak_rss_mb"] = peakMb;
        state.counters["rss_growth_mb"] = double(result.peakKb - startKb) / 1024;
        state.counters["flooder_closed"] = result.closed;
        state.counters["move_after"] = 1;
        state.counters["flood_mb"] = double(result.flooded) / (1 << 20);
        state.counters["waiting_mb"] = double(result.waited) / (1 << 20);
    }
}

BENCHMARK(BM_RelayThroughput)->Arg(20000)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RelayRoundTrip)->Arg(1000)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RelayFloodMemory)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

// The per-move traces stay in the server; here they would only measure the
// terminal.
void silent(QtMsgType, const QMessageLogContext&, const QString&) {}

} // namespace

int main(int argc, char** argv)
{
    const int status = runQtBenchmarks(
        argc, argv,
        [] {
            qInstallMessageHandler(silent);
            return rig.open() ? std::string() : rig.error;
        },
        [] { rig.close(); });
    return status != 0 || failed ? 1 : 0;
}
