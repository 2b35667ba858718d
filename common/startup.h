// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QList>
#include <QString>

#include <functional>

// What a program says of itself on its command line and to the desktop.
struct ProgramInfo
{
    QString name;        // shown by --version
    QString description; // heads --help
    QString desktopId;   // the name of its .desktop file, without ".desktop"
};

// Runs a program. --help and --version print and exit 0 even with no display;
// otherwise the QApplication is built (it takes Qt's own options such as
// "-platform offscreen"), the program's options are checked and start runs,
// returning the exit code.
int runProgram(int& argc, char** argv, const ProgramInfo& info,
               const QList<QCommandLineOption>& options,
               const std::function<int(const QCommandLineParser&)>& start);
