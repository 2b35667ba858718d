#pragma once

// A plain engine to check the real one against: cells in an int[8][8], every
// rule walked square by square, negamax that plays in place and writes back a
// copy of the 64 cells and both counts after each move. Slow and obvious.

#include "board.h"

#include <algorithm>
#include <cstdio>
#include <string>

struct RefBoard
{
    static constexpr int dirX[8] = {1, -1, 0, 0, 1, 1, -1, -1};
    static constexpr int dirY[8] = {0, 0, 1, -1, 1, -1, 1, -1};

    int cells[8][8];
    int discCount[2];
    int nodeCount = 0;

    explicit RefBoard(const Board& b)
    {
        for (int x = 0; x < 8; ++x)
            for (int y = 0; y < 8; ++y)
                cells[x][y] = b.cell(x, y);
        discCount[0] = b.discCount[0];
        discCount[1] = b.discCount[1];
    }

    static bool out(int x, int y) { return x < 0 || x > 7 || y < 0 || y > 7; }

    int flipLine(int x, int y, int d, int c, bool apply)
    {
        const int dx = dirX[d], dy = dirY[d];
        const int x1 = x + dx, y1 = y + dy;
        if (out(x1, y1) || cells[x1][y1] == Empty || cells[x1][y1] == c)
            return 0;
        int n = 0;
        for (int cx = x1 + dx, cy = y1 + dy;; cx += dx, cy += dy) {
            if (out(cx, cy) || cells[cx][cy] == Empty)
                return 0;
            ++n;
            if (cells[cx][cy] == c)
                break;
        }
        if (apply)
            for (int i = 0; i < n; ++i)
                cells[x1 + i * dx][y1 + i * dy] = c;
        return n;
    }

    int playMove(int x, int y, int c, bool apply)
    {
        if (c != Black && c != White)
            return 0;
        if (out(x, y) || cells[x][y] != Empty)
            return 0;
        int total = 0;
        for (int d = 0; d < 8; ++d)
            total += flipLine(x, y, d, c, apply);
        if (total == 0 || !apply)
            return total;
        cells[x][y] = c;
        discCount[c] += total + 1;
        discCount[1 - c] -= total;
        return total;
    }

    int negamax(int c, int& bestX, int& bestY, int depth)
    {
        ++nodeCount;
        if (discCount[0] + discCount[1] == 64)
            return (discCount[c] - discCount[1 - c]) * 10000;
        if (depth <= 0)
            return discCount[c] - discCount[1 - c];
        int savedCells[8][8];
        int savedCount[2] = {discCount[0], discCount[1]};
        std::copy(&cells[0][0], &cells[0][0] + 64, &savedCells[0][0]);
        int best = -1000000;
        for (int x = 0; x < 8; ++x) {
            for (int y = 0; y < 8; ++y) {
                if (playMove(x, y, c, true) == 0)
                    continue;
                int scratchX = 0, scratchY = 0;
                const int v = -negamax(1 - c, scratchX, scratchY, depth - 1);
                if (v > best) {
                    bestX = x;
                    bestY = y;
                    best = v;
                }
                std::copy(&savedCells[0][0], &savedCells[0][0] + 64, &cells[0][0]);
                discCount[0] = savedCount[0];
                discCount[1] = savedCount[1];
            }
        }
        return best;
    }

    // Also stops once a depth visits no more positions than the one before.
    int searchMove(int c, int& bestX, int& bestY, std::string& trace)
    {
        trace += "prof\tnoeuds\teval\tcoup\n";
        int previous = -1;
        for (int depth = 1;; ++depth) {
            nodeCount = 0;
            const int v = negamax(c, bestX, bestY, depth);
            char line[64];
            std::snprintf(line, sizeof line, "%d\t%d\t%d\t%c%d\n", depth, nodeCount, v,
                          'a' + bestX, bestY + 1);
            trace += line;
            if (v > 9999 || v < -9999 || nodeCount > 1000 || nodeCount <= previous)
                return v;
            previous = nodeCount;
        }
    }
};
