// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/strongsearch.h"

#include "engine/bitboard.h"

#include <algorithm>
#include <array>
#include <cmath>

using engine::StrongSearch;

// The hot functions are built twice, for every x86-64 processor and for
// those with AVX2, BMI and POPCNT; the loader picks one when the program
// starts (the compiler's function multi-versioning, safe across the whole
// program).
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__) && !defined(ARDESIA_NO_CLONES)
#define HOT __attribute__((target_clones("arch=x86-64-v3", "default")))
#else
#define HOT
#endif

namespace {

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
// From this many empty squares the opponent's stable discs may end a search
// at once: the best the mover can reach is 64 less twice their number.
constexpr int kStableEmpties = 10;

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

// Every line of the board along each of the four axes: columns, rows, and
// the diagonals both ways.
struct Lines
{
    Bits line[4][15];
    int count[4];
};

constexpr Lines makeLines()
{
    Lines l{};
    constexpr int dx[4] = {1, 0, 1, 1};
    constexpr int dy[4] = {0, 1, 1, -1};
    for (int a = 0; a < 4; ++a) {
        // A line starts on a square whose step back leaves the board.
        for (int sq = 0; sq < 64; ++sq) {
            const int x0 = sq / 8, y0 = sq % 8;
            const int bx = x0 - dx[a], by = y0 - dy[a];
            if (bx >= 0 && bx < 8 && by >= 0 && by < 8)
                continue;
            Bits m = 0;
            for (int x = x0, y = y0; x >= 0 && x < 8 && y >= 0 && y < 8; x += dx[a], y += dy[a])
                m |= bitOf(x, y);
            l.line[a][l.count[a]++] = m;
        }
    }
    return l;
}
constexpr Lines kLines = makeLines();

// Discs of p that no move can turn any more: along each axis the line is full,
// or a neighbour on that axis is off the board or such a disc itself. Grown
// from the edges until it stops growing; a lower bound of the stable discs.
HOT int stableDiscs(Bits p, Bits o)
{
    const Bits filled = p | o;
    Bits full[4] = {};
    for (int a = 0; a < 4; ++a)
        for (int i = 0; i < kLines.count[a]; ++i)
            if ((filled & kLines.line[a][i]) == kLines.line[a][i])
                full[a] |= kLines.line[a][i];
    constexpr Bits kX0 = 0xFFULL, kX7 = 0xFFULL << 56;
    constexpr Bits kY0 = 0x0101010101010101ULL, kY7 = 0x8080808080808080ULL;
    Bits stable = 0;
    for (;;) {
        // Off the board counts as a stable neighbour.
        const Bits t = stable;
        const Bits alongX = full[0] | kX0 | kX7 | (t >> 8) | (t << 8);
        const Bits alongY = full[1] | kY0 | kY7 | ((t & kNotY0) >> 1) | ((t & kNotY7) << 1);
        const Bits diagonal = full[2] | kX0 | kX7 | kY0 | kY7 | ((t & kNotY0) >> 9) | ((t & kNotY7) << 9);
        const Bits anti = full[3] | kX0 | kX7 | kY0 | kY7 | ((t & kNotY7) >> 7) | ((t & kNotY0) << 7);
        const Bits grown = p & alongX & alongY & diagonal & anti;
        if (grown == stable)
            return popCount(stable);
        stable = grown;
    }
}

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
HOT int handEvaluate(Bits p, Bits o)
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
HOT int mobilityScore(Bits p, Bits o, int sq, Bits f)
{
    const Next after = next(p, o, sq, f);
    const Bits replies = legalMoves(after.p, after.o);
    return squareOrder(sq) - 32 * popCount(replies) - 4 * popCount(around(~(p | o)) & (p | f));
}

// ProbCut: a search of depth d is foreseen by one of depth shallowOf(d) plus
// a mean offset (odd and even depths lean opposite ways), to within a
// standard deviation; both in 1/128 disc, measured on the shipped weights by
// `trainweights --calibrate` (deeper ones take the last figures).
constexpr int kProbCutMin = 3;
constexpr int kProbCutMax = 14;
constexpr int shallowOf(int depth) { return depth / 2 - (depth >= 8 ? 1 : 0); }
constexpr int kSigma[kProbCutMax + 1] = {0, 0, 0, 498, 443, 636, 545, 576, 570, 621, 579, 600, 600, 600, 600};
constexpr int kMean[kProbCutMax + 1] = {0, 0, 0, -35, 36, 378, -302, -64, -276, 12, -26, 0, 0, 0, 0};

// The evaluation stays strictly inside a finished game's worth.
constexpr int kEvalBound = StrongSearch::kFinished - 1;

// The cost of an exact solve of e empty squares after a win/loss/draw one, in
// positions: fitted to the solver's counts on positions of random games (about
// 850,000 at 16 empty squares, 2.5 times more for each square beyond).
double solveNodes(int empties) { return 8.5e5 * std::pow(2.5, empties - 16); }

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
    : StrongSearch([&] {
          SearchLimits l;
          l.budget = budget;
          l.nodeLimit = nodeLimit;
          return l;
      }())
{
}

std::size_t StrongSearch::slot(Bits p, Bits o) const
{
    const Bits h = (p ^ (o * 0x9E3779B97F4A7C15ULL)) * 0xC2B2AE3D27D4EB4FULL;
    return static_cast<std::size_t>(h >> (64 - limits.tableBits));
}

// Each thread keeps its own tables from one reply to the next: mapping fresh
// memory for each reply costs milliseconds. Without keepTables they are
// cleared (a fraction of a millisecond); with it the entries stay, aged, as
// long as the same evaluation fills them. Nothing else is shared, so
// searches on several threads at once never meet.
StrongSearch::Entry* StrongSearch::table(int which)
{
    struct Table
    {
        std::vector<Entry> entries;
        const patterns::Weights* weights = nullptr;
        std::uint8_t age = 0;
    };
    static thread_local Table tables[2];
    Table& t = tables[which];
    const std::size_t size = std::size_t{1} << limits.tableBits;
    if (!limits.keepTables || t.entries.size() != size || t.weights != limits.weights) {
        t.entries.assign(size, Entry{});
        t.weights = limits.weights;
    }
    age = ++t.age;
    return t.entries.data();
}

// An entry of an earlier reply gives way to anything; one of this reply to
// a search at least as deep, or of the same position.
void StrongSearch::store(Entry& e, const Entry& fresh) const
{
    if (!limits.keepTables || e.age != age || fresh.depth >= e.depth || (e.p == fresh.p && e.o == fresh.o)) {
        e = fresh;
        e.age = age;
    }
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
        if (flagged || (mayStop && (visited >= limits.nodeLimit || limits.now() >= deadline)))
            halted = true;
    }
    return halted;
}

HOT int StrongSearch::evaluate(Bits p, Bits o) const
{
    if (!limits.weights)
        return handEvaluate(p, o);
    const int empties = popCount(~(p | o));
    if (empties == 0)
        return (popCount(p) - popCount(o)) * kFinished;
    return std::clamp(limits.weights->evaluate(features, aToMove, empties), -kEvalBound, kEvalBound);
}

// With the trained evaluation and depth to spare, the evaluation after the
// move joins the mobility score: a shallow search's verdict first.
HOT int StrongSearch::moveScore(Bits p, Bits o, int sq, bool deep)
{
    const Bits f = flips(p, o, sq);
    int score = mobilityScore(p, o, sq, f);
    if (deep && tracking) {
        features.play(sq, f, aToMove);
        aToMove = !aToMove;
        const Next after = next(p, o, sq, f);
        score -= evaluate(after.p, after.o);
        aToMove = !aToMove;
        features.undo(sq, f, aToMove);
    }
    return score;
}

void StrongSearch::prepare(Bits p, Bits o)
{
    done.clear();
    flagged = stopAsked();
    halted = flagged;
    mayStop = false;
    features = patterns::Features::of(p, o);
    aToMove = true;
    tracking = false;
}

int StrongSearch::choose(std::uint64_t p, std::uint64_t o)
{
    const auto start = limits.now();
    // A tenth of the budget kept back: the thread may be descheduled on a
    // busy machine, and the reply must not be late.
    deadline = start + limits.budget * 9 / 10;
    prepare(p, o);
    tracking = limits.weights != nullptr;
    rootMoves.clear();
    for (Bits moves = legalMoves(p, o); moves; moves &= moves - 1) {
        const int sq = lowestSquare(moves);
        rootMoves.push_back({sq, moveScore(p, o, sq, true)});
    }
    if (rootMoves.empty())
        return -1;
    if (halted)
        return rootMoves.front().square;
    std::stable_sort(rootMoves.begin(), rootMoves.end(),
                     [](const Move& a, const Move& b) { return a.score > b.score; });
    midTable = table(0);

    const int empties = popCount(~(p | o));
    int square = rootMoves.front().square;
    std::uint64_t midNodes = 0;
    for (int depth = 1;; ++depth) {
        const std::uint64_t before = visited;
        int sq = square;
        const int v = rootSearch(p, o, depth, false, sq, -kInfinity, kInfinity);
        if (halted)
            return sq;
        square = sq;
        midNodes += visited - before;
        done.push_back({depth, visited - before, v, sq});
        mayStop = true;
        // A depth of every empty square ends every line: its value is exact. A
        // single move needs no search, but a small endgame still gets its value.
        if (depth >= empties || (rootMoves.size() == 1 && empties > kEasyEmpties))
            return square;
        const auto spent = limits.now() - start;
        bool solveNow = false;
        if (limits.estimateSolve)
            solveNow = solveFits(empties, start, midNodes);
        else
            solveNow = empties <= kEasyEmpties || (spent * 20 > limits.budget && depth + kSolveReach >= empties);
        if (depth >= 4 && empties <= limits.solveEmpties && solveNow)
            break;
        // The next depth costs a few times this one: it would not finish.
        if (spent * 2 > limits.budget)
            return square;
    }

    tracking = false;
    endTable = table(1);
    if (limits.winLossFirst) {
        // Which moves win is settled far sooner than by how much: that square
        // stands should the exact solve not finish.
        const std::uint64_t before = visited;
        int sq = square;
        const int v = rootSearch(p, o, empties, true, sq, -1, 1);
        if (halted)
            return sq;
        square = sq;
        done.push_back({empties, visited - before, std::clamp(v, -1, 1) * kFinished, sq, true});
    }
    const std::uint64_t before = visited;
    int sq = square;
    const int v = rootSearch(p, o, empties, true, sq, -kInfinity, kInfinity);
    if (!halted)
        done.push_back({empties, visited - before, v * kFinished, sq});
    return sq;
}

// Whether the exact solve is expected to finish in half the time left, at the
// rate the midgame search has just run (the solver's positions cost about half).
bool StrongSearch::solveFits(int empties, std::chrono::steady_clock::time_point start, std::uint64_t midNodes) const
{
    if (empties <= kEasyEmpties)
        return true;
    const auto now = limits.now();
    const double spent = std::chrono::duration<double>(now - start).count();
    const double left = std::chrono::duration<double>(deadline - now).count();
    if (left <= 0 || spent <= 0)
        return false;
    const double rate = 2.0 * static_cast<double>(midNodes) / spent;
    return solveNodes(empties) / rate < left / 2;
}

int StrongSearch::exactScore(std::uint64_t p, std::uint64_t o)
{
    prepare(p, o);
    endTable = table(1);
    const int v = solve(p, o, popCount(~(p | o)), -kInfinity, kInfinity);
    return halted ? 0 : v;
}

int StrongSearch::valueAt(std::uint64_t p, std::uint64_t o, int depth)
{
    prepare(p, o);
    tracking = limits.weights != nullptr;
    mayStop = true;
    deadline = std::chrono::steady_clock::time_point::max();
    midTable = table(0);
    const int v = search(p, o, depth, -kInfinity, kInfinity);
    return halted ? 0 : v;
}

// Principal variation search over the root moves, best of the last depth
// first, within (alpha, beta); exact, it solves to the end in disc
// differences.
HOT int StrongSearch::rootSearch(Bits p, Bits o, int depth, bool exact, int& square, int alpha, int beta)
{
    int best = -kInfinity;
    int bestIndex = 0;
    const auto child = [&](Bits cp, Bits co, int a, int b) {
        return exact ? solve(cp, co, depth - 1, a, b) : search(cp, co, depth - 1, a, b);
    };
    for (std::size_t i = 0; i < rootMoves.size(); ++i) {
        const int v = tryMove(p, o, rootMoves[i].square, i == 0, alpha, beta, child);
        if (halted) {
            // A move that beat the last depth's best at this depth, searched
            // in full, is kept though the iteration ends here.
            if (limits.keepPartial && bestIndex > 0)
                square = rootMoves[static_cast<std::size_t>(bestIndex)].square;
            return 0;
        }
        if (v > best) {
            best = v;
            bestIndex = static_cast<int>(i);
            alpha = std::max(alpha, v);
            if (alpha >= beta)
                break;
        }
    }
    // The best goes first for the next depth, the others keep their order.
    const auto top = rootMoves.begin() + bestIndex;
    square = top->square;
    std::rotate(rootMoves.begin(), top, top + 1);
    return best;
}

// One move of a principal variation search, valued for the mover: played,
// searched with the whole window when it comes first, else with a null one
// and again with the whole window should it beat alpha, then taken back.
// child(p, o, alpha, beta) searches the position after it.
template <typename Child>
int StrongSearch::tryMove(Bits p, Bits o, int sq, bool first, int alpha, int beta, Child child)
{
    const Bits f = flips(p, o, sq);
    const Next after = next(p, o, sq, f);
    if (tracking)
        features.play(sq, f, aToMove);
    aToMove = !aToMove;
    int v = first ? -child(after.p, after.o, -beta, -alpha) : -child(after.p, after.o, -alpha - 1, -alpha);
    if (!first && v > alpha && v < beta && !halted)
        v = -child(after.p, after.o, -beta, -alpha);
    aToMove = !aToMove;
    if (tracking)
        features.undo(sq, f, aToMove);
    return v;
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
        const int v = tryMove(p, o, sq, i == 0, alpha, beta, child);
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

// ProbCut: when a shallow search says, with a margin of a few standard
// deviations, that the deep one would fail high (or low), believe it.
bool StrongSearch::probCut(Bits p, Bits o, int depth, int alpha, int beta, int& value)
{
    if (limits.probCut <= 0 || !tracking || depth < kProbCutMin)
        return false;
    const int k = std::min(depth, kProbCutMax);
    const int margin = static_cast<int>(limits.probCut * kSigma[k]);
    const int shallow = shallowOf(depth);
    if (beta + margin - kMean[k] < kEvalBound) {
        const int b = beta + margin - kMean[k];
        if (search(p, o, shallow, b - 1, b) >= b && !halted) {
            value = beta;
            return true;
        }
    }
    if (alpha - margin - kMean[k] > -kEvalBound) {
        const int a = alpha - margin - kMean[k];
        if (search(p, o, shallow, a, a + 1) <= a && !halted) {
            value = alpha;
            return true;
        }
    }
    return false;
}

HOT int StrongSearch::search(Bits p, Bits o, int depth, int alpha, int beta)
{
    if (stop())
        return 0;
    if (depth <= 0)
        return evaluate(p, o);
    const Bits moves = legalMoves(p, o);
    if (!moves) {
        if (!legalMoves(o, p))
            return (popCount(p) - popCount(o)) * kFinished;
        aToMove = !aToMove;
        const int v = -search(o, p, depth, -beta, -alpha); // a pass
        aToMove = !aToMove;
        return v;
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

    int cut = 0;
    if (alpha + 1 == beta && probCut(p, o, depth, alpha, beta, cut)) // a null window: never the principal line
        return cut;
    if (halted)
        return 0;

    Move list[64];
    int n = 0;
    for (Bits m = moves; m; m &= m - 1) {
        const int sq = lowestSquare(m);
        const int score = sq == hashMove ? kInfinity
            : depth >= 3                 ? moveScore(p, o, sq, depth >= 4)
                                         : squareOrder(sq);
        list[n++] = {sq, score};
    }

    int bestSquare = 0;
    const auto child = [&](Bits cp, Bits co, int a, int b) { return search(cp, co, depth - 1, a, b); };
    const int best = bestReply(p, o, list, n, alpha, beta, bestSquare, child);
    if (halted)
        return 0;
    store(e, {p, o, best, static_cast<std::int8_t>(depth), bound(best, alpha, beta),
              static_cast<std::int8_t>(bestSquare)});
    return best;
}

// Disc difference at the end of the game with best play, as far as it lies
// inside (alpha, beta): fail-soft, a bound beyond them.
HOT int StrongSearch::solve(Bits p, Bits o, int empties, int alpha, int beta)
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

    if (limits.winLossFirst && empties >= kStableEmpties && alpha >= 0) {
        const int most = 64 - 2 * stableDiscs(o, p);
        if (most <= alpha)
            return most;
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
        list[n++] = {sq, sq == hashMove ? kInfinity : mobilityScore(p, o, sq, flips(p, o, sq))};
    }

    int bestSquare = 0;
    const auto child = [&](Bits cp, Bits co, int a, int b) { return solve(cp, co, empties - 1, a, b); };
    const int best = bestReply(p, o, list, n, alpha, beta, bestSquare, child);
    if (halted)
        return 0;
    if (e)
        store(*e, {p, o, best, static_cast<std::int8_t>(empties), bound(best, alpha, beta),
                   static_cast<std::int8_t>(bestSquare)});
    return best;
}

// The last few squares: plain alpha-beta, trying each empty square rather
// than generating moves, those of regions with an odd number of empties first
// (the side that plays first in such a region tends to play last there too).
HOT int StrongSearch::solveNear(Bits p, Bits o, int empties, int alpha, int beta)
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
            const Next after = next(p, o, sq, f);
            const int v = -solveNear(after.p, after.o, empties - 1, -beta, -alpha);
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
HOT int StrongSearch::lastSquare(Bits p, Bits o)
{
    ++visited;
    const int sq = lowestSquare(~(p | o));
    if (const Bits f = flips(p, o, sq))
        return 2 * (popCount(p | f) + 1) - 64;
    if (const Bits f = flips(o, p, sq))
        return 64 - 2 * (popCount(o | f) + 1);
    return popCount(p) - popCount(o);
}
