// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/transcript.h"

#include "engine/bitboard.h"

namespace engine {

namespace {

constexpr std::size_t kMostMoves = 60; // one per square left empty at the start

// A game from our start position; turn is the side that moves next, a side
// without a move being passed over at once.
struct Game
{
    Bits discs[2] = {bitOf(3, 3) | bitOf(4, 4), bitOf(3, 4) | bitOf(4, 3)};
    Colour turn = Colour::Black;

    bool canMove(Colour colour) const
    {
        return legalMoves(discs[index(colour)], discs[index(opponent(colour))]) != 0;
    }

    // Plays colour on (x, y) when it is that side's turn and the move is legal.
    bool play(int x, int y, Colour colour)
    {
        if (colour != turn || x < 0 || x > 7 || y < 0 || y > 7)
            return false;
        const int sq = x * 8 + y;
        if (((discs[0] | discs[1]) >> sq) & 1)
            return false;
        Bits& own = discs[index(colour)];
        Bits& other = discs[index(opponent(colour))];
        const Bits f = flips(own, other, sq);
        if (!f)
            return false;
        own |= f | (Bits{1} << sq);
        other &= ~f;
        if (canMove(opponent(colour)))
            turn = opponent(colour);
        return true;
    }
};

Colour firstMover(Opening opening) { return opening == Opening::BlackFirst ? Colour::Black : Colour::White; }

// Our rows run from the top and black moves first against the computer; the
// common transcript's rows run the other way. A network game starts white:
// the same squares, the colours swapped.
int transcriptRow(int y, Opening opening) { return opening == Opening::BlackFirst ? 7 - y : y; }

std::string moveName(std::size_t index) { return "Move " + std::to_string(index + 1); }

std::string squareName(int x, int y) { return {char('a' + x), char('1' + y)}; }

// The index of the first move the transcript cannot hold, with the reason.
std::size_t firstProblem(const std::vector<PlayedMove>& moves, Opening opening, std::string& why)
{
    Game game;
    game.turn = firstMover(opening);
    for (std::size_t i = 0; i < moves.size(); ++i) {
        const PlayedMove& m = moves[i];
        if (m.x == -1 && m.y == -1) {
            if (game.canMove(m.colour)) {
                why = moveName(i) + " is a pass by a side that could move";
                return i;
            }
            continue;
        }
        if (m.colour != game.turn) {
            why = moveName(i) + " is played out of turn";
            return i;
        }
        if (!game.play(m.x, m.y, m.colour)) {
            const bool onBoard = m.x >= 0 && m.x < 8 && m.y >= 0 && m.y < 8;
            why = moveName(i) + (onBoard ? " (" + squareName(m.x, m.y) + ") is not legal there" : " is off the board");
            return i;
        }
    }
    return moves.size();
}

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v'; }

// A character worth quoting back in an error: printable ASCII.
bool isPrintable(char c) { return c > ' ' && c < 127; }

} // namespace

std::string transcriptProblem(const std::vector<PlayedMove>& moves, Opening opening)
{
    std::string why;
    firstProblem(moves, opening, why);
    return why;
}

std::string writeTranscript(const std::vector<PlayedMove>& moves, Opening opening)
{
    std::string why;
    const std::size_t end = firstProblem(moves, opening, why);
    std::string text;
    for (std::size_t i = 0; i < end; ++i)
        if (moves[i].x >= 0)
            text += squareName(moves[i].x, transcriptRow(moves[i].y, opening));
    return text;
}

ReadTranscript readTranscript(std::string_view text, Opening opening)
{
    while (!text.empty() && isSpace(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isSpace(text.back()))
        text.remove_suffix(1);

    ReadTranscript read;
    if (text.size() > 2 * kMostMoves) {
        read.error = "The transcript holds more than " + std::to_string(kMostMoves) + " moves";
        return read;
    }
    Game game;
    game.turn = firstMover(opening);
    for (std::size_t i = 0; 2 * i < text.size(); ++i) {
        if (2 * i + 1 == text.size()) {
            read.error = moveName(i) + " has a column but no row";
            break;
        }
        const char letter = char(text[2 * i] | 0x20); // lower case; leaves digits and most else apart
        const char digit = text[2 * i + 1];
        if (letter < 'a' || letter > 'h' || digit < '1' || digit > '8') {
            const bool quote = isPrintable(text[2 * i]) && isPrintable(digit);
            read.error = moveName(i) + (quote ? " (" + std::string(text.substr(2 * i, 2)) + ")" : std::string())
                + " is not a square from a1 to h8";
            break;
        }
        const int x = letter - 'a';
        const int y = transcriptRow(digit - '1', opening);
        const Colour mover = game.turn;
        if (!game.canMove(mover)) {
            read.error = moveName(i) + " comes after the end of the game";
            break;
        }
        if (!game.play(x, y, mover)) {
            read.error = moveName(i) + " (" + squareName(x, digit - '1') + ") is not legal there";
            break;
        }
        if (!read.moves.empty() && read.moves.back().colour == mover)
            read.moves.push_back({-1, -1, opponent(mover)});
        read.moves.push_back({x, y, mover});
    }
    read.ok = read.error.empty();
    if (!read.ok)
        read.moves.clear();
    return read;
}

} // namespace engine
