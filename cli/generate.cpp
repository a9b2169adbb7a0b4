#include "generate.h"

#include "exitcodes.h"
#include "generateoptions.h"
#include "progressprinter.h"

#include <ksr/safefile.h>

#include <QCommandLineParser>
#include <QDir>
#include <QTextStream>

#include <cstdio>
#include <unistd.h>

namespace
{

const char *const Prefix = "orvelle-index generate: ";

void printFailure(QTextStream &err, const QString &title, const QString &text)
{
    // One line for the title, the message's lines below it.
    err << Prefix << title << "\n";
    for (const QString &line : text.split(QLatin1Char('\n')))
        err << "  " << line << "\n";
    err.flush();
}

} // namespace

int runGenerate(const QStringList &arguments, bool withDisplay)
{
    QTextStream out(stdout);
    QTextStream err(stderr);

    QCommandLineParser parser;
    addGenerateOptions(parser);
    const GenerateCommandLine commandLine = parseGenerateCommandLine(parser, arguments);
    if (commandLine.helpRequested) {
        out << parser.helpText();
        return ExitOk;
    }
    if (!commandLine.usageError.isEmpty()) {
        err << Prefix << commandLine.usageError << "\n"
            << "Run \"orvelle-index generate --help\" for the options.\n";
        return ExitUsage;
    }

    GenerationPipeline pipeline;
    if (!pipeline.prepare(commandLine.request)) {
        printFailure(err, pipeline.errorTitle(), pipeline.errorText());
        return ExitFailed;
    }
    for (const QString &note : pipeline.importNotes())
        err << Prefix << note << "\n";
    err.flush();
    // Known before the long steps: the folder takes new files and the names are regular files,
    // tested by making a temporary file where the write will make one.
    for (const QString &written : {pipeline.outputFile(), commandLine.request.tesselOutput}) {
        QString why;
        if (!written.isEmpty() && !ksr::SafeFile::canReplace(written, &why)) {
            printFailure(
                err, QStringLiteral("Index generation status"),
                QStringLiteral("\"%1\" cannot be written: %2").arg(QDir::toNativeSeparators(written), why));
            return ExitFailed;
        }
    }
    if (commandLine.startShot > pipeline.shotCount()) {
        err << Prefix << "--start-shot " << commandLine.startShot << ": the dataset holds "
            << pipeline.shotCount() << " shots\n";
        return ExitUsage;
    }
    if (!withDisplay) {
        printFailure(err, QStringLiteral("No display"),
                     QStringLiteral("The thumbnail and depth steps need OpenGL, hence a display: run the "
                                    "command under xvfb-run -a on a machine without one."));
        return ExitFailed;
    }

    ProgressPrinter progress(stderr, isatty(fileno(stderr)) == 1);
    QObject::connect(&pipeline, &GenerationPipeline::jobStarted, &progress, &ProgressPrinter::start);
    QObject::connect(&pipeline, &GenerationPipeline::jobProgress, &progress, &ProgressPrinter::update);
    QObject::connect(&pipeline, &GenerationPipeline::jobFinished, &progress, &ProgressPrinter::finish);
    QObject::connect(&pipeline, &GenerationPipeline::notice, &pipeline,
                     [&](const QString &title, const QString &message) {
                         progress.interrupt();
                         printFailure(err, title, message);
                     });

    if (!pipeline.run()) {
        printFailure(err, pipeline.errorTitle(), pipeline.errorText());
        return ExitFailed;
    }
    out << QDir::toNativeSeparators(pipeline.outputFile()) << "\n";
    return ExitOk;
}
