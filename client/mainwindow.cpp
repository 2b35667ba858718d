// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow.h"

#include "network/dialognetwork.h"
#include "help/helpmenu.h"
#include "movelist/movelistpanel.h"
#include "options/options.h"
#include "board/pavotwidget.h"
#include "pieces/pieceslist.h"
#include "common/pictures.h"
#include "game/savedgame.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QFileDialog>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QStatusBar>
#include <QVBoxLayout>

MainWindow::MainWindow(QWidget* parent)
    : QMainWindow(parent)
    , options(new Options(this))
{
    buildMenus();
    buildCentralArea();
    applyOptions();
    connect(options, &Options::changed, this, &MainWindow::applyOptions);
    connect(board, &PavotWidget::up, this, &MainWindow::showDeparture);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setWindowTitle(tr("QArdesia multi"));
    autoPassTimer.setSingleShot(true);
    autoPassTimer.setInterval(800);
    connect(&autoPassTimer, &QTimer::timeout, this, [this] {
        if (mustPass())
            board->passTurn();
    });
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    board->gameState().cancelSearch();
    QMainWindow::closeEvent(event);
}

void MainWindow::buildMenus()
{
    QMenu* gameMenu = menuBar()->addMenu(tr("&Game"));

    QAction* beginAction = gameMenu->addAction(tr("&Begin alone..."));
    beginAction->setShortcuts(QKeySequence::Open);
    connect(beginAction, &QAction::triggered, this, [this] { openImage(); });

    QAction* restartAction = gameMenu->addAction(tr("&Restart"));
    connect(restartAction, &QAction::triggered, this, &MainWindow::playAgain);

    QAction* undoAction = gameMenu->addAction(tr("&Undo"));
    undoAction->setShortcuts(QKeySequence::Undo);
    connect(undoAction, &QAction::triggered, this, [this] { board->undo(); });
    QAction* redoAction = gameMenu->addAction(tr("Re&do"));
    redoAction->setShortcuts(QKeySequence::Redo);
    connect(redoAction, &QAction::triggered, this, [this] { board->redo(); });
    QAction* hintAction = gameMenu->addAction(tr("&Hint"));
    hintAction->setShortcut(QKeySequence(Qt::Key_H));
    connect(hintAction, &QAction::triggered, this, [this] { board->showHint(); });

    const QString transcripts = tr("Othello transcripts (*.txt);;All files (*)");
    QAction* saveAction = gameMenu->addAction(tr("&Save game..."));
    saveAction->setShortcuts(QKeySequence::Save);
    connect(saveAction, &QAction::triggered, this, [this, transcripts] {
        const QString path = QFileDialog::getSaveFileName(this, tr("Save game"), QString(), transcripts);
        if (!path.isEmpty())
            saveGame(path);
    });
    QAction* openAction = gameMenu->addAction(tr("O&pen game..."));
    connect(openAction, &QAction::triggered, this, [this, transcripts] {
        const QString path = QFileDialog::getOpenFileName(this, tr("Open game"), QString(), transcripts);
        if (!path.isEmpty())
            openGame(path);
    });

    QAction* exitAction = gameMenu->addAction(tr("E&xit"));
    exitAction->setShortcuts(QKeySequence::Quit);
    connect(exitAction, &QAction::triggered, qApp, &QApplication::quit);

    QMenu* networkMenu = menuBar()->addMenu(tr("&Network"));
    QAction* multiAction = networkMenu->addAction(tr("&Play multi..."));
    connect(multiAction, &QAction::triggered, this, &MainWindow::playnet);

    buildOptionsMenu();
}

void MainWindow::buildOptionsMenu()
{
    QMenu* optionsMenu = menuBar()->addMenu(tr("&Options"));
    const std::pair<Options::Choice, const char*> entries[] = {
        {Options::LegalMoves, QT_TR_NOOP("Show &legal moves")},
        {Options::LastMove, QT_TR_NOOP("Show last &move")},
        {Options::WhoseTurn, QT_TR_NOOP("Show whose &turn")},
        {Options::ClickPlay, QT_TR_NOOP("&Click and keyboard play")},
        {Options::AutoPass, QT_TR_NOOP("&Automatic pass")},
        {Options::PlayAtOnce, QT_TR_NOOP("&Play at once")},
        {Options::KeepFinal, QT_TR_NOOP("&Keep the final position")},
        {Options::MoveList, QT_TR_NOOP("Show the move l&ist")},
        {Options::FitBoard, QT_TR_NOOP("Fit the board to the &window")},
    };
    for (const auto& entry : entries) {
        // A copy for the lambda: some compilers cannot capture a structured binding.
        const Options::Choice choice = entry.first;
        QAction* action = optionsMenu->addAction(tr(entry.second));
        action->setCheckable(true);
        action->setChecked(options->isOn(choice));
        connect(action, &QAction::toggled, options, [this, choice](bool on) { options->set(choice, on); });
    }

    QMenu* levelMenu = optionsMenu->addMenu(tr("&Level"));
    auto* levels = new QActionGroup(levelMenu);
    const std::pair<engine::Level, const char*> levelEntries[] = {
        {engine::Level::Beginner, QT_TR_NOOP("&Beginner")}, {engine::Level::Normal, QT_TR_NOOP("&Normal")},
        {engine::Level::Strong, QT_TR_NOOP("&Strong")},     {engine::Level::Expert, QT_TR_NOOP("&Expert")},
        {engine::Level::Master, QT_TR_NOOP("&Master")},
    };
    for (const auto& entry : levelEntries) {
        const engine::Level level = entry.first;
        QAction* action = levelMenu->addAction(tr(entry.second));
        action->setCheckable(true);
        action->setChecked(options->level() == level);
        levels->addAction(action);
        connect(action, &QAction::triggered, options, [this, level] { options->setLevel(level); });
    }

    new HelpMenu(this);
}

// Each option takes effect at once: the board repaints, and the turn label with it.
void MainWindow::applyOptions()
{
    board->showMarks(options->isOn(Options::LegalMoves), options->isOn(Options::LastMove));
    board->setLevel(options->level());
    board->setClickPlay(options->isOn(Options::ClickPlay));
    board->setFitToWindow(options->isOn(Options::FitBoard));
    qobject_cast<QBoxLayout*>(centralWidget()->layout())->setStretchFactor(board, board->fitsWindow() ? 1 : 0);
    movePanel->setVisible(options->isOn(Options::MoveList));
    // A game is ready at launch: the disc comes once the window runs, so a
    // missing picture is reported over a window that is there.
    if (options->isOn(Options::PlayAtOnce) && pieceList->count() == 0)
        QMetaObject::invokeMethod(this, [this] { if (pieceList->count() == 0) openImage(); }, Qt::QueuedConnection);
}

void MainWindow::buildCentralArea()
{
    pieceList = new PiecesList;
    board = new PavotWidget;

    auto* frame = new QFrame;
    auto* frameLayout = new QHBoxLayout(frame);

    blackTitleLabel = new QLabel(tr("Pion(s) noir:"));
    whiteTitleLabel = new QLabel(tr("Pion(s) blanc:"));
    blackCountLabel = new QLabel(QStringLiteral("0"));
    whiteCountLabel = new QLabel(QStringLiteral("0"));
    turnLabel = new QLabel(tr("C'est votre tour !"));

    passButton = new QPushButton(tr("Passer"));
    connect(passButton, &QPushButton::clicked, this, &MainWindow::push);

    auto* column = new QFrame;
    auto* columnLayout = new QVBoxLayout(column);
    columnLayout->addWidget(pieceList);
    columnLayout->addWidget(turnLabel);
    turnLabel->setVisible(true);
    columnLayout->addWidget(passButton);
    columnLayout->addWidget(blackTitleLabel);
    columnLayout->addWidget(blackCountLabel);
    columnLayout->addWidget(whiteTitleLabel);
    columnLayout->addWidget(whiteCountLabel);

    connect(board, &PavotWidget::up, this, &MainWindow::setUp);
    connect(board, &PavotWidget::passEnable, this, &MainWindow::passPbutEn);

    frameLayout->addWidget(column);
    frameLayout->addWidget(board);
    movePanel = new MoveListPanel;
    frameLayout->addWidget(movePanel);
    connect(&board->gameState(), &Game::changed, this,
            [this] { movePanel->showMoves(board->gameState().moves(), board->networkGame()); });
    setCentralWidget(frame);
}

void MainWindow::openImage(const QString&)
{
    loadPiece(QStringLiteral("pion_noir.png"));
}

void MainWindow::loadPiece(const QString& fileName)
{
    QPixmap newImage;
    if (!newImage.load(Pictures::path(fileName))) {
        QMessageBox::warning(this, tr("Open Image"), tr("The image file could not be loaded."),
                             QMessageBox::Cancel);
        return;
    }
    pieceImage = newImage;
    setupPuzzle();
}

void MainWindow::setupPuzzle()
{
    if (pieceList->count() > 0)
        return;
    const int size = qMin(pieceImage.width(), pieceImage.height());
    pieceImage = pieceImage.copy((pieceImage.width() - size) / 2, (pieceImage.height() - size) / 2, size, size)
                     .scaled(80, 80, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    pieceList->insertPiece(pieceImage.copy(0, 0, 80, 80), QPoint(0, 0));
    board->resetDropState();
}

void MainWindow::passPbutEn()
{
    passButton->setEnabled(true);
}

void MainWindow::setUp()
{
    const int black = board->model().count(Colour::Black);
    const int white = board->model().count(Colour::White);
    blackCountLabel->setText(QStringLiteral("%1").arg(black));
    whiteCountLabel->setText(QStringLiteral("%1").arg(white));
    const bool over = board->model().gameOver();
    if (!over)
        finalText.clear();
    turnLabel->setText(finalText.isEmpty() ? turnText() : finalText);
    if (!over) {
        scheduleAutoPass();
        return;
    }
    // A board that the report has cleared, its counts zeroed, holds no game
    // to report again.
    if (reportPending || !finalText.isEmpty() || black + white == 0)
        return;

    QString message;
    if (black > white)
        message = tr("Black won the game.\n\n");
    else if (white > black)
        message = tr("White won the game.\n\n");
    message += tr("Player :%1\n").arg(black);
    message += tr("Computer :%1\n").arg(white);

    // We are inside the board's paint event: a modal loop here would re-enter
    // painting, so the report opens once this repaint is over.
    reportPending = true;
    QMetaObject::invokeMethod(this, [this, message] { showReport(message); }, Qt::QueuedConnection);
}

QString MainWindow::turnText() const
{
    if (autoPassTimer.isActive())
        return tr("Aucun coup possible : vous passez");
    if (options->isOn(Options::WhoseTurn)) {
        const QString departure = departureText();
        if (!departure.isEmpty() && board->turn() != PavotWidget::Turn::Over)
            return departure;
        switch (board->turn()) {
        case PavotWidget::Turn::Computer: return tr("Au tour de l'ordinateur");
        case PavotWidget::Turn::Thinking: return tr("L'ordinateur réfléchit...");
        case PavotWidget::Turn::Remote: return tr("Au tour de l'adversaire");
        case PavotWidget::Turn::Over: return tr("Partie terminée");
        case PavotWidget::Turn::Local: break;
        }
    }
    return tr("C'est votre tour !");
}

bool MainWindow::mustPass() const
{
    const PavotWidget::Turn turn = board->turn();
    if (board->networkGame())
        return turn == PavotWidget::Turn::Local && !board->localPlayerCanMove();
    return turn == PavotWidget::Turn::Computer;
}

void MainWindow::scheduleAutoPass()
{
    if (!options->isOn(Options::AutoPass) || autoPassTimer.isActive() || !mustPass())
        return;
    autoPassTimer.start();
    turnLabel->setText(turnText());
}

QString MainWindow::resultText(int black, int white) const
{
    const int own = board->localColour() == Colour::White ? white : black;
    const int theirs = board->localColour() == Colour::White ? black : white;
    if (own > theirs)
        return tr("You won %1-%2").arg(own).arg(theirs);
    if (own < theirs)
        return tr("You lost %1-%2").arg(own).arg(theirs);
    return tr("Draw %1-%2").arg(own).arg(theirs);
}

void MainWindow::showReport(const QString& message)
{
    QMessageBox box;
    box.setText(message);
    if (box.exec() == QMessageBox::Ok) {
        if (options->isOn(Options::KeepFinal)) {
            finalText = resultText(board->model().count(Colour::Black), board->model().count(Colour::White));
            turnLabel->setText(finalText);
        } else {
            board->model().setCounts(0, 0);
            board->clearBoard();
            if (options->isOn(Options::PlayAtOnce)) {
                board->resetGame();
                openImage();
            }
        }
    }
    reportPending = false;
}

bool MainWindow::saveGame(const QString& path)
{
    const QString error = SavedGame::save(path, board->gameState().moves(), board->networkGame());
    if (!error.isEmpty())
        QMessageBox::warning(this, tr("Save game"), error);
    return error.isEmpty();
}

bool MainWindow::openGame(const QString& path)
{
    const SavedGame::Loaded loaded = SavedGame::load(path);
    QString error = loaded.error;
    if (error.isEmpty() && !board->loadGame(loaded.moves))
        error = tr("The file does not hold a legal game.");
    if (!error.isEmpty()) {
        QMessageBox::warning(this, tr("Open game"), error);
        return false;
    }
    // An opened game is there to be played on.
    if (pieceList->count() == 0)
        openImage();
    return true;
}

void MainWindow::push()
{
    // With automatic passes, "Passer" is only for a player who cannot move.
    if (options->isOn(Options::AutoPass) && !mustPass())
        return;
    board->passTurn();
}

void MainWindow::SeConnecterA()
{
    // Owned by the window: closing only hides it, its connection stays open.
    auto* dialog = new DialogNetwork(this);
    connect(dialog, &DialogNetwork::setBlack, this, &MainWindow::setBlack);
    connect(dialog, &DialogNetwork::setWhite, this, &MainWindow::setWhite);
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
}

void MainWindow::playnet()
{
    board->setOwnColor(Colour::Black);
    SeConnecterA();
}

void MainWindow::setWhite(const QString& a, quint16 p)
{
    startNetworkGame(a, p, Colour::White, QStringLiteral("pion_blanc.png"));
}

void MainWindow::setBlack(const QString& a, quint16 p)
{
    startNetworkGame(a, p, Colour::Black, QStringLiteral("pion_noir.png"));
}

void MainWindow::startNetworkGame(const QString& address, quint16 port, Colour colour, const QString& pieceFile)
{
    // The colour is set before the event loop runs again, so the board's
    // connection handler always sees it.
    board->startNetworkPlay(true, address, port);
    board->setOwnColor(colour);
    if (const auto* dialog = qobject_cast<const DialogNetwork*>(sender()))
        board->setGameTicket(dialog->gameTicket());
    loadPiece(pieceFile);
}

void MainWindow::playAgain()
{
    board->resetGame();
}

QString MainWindow::departureText() const
{
    switch (board->gameLink()) {
    case PavotWidget::Link::OpponentLeft: return tr("L'adversaire a quitté la partie");
    case PavotWidget::Link::Lost: return tr("Connexion au serveur perdue");
    default: return QString();
    }
}

// The message stays in the status bar until the next game begins. The bar is
// made only when there is something to say.
void MainWindow::showDeparture()
{
    const QString departure = departureText();
    QStatusBar* bar = departure.isEmpty() ? findChild<QStatusBar*>() : statusBar();
    if (bar && bar->currentMessage() != departure)
        bar->showMessage(departure);
}
