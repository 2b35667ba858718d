// The engine rule group by rule group, then against a plain engine on random positions.
#include "boardtext.h"
#include <QtTest>
#include <random>

Q_DECLARE_METATYPE(Board)
namespace {
// The plain engine: cells in an int[8][8] indexed [x][y], each line walked square
// by square, negamax playing every move on a copy of the whole board.
struct Ref
{
    int c[8][8], n[2], nodes = 0; // cells, black and white counts, positions visited
    explicit Ref(const Board& b) : n{b.discCount[Black], b.discCount[White]}
    { for (int s = 0; s < 64; ++s) c[s / 8][s % 8] = b.cell(s / 8, s % 8); }
    bool operator==(const Ref&) const = default;
    int flipLine(int x, int y, int d, int col, bool apply)
    {
        static constexpr int dx[8] = {1, -1, 0, 0, 1, 1, -1, -1}, dy[8] = {0, 0, 1, -1, 1, -1, 1, -1};
        const auto at = [&](int k) -> int* { const int cx = x + k * dx[d], cy = y + k * dy[d]; // null off the board
                                             return cx >= 0 && cx < 8 && cy >= 0 && cy < 8 ? &c[cx][cy] : nullptr; };
        int k = 1;
        while (at(k) && *at(k) == 1 - col) ++k;
        if (k == 1 || !at(k) || *at(k) != col) return 0;
        for (int i = 1; apply && i < k; ++i) *at(i) = col;
        return k - 1;
    }
    int playMove(int x, int y, int col, bool apply)
    {
        if ((col != Black && col != White) || x < 0 || x > 7 || y < 0 || y > 7 || c[x][y] != Empty) return 0;
        int total = 0;
        for (int d = 0; d < 8; ++d) total += flipLine(x, y, d, col, apply);
        if (total && apply) { c[x][y] = col; n[col] += total + 1; n[1 - col] -= total; }
        return total;
    }
    int negamax(int col, int& bestX, int& bestY, int depth)
    {
        ++nodes;
        if (n[0] + n[1] == 64) return (n[col] - n[1 - col]) * 10000;
        if (depth <= 0) return n[col] - n[1 - col];
        int best = -1000000, scratchX, scratchY;
        for (int s = 0; s < 64; ++s) {
            Ref child = *this;
            if (!child.playMove(s / 8, s % 8, col, true)) continue;
            const int v = -child.negamax(1 - col, scratchX, scratchY, depth - 1);
            nodes = child.nodes;
            if (v > best) { best = v; bestX = s / 8; bestY = s % 8; }
        }
        return best;
    }
    // Deepens until a bound is passed or a depth visits no more positions than the one before.
    QString searchMove(int col, int& bestX, int& bestY, int& v) // returns the table
    {
        QString trace = "prof\tnoeuds\teval\tcoup\n";
        for (int depth = 1, previous = -1;; ++depth, previous = nodes) {
            nodes = 0;
            v = negamax(col, bestX, bestY, depth);
            trace += QString::asprintf("%d\t%d\t%d\t%c%d\n", depth, nodes, v, 'a' + bestX, bestY + 1);
            if (v > 9999 || v < -9999 || nodes > 1000 || nodes <= previous) return trace;
        }
    }
};

QString runSearch(Board& b, int colour, int& x, int& y, int& value) // returns the table written
{
    b.trace = std::tmpfile();
    value = b.searchMove(colour, x, y);
    const QString table = BoardText::readTrace(b.trace);
    std::fclose(std::exchange(b.trace, stdout));
    return table;
}
QStringList state(const Board& b) // the rows, then the counts
{ return BoardText::rows(b) << QStringLiteral("%1/%2").arg(b.discCount[Black]).arg(b.discCount[White]); }
// Random legal play from the start or, one time in three, any filling of the cells; `side` is to move.
Board randomPosition(std::mt19937& rng, int& side)
{
    Board b;
    side = int(rng() % 2);
    const bool fill = rng() % 3 == 0;
    for (unsigned s = 0, emptyShare = rng() % 60 + 10; fill && s < 64; ++s)
        b.setCell(s / 8, s % 8, rng() % 100 < emptyShare ? Empty : int(rng() % 2));
    for (const int c : {Black, White}) b.discCount[c] = int(BoardText::rows(b).join(QString()).count(u"*O"[c]));
    for (int i = fill ? 0 : int(rng() % 64); i > 0; --i, side = 1 - side) {
        int chosen = -1, seen = 0;
        for (int s = 0; s < 64; ++s)
            if (b.playMove(s / 8, s % 8, side, false) && rng() % ++seen == 0) chosen = s;
        if (chosen >= 0) b.playMove(chosen / 8, chosen % 8, side, true);
    }
    return b;
}
} // namespace

class EngineTest : public QObject
{
    Q_OBJECT
private slots:
    void startMoves()
    {
        for (const auto& [colour, moves] : {std::pair(Black, "c5 d6 e3 f4 "), std::pair(White, "c4 d3 e6 f5 ")}) {
            QString legal; // squares turning one disc each, in a1, a2, ..., h8 order
            for (int s = 0; s < 64; ++s)
                if (Board().playMove(s / 8, s % 8, colour, false) == 1) legal += QString::asprintf("%c%d ", 'a' + s / 8, s % 8 + 1);
            QCOMPARE(legal, QString::fromLatin1(moves));
        }
    }

    // Discs turned and the position after (none: refused, nothing changes); a test move changes nothing.
    void moveRule_data()
    {
        QTest::addColumn<Board>("board"), QTest::addColumn<QPoint>("square"), QTest::addColumn<int>("colour");
        QTest::addColumn<int>("turned"), QTest::addColumn<QStringList>("after");
        // Black d4 turns lines right, down and up-left; the rest end at an edge or an empty square.
        const Board multi = BoardText::make({"........", ".*......", "..OO....", "OOO.OO*.",
                                             "..OO*...", ".O.*....", "O.......", "........"});
        QTest::newRow("c5 from start") << Board() << QPoint(2, 4) << int(Black) << 1 << QStringList{"........",
            "........", "........", "...*O...", "..***...", "........", "........", "........", "4/1"};
        QTest::newRow("several directions") << multi << QPoint(3, 3) << int(Black) << 4 << QStringList{"........",
            ".*......", "..*O....", "OOO****.", "..O**...", ".O.*....", "O.......", "........", "9/7"};
        // Refused: c5 is taken (it would turn d5), a1 brackets nothing, the rest are off the board.
        for (const QPoint p : {QPoint(2, 4), QPoint(0, 0), QPoint(-1, 3), QPoint(4, 8), QPoint(1000, -1000)})
            QTest::addRow("refused %d,%d", p.x(), p.y()) << multi << p << int(Black) << 0 << QStringList();
        for (const int colour : {2, -1, 7})
            QTest::addRow("colour %d", colour) << Board() << QPoint(2, 4) << colour << 0 << QStringList();
    }
    void moveRule()
    {
        QFETCH(Board, board); QFETCH(QPoint, square); QFETCH(int, colour); QFETCH(int, turned); QFETCH(QStringList, after);
        const QStringList before = state(board);
        QCOMPARE(board.playMove(square.x(), square.y(), colour, false), turned);
        QCOMPARE(state(board), before);
        QCOMPARE(board.playMove(square.x(), square.y(), colour, true), turned);
        QCOMPARE(state(board), after.isEmpty() ? before : after);
    }

    void clearResetSquareRectAndDump()
    {
        Board b;
        b.playMove(2, 4, Black, true), b.playMove(4, 5, White, true);
        const QString empty = QStringLiteral("| | | | | | | | |\n");
        QCOMPARE(b.dumpText(), "\n" + empty.repeated(3) + "| | | |*|X| | | |\n| | |*|*|X| | | |\n| | | | |X| | | |\n"
                 + empty.repeated(2) + "\nNOIR :3 // BLANC :3\n");
        b.lastMoveX = 4, b.lastMoveY = 6;
        b.reset();
        QCOMPARE(state(b).mid(3), (QStringList{"...*O...", "...O*...", "........", "........", "........", "2/2"}));
        QCOMPARE(QPoint(b.lastMoveX, b.lastMoveY), QPoint(0, 0));
        b.playMove(2, 4, Black, true);
        b.clearBoard();
        QCOMPARE(state(b), QStringList(8, QStringLiteral("........")) << "4/1"); // counts left alone
        QCOMPARE(Board::squareRect(QPoint(159, 80)), QRect(80, 80, 80, 80));
    }

    // The whole table; value, node count and pair are those of its last line.
    void search_data()
    {
        QTest::addColumn<Board>("board"), QTest::addColumn<int>("colour");
        QTest::addColumn<QPoint>("guess"), QTest::addColumn<QString>("table");
        Board afterC5; afterC5.playMove(2, 4, Black, true);
        QTest::newRow("after c5") << afterC5 << int(White) << QPoint(2, 4)
                                  << "1\t4\t0\tc4\n2\t18\t-3\tc6\n3\t79\t2\te6\n4\t428\t-3\tc6\n5\t2478\t2\te6\n";
        QTest::newRow("start") << Board() << int(White) << QPoint(0, 0)
                               << "1\t5\t3\tc4\n2\t17\t0\tc4\n3\t73\t3\tc4\n4\t317\t-2\tc4\n5\t1713\t3\tc4\n";
        QTest::newRow("no move") << BoardText::make({"........", "........", "........", "...**...", "...**...",
            "........", "........", "........"}) << int(White) << QPoint(2, 5) << "1\t1\t-1000000\tc6\n";
        QTest::newRow("full 33/31") << BoardText::make({"********", "********", "********", "********",
            "*OOOOOOO", "OOOOOOOO", "OOOOOOOO", "OOOOOOOO"}) << int(White) << QPoint(2, 5) << "1\t1\t-20000\tc6\n";
        // Depth 1 likes g1, then white's h1 wins; after h1 white's g1 fills the board 32/32.
        QTest::newRow("drawn ending") << BoardText::make({"O****O..", "OO****OO", "O*O*OOOO", "OOOO*OO*", "OOO*OO**",
            "OOOOO***", "OOOO*O**", "********"}) << int(Black) << QPoint(0, 0) << "1\t3\t5\tg1\n2\t5\t0\th1\n3\t5\t0\th1\n";
    }
    void search()
    {
        QFETCH(Board, board); QFETCH(int, colour); QFETCH(QPoint, guess); QFETCH(QString, table);
        int x = guess.x(), y = guess.y(), v = 0;
        QCOMPARE(runSearch(board, colour, x, y, v), "prof\tnoeuds\teval\tcoup\n" + table);
        QCOMPARE(QStringList({QString::number(board.nodeCount), QString::number(v), QChar('a' + x) + QString::number(y + 1)}),
                 table.section('\n', -2, -2).split('\t').mid(1));
    }

    // White's two moves each turn one disc: the first in a1, a2, ..., h8 order stays.
    void equalValuesKeepEarlierSquare()
    {
        const std::pair<Board, QPoint> cases[] = { // a6 before b1, a2 before f1
            {BoardText::make({"..*O....", "........", "........", "........",
                              "........", "........", "*.......", "O......."}), {0, 5}},
            {BoardText::make({"......*O", "........", "*.......", "O.......",
                              "........", "........", "........", "........"}), {0, 1}}};
        for (auto [b, square] : cases) {
            int x = 7, y = 7;
            b.nodeCount = 10; // added to: the root and two replies make 13
            QCOMPARE(QList<int>({b.negamax(White, x, y, 1), x, y, b.nodeCount}), QList<int>({3, square.x(), square.y(), 13}));
        }
    }

    // From the start white plays c4; with black alone the square left is refused.
    void computerPlay()
    {
        static QStringList messages;
        Board b, alone = BoardText::make({"........", "........", "........", "...**...", "..***...",
                                          "........", "........", "........"});
        b.trace = alone.trace = std::tmpfile();
        const QtMessageHandler previous = qInstallMessageHandler(
            [](QtMsgType, const QMessageLogContext&, const QString& m) { messages << m; });
        const auto restore = qScopeGuard([&] { qInstallMessageHandler(previous); std::fclose(b.trace); });
        int x = 0, y = 0, x2 = 2, y2 = 4;
        QCOMPARE(QList<int>({b.computerPlay(x, y), x, y}), QList<int>({3, 2, 3}));
        QCOMPARE(state(b).mid(3), (QStringList{"..OOO...", "...O*...", "........", "........", "........", "1/4"}));
        QCOMPARE(QList<int>({alone.computerPlay(x2, y2), x2, y2, alone.discCount[Black]}), QList<int>({-1000000, 2, 4, 5}));
        QCOMPARE(messages, QStringList{"Erreur : negamax renvoie un coup illegal\n"}); // once, for black alone
    }

    // Random positions, one in four with counts that disagree with the cells. Rules: both colours on and next
    // to the board: test move, move, each line tested then turned. Search: table, value, pair, node count.
    void matchesReference()
    {
        std::mt19937 rng(2024); // fixed random start
        for (int n = 0, side; n < 400; ++n) {
            Board b = randomPosition(rng, side);
            if (n % 4 == 3) // counts adding up to 62, 63 or 64
                b.discCount[Black] += int(rng() % 7) - 3, b.discCount[White] = 64 - b.discCount[Black] - int(rng() % 3);
            const QStringList before = state(b);
            const QString where = before.join('\n') + QStringLiteral("\nside %1").arg(side);
            for (int s = 0; s < 200; ++s) {
                const int x = s % 10 - 1, y = s / 10 % 10 - 1, colour = s / 100;
                const auto run = [&](auto e) { // the results, then the board after
                    QList<int> r{e.playMove(x, y, colour, false), e.playMove(x, y, colour, true)};
                    for (int d = 0; d < 8; ++d) r << e.flipLine(x, y, d, colour, false) << e.flipLine(x, y, d, colour, true);
                    return std::pair(r, Ref(e)); };
                QVERIFY2(run(b) == run(Ref(b)), qPrintable(where + QString::asprintf(", colour %d at %d,%d", colour, x, y)));
            }
            Ref ref(b);
            int x = int(rng() % 8), y = int(rng() % 8), rx = x, ry = y, v = 0, rv = 0;
            const QString want = ref.searchMove(side, rx, ry, rv), got = runSearch(b, side, x, y, v);
            QVERIFY2(got == want && v == rv && QPoint(x, y) == QPoint(rx, ry) && b.nodeCount == ref.nodes,
                     qPrintable(where + "\nexpected\n" + want + "got\n" + got));
            QCOMPARE(state(b), before);
        }
    }
};

QTEST_APPLESS_MAIN(EngineTest)
#include "tst_engine.moc"
