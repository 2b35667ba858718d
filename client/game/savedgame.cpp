// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/savedgame.h"

#include "engine/transcript.h"

#include <QCoreApplication>
#include <QFile>
#include <QSaveFile>

namespace SavedGame {

namespace {

QString tr(const char* text)
{
    return QCoreApplication::translate("SavedGame", text);
}

} // namespace

QString save(const QString& path, const std::vector<Game::Played>& moves, bool networkGame)
{
    const engine::Opening opening = networkGame ? engine::Opening::WhiteFirst : engine::Opening::BlackFirst;
    const std::string problem = engine::transcriptProblem(moves, opening);
    if (!problem.empty())
        return tr("This game cannot be saved as a transcript: %1").arg(QString::fromStdString(problem));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return tr("The file could not be written: %1").arg(file.errorString());
    file.write(QByteArray::fromStdString(engine::writeTranscript(moves, opening) + '\n'));
    if (!file.commit())
        return tr("The file could not be written: %1").arg(file.errorString());
    return QString();
}

Loaded load(const QString& path)
{
    Loaded loaded;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        loaded.error = tr("The file could not be read: %1").arg(file.errorString());
        return loaded;
    }
    // A device may not know its size: the read itself is bounded too.
    const QByteArray text = file.size() > MaxBytes ? QByteArray() : file.read(MaxBytes + 1);
    if (file.size() > MaxBytes || text.size() > MaxBytes) {
        loaded.error = tr("The file is too large to be a saved game.");
        return loaded;
    }
    const engine::ReadTranscript read = engine::readTranscript(text.toStdString(), engine::Opening::BlackFirst);
    if (!read.ok) {
        loaded.error = tr("The file does not hold a legal game: %1").arg(QString::fromStdString(read.error));
        return loaded;
    }
    loaded.moves = read.moves;
    return loaded;
}

} // namespace SavedGame
