// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow.h"
#include "common/pictures.h"
#include "common/startup.h"
#include "engine/patterns.h"

#include <QApplication>
#include <string>

namespace {

// The computer's trained evaluation, found like the pictures. Without it the
// game still plays, with the hand-weighted evaluation, and says why.
void installWeights()
{
    const QString path = Pictures::path(QStringLiteral("ardesia.weights"));
    std::string error;
    if (!engine::patterns::install(path.toStdString(), error))
        qWarning("ardesia: %s; the computer plays with its simpler evaluation", error.c_str());
}

} // namespace

int main(int argc, char* argv[])
{
    const ProgramInfo info{QStringLiteral("ardesia"),
                           QStringLiteral("Reversi against the computer or a friend over the network."),
                           QStringLiteral("org.ardesia.Ardesia")};
    return runProgram(argc, argv, info, {}, [](const QCommandLineParser&) {
        installWeights();
        MainWindow window;
        window.show();
        return QApplication::exec();
    });
}
