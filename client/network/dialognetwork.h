// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAbstractSocket>
#include <QDialog>
#include <QString>

class ServerConnection;

namespace Ui {
class DialogNetwork;
}

// Connection dialog: asks the server for a colour on its own connection and
// reports the colour granted, with the server's address and port, once the
// game begins. Closing only hides it; the connection stays open and the log
// keeps collecting what the server relays.
class DialogNetwork : public QDialog
{
    Q_OBJECT

public:
    // The log keeps at least this many of its latest entries and at most
    // twice as many, each at most MaxEntryLength characters of a received text.
    static constexpr int MaxLogEntries = 500;
    static constexpr int MaxEntryLength = 200;

    explicit DialogNetwork(QWidget* parent = nullptr);
    ~DialogNetwork() override;

    // What one text received from the server does (the fuzz target feeds it
    // directly).
    void handleMessage(const QString& text);

    // The seat ticket our server sent just before the game began (16
    // lowercase hexadecimal digits), empty when none came.
    QString gameTicket() const { return ticket; }

signals:
    void setBlack(QString, quint16);
    void setWhite(QString, quint16);

private slots:
    void on_boutonConnexion_clicked();
    void donneesRecues();
    void connecte();
    void deconnecte();
    void erreurSocket(QAbstractSocket::SocketError erreur);

private:
    void log(const QString& entry);
    void appendReceived(const QString& text);

    Ui::DialogNetwork* ui;
    ServerConnection* server;
    // The colour request, sent once the connection is up.
    QString request;
    // Its text: only the server's echo of it registers us.
    QString requested;
    QString ticket;
    // The game has begun: from then on the dialog only logs.
    bool started = false;
};
