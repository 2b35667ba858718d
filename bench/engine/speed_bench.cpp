// SPDX-License-Identifier: GPL-3.0-or-later
// How fast the engine runs, in the figures a player's machine decides:
//   - the described search from the start to depth 10 (a fixed tree of
//     28,031,485 positions), in positions a second, on the copy the processor
//     was given (generic x86-64 or x86-64-v3);
//   - the exact solver on 20 positions of 16 and of 18 empty squares from
//     random games: the solver as first built, then the whole reply as the
//     levels run it (midgame iterations, win/loss/draw solve, exact solve with
//     stability cut-offs).

#include "engine/bitboard.h"
#include "engine/patterns.h"
#include "engine/search.h"
#include "engine/strongsearch.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <random>
#include <vector>

namespace {

void BM_DescribedSearchDepth10(benchmark::State& state)
{
    const Bits black = bitOf(3, 4) | bitOf(4, 3);
    const Bits white = bitOf(3, 3) | bitOf(4, 4);
    std::uint64_t nodes = 0;
    std::uint64_t tree = 0;
    for (auto _ : state) {
        int x = 0;
        int y = 0;
        tree = 0;
        benchmark::DoNotOptimize(engine::searchRoot(black, white, 0, 4, 10, x, y, tree));
        nodes += tree;
    }
    state.SetLabel(engine::searchFlavour());
    state.counters["tree"] = static_cast<double>(tree);
    state.counters["nodes/s"] = benchmark::Counter(static_cast<double>(nodes), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_DescribedSearchDepth10)->Unit(benchmark::kMillisecond)->MinTime(1.0);

struct Position
{
    Bits p;
    Bits o;
};

// Positions with `empties` empty squares from random games that a side to
// move can play in.
std::vector<Position> endgames(int empties, int count)
{
    std::mt19937_64 rng(static_cast<std::uint64_t>(empties) * 7919);
    std::vector<Position> out;
    while (static_cast<int>(out.size()) < count) {
        Position x{bitOf(3, 4) | bitOf(4, 3), bitOf(3, 3) | bitOf(4, 4)};
        while (popCount(~(x.p | x.o)) > empties) {
            Bits moves = legalMoves(x.p, x.o);
            if (!moves) {
                std::swap(x.p, x.o);
                moves = legalMoves(x.p, x.o);
                if (!moves)
                    break;
            }
            for (int k = static_cast<int>(rng() % static_cast<unsigned>(popCount(moves))); k > 0; --k)
                moves &= moves - 1;
            const int sq = lowestSquare(moves);
            const Bits f = flips(x.p, x.o, sq);
            x = {x.o ^ f, x.p | f | (Bits{1} << sq)};
        }
        if (popCount(~(x.p | x.o)) == empties && legalMoves(x.p, x.o))
            out.push_back(x);
    }
    return out;
}

// Arg 0: empty squares; arg 1: 0 the solver as first built, 1 a reply as the
// levels run it.
void BM_Solve(benchmark::State& state)
{
    const std::vector<Position> positions = endgames(static_cast<int>(state.range(0)), 20);
    engine::SearchLimits limits;
    limits.budget = std::chrono::hours(1);
    limits.solveEmpties = 64;
    limits.tableBits = 20;
    if (state.range(1) == 1) {
        static std::string error;
        static const auto weights = engine::patterns::Weights::load("ardesia.weights", error);
        limits.weights = weights.get();
        limits.winLossFirst = true;
        limits.estimateSolve = true;
    }
    double slowest = 0;
    std::uint64_t nodes = 0;
    for (auto _ : state) {
        for (const Position& x : positions) {
            engine::StrongSearch search(limits);
            const auto start = std::chrono::steady_clock::now();
            benchmark::DoNotOptimize(state.range(1) == 1 ? search.choose(x.p, x.o) : search.exactScore(x.p, x.o));
            const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
            slowest = std::max(slowest, ms);
            nodes += search.nodes();
        }
    }
    state.counters["slowest_ms"] = slowest;
    state.counters["nodes/s"] = benchmark::Counter(static_cast<double>(nodes), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_Solve)->Args({16, 0})->Args({16, 1})->Args({18, 0})->Args({18, 1})->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

BENCHMARK_MAIN();
