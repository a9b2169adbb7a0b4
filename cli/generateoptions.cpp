#include "generateoptions.h"

#include "datasetimport.h"
#include "reconstructionimport.h"

#include <QColor>
#include <QFileInfo>

#include <cmath>

namespace
{

// Two names of one file: equal once made absolute, or leading to the same existing file.
bool sameFile(const QString &a, const QString &b)
{
    const QFileInfo first(a), second(b);
    if (first.absoluteFilePath() == second.absoluteFilePath())
        return true;
    const QString canonical = first.canonicalFilePath();
    return !canonical.isEmpty() && canonical == second.canonicalFilePath();
}

// Option names, each used once below.
const QString OutputOption = QStringLiteral("output");
const QString ModelOption = QStringLiteral("model");
const QString LowresModelOption = QStringLiteral("lowres-model");
const QString ThumbnailsOption = QStringLiteral("thumbnails");
const QString DepthsOption = QStringLiteral("depths");
const QString OrderWeightsOption = QStringLiteral("order-weights");
const QString ClusterWeightsOption = QStringLiteral("cluster-weights");
const QString TesselOption = QStringLiteral("tessel");
const QString TesselOutputOption = QStringLiteral("tessel-output");
const QString PointCloudOption = QStringLiteral("point-cloud");
const QString SceneNameOption = QStringLiteral("scene-name");
const QString CameraSpeedOption = QStringLiteral("camera-speed");
const QString StartShotOption = QStringLiteral("start-shot");
const QString UpOption = QStringLiteral("up");
const QString ThumbnailBarOption = QStringLiteral("thumbnail-bar");
const QString FrameletColorOption = QStringLiteral("framelet-color");
const QString BackgroundColorOption = QStringLiteral("background-color");
const QString FrameletsScaleOption = QStringLiteral("framelets-scale");
const QString ProjectionReliabilityOption = QStringLiteral("projection-reliability");
const QString ImagesOption = QStringLiteral("images");
const QString MeshOption = QStringLiteral("mesh");
const QString LightingOption = QStringLiteral("lighting");
const QString BackgroundOption = QStringLiteral("background");
const QString DomeOption = QStringLiteral("dome");
const QString AbsolutePathsOption = QStringLiteral("absolute-paths");
const QString SkipMissingOption = QStringLiteral("skip-missing");
const QString OneStepOption = QStringLiteral("one-step-at-a-time");
const QString ReducedDecodeOption = QStringLiteral("reduced-decode");

QString defaultDomeText()
{
    QStringList rows;
    for (const DomeRowText &row : defaultDomeRows())
        rows.append(row.first + QLatin1Char(':') + row.second);
    return rows.join(QLatin1Char(';'));
}

// A finite number within [low, high].
bool parseNumber(const QString &text, double low, double high, double &value)
{
    bool ok = false;
    const double parsed = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(parsed) || parsed < low || parsed > high)
        return false;
    value = parsed;
    return true;
}

// Exactly `count` comma-separated integers within [low, high].
bool parseIntegers(const QString &text, int count, int low, int high, QVector<int> &values)
{
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() != count)
        return false;
    QVector<int> parsed;
    for (const QString &part : parts) {
        bool ok = false;
        const int value = part.trimmed().toInt(&ok, 10);
        if (!ok || value < low || value > high)
            return false;
        parsed.append(value);
    }
    values = parsed;
    return true;
}

bool parseWeights(const QString &text, FeatureWeights &weights)
{
    QVector<int> values;
    if (!parseIntegers(text, 6, 0, 100, values))
        return false;
    for (int i = 0; i < 6; ++i)
        weights[std::size_t(i)] = values.at(i);
    return true;
}

bool parseColor(const QString &text, Color4f &color)
{
    QVector<int> values;
    if (!parseIntegers(text, 3, 0, 255, values))
        return false;
    // The same conversion as the window's colour buttons.
    color = indexColor(QColor(values.at(0), values.at(1), values.at(2)));
    return true;
}

// "H:R,G,B;H:R,G,B;..." into the dome table's rows.
bool splitDome(const QString &text, QVector<DomeRowText> &rows)
{
    const QStringList parts = text.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    if (parts.isEmpty())
        return false;
    for (const QString &part : parts) {
        const int colon = part.indexOf(QLatin1Char(':'));
        if (colon < 0)
            return false;
        rows.append({part.left(colon).trimmed(), part.mid(colon + 1).trimmed()});
    }
    return true;
}

} // namespace

void addGenerateOptions(QCommandLineParser &parser, const QString &command)
{
    parser.setApplicationDescription(QStringLiteral(
        "Imports INPUT, makes the thumbnails, the depths, the viewing order and the clusters, optionally "
        "the multiresolution model, and writes the index file, with the window's rules and defaults.\n"
        "The thumbnail and depth steps draw with OpenGL: run it with a display (on a server under "
        "xvfb-run -a).\n"
        "Exit status: 0 the index was written (its path is printed on standard output); 1 a step "
        "failed (its message on standard error; an existing index file is left as it was); 2 usage error.\n"
        "The thumbnails, the depths and the multiresolution model are made side by side; the ordering "
        "follows them.\n"
        "Progress: on standard error when it is a terminal, one line with a bar, or each running step's "
        "percentage when several run; \"step: N%\" lines otherwise."));
    parser.addHelpOption();
    parser.addPositionalArgument(command, QStringLiteral("The command."), command);
    parser.addPositionalArgument(
        QStringLiteral("input"),
        QStringLiteral("A Polyforge project (.pfp), an Orvelle index file (.orx) or a reconstruction "
                       "(see --images); the suffix decides, in lower case."),
        QStringLiteral("INPUT"));
    const bool drawsPicture = command != QLatin1String("generate");
    parser.addOptions({
        {ImagesOption,
         QStringLiteral(
             "Folder of the photographs of a reconstruction (COLMAP model, .nvm, .out, Metashape .xml, "
             "transforms.json, Meshroom .sfm, OpenMVG sfm_data.json). Default: "
             "<project>/images for a COLMAP model in <project>/sparse, else the model's folder."),
         QStringLiteral("DIR")},
        {MeshOption,
         QStringLiteral(
             "The mesh of a reconstruction, which carries none. Default: its 3D points, written as "
             "a point cloud beside the index (<index base name>_points.ply)."),
         QStringLiteral("FILE")},
        {{QStringLiteral("o"), OutputOption},
         drawsPicture ? QStringLiteral("The picture to write.")
                      : QStringLiteral("The index file to write. Default: INPUT's folder and base name (up "
                                       "to the first dot) + \"_generated.orx\"."),
         QStringLiteral("FILE")},
        {ModelOption,
         QStringLiteral(
             "The 3D model the index uses. Default: the dataset's model (with several, the first)."),
         QStringLiteral("FILE")},
        {LowresModelOption, QStringLiteral("The model the depths are rendered from. Default: the model."),
         QStringLiteral("FILE")},
        {ThumbnailsOption,
         QStringLiteral("Where the thumbnails come from: downsample (made from the photographs into each "
                        "photograph's \"thumbnails\" folder, existing ones kept), hires (the photographs "
                        "themselves), existing (expected in each photograph's \"thumbnails\" folder), none "
                        "(no thumbnail step: the photographs serve as thumbnails, as with hires). "
                        "Default: downsample."),
         QStringLiteral("MODE"), QStringLiteral("downsample")},
        {DepthsOption,
         QStringLiteral("model (rendered from the low-resolution model) or none (no depth step: the depths "
                        "an .orx INPUT carries; refused when INPUT carries none). Default: model."),
         QStringLiteral("MODE"), QStringLiteral("model")},
        {OrderWeightsOption,
         QStringLiteral(
             "Weights 0..100 of the ordering function for time of shot, direction of shot, position "
             "of shot, position of target, colour distribution, colour spatial distribution. "
             "Default: 0,50,50,0,0,0."),
         QStringLiteral("T,D,P,G,C,S")},
        {ClusterWeightsOption,
         QStringLiteral("Weights of the clustering function, same order. Default: the ordering weights."),
         QStringLiteral("T,D,P,G,C,S")},
        {TesselOption,
         QStringLiteral("Build the multiresolution model with the builder (tessel/tslbuilder beside this "
                        "program, else the installed one) and let the index use it. Default: the index "
                        "uses the model.")},
        {TesselOutputOption,
         QStringLiteral("The multiresolution model to write. Default: the model's folder and complete base "
                        "name + \".tsl\"."),
         QStringLiteral("FILE")},
        {PointCloudOption, QStringLiteral("Let the builder treat the model as a point cloud.")},
        {SceneNameOption, QStringLiteral("Scene name. Default: the model's complete base name."),
         QStringLiteral("NAME")},
        {CameraSpeedOption, QStringLiteral("Camera speed, 0..100. Default: 1."), QStringLiteral("SPEED"),
         QStringLiteral("1")},
        {StartShotOption, QStringLiteral("The shot the viewer starts from, counted from 1. Default: 1."),
         QStringLiteral("N"), QStringLiteral("1")},
        {UpOption,
         QStringLiteral("Up direction, each -1000..1000, not all 0; written normalised. Default: an index's "
                        "own; otherwise the cameras' (the mean of their image-up axes, the nearest axis when "
                        "within 10 degrees)."),
         QStringLiteral("X,Y,Z"), QStringLiteral("0,1,0")},
        {ThumbnailBarOption, QStringLiteral("Thumbnail bar position: top or bottom. Default: bottom."),
         QStringLiteral("POSITION"), QStringLiteral("bottom")},
        {FrameletColorOption, QStringLiteral("Framelet colour, each 0..255. Default: 255,255,255."),
         QStringLiteral("R,G,B"), QStringLiteral("255,255,255")},
        {BackgroundColorOption, QStringLiteral("Colour at infinity, each 0..255. Default: 0,0,0."),
         QStringLiteral("R,G,B"), QStringLiteral("0,0,0")},
        {FrameletsScaleOption, QStringLiteral("Framelets scale, 0.001..1000. Default: 1."),
         QStringLiteral("SCALE"), QStringLiteral("1")},
        {ProjectionReliabilityOption, QStringLiteral("Projection reliability, 0.001..1000. Default: 1."),
         QStringLiteral("VALUE"), QStringLiteral("1")},
        {LightingOption, QStringLiteral("Enable lighting in the viewer.")},
        {BackgroundOption,
         QStringLiteral("Background: ortho (ortho plane) or dome (coloured dome). Default: ortho."),
         QStringLiteral("KIND"), QStringLiteral("ortho")},
        {DomeOption,
         // A space after each row lets the help wrap between rows, never inside a number.
         QStringLiteral("Dome rows, height and colour (three numbers), with --background dome. Default: %1.")
             .arg(defaultDomeText().replace(QLatin1Char(';'), QLatin1String("; "))),
         QStringLiteral("H:R,G,B;...")},
        {AbsolutePathsOption,
         QStringLiteral("Write absolute paths. Default: paths are written relative to the index's folder, "
                        "with ../ for files outside it.")},
        {SkipMissingOption,
         QStringLiteral("Leave out the shots whose photographs are not found, and say which. Default: refuse "
                        "to run.")},
        {OneStepOption,
         QStringLiteral("Run the steps one after the other instead of side by side, for comparing and for "
                        "machines short of memory. The index written is the same.")},
        {ReducedDecodeOption,
         QStringLiteral("Take the colour features from the photographs decoded at the thumbnails' reduced "
                        "scale (at least 512 pixels on the longer side) instead of whole: faster with colour "
                        "weights, but cluster values may differ slightly.")},
    });
}

GenerateCommandLine parseGenerateCommandLine(QCommandLineParser &parser, const QStringList &arguments)
{
    GenerateCommandLine result;
    if (!parser.parse(arguments)) {
        result.usageError = parser.errorText();
        return result;
    }
    if (parser.isSet(QStringLiteral("help"))) {
        result.helpRequested = true;
        return result;
    }
    auto bad = [&](const QString &option, const QString &expected) {
        result.usageError =
            QStringLiteral("--%1 \"%2\": expected %3").arg(option, parser.value(option), expected);
        return result;
    };

    const QStringList positional = parser.positionalArguments();
    if (positional.size() != 2 || positional.at(1).isEmpty()) {
        result.usageError = QStringLiteral("expected exactly one INPUT");
        return result;
    }
    SessionRequest &request = result.request;
    result.datasetFile = positional.at(1);
    const QString suffix = QFileInfo(result.datasetFile).suffix().toLower();
    if (suffix != QLatin1String("pfp") && suffix != QLatin1String("orx") &&
        !ReconstructionImport::isReconstruction(result.datasetFile)) {
        result.usageError =
            QStringLiteral("INPUT \"%1\" is neither a .pfp project, an .orx index nor a "
                           "reconstruction (COLMAP model, .nvm, .out, Metashape .xml, transforms.json, "
                           "Meshroom .sfm, OpenMVG sfm_data.json)")
                .arg(result.datasetFile);
        return result;
    }

    result.outputFile = parser.value(OutputOption);
    result.modelFile = parser.value(ModelOption);
    result.lowresModelFile = parser.value(LowresModelOption);
    request.import.imagesFolder = parser.value(ImagesOption);
    request.import.meshFile = parser.value(MeshOption);
    for (const QString &option :
         {OutputOption, ModelOption, LowresModelOption, TesselOutputOption, ImagesOption, MeshOption})
        if (parser.isSet(option) && parser.value(option).isEmpty())
            return bad(option, QStringLiteral("a file name"));
    // Without a mesh and a model, the reconstruction's points go beside the index the run writes.
    // Written only once the run's files have been checked.
    request.import.pointCloudLater = true;
    if (result.modelFile.isEmpty())
        request.import.pointCloudFile = ReconstructionImport::pointCloudName(
            result.outputFile.isEmpty() ? DatasetImport::derivedOutputName(result.datasetFile)
                                        : QFileInfo(result.outputFile).absoluteFilePath());

    const QString thumbnails = parser.value(ThumbnailsOption);
    if (thumbnails == QLatin1String("downsample"))
        request.thumbnails = ThumbnailSource::Downsample;
    else if (thumbnails == QLatin1String("hires"))
        request.thumbnails = ThumbnailSource::Hires;
    else if (thumbnails == QLatin1String("existing"))
        request.thumbnails = ThumbnailSource::Existing;
    else if (thumbnails == QLatin1String("none"))
        request.thumbnails = ThumbnailSource::None;
    else
        return bad(ThumbnailsOption, QStringLiteral("downsample, hires, existing or none"));

    const QString depths = parser.value(DepthsOption);
    if (depths == QLatin1String("model"))
        request.depths = DepthSource::Model;
    else if (depths == QLatin1String("none"))
        request.depths = DepthSource::None;
    else
        return bad(DepthsOption, QStringLiteral("model or none"));
    if (request.depths == DepthSource::None && parser.isSet(LowresModelOption))
        result.usageError = QStringLiteral("--lowres-model is for --depths model");
    if (!result.usageError.isEmpty())
        return result;

    const QString weightsExpected = QStringLiteral("six integers 0..100 separated by commas");
    if (parser.isSet(OrderWeightsOption) &&
        !parseWeights(parser.value(OrderWeightsOption), request.orderWeights))
        return bad(OrderWeightsOption, weightsExpected);
    request.clusterWeights = request.orderWeights;
    if (parser.isSet(ClusterWeightsOption) &&
        !parseWeights(parser.value(ClusterWeightsOption), request.clusterWeights))
        return bad(ClusterWeightsOption, weightsExpected);

    request.multiresolution = parser.isSet(TesselOption);
    result.tesselFile = parser.value(TesselOutputOption);
    request.pointCloud = parser.isSet(PointCloudOption);
    if (!request.multiresolution && (parser.isSet(TesselOutputOption) || request.pointCloud)) {
        result.usageError = QStringLiteral("--tessel-output and --point-cloud are for --tessel");
        return result;
    }
    // One written over the other would leave an index whose model is the index itself.
    const QString indexOutput = result.outputFile.isEmpty()
                                    ? DatasetImport::derivedOutputName(result.datasetFile)
                                    : result.outputFile;
    if (request.multiresolution && !result.tesselFile.isEmpty() && sameFile(result.tesselFile, indexOutput)) {
        result.usageError =
            QStringLiteral("--tessel-output \"%1\" is the index file itself: give another name")
                .arg(result.tesselFile);
        return result;
    }

    IndexSettings &settings = request.settings;
    result.sceneNameGiven = parser.isSet(SceneNameOption);
    settings.sceneName = parser.value(SceneNameOption);

    double number = 0.0;
    if (!parseNumber(parser.value(CameraSpeedOption), 0.0, 100.0, number))
        return bad(CameraSpeedOption, QStringLiteral("a number 0..100"));
    settings.cameraSpeed = float(number);
    if (!parseNumber(parser.value(FrameletsScaleOption), 0.001, 1000.0, number))
        return bad(FrameletsScaleOption, QStringLiteral("a number 0.001..1000"));
    settings.frameletsScale = float(number);
    if (!parseNumber(parser.value(ProjectionReliabilityOption), 0.001, 1000.0, number))
        return bad(ProjectionReliabilityOption, QStringLiteral("a number 0.001..1000"));
    settings.projectionReliability = float(number);

    bool ok = false;
    result.startShot = parser.value(StartShotOption).trimmed().toInt(&ok, 10);
    if (!ok || result.startShot < 1)
        return bad(StartShotOption, QStringLiteral("a shot number from 1"));
    settings.startShot = result.startShot - 1;

    result.upGiven = parser.isSet(UpOption);
    const QStringList up = parser.value(UpOption).split(QLatin1Char(','));
    double axis[3] = {0.0, 0.0, 0.0};
    if (up.size() != 3 || !parseNumber(up.at(0), -1000.0, 1000.0, axis[0]) ||
        !parseNumber(up.at(1), -1000.0, 1000.0, axis[1]) || !parseNumber(up.at(2), -1000.0, 1000.0, axis[2]))
        return bad(UpOption, QStringLiteral("three numbers -1000..1000 separated by commas"));
    settings.upDirection = ksr::Point3f(float(axis[0]), float(axis[1]), float(axis[2]));
    // A zero vector would give the viewer no up direction at all.
    if (upDirectionProblem(axis[0], axis[1], axis[2]))
        return bad(UpOption, QStringLiteral("a direction, not the zero vector"));

    const QString bar = parser.value(ThumbnailBarOption);
    if (bar != QLatin1String("top") && bar != QLatin1String("bottom"))
        return bad(ThumbnailBarOption, QStringLiteral("top or bottom"));
    settings.thumbnailBarPosition = bar == QLatin1String("top") ? 1 : 0;

    const QString colorExpected = QStringLiteral("three integers 0..255 separated by commas");
    if (!parseColor(parser.value(FrameletColorOption), settings.frameletColor))
        return bad(FrameletColorOption, colorExpected);
    if (!parseColor(parser.value(BackgroundColorOption), settings.backgroundColor))
        return bad(BackgroundColorOption, colorExpected);

    settings.lighting = parser.isSet(LightingOption);

    const QString background = parser.value(BackgroundOption);
    if (background == QLatin1String("ortho")) {
        settings.backgroundKind = OrvelleIndex::OrthoPlaneBackground;
        if (parser.isSet(DomeOption)) {
            result.usageError = QStringLiteral("--dome is for --background dome");
            return result;
        }
    } else if (background == QLatin1String("dome")) {
        settings.backgroundKind = OrvelleIndex::DomeBackground;
        QVector<DomeRowText> rows = defaultDomeRows();
        if (parser.isSet(DomeOption)) {
            rows.clear();
            if (!splitDome(parser.value(DomeOption), rows))
                return bad(DomeOption, QStringLiteral("rows H:R,G,B separated by semicolons"));
        }
        QString why;
        if (!parseDomeRows(rows, settings.domeHeights, settings.domeColors, &why)) {
            result.usageError = QStringLiteral("--dome: ") + why;
            return result;
        }
        request.domeRows = rows;
    } else {
        return bad(BackgroundOption, QStringLiteral("ortho or dome"));
    }

    request.relativePaths = !parser.isSet(AbsolutePathsOption);
    result.skipMissing = parser.isSet(SkipMissingOption);
    request.oneStepAtATime = parser.isSet(OneStepOption);
    request.reducedDecode = parser.isSet(ReducedDecodeOption);
    return result;
}

void GenerateCommandLine::applyGivenNames(SessionRequest &target) const
{
    const auto absolute = [](const QString &path) { return QFileInfo(path).absoluteFilePath(); };
    if (!modelFile.isEmpty()) {
        target.modelFile = QFileInfo(modelFile).canonicalFilePath();
        target.lowresModelFile = target.modelFile;
        target.tesselFile = DatasetImport::derivedTesselName(target.modelFile);
        if (!sceneNameGiven)
            target.settings.sceneName = DatasetImport::derivedSceneName(target.modelFile);
    }
    if (!lowresModelFile.isEmpty())
        target.lowresModelFile = absolute(lowresModelFile);
    if (!tesselFile.isEmpty())
        target.tesselFile = absolute(tesselFile);
    if (!outputFile.isEmpty())
        target.outputFile = absolute(outputFile);
    if (sceneNameGiven)
        target.settings.sceneName = request.settings.sceneName;
    if (upGiven)
        target.settings.upDirection = request.settings.upDirection;
}
