// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPixmap>
#include <QString>

// Where the client's pictures are read from. The working directory comes
// first, so a picture put there still replaces the one the game ships; then
// the folder of the executable (a build tree), then the installed data folder.
namespace Pictures {

// The path of the first copy of fileName found; fileName itself when none
// exists, so that loading it fails the usual way.
QString path(const QString& fileName);

// fileName read for drawing `scale` device pixels to a logical one: from the
// folder path() picks, its larger copy ("name@2x.png") when that folder holds
// one and the scale asks for more than the picture's own size. The pixmap's
// device-pixel ratio says which was read, so its logical size is always the
// picture's own. A null pixmap when nothing can be read.
QPixmap sharpest(const QString& fileName, qreal scale);

} // namespace Pictures
