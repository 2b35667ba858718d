// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/pictures.h"

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

QPixmap Pictures::sharpest(const QString& fileName, qreal scale)
{
    const QString found = path(fileName);
    // Only a copy beside the one found: a player's own picture is never
    // swapped for a larger one of ours from another folder.
    if (scale > 1) {
        const QFileInfo info(found);
        const QString larger = info.dir().filePath(info.completeBaseName() + QStringLiteral("@2x.") + info.suffix());
        QPixmap pixmap;
        if (QFileInfo::exists(larger) && pixmap.load(larger)) {
            pixmap.setDevicePixelRatio(2);
            return pixmap;
        }
    }
    return QPixmap(found);
}
