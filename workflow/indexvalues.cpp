#include "indexvalues.h"

#include "webaddress.h"

#include <ksr/inputlimits.h>
#include <ksr/safefile.h>

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QObject>
#include <QRegularExpression>
#include <QTemporaryFile>

namespace
{
// A named context: lupdate cannot file the texts of free functions otherwise.
struct Texts {
    Q_DECLARE_TR_FUNCTIONS(IndexValues)
};
QString native(const QString &path)
{
    return QDir::toNativeSeparators(path);
}
} // namespace

bool buildIndex(const IndexSettings &settings, const QVector<ShotRecord> &shots, OrvelleIndex &index,
                QString *error)
{
    QStringList imagePaths, thumbnailPaths;
    QVector<Camera> cameras;
    QVector<float> depths;
    QVector<int> positions, clusters;
    for (const ShotRecord &shot : shots) {
        if (!shot.camera || !shot.depth || !shot.orderPosition || !shot.cluster) {
            if (error)
                *error = QObject::tr("Not every shot has all its values yet.");
            return false;
        }
        imagePaths.append(shot.imagePath);
        thumbnailPaths.append(shot.thumbnailPath);
        cameras.append(*shot.camera);
        depths.append(*shot.depth);
        positions.append(*shot.orderPosition);
        clusters.append(*shot.cluster);
    }
    ShotCollection collection;
    if (!positions.isEmpty() && !collection.setOrderFromPositions(positions)) {
        if (error)
            *error = QObject::tr("The order of the shots is not a permutation of the shots.");
        return false;
    }

    OrvelleIndex result;
    result.setName(settings.sceneName);
    result.setModelFileName(settings.modelFileName);
    result.setCameraSpeed(settings.cameraSpeed);
    result.setUpDirection(settings.upDirection);
    result.setBackgroundColor(settings.backgroundColor);
    if (settings.backgroundKind == OrvelleIndex::OrthoPlaneBackground)
        result.setOrthoPlaneBackground();
    if (settings.backgroundKind == OrvelleIndex::DomeBackground &&
        !result.setDomeBackground(settings.domeHeights, settings.domeColors)) {
        if (error)
            *error = QObject::tr("The dome has not one colour per height.");
        return false;
    }
    result.setLighting(settings.lighting);
    if (settings.startShot >= 0 && settings.startShot < cameras.size())
        result.setStartCamera(cameras.at(settings.startShot));

    collection.setThumbnailBarPosition(settings.thumbnailBarPosition);
    collection.setShotColor(settings.frameletColor);
    collection.setFrameletsScale(settings.frameletsScale);
    collection.setProjectionReliability(settings.projectionReliability);
    collection.setImagePaths(imagePaths);
    collection.setThumbnailPaths(thumbnailPaths);
    collection.setCameras(cameras);
    collection.setDepths(depths);
    collection.setClusterNumbers(clusters);
    // The writer would silently leave out a collection whose lists disagree: say so instead.
    ShotCollection written = collection;
    written.fillWriteDefaults();
    if (written.shotCount() > 0 && !written.isConsistent()) {
        if (error)
            *error = QObject::tr("The values of the shots do not agree in number.");
        return false;
    }
    result.addCollection(collection);

    index = result;
    return true;
}

ksr::Point3f upVector(double x, double y, double z)
{
    return ksr::Point3f(float(x), float(y), float(z)).normalized();
}

std::optional<Problem> upDirectionProblem(double x, double y, double z)
{
    if (x != 0.0 || y != 0.0 || z != 0.0)
        return std::nullopt;
    return Problem{Texts::tr("Up direction"),
                   Texts::tr("The up direction is (0, 0, 0), which points nowhere. Choose an axis or type a "
                             "direction.")};
}

std::optional<ModelProblem> indexModelProblem(const QString &modelFile, bool multiresolution,
                                              const QString &builtModel)
{
    const QString title = Texts::tr("Index generation status");
    const QString notWritten = QLatin1Char('\n') + Texts::tr("No index file was written.");
    if (modelFile.isEmpty())
        return ModelProblem{{title, Texts::tr("No model is chosen for the index.") + notWritten}};
    const QFileInfo model(modelFile);
    if (multiresolution &&
        (builtModel.isEmpty() || QFileInfo(builtModel).canonicalFilePath() != model.canonicalFilePath()))
        return ModelProblem{
            {title, Texts::tr("The multiresolution model \"%1\" was not built for this dataset: press "
                              "Update in the \"3D Model\" box, or use the input model.")
                            .arg(native(modelFile)) +
                        notWritten}};
    if (!isWebAddress(modelFile) && !model.isFile())
        return ModelProblem{
            {Texts::tr("Model not found"),
             Texts::tr("The model \"%1\" is not on this disk. The index names it all the same: the "
                       "viewer looks for it from the index's folder.")
                 .arg(native(modelFile))},
            true};
    return std::nullopt;
}

QString unwritableReason(const QString &fileName)
{
    const QFileInfo file(fileName);
    if (file.isDir())
        return Texts::tr("it is a folder");
    // A device or a FIFO is named as what it is, not blamed on its folder.
    if (file.exists() && !file.isFile())
        return Texts::tr("it %1").arg(ksr::inputFileProblem(fileName));
    const QFileInfo folder(file.absolutePath());
    if (!folder.isDir())
        return Texts::tr("the folder \"%1\" does not exist").arg(native(folder.absoluteFilePath()));
    // The index is written through a temporary file beside it: ask the writer whether that works now.
    QString why;
    if (ksr::SafeFile::canReplace(fileName, &why))
        return QString();
    if (file.exists() && !file.isWritable())
        return why;
    return Texts::tr("the folder \"%1\" cannot be written to (%2)")
        .arg(native(folder.absoluteFilePath()), why);
}

ksr::Matrix44f startViewMatrix(const Camera &camera)
{
    return camera.worldToCamera();
}

bool parseDomeRow(const QString &heightText, const QString &colorText, float &height, Color4f &color)
{
    bool ok = false;
    const float h = heightText.toFloat(&ok);
    if (!ok)
        return false;
    static const QRegularExpression separators(QStringLiteral(",| "));
    const QStringList parts = colorText.split(separators, Qt::SkipEmptyParts);
    if (parts.size() < 3)
        return false;
    float rgb[3];
    for (int i = 0; i < 3; ++i) {
        rgb[i] = parts.at(i).toFloat(&ok);
        if (!ok)
            return false;
    }
    height = h;
    color = Color4f{rgb[0], rgb[1], rgb[2], 1.0f};
    return true;
}

QVector<DomeRowText> defaultDomeRows()
{
    return {{QStringLiteral("-1"), QStringLiteral("0.6,0.6,0.6")},
            {QStringLiteral("-0.05"), QStringLiteral("0.65,0.65,0.65")},
            {QStringLiteral("0"), QStringLiteral("0.7,0.85,0.85")},
            {QStringLiteral("0.7"), QStringLiteral("0.4,0.6,0.8")},
            {QStringLiteral("1"), QStringLiteral("0.4,0.6,0.8")}};
}

bool parseDomeRows(const QVector<DomeRowText> &rows, QVector<float> &heights, QVector<Color4f> &colors,
                   QString *error)
{
    QVector<float> parsedHeights;
    QVector<Color4f> parsedColors;
    for (int row = 0; row < rows.size(); ++row) {
        float height = 0.0f;
        Color4f color;
        if (!parseDomeRow(rows.at(row).first, rows.at(row).second, height, color)) {
            if (error)
                *error = QCoreApplication::translate("IndexValues",
                                                     "Row %1 of the background dome needs a number as height "
                                                     "and three numbers as RGB color.")
                             .arg(row + 1);
            return false;
        }
        parsedHeights.append(height);
        parsedColors.append(color);
    }
    heights = parsedHeights;
    colors = parsedColors;
    return true;
}

Color4f indexColor(const QColor &color)
{
    return Color4f{float(color.redF()), float(color.greenF()), float(color.blueF()), float(color.alphaF())};
}

namespace
{

// Files of the shots that stay absolute in an index written with relative paths: web addresses and
// files on another drive. Whoever moves the index's folder must take care of them.
QStringList pathsKeptAbsolute(const QVector<ShotRecord> &shots, const QString &indexFile)
{
    const QString folder = QFileInfo(QFileInfo(indexFile).absolutePath()).canonicalFilePath();
    QStringList kept;
    for (const ShotRecord &shot : shots)
        for (const QString &path : {shot.imagePath, shot.thumbnailPath})
            if (!path.isEmpty() &&
                (isWebAddress(path) || QDir::isAbsolutePath(OrvelleIndex::relativePath(path, folder))) &&
                !kept.contains(path) && kept.size() < 10)
                kept.append(path);
    return kept;
}

} // namespace

bool writeIndexFile(const IndexSettings &settings, const QVector<ShotRecord> &shots, const QString &fileName,
                    bool relativePaths, Problem &said)
{
    said.title = QCoreApplication::translate("IndexValues", "Index generation status");
    OrvelleIndex index;
    QString why;
    if (!buildIndex(settings, shots, index, &why)) {
        said.text = why + QLatin1Char('\n') +
                    QCoreApplication::translate("IndexValues", "No index file was written.");
        return false;
    }
    if (index.save(fileName, relativePaths)) {
        said.text = Texts::tr("The index file has been successfully generated!") + QLatin1Char('\n') +
                    Texts::tr("Written to \"%1\".").arg(native(fileName));
        const QStringList absolute = relativePaths ? pathsKeptAbsolute(shots, fileName) : QStringList();
        if (!absolute.isEmpty())
            said.text += QLatin1Char('\n') +
                         Texts::tr("No relative path leads to these files; they are written as they are:") +
                         QLatin1Char('\n') + absolute.join(QLatin1Char('\n'));
        return true;
    }
    // The folder's state in plain words first; otherwise the writer's own reason (a full disk).
    QString reason = unwritableReason(fileName);
    if (reason.isEmpty())
        reason = index.errorString();
    if (reason.isEmpty())
        reason = Texts::tr("the system refused to write it");
    said.text = Texts::tr("The index file \"%1\" could not be written: %2.").arg(native(fileName), reason);
    return false;
}
