// SPDX-License-Identifier: GPL-3.0-or-later
// Speed of the computer's reply: searchMove over a fixed corpus of positions
// from random games, openings to endgames. Reports positions visited per second
// and the slowest single reply, since the search blocks the window. The same
// for the stronger search, on a short budget (match_bench times it at its own).

#include "engine/board.h"
#include "engine/strongsearch.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <random>
#include <vector>

namespace {

struct Position
{
    Board board;
    Colour side;  // colour to move
    long nodes;   // positions searchMove visits over all its depths
};

// Every position of one random game drawn from a fixed start, each with the side to move; a side
// without a move passes, and the game stops when neither can move.
void playGame(std::mt19937& rng, std::vector<Position>& out)
{
    Board b;
    Colour side = Colour::Black;
    for (;;) {
        out.push_back({b, side, 0});
        std::vector<int> moves;
        for (int sq = 0; sq < 64; ++sq)
            if (b.discsTurned(sq / 8, sq % 8, side) > 0)
                moves.push_back(sq);
        if (moves.empty()) {
            if (!b.hasLegalMove(opponent(side)))
                return;
        } else {
            const int sq = moves[rng() % moves.size()];
            b.playMove(sq / 8, sq % 8, side, true);
        }
        side = opponent(side);
    }
}

// Sum of the node column of a search's table.
long tracedNodes(Position& p)
{
    Board b = p.board;
    int x = 0;
    int y = 0;
    b.searchMove(p.side, x, y);
    long total = 0;
    for (const SearchLine& line : b.lines())
        total += static_cast<long>(line.nodes);
    return total;
}

const std::vector<Position>& corpus()
{
    static const std::vector<Position> positions = [] {
        std::mt19937 rng(20240611u);
        std::vector<Position> all;
        for (int g = 0; g < 12; ++g)
            playGame(rng, all);
        // Every third position of the games: about 240 spread over every stage.
        std::vector<Position> picked;
        for (std::size_t i = 0; i < all.size(); i += 3)
            picked.push_back(all[i]);
        for (Position& p : picked)
            p.nodes = tracedNodes(p);
        return picked;
    }();
    return positions;
}

void BM_SearchMove(benchmark::State& state)
{
    const std::vector<Position>& positions = corpus();
    // Per position, its fastest run: the worst of these is the reply cost
    // without the pauses another process on the machine may cause.
    std::vector<double> fastest(positions.size(), 1e300);
    double slowest = 0;
    long nodes = 0;
    long replies = 0;
    for (auto _ : state) {
        for (std::size_t i = 0; i < positions.size(); ++i) {
            const Position& p = positions[i];
            Board b = p.board;
            int x = 3, y = 3;
            const auto start = std::chrono::steady_clock::now();
            const int v = b.searchMove(p.side, x, y);
            const auto end = std::chrono::steady_clock::now();
            benchmark::DoNotOptimize(v);
            const double us = std::chrono::duration<double, std::micro>(end - start).count();
            slowest = std::max(slowest, us);
            fastest[i] = std::min(fastest[i], us);
            nodes += p.nodes;
            ++replies;
        }
    }
    int stuck = 0;
    for (const Position& p : positions)
        stuck += p.board.hasLegalMove(p.side) ? 0 : 1;
    state.counters["positions"] = static_cast<double>(positions.size());
    state.counters["side_without_move"] = stuck;
    state.counters["nodes/s"] = benchmark::Counter(static_cast<double>(nodes), benchmark::Counter::kIsRate);
    state.counters["replies/s"] = benchmark::Counter(static_cast<double>(replies), benchmark::Counter::kIsRate);
    state.counters["slowest_us"] = slowest;
    state.counters["slowest_best_us"] = *std::max_element(fastest.begin(), fastest.end());
    // The same corpus at each position's fastest run: steadier on a busy machine.
    double bestTotal = 0;
    long corpusNodes = 0;
    for (std::size_t i = 0; i < positions.size(); ++i) {
        bestTotal += fastest[i];
        corpusNodes += positions[i].nodes;
    }
    state.counters["best_nodes/s"] = static_cast<double>(corpusNodes) / (bestTotal * 1e-6);
}

BENCHMARK(BM_SearchMove)->Unit(benchmark::kMillisecond);

// The stronger search with a budget of state.range(0) ms a reply: its speed,
// and how far past the budget its slowest reply ran.
void BM_StrongSearch(benchmark::State& state)
{
    const std::vector<Position>& positions = corpus();
    std::vector<std::pair<std::uint64_t, std::uint64_t>> discs; // side to move, other
    for (const Position& p : positions)
        discs.emplace_back(p.board.discs(p.side), p.board.discs(opponent(p.side)));
    const std::chrono::milliseconds budget(state.range(0));
    double slowest = 0;
    double total = 0;
    std::uint64_t nodes = 0;
    long replies = 0;
    for (auto _ : state) {
        for (const auto& [own, other] : discs) {
            engine::StrongSearch search(budget);
            const auto start = std::chrono::steady_clock::now();
            const int sq = search.choose(own, other);
            const auto end = std::chrono::steady_clock::now();
            benchmark::DoNotOptimize(sq);
            const double ms = std::chrono::duration<double, std::milli>(end - start).count();
            slowest = std::max(slowest, ms);
            total += ms;
            nodes += search.nodes();
            ++replies;
        }
    }
    state.counters["positions"] = static_cast<double>(discs.size());
    state.counters["budget_ms"] = static_cast<double>(budget.count());
    state.counters["nodes/s"] =
        benchmark::Counter(static_cast<double>(nodes), benchmark::Counter::kIsRate);
    state.counters["slowest_ms"] = slowest;
    state.counters["mean_ms"] = total / static_cast<double>(replies);
}

// A short budget keeps the smoke run short; the search's speed hardly depends on it.
BENCHMARK(BM_StrongSearch)->Arg(4)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
