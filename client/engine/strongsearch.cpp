// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/strongsearch.h"

#include "engine/bitboard.h"

#include <algorithm>
#include <array>

using engine::StrongSearch;

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kInfinity = 1 << 30;
enum Bound : std::int8_t { kLower = 1, kUpper = 2, kExact = 3 };

// What a fail-soft value found with the window (alpha, beta) says.
std::int8_t bound(int value, int alpha, int beta)
{
    return value >= beta ? kLower : value <= alpha ? kUpper : kExact;
}

// Endgames of this many empty squares or fewer are solved once a midgame
// search of depth 4 has ordered the root; larger ones, up to the limit's
// solveEmpties, once it has also spent a twentieth of the budget, ordering the
// root better and leaving a fair move should the solve not finish, and has
// come within kSolveReach plies of the end: a solve costs about what the
// midgame search to the end would, so one tried sooner would not finish and
// would waste the time that deepening uses better.
constexpr int kEasyEmpties = 12;
constexpr int kSolveReach = 4;
// Near the end sorting moves costs more than the cuts it wins, and the hash
// table more than the positions it saves.
constexpr int kSortEmpties = 6;
constexpr int kHashEmpties = 8;

// The 4 x 4 quarters of the board (x < 4 or not, y < 4 or not) that hold an
// odd number of the squares of b. Folding the bytes of each half of the word,
// then the bits of each nibble, leaves each quarter's parity in bit 0, 4, 32
// or 36; one product then spreads each of those bits over its quarter.
Bits oddQuarters(Bits b)
{
    b ^= b >> 8;
    b ^= b >> 16;
    b ^= b >> 2;
    b ^= b >> 1;
    return (b & 0x0000001100000011ULL) * 0x0F0F0F0FULL;
}

constexpr Bits kNotY0 = ~0x0101010101010101ULL;
constexpr Bits kNotY7 = ~0x8080808080808080ULL;

// b and every square next to one of b.
Bits around(Bits b)
{
    const Bits c = b | ((b & kNotY7) << 1) | ((b & kNotY0) >> 1);
    return c | (c << 8) | (c >> 8);
}

// Each corner with its X-square (diagonal) and its two C-squares (along the
// edges): while the corner is empty, a disc there tends to hand it over.
struct Corner
{
    Bits corner, x, c;
};
constexpr Corner kCorners[4] = {
    {bitOf(0, 0), bitOf(1, 1), bitOf(1, 0) | bitOf(0, 1)},
    {bitOf(7, 0), bitOf(6, 1), bitOf(6, 0) | bitOf(7, 1)},
    {bitOf(0, 7), bitOf(1, 6), bitOf(0, 6) | bitOf(1, 7)},
    {bitOf(7, 7), bitOf(6, 6), bitOf(7, 6) | bitOf(6, 7)},
};
constexpr Bits kCornerSet = bitOf(0, 0) | bitOf(7, 0) | bitOf(0, 7) | bitOf(7, 7);

struct Weights
{
    int corner, xSquare, cSquare, mobility, frontier, disc;
};

// Early on mobility and few exposed discs matter, at the end the discs.
constexpr Weights kOpening{300, 120, 40, 28, 10, -4};
constexpr Weights kEnding{300, 60, 20, 20, 6, 24};

constexpr std::array<Weights, 65> makeWeights()
{
    std::array<Weights, 65> w{};
    for (int e = 0; e <= 64; ++e) {
        const int a = std::min(e, 60), b = 60 - a; // opening share a / 60
        auto mix = [&](int open, int end) { return (open * a + end * b) / 60; };
        w[e] = {mix(kOpening.corner, kEnding.corner), mix(kOpening.xSquare, kEnding.xSquare),
                mix(kOpening.cSquare, kEnding.cSquare), mix(kOpening.mobility, kEnding.mobility),
                mix(kOpening.frontier, kEnding.frontier), mix(kOpening.disc, kEnding.disc)};
    }
    return w;
}
constexpr std::array<Weights, 65> kWeights = makeWeights();

// For the side to move, in units far below StrongSearch::kFinished; a finished
// game is scored as such, so a search as deep as the empty squares is exact.
int evaluate(Bits p, Bits o)
{
    const int mine = popCount(legalMoves(p, o)), theirs = popCount(legalMoves(o, p));
    if (mine == 0 && theirs == 0)
        return (popCount(p) - popCount(o)) * StrongSearch::kFinished;
    const Bits empty = ~(p | o);
    const Weights& w = kWeights[static_cast<unsigned>(popCount(empty))];
    int v = w.corner * (popCount(p & kCornerSet) - popCount(o & kCornerSet));
    for (const Corner& c : kCorners) {
        if (empty & c.corner) {
            v += w.xSquare * (popCount(o & c.x) - popCount(p & c.x));
            v += w.cSquare * (popCount(o & c.c) - popCount(p & c.c));
        }
    }
    v += w.mobility * (mine - theirs);
    const Bits frontier = around(empty);
    v += w.frontier * (popCount(o & frontier) - popCount(p & frontier));
    v += w.disc * (popCount(p) - popCount(o));
    return std::clamp(v, 1 - StrongSearch::kFinished, StrongSearch::kFinished - 1);
}

// Static worth of a square for move ordering, symmetric in x, y and the diagonals.
constexpr int kRing[4][4] = {{20, -3, 11, 8}, {-3, -7, -4, 1}, {11, -4, 2, 2}, {8, 1, 2, -3}};
constexpr int squareOrder(int sq)
{
    const int x = sq >> 3, y = sq & 7;
    return kRing[x < 4 ? x : 7 - x][y < 4 ? y : 7 - y];
}

// Ordering score of the move on sq: few replies left to the opponent first,
// then few of the mover's discs next to empty squares.
int moveScore(Bits p, Bits o, int sq)
{
    const Bits f = flips(p, o, sq);
    const Bits replies = legalMoves(o ^ f, p | f | (Bits{1} << sq));
    return squareOrder(sq) - 32 * popCount(replies) - 4 * popCount(around(~(p | o)) & (p | f));
}

// Moves the best scored of list[i..n) to i.
template <typename Move>
void pickNext(Move* list, int i, int n)
{
    int top = i;
    for (int j = i + 1; j < n; ++j)
        if (list[j].score > list[top].score)
            top = j;
    std::swap(list[i], list[top]);
}

} // namespace

StrongSearch::StrongSearch(const SearchLimits& limits) : limits(limits)
{
    this->limits.tableBits = std::clamp(limits.tableBits, 8, 24);
}

StrongSearch::StrongSearch(std::chrono::milliseconds budget, std::uint64_t nodeLimit)
    : StrongSearch(SearchLimits{budget, SearchLimits{}.solveEmpties, SearchLimits{}.tableBits, nodeLimit, nullptr})
{
}

std::size_t StrongSearch::slot(Bits p, Bits o) const
{
    const Bits h = (p ^ (o * 0x9E3779B97F4A7C15ULL)) * 0xC2B2AE3D27D4EB4FULL;
    return static_cast<std::size_t>(h >> (64 - limits.tableBits));
}

// Each thread keeps its own tables from one reply to the next, and clears
// them: mapping fresh memory for each reply costs milliseconds, clearing it a
// fraction of one. Nothing else is shared, so searches on several threads at
// once never meet.
StrongSearch::Entry* StrongSearch::clearedTable(int which) const
{
    static thread_local std::vector<Entry> tables[2];
    std::vector<Entry>& t = tables[which];
    t.assign(std::size_t{1} << limits.tableBits, Entry{});
    return t.data();
}

bool StrongSearch::stopAsked() const
{
    return limits.stop && limits.stop->load(std::memory_order_relaxed);
}

bool StrongSearch::stop()
{
    // The flag and the clock are read every 1024 positions: a fraction of a
    // millisecond.
    if ((++visited & 1023) == 0) {
        flagged = stopAsked();
        if (flagged || (mayStop && (visited >= limits.nodeLimit || Clock::now() >= deadline)))
            halted = true;
    }
    return halted;
}

int StrongSearch::choose(std::uint64_t p, std::uint64_t o)
{
    const auto start = Clock::now();
    // A tenth of the budget kept back: the thread may be descheduled on a
    // busy machine, and the reply must not be late.
    deadline = start + limits.budget * 9 / 10;
    done.clear();
    flagged = stopAsked();
    halted = flagged;
    mayStop = false;
    rootMoves.clear();
    for (Bits moves = legalMoves(p, o); moves; moves &= moves - 1) {
        const int sq = lowestSquare(moves);
        rootMoves.push_back({sq, moveScore(p, o, sq)});
    }
    if (rootMoves.empty())
        return -1;
    if (halted)
        return rootMoves.front().square;
    std::stable_sort(rootMoves.begin(), rootMoves.end(),
                     [](const Move& a, const Move& b) { return a.score > b.score; });
    midTable = clearedTable(0);

    const int empties = popCount(~(p | o));
    int square = rootMoves.front().square;
    for (int depth = 1;; ++depth) {
        const std::uint64_t before = visited;
        int sq = square;
        const int v = rootSearch(p, o, depth, false, sq);
        if (halted)
            return square;
        square = sq;
        done.push_back({depth, visited - before, v, sq});
        mayStop = true;
        // A depth of every empty square ends every line: its value is exact. A
        // single move needs no search, but a small endgame still gets its value.
        if (depth >= empties || (rootMoves.size() == 1 && empties > kEasyEmpties))
            return square;
        const auto spent = Clock::now() - start;
        const bool solveNow =
            empties <= kEasyEmpties || (spent * 20 > limits.budget && depth + kSolveReach >= empties);
        if (depth >= 4 && empties <= limits.solveEmpties && solveNow)
            break;
        // The next depth costs a few times this one: it would not finish.
        if (spent * 2 > limits.budget)
            return square;
    }

    endTable = clearedTable(1);
    const std::uint64_t before = visited;
    int sq = square;
    const int v = rootSearch(p, o, empties, true, sq);
    if (!halted) {
        square = sq;
        done.push_back({empties, visited - before, v * kFinished, sq});
    }
    return square;
}

// Principal variation search over the root moves, best of the last depth
// first; exact, it solves to the end in disc differences.
int StrongSearch::rootSearch(Bits p, Bits o, int depth, bool exact, int& square)
{
    int alpha = -kInfinity;
    int bestIndex = 0;
    for (std::size_t i = 0; i < rootMoves.size(); ++i) {
        const int sq = rootMoves[i].square;
        const Bits f = flips(p, o, sq);
        const Bits np = o ^ f, no = p | f | (Bits{1} << sq);
        auto child = [&](int a, int b) {
            return exact ? -solve(np, no, depth - 1, -b, -a) : -search(np, no, depth - 1, -b, -a);
        };
        int v = i == 0 ? child(-kInfinity, kInfinity) : child(alpha, alpha + 1);
        if (i > 0 && v > alpha && !halted)
            v = child(alpha, kInfinity);
        if (halted)
            return 0;
        if (v > alpha) {
            alpha = v;
            bestIndex = static_cast<int>(i);
        }
    }
    // The best goes first for the next depth, the others keep their order.
    const auto best = rootMoves.begin() + bestIndex;
    square = best->square;
    std::rotate(rootMoves.begin(), best, best + 1);
    return alpha;
}

// Principal variation: the first move with the whole window, the others with
// a null one, searched again when they beat it. Fail-soft: the best value,
// even beyond (alpha, beta). Returns 0 once the search has halted.
template <typename Child>
int StrongSearch::bestReply(Bits p, Bits o, Move* list, int n, int alpha, int beta, int& bestSquare,
                            Child child)
{
    int best = -kInfinity;
    bestSquare = list[0].square;
    for (int i = 0; i < n; ++i) {
        pickNext(list, i, n);
        const int sq = list[i].square;
        const Bits f = flips(p, o, sq);
        const Bits np = o ^ f;
        const Bits no = p | f | (Bits{1} << sq);
        int v = i == 0 ? -child(np, no, -beta, -alpha) : -child(np, no, -alpha - 1, -alpha);
        if (i > 0 && v > alpha && v < beta && !halted)
            v = -child(np, no, -beta, -alpha);
        if (halted)
            return 0;
        if (v > best) {
            best = v;
            bestSquare = sq;
            alpha = std::max(alpha, v);
            if (alpha >= beta)
                break;
        }
    }
    return best;
}

int StrongSearch::search(Bits p, Bits o, int depth, int alpha, int beta)
{
    if (stop())
        return 0;
    if (depth <= 0)
        return evaluate(p, o);
    const Bits moves = legalMoves(p, o);
    if (!moves) {
        if (!legalMoves(o, p))
            return (popCount(p) - popCount(o)) * kFinished;
        return -search(o, p, depth, -beta, -alpha); // a pass
    }

    Entry& e = midTable[slot(p, o)];
    int hashMove = -1;
    if (e.p == p && e.o == o) {
        hashMove = e.move;
        if (e.depth >= depth
            && (e.bound == kExact || (e.bound == kLower && e.value >= beta)
                || (e.bound == kUpper && e.value <= alpha)))
            return e.value;
    }

    Move list[64];
    int n = 0;
    for (Bits m = moves; m; m &= m - 1) {
        const int sq = lowestSquare(m);
        const int score = sq == hashMove ? kInfinity
            : depth >= 3                 ? moveScore(p, o, sq)
                                         : squareOrder(sq);
        list[n++] = {sq, score};
    }

    int bestSquare = 0;
    const auto child = [&](Bits cp, Bits co, int a, int b) { return search(cp, co, depth - 1, a, b); };
    const int best = bestReply(p, o, list, n, alpha, beta, bestSquare, child);
    if (halted)
        return 0;
    e = {p, o, best, static_cast<std::int8_t>(depth), bound(best, alpha, beta),
         static_cast<std::int8_t>(bestSquare)};
    return best;
}

// Disc difference at the end of the game with best play, as far as it lies
// inside (alpha, beta): fail-soft, a bound beyond them.
int StrongSearch::solve(Bits p, Bits o, int empties, int alpha, int beta)
{
    if (empties < kSortEmpties)
        return solveNear(p, o, empties, alpha, beta);
    if (stop())
        return 0;
    const Bits moves = legalMoves(p, o);
    if (!moves) {
        if (!legalMoves(o, p))
            return popCount(p) - popCount(o);
        return -solve(o, p, empties, -beta, -alpha);
    }

    Entry* e = nullptr;
    int hashMove = -1;
    if (empties >= kHashEmpties) {
        e = &endTable[slot(p, o)];
        if (e->p == p && e->o == o) {
            hashMove = e->move;
            if (e->bound == kExact || (e->bound == kLower && e->value >= beta)
                || (e->bound == kUpper && e->value <= alpha))
                return e->value;
        }
    }

    Move list[64];
    int n = 0;
    for (Bits m = moves; m; m &= m - 1) {
        const int sq = lowestSquare(m);
        list[n++] = {sq, sq == hashMove ? kInfinity : moveScore(p, o, sq)};
    }

    int bestSquare = 0;
    const auto child = [&](Bits cp, Bits co, int a, int b) { return solve(cp, co, empties - 1, a, b); };
    const int best = bestReply(p, o, list, n, alpha, beta, bestSquare, child);
    if (halted)
        return 0;
    if (e)
        *e = {p, o, best, static_cast<std::int8_t>(empties), bound(best, alpha, beta),
              static_cast<std::int8_t>(bestSquare)};
    return best;
}

// The last few squares: plain alpha-beta, trying each empty square rather
// than generating moves, those of regions with an odd number of empties first
// (the side that plays first in such a region tends to play last there too).
int StrongSearch::solveNear(Bits p, Bits o, int empties, int alpha, int beta)
{
    if (empties == 1)
        return lastSquare(p, o);
    if (stop())
        return 0;
    const Bits empty = ~(p | o);
    const Bits odd = oddQuarters(empty);
    int best = -kInfinity;
    for (const Bits group : {empty & odd, empty & ~odd}) {
        for (Bits m = group; m; m &= m - 1) {
            const int sq = lowestSquare(m);
            const Bits f = flips(p, o, sq);
            if (!f)
                continue;
            const int v = -solveNear(o ^ f, p | f | (Bits{1} << sq), empties - 1, -beta, -alpha);
            if (v > best) {
                best = v;
                alpha = std::max(alpha, v);
                if (alpha >= beta)
                    return best;
            }
        }
    }
    if (best > -kInfinity)
        return best;
    if (!legalMoves(o, p))
        return popCount(p) - popCount(o);
    return -solveNear(o, p, empties, -beta, -alpha);
}

// One empty square: whoever can, plays it; then the board is full.
int StrongSearch::lastSquare(Bits p, Bits o)
{
    ++visited;
    const int sq = lowestSquare(~(p | o));
    if (const Bits f = flips(p, o, sq))
        return 2 * (popCount(p | f) + 1) - 64;
    if (const Bits f = flips(o, p, sq))
        return 64 - 2 * (popCount(o | f) + 1);
    return popCount(p) - popCount(o);
}
