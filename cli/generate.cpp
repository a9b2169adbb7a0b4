#include "generate.h"

#include "exitcodes.h"
#include "generateoptions.h"
#include "jobmessages.h"
#include "progressprinter.h"
#include "session.h"
#include "steps.h"

#include <ksr/safefile.h>

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
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
    addGenerateOptions(parser, QStringLiteral("generate"));
    GenerateCommandLine commandLine = parseGenerateCommandLine(parser, arguments);
    if (commandLine.helpRequested) {
        out << parser.helpText();
        return ExitOk;
    }
    if (!commandLine.usageError.isEmpty()) {
        err << Prefix << commandLine.usageError << "\n"
            << "Run \"orvelle-index generate --help\" for the options.\n";
        return ExitUsage;
    }

    const auto failed = [&](const Problem &problem) {
        printFailure(err, problem.title, problem.text);
        return ExitFailed;
    };
    Session session;
    session.request() = commandLine.request;
    // The model asked for, else the dataset's (the first of several).
    QString givenModel;
    if (!commandLine.modelFile.isEmpty()) {
        givenModel = QFileInfo(commandLine.modelFile).canonicalFilePath();
        if (givenModel.isEmpty() || !QFileInfo(givenModel).isFile())
            return failed(
                {Session::tr("Model not found"), Session::tr("The model file \"%1\" does not exist.")
                                                     .arg(QDir::toNativeSeparators(commandLine.modelFile))});
    }
    const ImportOutcome imported =
        session.importDataset(commandLine.datasetFile, [&](const QString &folder, const QStringList &names) {
            return givenModel.isEmpty() ? Session::firstModel(folder, names) : givenModel;
        });
    if (!imported.accepted)
        return failed(imported.refusal);
    commandLine.applyGivenNames(session.request());
    const SessionRequest &request = session.request();
    // What the import had to say about a reconstruction does not stop the run.
    for (const QString &note : imported.notes)
        err << Prefix << note << "\n";
    err.flush();
    if (commandLine.skipMissing && !session.missingPhotographs().isEmpty()) {
        const QStringList missing = session.missingPhotographs();
        if (session.leaveOutMissing() == 0)
            return failed({Session::tr("Photographs not found"),
                           Session::tr("None of the photographs of the dataset was found.")});
        printFailure(err, QStringLiteral("Left out"),
                     QStringLiteral("%1 shots whose photographs were not found:\n%2")
                         .arg(missing.size())
                         .arg(missing.join(QLatin1Char('\n'))));
    } else if (!session.missingPhotographs().isEmpty()) {
        Problem refusal = JobMessages::photographsNotFound(session.missingPhotographs());
        refusal.text += QStringLiteral("\n--skip-missing leaves their shots out.");
        return failed(refusal);
    }
    if (commandLine.startShot > session.dataset().shotCount()) {
        err << Prefix << "--start-shot " << commandLine.startShot << ": the dataset holds "
            << session.dataset().shotCount() << " shots\n";
        return ExitUsage;
    }
    if (const auto refusal = session.runRefusal())
        return failed(*refusal);
    // Known before the long steps: the folder takes new files and the names are regular files,
    // tested by making a temporary file where the write will make one.
    for (const QString &written :
         {request.outputFile, request.multiresolution ? request.tesselFile : QString()}) {
        QString why;
        if (!written.isEmpty() && !ksr::SafeFile::canReplace(written, &why))
            return failed(
                {QStringLiteral("Index generation status"),
                 QStringLiteral("\"%1\" cannot be written: %2").arg(QDir::toNativeSeparators(written), why)});
    }
    if (!withDisplay)
        return failed({QStringLiteral("No display"),
                       QStringLiteral("The thumbnail and depth steps need OpenGL, hence a display: run the "
                                      "command under xvfb-run -a on a machine without one.")});

    ProgressPrinter progress(stderr, isatty(fileno(stderr)) == 1);
    QObject::connect(&session, &Session::stepStarted, &progress, [&](StepKind kind) {
        if (stepType(kind).shown(request))
            progress.start(stepType(kind).jobName());
    });
    QObject::connect(&session, &Session::stepProgress, &progress, [&](StepKind kind, int percent) {
        if (stepType(kind).shown(request))
            progress.update(stepType(kind).jobName(), percent);
    });
    QObject::connect(&session, &Session::stepFinished, &progress, [&](const StepResult &result) {
        if (stepType(result.kind).shown(request))
            progress.finish(stepType(result.kind).jobName());
    });
    QObject::connect(&session, &Session::notice, &progress, [&](const Problem &notice) {
        progress.interrupt();
        printFailure(err, notice.title, notice.text);
    });

    if (const auto failure = session.runAll())
        return failed(*failure);
    const WriteOutcome written = session.writeIndex();
    for (const Problem &notice : written.notices)
        printFailure(err, notice.title, notice.text);
    if (!written.written)
        return failed(written.problem);
    out << QDir::toNativeSeparators(request.outputFile) << "\n";
    return ExitOk;
}
