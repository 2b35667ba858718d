// The engine's rules, search and computer turn. Positions are written as eight
// rows, top (y = 0) first, columns x = 0..7 left to right: '*' black, 'O' or
// 'X' white, '.' empty.

#include "board.h"
#include "reference.h"

#include <QtTest>

#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

using Rows = std::vector<const char*>;

Board boardOf(const Rows& rows)
{
    if (rows.size() != 8)
        qFatal("a board has eight rows");
    Board b;
    b.discCount[Black] = b.discCount[White] = 0;
    for (int y = 0; y < 8; ++y) {
        if (std::strlen(rows[y]) != 8)
            qFatal("a row has eight squares");
        for (int x = 0; x < 8; ++x) {
            const char ch = rows[y][x];
            const int c = ch == '*' ? Black : (ch == 'O' || ch == 'X') ? White : Empty;
            b.setCell(x, y, c);
            if (c != Empty)
                ++b.discCount[c];
        }
    }
    return b;
}

// The rows and counts as text, so a failed comparison shows both boards.
template <typename CellAt>
QString render(CellAt cellAt, const int* counts)
{
    QString s;
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x)
            s += cellAt(x, y) == Black ? '*' : cellAt(x, y) == White ? 'O' : '.';
        s += '\n';
    }
    return s + QStringLiteral("counts %1/%2").arg(counts[Black]).arg(counts[White]);
}

QString textOf(const Board& b)
{
    return render([&](int x, int y) { return b.cell(x, y); }, b.discCount);
}

QString textOf(const RefBoard& r)
{
    return render([&](int x, int y) { return r.cells[x][y]; }, r.discCount);
}

QString textOf(const Rows& rows) { return textOf(boardOf(rows)); }

bool same(const Board& b, const RefBoard& r)
{
    for (int x = 0; x < 8; ++x)
        for (int y = 0; y < 8; ++y)
            if (b.cell(x, y) != r.cells[x][y])
                return false;
    return b.discCount[0] == r.discCount[0] && b.discCount[1] == r.discCount[1];
}

// Runs searchMove with its table captured; returns the table.
QString search(Board& b, int colour, int& x, int& y, int& value)
{
    std::FILE* f = std::tmpfile();
    b.trace = f;
    value = b.searchMove(colour, x, y);
    b.trace = stdout;
    std::fflush(f);
    std::rewind(f);
    QByteArray text;
    char buf[4096];
    for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0;)
        text.append(buf, static_cast<qsizetype>(n));
    std::fclose(f);
    return QString::fromLatin1(text);
}

QString table(const QStringList& lines)
{
    return QStringLiteral("prof\tnoeuds\teval\tcoup\n") + lines.join('\n') + '\n';
}

QStringList legalSquares(Board& b, int colour)
{
    QStringList moves;
    for (int x = 0; x < 8; ++x)
        for (int y = 0; y < 8; ++y)
            if (b.playMove(x, y, colour, false) > 0)
                moves << QStringLiteral("%1%2").arg(QChar('a' + x)).arg(y + 1);
    return moves;
}

// A seeded random game: `plies` random legal moves from the start, a side
// without a move passing. `side` is left as the side to move.
Board randomGame(std::mt19937& rng, int plies, int& side)
{
    Board b;
    side = Black;
    for (int i = 0; i < plies; ++i) {
        std::vector<int> moves;
        for (int sq = 0; sq < 64; ++sq)
            if (b.playMove(sq / 8, sq % 8, side, false) > 0)
                moves.push_back(sq);
        if (!moves.empty()) {
            const int sq = moves[rng() % moves.size()];
            b.playMove(sq / 8, sq % 8, side, true);
        }
        side = 1 - side;
    }
    return b;
}

// Any mix of cells, reachable or not, with counts to match.
Board randomFill(std::mt19937& rng)
{
    Board b;
    const unsigned emptyShare = rng() % 60 + 10;
    b.discCount[Black] = b.discCount[White] = 0;
    for (int x = 0; x < 8; ++x)
        for (int y = 0; y < 8; ++y) {
            const int c = rng() % 100 < emptyShare ? Empty : static_cast<int>(rng() % 2);
            b.setCell(x, y, c);
            if (c != Empty)
                ++b.discCount[c];
        }
    return b;
}

QStringList captured;
void capture(QtMsgType, const QMessageLogContext&, const QString& msg) { captured << msg; }

const Rows kStart = {"........", "........", "........", "...*O...",
                     "...O*...", "........", "........", "........"};

const Rows kMultiDirection = {
    "........",
    ".*......",
    "..OO....",
    "OOO.OO*.", // black to play d4 (3, 3)
    "..OO*...",
    ".O.*....",
    "O.......",
    "........",
};

} // namespace

Q_DECLARE_METATYPE(Rows)

class EngineTest : public QObject
{
    Q_OBJECT

private slots:
    // --- Move rule ---------------------------------------------------------

    void startMoves_data()
    {
        QTest::addColumn<int>("colour");
        QTest::addColumn<QStringList>("moves");
        QTest::newRow("black") << int(Black) << QStringList{"c5", "d6", "e3", "f4"};
        QTest::newRow("white") << int(White) << QStringList{"c4", "d3", "e6", "f5"};
    }
    void startMoves()
    {
        QFETCH(int, colour);
        QFETCH(QStringList, moves);
        Board b;
        QCOMPARE(legalSquares(b, colour), moves);
        for (const QString& m : moves)
            QCOMPARE(b.playMove(m[0].toLatin1() - 'a', m[1].digitValue() - 1, colour, false), 1);
    }

    void blackC5TurnsD5()
    {
        Board b;
        QCOMPARE(b.playMove(2, 4, Black, true), 1);
        QCOMPARE(textOf(b), textOf(Rows{"........", "........", "........", "...*O...",
                                        "..***...", "........", "........", "........"}));
        QCOMPARE(b.discCount[Black], 4);
        QCOMPARE(b.discCount[White], 1);
    }

    // d4 brackets two discs to the right, one below and one up-left; the lines
    // to the left (edge), up (empty), up-right (empty first), down-right (own
    // first) and down-left (edge) turn nothing.
    void linesInEachDirection_data()
    {
        QTest::addColumn<int>("d");
        QTest::addColumn<int>("flips");
        const int expected[8] = {2, 0, 1, 0, 0, 0, 0, 1};
        for (int d = 0; d < 8; ++d)
            QTest::addRow("d%d (%+d,%+d)", d, Board::dirX[d], Board::dirY[d]) << d << expected[d];
    }
    void linesInEachDirection()
    {
        QFETCH(int, d);
        QFETCH(int, flips);
        Board b = boardOf(kMultiDirection);
        const QString before = textOf(b);
        QCOMPARE(b.flipLine(3, 3, d, Black, false), flips);
        QCOMPARE(textOf(b), before);
        QCOMPARE(b.flipLine(3, 3, d, Black, true), flips);
        // Only the line's own squares turned, counts untouched.
        int changed = 0;
        const Board original = boardOf(kMultiDirection);
        for (int x = 0; x < 8; ++x)
            for (int y = 0; y < 8; ++y)
                changed += b.cell(x, y) != original.cell(x, y);
        QCOMPARE(changed, flips);
        QCOMPARE(b.discCount[Black], original.discCount[Black]);
    }

    void severalDirectionsAddUp()
    {
        Board b = boardOf(kMultiDirection);
        QCOMPARE(b.playMove(3, 3, Black, false), 4);
        QCOMPARE(textOf(b), textOf(kMultiDirection)); // a test move changes nothing
        QCOMPARE(b.playMove(3, 3, Black, true), 4);
        Board expected = boardOf({"........", ".*......", "..*O....", "OOO****.",
                                  "..O**...", ".O.*....", "O.......", "........"});
        QCOMPARE(textOf(b), textOf(expected));
        QCOMPARE(b.discCount[Black], 9);
        QCOMPARE(b.discCount[White], 7);
    }

    void refusedMovesChangeNothing_data()
    {
        QTest::addColumn<int>("x");
        QTest::addColumn<int>("y");
        QTest::addColumn<int>("colour");
        QTest::newRow("occupied, lines bracketed") << 3 << 3 << int(White);
        QTest::newRow("x = -1") << -1 << 3 << int(Black);
        QTest::newRow("y = 8") << 4 << 8 << int(Black);
        QTest::newRow("far off") << 1000 << -1000 << int(Black);
        QTest::newRow("brackets nothing") << 0 << 0 << int(Black);
        QTest::newRow("colour 2") << 2 << 4 << 2;
        QTest::newRow("colour -1") << 2 << 4 << -1;
        QTest::newRow("colour 7") << 2 << 4 << 7;
    }
    void refusedMovesChangeNothing()
    {
        QFETCH(int, x);
        QFETCH(int, y);
        QFETCH(int, colour);
        // White's own d4 would bracket e4 against f4 if it were empty.
        Board b = boardOf({"........", "........", "........", "...O*O..",
                           "...*O...", "........", "........", "........"});
        const QString before = textOf(b);
        QCOMPARE(b.playMove(x, y, colour, true), 0);
        QCOMPARE(b.playMove(x, y, colour, false), 0);
        for (int d = 0; d < 8; ++d)
            if (colour != Black && colour != White)
                QCOMPARE(b.flipLine(x, y, d, colour, true), 0);
        QCOMPARE(textOf(b), before);
    }

    void clearBoardKeepsCounts()
    {
        Board b;
        b.playMove(2, 4, Black, true);
        b.clearBoard();
        QCOMPARE(b.discCount[Black], 4);
        QCOMPARE(b.discCount[White], 1);
        for (int colour : {Black, White})
            for (int sq = 0; sq < 64; ++sq) {
                QCOMPARE(b.cell(sq / 8, sq % 8), int(Empty));
                QCOMPARE(b.playMove(sq / 8, sq % 8, colour, true), 0);
            }
        // The end-of-game report zeroes the counts: the search meets a side
        // without a move.
        b.discCount[Black] = b.discCount[White] = 0;
        int x = 5, y = 6, v = 0;
        QCOMPARE(search(b, White, x, y, v), table({"1\t1\t-1000000\tf7"}));
        QCOMPARE(v, -1000000);
    }

    void resetAndCells()
    {
        Board b;
        b.playMove(2, 4, Black, true);
        b.setCell(0, 0, White);
        b.setCell(0, 0, 5);  // not a cell code: ignored
        b.setCell(-1, 8, Black); // off the board: ignored
        QCOMPARE(b.cell(0, 0), int(White));
        QCOMPARE(b.cell(-1, 8), int(Empty));
        b.lastMoveX = 4;
        b.lastMoveY = 6;
        b.reset();
        QCOMPARE(textOf(b), textOf(kStart));
        QCOMPARE(textOf(Board()), textOf(kStart));
        QCOMPARE(b.lastMoveX, 0);
        QCOMPARE(b.lastMoveY, 0);
    }

    void squareRect_data()
    {
        QTest::addColumn<QPoint>("p");
        QTest::addColumn<QRect>("square");
        QTest::newRow("(159, 80)") << QPoint(159, 80) << QRect(QPoint(80, 80), QPoint(159, 159));
        QTest::newRow("origin") << QPoint(0, 0) << QRect(0, 0, 80, 80);
        QTest::newRow("last pixel") << QPoint(639, 639) << QRect(560, 560, 80, 80);
        QTest::newRow("truncates toward zero") << QPoint(-79, 5) << QRect(0, 0, 80, 80);
    }
    void squareRect()
    {
        QFETCH(QPoint, p);
        QFETCH(QRect, square);
        QCOMPARE(Board::squareRect(p), square);
    }

    // --- Search --------------------------------------------------------------

    void workedExampleAfterC5()
    {
        Board b;
        b.playMove(2, 4, Black, true);
        int x = 2, y = 4, v = 0;
        QCOMPARE(search(b, White, x, y, v),
                 table({"1\t4\t0\tc4", "2\t18\t-3\tc6", "3\t79\t2\te6", "4\t428\t-3\tc6",
                        "5\t2478\t2\te6"}));
        QCOMPARE(v, 2);
        QCOMPARE(QPoint(x, y), QPoint(4, 5));
        QCOMPARE(b.nodeCount, 2478);
    }

    void searchFromStart()
    {
        Board b;
        int x = 0, y = 0, v = 0;
        QCOMPARE(search(b, White, x, y, v),
                 table({"1\t5\t3\tc4", "2\t17\t0\tc4", "3\t73\t3\tc4", "4\t317\t-2\tc4",
                        "5\t1713\t3\tc4"}));
        QCOMPARE(v, 3);
        QCOMPARE(QPoint(x, y), QPoint(2, 3));
    }

    void endsAtDepthOne_data()
    {
        QTest::addColumn<Rows>("rows");
        QTest::addColumn<QString>("line");
        QTest::newRow("white has no move") << Rows{"........", "........", "........",
            "...**...", "...**...", "........", "........", "........"}
                                           << "1\t1\t-1000000\tc6";
        QTest::newRow("full board 33/31")
            << Rows{"********", "********", "********", "********", "*OOOOOOO", "OOOOOOOO",
                    "OOOOOOOO", "OOOOOOOO"}
            << "1\t1\t-20000\tc6";
    }
    void endsAtDepthOne()
    {
        QFETCH(Rows, rows);
        QFETCH(QString, line);
        Board b = boardOf(rows);
        int x = 2, y = 5, v = 0;
        QCOMPARE(search(b, White, x, y, v), table({line}));
        QCOMPARE(v, line.section('\t', 2, 2).toInt());
        QCOMPARE(QPoint(x, y), QPoint(2, 5)); // no move found: the caller's square stays
        QCOMPARE(textOf(b), textOf(rows));
    }

    // Drawn finishes score 0, inside both bounds: the search must still end.
    void drawnEndingsTerminate_data()
    {
        QTest::addColumn<Rows>("rows");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("full 32/32") << Rows{"********", "********", "********", "********",
                                            "OOOOOOOO", "OOOOOOOO", "OOOOOOOO", "OOOOOOOO"}
                                    << QStringList{"1\t1\t0\tc6", "2\t1\t0\tc6"};
        // White's last disc on h8 turns h7: 32 each.
        QTest::newRow("last square") << Rows{"********", "********", "********", "********",
                                             "OOOOOOOO", "OOOOOOOO", "OOOOOOO*", "OOOOOOO."}
                                     << QStringList{"1\t2\t0\th8", "2\t2\t0\th8"};
    }
    void drawnEndingsTerminate()
    {
        QFETCH(Rows, rows);
        QFETCH(QStringList, lines);
        Board b = boardOf(rows);
        int x = 2, y = 5, v = 1;
        QCOMPARE(search(b, White, x, y, v), table(lines));
        QCOMPARE(v, 0);
        QCOMPARE(textOf(b), textOf(rows));
    }

    void drawnEndingWithChoice()
    {
        // Black (29 against 33) has g1 and h1. g1 turns the most discs, so
        // depth 1 prefers it; but then white's h1 wins, while after h1 white's
        // g1 fills the board at 32 each. Depth 3 adds no position: stop there.
        const Rows rows = {"O****O..", "OO****OO", "O*O*OOOO", "OOOO*OO*",
                           "OOO*OO**", "OOOOO***", "OOOO*O**", "********"};
        Board b = boardOf(rows);
        QCOMPARE(legalSquares(b, Black), (QStringList{"g1", "h1"}));
        int x = 0, y = 0, v = 1;
        QCOMPARE(search(b, Black, x, y, v), table({"1\t3\t5\tg1", "2\t5\t0\th1", "3\t5\t0\th1"}));
        QCOMPARE(v, 0);
        QCOMPARE(QPoint(x, y), QPoint(7, 0));
        QCOMPARE(textOf(b), textOf(rows));
    }

    // The evaluation and the full-board test read discCount, not the cells.
    void countsDriveEvaluation()
    {
        Board b;
        b.discCount[Black] = 31;
        b.discCount[White] = 33;
        int x = 0, y = 0, v = 0;
        QCOMPARE(search(b, White, x, y, v), table({"1\t1\t20000\ta1"}));
        b.discCount[Black] = 31;
        b.discCount[White] = 32; // one move from 64: every reply scores (1 + 2 + 1) x 10000
        QCOMPARE(search(b, White, x, y, v), table({"1\t5\t40000\tc4"}));
        QCOMPARE(b.discCount[White], 32);
    }

    // a6 and b1 each turn one disc for white: a6 comes first in a1, a2, ...
    // order (b1 would come first row by row); the transposed board says a2.
    void equalValuesKeepEarlierSquare_data()
    {
        QTest::addColumn<Rows>("rows");
        QTest::addColumn<QPoint>("square");
        QTest::newRow("a6 before b1") << Rows{"..*O....", "........", "........", "........",
                                              "........", "........", "*.......", "O......."}
                                      << QPoint(0, 5);
        QTest::newRow("a2 before f1") << Rows{"......*O", "........", "*.......", "O.......",
                                              "........", "........", "........", "........"}
                                      << QPoint(0, 1);
    }
    void equalValuesKeepEarlierSquare()
    {
        QFETCH(Rows, rows);
        QFETCH(QPoint, square);
        Board b = boardOf(rows);
        QCOMPARE(legalSquares(b, White).size(), 2);
        int x = 7, y = 7;
        b.nodeCount = 10;
        QCOMPARE(b.negamax(White, x, y, 1), 3);
        QCOMPARE(QPoint(x, y), square);
        QCOMPARE(b.nodeCount, 13); // added to, not reset
    }

    // --- Computer turn -------------------------------------------------------

    void computerPlaysFromStart()
    {
        Board b;
        int x = 0, y = 0;
        b.trace = std::tmpfile();
        QCOMPARE(b.computerPlay(x, y), 3);
        std::fclose(b.trace);
        QCOMPARE(QPoint(x, y), QPoint(2, 3));
        QCOMPARE(b.cell(2, 3), int(White));
        QCOMPARE(b.cell(3, 3), int(White));
        QCOMPARE(b.discCount[Black], 1);
        QCOMPARE(b.discCount[White], 4);
    }

    void computerWithoutMoveReportsError()
    {
        const Rows rows = {"........", "........", "........", "...**...",
                           "..***...", "........", "........", "........"};
        Board b = boardOf(rows);
        int x = 2, y = 4;
        b.trace = std::tmpfile();
        captured.clear();
        const QtMessageHandler previous = qInstallMessageHandler(capture);
        const int v = b.computerPlay(x, y);
        qInstallMessageHandler(previous);
        std::fclose(b.trace);
        QCOMPARE(v, -1000000);
        QCOMPARE(captured, QStringList{"Erreur : negamax renvoie un coup illegal\n"});
        QCOMPARE(QPoint(x, y), QPoint(2, 4));
        QCOMPARE(textOf(b), textOf(rows));
    }

    void dumpAfterC5AndE6()
    {
        Board b;
        QCOMPARE(b.playMove(2, 4, Black, true), 1);
        QCOMPARE(b.playMove(4, 5, White, true), 1);
        QCOMPARE(b.dumpText(), QStringLiteral("\n"
                                              "| | | | | | | | |\n"
                                              "| | | | | | | | |\n"
                                              "| | | | | | | | |\n"
                                              "| | | |*|X| | | |\n"
                                              "| | |*|*|X| | | |\n"
                                              "| | | | |X| | | |\n"
                                              "| | | | | | | | |\n"
                                              "| | | | | | | | |\n"
                                              "\n"
                                              "NOIR :3 // BLANC :3\n"));
    }

    // --- Against the plain engine ------------------------------------------

    void rulesMatchReference()
    {
        std::mt19937 rng(7);
        for (int n = 0; n < 200; ++n) {
            int side = Black;
            Board b = n % 2 ? randomFill(rng) : randomGame(rng, static_cast<int>(rng() % 61), side);
            for (int colour : {Black, White}) {
                for (int x = -1; x <= 8; ++x) {
                    for (int y = -1; y <= 8; ++y) {
                        for (int d = 0; d < 8; ++d) {
                            Board line = b;
                            RefBoard ref(b);
                            QCOMPARE(line.flipLine(x, y, d, colour, true), ref.flipLine(x, y, d, colour, true));
                            QVERIFY2(same(line, ref), qPrintable(textOf(line) + "\nexpected\n" + textOf(ref)));
                        }
                        Board played = b;
                        RefBoard ref(b);
                        QCOMPARE(played.playMove(x, y, colour, false), ref.playMove(x, y, colour, false));
                        const int turned = played.playMove(x, y, colour, true);
                        QCOMPARE(turned, ref.playMove(x, y, colour, true));
                        QVERIFY2(same(played, ref), qPrintable(textOf(played) + "\nexpected\n" + textOf(ref)));
                    }
                }
            }
        }
    }

    // Positions from every stage of seeded random games plus arbitrary
    // fillings, some with counts that disagree with the cells: value, square,
    // every trace line and the board afterwards must all match.
    void searchMatchesReference()
    {
        std::mt19937 rng(2024);
        for (int n = 0; n < 500; ++n) {
            int side = static_cast<int>(rng() % 2);
            Board b = n % 4 == 3 ? randomFill(rng) : randomGame(rng, static_cast<int>(rng() % 64), side);
            if (n % 5 == 4) {
                b.discCount[Black] += static_cast<int>(rng() % 7) - 3;
                b.discCount[White] = 63 - b.discCount[Black] - static_cast<int>(rng() % 3);
            }
            const QString before = textOf(b);
            RefBoard ref(b);
            int x = static_cast<int>(rng() % 8), y = static_cast<int>(rng() % 8);
            int rx = x, ry = y, v = 0;
            std::string expected;
            const int rv = ref.searchMove(side, rx, ry, expected);
            const QString got = search(b, side, x, y, v);
            const QByteArray where = (before + QStringLiteral("\nside %1").arg(side)).toLatin1();
            QVERIFY2(got == QString::fromStdString(expected), where + "\n" + got.toLatin1());
            QVERIFY2(v == rv && x == rx && y == ry, where);
            QCOMPARE(b.nodeCount, ref.nodeCount);
            QCOMPARE(textOf(b), before);
        }
    }

    void negamaxMatchesReference()
    {
        std::mt19937 rng(99);
        for (int n = 0; n < 200; ++n) {
            int side = Black;
            Board b = randomGame(rng, static_cast<int>(rng() % 64), side);
            for (int depth = -1; depth <= 3; ++depth) {
                RefBoard ref(b);
                int x = -5, y = 11, rx = -5, ry = 11;
                b.nodeCount = ref.nodeCount = static_cast<int>(rng() % 50);
                QCOMPARE(b.negamax(side, x, y, depth), ref.negamax(side, rx, ry, depth));
                QCOMPARE(QPoint(x, y), QPoint(rx, ry));
                QCOMPARE(b.nodeCount, ref.nodeCount);
            }
        }
    }
};

QTEST_APPLESS_MAIN(EngineTest)
#include "tst_engine.moc"
