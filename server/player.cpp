// SPDX-License-Identifier: GPL-3.0-or-later
#include "server/player.h"

#include <QDebug>

void Player::setAdresse(const QHostAddress& a)
{
    const QString text = a.toString();
    adresse.setAddress(text);
    qDebug() << text;
}
