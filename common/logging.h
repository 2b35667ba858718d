// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The developers' traces go through Qt's default logging category (plain
// qDebug(), whose lines keep their well-known form). They are on in a build
// tree and in the tests, where they help, and off in an installed game,
// where they would only fill the desktop's journal, unless the player asks
// for them with --verbose or QT_LOGGING_RULES.

namespace Logging {

// Whether the running program is the one its build tree holds.
bool runsFromBuildTree();

// Turns the traces off unless verbose is set or the program runs from its
// build tree. Rules the player sets in QT_LOGGING_RULES still win over these.
void quietUnlessAsked(bool verbose, bool fromBuildTree = runsFromBuildTree());

} // namespace Logging
