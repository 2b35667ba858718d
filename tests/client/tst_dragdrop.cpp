// Placing discs by drag and drop against the computer, the piece list that
// is the source of every drag, and the end-of-game report.

#include "boardtext.h"
#include "windowparts.h"
#include "mainwindow.h"
#include "modal.h"
#include "pavotwidget.h"
#include "pieceslist.h"

#include <QDragEnterEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPainter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>
#include <memory>

namespace {

std::unique_ptr<QMimeData> pieceData()
{
    auto data = std::make_unique<QMimeData>();
    QPixmap disc(80, 80);
    disc.fill(Qt::black);
    data->setData(PiecesList::mimeType(), PiecesList::encodePiece(disc, QPoint(0, 0)));
    return data;
}

std::unique_ptr<QMimeData> textData()
{
    auto data = std::make_unique<QMimeData>();
    data->setText(QStringLiteral("c5"));
    return data;
}

// Handed straight to the widget's own handlers: the application would route
// moves and drops only to the widget that took the last drag enter.
void deliver(QWidget* target, QEvent* event)
{
    static_cast<QObject*>(target)->event(event);
}

bool enter(QWidget* target, QPoint at, const QMimeData* data)
{
    QDragEnterEvent event(at, Qt::MoveAction, data, Qt::LeftButton, Qt::NoModifier);
    deliver(target, &event);
    return event.isAccepted();
}

bool moveOver(QWidget* target, QPoint at, const QMimeData* data)
{
    QDragMoveEvent event(at, Qt::MoveAction, data, Qt::LeftButton, Qt::NoModifier);
    deliver(target, &event);
    return event.isAccepted() && event.dropAction() == Qt::MoveAction;
}

bool dropAt(QWidget* target, QPoint at, const QMimeData* data)
{
    QDropEvent event(at, Qt::MoveAction, data, Qt::LeftButton, Qt::NoModifier);
    deliver(target, &event);
    return event.isAccepted();
}

QPoint centre(int x, int y)
{
    return QPoint(x * 80 + 40, y * 80 + 40);
}

// The first cell, in the order a1, a2, ..., where the board takes a drag now.
QPoint firstAllowedCell(PavotWidget* board, const QMimeData* data)
{
    for (int x = 0; x < 8; ++x)
        for (int y = 0; y < 8; ++y)
            if (moveOver(board, centre(x, y), data))
                return centre(x, y);
    return QPoint(-1, -1);
}

// Makes `dir` the working directory for the life of the guard.
struct WorkingDir
{
    explicit WorkingDir(const QString& dir) : previous(QDir::currentPath()) { QDir::setCurrent(dir); }
    ~WorkingDir() { QDir::setCurrent(previous); }
    QString previous;
};

// Exposes the drag start of the list.
struct DragSource : PiecesList
{
    using PiecesList::startDrag;
};

} // namespace

class DragDropTest : public QObject
{
    Q_OBJECT

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

    void dragIsTakenOnlyWhereBlackMayPlay()
    {
        PavotWidget board;
        const auto data = pieceData();
        QVERIFY(enter(&board, centre(0, 0), data.get()));
        QList<QPoint> allowed;
        for (int x = 0; x < 8; ++x)
            for (int y = 0; y < 8; ++y)
                if (moveOver(&board, centre(x, y), data.get()))
                    allowed << QPoint(x, y);
        QCOMPARE(allowed, QList<QPoint>({{2, 4}, {3, 5}, {4, 2}, {5, 3}}));

        // The cell under the cursor decides, to the pixel.
        QVERIFY(moveOver(&board, QPoint(160, 320), data.get()));
        QVERIFY(moveOver(&board, QPoint(239, 399), data.get()));
        QVERIFY(!moveOver(&board, QPoint(159, 320), data.get()));
        QVERIFY(!moveOver(&board, QPoint(240, 399), data.get()));
        QCOMPARE(BoardText::rows(board.model()), BoardText::rows(Board()));

        // Only (1, 1) is legal here: (80, 159) lies in it, (79, 159) does not.
        BoardText::load(board.model(), {"........", "........", "..O.....", "...*....",
                                        "........", "........", "........", "........"});
        QVERIFY(moveOver(&board, QPoint(80, 159), data.get()));
        QCOMPARE(board.offered(), QRect(80, 80, 80, 80));
        QVERIFY(!moveOver(&board, QPoint(79, 159), data.get()));
        QVERIFY(board.offered().isNull());
        QVERIFY(!dropAt(&board, QPoint(79, 159), data.get()));
        QCOMPARE(board.model().cell(0, 1), int(Empty));
    }

    void occupiedCellIsRefusedEvenWhenItWouldBracket()
    {
        PavotWidget board;
        board.model().trace = devNull;
        BoardText::load(board.model(), {"OO*.....", "........", "........", "........",
                                        "........", "........", "........", "........"});
        const QStringList before = BoardText::rows(board.model());
        const auto data = pieceData();
        QVERIFY(!moveOver(&board, centre(0, 0), data.get()));
        QVERIFY(!dropAt(&board, centre(0, 0), data.get()));
        QCOMPARE(BoardText::rows(board.model()), before);
        QCOMPARE(board.discCount()[Black], 1);
    }

    void foreignDataIsRefusedEverywhere()
    {
        PavotWidget board;
        const auto data = textData();
        QVERIFY(!enter(&board, centre(2, 4), data.get()));
        QVERIFY(!moveOver(&board, centre(2, 4), data.get()));
        QVERIFY(!dropAt(&board, centre(2, 4), data.get()));
        QCOMPARE(BoardText::rows(board.model()), BoardText::rows(Board()));
        QVERIFY(!DebugLog::lines().contains(QStringLiteral("canplay false"))); // the rule was not even asked
    }

    void offeredCellIsForgottenOnLeaveAndAfterDrop()
    {
        PavotWidget board;
        board.model().trace = devNull;
        const auto data = pieceData();
        QVERIFY(board.offered().isNull());
        QVERIFY(moveOver(&board, centre(2, 4), data.get()));
        QCOMPARE(board.offered(), QRect(160, 320, 80, 80));
        QDragLeaveEvent leave;
        deliver(&board, &leave);
        QVERIFY(board.offered().isNull());

        QVERIFY(moveOver(&board, centre(4, 2), data.get()));
        QVERIFY(!board.offered().isNull());
        QVERIFY(dropAt(&board, centre(4, 2), data.get()));
        QVERIFY(board.offered().isNull());
    }

    void dropIsAnsweredByTheComputer()
    {
        PavotWidget board;
        std::FILE* trace = std::tmpfile();
        board.model().trace = trace;
        const auto data = pieceData();
        QVERIFY(dropAt(&board, centre(2, 4), data.get()));

        QCOMPARE(BoardText::rows(board.model()),
                 QStringList({"........", "........", "........", "...*O...",
                              "..**O...", "....O...", "........", "........"}));
        QCOMPARE(board.discCount()[Black], 3);
        QCOMPARE(board.discCount()[White], 3);
        QCOMPARE(board.model().lastMoveX, 4);
        QCOMPARE(board.model().lastMoveY, 5);

        const QString text = BoardText::readTrace(trace);
        std::fclose(trace);
        QCOMPARE(text,
                 QStringLiteral("prof\tnoeuds\teval\tcoup\n1\t4\t0\tc4\n2\t18\t-3\tc6\n"
                                "3\t79\t2\te6\n4\t428\t-3\tc6\n5\t2478\t2\te6\n"));

        const QString empty = QStringLiteral("| | | | | | | | |\\n");
        const QString dump = QStringLiteral("\"\\n") + empty + empty + empty
            + QStringLiteral("| | | |*|X| | | |\\n| | |*|*|X| | | |\\n| | | | |X| | | |\\n") + empty + empty
            + QStringLiteral("\\nNOIR :3 // BLANC :3\\n\"");
        // checkDrop's lines, the drop's flag, the value, then the dump.
        QCOMPARE(DebugLog::lines(), QStringList({"canplay false", "[ 2 / 4 ]", "1", "false", "2", dump}));
    }

    void pieceListIsAnInexhaustibleSource()
    {
        DragSource list;
        QVERIFY(list.dragEnabled());
        QVERIFY(!list.acceptDrops());
        QCOMPARE(list.viewMode(), QListView::IconMode);
        QCOMPARE(list.iconSize(), QSize(60, 60));
        QCOMPARE(list.spacing(), 10);

        QPixmap disc(80, 80);
        disc.fill(Qt::red);
        list.insertPiece(disc, QPoint(0, 0));
        QListWidgetItem* item = list.item(0);
        QCOMPARE(int(item->flags()), 37);
        QVERIFY(item->text().isEmpty());
        QCOMPARE(item->data(Qt::UserRole).value<QPixmap>().size(), QSize(80, 80));
        QCOMPARE(item->data(Qt::UserRole + 1).toPoint(), QPoint(0, 0));

        // Offscreen, the drag loop returns at once; the piece stays.
        list.setCurrentItem(item);
        list.startDrag(Qt::CopyAction | Qt::MoveAction);
        QCOMPARE(list.count(), 1);
        const auto data = pieceData();
        QVERIFY(!enter(&list, QPoint(10, 10), data.get()));
    }

    void payloadHoldsAWholePngAndThePoint()
    {
        QPixmap disc(80, 80);
        disc.fill(QColor(10, 200, 30));
        const QByteArray bytes = PiecesList::encodePiece(disc, QPoint(3, -2));
        QCOMPARE(bytes.left(4), QByteArray::fromHex("00000001"));
        QCOMPARE(bytes.mid(4, 8), QByteArray::fromHex("89504e470d0a1a0a"));
        QCOMPARE(bytes.right(8), QByteArray::fromHex("00000003fffffffe"));
        QVERIFY(bytes.mid(bytes.size() - 16, 8).startsWith("IEND"));

        QPixmap back;
        QPoint point;
        QVERIFY(PiecesList::decodePiece(bytes, back, point));
        QCOMPARE(point, QPoint(3, -2));
        QCOMPARE(back.toImage().convertToFormat(QImage::Format_RGB32),
                 disc.toImage().convertToFormat(QImage::Format_RGB32));
        QVERIFY(!PiecesList::decodePiece(bytes.left(20), back, point));
    }

    void pieceIsTheCentredSquareOfTheImage_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QRect>("square");
        QTest::newRow("taller") << QSize(100, 120) << QRect(0, 10, 100, 100);
        QTest::newRow("one column wider") << QSize(81, 80) << QRect(0, 0, 80, 80);
        QTest::newRow("small") << QSize(40, 40) << QRect(0, 0, 40, 40);
    }
    void pieceIsTheCentredSquareOfTheImage()
    {
        QFETCH(QSize, size);
        QFETCH(QRect, square);
        // Blue inside the square that should be kept, red outside it.
        QImage image(size, QImage::Format_RGB32);
        image.fill(Qt::red);
        QPainter(&image).fillRect(square, Qt::blue);
        QTemporaryDir dir;
        QVERIFY(image.save(dir.filePath(QStringLiteral("pion_noir.png"))));

        WorkingDir here(dir.path());
        MainWindow window;
        window.openImage();
        QCOMPARE(window.pieces()->count(), 1);
        const QImage piece = window.pieces()->item(0)->data(Qt::UserRole).value<QPixmap>().toImage();
        QCOMPARE(piece.size(), QSize(80, 80));
        for (QPoint p : {QPoint(0, 0), QPoint(79, 0), QPoint(0, 79), QPoint(79, 79), QPoint(40, 40)})
            QCOMPARE(QColor(piece.pixel(p)), QColor(Qt::blue));

        // Only the first piece ever enters the list.
        window.openImage();
        QCOMPARE(window.pieces()->count(), 1);
    }

    void missingImageIsReported()
    {
        QTemporaryDir dir;
        WorkingDir here(dir.path());
        MainWindow window;
        SeenBox seen;
        pressOnNextBox(seen, QMessageBox::Cancel);
        menuEntries(window, 0).at(0)->trigger();
        QCOMPARE(seen.shown, 1);
        QCOMPARE(seen.title, QStringLiteral("Open Image"));
        QCOMPARE(seen.text, QStringLiteral("The image file could not be loaded."));
        QCOMPARE(seen.buttons, QList<QMessageBox::StandardButton>({QMessageBox::Cancel}));
        QCOMPARE(window.pieces()->count(), 0);
    }

    void wholeGameEndsInTheReport()
    {
        MainWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        menuEntries(window, 0).at(0)->trigger();
        QCOMPARE(window.pieces()->count(), 1);
        PavotWidget* board = window.boardWidget();
        board->model().trace = devNull;
        const auto data = pieceData();

        SeenBox report;
        pressOnNextBox(report, QMessageBox::Ok);
        int turns = 0;
        while (board->discCount()[Black] + board->discCount()[White] < 64 && turns++ < 200) {
            const QPoint cell = firstAllowedCell(board, data.get());
            if (cell.x() >= 0)
                QVERIFY(dropAt(board, cell, data.get()));
            else
                passButton(window)->click(); // black passes
            QCoreApplication::processEvents();
            QCOMPARE(blackCount(window).toInt(), board->discCount()[Black]);
        }
        QTRY_COMPARE(report.shown, 1);
        QTRY_COMPARE(blackCount(window), QStringLiteral("0"));

        const QStringList lines = report.text.split(u'\n');
        const int black = lines.at(lines.size() - 3).mid(8).toInt();
        const int white = lines.at(lines.size() - 2).mid(10).toInt();
        QCOMPARE(black + white, 64);
        const QString winner = black > white ? QStringLiteral("Black won the game.\n\n")
                                             : QStringLiteral("White won the game.\n\n");
        QCOMPARE(report.text, winner + QStringLiteral("Player :%1\nComputer :%2\n").arg(black).arg(white));

        // OK left an empty board that takes no disc until "&Restart".
        QCOMPARE(board->discCount()[Black], 0);
        QCOMPARE(board->discCount()[White], 0);
        QTRY_COMPARE(whiteCount(window), QStringLiteral("0"));
        for (int x = 0; x < 8; ++x)
            for (int y = 0; y < 8; ++y) {
                QCOMPARE(board->model().cell(x, y), int(Empty));
                QVERIFY(!moveOver(board, centre(x, y), data.get()));
            }
        QVERIFY(!dropAt(board, centre(2, 4), data.get()));
        menuEntries(window, 0).at(1)->trigger();
        QVERIFY(dropAt(board, centre(2, 4), data.get()));
        QCOMPARE(report.shown, 1);
    }

    void drawnGameReportsNoWinnerOnce()
    {
        MainWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        PavotWidget* board = window.boardWidget();
        board->model().trace = devNull;
        // Black's last disc on a1 turns b1 and ends at 32 to 32.
        BoardText::load(board->model(), {".O*OOOOO", "**OOOOOO", "OOOOOOOO", "OOOOOOO*",
                                         "OOOOOO**", "********", "********", "********"});
        QCOMPARE(board->discCount()[Black], 30);
        QCOMPARE(board->discCount()[White], 33);

        int shown = 0;
        QString text;
        answerNextBox([&](QMessageBox* box) {
            ++shown;
            text = box->text();
            // Repaints of the full board while the report is open open no other.
            board->repaint();
            QCoreApplication::processEvents();
            box->button(QMessageBox::Ok)->click();
        });
        const auto data = pieceData();
        QVERIFY(dropAt(board, centre(0, 0), data.get()));
        QVERIFY(DebugLog::lines().contains(QStringLiteral("Erreur : negamax renvoie un coup illegal\n")));
        board->repaint();
        board->repaint();
        QTRY_COMPARE(shown, 1);
        QCOMPARE(text, QStringLiteral("Player :32\nComputer :32\n"));
        QTest::qWait(50);
        QCOMPARE(shown, 1);
        QCOMPARE(board->discCount()[Black], 0);
    }

private:
    std::FILE* devNull = nullptr;
};

QTEST_MAIN(DragDropTest)
#include "tst_dragdrop.moc"
