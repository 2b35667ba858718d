// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// The trained evaluation: the board read as 46 overlapping patterns (edges
// with their X squares, corner blocks, lines and diagonals), each pattern's
// configuration worth a trained weight that depends on the game's stage.
namespace engine::patterns {

// Pattern families; every instance of a family is one of its symmetric images
// and shares its weights.
constexpr int kFamilies = 11;
constexpr int kInstances = 46;
// Stages by empty squares: 1-4, 5-8, ..., 57-60.
constexpr int kStages = 15;
constexpr int stageOf(int empties) { return empties <= 1 ? 0 : empties >= 60 ? kStages - 1 : (empties - 1) / 4; }

// Square sq = x * 8 + y under symmetry t of the board (0..7: bit 0 mirrors x,
// bit 1 mirrors y, bit 2 swaps them).
int symmetricSquare(int sq, int t);

// The family of each instance, the squares of each, and the size of each
// family's table (3 to the power of its squares).
int familyOf(int instance);
const std::vector<int>& squaresOf(int instance);
int tableSize(int family);
// All families' tables end to end, and where each begins.
int tableOffset(int family);
int weightsPerStage();

// One index per instance: the configuration of its squares read as a number in
// base 3, the first square the lowest digit; digit 0 empty, 1 a disc of the
// side called A, 2 one of side B. Which side is A is the caller's choice (the
// side to move at the root of a search); it stays the same as moves are played.
struct Features
{
    std::array<std::uint16_t, kInstances> index{};

    // From scratch, for bitboards a (side A) and b (side B), square (x, y) at
    // bit x * 8 + y.
    static Features of(std::uint64_t a, std::uint64_t b);
    // After a move on square sq by side A (or B) that turns the discs `flipped`.
    void play(int sq, std::uint64_t flipped, bool byA);
    // Before it: play's exact inverse.
    void undo(int sq, std::uint64_t flipped, bool byA);

    bool operator==(const Features&) const = default;
};

// The weights of every stage, in 1/128 disc for the side to move.
class Weights
{
public:
    static constexpr int kUnit = 128;

    // Zeroes: the evaluation says 0 everywhere.
    Weights();

    // Reads a weights file; null, with the reason in `error`, when it is missing,
    // of another version or size, or damaged.
    static std::unique_ptr<Weights> load(const std::string& path, std::string& error);
    static std::unique_ptr<Weights> fromBytes(const std::string& bytes, std::string& error);
    // The file's bytes (what load reads back).
    std::string toBytes() const;
    bool save(const std::string& path) const;

    // The value in 1/128 disc for the side to move, side A when aToMove.
    int evaluate(const Features& f, bool aToMove, int empties) const
    {
        const std::int16_t* w = (aToMove ? forA : forB)[static_cast<unsigned>(stageOf(empties))].data();
        int v = 0;
        for (int i = 0; i < kInstances; ++i)
            v += w[offsets[static_cast<unsigned>(i)] + f.index[static_cast<unsigned>(i)]];
        return v;
    }

    // One stage's table as trained: for side A to move. Setting it also fills
    // the table for side B (the same weights with the two sides' digits swapped).
    const std::vector<std::int16_t>& stage(int s) const { return forA[static_cast<unsigned>(s)]; }
    void setStage(int s, const std::vector<std::int16_t>& weights);

private:
    std::array<std::vector<std::int16_t>, kStages> forA;
    std::array<std::vector<std::int16_t>, kStages> forB;
    std::array<int, kInstances> offsets{};
};

// The weights the levels play with: null until installed, and after a failed load.
const Weights* installed();
// Loads path and installs it; false, with the reason, when it cannot be read
// (the levels then keep the hand-weighted evaluation).
bool install(const std::string& path, std::string& error);
void uninstall();

} // namespace engine::patterns
