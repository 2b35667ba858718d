// SPDX-License-Identifier: GPL-3.0-or-later
#include "network/dialognetwork.h"
#include "ui_dialognetwork.h"

#include "protocol/messages.h"
#include "network/serverconnection.h"

#include <QMessageBox>
#include <QSettings>
#include <QTcpSocket>
#include <QTextCursor>
#include <QTextDocument>

namespace {
// The last server asked, for the next run.
const QString HostKey = QStringLiteral("network/host");
const QString PortKey = QStringLiteral("network/port");
} // namespace

DialogNetwork::DialogNetwork(QWidget* parent)
    : QDialog(parent)
    , ui(new Ui::DialogNetwork)
{
    ui->setupUi(this);
    // Every received text lands in the log: an undo history would keep each
    // one, trimmed or not, for as long as the dialog lives.
    ui->listeMessages->setUndoRedoEnabled(false);
    const QSettings settings;
    ui->serveurIP->setText(settings.value(HostKey, QStringLiteral("127.0.0.1")).toString());
    ui->serveurPort->setValue(settings.value(PortKey, ui->serveurPort->value()).toInt());

    server = new ServerConnection(this);
    server->notify(this, &DialogNetwork::donneesRecues, &DialogNetwork::connecte, &DialogNetwork::deconnecte,
                   &DialogNetwork::erreurSocket);

    ui->radioButton->setChecked(true);
}

DialogNetwork::~DialogNetwork()
{
    // The socket is deleted with the other children after the form is gone,
    // and closing an open connection still signals: keep that from the slots.
    server->socket()->disconnect(this);
    delete ui;
}

void DialogNetwork::on_boutonConnexion_clicked()
{
    const bool black = ui->radioButton->isChecked();
    const bool white = ui->radioButton_2->isChecked();
    if (!black && !white) {
        QMessageBox box(this);
        box.setText(tr("Il faut choisir BLACK ou WHITE."));
        box.exec();
        return;
    }

    log(tr("<em>Tentative de connexion en cours...</em>"));
    QSettings settings;
    settings.setValue(HostKey, ui->serveurIP->text());
    settings.setValue(PortKey, ui->serveurPort->value());

    // The port box stops at 65535, so the cast never wraps to another port.
    server->open(ui->serveurIP->text(), static_cast<quint16>(ui->serveurPort->value()));

    // Sent once the connection is up: written to a socket still connecting,
    // a refused connection would report its error twice.
    requested = black ? Message::Black : Message::White;
    request = requested;
    ticket.clear();
}

void DialogNetwork::donneesRecues()
{
    // Every complete frame is handled now: the server may send more than one
    // before we are notified, and no further notification would come for them.
    const QStringList texts = server->takeTexts();
    // The log is laid out once for the whole delivery, not once per text.
    QTextCursor delivery(ui->listeMessages->document());
    delivery.beginEditBlock();
    for (qsizetype i = 0; i < texts.size(); ++i) {
        // Once the game has begun a text is only logged: those the log would
        // drop before this delivery ends are not shown at all.
        if (started && texts.size() - i > MaxLogEntries)
            continue;
        handleMessage(texts.at(i));
    }
    delivery.endEditBlock();
}

void DialogNetwork::handleMessage(const QString& text)
{
    // The server relays whatever any peer sends: only a whole control text,
    // as the server itself sends it, steers the dialog, and only until its
    // game has begun. Everything else is logged.
    if (started) {
        appendReceived(text);
        return;
    }
    const bool isError = text == Message::Err;
    // Only the echo of our own request registers us: any other would hide
    // the colour we asked for too.
    const bool isBlack = text == Message::Black && requested == Message::Black;
    const bool isWhite = text == Message::White && requested == Message::White;
    // Our server names each player's seat just before the game begins.
    if (Message::isTicket(text))
        ticket = text.mid(Message::Ticket.size());

    if (isError)
        log(tr("Erreur: choissez l'autre couleur."));

    if (text == Message::GameBeginWhite || text == Message::GameBeginBlack) {
        started = true;
        if (text == Message::GameBeginWhite)
            emit setWhite(server->socket()->peerAddress().toString(), server->socket()->peerPort());
        else
            emit setBlack(server->socket()->peerAddress().toString(), server->socket()->peerPort());
        close();
    }

    if (isBlack) {
        ui->boutonConnexion->setEnabled(false);
        ui->radioButton->setEnabled(false);
        ui->radioButton_2->hide();
    }
    if (isWhite) {
        ui->boutonConnexion->setEnabled(false);
        ui->radioButton_2->setEnabled(false);
        ui->radioButton->hide();
    }
    if (isBlack || isWhite)
        log(tr("<em>Couleur enregistrée : en attente d'un adversaire...</em>"));

    if (!isError && !isBlack && !isWhite)
        appendReceived(text);
}

void DialogNetwork::log(const QString& entry)
{
    ui->listeMessages->append(entry);
    // Only the latest entries are kept, dropped by half the log at a time:
    // dropping one per entry would lay the whole log out again at each one.
    QTextDocument* document = ui->listeMessages->document();
    if (document->blockCount() <= 2 * MaxLogEntries)
        return;
    QTextCursor oldest(document);
    oldest.movePosition(QTextCursor::NextBlock, QTextCursor::KeepAnchor,
                        document->blockCount() - MaxLogEntries);
    oldest.removeSelectedText();
}

// The server relays whatever any peer sends, and the log renders rich text:
// a received text is shown as the characters it holds, never as markup.
// Forcing rich text around the escaped characters keeps "&" and runs of
// spaces intact, which plain-text detection on the escaped form would not.
void DialogNetwork::appendReceived(const QString& text)
{
    QString shown = text.left(MaxEntryLength);
    if (shown.size() < text.size())
        shown += QChar(0x2026); // an ellipsis: the rest is not shown
    log(QStringLiteral("<span style=\"white-space:pre-wrap\">%1</span>").arg(shown.toHtmlEscaped()));
}

void DialogNetwork::connecte()
{
    log(tr("<em>Connexion réussie !</em>"));
    if (!request.isEmpty())
        server->send(request);
    request.clear();
}

void DialogNetwork::deconnecte()
{
    log(tr("<em>Déconnecté du serveur</em>"));
}

void DialogNetwork::erreurSocket(QAbstractSocket::SocketError erreur)
{
    switch (erreur) {
    case QAbstractSocket::ConnectionRefusedError:
        log(tr("<em>ERREUR : le serveur a refusé la connexion. Vérifiez si le programme "
            "\"serveur\" a bien été lancé. Vérifiez aussi l'IP et le port.</em>"));
        break;
    case QAbstractSocket::RemoteHostClosedError:
        log(tr("<em>ERREUR : le serveur a coupé la connexion.</em>"));
        break;
    case QAbstractSocket::HostNotFoundError:
        log(tr("<em>ERREUR : le serveur n'a pas pu être trouvé. Vérifiez l'IP et le port.</em>"));
        break;
    default:
        log(tr("<em>ERREUR : ") + server->socket()->errorString() + tr("</em>"));
    }
    ui->boutonConnexion->setEnabled(true);
}
