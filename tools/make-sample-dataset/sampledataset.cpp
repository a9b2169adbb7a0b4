#include "sampledataset.h"

#include "cameraelement.h"
#include "camerawalks.h"
#include "exifblock.h"
#include "plyfiles.h"
#include "samplescene.h"
#include "softwarerenderer.h"

#include <ksr/safefile.h>

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QXmlStreamWriter>
#include <QtConcurrent/QtConcurrentMap>

#include <cmath>
#include <functional>

namespace SampleGen
{

namespace
{

const QString projectName = QStringLiteral("sample.pfp");
const QString truthName = QStringLiteral("truth.json");
const QString modelPath = QStringLiteral("model/scene.ply");
const QString lowResPath = QStringLiteral("model/scene_lowres.ply");
const QString pointsPath = QStringLiteral("model/scene_points.ply");

bool fail(QString *error, const QString &message)
{
    if (error)
        *error = message;
    return false;
}

bool writeFile(const QString &path, const QByteArray &bytes, QString *error)
{
    ksr::SafeFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return fail(error, QStringLiteral("cannot write %1: %2").arg(path, file.errorString()));
    if (file.write(bytes) != bytes.size() || !file.commit())
        return fail(error, QStringLiteral("cannot write %1: %2").arg(path, file.errorString()));
    return true;
}

QString photoName(int index)
{
    return QStringLiteral("photos/img_%1.jpg").arg(index + 1, 4, 10, QLatin1Char('0'));
}

// The camera exactly as a reader of the project gets it back (six significant digits, whole-pixel
// centre), so the photographs are rendered from the very camera that is written.
Camera asStored(const Camera &camera)
{
    Camera stored;
    CameraElement::parseCameraText(CameraElement::cameraText(camera).toUtf8(), stored);
    return stored;
}

double rounded(double value, int significantDigits = 6)
{
    return QString::number(value, 'g', significantDigits).toDouble();
}

QJsonArray pointJson(const ksr::Point3f &p)
{
    return {rounded(p.x), rounded(p.y), rounded(p.z)};
}

QString colourName(const ksr::Color4b &c)
{
    return QStringLiteral("#%1%2%3")
        .arg(c.r, 2, 16, QLatin1Char('0'))
        .arg(c.g, 2, 16, QLatin1Char('0'))
        .arg(c.b, 2, 16, QLatin1Char('0'));
}

// Only names this generator writes are touched: photos/img_NNNN.jpg and their thumbnails.
bool removeEarlierPhotographs(const QDir &dir, int keptCount, QString *error)
{
    const QRegularExpression ownName(QStringLiteral("^img_(\\d{4,})\\.jpg$"));
    for (const QString &folder : {QStringLiteral("photos"), QStringLiteral("photos/thumbnails")}) {
        const QDir photos(dir.filePath(folder));
        for (const QString &name : photos.entryList(QDir::Files, QDir::Name)) {
            const QRegularExpressionMatch match = ownName.match(name);
            if (!match.hasMatch())
                continue;
            const bool isThumbnail = folder.endsWith(QLatin1String("thumbnails"));
            if (!isThumbnail && match.captured(1).toInt() <= keptCount)
                continue; // rewritten in place
            if (!QFile::remove(photos.filePath(name)))
                return fail(error,
                            QStringLiteral("cannot remove the outdated %1").arg(photos.filePath(name)));
        }
    }
    return true;
}

struct PhotoResult {
    QString error; // empty on success
    float depth = 0.0f;
};

PhotoResult makePhoto(const SoftwareRenderer &photoRenderer, const SoftwareRenderer &depthRenderer,
                      const PlannedShot &shot, int index, const QString &folder)
{
    PhotoResult result;
    const QImage image = photoRenderer.renderPhoto(shot.camera, shot.exposure);
    if (image.isNull()) {
        result.error = QStringLiteral("cannot render photograph %1 (out of memory?)").arg(index + 1);
        return result;
    }
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "JPG", jpegQuality)) {
        result.error = QStringLiteral("cannot encode JPEG (is the Qt JPEG image plugin installed?)");
        return result;
    }
    ExifFields exif;
    exif.shotTime = shot.shotTime;
    exif.bigEndian = index % 2 == 1;
    exif.focalMm = shot.camera.focalMm;
    exif.width = image.width();
    exif.height = image.height();
    if (!insertExif(jpeg, exifPayload(exif), &result.error))
        return result;
    if (!writeFile(folder + QLatin1Char('/') + photoName(index), jpeg, &result.error))
        return result;
    result.depth = depthRenderer.meanViewDepth(shot.camera);
    return result;
}

QByteArray projectXml(const std::vector<PlannedShot> &shots)
{
    // Two raster groups: the first half of the walks, then the rest (or halves of a single walk).
    const int walks = shots.empty() ? 0 : shots.back().walk + 1;
    auto inFirstGroup = [&](std::size_t i) {
        return walks >= 2 ? shots[i].walk < (walks + 1) / 2 : i < (shots.size() + 1) / 2;
    };
    QByteArray bytes;
    QXmlStreamWriter writer(&bytes);
    writer.setAutoFormatting(true);
    writer.writeStartDocument();
    writer.writeStartElement(QStringLiteral("PolyforgeProject"));
    writer.writeAttribute(QStringLiteral("version"), QStringLiteral("1.0"));
    for (int group = 0; group < 2; ++group) {
        writer.writeStartElement(QStringLiteral("RasterGroup"));
        writer.writeAttribute(QStringLiteral("name"), QStringLiteral("photographs %1").arg(group + 1));
        for (std::size_t i = 0; i < shots.size(); ++i) {
            if (inFirstGroup(i) != (group == 0))
                continue;
            writer.writeStartElement(QStringLiteral("PFRaster"));
            writer.writeAttribute(QStringLiteral("label"), QFileInfo(photoName(int(i))).baseName());
            CameraElement::writeCamera(shots[i].camera, writer, QStringLiteral("KSRCamera"));
            writer.writeEmptyElement(QStringLiteral("Plane"));
            writer.writeAttribute(QStringLiteral("fileName"), photoName(int(i)));
            writer.writeEndElement();
        }
        writer.writeEndElement();
    }
    writer.writeStartElement(QStringLiteral("MeshGroup"));
    writer.writeEmptyElement(QStringLiteral("PFMesh"));
    writer.writeAttribute(QStringLiteral("filename"), modelPath);
    writer.writeAttribute(QStringLiteral("label"), QStringLiteral("scene"));
    writer.writeEndElement();
    writer.writeEndElement();
    writer.writeEndDocument();
    return bytes;
}

QByteArray truthJson(const SampleOptions &options, const SampleScene &scene,
                     const std::vector<PlannedShot> &shots, const QList<PhotoResult> &results,
                     const SampleSummary &summary)
{
    QJsonArray objects;
    for (const SceneObject &o : scene.objects)
        objects.append(QJsonObject{{"name", o.name},
                                   {"kind", o.kind},
                                   {"min", pointJson(o.min)},
                                   {"max", pointJson(o.max)},
                                   {"wallTop", rounded(o.wallTop)},
                                   {"colour", colourName(o.colour)}});
    QJsonArray photographs;
    for (std::size_t i = 0; i < shots.size(); ++i) {
        const PlannedShot &shot = shots[i];
        photographs.append(
            QJsonObject{{"image", photoName(int(i))},
                        {"captureTime", shot.shotTime.toString(Qt::ISODate)},
                        {"exifDateTime", shot.shotTime.toString(QStringLiteral("yyyy:MM:dd HH:mm:ss"))},
                        {"exifByteOrder", i % 2 == 1 ? "MM" : "II"},
                        {"depth", rounded(results[qsizetype(i)].depth)},
                        {"walk", shot.walk},
                        {"orientation", shot.portrait ? "portrait" : "landscape"},
                        {"width", shot.camera.viewportPx[0]},
                        {"height", shot.camera.viewportPx[1]}});
    }
    const QJsonObject root{
        {"generator", "make-sample-dataset"},
        {"seed", QString::number(options.seed)},
        {"units", "metres"},
        {"upDirection", QJsonArray{0, 0, 1}},
        {"depthDefinition",
         "mean distance along the viewing axis of the surface seen on the 64-pixel grid of "
         "the depth job, in model units"},
        {"model", QJsonObject{{"full", modelPath},
                              {"lowResolution", lowResPath},
                              {"pointCloud", pointsPath},
                              {"triangles", summary.triangles},
                              {"lowResolutionTriangles", summary.lowResTriangles},
                              {"points", summary.points}}},
        {"objects", objects},
        {"photographs", photographs}};
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

bool writeInto(const QString &folder, const SampleOptions &options, QString *error, SampleSummary &summary)
{
    QDir dir(folder);
    if (!dir.mkpath(QStringLiteral("model")) || !dir.mkpath(QStringLiteral("photos")))
        return fail(error, QStringLiteral("cannot create folders in %1").arg(folder));

    const SampleScene scene = buildScene(options.seed);
    const ksr::CMesh full = tessellate(scene, options.triangles, options.seed);
    const ksr::CMesh lowRes =
        tessellate(scene, std::min(options.triangles, lowResTriangleBudget), options.seed);
    const std::vector<ksr::CVertex> points =
        samplePoints(full, std::max(1000, options.triangles / 2), options.seed);
    summary.triangles = int(full.face.size());
    summary.lowResTriangles = int(lowRes.face.size());
    summary.points = int(points.size());

    const QByteArray comment =
        "synthetic sample scene, units metres, z up, seed " + QByteArray::number(options.seed);
    if (!writeFile(dir.filePath(modelPath), binaryMeshPly(full, comment), error) ||
        !writeFile(dir.filePath(lowResPath), binaryMeshPly(lowRes, comment + ", low resolution"), error) ||
        !writeFile(dir.filePath(pointsPath), asciiPointCloudPly(points, comment + ", point cloud"), error))
        return false;

    std::vector<PlannedShot> shots = planShots(scene, options.views, options.size, options.seed);
    for (PlannedShot &shot : shots)
        shot.camera = asStored(shot.camera);

    // Photographs of an earlier sample here: their thumbnails no longer match, and those beyond the
    // new count would linger unreferenced.
    if (!removeEarlierPhotographs(dir, int(shots.size()), error))
        return false;

    const SoftwareRenderer photoRenderer(full);
    const SoftwareRenderer depthRenderer(lowRes);
    QList<int> indices;
    for (int i = 0; i < int(shots.size()); ++i)
        indices.append(i);
    const std::function<PhotoResult(const int &)> render = [&](const int &i) {
        return makePhoto(photoRenderer, depthRenderer, shots[std::size_t(i)], i, folder);
    };
    const QList<PhotoResult> results = QtConcurrent::blockingMapped<QList<PhotoResult>>(indices, render);
    for (const PhotoResult &result : results)
        if (!result.error.isEmpty())
            return fail(error, result.error);
    summary.photographs = int(results.size());

    // The project last: its presence marks a complete sample.
    return writeFile(dir.filePath(truthName), truthJson(options, scene, shots, results, summary), error) &&
           writeFile(dir.filePath(projectName), projectXml(shots), error);
}

} // namespace

bool validateOptions(const SampleOptions &options, QString *error)
{
    if (options.views < 1 || options.views > 10000)
        return fail(error, QStringLiteral("--views must be between 1 and 10000"));
    if (options.triangles < 1000 || options.triangles > 5000000)
        return fail(error, QStringLiteral("--triangles must be between 1000 and 5000000"));
    const QSize size = options.size;
    if (size.width() < 16 || size.height() < 16 || size.width() > 10000 || size.height() > 10000)
        return fail(error, QStringLiteral("--size: each side must be between 16 and 10000 pixels"));
    // Two photographs are rendered at once, each with a colour and a depth buffer.
    if (qint64(size.width()) * size.height() > 50000000)
        return fail(error, QStringLiteral("--size: at most 50 million pixels per photograph"));
    return true;
}

bool writeSampleDataset(const QString &outputDir, const SampleOptions &options, QString *error,
                        SampleSummary *summary)
{
    if (!validateOptions(options, error))
        return false;
    if (outputDir.isEmpty())
        return fail(error, QStringLiteral("the output folder name is empty"));
    SampleSummary written;
    const QFileInfo info(QDir::cleanPath(outputDir)); // "sample/" names the folder sample
    if (info.exists()) {
        if (!info.isDir())
            return fail(error, QStringLiteral("%1 exists and is not a folder").arg(outputDir));
        const bool empty =
            QDir(outputDir).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
        if (!empty && !options.overwrite)
            return fail(error, QStringLiteral("%1 is not empty; choose a new folder, or add --overwrite to "
                                              "replace the sample files in it")
                                   .arg(outputDir));
        if (!writeInto(outputDir, options, error, written))
            return false;
    } else {
        const QString parent = info.absolutePath();
        if (!QDir().mkpath(parent))
            return fail(error, QStringLiteral("cannot create the folder %1").arg(parent));
        QTemporaryDir partial(parent + QStringLiteral("/.") + info.fileName() +
                              QStringLiteral("-partial-XXXXXX"));
        if (!partial.isValid())
            return fail(
                error, QStringLiteral("cannot create a folder in %1: %2").arg(parent, partial.errorString()));
        if (!writeInto(partial.path(), options, error, written))
            return false;
        // A temporary folder is private; the sample is an ordinary folder.
        QFile::setPermissions(partial.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                                  QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther |
                                                  QFile::ExeOther);
        if (!QDir().rename(partial.path(), info.absoluteFilePath()))
            return fail(error, QStringLiteral("cannot rename %1 to %2").arg(partial.path(), outputDir));
        partial.setAutoRemove(false);
    }
    if (summary)
        *summary = written;
    return true;
}

} // namespace SampleGen
