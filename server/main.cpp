// SPDX-License-Identifier: GPL-3.0-or-later
#include "fenserveur.h"
#include "startup.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char* argv[])
{
    const ProgramInfo info{QStringLiteral("ardesia-server"),
                           QStringLiteral("Relays the moves of one network game of Ardesia."),
                           QStringLiteral("org.ardesia.Server")};
    // Several servers on one host serve independent games on other ports.
    const QCommandLineOption portOption(
        QStringLiteral("port"), QStringLiteral("Listen on TCP port <port> (default %1).")
                                    .arg(FenServeur::DefaultPort),
        QStringLiteral("port"), QString::number(FenServeur::DefaultPort));
    return runProgram(argc, argv, info, {portOption}, [&](const QCommandLineParser& parser) {
        bool ok = false;
        const uint port = parser.value(portOption).toUInt(&ok, 10);
        if (!ok || port == 0 || port > 65535) {
            std::fprintf(stderr, "ardesia-server: the port must be a number from 1 to 65535\n");
            return 2;
        }
        FenServeur fenetre(static_cast<quint16>(port));
        fenetre.show();
        return QApplication::exec();
    });
}
