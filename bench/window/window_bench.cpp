// SPDX-License-Identifier: GPL-3.0-or-later
// How long the window stays deaf after a drop, at each level: the longest
// gap between two turns of its event loop from the drop to the computer's
// disc on the board, and the time that reply took. A zero-interval timer
// marks every turn of the loop.
//
//   window_bench [--benchmark_filter=Normal]

#include "qtbench.h"

#include "mainwindow.h"
#include "board/pavotwidget.h"
#include "pieces/pieceslist.h"

#include <QDropEvent>
#include <QElapsedTimer>
#include <QMimeData>
#include <QSettings>
#include <QStandardPaths>
#include <QTimer>

#include <algorithm>
#include <memory>

namespace {

std::unique_ptr<MainWindow> window;

struct Measure
{
    double worstGapMs = 0;
    double replyMs = 0;
};

// One drop of black's disc on `square` of the start position, and the wait
// for white's disc.
Measure dropAndWait(PavotWidget* board, QPoint square)
{
    board->resetGame();
    QMimeData data;
    data.setData(PiecesList::mimeType(), PiecesList::encodePiece(QPixmap(80, 80), QPoint(0, 0)));
    QElapsedTimer clock;
    qint64 lastTurn = 0;
    qint64 worst = 0;
    QTimer turns;
    turns.setInterval(0);
    QObject::connect(&turns, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        worst = std::max(worst, now - lastTurn);
        lastTurn = now;
    });
    turns.start();
    clock.start();
    const QPoint at = PavotWidget::cellRect(square).center();
    QDropEvent drop(at, Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
    static_cast<QObject*>(board)->event(&drop);
    while (board->model().count(Colour::White) < 2 && clock.elapsed() < 30000)
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    const qint64 end = clock.nsecsElapsed();
    // The repaint that shows the reply belongs to it at every level.
    QCoreApplication::processEvents();
    worst = std::max(worst, clock.nsecsElapsed() - lastTurn);
    return {worst / 1e6, end / 1e6};
}

void BM_DropToReply(benchmark::State& state)
{
    PavotWidget* board = window->boardWidget();
    board->setLevel(engine::Level(state.range(0)));
    // Black's four first moves, in turn.
    const QPoint squares[] = {{2, 4}, {3, 5}, {4, 2}, {5, 3}};
    double worstGap = 0;
    double gapSum = 0;
    double replySum = 0;
    double slowestReply = 0;
    int n = 0;
    for (auto _ : state) {
        const Measure m = dropAndWait(board, squares[n % 4]);
        worstGap = std::max(worstGap, m.worstGapMs);
        slowestReply = std::max(slowestReply, m.replyMs);
        gapSum += m.worstGapMs;
        replySum += m.replyMs;
        ++n;
    }
    state.counters["blocked_max_ms"] = worstGap;
    state.counters["blocked_mean_ms"] = gapSum / std::max(n, 1);
    state.counters["reply_mean_ms"] = replySum / std::max(n, 1);
    state.counters["reply_max_ms"] = slowestReply;
}

// Beginner, Normal, Strong, Expert, Master: the slow ones a few times only.
BENCHMARK(BM_DropToReply)->Arg(0)->Iterations(20)->Unit(benchmark::kMillisecond)->Name("DropToReply/Beginner");
BENCHMARK(BM_DropToReply)->Arg(1)->Iterations(20)->Unit(benchmark::kMillisecond)->Name("DropToReply/Normal");
BENCHMARK(BM_DropToReply)->Arg(2)->Iterations(10)->Unit(benchmark::kMillisecond)->Name("DropToReply/Strong");
BENCHMARK(BM_DropToReply)->Arg(3)->Iterations(4)->Unit(benchmark::kMillisecond)->Name("DropToReply/Expert");
BENCHMARK(BM_DropToReply)->Arg(4)->Iterations(2)->Unit(benchmark::kMillisecond)->Name("DropToReply/Master");

} // namespace

int main(int argc, char** argv)
{
    // The traces of every drop and search would drown the table.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    return runQtBenchmarks(
        argc, argv,
        [] {
            // A player's own options must not change what is measured.
            QStandardPaths::setTestModeEnabled(true);
            QSettings().clear();
            window = std::make_unique<MainWindow>();
            window->show();
            window->boardWidget()->gameState().setTraceOutput(nullptr);
            return std::string();
        },
        [] { window.reset(); });
}
