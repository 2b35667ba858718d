// SPDX-License-Identifier: GPL-3.0-or-later
// The Othello transcript: a known opening both ways, random games there and back, texts that are no game.
#include "engine/transcript.h"
#include "reference.h"

#include <QtTest>

using engine::Opening;
using engine::PlayedMove;
using Moves = std::vector<PlayedMove>;
using enum Colour;

Q_DECLARE_METATYPE(Opening)

// A random game from our start, ending after a random move or with the game.
static Moves randomGame(std::mt19937& rng, Opening opening)
{
    Board board;
    Moves moves;
    const Colour first = opening == Opening::BlackFirst ? Black : White;
    playRandomly(board, rng, 1 + int(rng() % 70), first, [&moves](int x, int y, Colour side) {
        moves.push_back({x, y, side});
    });
    if (moves.back().x < 0) // a pass is only implied by the move after it
        moves.pop_back();
    return moves;
}

namespace engine {
static bool operator==(const PlayedMove& a, const PlayedMove& b)
{
    return a.x == b.x && a.y == b.y && a.colour == b.colour;
}
} // namespace engine

class TranscriptTest : public QObject
{
    Q_OBJECT
private slots:
    // The standard opening: against the computer its rows are mirrored, in a
    // network game its colours swapped; either way it reads and writes back.
    void knownOpening_data()
    {
        QTest::addColumn<Opening>("opening");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QList<int>>("first"); // x and y of f5 on our board
        QTest::addColumn<Colour>("mover");      // who plays it
        QTest::newRow("computer") << Opening::BlackFirst << "f5d6c3d3c4" << QList<int>{5, 3} << Black;
        QTest::newRow("network") << Opening::WhiteFirst << "f5d6c3d3c4" << QList<int>{5, 4} << White;
        QTest::newRow("upper case, spaces") << Opening::BlackFirst << " \tF5d6C3D3c4\r\n" << QList<int>{5, 3} << Black;
    }
    void knownOpening()
    {
        QFETCH(Opening, opening);
        QFETCH(QString, text);
        QFETCH(QList<int>, first);
        QFETCH(Colour, mover);
        const engine::ReadTranscript read = engine::readTranscript(text.toStdString(), opening);
        QVERIFY2(read.ok, read.error.c_str());
        QCOMPARE(read.moves.size(), 5u);
        QCOMPARE((QList<int>{read.moves[0].x, read.moves[0].y}), first);
        QCOMPARE(read.moves[0].colour, mover);
        QCOMPARE(read.moves[1].colour, opponent(mover));
        QCOMPARE(engine::writeTranscript(read.moves, opening), "f5d6c3d3c4");
    }

    // Random games, passes included, write and read back to the same moves.
    void roundTrips()
    {
        std::mt19937 rng(16);
        int passes = 0;
        for (int n = 0; n < 400; ++n) {
            const Opening opening = n % 2 ? Opening::WhiteFirst : Opening::BlackFirst;
            const Moves moves = randomGame(rng, opening);
            QCOMPARE(engine::transcriptProblem(moves, opening), "");
            const std::string text = engine::writeTranscript(moves, opening);
            const engine::ReadTranscript read = engine::readTranscript(text, opening);
            QVERIFY2(read.ok, (text + ": " + read.error).c_str());
            QVERIFY2(read.moves == moves, text.c_str());
            passes += int(std::count_if(moves.begin(), moves.end(), [](const PlayedMove& m) { return m.x < 0; }));
        }
        QVERIFY(passes > 10); // the games did pass
    }

    // Anything but a legal game of at most sixty squares is refused, naming the move.
    void refused_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("move");
        QTest::newRow("illegal first") << QByteArray("e3") << "Move 1";
        QTest::newRow("occupied") << QByteArray("f5f5") << "Move 2";
        QTest::newRow("space inside") << QByteArray("f5 d6") << "Move 2";
        QTest::newRow("half a move") << QByteArray("f5d6c") << "Move 3";
        QTest::newRow("row 9") << QByteArray("f5d9") << "Move 2";
        QTest::newRow("nul") << QByteArray("f5\0d6", 5) << "Move 2";
        QTest::newRow("sixty-one") << QByteArray("f5").repeated(61) << "more than 60";
    }
    void refused()
    {
        QFETCH(QByteArray, text);
        QFETCH(QString, move);
        const engine::ReadTranscript read = engine::readTranscript(text.toStdString(), Opening::BlackFirst);
        QVERIFY(!read.ok);
        QVERIFY(read.moves.empty());
        QVERIFY2(QString::fromStdString(read.error).contains(move), read.error.c_str());
    }
};

QTEST_APPLESS_MAIN(TranscriptTest)
#include "tst_transcript.moc"
