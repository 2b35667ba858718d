// SPDX-License-Identifier: GPL-3.0-or-later
#include "startup.h"

#include "pictures.h"

#include <QApplication>
#include <QIcon>

namespace {

bool asksForText(const QByteArray& arg)
{
    return arg == "-h" || arg == "-?" || arg == "--help" || arg == "--help-all" || arg == "-v"
        || arg == "--version";
}

} // namespace

int runProgram(int& argc, char** argv, const ProgramInfo& info,
               const QList<QCommandLineOption>& options,
               const std::function<int(const QCommandLineParser&)>& start)
{
    QCoreApplication::setOrganizationName(QStringLiteral("Ardesia"));
    QCoreApplication::setApplicationName(info.name);
    QCoreApplication::setApplicationVersion(QStringLiteral(ARDESIA_VERSION));

    QCommandLineParser parser;
    parser.setApplicationDescription(info.description);
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOptions(options);

    // A QApplication aborts where there is no display: the text answers need
    // none, so they are given on the offscreen platform. The application still
    // takes Qt's own options first, which the parser does not know.
    for (int i = 1; i < argc; ++i) {
        if (asksForText(QByteArray(argv[i])))
            qputenv("QT_QPA_PLATFORM", "offscreen");
    }

    QApplication app(argc, argv);
    QGuiApplication::setDesktopFileName(info.desktopId);
    QApplication::setWindowIcon(
        QIcon::fromTheme(QStringLiteral("org.ardesia.Ardesia"), QIcon(Pictures::path(QStringLiteral("ardesia.png")))));
    parser.process(app);
    return start(parser);
}
