#include "dialognetwork.h"
#include "ui_dialognetwork.h"

#include "messages.h"

#include <QMessageBox>
#include <QTcpSocket>

DialogNetwork::DialogNetwork(QWidget* parent)
    : QDialog(parent)
    , ui(new Ui::DialogNetwork)
{
    ui->setupUi(this);
    ui->serveurIP->setText(QStringLiteral("127.0.0.1"));

    socket = new QTcpSocket(this);
    connect(socket, &QTcpSocket::readyRead, this, &DialogNetwork::donneesRecues);
    connect(socket, &QTcpSocket::connected, this, &DialogNetwork::connecte);
    connect(socket, &QTcpSocket::disconnected, this, &DialogNetwork::deconnecte);
    connect(socket, &QTcpSocket::errorOccurred, this, &DialogNetwork::erreurSocket);

    ui->radioButton->setChecked(true);
}

DialogNetwork::~DialogNetwork()
{
    // The socket is deleted with the other children after the form is gone,
    // and closing an open connection still signals: keep that from the slots.
    socket->disconnect(this);
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

    ui->listeMessages->append(tr("<em>Tentative de connexion en cours...</em>"));

    socket->abort();
    // A half-read frame of the dropped connection must not be taken as the
    // start of the new connection's first frame.
    reader = Frame::Reader();
    // The port box stops at 65535, so the cast never wraps to another port.
    socket->connectToHost(ui->serveurIP->text(), static_cast<quint16>(ui->serveurPort->value()),
                          QIODevice::ReadWrite);

    // The socket holds the request until the connection is up.
    socket->write(Frame::encode(black ? Message::Black : Message::White));
}

void DialogNetwork::donneesRecues()
{
    // Every complete frame is handled now: the server may send more than one
    // before we are notified, and no further notification would come for them.
    const QStringList texts = reader.readAll(socket);
    for (const QString& text : texts)
        handleMessage(text);
}

void DialogNetwork::handleMessage(const QString& text)
{
    const bool isError = text.contains(Message::Err);
    const bool isBlack = text.contains(Message::Black);
    const bool isWhite = text.contains(Message::White);

    if (isError)
        ui->listeMessages->append(QStringLiteral("Erreur: choissez l'autre couleur."));

    if (text.contains(Message::GameBeginWhite)) {
        emit setWhite(socket->peerAddress().toString(), socket->peerPort());
        close();
    }
    if (text.contains(Message::GameBeginBlack)) {
        emit setBlack(socket->peerAddress().toString(), socket->peerPort());
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

    if (!isError && !isBlack && !isWhite)
        appendReceived(text);
}

// The server relays whatever any peer sends, and the log renders rich text:
// a received text is shown as the characters it holds, never as markup.
// Forcing rich text around the escaped characters keeps "&" and runs of
// spaces intact, which plain-text detection on the escaped form would not.
void DialogNetwork::appendReceived(const QString& text)
{
    ui->listeMessages->append(QStringLiteral("<span style=\"white-space:pre-wrap\">%1</span>")
                                  .arg(text.toHtmlEscaped()));
}

void DialogNetwork::connecte()
{
    ui->listeMessages->append(tr("<em>Connexion réussie !</em>"));
}

void DialogNetwork::deconnecte()
{
    ui->listeMessages->append(tr("<em>Déconnecté du serveur</em>"));
}

void DialogNetwork::erreurSocket(QAbstractSocket::SocketError erreur)
{
    switch (erreur) {
    case QAbstractSocket::ConnectionRefusedError:
        ui->listeMessages->append(
            tr("<em>ERREUR : le serveur a refusé la connexion. Vérifiez si le programme "
               "\"serveur\" a bien été lancé. Vérifiez aussi l'IP et le port.</em>"));
        break;
    case QAbstractSocket::RemoteHostClosedError:
        ui->listeMessages->append(tr("<em>ERREUR : le serveur a coupé la connexion.</em>"));
        break;
    case QAbstractSocket::HostNotFoundError:
        ui->listeMessages->append(
            tr("<em>ERREUR : le serveur n'a pas pu être trouvé. Vérifiez l'IP et le port.</em>"));
        break;
    default:
        ui->listeMessages->append(tr("<em>ERREUR : ") + socket->errorString() + tr("</em>"));
    }
    ui->boutonConnexion->setEnabled(true);
}
