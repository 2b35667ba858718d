// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

// The negamax core over bitboards, shared by Board::negamax. p holds the discs
// of the side to move, o the opponent's. diff and sum are what the disc counts
// say (own - opponent, black + white): the evaluation and the full-board test
// read the counts, not the cells, because the game may hold counts that no
// longer match the cells (the end-of-game report zeroes them).
namespace engine {

// Value of the position for the side to move; bestX/bestY take the first
// square, in scan order, of the best value above -1000000 and are left alone
// otherwise. nodes grows by the number of positions visited.
int searchRoot(std::uint64_t p, std::uint64_t o, int diff, int sum, int depth,
               int& bestX, int& bestY, std::uint64_t& nodes);

// The copies searchRoot chooses from: one for every x86-64 processor, one for
// x86-64-v3 where it was built. Which one runs is the processor's business.
namespace generic {
int searchRoot(std::uint64_t p, std::uint64_t o, int diff, int sum, int depth,
               int& bestX, int& bestY, std::uint64_t& nodes);
}
namespace v3 {
int searchRoot(std::uint64_t p, std::uint64_t o, int diff, int sum, int depth,
               int& bestX, int& bestY, std::uint64_t& nodes);
}
// The name of the copy searchRoot runs: "generic" or "x86-64-v3".
const char* searchFlavour();

} // namespace engine
