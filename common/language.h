// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLocale>
#include <QString>

// The player's language: the game's own translation and Qt's, found next to
// the executable (a build tree) or in the installed data folder.
namespace Language {

// Replaces the translations a previous call installed with those for locale.
// The C and POSIX locales get none, so the texts stay as written. A language
// the game has no translation for gets the English one: one language on
// screen reads better than the written mix of French and English.
// Returns the language the game's texts are now in, empty for none.
QString install(const QLocale& locale);

// The folder of the game's .qm files.
QString folder();

} // namespace Language
