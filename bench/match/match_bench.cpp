// SPDX-License-Identifier: GPL-3.0-or-later
// The computer's levels against each other: each level against the next one
// down and against the plain negamax search ("Normal"), from varied openings, each
// played twice with the colours swapped. Prints the score of every pair, the
// mean, p99 and slowest reply of every level against its budget, and how often
// each level finds a best move in endgames whose exact values the solver gives.
//
//   match_bench [options]       the full run: every pair, 100 openings, real budgets
//   match_bench N [options]     a smoke run: N games a pair, budgets scaled by 0.01
//   options:
//     --openings N   distinct openings, each played with both colours (games 2N)
//     --scale F      every clocked budget times F (Beginner and Normal have no clock)
//     --pairs LIST   comma-separated pairs such as expert-strong,master-normal
//     --endgames N   endgames to solve exactly (0: none)
//     --empties E    their empty squares: E to E + 4 (default 20)
//     --salt S       another set of openings and endgames
//     --evalerror N  N positions of E to E + 4 empty squares solved exactly: the
//                    mean absolute error, in discs, of the evaluations and of
//                    a depth-4 search with each
//
// Besides the levels, "first" is the stronger computer as first built (the
// hand-weighted evaluation, no selective search, tables cleared for each
// reply) at Strong's budget.
// Exits 1 when a level plays a refused square, 0 otherwise: the figures are for
// reading, not a pass or fail (the machine may be busy).

#include "engine/bitboard.h"
#include "engine/levels.h"
#include "engine/patterns.h"
#include "engine/strongsearch.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <numeric>
#include <random>
#include <set>
#include <string>
#include <vector>

using engine::Level;

namespace {

using Clock = std::chrono::steady_clock;

const char* const kNames[] = {"beginner", "normal", "strong", "expert", "master", "first"};
constexpr Level kLevels[] = {Level::Beginner, Level::Normal, Level::Strong, Level::Expert, Level::Master};
// The stronger computer as first built: not a level of the game.
const Level kFirst = static_cast<Level>(5);

// The pairs that make the claims: each level against the one below, and every
// level against the plain negamax search.
const char* const kAllPairs = "normal-beginner,strong-normal,expert-strong,expert-normal,master-expert,master-normal";

struct Options
{
    int games = 0; // a pair's games; 0: twice the openings
    int openings = 100;
    double scale = 1.0;
    std::string pairs = kAllPairs;
    int endgames = 20;
    int empties = 20;
    int evalError = 0;
    unsigned salt = 20240612u;
};

struct Position
{
    Bits black;
    Bits white;
    int toMove;
};

Position startPosition() { return {bitOf(3, 3) | bitOf(4, 4), bitOf(3, 4) | bitOf(4, 3), 0}; }

Bits& own(Position& p) { return p.toMove == 0 ? p.black : p.white; }
Bits& other(Position& p) { return p.toMove == 0 ? p.white : p.black; }

void play(Position& p, int sq)
{
    const Bits f = flips(own(p), other(p), sq);
    own(p) |= f | (Bits{1} << sq);
    other(p) &= ~f;
    p.toMove = 1 - p.toMove;
}

// Hands the move to the other side when the side to move cannot; false when
// neither can (the game is over).
bool settle(Position& p)
{
    if (legalMoves(own(p), other(p)))
        return true;
    p.toMove = 1 - p.toMove;
    return legalMoves(own(p), other(p)) != 0;
}

int randomMove(std::mt19937& rng, Position& p)
{
    std::vector<int> squares;
    for (Bits m = legalMoves(own(p), other(p)); m; m &= m - 1)
        squares.push_back(lowestSquare(m));
    return squares[rng() % squares.size()];
}

// Distinct openings of three to six random moves from the start.
std::vector<std::vector<int>> openings(std::mt19937& rng, int count)
{
    std::set<std::vector<int>> seen;
    std::vector<std::vector<int>> out;
    while (static_cast<int>(out.size()) < count) {
        Position p = startPosition();
        std::vector<int> moves;
        const int length = 3 + static_cast<int>(rng() % 4);
        while (static_cast<int>(moves.size()) < length && settle(p)) {
            moves.push_back(randomMove(rng, p));
            play(p, moves.back());
        }
        if (seen.insert(moves).second)
            out.push_back(moves);
    }
    return out;
}

struct Replies
{
    std::vector<double> ms;
};

struct Match
{
    int wins = 0;
    int draws = 0;
    int losses = 0;
    int discs = 0; // disc difference summed, from the first level's side
};

std::chrono::milliseconds scaled(Level level, double scale)
{
    const auto base = engine::budget(level == kFirst ? Level::Strong : level);
    const auto ms = static_cast<long>(static_cast<double>(base.count()) * scale + 0.5);
    return std::chrono::milliseconds(std::max(1L, ms));
}

engine::Choice reply(Level level, Bits own, Bits other, std::uint64_t salt, std::chrono::milliseconds budget)
{
    const std::atomic<bool> stop{false};
    if (level != kFirst)
        return engine::think(level, own, other, stop, salt, budget);
    engine::StrongSearch search(budget);
    engine::Choice c;
    c.square = search.choose(own, other);
    return c;
}

// One game of a (black when firstBlack) against b; false on a refused square.
bool game(Level a, Level b, bool firstBlack, const std::vector<int>& opening, std::uint64_t salt,
          const Options& opt, std::map<Level, Replies>& replies, Match& match)
{
    Position p = startPosition();
    for (const int sq : opening)
        play(p, sq);
    while (settle(p)) {
        const Level level = (p.toMove == 0) == firstBlack ? a : b;
        const auto start = Clock::now();
        const engine::Choice c = reply(level, own(p), other(p), salt++, scaled(level, opt.scale));
        replies[level].ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        if (c.square < 0 || !((legalMoves(own(p), other(p)) >> c.square) & 1)) {
            std::fprintf(stderr, "%s played the refused square %d\n", kNames[static_cast<int>(level)], c.square);
            return false;
        }
        play(p, c.square);
    }
    const int diff = (std::popcount(p.black) - std::popcount(p.white)) * (firstBlack ? 1 : -1);
    (diff > 0 ? match.wins : diff < 0 ? match.losses : match.draws) += 1;
    match.discs += diff;
    return true;
}

// The exact final disc difference for the side to move, passes included.
int exactValue(Bits p, Bits o)
{
    engine::SearchLimits limits;
    limits.tableBits = 20;
    engine::StrongSearch solver(limits);
    return solver.exactScore(p, o);
}

// Endgames from random games, from fewest to fewest + 4 empty squares, the
// side to move able to move.
std::vector<Position> endgames(std::mt19937& rng, int count, int fewest)
{
    std::vector<Position> out;
    while (static_cast<int>(out.size()) < count) {
        const int empties = fewest + static_cast<int>(out.size()) % 5;
        Position p = startPosition();
        while (settle(p) && std::popcount(~(p.black | p.white)) > empties)
            play(p, randomMove(rng, p));
        if (std::popcount(~(p.black | p.white)) == empties && settle(p))
            out.push_back(p);
    }
    return out;
}

double percentile(std::vector<double> v, double q)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, static_cast<std::size_t>(q * static_cast<double>(v.size())))];
}

void solveSet(const Options& opt, std::mt19937& rng)
{
    const std::vector<Position> set = endgames(rng, opt.endgames, opt.empties);
    std::printf("\nbest moves found in %d endgames of %d to %d empty squares (exact solver):\n", opt.endgames,
                opt.empties, opt.empties + 4);
    int found[5] = {};
    const std::atomic<bool> stop{false};
    double solveMs = 0;
    for (const Position& solved : set) {
        Position p = solved;
        const auto start = Clock::now();
        const int best = exactValue(own(p), other(p));
        solveMs += std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        std::map<int, int> valueOf; // square -> exact value, solved once
        for (int l = 0; l < 5; ++l) {
            const auto budget = scaled(kLevels[l], opt.scale);
            const engine::Choice c = engine::think(kLevels[l], own(p), other(p), stop, 7, budget);
            if (!valueOf.count(c.square)) {
                Position child = p;
                play(child, c.square);
                valueOf[c.square] = -exactValue(own(child), other(child));
            }
            found[l] += valueOf[c.square] == best ? 1 : 0;
        }
        std::fprintf(stderr, "endgame %d solved\n", static_cast<int>(&solved - set.data()) + 1);
    }
    for (int l = 0; l < 5; ++l)
        std::printf("  %-8s %d of %d (%.0f%%)\n", kNames[l], found[l], opt.endgames,
                    100.0 * found[l] / std::max(1, opt.endgames));
    std::printf("  exact solve of a position: mean %.0f ms\n", solveMs / std::max(1, opt.endgames));
}

// Mean absolute error in discs of values against exact scores. The hand-
// weighted evaluation has no unit: its values are first scaled by the factor
// that fits them best (least squares), which only flatters it.
double meanError(const std::vector<double>& values, const std::vector<int>& exact, bool fitScale)
{
    double scale = 1;
    if (fitScale) {
        double xy = 0;
        double xx = 0;
        for (std::size_t i = 0; i < values.size(); ++i) {
            xy += values[i] * exact[i];
            xx += values[i] * values[i];
        }
        scale = xx > 0 ? xy / xx : 1;
    }
    double sum = 0;
    for (std::size_t i = 0; i < values.size(); ++i)
        sum += std::abs(values[i] * scale - exact[i]);
    return sum / static_cast<double>(std::max<std::size_t>(1, values.size()));
}

void evaluationError(const Options& opt, std::mt19937& rng)
{
    std::string error;
    const auto weights = engine::patterns::Weights::load("ardesia.weights", error);
    if (!weights) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return;
    }
    const std::vector<Position> set = endgames(rng, opt.evalError, opt.empties);
    std::vector<int> exact;
    std::vector<double> values[4]; // hand static, hand depth 4, trained static, trained depth 4
    for (const Position& x : set) {
        Position p = x;
        exact.push_back(exactValue(own(p), other(p)));
        for (int k = 0; k < 4; ++k) {
            engine::SearchLimits limits;
            limits.weights = k >= 2 ? weights.get() : nullptr;
            engine::StrongSearch search(limits);
            const int v = search.valueAt(own(p), other(p), k % 2 == 0 ? 0 : 4);
            const bool finished = std::abs(v) >= engine::StrongSearch::kFinished;
            values[k].push_back(finished ? v / engine::StrongSearch::kFinished
                                : k >= 2 ? static_cast<double>(v) / engine::patterns::Weights::kUnit
                                         : v);
        }
        std::fprintf(stderr, "position %zu solved\n", exact.size());
    }
    std::printf("\nmean absolute error in discs on %d positions of %d to %d empty squares:\n", opt.evalError,
                opt.empties, opt.empties + 4);
    std::printf("  %-22s %8s %8s\n", "evaluation", "static", "depth 4");
    std::printf("  %-22s %8.2f %8.2f\n", "hand-weighted (scaled)", meanError(values[0], exact, true),
                meanError(values[1], exact, true));
    std::printf("  %-22s %8.2f %8.2f\n", "trained", meanError(values[2], exact, false),
                meanError(values[3], exact, false));
}

Level levelNamed(const std::string& name)
{
    for (int l = 0; l < 5; ++l)
        if (name == kNames[l])
            return kLevels[l];
    if (name == kNames[5])
        return kFirst;
    std::fprintf(stderr, "no level named %s\n", name.c_str());
    std::exit(2);
}

Options parse(int argc, char** argv)
{
    Options opt;
    int i = 1;
    if (argc > 1 && argv[1][0] != '-') {
        opt.games = std::max(2, std::atoi(argv[1]));
        opt.openings = (opt.games + 1) / 2;
        opt.scale = 0.01;
        opt.endgames = 0;
        i = 2;
    }
    for (; i + 1 < argc; i += 2) {
        const std::string key = argv[i];
        const char* value = argv[i + 1];
        if (key == "--openings")
            opt.openings = std::max(1, std::atoi(value));
        else if (key == "--scale")
            opt.scale = std::max(0.0001, std::atof(value));
        else if (key == "--pairs")
            opt.pairs = value;
        else if (key == "--endgames")
            opt.endgames = std::max(0, std::atoi(value));
        else if (key == "--empties")
            opt.empties = std::clamp(std::atoi(value), 1, 55);
        else if (key == "--evalerror")
            opt.evalError = std::max(0, std::atoi(value));
        else if (key == "--salt")
            opt.salt = static_cast<unsigned>(std::strtoul(value, nullptr, 10));
        else {
            std::fprintf(stderr, "unknown option %s\n", key.c_str());
            std::exit(2);
        }
    }
    if (opt.games == 0)
        opt.games = 2 * opt.openings;
    return opt;
}

} // namespace

int main(int argc, char** argv)
{
    const Options opt = parse(argc, argv);
    // The levels play with the trained evaluation, as in the game.
    // From the working folder, else from beside the program (the build's bin).
    std::string error;
    std::string beside = argv[0];
    beside = beside.substr(0, beside.find_last_of('/') + 1) + "ardesia.weights";
    if (!engine::patterns::install("ardesia.weights", error) && !engine::patterns::install(beside, error))
        std::fprintf(stderr, "%s: the levels use the hand-weighted evaluation\n", error.c_str());
    std::mt19937 rng(opt.salt);
    const std::vector<std::vector<int>> starts = openings(rng, opt.openings);
    std::map<Level, Replies> replies;
    std::printf("%d games a pair from %d openings, colours swapped; budgets times %g\n", opt.games, opt.openings,
                opt.scale);
    std::printf("%-16s %6s %5s %5s %5s %7s %9s\n", "pair", "games", "won", "drawn", "lost", "score", "discs/game");
    std::string pairs = opt.pairs + ",";
    for (std::size_t at = 0, comma; (comma = pairs.find(',', at)) != std::string::npos; at = comma + 1) {
        const std::string pair = pairs.substr(at, comma - at);
        const std::size_t dash = pair.find('-');
        if (dash == std::string::npos)
            continue;
        const Level a = levelNamed(pair.substr(0, dash));
        const Level b = levelNamed(pair.substr(dash + 1));
        Match match;
        for (int g = 0; g < opt.games; ++g) {
            const std::vector<int>& opening = starts[static_cast<std::size_t>(g / 2) % starts.size()];
            if (!game(a, b, g % 2 == 0, opening, 1000u * static_cast<unsigned>(g), opt, replies, match))
                return 1;
        }
        std::printf("%-16s %6d %5d %5d %5d %6.1f%% %9.1f\n", pair.c_str(), opt.games, match.wins, match.draws,
                    match.losses, 100.0 * (match.wins + 0.5 * match.draws) / opt.games,
                    static_cast<double>(match.discs) / opt.games);
        std::fflush(stdout);
    }
    std::printf("\n%-8s %9s %8s %8s %8s %8s %10s\n", "level", "budget", "replies", "mean", "p99", "slowest",
                "over+20ms");
    for (const auto& [level, r] : replies) {
        const bool clocked = level != Level::Normal && level != Level::Beginner;
        const auto budget = clocked ? scaled(level, opt.scale) : engine::budget(level);
        const double limit = static_cast<double>(budget.count()) + 20.0;
        const auto over = std::count_if(r.ms.begin(), r.ms.end(), [&](double ms) { return ms > limit; });
        std::printf("%-8s %7.0fms %8zu %6.1fms %6.1fms %6.1fms %10ld\n", kNames[static_cast<int>(level)], limit - 20,
                    r.ms.size(), std::accumulate(r.ms.begin(), r.ms.end(), 0.0) / static_cast<double>(r.ms.size()),
                    percentile(r.ms, 0.99), *std::max_element(r.ms.begin(), r.ms.end()), static_cast<long>(over));
    }
    if (opt.endgames > 0)
        solveSet(opt, rng);
    if (opt.evalError > 0)
        evaluationError(opt, rng);
    return 0;
}
