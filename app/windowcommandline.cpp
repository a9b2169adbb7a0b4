#include "windowcommandline.h"

#include <orvelleversion.h>

#include <QCommandLineParser>
#include <QTextStream>

WindowCommandLine WindowCommandLine::parse(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Prepares a calibrated photo dataset and writes its index for the viewer."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    parser.addPositionalArgument(
        QStringLiteral("FILE"),
        QStringLiteral("Dataset to open as File > Import does (.pfp, .orx or a reconstruction)."),
        QStringLiteral("[FILE]"));

    WindowCommandLine result;
    QTextStream out(stdout);
    QTextStream err(stderr);
    const QString program = QStringLiteral("OrvelleIndexGenerator");
    if (!parser.parse(arguments)) {
        err << program << ": " << parser.errorText() << "\nTry '" << program << " --help'.\n";
        result.exitNow = true;
        result.exitCode = 2;
    } else if (parser.isSet(help)) {
        // Without an application object the parser cannot name the program.
        out << parser.helpText().replace(QStringLiteral("<executable_name>"), program);
        result.exitNow = true;
    } else if (parser.isSet(version)) {
        out << program << ' ' << ORVELLE_VERSION << '\n';
        result.exitNow = true;
    } else if (parser.positionalArguments().size() > 1) {
        err << program << ": only one FILE may be given\nTry '" << program << " --help'.\n";
        result.exitNow = true;
        result.exitCode = 2;
    } else if (!parser.positionalArguments().isEmpty()) {
        result.datasetFile = parser.positionalArguments().first();
    }
    return result;
}
