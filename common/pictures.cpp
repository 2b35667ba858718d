// SPDX-License-Identifier: GPL-3.0-or-later
#include "pictures.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

QString Pictures::path(const QString& fileName)
{
    if (QFileInfo::exists(fileName))
        return fileName;
    // Relative to the executable, so an installed tree works wherever its
    // prefix is moved to.
    const QDir bin(QCoreApplication::applicationDirPath());
    for (const QString& dir : {bin.path(), bin.filePath(QStringLiteral(ARDESIA_DATA_FROM_BIN))}) {
        const QString candidate = QDir(dir).filePath(fileName);
        if (QFileInfo::exists(candidate))
            return candidate;
    }
    return fileName;
}
