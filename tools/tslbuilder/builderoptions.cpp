#include "builderoptions.h"

#include <QFileInfo>

QString builderUsage()
{
    return QStringLiteral("usage: tslbuilder [-P] [-C] [-F faceLimit] -o output input\n"
                          "       tslbuilder --help | --version\n"
                          "  -P   the input is a point cloud\n"
                          "  -C   keep per-vertex colours\n"
                          "  -F   most triangles (points with -P) per partition node, default 10000\n"
                          "  -o   multiresolution file to write\n");
}

bool parseBuilderArguments(const QStringList &arguments, BuilderOptions &options, QString &error)
{
    options = BuilderOptions();
    QStringList inputs;
    bool outputGiven = false;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        if (argument == QLatin1String("-h") || argument == QLatin1String("--help")) {
            options.helpRequested = true;
            return true;
        } else if (argument == QLatin1String("--version")) {
            options.versionRequested = true;
            return true;
        } else if (argument == QLatin1String("-P")) {
            options.pointCloud = true;
        } else if (argument == QLatin1String("-C")) {
            options.keepColors = true;
        } else if (argument == QLatin1String("-F") || argument == QLatin1String("-o")) {
            if (i + 1 >= arguments.size()) {
                error = QStringLiteral("option %1 needs a value").arg(argument);
                return false;
            }
            const QString value = arguments.at(++i);
            if (argument == QLatin1String("-o")) {
                options.outputPath = value;
                outputGiven = true;
                continue;
            }
            bool ok = false;
            const int limit = value.toInt(&ok);
            if (!ok || limit < 1) {
                error =
                    QStringLiteral("face limit must be a whole number of at least 1, not \"%1\"").arg(value);
                return false;
            }
            options.faceLimit = limit;
        } else if (argument.startsWith(QLatin1Char('-')) && argument.size() > 1) {
            error = QStringLiteral("unknown option %1").arg(argument);
            return false;
        } else {
            inputs << argument;
        }
    }
    if (!outputGiven || options.outputPath.isEmpty()) {
        error = QStringLiteral("no output file given (-o)");
        return false;
    }
    if (inputs.size() != 1) {
        error = inputs.isEmpty() ? QStringLiteral("no input model given")
                                 : QStringLiteral("only one input model may be given");
        return false;
    }
    options.inputPath = inputs.first();
    if (options.inputPath.isEmpty()) {
        error = QStringLiteral("no input model given");
        return false;
    }
    // Writing the result over the model it is made from would destroy the user's model.
    const QFileInfo input(options.inputPath), output(options.outputPath);
    if (input.absoluteFilePath() == output.absoluteFilePath() ||
        (input.exists() && output.exists() && input.canonicalFilePath() == output.canonicalFilePath())) {
        error = QStringLiteral("the output file must not be the input model");
        return false;
    }
    return true;
}
