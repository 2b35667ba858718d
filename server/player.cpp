// SPDX-License-Identifier: GPL-3.0-or-later
#include "player.h"

#include <QDebug>

Player::Player(QObject* parent)
    : QObject(parent)
{
}

void Player::setCouleur(Colour c)
{
    couleur = c;
}

void Player::setAdresse(const QHostAddress& a)
{
    const QString text = a.toString();
    adresse.setAddress(text);
    qDebug() << text;
}

void Player::setPort(quint16 p)
{
    port = p;
}
