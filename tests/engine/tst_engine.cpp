// The engine against a plain one on random positions, and on worked examples.
#include "boardtext.h"

#include <QtTest>
#include <random>

Q_DECLARE_METATYPE(Board)

namespace {

// The plain engine: cells in an int[8][8] indexed [x][y], each line walked
// square by square, negamax playing every move on a copy of the whole board.
struct Ref
{
    int c[8][8];
    int n[2]; // black and white counts: the search reads these, not the cells
    int nodes = 0;

    explicit Ref(const Board& b) : n{b.discCount[Black], b.discCount[White]}
    {
        for (int s = 0; s < 64; ++s)
            c[s / 8][s % 8] = b.cell(s / 8, s % 8);
    }
    bool operator==(const Ref&) const = default;

    int at(int x, int y) const { return x >= 0 && x < 8 && y >= 0 && y < 8 ? c[x][y] : -2; } // -2: off
    int flipLine(int x, int y, int d, int col, bool apply)
    {
        const int dx = Board::dirX[d], dy = Board::dirY[d];
        int k = 1;
        while (at(x + k * dx, y + k * dy) == 1 - col)
            ++k;
        if (k == 1 || at(x + k * dx, y + k * dy) != col)
            return 0;
        for (int i = 1; apply && i < k; ++i)
            c[x + i * dx][y + i * dy] = col;
        return k - 1;
    }
    int playMove(int x, int y, int col, bool apply)
    {
        int total = 0;
        if ((col == Black || col == White) && at(x, y) == Empty)
            for (int d = 0; d < 8; ++d)
                total += flipLine(x, y, d, col, apply);
        if (total > 0 && apply) {
            c[x][y] = col;
            n[col] += total + 1;
            n[1 - col] -= total;
        }
        return total;
    }
    int negamax(int col, int& bestX, int& bestY, int depth)
    {
        ++nodes;
        if (n[Black] + n[White] == 64)
            return (n[col] - n[1 - col]) * 10000;
        if (depth <= 0)
            return n[col] - n[1 - col];
        int best = -1000000, replyX, replyY;
        for (int s = 0; s < 64; ++s) {
            Ref child = *this;
            if (child.playMove(s / 8, s % 8, col, true) == 0)
                continue;
            const int v = -child.negamax(1 - col, replyX, replyY, depth - 1);
            nodes = child.nodes;
            if (v > best)
                std::tie(best, bestX, bestY) = std::tuple(v, s / 8, s % 8);
        }
        return best;
    }
    // The table, then "=" and what the last line says: the nodes, value and pair left.
    QString searchMove(int col, int x, int y)
    {
        QString table = "prof\tnoeuds\teval\tcoup\n";
        for (int depth = 1, previous = -1;; ++depth, previous = nodes) {
            nodes = 0;
            const int v = negamax(col, x, y, depth);
            const QString line = QString::asprintf("\t%d\t%d\t%c%d\n", nodes, v, 'a' + x, y + 1);
            table += QString::number(depth) + line;
            if (v > 9999 || v < -9999 || nodes > 1000 || nodes <= previous)
                return table + "=" + line;
        }
    }
};

// Board::searchMove in the same form as Ref::searchMove.
QString runSearch(Board& b, int colour, int x, int y)
{
    b.trace = std::tmpfile();
    const int v = b.searchMove(colour, x, y);
    const QString table = BoardText::readTrace(b.trace);
    std::fclose(std::exchange(b.trace, stdout));
    return table + QString::asprintf("=\t%d\t%d\t%c%d\n", b.nodeCount, v, 'a' + x, y + 1);
}

// A test move, the move, each line tested then turned, and the position left.
template <typename Engine>
std::pair<QList<int>, Ref> moveResults(Engine e, int x, int y, int colour)
{
    QList<int> r{e.playMove(x, y, colour, false), e.playMove(x, y, colour, true)};
    for (int d = 0; d < 8; ++d)
        r << e.flipLine(x, y, d, colour, false) << e.flipLine(x, y, d, colour, true);
    return {r, Ref(e)};
}

// Random legal play from the start or, one time in three, cells filled at random.
Board randomPosition(std::mt19937& rng)
{
    Board b;
    const bool fill = rng() % 3 == 0;
    const unsigned emptyShare = rng() % 60 + 10;
    for (int s = 0; fill && s < 64; ++s)
        b.setCell(s / 8, s % 8, rng() % 100 < emptyShare ? Empty : int(rng() % 2));
    BoardText::load(b, BoardText::rows(b)); // counts from the cells
    for (int moves = fill ? 0 : int(rng() % 64), side = Black; moves > 0; --moves, side = 1 - side)
        for (int tries = 0; tries < 100; ++tries)
            if (const int s = int(rng() % 64); b.playMove(s / 8, s % 8, side, true) > 0)
                break;
    return b;
}

Board bottomRow(const char* row) // the rest empty
{
    return BoardText::make(QStringList(7, "........") << row);
}

const Board full3331 = BoardText::make({"********", "********", "********", "********",
                                        "*OOOOOOO", "OOOOOOOO", "OOOOOOOO", "OOOOOOOO"});

} // namespace

class EngineTest : public QObject
{
    Q_OBJECT
private slots:
    // White's table from a guess; the value returned and the pair left are those of its last line.
    void workedSearches()
    {
        Board afterC5;
        afterC5.playMove(2, 4, Black, true);
        const std::tuple<Board, QPoint, QString> cases[] = {
            {afterC5, {2, 4}, "1\t4\t0\tc4\n2\t18\t-3\tc6\n3\t79\t2\te6\n4\t428\t-3\tc6\n5\t2478\t2\te6\n"},
            {Board(), {0, 0}, "1\t5\t3\tc4\n2\t17\t0\tc4\n3\t73\t3\tc4\n4\t317\t-2\tc4\n5\t1713\t3\tc4\n"},
            {bottomRow("**......"), {2, 5}, "1\t1\t-1000000\tc6\n"}, // white has no move
            {full3331, {2, 5}, "1\t1\t-20000\tc6\n"}};
        for (auto [board, guess, table] : cases) {
            const QString last = table.section('\n', -2, -2).section('\t', 1);
            QCOMPARE(runSearch(board, White, guess.x(), guess.y()),
                     "prof\tnoeuds\teval\tcoup\n" + table + "=\t" + last + '\n');
        }
    }

    void gameEnd_data()
    {
        QTest::addColumn<Board>("board");
        QTest::addColumn<QList<bool>>("expected"); // black can move, white can move, game over
        QTest::newRow("full") << full3331 << QList<bool>{false, false, true};
        QTest::newRow("wiped out") << bottomRow("**......") << QList<bool>{false, false, true};
        QTest::newRow("blocked") << bottomRow("*......O") << QList<bool>{false, false, true};
        QTest::newRow("only black can move") << bottomRow("*O......") << QList<bool>{true, false, false};
        // As the end-of-game report leaves it.
        QTest::newRow("cleared, counts 0") << bottomRow("........") << QList<bool>{false, false, false};
    }
    void gameEnd()
    {
        QFETCH(Board, board);
        const QList<bool> got{board.hasLegalMove(Black), board.hasLegalMove(White), board.gameOver()};
        QTEST(got, "expected");
    }

    // Random positions, every other one with counts that disagree with the cells. Moves of
    // colour codes -1 to 2 on and next to the board; a search that leaves the position as it was.
    void matchesReference()
    {
        std::mt19937 rng(2024); // fixed start
        for (int n = 0; n < 300; ++n) {
            Board b = randomPosition(rng);
            if (n % 2 == 1) { // near 32/32 and 62 to 64 in all: full and drawn finishes come soon
                b.discCount[Black] = 30 + int(rng() % 5);
                b.discCount[White] = 64 - b.discCount[Black] - int(rng() % 3);
            }
            const Ref before(b);
            const int side = int(rng() % 2), x = int(rng() % 8), y = int(rng() % 8);
            const QString where = BoardText::rows(b).join('\n') + QStringLiteral("\ncounts %1/%2, side %3\n")
                .arg(b.discCount[Black]).arg(b.discCount[White]).arg(side);
            for (int s = 0; s < 400; ++s) {
                const int mx = s % 10 - 1, my = s / 10 % 10 - 1, colour = s / 100 - 1;
                QVERIFY2(moveResults(b, mx, my, colour) == moveResults(before, mx, my, colour),
                         qPrintable(where + QString::asprintf("colour %d at %d,%d", colour, mx, my)));
            }
            QCOMPARE(where + runSearch(b, side, x, y), where + Ref(before).searchMove(side, x, y));
            QVERIFY(Ref(b) == before);
        }
    }
};

QTEST_APPLESS_MAIN(EngineTest)
#include "tst_engine.moc"
