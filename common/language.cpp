// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/language.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QTranslator>

namespace {

QTranslator* game = nullptr;
QTranslator* qt = nullptr;

void drop(QTranslator*& translator)
{
    if (!translator)
        return;
    QCoreApplication::removeTranslator(translator);
    delete translator;
    translator = nullptr;
}

} // namespace

QString Language::folder()
{
    const QDir bin(QCoreApplication::applicationDirPath());
    const QString built = bin.filePath(QStringLiteral("translations"));
    if (QFileInfo(built).isDir())
        return built;
    return QDir::cleanPath(bin.filePath(QStringLiteral(ARDESIA_DATA_FROM_BIN "/translations")));
}

QString Language::install(const QLocale& locale)
{
    drop(game);
    drop(qt);
    if (locale.language() == QLocale::C)
        return QString();

    game = new QTranslator;
    const QString dir = folder();
    if (!game->load(locale, QStringLiteral("ardesia"), QStringLiteral("_"), dir)
        && !game->load(QStringLiteral("ardesia_en"), dir)) {
        drop(game);
        return QString();
    }
    QCoreApplication::installTranslator(game);

    // The standard buttons and Qt's own messages, in the same language.
    qt = new QTranslator;
    if (qt->load(QLocale(game->language()), QStringLiteral("qtbase"), QStringLiteral("_"),
                 QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(qt);
    else
        drop(qt);
    return game->language();
}
