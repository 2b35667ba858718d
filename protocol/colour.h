// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Colour codes, the same on the board, on the wire and in the server's
// records: the opponent of c is 1 - c. A cell without a disc is Empty; a
// player record without a colour yet is NoColour, the same code, which never
// travels.
enum Colour : int { Black = 0, White = 1, Empty = 2, NoColour = Empty };
