// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Whole, not declared: users of listener() call its QTcpServer members.
#include "server/listener.h"
#include "server/relay.h"

#include <QHostAddress>
#include <QWidget>

class ElidedLabel;
class QLabel;
class QPushButton;
class QTcpSocket;

// The server's window: it owns the listener and the game coordination, and
// shows the listener's state, the number of players and the last message.
class FenServeur : public QWidget
{
    Q_OBJECT

public:
    static constexpr quint16 DefaultPort = 50885;

    // Listens at once; tests pass port 0 (any free port) and the loopback
    // address.
    explicit FenServeur(quint16 port = DefaultPort,
                        const QHostAddress& address = QHostAddress(QHostAddress::AnyIPv4),
                        const Relay::Limits& limits = {});
    ~FenServeur() override;

    Listener* listener() const { return tcpServer; }
    Relay* relay() const { return coordination; }
    const ElidedLabel* message() const { return messageLabel; }

private slots:
    void nouvelleConnexion();
    void donneesRecues(QTcpSocket* socket);
    void deconnexionClient(QTcpSocket* socket);

private:
    QString startedPrefix() const;
    void serve(QTcpSocket* socket);
    void serveWaiting();

    QLabel* statusLabel = nullptr;
    ElidedLabel* messageLabel = nullptr;
    QPushButton* quitButton = nullptr;
    Listener* tcpServer = nullptr;
    Relay* coordination = nullptr;
};
