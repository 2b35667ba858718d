// Relay speed: a real server window (offscreen) on a free loopback port with
// four client connections, as in a running game. The server runs the GUI
// event loop on the main thread; the four clients are plain non-blocking
// sockets driven from a second thread, so neither side waits on the other's
// CPU. Every relayed byte is checked: a lost or altered move fails the run.
//
//   BM_RelayThroughput/N   N moves sent back to back on one connection; the
//                          time runs until all four connections have every
//                          one of them. Counter moves_per_s.
//   BM_RelayRoundTrip/N    N moves one at a time: send, wait for the sender's
//                          own echo. Counters rtt_us (mean), rtt_p50_us,
//                          rtt_p99_us, rtt_max_us.

#include "fenserveur.h"
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
constexpr int Connections = Relay::MaxConnections;
constexpr auto Patience = std::chrono::seconds(10);

// The server and the four client ends, set up once for all benchmarks.
struct Rig
{
    std::unique_ptr<FenServeur> server;
    std::array<int, Connections> fds{};
    std::string error;

    bool open()
    {
        server = std::make_unique<FenServeur>(0, QHostAddress(QHostAddress::LocalHost));
        if (!server->tcpServer->isListening()) {
            error = "server not listening";
            return false;
        }
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(server->tcpServer->serverPort());
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        for (int i = 0; i < Connections; ++i) {
            const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
            if (fd < 0 || ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
                error = std::string("connect: ") + std::strerror(errno);
                return false;
            }
            const int one = 1;
            ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
            ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
            fds[size_t(i)] = fd;
            // One at a time, so the server's list is in this order.
            const auto deadline = Clock::now() + Patience;
            while (server->relay()->connectionCount() != i + 1 && Clock::now() < deadline)
                QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
            if (server->relay()->connectionCount() != i + 1) {
                error = "server did not accept the connection";
                return false;
            }
        }
        return true;
    }

    void close()
    {
        for (int fd : fds)
            if (fd > 0)
                ::close(fd);
        fds = {};
        server.reset();
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
        const std::string error = rig.drive([&]() -> std::string {
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
        const std::string error = rig.drive([&]() -> std::string {
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

BENCHMARK(BM_RelayThroughput)->Arg(20000)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RelayRoundTrip)->Arg(1000)->UseManualTime()->Unit(benchmark::kMillisecond);

// The per-move traces stay in the server; here they would only measure the
// terminal.
void silent(QtMsgType, const QMessageLogContext&, const QString&) {}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    qInstallMessageHandler(silent);

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    if (!rig.open()) {
        std::fprintf(stderr, "relay_bench: %s\n", rig.error.c_str());
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    rig.close();
    return failed ? 1 : 0;
}
