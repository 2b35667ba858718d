// SPDX-License-Identifier: GPL-3.0-or-later
// Relay speed and memory: a real server window (offscreen) on a free
// loopback port. The server runs the GUI event loop on the main thread; the
// clients are plain non-blocking sockets driven from a second thread, so
// neither side waits on the other's CPU. Every relayed move is checked: a
// lost or altered move, or one of another game, fails the run.
//
//   BM_RelayGames/N        N games at once (100, or 1000 with --full), each of
//                          two players with a dialog and a board connection
//                          as our client has, paired one after the other and
//                          seated by ticket. Each game plays random legal
//                          games, a move as soon as the opponent's board has
//                          the last one, until 20 (--full: 120) moves per game
//                          have gone. Counters: moves_per_s in total;
//                          server_cpu_us_per_move, client_cpu_us_per_move,
//                          each side's thread CPU time per move (the two
//                          sides share the machine's cores, and others too);
//                          server_kernel_share, the part of the server's in
//                          the kernel (its reads, writes and polls);
//                          rtt_p50_us, rtt_p99_us from a move's sending to its
//                          copy back on the mover's board; rss_mb, the
//                          process's resident size at the end with every
//                          connection open, and rss_growth_mb since the
//                          server started.
//   BM_RelayFloodMemory    A one-game server with four connections, one of
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

#include "server/fenserveur.h"
#include "qtbench.h"
#include "protocol/frame.h"
#include "protocol/messages.h"
#include "server/relay.h"
#include "engine/board.h"

#include <QApplication>
#include <QEventLoop>
#include <QLoggingCategory>
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
#include <random>
#include <sys/epoll.h>
#include <sys/resource.h>
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

// Set when a run fails: a lost or altered move fails the whole run, so a
// smoke run catches it.
bool failed = false;

// Every text in a run of bytes received, as ASCII; what is left of a partial
// frame stays in `in`.
void takeFrames(std::string& in, std::vector<std::string>& texts)
{
    size_t at = 0;
    while (in.size() - at >= 2) {
        const size_t length = (size_t(uchar(in[at])) << 8) | uchar(in[at + 1]);
        if (in.size() - at - 2 < length)
            break;
        std::string text;
        for (size_t i = at + 2 + 4 + 1; i < at + 2 + length; i += 2)
            text += in[i];
        texts.push_back(std::move(text));
        at += 2 + length;
    }
    in.erase(0, at);
}

// Reads texts from fd until it has `count` of them; empty on time out.
std::vector<std::string> readTexts(int fd, size_t count)
{
    std::vector<std::string> texts;
    std::string in;
    const auto deadline = Clock::now() + Patience;
    char chunk[4096];
    while (texts.size() < count && Clock::now() < deadline) {
        pollfd p{fd, POLLIN, 0};
        ::poll(&p, 1, 100);
        const ssize_t n = ::recv(fd, chunk, sizeof chunk, MSG_DONTWAIT);
        if (n > 0)
            in.append(chunk, size_t(n));
        takeFrames(in, texts);
    }
    return texts.size() == count ? texts : std::vector<std::string>();
}

// CPU time of the calling thread so far, in seconds, and the part of it
// spent in the kernel: the server's share of the run apart from the
// clients', whatever else the machine does.
struct CpuTime
{
    double total = 0;
    double kernel = 0;
};

CpuTime threadCpu()
{
    rusage usage{};
    ::getrusage(RUSAGE_THREAD, &usage);
    const auto seconds = [](const timeval& t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
    return {seconds(usage.ru_utime) + seconds(usage.ru_stime), seconds(usage.ru_stime)};
}

bool sendText(int fd, const QString& text)
{
    const QByteArray frame = Frame::encode(text);
    return ::send(fd, frame.constData(), size_t(frame.size()), MSG_NOSIGNAL) == frame.size();
}

// One connection of a game as the players see it: 0 and 1 the black and white
// dialogs, 2 and 3 the black and white boards.
struct End
{
    int fd = -1;
    int match = 0;
    int role = 0;
    std::string in;
    quint64 hash = 0; // of every move received, in order
    int count = 0;
    std::string sent; // a board's last move, until its own copy is back
    Clock::time_point sentAt;
};

// One game: both players share the position, since the relay delivers the
// same moves to both; the bench checks that it does.
struct Match
{
    Board board;
    Colour toMove = Colour::White;
    std::string last; // the move on its way
    quint64 hash = 0; // of every move sent, in order
    int count = 0;
    std::mt19937 random;
};

quint64 mix(quint64 hash, const std::string& text)
{
    for (char c : text)
        hash = hash * 1099511628211ULL + uchar(c);
    return hash * 31 + 7;
}

struct GameRun
{
    std::vector<End> ends;
    std::vector<Match> matches;
    std::vector<double> rtts; // microseconds
    int moves = 0;
    int target = 0;
    double seconds = 0;
    double cpuSeconds = 0; // of the client thread

    // Pairs the players of game g one after the other, as people would, and
    // seats their boards with the tickets the server gave them.
    std::string open(quint16 port, int games)
    {
        matches.resize(size_t(games));
        for (int g = 0; g < games; ++g) {
            Match& m = matches[size_t(g)];
            m.random = std::mt19937(unsigned(g));
            int fds[4];
            fds[0] = connectTo(port);
            if (fds[0] < 0 || !sendText(fds[0], Message::Black) || readTexts(fds[0], 1).empty())
                return "black was not registered";
            fds[1] = connectTo(port);
            if (fds[1] < 0 || !sendText(fds[1], Message::White))
                return "white could not ask";
            const std::vector<std::string> black = readTexts(fds[0], 2);
            const std::vector<std::string> white = readTexts(fds[1], 2);
            if (black.empty() || white.empty())
                return "the game did not begin";
            for (int board : {2, 3}) {
                fds[board] = connectTo(port);
                const std::string& ticket = board == 2 ? black[0] : white[0];
                if (fds[board] < 0 || !sendText(fds[board], QString::fromStdString(ticket)))
                    return "a board could not connect";
            }
            // Seated once the server answers with the ticket, as our board waits.
            for (int board : {2, 3}) {
                const std::vector<std::string> echo = readTexts(fds[board], 1);
                if (echo.empty() || echo[0] != (board == 2 ? black[0] : white[0]))
                    return "a board was not seated";
            }
            for (int role = 0; role < 4; ++role) {
                End e;
                e.fd = fds[role];
                e.match = g;
                e.role = role;
                ends.push_back(std::move(e));
            }
        }
        return {};
    }

    void close()
    {
        for (const End& e : ends)
            ::close(e.fd);
        ends.clear();
    }

    // The player to move picks a random legal move, or passes.
    void play(int g)
    {
        Match& m = matches[size_t(g)];
        if (moves >= target) {
            m.last.clear();
            return;
        }
        // The next game begins with whoever is next, so the two boards keep
        // taking turns.
        if (m.board.gameOver())
            m.board.reset();
        int legal[64];
        int n = 0;
        for (int square = 0; square < 64; ++square) {
            if (m.board.discsTurned(square / 8, square % 8, m.toMove) > 0)
                legal[n++] = square;
        }
        int x = -1;
        int y = -1;
        if (n > 0) {
            const int square = legal[m.random() % unsigned(n)];
            x = square / 8;
            y = square % 8;
            m.board.playMove(x, y, m.toMove, true);
        }
        m.last = Message::moveText(x, y, m.toMove).toStdString();
        m.hash = mix(m.hash, m.last);
        ++m.count;
        ++moves;
            End& mover = ends[size_t(g) * 4 + 2 + index(m.toMove)];
        mover.sent = m.last;
        mover.sentAt = Clock::now();
        sendText(mover.fd, QString::fromStdString(m.last));
        m.toMove = opponent(m.toMove);
    }

    // Plays until `target` moves have been sent and every connection has all
    // of its game's moves.
    std::string run()
    {
        const int poller = ::epoll_create1(0);
        for (size_t i = 0; i < ends.size(); ++i) {
            epoll_event event{};
            event.events = EPOLLIN;
            event.data.u64 = i;
            ::epoll_ctl(poller, EPOLL_CTL_ADD, ends[i].fd, &event);
        }
        const auto start = Clock::now();
        const double cpuStart = threadCpu().total;
        auto moved = start;
        for (size_t g = 0; g < matches.size(); ++g)
            play(int(g));
        std::vector<epoll_event> events(256);
        std::vector<std::string> texts;
        char chunk[1 << 14];
        std::string error;
        while (error.empty()) {
            int inFlight = 0;
            for (const Match& m : matches)
                inFlight += !m.last.empty();
            if (inFlight == 0 && delivered())
                break;
            if (Clock::now() - moved > Patience)
                error = "moves lost: " + std::to_string(inFlight) + " games stalled after " + std::to_string(moves);
            const int ready = ::epoll_wait(poller, events.data(), int(events.size()), 100);
            if (ready > 0)
                moved = Clock::now();
            for (int r = 0; r < ready && error.empty(); ++r) {
                End& e = ends[events[size_t(r)].data.u64];
                const ssize_t n = ::recv(e.fd, chunk, sizeof chunk, MSG_DONTWAIT);
                if (n == 0 || (n < 0 && errno != EAGAIN && errno != EINTR))
                    error = "the server closed a player";
                if (n <= 0)
                    continue;
                e.in.append(chunk, size_t(n));
                texts.clear();
                takeFrames(e.in, texts);
                for (const std::string& text : texts)
                    error = error.empty() ? take(e, text) : error;
            }
        }
        seconds = std::chrono::duration<double>(Clock::now() - start).count();
        cpuSeconds = threadCpu().total - cpuStart;
        ::close(poller);
        for (const End& e : ends) {
            const Match& m = matches[size_t(e.match)];
            if (error.empty() && e.hash != m.hash)
                error = "a connection missed or got moves of another game";
        }
        return error;
    }

    // Every connection has as many moves as its game sent.
    bool delivered() const
    {
        return std::all_of(ends.begin(), ends.end(),
                           [this](const End& e) { return e.count == matches[size_t(e.match)].count; });
    }

    // A move arrives: the mover's own copy ends a round trip, the
    // opponent's board's lets the opponent move.
    std::string take(End& e, const std::string& text)
    {
        Match& m = matches[size_t(e.match)];
        e.hash = mix(e.hash, text);
        ++e.count;
        if (e.role < 2)
            return {};
        if (!e.sent.empty() && text == e.sent) {
            // Before the opponent's answer, on this connection.
            rtts.push_back(std::chrono::duration<double, std::micro>(Clock::now() - e.sentAt).count());
            e.sent.clear();
            return {};
        }
        if (text != m.last || std::size_t(e.role - 2) != index(m.toMove))
            return "a board got a move that was not its game's";
        play(e.match);
        return {};
    }
};

// Each game plays random legal games (again from the start when one ends)
// until this many moves per game have been relayed: few in the smoke run,
// two games' worth with --full.
int movesPerGame = 20;

void BM_RelayGames(benchmark::State& state)
{
    const int games = int(state.range(0));
    for (auto _ : state) {
        Relay::Limits limits;
        limits.games = games;
        FenServeur server(0, QHostAddress(QHostAddress::LocalHost), limits);
        const long startKb = statusKb("VmRSS");
        GameRun run;
        run.target = games * movesPerGame;
        std::string error = drive([&] { return run.open(server.listener()->serverPort(), games); });
        // The server's event loop runs on this thread.
        const CpuTime serverStart = threadCpu();
        if (error.empty())
            error = drive([&] { return run.run(); });
        const CpuTime serverEnd = threadCpu();
        const double serverCpu = serverEnd.total - serverStart.total;
        const long residentKb = statusKb("VmRSS");
        run.close();
        if (error.empty() && server.relay()->gameCount() != games)
            error = "not every game began";
        if (!error.empty()) {
            state.SkipWithError(error.c_str());
            failed = true;
            return;
        }
        std::sort(run.rtts.begin(), run.rtts.end());
        state.SetIterationTime(run.seconds);
        state.counters["moves_per_s"] = double(run.moves) / run.seconds;
        state.counters["rtt_p50_us"] = run.rtts[run.rtts.size() / 2];
        state.counters["rtt_p99_us"] = run.rtts[run.rtts.size() * 99 / 100];
        state.counters["server_cpu_us_per_move"] = serverCpu * 1e6 / run.moves;
        state.counters["server_kernel_share"] = (serverEnd.kernel - serverStart.kernel) / serverCpu;
        state.counters["client_cpu_us_per_move"] = run.cpuSeconds * 1e6 / run.moves;
        state.counters["rss_mb"] = double(residentKb) / 1024;
        state.counters["rss_growth_mb"] = double(residentKb - startKb) / 1024;
    }
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
    const QByteArray move = Frame::encode(Message::moveText(1, 1, Colour::Black) + QString(8000, u'x'));
    const QByteArray junk(1 << 16, 'j'); // never read by the server, so not even frames
    const QByteArray marker = Frame::encode(Message::moveText(7, 7, Colour::White));
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

BENCHMARK(BM_RelayFloodMemory)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

// The per-move traces stay in the server; here they would only measure the
// terminal.
void silent(QtMsgType, const QMessageLogContext&, const QString&) {}

} // namespace

int main(int argc, char** argv)
{
    // As the server program does: Qt's own dispatcher costs less per socket.
    if (!qEnvironmentVariableIsSet("QT_NO_GLIB"))
        qputenv("QT_NO_GLIB", "1");
    // --full: the figures, 1000 games; without it a smoke run of 100.
    const bool full = argc > 1 && std::strcmp(argv[argc - 1], "--full") == 0;
    if (full) {
        --argc;
        movesPerGame = 120;
    }
    benchmark::RegisterBenchmark("BM_RelayGames", BM_RelayGames)
        ->Arg(full ? 1000 : 100)
        ->Iterations(1)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond);
    const int status = runQtBenchmarks(
        argc, argv,
        [] {
            qInstallMessageHandler(silent);
            QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false"));
            return std::string();
        });
    return status != 0 || failed ? 1 : 0;
}
