// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/logging.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLoggingCategory>

bool Logging::runsFromBuildTree()
{
    // An installed copy is the same binary in another folder, so the folder
    // tells the two apart.
    const QString here = QFileInfo(QCoreApplication::applicationDirPath()).canonicalFilePath();
    return !here.isEmpty() && here == QFileInfo(QStringLiteral(ARDESIA_RUN_DIR)).canonicalFilePath();
}

void Logging::quietUnlessAsked(bool verbose, bool fromBuildTree)
{
    if (verbose || fromBuildTree)
        return;
    // "default" is the category of plain qDebug() lines. QT_LOGGING_RULES is
    // applied after these rules, so a player's own rules take precedence.
    QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false"));
}
