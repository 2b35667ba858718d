// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>

// The two sides of the game. A square without a disc, or a player record
// without a colour yet, is "no colour": std::optional<Colour> says so.
// The codes travel on the wire (0 black, 1 white); only the protocol turns
// them into colours and back.
enum class Colour { Black = 0, White = 1 };

constexpr Colour opponent(Colour c)
{
    return c == Colour::Black ? Colour::White : Colour::Black;
}

// For arrays that hold one entry per colour.
constexpr std::size_t index(Colour c)
{
    return static_cast<std::size_t>(c);
}
