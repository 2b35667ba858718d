// SPDX-License-Identifier: GPL-3.0-or-later
// One repaint of the board, pictures read as every repaint reads them, with
// the legal-move rings on: at its fixed size, and fitted to a small and a
// large window. Run it with QT_SCALE_FACTOR=2 for a screen at 200%.
//
//   BM_Repaint/fit/side   fit 0: the fixed 640 x 640 board; fit 1: the board
//                         fitted to a side x side widget. Counter:
//                           device_px   device pixels on a side

#include "board/pavotwidget.h"
#include "qtbench.h"

#include <QDir>
#include <QPixmap>

static void BM_Repaint(benchmark::State& state)
{
    PavotWidget board;
    board.showMarks(true, true);
    board.setFitToWindow(state.range(0) != 0);
    if (state.range(0) != 0)
        board.resize(int(state.range(1)), int(state.range(1)));
    QPixmap target(board.size() * board.devicePixelRatioF());
    target.setDevicePixelRatio(board.devicePixelRatioF());
    for (auto _ : state) {
        board.render(&target);
        benchmark::DoNotOptimize(target);
    }
    state.counters["device_px"] = double(target.width());
}
BENCHMARK(BM_Repaint)->Args({0, 640})->Args({1, 320})->Args({1, 1000})->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    return runQtBenchmarks(argc, argv, [] {
        // The pictures lie beside the programs.
        QDir::setCurrent(QCoreApplication::applicationDirPath());
        return std::string();
    });
}
