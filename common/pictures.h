// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// Where the client's pictures are read from. The working directory comes
// first, so a picture put there still replaces the one the game ships; then
// the folder of the executable (a build tree), then the installed data folder.
namespace Pictures {

// The path of the first copy of fileName found; fileName itself when none
// exists, so that loading it fails the usual way.
QString path(const QString& fileName);

} // namespace Pictures
