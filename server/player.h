// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "colour.h"

#include <QHostAddress>
#include <QObject>

#include <optional>

// The record of one player: the colour it registered and the peer address
// and port of the connection it registered from. Records outlive connections.
class Player : public QObject
{
    Q_OBJECT

public:
    explicit Player(QObject* parent = nullptr);

    void setCouleur(Colour couleur);
    // Keeps the text form of the address (what the connections are matched
    // on) and traces it.
    void setAdresse(const QHostAddress& adresse);
    void setPort(quint16 port);

    std::optional<Colour> couleur; // none until it registers one
    QHostAddress adresse;
    quint16 port = 0;
};
