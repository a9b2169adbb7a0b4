#include "filereport.h"

#include "exitcodes.h"
#include "filereporters.h"
#include "jsonstream.h"
#include "reconstructionimport.h"

#include <QCommandLineParser>
#include <QFileInfo>
#include <QTextStream>

namespace
{

const Inspector *inspectorFor(const QString &fileName)
{
    // A COLMAP model is a folder or files named by the model (cameras.txt, ...), not a suffix.
    if (ReconstructionImport::isReconstruction(fileName))
        for (const Inspector &inspector : inspectors())
            if (inspector.inspect == inspectReconstruction)
                return &inspector;
    const QString suffix = QFileInfo(fileName).suffix();
    for (const Inspector &inspector : inspectors())
        for (const QString &accepted : inspector.suffixes)
            if (suffix.compare(accepted, inspector.suffixCase) == 0)
                return &inspector;
    return nullptr;
}

QString acceptedKinds()
{
    QStringList kinds;
    for (const Inspector &inspector : inspectors())
        kinds.append(inspector.kind);
    return kinds.join(QStringLiteral(", "));
}

} // namespace

int runInspect(const QStringList &arguments)
{
    QTextStream out(stdout);
    QTextStream err(stderr);

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Reads FILE with the tool's own readers and prints what they see as JSON on standard "
                       "output.\nAccepted kinds: %1.\nExit status: 0 read succeeded, 1 read failed (messages "
                       "also on standard error), 2 usage error.")
            .arg(acceptedKinds()));
    parser.addHelpOption();
    const QCommandLineOption indexReaderOption(
        QStringLiteral("index-reader"),
        QStringLiteral("Read FILE with the index reader, whatever its suffix."));
    parser.addOption(indexReaderOption);
    parser.addPositionalArgument(QStringLiteral("inspect"), QStringLiteral("The command."),
                                 QStringLiteral("inspect"));
    parser.addPositionalArgument(QStringLiteral("file"), QStringLiteral("The file to read."),
                                 QStringLiteral("FILE"));

    if (!parser.parse(arguments)) {
        err << "orvelle-index inspect: " << parser.errorText() << "\n";
        return ExitUsage;
    }
    if (parser.isSet(QStringLiteral("help"))) {
        out << parser.helpText();
        return ExitOk;
    }
    const QStringList positional = parser.positionalArguments();
    if (positional.size() != 2) {
        err << "orvelle-index inspect: expected exactly one FILE\n" << parser.helpText();
        return ExitUsage;
    }
    const QString fileName = positional.at(1);

    InspectFunction inspect = nullptr;
    if (parser.isSet(indexReaderOption)) {
        inspect = inspectIndex;
    } else if (const Inspector *inspector = inspectorFor(fileName)) {
        inspect = inspector->inspect;
    } else {
        err << "orvelle-index inspect: \"" << fileName
            << "\" is of no known kind; accepted: " << acceptedKinds()
            << " (or any file with --index-reader)\n";
        return ExitFailed;
    }

    InspectResult result = inspect(fileName);
    result.json.insert(QStringLiteral("file"), fileName);
    result.json.insert(QStringLiteral("ok"), result.ok);
    out.flush();
    if (!JsonStream::writeIndented(result.json, stdout)) {
        result.ok = false;
        result.messages.append(QStringLiteral("the report could not be written to standard output"));
    }
    for (const QString &message : std::as_const(result.messages))
        err << "orvelle-index inspect: " << message << "\n";
    return result.ok ? ExitOk : ExitFailed;
}
