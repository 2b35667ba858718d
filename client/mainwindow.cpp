// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow.h"

#include "dialognetwork.h"
#include "helpmenu.h"
#include "options/options.h"
#include "pavotwidget.h"
#include "pieceslist.h"
#include "pictures.h"

#include <QAction>
#include <QApplication>
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
}

void MainWindow::buildMenus()
{
    QMenu* gameMenu = menuBar()->addMenu(tr("&Game"));

    QAction* beginAction = gameMenu->addAction(tr("&Begin alone..."));
    beginAction->setShortcuts(QKeySequence::Open);
    connect(beginAction, &QAction::triggered, this, [this] { openImage(); });

    QAction* restartAction = gameMenu->addAction(tr("&Restart"));
    connect(restartAction, &QAction::triggered, this, &MainWindow::playAgain);

    QAction* exitAction = gameMenu->addAction(tr("E&xit"));
    exitAction->setShortcuts(QKeySequence::Quit);
    connect(exitAction, &QAction::triggered, qApp, &QApplication::quit);

    QMenu* networkMenu = menuBar()->addMenu(tr("&Network"));
    QAction* multiAction = networkMenu->addAction(tr("&Play multi..."));
    connect(multiAction, &QAction::triggered, this, &MainWindow::playnet);

    QMenu* optionsMenu = menuBar()->addMenu(tr("&Options"));
    const std::pair<Options::Choice, const char*> entries[] = {
        {Options::LegalMoves, QT_TR_NOOP("Show &legal moves")},
        {Options::LastMove, QT_TR_NOOP("Show last &move")},
        {Options::WhoseTurn, QT_TR_NOOP("Show whose &turn")},
        {Options::StrongerComputer, QT_TR_NOOP("&Stronger computer")},
    };
    for (const auto& entry : entries) {
        // A copy for the lambda: some compilers cannot capture a structured binding.
        const Options::Choice choice = entry.first;
        QAction* action = optionsMenu->addAction(tr(entry.second));
        action->setCheckable(true);
        action->setChecked(options->isOn(choice));
        connect(action, &QAction::toggled, options, [this, choice](bool on) { options->set(choice, on); });
    }

    new HelpMenu(this);
}

// Each option takes effect at once: the board repaints, and the turn label with it.
void MainWindow::applyOptions()
{
    board->showMarks(options->isOn(Options::LegalMoves), options->isOn(Options::LastMove));
    board->model().setStronger(options->isOn(Options::StrongerComputer));
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
    const int black = board->model().count(Black);
    const int white = board->model().count(White);
    blackCountLabel->setText(QStringLiteral("%1").arg(black));
    whiteCountLabel->setText(QStringLiteral("%1").arg(white));
    turnLabel->setText(turnText());
    if (!board->model().gameOver() || reportPending)
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
    if (options->isOn(Options::WhoseTurn)) {
        const QString departure = departureText();
        if (!departure.isEmpty() && board->turn() != PavotWidget::Turn::Over)
            return departure;
        switch (board->turn()) {
        case PavotWidget::Turn::Computer: return tr("Au tour de l'ordinateur");
        case PavotWidget::Turn::Remote: return tr("Au tour de l'adversaire");
        case PavotWidget::Turn::Over: return tr("Partie terminée");
        case PavotWidget::Turn::Local: break;
        }
    }
    return tr("C'est votre tour !");
}

void MainWindow::showReport(const QString& message)
{
    QMessageBox box;
    box.setText(message);
    if (box.exec() == QMessageBox::Ok) {
        board->model().setCounts(0, 0);
        board->clearBoard();
    }
    reportPending = false;
}

void MainWindow::push()
{
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
    board->setOwnColor(Black);
    SeConnecterA();
}

void MainWindow::setWhite(const QString& a, quint16 p)
{
    startNetworkGame(a, p, White, QStringLiteral("pion_blanc.png"));
}

void MainWindow::setBlack(const QString& a, quint16 p)
{
    startNetworkGame(a, p, Black, QStringLiteral("pion_noir.png"));
}

void MainWindow::startNetworkGame(const QString& address, quint16 port, int colour, const QString& pieceFile)
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
    case PavotWidget::Link::OpponentLeft: return QStringLiteral("L'adversaire a quitté la partie");
    case PavotWidget::Link::Lost: return QStringLiteral("Connexion au serveur perdue");
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
