// make-sample-dataset: writes a synthetic, calibrated photo-and-model project for trying the tool
// and for tests whose right answers must be known.

#include "sampledataset.h"

#include <orvelleversion.h>

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QRegularExpression>
#include <QTextStream>

namespace
{

int usageError(const QString &message)
{
    QTextStream(stderr) << "make-sample-dataset: " << message << "\n"
                        << "Try 'make-sample-dataset --help'.\n";
    return 2;
}

bool parseCount(const QString &text, int &value)
{
    bool ok = false;
    const int parsed = text.toInt(&ok);
    if (ok)
        value = parsed;
    return ok;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("make-sample-dataset"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Writes a synthetic project into OUTPUT_DIR: sample.pfp (calibrated photographs and the model), "
        "photos/*.jpg with EXIF capture times, model/*.ply (full, low resolution, point cloud) and "
        "truth.json (capture times and ground-truth depths). The same seed gives byte-identical files."));
    parser.addHelpOption();
    const QCommandLineOption versionOption = parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("OUTPUT_DIR"),
                                 QStringLiteral("Folder to create (or an empty one)."));
    const QCommandLineOption seedOption(QStringLiteral("seed"),
                                        QStringLiteral("Scene and camera seed (default 1)."),
                                        QStringLiteral("N"), QStringLiteral("1"));
    const QCommandLineOption viewsOption(QStringLiteral("views"),
                                         QStringLiteral("Number of photographs (default 24)."),
                                         QStringLiteral("N"), QStringLiteral("24"));
    const QCommandLineOption trianglesOption(
        QStringLiteral("triangles"), QStringLiteral("Triangles of the full model, at most (default 50000)."),
        QStringLiteral("N"), QStringLiteral("50000"));
    const QCommandLineOption sizeOption(
        QStringLiteral("size"),
        QStringLiteral("Landscape photograph size; portrait ones are HxW (default 1600x1200)."),
        QStringLiteral("WxH"), QStringLiteral("1600x1200"));
    const QCommandLineOption overwriteOption(
        QStringLiteral("overwrite"), QStringLiteral("Write into OUTPUT_DIR even when it is not empty, "
                                                    "replacing the sample files there."));
    parser.addOptions({seedOption, viewsOption, trianglesOption, sizeOption, overwriteOption});

    if (!parser.parse(QCoreApplication::arguments()))
        return usageError(parser.errorText());
    if (parser.isSet(QStringLiteral("help")))
        parser.showHelp(0);
    if (parser.isSet(versionOption)) {
        QTextStream(stdout) << "make-sample-dataset " << ORVELLE_VERSION << "\n";
        return 0;
    }
    const QStringList positional = parser.positionalArguments();
    if (positional.size() != 1)
        return usageError(positional.isEmpty() ? QStringLiteral("missing OUTPUT_DIR")
                                               : QStringLiteral("only one OUTPUT_DIR may be given"));

    SampleGen::SampleOptions options;
    bool seedOk = false;
    options.seed = parser.value(seedOption).toULongLong(&seedOk);
    if (!seedOk)
        return usageError(QStringLiteral("--seed needs a non-negative whole number"));
    if (!parseCount(parser.value(viewsOption), options.views))
        return usageError(QStringLiteral("--views needs a whole number"));
    if (!parseCount(parser.value(trianglesOption), options.triangles))
        return usageError(QStringLiteral("--triangles needs a whole number"));
    const QRegularExpressionMatch size =
        QRegularExpression(QStringLiteral("^(\\d{1,6})x(\\d{1,6})$")).match(parser.value(sizeOption));
    if (!size.hasMatch())
        return usageError(QStringLiteral("--size needs the form WxH, for example 1600x1200"));
    options.size = QSize(size.captured(1).toInt(), size.captured(2).toInt());
    options.overwrite = parser.isSet(overwriteOption);

    QString error;
    if (!SampleGen::validateOptions(options, &error))
        return usageError(error);

    QElapsedTimer timer;
    timer.start();
    SampleGen::SampleSummary summary;
    if (!SampleGen::writeSampleDataset(positional.first(), options, &error, &summary)) {
        QTextStream(stderr) << "make-sample-dataset: " << error << "\n";
        return 1;
    }
    QTextStream(stdout) << "Wrote " << summary.photographs
                        << (summary.photographs == 1 ? " photograph" : " photographs") << ", a model of "
                        << summary.triangles << " triangles (" << summary.lowResTriangles
                        << " in the low-resolution one) and " << summary.points << " points to "
                        << positional.first() << " in " << QString::number(timer.elapsed() / 1000.0, 'f', 1)
                        << " s\n";
    return 0;
}
