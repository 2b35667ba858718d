// Placing discs by drag and drop against the computer, the piece list every
// drag comes from, and the end-of-game report.

#include "boardtext.h"
#include "modal.h"
#include "pavotwidget.h"
#include "windowparts.h"

#include <QMimeData>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>

namespace {

QMimeData* pieceData()
{
    static QMimeData data;
    data.setData(PiecesList::mimeType(), PiecesList::encodePiece(QPixmap(80, 80), QPoint(0, 0)));
    return &data;
}

// Drag events go straight to the widget's handlers: the application would
// route moves and drops only to the widget that took the last drag enter.
template <typename Event>
bool send(QWidget* target, QPoint at, const QMimeData* data = pieceData())
{
    Event event(at, Qt::MoveAction, data, Qt::LeftButton, Qt::NoModifier);
    static_cast<QObject*>(target)->event(&event);
    return event.isAccepted();
}
bool enter(QWidget* w, QPoint at, const QMimeData* data = pieceData()) { return send<QDragEnterEvent>(w, at, data); }
bool over(QWidget* w, QPoint at, const QMimeData* data = pieceData()) { return send<QDragMoveEvent>(w, at, data); }
bool drop(QWidget* w, QPoint at, const QMimeData* data = pieceData()) { return send<QDropEvent>(w, at, data); }

QPoint centre(int x, int y) { return QPoint(x * 80 + 40, y * 80 + 40); }

QList<QPoint> allowedCells(PavotWidget* board)
{
    QList<QPoint> cells;
    for (int x = 0; x < 8; ++x)
        for (int y = 0; y < 8; ++y)
            if (over(board, centre(x, y)))
                cells << QPoint(x, y);
    return cells;
}

} // namespace

class DragDropTest : public QObject
{
    Q_OBJECT

    std::FILE* devNull = nullptr;

private slots:
    void init()
    {
        DebugLog::start();
        devNull = std::fopen("/dev/null", "w");
    }
    void cleanup()
    {
        DebugLog::stop();
        std::fclose(devNull);
    }

    void dropIsTakenOnlyWhereBlackMayPlay()
    {
        PavotWidget board;
        QVERIFY(enter(&board, centre(0, 0)));
        QCOMPARE(allowedCells(&board), QList<QPoint>({{2, 4}, {3, 5}, {4, 2}, {5, 3}}));
        QVERIFY(over(&board, QPoint(160, 320)) && over(&board, QPoint(239, 399))); // c5's corners
        QCOMPARE(board.offered(), QRect(160, 320, 80, 80));
        QVERIFY(!over(&board, QPoint(159, 320)));
        QVERIFY(board.offered().isNull());

        // Only b2 is legal: (80, 159) lies in it, (79, 159) in a2. a1 is
        // occupied though a line from it would be bracketed.
        BoardText::load(board.model(), {"OO*.....", "........", "..O.....", "...*....", "........",
                                        "........", "........", "........"});
        QVERIFY(over(&board, QPoint(80, 159)));
        QVERIFY(!over(&board, QPoint(79, 159)) && !over(&board, QPoint(0, 0)) && !drop(&board, QPoint(0, 0)));

        // Text from another program is refused before any rule is asked.
        DebugLog::lines().clear();
        QMimeData text;
        text.setText(QStringLiteral("c5"));
        QVERIFY(!enter(&board, QPoint(80, 159), &text) && !over(&board, QPoint(80, 159), &text)
                && !drop(&board, QPoint(80, 159), &text));
        QVERIFY(DebugLog::lines().isEmpty());
        QCOMPARE(board.model().cell(1, 1), int(Empty));

        QVERIFY(over(&board, QPoint(80, 159)));
        QDragLeaveEvent leave;
        static_cast<QObject*>(&board)->event(&leave);
        QVERIFY(board.offered().isNull());
    }

    void dropIsAnsweredByTheComputer()
    {
        PavotWidget board;
        std::FILE* trace = std::tmpfile();
        board.model().trace = trace;
        QVERIFY(over(&board, centre(2, 4)) && drop(&board, centre(2, 4)));
        QVERIFY(board.offered().isNull());
        QCOMPARE(BoardText::rows(board.model()), QStringList({"........", "........", "........", "...*O...",
                                                              "..**O...", "....O...", "........", "........"}));
        QCOMPARE(board.model().lastMoveX * 10 + board.model().lastMoveY, 45);
        QCOMPARE(BoardText::readTrace(trace), QStringLiteral("prof\tnoeuds\teval\tcoup\n1\t4\t0\tc4\n2\t18\t-3\tc6\n"
                                                             "3\t79\t2\te6\n4\t428\t-3\tc6\n5\t2478\t2\te6\n"));
        std::fclose(trace);
        const QString empty = QStringLiteral("| | | | | | | | |\\n");
        const QString dump = "\"\\n" + empty + empty + empty + "| | | |*|X| | | |\\n| | |*|*|X| | | |\\n"
            + "| | | | |X| | | |\\n" + empty + empty + "\\nNOIR :3 // BLANC :3\\n\"";
        // The rule's lines for the move and the drop, the flag, the value, the dump.
        QCOMPARE(DebugLog::lines().mid(3), QStringList({"canplay false", "[ 2 / 4 ]", "1", "false", "2", dump}));
    }

    void pieceListIsAnInexhaustibleSource()
    {
        struct Source : PiecesList { using PiecesList::startDrag; } list;
        QVERIFY(list.dragEnabled() && !list.acceptDrops());
        QCOMPARE(list.viewMode(), QListView::IconMode);
        QCOMPARE(list.iconSize(), QSize(60, 60));
        QPixmap disc(80, 80);
        disc.fill(QColor(10, 200, 30));
        list.insertPiece(disc, QPoint(0, 0));
        QCOMPARE(int(list.item(0)->flags()), 37);
        QCOMPARE(list.item(0)->data(Qt::UserRole + 1).toPoint(), QPoint(0, 0));
        list.setCurrentItem(list.item(0));
        list.startDrag(Qt::CopyAction | Qt::MoveAction); // returns at once offscreen
        QCOMPARE(list.count(), 1);
        QVERIFY(!enter(&list, QPoint(10, 10)));

        // The payload: image marker, a whole PNG, then x and y big-endian.
        const QByteArray bytes = PiecesList::encodePiece(disc, QPoint(3, -2));
        QCOMPARE(bytes.left(12), QByteArray::fromHex("0000000189504e470d0a1a0a"));
        QCOMPARE(bytes.right(16).left(4), QByteArray("IEND"));
        QCOMPARE(bytes.right(8), QByteArray::fromHex("00000003fffffffe"));
        QPixmap back;
        QPoint point;
        QVERIFY(PiecesList::decodePiece(bytes, back, point));
        QCOMPARE(point, QPoint(3, -2));
        QCOMPARE(back.toImage().pixel(5, 5), disc.toImage().pixel(5, 5));
    }

    void pieceIsTheCentredSquareOfTheImage_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QRect>("square");
        QTest::newRow("taller") << QSize(100, 120) << QRect(0, 10, 100, 100);
        QTest::newRow("one column wider") << QSize(81, 80) << QRect(0, 0, 80, 80);
        QTest::newRow("smaller") << QSize(40, 40) << QRect(0, 0, 40, 40);
        QTest::newRow("missing") << QSize() << QRect();
    }
    void pieceIsTheCentredSquareOfTheImage()
    {
        QFETCH(QSize, size);
        QFETCH(QRect, square);
        QTemporaryDir dir;
        if (size.isValid()) { // blue inside the square that should be kept, red outside
            QImage image(size, QImage::Format_RGB32);
            image.fill(Qt::red);
            QPainter(&image).fillRect(square, Qt::blue);
            QVERIFY(image.save(dir.filePath(QStringLiteral("pion_noir.png"))));
        }
        const QString previous = QDir::currentPath();
        QDir::setCurrent(dir.path());
        MainWindow window;
        SeenBox seen;
        if (!size.isValid())
            pressOnNextBox(seen, QMessageBox::Cancel);
        menuEntries(window, 0).at(0)->trigger(); // "&Begin alone..."
        if (size.isValid())
            window.openImage();
        QDir::setCurrent(previous);

        if (!size.isValid()) {
            QCOMPARE(seen.shown, 1);
            QCOMPARE(seen.title + u'/' + seen.text, QStringLiteral("Open Image/The image file could not be loaded."));
            QCOMPARE(seen.buttons, QList<QMessageBox::StandardButton>({QMessageBox::Cancel}));
            QCOMPARE(window.pieces()->count(), 0);
            return;
        }
        QCOMPARE(window.pieces()->count(), 1); // only the first piece ever enters
        const QImage piece = window.pieces()->item(0)->data(Qt::UserRole).value<QPixmap>().toImage();
        QCOMPARE(piece.size(), QSize(80, 80));
        for (QPoint p : {QPoint(0, 0), QPoint(79, 0), QPoint(0, 79), QPoint(79, 79)})
            QCOMPARE(QColor(piece.pixel(p)), QColor(Qt::blue));
    }

    void wholeGameEndsInTheReport()
    {
        MainWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        PavotWidget* board = window.boardWidget();
        board->model().trace = devNull;
        SeenBox report;
        pressOnNextBox(report, QMessageBox::Ok);
        for (int turn = 0; board->discCount()[Black] + board->discCount()[White] < 64 && turn < 200; ++turn) {
            const QList<QPoint> cells = allowedCells(board);
            if (cells.isEmpty())
                passButton(window)->click(); // black cannot move
            else
                QVERIFY(drop(board, centre(cells[0].x(), cells[0].y())));
            QCoreApplication::processEvents();
            QCOMPARE(blackCount(window).toInt(), board->discCount()[Black]);
        }
        QTRY_COMPARE(report.shown, 1);
        const QStringList lines = report.text.split(u'\n');
        const int black = lines.at(lines.size() - 3).mid(8).toInt();
        const int white = 64 - black;
        QCOMPARE(report.text, (black > white ? "Black won the game.\n\n" : "White won the game.\n\n")
                                  + QStringLiteral("Player :%1\nComputer :%2\n").arg(black).arg(white));

        // OK left an empty board that takes no disc until "&Restart".
        QTRY_COMPARE(blackCount(window) + whiteCount(window), QStringLiteral("00"));
        QCOMPARE(BoardText::rows(board->model()).join(QString()), QString(64, u'.'));
        QVERIFY(allowedCells(board).isEmpty() && !drop(board, centre(2, 4)));
        menuEntries(window, 0).at(1)->trigger();
        QVERIFY(drop(board, centre(2, 4)));
    }

    void drawnGameReportsNoWinnerOnce()
    {
        MainWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        PavotWidget* board = window.boardWidget();
        board->model().trace = devNull;
        // Black's last disc on a1 turns b1 and ends the game at 32 to 32.
        BoardText::load(board->model(), {".O*OOOOO", "**OOOOOO", "OOOOOOOO", "OOOOOOO*", "OOOOOO**",
                                         "********", "********", "********"});
        int shown = 0;
        QString text;
        answerNextBox([&](QMessageBox* box) {
            ++shown;
            text = box->text();
            board->repaint(); // repaints of the full board while it is open open no other
            box->button(QMessageBox::Ok)->click();
        });
        QVERIFY(drop(board, centre(0, 0)));
        QVERIFY(DebugLog::lines().contains("Erreur : negamax renvoie un coup illegal\n"));
        board->repaint();
        QTRY_COMPARE(shown, 1);
        QCOMPARE(text, QStringLiteral("Player :32\nComputer :32\n"));
        QTest::qWait(50);
        QCOMPARE(shown, 1);
        QCOMPARE(board->discCount()[Black], 0);
    }
};

QTEST_MAIN(DragDropTest)
#include "tst_dragdrop.moc"
