#pragma once

// Bitboard primitives of the engine. A set of squares is one 64-bit word with
// square (x, y) at bit x * 8 + y, so taking the lowest set bit first walks the
// squares in the order a1, a2, ..., a8, b1, ..., h8 that the search uses.
//
// Everything here lives in an unnamed namespace on purpose: search.cpp is
// compiled twice (plain x86-64 and x86-64-v3) and each copy must get its own
// instance of these functions, built with its own instruction set.

#include <array>
#include <cstdint>

namespace {

using Bits = std::uint64_t;

constexpr Bits bitOf(int x, int y) { return Bits{1} << (x * 8 + y); }

// Rows 1..6 (y): the only squares a line may pass through when it also moves
// along y. Masking them stops a shift by +-1 from wrapping into the next column.
constexpr Bits kInnerY = 0x7E7E7E7E7E7E7E7EULL;

// Shift by the bit offset dx * 8 + dy of a direction; positive is a left shift.
template <int Delta>
constexpr Bits shift(Bits b)
{
    if constexpr (Delta > 0)
        return b << Delta;
    else
        return b >> -Delta;
}

// Squares from which P brackets a run of O in direction Delta (flood of up to
// six opponent discs, then one more step onto an empty square).
template <int Delta>
inline Bits movesDir(Bits p, Bits o, Bits empty)
{
    constexpr bool alongY = (Delta % 8) != 0;
    const Bits m = alongY ? (o & kInnerY) : o;
    Bits t = shift<Delta>(p) & m;
    t |= shift<Delta>(t) & m;
    t |= shift<Delta>(t) & m;
    t |= shift<Delta>(t) & m;
    t |= shift<Delta>(t) & m;
    t |= shift<Delta>(t) & m;
    return shift<Delta>(t) & empty;
}

// Every square where the side owning p may play.
inline Bits legalMoves(Bits p, Bits o)
{
    const Bits empty = ~(p | o);
    return movesDir<8>(p, o, empty) | movesDir<-8>(p, o, empty)
        | movesDir<1>(p, o, empty) | movesDir<-1>(p, o, empty)
        | movesDir<9>(p, o, empty) | movesDir<-9>(p, o, empty)
        | movesDir<7>(p, o, empty) | movesDir<-7>(p, o, empty);
}

// The squares met walking from a square in each direction, the square itself
// excluded: four rays that go up in bit index and four that go down.
struct Rays
{
    Bits up[4];   // +8 (x+1), +1 (y+1), +9 (x+1, y+1), +7 (x+1, y-1)
    Bits down[4]; // -8, -1, -9, -7
};

constexpr std::array<Rays, 64> makeRays()
{
    std::array<Rays, 64> r{};
    constexpr int upX[4] = {1, 0, 1, 1}, upY[4] = {0, 1, 1, -1};
    for (int sq = 0; sq < 64; ++sq) {
        for (int d = 0; d < 4; ++d) {
            Bits a = 0, b = 0;
            for (int x = sq / 8 + upX[d], y = sq % 8 + upY[d];
                 x >= 0 && x < 8 && y >= 0 && y < 8; x += upX[d], y += upY[d])
                a |= bitOf(x, y);
            for (int x = sq / 8 - upX[d], y = sq % 8 - upY[d];
                 x >= 0 && x < 8 && y >= 0 && y < 8; x -= upX[d], y -= upY[d])
                b |= bitOf(x, y);
            r[sq].up[d] = a;
            r[sq].down[d] = b;
        }
    }
    return r;
}

alignas(64) constexpr std::array<Rays, 64> kRays = makeRays();

// Discs of o turned over when p's side plays on sq (sq empty). Along a ray the
// first square that is not an opponent disc decides: own disc, the run before
// it turns; empty or nothing, no flip. Branch-free, one cache line per square.
inline Bits flips(Bits p, Bits o, int sq)
{
    const Rays& r = kRays[static_cast<unsigned>(sq)];
    Bits f = 0;
    for (int d = 0; d < 4; ++d) {
        const Bits ray = r.up[d];
        const Bits b = ray & ~o;
        const Bits first = b & (Bits{0} - b);
        const Bits take = Bits{0} - static_cast<Bits>((first & p) != 0);
        f |= (first - 1) & ray & take;
    }
    for (int d = 0; d < 4; ++d) {
        const Bits ray = r.down[d];
        const Bits b = ray & ~o;
        // b | 1 keeps clz defined; "& b" below rejects that stand-in bit.
        const Bits first = Bits{1} << (63 - __builtin_clzll(b | 1));
        const Bits take = Bits{0} - static_cast<Bits>((first & b & p) != 0);
        f |= ray & (Bits{0} - (first << 1)) & take;
    }
    return f;
}

inline int popCount(Bits b) { return __builtin_popcountll(b); }
inline int lowestSquare(Bits b) { return __builtin_ctzll(b); }

} // namespace
