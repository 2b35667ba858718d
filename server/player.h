// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/colour.h"

#include <QHostAddress>

#include <optional>

// The record of one player: the colour it registered and the peer address
// and port of the connection it registered from. Records outlive connections.
struct Player
{
    void setCouleur(Colour c) { couleur = c; }
    // Keeps the text form of the address (what the connections are matched
    // on) and traces it.
    void setAdresse(const QHostAddress& a);
    void setPort(quint16 p) { port = p; }

    std::optional<Colour> couleur; // none until it registers one
    QHostAddress adresse;
    quint16 port = 0;
};
