// SPDX-License-Identifier: GPL-3.0-or-later
// Trains the pattern evaluation's weights from games it plays itself.
//
//   trainweights [options] OUT      writes the weights file OUT
//   trainweights --calibrate W      ProbCut's deviations for the weights file W
//   options:
//     --games N      self-play games (default 12000)
//     --salt S       another set of games; the same salt, the same weights
//     --threads T    worker threads (default: every core); the result does not depend on it
//     --depth D      depth of the searches that label midgame positions (default 4)
//     --samples F    keep the games' positions in F, and read them from there
//                    when F exists (another fit of the same games)
//
// The games start with 6 to 17 random moves, then the hand-weighted search
// plays them out at a few thousand positions a move, one move in twelve
// random. Positions with 14 empty squares or fewer are labelled with their
// exact score by the solver. The others are labelled stage by stage from the
// end: by a search of the given depth whose leaves fall in stages already
// fitted. Each stage's weights are fitted by stochastic gradient descent on
// the squared error, in discs.

#include "engine/bitboard.h"
#include "engine/patterns.h"
#include "engine/strongsearch.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <unordered_set>
#include <vector>

using namespace engine;
using patterns::Features;
using patterns::Weights;

namespace {

constexpr int kExactEmpties = 14;
constexpr float kUnlabelled = 1000.0f;

struct Sample
{
    Bits p;
    Bits o;
    float label;
    int empties;
};

struct Options
{
    int games = 12000;
    std::uint64_t salt = 1;
    int threads = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    int depth = 4;
    std::string out;
    std::string calibrate;
    std::string samples;
};

std::uint64_t mix(std::uint64_t z)
{
    z += 0x9E3779B97F4A7C15ULL;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

double seconds(std::chrono::steady_clock::time_point since)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

// Runs job(i) for i in [0, n) on the threads; each i's work depends on i only.
void parallel(int threads, int n, const std::function<void(int)>& job)
{
    std::atomic<int> next{0};
    std::vector<std::thread> pool;
    for (int t = 0; t < threads; ++t)
        pool.emplace_back([&] {
            for (int i = next++; i < n; i = next++)
                job(i);
        });
    for (auto& th : pool)
        th.join();
}

int randomMove(std::mt19937_64& rng, Bits p, Bits o)
{
    const Bits moves = legalMoves(p, o);
    int k = static_cast<int>(rng() % static_cast<unsigned>(popCount(moves)));
    Bits m = moves;
    while (k-- > 0)
        m &= m - 1;
    return lowestSquare(m);
}

// One game's positions (the side to move first), exact near the end.
std::vector<Sample> playGame(std::uint64_t salt, int game)
{
    std::mt19937_64 rng(mix(salt ^ mix(static_cast<std::uint64_t>(game))));
    Bits p = bitOf(3, 4) | bitOf(4, 3);
    Bits o = bitOf(3, 3) | bitOf(4, 4);
    std::vector<Sample> out;
    const int opening = 6 + static_cast<int>(rng() % 12);
    for (int ply = 0;; ++ply) {
        if (!legalMoves(p, o)) {
            if (!legalMoves(o, p))
                break;
            std::swap(p, o);
        }
        const int empties = popCount(~(p | o));
        float label = kUnlabelled;
        if (empties <= kExactEmpties) {
            SearchLimits limits;
            limits.keepTables = true;
            StrongSearch solver(limits);
            label = static_cast<float>(solver.exactScore(p, o));
        }
        out.push_back({p, o, label, empties});
        int sq = 0;
        if (ply < opening || rng() % 12 == 0) {
            sq = randomMove(rng, p, o);
        } else {
            SearchLimits limits;
            limits.budget = std::chrono::hours(1);
            limits.nodeLimit = 1000 + rng() % 3000;
            // A small table cleared for each move: the game depends on its salt only.
            limits.tableBits = 12;
            StrongSearch search(limits);
            sq = search.choose(p, o);
        }
        const Bits f = flips(p, o, sq);
        const Bits np = o ^ f;
        o = p | f | (Bits{1} << sq);
        p = np;
    }
    return out;
}

struct Hash
{
    std::size_t operator()(const std::pair<Bits, Bits>& k) const { return mix(k.first ^ mix(k.second)); }
};

std::vector<Sample> generate(const Options& opt)
{
    std::vector<std::vector<Sample>> games(static_cast<std::size_t>(opt.games));
    const auto start = std::chrono::steady_clock::now();
    std::atomic<int> finished{0};
    parallel(opt.threads, opt.games, [&](int g) {
        games[static_cast<unsigned>(g)] = playGame(opt.salt, g);
        const int n = ++finished;
        if (n % 1000 == 0)
            std::fprintf(stderr, "  %d games, %.0f s\n", n, seconds(start));
    });
    // The same position met twice counts once.
    std::unordered_set<std::pair<Bits, Bits>, Hash> seen;
    std::vector<Sample> all;
    for (const auto& g : games)
        for (const Sample& s : g)
            if (seen.insert({s.p, s.o}).second)
                all.push_back(s);
    return all;
}

// Whether a sample is kept out of fitting, to measure the error on.
bool heldOut(const Sample& s) { return mix(s.p ^ mix(s.o)) % 20 == 0; }

float predict(const std::vector<float>& w, const Features& f)
{
    float v = 0;
    for (int i = 0; i < patterns::kInstances; ++i)
        v += w[static_cast<unsigned>(patterns::tableOffset(patterns::familyOf(i)) + f.index[static_cast<unsigned>(i)])];
    return v;
}

// The position under one of the board's eight symmetries: the same value,
// other weights of the shared tables. Fitting on all eight multiplies the data.
Bits symmetric(Bits b, int t)
{
    Bits out = 0;
    for (; b; b &= b - 1)
        out |= Bits{1} << patterns::symmetricSquare(lowestSquare(b), t);
    return out;
}

// Fits one stage on its samples (in discs); returns the weights in 1/128 disc.
std::vector<std::int16_t> fit(const std::vector<const Sample*>& samples, std::uint64_t salt, double& trainError,
                              double& testError)
{
    std::vector<Features> features;
    std::vector<float> labels;
    std::vector<Features> testFeatures;
    std::vector<float> testLabels;
    for (const Sample* s : samples) {
        if (heldOut(*s)) {
            testFeatures.push_back(Features::of(s->p, s->o));
            testLabels.push_back(s->label);
            continue;
        }
        for (int t = 0; t < 8; ++t) {
            features.push_back(Features::of(symmetric(s->p, t), symmetric(s->o, t)));
            labels.push_back(s->label);
        }
    }
    std::vector<float> w(static_cast<std::size_t>(patterns::weightsPerStage()), 0.0f);
    std::vector<std::size_t> order(features.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::mt19937_64 rng(mix(salt));
    constexpr int kEpochs = 12;
    for (int epoch = 0; epoch < kEpochs; ++epoch) {
        std::shuffle(order.begin(), order.end(), rng);
        const float rate = 0.004f * (1.0f - 0.8f * static_cast<float>(epoch) / kEpochs);
        for (const std::size_t i : order) {
            const float step = rate * (labels[i] - predict(w, features[i]));
            for (int k = 0; k < patterns::kInstances; ++k) {
                float& x = w[static_cast<unsigned>(patterns::tableOffset(patterns::familyOf(k))
                                                   + features[i].index[static_cast<unsigned>(k)])];
                x += step - 0.0005f * rate * x;
            }
        }
    }
    auto error = [&](const std::vector<Features>& fs, const std::vector<float>& ls) {
        double sum = 0;
        for (std::size_t i = 0; i < fs.size(); ++i)
            sum += std::fabs(ls[i] - predict(w, fs[i]));
        return fs.empty() ? 0.0 : sum / static_cast<double>(fs.size());
    };
    trainError = error(features, labels);
    testError = error(testFeatures, testLabels);
    std::vector<std::int16_t> out(w.size());
    for (std::size_t i = 0; i < w.size(); ++i)
        out[i] = static_cast<std::int16_t>(std::lround(std::clamp(w[i] * Weights::kUnit, -32000.0f, 32000.0f)));
    return out;
}

// The value of a search in discs, a finished game's difference included.
float inDiscs(int v)
{
    if (std::abs(v) >= StrongSearch::kFinished)
        return static_cast<float>(v / StrongSearch::kFinished);
    return std::clamp(static_cast<float>(v) / Weights::kUnit, -64.0f, 64.0f);
}

// The samples as they are in memory: a cache for this tool only.
bool readSamples(const std::string& path, std::vector<Sample>& samples)
{
    std::FILE* f = path.empty() ? nullptr : std::fopen(path.c_str(), "rb");
    if (!f)
        return false;
    Sample s{};
    while (std::fread(&s, sizeof s, 1, f) == 1)
        samples.push_back(s);
    std::fclose(f);
    return !samples.empty();
}

void writeSamples(const std::string& path, const std::vector<Sample>& samples)
{
    std::FILE* f = path.empty() ? nullptr : std::fopen(path.c_str(), "wb");
    if (!f)
        return;
    std::fwrite(samples.data(), sizeof(Sample), samples.size(), f);
    std::fclose(f);
}

int train(const Options& opt)
{
    const auto start = std::chrono::steady_clock::now();
    std::vector<Sample> samples;
    if (!readSamples(opt.samples, samples)) {
        std::fprintf(stderr, "playing %d games on %d threads\n", opt.games, opt.threads);
        samples = generate(opt);
        writeSamples(opt.samples, samples);
    }
    std::fprintf(stderr, "%zu positions in %.0f s\n", samples.size(), seconds(start));

    Weights weights;
    std::printf("stage  empties  positions  train MAE  held-out MAE  (discs)\n");
    for (int s = 0; s < patterns::kStages; ++s) {
        const int low = 4 * s + 1;
        const int high = s == patterns::kStages - 1 ? 64 : 4 * s + 4;
        std::vector<int> toLabel;
        for (std::size_t i = 0; i < samples.size(); ++i)
            if (samples[i].empties >= low && samples[i].empties <= high && samples[i].label == kUnlabelled)
                toLabel.push_back(static_cast<int>(i));
        parallel(opt.threads, static_cast<int>(toLabel.size()), [&](int k) {
            Sample& x = samples[static_cast<unsigned>(toLabel[static_cast<unsigned>(k)])];
            SearchLimits limits;
            limits.weights = &weights;
            limits.tableBits = 12;
            StrongSearch search(limits);
            x.label = inDiscs(search.valueAt(x.p, x.o, opt.depth));
        });
        // Two empty squares of the stage below join, for smoother stages.
        std::vector<const Sample*> mine;
        for (const Sample& x : samples)
            if (x.empties >= low - 2 && x.empties <= high && x.label != kUnlabelled)
                mine.push_back(&x);
        double trainError = 0;
        double testError = 0;
        weights.setStage(s, fit(mine, opt.salt + static_cast<std::uint64_t>(s), trainError, testError));
        std::printf("%5d  %2d-%-2d    %9zu  %9.2f  %12.2f\n", s, low, std::min(high, 60), mine.size(), trainError,
                    testError);
        std::fflush(stdout);
    }
    if (!weights.save(opt.out)) {
        std::fprintf(stderr, "trainweights: cannot write %s\n", opt.out.c_str());
        return 1;
    }
    std::printf("wrote %s in %.0f s\n", opt.out.c_str(), seconds(start));
    return 0;
}

// The standard deviation of (deep - shallow) values for each depth ProbCut
// uses, in 1/128 disc, on positions of self-play games.
int calibrate(const Options& opt)
{
    std::string error;
    const auto weights = Weights::load(opt.calibrate, error);
    if (!weights) {
        std::fprintf(stderr, "trainweights: %s\n", error.c_str());
        return 1;
    }
    Options few = opt;
    few.games = std::min(opt.games, 300);
    std::vector<Sample> samples = generate(few);
    std::vector<const Sample*> mid;
    for (const Sample& s : samples)
        if (s.empties >= 18 && s.empties <= 50)
            mid.push_back(&s);
    std::printf("depth  shallow  positions  sigma (1/128 disc)\n");
    for (int depth = 3; depth <= 10; ++depth) {
        const int shallow = depth / 2 - (depth >= 8 ? 1 : 0);
        const std::size_t n = std::min<std::size_t>(mid.size(), depth >= 8 ? 200 : 600);
        std::vector<double> diff(n);
        parallel(opt.threads, static_cast<int>(n), [&](int i) {
            SearchLimits limits;
            limits.weights = weights.get();
            StrongSearch search(limits);
            const Sample& s = *mid[static_cast<unsigned>(i) * mid.size() / n];
            const int deep = search.valueAt(s.p, s.o, depth);
            const int near = search.valueAt(s.p, s.o, shallow);
            // A game found finished has no place among evaluations.
            const bool finished = std::max(std::abs(deep), std::abs(near)) >= StrongSearch::kFinished;
            diff[static_cast<unsigned>(i)] = finished ? std::nan("") : deep - near;
        });
        double sum = 0;
        double squares = 0;
        std::size_t counted = 0;
        for (const double d : diff) {
            if (std::isnan(d))
                continue;
            sum += d;
            squares += d * d;
            ++counted;
        }
        const double mean = sum / static_cast<double>(std::max<std::size_t>(1, counted));
        std::printf("%5d  %7d  %9zu  %6.0f (mean %+.0f)\n", depth, shallow, counted,
                    std::sqrt(squares / static_cast<double>(std::max<std::size_t>(1, counted)) - mean * mean), mean);
        std::fflush(stdout);
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    Options opt;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        const bool hasValue = i + 1 < argc;
        if (a == "--games" && hasValue)
            opt.games = std::max(1, std::atoi(argv[++i]));
        else if (a == "--salt" && hasValue)
            opt.salt = std::strtoull(argv[++i], nullptr, 10);
        else if (a == "--threads" && hasValue)
            opt.threads = std::max(1, std::atoi(argv[++i]));
        else if (a == "--depth" && hasValue)
            opt.depth = std::clamp(std::atoi(argv[++i]), 1, 12);
        else if (a == "--samples" && hasValue)
            opt.samples = argv[++i];
        else if (a == "--calibrate" && hasValue)
            opt.calibrate = argv[++i];
        else if (a[0] != '-' && opt.out.empty())
            opt.out = a;
        else {
            std::fprintf(stderr, "usage: trainweights [--games N] [--salt S] [--threads T] [--depth D] [--samples F] OUT\n"
                                 "       trainweights --calibrate WEIGHTS\n");
            return 2;
        }
    }
    if (!opt.calibrate.empty())
        return calibrate(opt);
    if (opt.out.empty()) {
        std::fprintf(stderr, "trainweights: no output file\n");
        return 2;
    }
    return train(opt);
}
