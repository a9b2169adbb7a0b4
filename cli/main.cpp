// orvelle-index: command-line companion of the window. Dispatches to one command per verb.

#include "exitcodes.h"
#include "filereport.h"
#include "generate.h"
#include "render.h"
#include "translations.h"

#include <orvelleversion.h>

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QTextStream>

#include <csignal>
#include <cstring>
#include <memory>

namespace
{

struct Command {
    const char *name;
    const char *summary;
    int (*run)(const QStringList &arguments); // receives the whole command line
};

bool withDisplay = false;

int generateCommand(const QStringList &arguments)
{
    return runGenerate(arguments, withDisplay);
}

int renderCommand(const QStringList &arguments)
{
    return runRender(arguments, withDisplay);
}

// One line per command.
const Command commands[] = {
    {"inspect", "Read a dataset file with the tool's own readers and print what they see as JSON.",
     runInspect},
    {"generate", "Prepare a dataset and write its index file, as the window does (needs a display).",
     generateCommand},
    {"render", "Draw one shot's view as the viewer shows it into a picture (needs a display).",
     renderCommand},
};

// Without a display the platform plugin would abort the program: then generate and render get a
// plain application, enough for their help and usage errors, and say they need a display.
bool displayAvailable()
{
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        if (!qEnvironmentVariableIsEmpty(name))
            return true;
    return false;
}

bool helpRequested(int argc, char *argv[])
{
    for (int i = 2; i < argc; ++i)
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0 ||
            std::strcmp(argv[i], "--help-all") == 0)
            return true;
    return false;
}

// A display that is named but cannot be opened (no server behind DISPLAY) must not abort the
// program either: the platform falls back to one without windows, which generate then refuses.
const char *const NoWindowPlatform = "minimal";

void allowPlatformFallback()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM",
                QByteArray(qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ? "xcb;" : "wayland;xcb;") +
                    NoWindowPlatform);
}

} // namespace

int main(int argc, char *argv[])
{
    // Over the file-size limit a write fails with a reason to report, instead of killing us silently.
    std::signal(SIGXFSZ, SIG_IGN);
    // Only generate and render draw with OpenGL; the other commands run without a display.
    withDisplay = argc > 1 &&
                  (std::strcmp(argv[1], "generate") == 0 || std::strcmp(argv[1], "render") == 0) &&
                  !helpRequested(argc, argv) && displayAvailable();
    std::unique_ptr<QCoreApplication> application;
    if (withDisplay) {
        allowPlatformFallback();
        application = std::make_unique<QGuiApplication>(argc, argv);
        withDisplay = QGuiApplication::platformName() != QLatin1String(NoWindowPlatform);
    } else {
        application = std::make_unique<QCoreApplication>(argc, argv);
    }
    QCoreApplication &app = *application;
    QCoreApplication::setApplicationName(QStringLiteral("orvelle-index"));
    // The engine's messages follow the user's language; the index written does not.
    Translations::install(app);
    QTextStream out(stdout);
    QTextStream err(stderr);

    QString description = QStringLiteral("Command-line companion of Orvelle Index Generator.\n\nCommands:\n");
    for (const Command &command : commands)
        description +=
            QStringLiteral("  %1  %2\n").arg(QLatin1String(command.name), -10).arg(command.summary);
    description += QStringLiteral("\nRun \"orvelle-index COMMAND --help\" for a command's options.");

    QCommandLineParser parser;
    parser.setApplicationDescription(description);
    parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("command"), QStringLiteral("The command to run."),
                                 QStringLiteral("COMMAND [ARGS...]"));
    // Everything after the command belongs to the command's own parser.
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);

    if (!parser.parse(app.arguments())) {
        err << "orvelle-index: " << parser.errorText() << "\n";
        return ExitUsage;
    }
    const QStringList positional = parser.positionalArguments();
    if (positional.isEmpty()) {
        if (parser.isSet(version)) {
            out << "orvelle-index " << ORVELLE_VERSION << "\n";
            return ExitOk;
        }
        if (parser.isSet(QStringLiteral("help"))) {
            out << parser.helpText();
            return ExitOk;
        }
        err << "orvelle-index: no command given\n" << parser.helpText();
        return ExitUsage;
    }
    for (const Command &command : commands)
        if (positional.first() == QLatin1String(command.name))
            return command.run(app.arguments());
    err << "orvelle-index: unknown command \"" << positional.first() << "\"\n" << parser.helpText();
    return ExitUsage;
}
