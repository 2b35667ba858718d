// SPDX-License-Identifier: GPL-3.0-or-later
#include "help/helpmenu.h"

#include <QAction>
#include <QDialog>
#include <QDialogButtonBox>
#include <QKeySequence>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QTextBrowser>
#include <QVBoxLayout>

HelpMenu::HelpMenu(QMainWindow* window)
    : QObject(window)
    , window(window)
{
    QMenu* menu = window->menuBar()->addMenu(tr("&Help"));
    QAction* rules = menu->addAction(tr("&Rules"));
    rules->setShortcuts(QKeySequence::HelpContents);
    connect(rules, &QAction::triggered, this, &HelpMenu::showRules);
    QAction* about = menu->addAction(tr("&About"));
    about->setMenuRole(QAction::AboutRole);
    connect(about, &QAction::triggered, this, &HelpMenu::showAbout);
}

QString HelpMenu::rulesText()
{
    return tr("<h3>How to play</h3>"
              "<p><b>The rule.</b> Black and white take turns to put a disc of their colour on the board. "
              "A disc must go where it encloses, in a line across, down or diagonally, one or more of the "
              "opponent's discs between itself and a disc of its own colour; all the enclosed discs turn "
              "over. Drag the disc from the list beside the board onto a square: the cursor shows whether "
              "it may go there.</p>"
              "<p><b>Passing.</b> A player who has no such square passes with the button under the list, "
              "and the other player moves again.</p>"
              "<p><b>The end.</b> The game ends when the board is full or neither player can move. Whoever "
              "has more discs wins; a report gives the score.</p>"
              "<p><b>Network play.</b> One machine runs the server, <tt>ardesia-server</tt>, on TCP port "
              "50885. Each player chooses <i>Network, Play multi...</i>, types the server's address and "
              "port, picks a colour and connects. The game begins when both colours are taken; white "
              "moves first.</p>");
}

QString HelpMenu::aboutText()
{
    return tr("<h3>Ardesia %1</h3>"
              "<p>Reversi against the computer or a friend over the network.</p>"
              "<p>Network games go through a small relay server, <tt>ardesia-server</tt>, which one "
              "machine runs for both players.</p>"
              "<p>Copyright © 2026 the Ardesia developers.<br>"
              "This program is free software, licensed under the GNU General Public License, version 3 "
              "or any later version (GPL-3.0-or-later). It comes with ABSOLUTELY NO WARRANTY.</p>")
        .arg(QStringLiteral(ARDESIA_VERSION));
}

void HelpMenu::showRules()
{
    if (!rulesPage) {
        rulesPage = new QDialog(window);
        rulesPage->setWindowTitle(tr("Rules"));
        auto* layout = new QVBoxLayout(rulesPage);
        auto* text = new QTextBrowser;
        text->setHtml(rulesText());
        auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close);
        connect(buttons, &QDialogButtonBox::rejected, rulesPage.data(), &QDialog::close);
        layout->addWidget(text);
        layout->addWidget(buttons);
        rulesPage->resize(480, 420);
    }
    rulesPage->show();
    rulesPage->raise();
    rulesPage->activateWindow();
}

void HelpMenu::showAbout()
{
    QMessageBox::about(window, tr("About Ardesia"), aboutText());
}
