// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/startup.h"

#include "common/language.h"
#include "common/logging.h"
#include "common/pictures.h"

#include <QApplication>
#include <QIcon>
#include <QLocale>

namespace {

bool asksForText(const QByteArray& arg)
{
    return arg == "-h" || arg == "-?" || arg == "--help" || arg == "--help-all" || arg == "-v"
        || arg == "--version";
}

QCommandLineOption verboseOption()
{
    return QCommandLineOption(QStringLiteral("verbose"),
                              QStringLiteral("Write the developers' traces to standard error."));
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
    parser.addOption(verboseOption());

    // A QApplication aborts where there is no display: the text answers need
    // none, so they are given on the offscreen platform. The application still
    // takes Qt's own options first, which the parser does not know.
    for (int i = 1; i < argc; ++i) {
        if (asksForText(QByteArray(argv[i])))
            qputenv("QT_QPA_PLATFORM", "offscreen");
    }

    QApplication app(argc, argv);
    Language::install(QLocale::system());
    QGuiApplication::setDesktopFileName(info.desktopId);
    QApplication::setWindowIcon(
        QIcon::fromTheme(QStringLiteral("org.ardesia.Ardesia"), QIcon(Pictures::path(QStringLiteral("ardesia.png")))));
    parser.process(app);
    Logging::quietUnlessAsked(parser.isSet(verboseOption()));
    return start(parser);
}
