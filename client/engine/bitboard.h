// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Bitboard primitives of the engine. A set of squares is one 64-bit word with
// square (x, y) at bit x * 8 + y, so taking the lowest set bit first walks the
// squares in the order a1, a2, ..., a8, b1, ..., h8 that the search uses.
// Only the engine's own sources include this: the unnamed namespace keeps it
// out of the library's interface.

#include <array>
#include <bit>
#include <cstdint>
#if defined(__AVX2__)
#include <immintrin.h>
#endif

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

// The discs of o turned along one ray: the first square of the ray that is not
// an opponent disc decides. Own disc, the run before it turns; empty or
// nothing, no flip. Branch-free. A ray that goes up in bit index starts at its
// lowest bit...
inline Bits rayFlipsUp(Bits p, Bits o, Bits ray)
{
    const Bits b = ray & ~o;
    const Bits first = b & (Bits{0} - b);
    const Bits take = Bits{0} - static_cast<Bits>((first & p) != 0);
    return (first - 1) & ray & take;
}

// ...and one that goes down starts at its highest.
inline Bits rayFlipsDown(Bits p, Bits o, Bits ray)
{
    const Bits b = ray & ~o;
    // b | 1 keeps the shift defined; "& b" below rejects that stand-in bit.
    const Bits first = Bits{1} << (63 - std::countl_zero(b | 1));
    const Bits take = Bits{0} - static_cast<Bits>((first & b & p) != 0);
    return ray & (Bits{0} - (first << 1)) & take;
}

#if defined(__AVX2__)
// With AVX2 (a copy built for x86-64-v3) the four rays of each kind are
// walked at once, one per 64-bit lane. A ray that goes down finds its first
// square by smearing its highest bit downwards, which lanes can do.
inline Bits flips(Bits p, Bits o, int sq)
{
    const Rays& r = kRays[static_cast<unsigned>(sq)];
    const __m256i zero = _mm256_setzero_si256();
    const __m256i P = _mm256_set1_epi64x(static_cast<long long>(p));
    const __m256i O = _mm256_set1_epi64x(static_cast<long long>(o));
    const __m256i up = _mm256_load_si256(reinterpret_cast<const __m256i*>(r.up));
    const __m256i down = _mm256_load_si256(reinterpret_cast<const __m256i*>(r.down));

    const __m256i b = _mm256_andnot_si256(O, up);
    const __m256i first = _mm256_and_si256(b, _mm256_sub_epi64(zero, b));
    const __m256i notOwnUp = _mm256_cmpeq_epi64(_mm256_and_si256(first, P), zero);
    const __m256i run = _mm256_and_si256(_mm256_sub_epi64(first, _mm256_set1_epi64x(1)), up);
    const __m256i fu = _mm256_andnot_si256(notOwnUp, run);

    __m256i d = _mm256_andnot_si256(O, down);
    d = _mm256_or_si256(d, _mm256_srli_epi64(d, 1));
    d = _mm256_or_si256(d, _mm256_srli_epi64(d, 2));
    d = _mm256_or_si256(d, _mm256_srli_epi64(d, 4));
    d = _mm256_or_si256(d, _mm256_srli_epi64(d, 8));
    d = _mm256_or_si256(d, _mm256_srli_epi64(d, 16));
    d = _mm256_or_si256(d, _mm256_srli_epi64(d, 32));
    const __m256i top = _mm256_xor_si256(d, _mm256_srli_epi64(d, 1));
    const __m256i notOwnDown = _mm256_cmpeq_epi64(_mm256_and_si256(top, P), zero);
    const __m256i fd = _mm256_andnot_si256(notOwnDown, _mm256_andnot_si256(d, down));

    const __m256i f = _mm256_or_si256(fu, fd);
    const __m128i h = _mm_or_si128(_mm256_castsi256_si128(f), _mm256_extracti128_si256(f, 1));
    return static_cast<Bits>(_mm_cvtsi128_si64(h)) | static_cast<Bits>(_mm_extract_epi64(h, 1));
}
#else
// Discs of o turned over when p's side plays on sq (sq empty); one cache line
// of rays per square.
inline Bits flips(Bits p, Bits o, int sq)
{
    const Rays& r = kRays[static_cast<unsigned>(sq)];
    Bits f = 0;
    for (int d = 0; d < 4; ++d)
        f |= rayFlipsUp(p, o, r.up[d]);
    for (int d = 0; d < 4; ++d)
        f |= rayFlipsDown(p, o, r.down[d]);
    return f;
}

#endif

inline int popCount(Bits b) { return std::popcount(b); }

// The position after the side owning p plays on sq, turning the discs f: the
// other side is the one to move.
struct Next
{
    Bits p; // the side to move now
    Bits o;
};
inline Next next(Bits p, Bits o, int sq, Bits f) { return {o ^ f, p | f | (Bits{1} << sq)}; }
inline int lowestSquare(Bits b) { return std::countr_zero(b); }

} // namespace
