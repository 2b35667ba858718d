// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLoggingCategory>

// The developers' traces. They are on in a build tree and in the tests, where
// they help, and off in an installed game, where they would only fill the
// desktop's journal, unless the player asks for them with --verbose or
// QT_LOGGING_RULES.
Q_DECLARE_LOGGING_CATEGORY(ardesiaTrace)

namespace Logging {

// Whether the running program is the one its build tree holds.
bool runsFromBuildTree();

// Turns the traces off, both this category and plain qDebug() lines, unless
// verbose is set or the program runs from its build tree. Rules the player
// sets in QT_LOGGING_RULES still win over these.
void quietUnlessAsked(bool verbose, bool fromBuildTree = runsFromBuildTree());

} // namespace Logging
