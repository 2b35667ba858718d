// SPDX-License-Identifier: GPL-3.0-or-later
#include "server/fenserveur.h"
#include "common/startup.h"

#include <QApplication>

#include <cstdio>
#include <cstring>

namespace {

// Without a display, and with no platform asked for, the server runs without
// its window rather than abort in Qt's start-up; --headless asks for that
// anywhere.
bool headless(int argc, char** argv)
{
    bool platformGiven = !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--headless") == 0)
            return true;
        if (std::strcmp(argv[i], "-platform") == 0 || std::strncmp(argv[i], "-platform=", 10) == 0)
            platformGiven = true;
    }
    return !platformGiven && qEnvironmentVariableIsEmpty("DISPLAY")
           && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

// A whole number from low to high, or -1.
int number(const QString& text, int low, int high)
{
    bool ok = false;
    const int value = text.toInt(&ok, 10);
    return ok && value >= low && value <= high ? value : -1;
}

} // namespace

int main(int argc, char* argv[])
{
    const ProgramInfo info{QStringLiteral("ardesia-server"),
                           QStringLiteral("Relays the moves of network games of Ardesia."),
                           QStringLiteral("org.ardesia.Server")};
    const Relay::Limits defaults;
    // Several servers on one host serve independent games on other ports.
    const QCommandLineOption portOption(
        QStringLiteral("port"), QStringLiteral("Listen on TCP port <port> (default %1).")
                                    .arg(FenServeur::DefaultPort),
        QStringLiteral("port"), QString::number(FenServeur::DefaultPort));
    const QCommandLineOption gamesOption(
        QStringLiteral("games"),
        QStringLiteral("Serve at most <n> games at once (default %1); 1 serves one game of four "
                       "connections, the classic way.").arg(defaults.games),
        QStringLiteral("n"), QString::number(defaults.games));
    const QCommandLineOption idleOption(
        QStringLiteral("idle-timeout"),
        QStringLiteral("Close a connection that has not joined a game after <seconds> (default %1).")
            .arg(defaults.idleMs / 1000),
        QStringLiteral("seconds"), QString::number(defaults.idleMs / 1000));
    const QCommandLineOption headlessOption(
        QStringLiteral("headless"),
        QStringLiteral("Run without a window (the default where there is no display); exit if the "
                       "port cannot be listened on."));

    // GLib's event loop visits every socket several times a turn; Qt's own
    // once. With thousands of connections that is most of the server's time.
    if (!qEnvironmentVariableIsSet("QT_NO_GLIB"))
        qputenv("QT_NO_GLIB", "1");
    const bool windowless = headless(argc, argv);
    if (windowless)
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const QList<QCommandLineOption> options{portOption, gamesOption, idleOption, headlessOption};
    return runProgram(argc, argv, info, options, [&](const QCommandLineParser& parser) {
        const int port = number(parser.value(portOption), 1, 65535);
        if (port < 0) {
            std::fprintf(stderr, "ardesia-server: the port must be a number from 1 to 65535\n");
            return 2;
        }
        // Four connections a game, one descriptor each.
        Relay::Limits limits;
        limits.games = number(parser.value(gamesOption), 1, 4096);
        const int idle = number(parser.value(idleOption), 1, 86400);
        if (limits.games < 0 || idle < 0) {
            std::fprintf(stderr, "ardesia-server: --games takes 1 to 4096, --idle-timeout 1 to 86400\n");
            return 2;
        }
        limits.idleMs = idle * 1000;
        FenServeur fenetre(quint16(port), QHostAddress(QHostAddress::AnyIPv4), limits);
        if (!fenetre.listener()->isListening()) {
            std::fprintf(stderr, "ardesia-server: cannot listen on port %d: %s\n", port,
                         qPrintable(fenetre.listener()->errorString()));
            // The window shows why; without one, a service manager learns it.
            if (windowless)
                return 1;
        }
        if (!windowless)
            fenetre.show();
        return QApplication::exec();
    });
}
