// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow.h"
#include "common/startup.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    const ProgramInfo info{QStringLiteral("ardesia"),
                           QStringLiteral("Reversi against the computer or a friend over the network."),
                           QStringLiteral("org.ardesia.Ardesia")};
    return runProgram(argc, argv, info, {}, [](const QCommandLineParser&) {
        MainWindow window;
        window.show();
        return QApplication::exec();
    });
}
