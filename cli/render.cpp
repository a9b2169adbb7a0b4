#include "render.h"

#include "exitcodes.h"
#include "generateoptions.h"
#include "offscreenviewer.h"
#include "orvelleindexread.h"
#include "session.h"
#include "viewerinput.h"

#include <ksr/safefile.h>

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QImageWriter>
#include <QRegularExpression>
#include <QTextStream>

namespace
{

const char *const Prefix = "orvelle-index render: ";
const QString ShotOption = QStringLiteral("shot");
const QString SizeOption = QStringLiteral("size");
const QString NoProjectionOption = QStringLiteral("no-projection");

// An index INPUT brings its own viewer settings; the options given on the command line win.
ViewerSettings chooseSettings(const QString &input, const QCommandLineParser &parser,
                              const SessionRequest &request)
{
    const ViewerSettings given = ViewerInput::settings(request);
    if (QFileInfo(input).suffix().toLower() != QLatin1String("orx"))
        return given;
    OrvelleIndexRead index;
    if (!index.readFile(input))
        return given;
    ViewerSettings chosen = ViewerInput::settings(index);
    const auto set = [&](const char *name) { return parser.isSet(QString::fromLatin1(name)); };
    if (set("background") || set("dome")) {
        chosen.backgroundKind = given.backgroundKind;
        chosen.dome = given.dome;
    }
    if (set("background-color"))
        chosen.backgroundColor = given.backgroundColor;
    if (set("lighting"))
        chosen.lighting = true;
    if (set("up"))
        chosen.upDirection = given.upDirection;
    if (set("thumbnail-bar"))
        chosen.thumbnailBarTop = given.thumbnailBarTop;
    if (set("framelet-color"))
        chosen.frameletColor = given.frameletColor;
    if (set("framelets-scale"))
        chosen.frameletsScale = given.frameletsScale;
    if (set("projection-reliability"))
        chosen.projectionReliability = given.projectionReliability;
    if (set("camera-speed"))
        chosen.cameraSpeed = given.cameraSpeed;
    return chosen;
}

bool writePicture(const QImage &image, const QString &fileName, QString &why)
{
    ksr::SafeFile file(fileName);
    if (!file.open()) {
        why = file.errorString();
        return false;
    }
    QImageWriter writer(&file, QFileInfo(fileName).suffix().toLatin1());
    if (!writer.write(image)) {
        why = file.hasFailed() ? file.errorString() : writer.errorString();
        file.discard();
        return false;
    }
    if (!file.commit()) {
        why = file.errorString();
        return false;
    }
    return true;
}

} // namespace

int runRender(const QStringList &arguments, bool withDisplay)
{
    QTextStream out(stdout);
    QTextStream err(stderr);
    const auto fail = [&](const QString &title, const QString &text) {
        err << Prefix << title << "\n";
        for (const QString &line : text.split(QLatin1Char('\n')))
            err << "  " << line << "\n";
        err.flush();
        return ExitFailed;
    };
    const auto usage = [&](const QString &text) {
        err << Prefix << text << "\n"
            << "Run \"orvelle-index render --help\" for the options.\n";
        return ExitUsage;
    };

    QCommandLineParser parser;
    addGenerateOptions(parser, QStringLiteral("render"));
    parser.setApplicationDescription(QStringLiteral(
        "Draws one shot's view as the viewer shows it into OUT (PNG or JPEG, by suffix): -o names "
        "the picture. The viewer settings are an index INPUT's own, or the options below; the "
        "options about steps and the index file are not used."));
    parser.addOptions({
        {ShotOption, QStringLiteral("The shot to look from, counted from 1. Default: the start shot."),
         QStringLiteral("N")},
        {SizeOption, QStringLiteral("Picture size in pixels. Default: 1280x720."), QStringLiteral("WxH"),
         QStringLiteral("1280x720")},
        {NoProjectionOption, QStringLiteral("Leave the photograph out (the model in its own colours).")},
    });
    GenerateCommandLine commandLine = parseGenerateCommandLine(parser, arguments);
    if (commandLine.helpRequested) {
        out << parser.helpText();
        return ExitOk;
    }
    if (!commandLine.usageError.isEmpty())
        return usage(commandLine.usageError);
    const QString picture = commandLine.outputFile;
    if (picture.isEmpty())
        return usage(QStringLiteral("-o OUT: the picture to write is missing"));
    const QByteArray format = QFileInfo(picture).suffix().toLower().toLatin1();
    if (!QImageWriter::supportedImageFormats().contains(format))
        return usage(
            QStringLiteral("-o \"%1\": the suffix names no picture format (use .png or .jpg)").arg(picture));
    const QRegularExpressionMatch size =
        QRegularExpression(QStringLiteral("^(\\d{1,5})x(\\d{1,5})$")).match(parser.value(SizeOption));
    const int width = size.hasMatch() ? size.captured(1).toInt() : 0;
    const int height = size.hasMatch() ? size.captured(2).toInt() : 0;
    if (width < 16 || height < 16 || width > 8192 || height > 8192)
        return usage(
            QStringLiteral("--size \"%1\": expected WxH, each 16..8192").arg(parser.value(SizeOption)));
    int shotNumber = commandLine.startShot;
    if (parser.isSet(ShotOption)) {
        bool ok = false;
        shotNumber = parser.value(ShotOption).toInt(&ok);
        if (!ok || shotNumber < 1)
            return usage(
                QStringLiteral("--shot \"%1\": expected a shot number from 1").arg(parser.value(ShotOption)));
    }

    Session session;
    session.request() = commandLine.request;
    QString givenModel;
    if (!commandLine.modelFile.isEmpty() || !commandLine.lowresModelFile.isEmpty())
        givenModel = QFileInfo(commandLine.lowresModelFile.isEmpty() ? commandLine.modelFile
                                                                     : commandLine.lowresModelFile)
                         .absoluteFilePath();
    const ImportOutcome imported =
        session.importDataset(commandLine.datasetFile, [&](const QString &folder, const QStringList &names) {
            return givenModel.isEmpty() ? Session::firstModel(folder, names) : givenModel;
        });
    if (!imported.accepted)
        return fail(imported.refusal.title, imported.refusal.text);
    if (!givenModel.isEmpty())
        session.request().lowresModelFile = givenModel;
    const DatasetState &dataset = session.dataset();
    if (shotNumber > dataset.shotCount())
        return usage(
            QStringLiteral("--shot %1: the dataset holds %2 shots").arg(shotNumber).arg(dataset.shotCount()));
    const int shot = shotNumber - 1;
    if (!dataset.shots.at(shot).camera || !dataset.shots.at(shot).camera->isSet())
        return fail(QStringLiteral("No camera"),
                    QStringLiteral("Shot %1 has no usable camera.").arg(shotNumber));
    if (!withDisplay)
        return fail(
            QStringLiteral("No display"),
            QStringLiteral("Drawing the view needs OpenGL, hence a display: run the command under xvfb-run "
                           "-a on a machine without one."));

    OffscreenViewer viewer;
    if (!viewer.isValid())
        return fail(QStringLiteral("No OpenGL"), viewer.errorString());
    ViewerScene &scene = viewer.scene();
    QString why;
    const QString model = ViewerInput::modelFile(session.request());
    if (model.isEmpty() || !scene.loadModel(model, &why))
        err << Prefix
            << "the model is left out: " << (model.isEmpty() ? QStringLiteral("the dataset names none") : why)
            << "\n";
    scene.setShots(ViewerInput::shots(dataset), ViewerInput::viewingOrder(dataset));
    scene.setSettings(chooseSettings(commandLine.datasetFile, parser, session.request()));
    scene.setCurrentShot(shot);
    scene.setProjectionEnabled(!parser.isSet(NoProjectionOption));
    const QImage image = viewer.render(scene.shotView(shot), QSize(width, height));
    if (image.isNull())
        return fail(QStringLiteral("No picture"), viewer.errorString());
    if (!writePicture(image, picture, why))
        return fail(
            QStringLiteral("Not written"),
            QStringLiteral("\"%1\" cannot be written: %2").arg(QDir::toNativeSeparators(picture), why));
    out << QDir::toNativeSeparators(picture) << "\n";
    return ExitOk;
}
