// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/patterns.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <fstream>
#include <iterator>
#include <mutex>
#include <set>
#include <sstream>

namespace engine::patterns {

namespace {

struct Square
{
    int x;
    int y;
};

// One instance of each family, squares in (x, y); the others are its images
// under the board's eight symmetries.
const std::vector<std::vector<Square>>& prototypes()
{
    static const std::vector<std::vector<Square>> p = {
        // an edge with its two X squares
        {{0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 0}, {5, 0}, {6, 0}, {7, 0}, {1, 1}, {6, 1}},
        // a corner's 3 x 3 block
        {{0, 0}, {1, 0}, {2, 0}, {0, 1}, {1, 1}, {2, 1}, {0, 2}, {1, 2}, {2, 2}},
        // a corner's 5 x 2 block
        {{0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 0}, {0, 1}, {1, 1}, {2, 1}, {3, 1}, {4, 1}},
        // the second, third and fourth lines
        {{0, 1}, {1, 1}, {2, 1}, {3, 1}, {4, 1}, {5, 1}, {6, 1}, {7, 1}},
        {{0, 2}, {1, 2}, {2, 2}, {3, 2}, {4, 2}, {5, 2}, {6, 2}, {7, 2}},
        {{0, 3}, {1, 3}, {2, 3}, {3, 3}, {4, 3}, {5, 3}, {6, 3}, {7, 3}},
        // the diagonals of 8, 7, 6, 5 and 4 squares
        {{0, 0}, {1, 1}, {2, 2}, {3, 3}, {4, 4}, {5, 5}, {6, 6}, {7, 7}},
        {{0, 1}, {1, 2}, {2, 3}, {3, 4}, {4, 5}, {5, 6}, {6, 7}},
        {{0, 2}, {1, 3}, {2, 4}, {3, 5}, {4, 6}, {5, 7}},
        {{0, 3}, {1, 4}, {2, 5}, {3, 6}, {4, 7}},
        {{0, 4}, {1, 5}, {2, 6}, {3, 7}},
    };
    return p;
}


struct Geometry
{
    std::vector<int> family;
    std::vector<std::vector<int>> squares;
    // For each square, the instances it is part of and its digit's weight there.
    struct Touch
    {
        std::uint8_t instance;
        std::uint16_t power;
    };
    std::array<std::vector<Touch>, 64> touches;
    std::array<int, kFamilies> size{};
    std::array<int, kFamilies> offset{};
    int total = 0;
};

const Geometry& geometry()
{
    static const Geometry g = [] {
        Geometry g;
        for (int f = 0; f < kFamilies; ++f) {
            const auto& proto = prototypes()[static_cast<unsigned>(f)];
            // Images covering the same squares are one instance: the first kept.
            std::set<std::vector<int>> seen;
            for (int t = 0; t < 8; ++t) {
                std::vector<int> sq;
                for (const Square s : proto)
                    sq.push_back(symmetricSquare(s.x * 8 + s.y, t));
                std::vector<int> key = sq;
                std::sort(key.begin(), key.end());
                if (!seen.insert(key).second)
                    continue;
                g.family.push_back(f);
                g.squares.push_back(sq);
            }
            int n = 1;
            for (std::size_t i = 0; i < proto.size(); ++i)
                n *= 3;
            g.size[static_cast<unsigned>(f)] = n;
            g.offset[static_cast<unsigned>(f)] = g.total;
            g.total += n;
        }
        for (std::size_t i = 0; i < g.squares.size(); ++i) {
            int power = 1;
            for (const int sq : g.squares[i]) {
                g.touches[static_cast<unsigned>(sq)].push_back(
                    {static_cast<std::uint8_t>(i), static_cast<std::uint16_t>(power)});
                power *= 3;
            }
        }
        return g;
    }();
    return g;
}

// Flat per-square touch lists for the search's inner loop.
struct TouchTable
{
    std::array<std::uint8_t, 64> count{};
    std::array<std::array<std::uint8_t, 8>, 64> instance{};
    std::array<std::array<std::uint16_t, 8>, 64> power{};
};

const TouchTable& touchTable()
{
    static const TouchTable t = [] {
        TouchTable t;
        const Geometry& g = geometry();
        for (unsigned sq = 0; sq < 64; ++sq) {
            t.count[sq] = static_cast<std::uint8_t>(g.touches[sq].size());
            for (std::size_t k = 0; k < g.touches[sq].size(); ++k) {
                t.instance[sq][k] = g.touches[sq][k].instance;
                t.power[sq][k] = g.touches[sq][k].power;
            }
        }
        return t;
    }();
    return t;
}

// The same configuration with the digits of the two sides swapped.
int swapSides(int index, int digits)
{
    int out = 0;
    int power = 1;
    for (int i = 0; i < digits; ++i) {
        const int d = index % 3;
        index /= 3;
        out += (d == 0 ? 0 : 3 - d) * power;
        power *= 3;
    }
    return out;
}

constexpr char kMagic[8] = {'A', 'R', 'D', 'W', 'G', 'H', 'T', 'S'};
constexpr std::uint32_t kVersion = 1;

std::uint64_t fnv1a(const char* data, std::size_t n)
{
    std::uint64_t h = 0xCBF29CE484222325ULL;
    for (std::size_t i = 0; i < n; ++i) {
        h ^= static_cast<unsigned char>(data[i]);
        h *= 0x100000001B3ULL;
    }
    return h;
}

template <typename T>
void put(std::string& out, T v)
{
    for (std::size_t i = 0; i < sizeof(T); ++i)
        out.push_back(static_cast<char>((static_cast<std::uint64_t>(v) >> (8 * i)) & 0xFF));
}

template <typename T>
T get(const char* p)
{
    std::uint64_t v = 0;
    for (std::size_t i = 0; i < sizeof(T); ++i)
        v |= static_cast<std::uint64_t>(static_cast<unsigned char>(p[i])) << (8 * i);
    return static_cast<T>(v);
}

constexpr std::size_t kHeader = sizeof(kMagic) + 4 + 4 + 4 + 8;

} // namespace

int symmetricSquare(int sq, int t)
{
    int x = sq / 8;
    int y = sq % 8;
    if (t & 1)
        x = 7 - x;
    if (t & 2)
        y = 7 - y;
    if (t & 4)
        std::swap(x, y);
    return x * 8 + y;
}

int familyOf(int instance) { return geometry().family[static_cast<unsigned>(instance)]; }
const std::vector<int>& squaresOf(int instance) { return geometry().squares[static_cast<unsigned>(instance)]; }
int tableSize(int family) { return geometry().size[static_cast<unsigned>(family)]; }
int tableOffset(int family) { return geometry().offset[static_cast<unsigned>(family)]; }
int weightsPerStage() { return geometry().total; }

Features Features::of(std::uint64_t a, std::uint64_t b)
{
    Features f;
    for (int i = 0; i < kInstances; ++i) {
        int index = 0;
        int power = 1;
        for (const int sq : squaresOf(i)) {
            const std::uint64_t bit = std::uint64_t{1} << sq;
            index += ((a & bit) ? 1 : (b & bit) ? 2 : 0) * power;
            power *= 3;
        }
        f.index[static_cast<unsigned>(i)] = static_cast<std::uint16_t>(index);
    }
    return f;
}

void Features::play(int sq, std::uint64_t flipped, bool byA)
{
    static const TouchTable& t = touchTable();
    const unsigned s = static_cast<unsigned>(sq);
    // The new disc is a digit 1 or 2 where there was 0; each turned disc goes
    // from the other side's digit to the mover's: B's 2 to A's 1 is -1 per
    // power, A's 1 to B's 2 is +1.
    const int placed = byA ? 1 : 2;
    for (unsigned k = 0; k < t.count[s]; ++k)
        index[t.instance[s][k]] = static_cast<std::uint16_t>(index[t.instance[s][k]] + placed * t.power[s][k]);
    const int turn = byA ? -1 : 1;
    for (; flipped; flipped &= flipped - 1) {
        const unsigned f = static_cast<unsigned>(__builtin_ctzll(flipped));
        for (unsigned k = 0; k < t.count[f]; ++k)
            index[t.instance[f][k]] = static_cast<std::uint16_t>(index[t.instance[f][k]] + turn * t.power[f][k]);
    }
}

void Features::undo(int sq, std::uint64_t flipped, bool byA)
{
    static const TouchTable& t = touchTable();
    const unsigned s = static_cast<unsigned>(sq);
    const int placed = byA ? 1 : 2;
    for (unsigned k = 0; k < t.count[s]; ++k)
        index[t.instance[s][k]] = static_cast<std::uint16_t>(index[t.instance[s][k]] - placed * t.power[s][k]);
    const int turn = byA ? -1 : 1;
    for (; flipped; flipped &= flipped - 1) {
        const unsigned f = static_cast<unsigned>(__builtin_ctzll(flipped));
        for (unsigned k = 0; k < t.count[f]; ++k)
            index[t.instance[f][k]] = static_cast<std::uint16_t>(index[t.instance[f][k]] - turn * t.power[f][k]);
    }
}

Weights::Weights()
{
    for (int s = 0; s < kStages; ++s) {
        forA[static_cast<unsigned>(s)].assign(static_cast<std::size_t>(weightsPerStage()), 0);
        forB[static_cast<unsigned>(s)].assign(static_cast<std::size_t>(weightsPerStage()), 0);
    }
    for (int i = 0; i < kInstances; ++i)
        offsets[static_cast<unsigned>(i)] = tableOffset(familyOf(i));
}

void Weights::setStage(int s, const std::vector<std::int16_t>& weights)
{
    if (s < 0 || s >= kStages || static_cast<int>(weights.size()) != weightsPerStage())
        return;
    // Where each weight of side B's table comes from: the same for every
    // stage, so worked out once.
    static const std::vector<int> from = [] {
        std::vector<int> at(static_cast<std::size_t>(weightsPerStage()));
        for (int f = 0; f < kFamilies; ++f) {
            const int digits = static_cast<int>(prototypes()[static_cast<unsigned>(f)].size());
            for (int i = 0; i < tableSize(f); ++i)
                at[static_cast<unsigned>(tableOffset(f) + i)] = tableOffset(f) + swapSides(i, digits);
        }
        return at;
    }();
    forA[static_cast<unsigned>(s)] = weights;
    std::vector<std::int16_t>& b = forB[static_cast<unsigned>(s)];
    for (std::size_t i = 0; i < from.size(); ++i)
        b[i] = weights[static_cast<unsigned>(from[i])];
}

// The file: a magic word, the format's version, the stages, the weights per
// stage, the FNV-1a hash of the weights, then the weights (16-bit little-endian).
std::string Weights::toBytes() const
{
    std::string body;
    body.reserve(static_cast<std::size_t>(kStages * weightsPerStage() * 2));
    for (const auto& stage : forA)
        for (const std::int16_t w : stage)
            put(body, static_cast<std::uint16_t>(w));
    std::string out(kMagic, sizeof(kMagic));
    put(out, kVersion);
    put(out, static_cast<std::uint32_t>(kStages));
    put(out, static_cast<std::uint32_t>(weightsPerStage()));
    put(out, fnv1a(body.data(), body.size()));
    return out + body;
}

std::unique_ptr<Weights> Weights::fromBytes(const std::string& bytes, std::string& error)
{
    const std::size_t body = static_cast<std::size_t>(kStages) * static_cast<std::size_t>(weightsPerStage()) * 2;
    if (bytes.size() < kHeader || std::memcmp(bytes.data(), kMagic, sizeof(kMagic)) != 0) {
        error = "not a weights file";
        return nullptr;
    }
    const char* h = bytes.data() + sizeof(kMagic);
    if (get<std::uint32_t>(h) != kVersion || get<std::uint32_t>(h + 4) != kStages
        || get<std::uint32_t>(h + 8) != static_cast<std::uint32_t>(weightsPerStage())) {
        error = "weights of another version or shape";
        return nullptr;
    }
    if (bytes.size() != kHeader + body) {
        error = "weights file of the wrong size";
        return nullptr;
    }
    if (get<std::uint64_t>(h + 12) != fnv1a(bytes.data() + kHeader, body)) {
        error = "weights file damaged";
        return nullptr;
    }
    auto w = std::make_unique<Weights>();
    const char* p = bytes.data() + kHeader;
    std::vector<std::int16_t> stage(static_cast<std::size_t>(weightsPerStage()));
    for (int s = 0; s < kStages; ++s) {
        for (auto& v : stage) {
            v = static_cast<std::int16_t>(get<std::uint16_t>(p));
            p += 2;
        }
        w->setStage(s, stage);
    }
    return w;
}

std::unique_ptr<Weights> Weights::load(const std::string& path, std::string& error)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "cannot read " + path;
        return nullptr;
    }
    // A file far larger than any weights is not read whole.
    in.seekg(0, std::ios::end);
    const auto size = static_cast<std::size_t>(in.tellg());
    if (size > kHeader + static_cast<std::size_t>(kStages * weightsPerStage() * 2)) {
        error = path + ": weights file of the wrong size";
        return nullptr;
    }
    in.seekg(0);
    std::string bytes(size, '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(size));
    auto w = fromBytes(bytes, error);
    if (!w)
        error = path + ": " + error;
    return w;
}

bool Weights::save(const std::string& path) const
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    const std::string bytes = toBytes();
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

namespace {

std::atomic<const Weights*> current{nullptr};
std::mutex keeping;
// Searches may still read weights that were replaced: they are kept for the
// program's life (only tests replace them more than once).
std::vector<std::unique_ptr<Weights>>& kept()
{
    static std::vector<std::unique_ptr<Weights>> k;
    return k;
}

} // namespace

const Weights* installed() { return current.load(std::memory_order_acquire); }

bool install(const std::string& path, std::string& error)
{
    auto w = Weights::load(path, error);
    if (!w)
        return false;
    const std::lock_guard<std::mutex> lock(keeping);
    current.store(w.get(), std::memory_order_release);
    kept().push_back(std::move(w));
    return true;
}

void uninstall() { current.store(nullptr, std::memory_order_release); }

} // namespace engine::patterns
