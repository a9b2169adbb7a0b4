#include "colmapmodel.h"

#include "colmapbinary.h"
#include "sfmtextreader.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <cctype>

namespace
{

// A named context: lupdate cannot file the texts of free functions otherwise.
struct Texts {
    Q_DECLARE_TR_FUNCTIONS(ColmapModel)
};

bool hasFiles(const QDir &dir, const char *suffix)
{
    for (const char *base : {"cameras", "images", "points3D"})
        if (!QFileInfo(dir.filePath(QLatin1String(base) + QLatin1String(suffix))).isFile())
            return false;
    return true;
}

bool hasModel(const QDir &dir)
{
    // points3D is optional for us; cameras and images are not.
    for (const char *suffix : {".txt", ".bin"})
        if (QFileInfo(dir.filePath(QLatin1String("cameras") + QLatin1String(suffix))).isFile() &&
            QFileInfo(dir.filePath(QLatin1String("images") + QLatin1String(suffix))).isFile())
            return true;
    return false;
}

// --- text model --------------------------------------------------------------------------------

bool readCamerasText(const QString &path, ColmapData &data, QString &error)
{
    SfmTextReader reader;
    if (!reader.open(path, &error))
        return false;
    while (reader.nextLine()) {
        const SfmFields fields = reader.fields();
        ColmapCameraRecord camera;
        qint64 id = 0, width = 0, height = 0;
        if (fields.size() < 4 || !SfmText::toCount(fields.at(0), id, 0xffffffffLL) ||
            !SfmText::toCount(fields.at(2), width, ColmapFormat::maxImageSide) ||
            !SfmText::toCount(fields.at(3), height, ColmapFormat::maxImageSide)) {
            error = reader.message(Texts::tr("expected CAMERA_ID MODEL WIDTH HEIGHT PARAMS[]"));
            return false;
        }
        camera.id = quint32(id);
        camera.model = QString::fromLatin1(fields.at(1));
        camera.width = int(width);
        camera.height = int(height);
        for (int i = 4; i < fields.size(); ++i) {
            double value = 0;
            if (!SfmText::toNumber(fields.at(i), value)) {
                error = reader.message(Texts::tr("camera parameter \"%1\" is not a usable number")
                                           .arg(QString::fromLatin1(fields.at(i).left(40))));
                return false;
            }
            camera.params.append(value);
        }
        const int expected = ColmapFormat::parameterCount(camera.model);
        if (expected < 0) {
            error = reader.message(ColmapFormat::unsupportedModelText(camera.id, camera.model));
            return false;
        }
        if (camera.params.size() != expected) {
            error = reader.message(
                Texts::tr("the camera model %1 has %2 parameters, the line holds %3")
                    .arg(camera.model, QString::number(expected), QString::number(camera.params.size())));
            return false;
        }
        if (data.cameras.contains(camera.id)) {
            error = reader.message(Texts::tr("camera %1 is listed twice").arg(camera.id));
            return false;
        }
        data.cameras.insert(camera.id, camera);
    }
    return true;
}

bool readImagesText(const QString &path, ColmapData &data, QString &error)
{
    SfmTextReader reader;
    if (!reader.open(path, &error))
        return false;
    while (reader.nextLine()) {
        const SfmFields fields = reader.fields();
        ColmapImageRecord image;
        qint64 id = 0, cameraId = 0;
        bool numbers = fields.size() >= 10 && SfmText::toCount(fields.at(0), id, 0xffffffffLL) &&
                       SfmText::toCount(fields.at(8), cameraId, 0xffffffffLL);
        for (int i = 0; numbers && i < 7; ++i)
            numbers =
                SfmText::toNumber(fields.at(1 + i), i < 4 ? image.quaternion[i] : image.translation[i - 4]);
        if (!numbers) {
            error = reader.message(Texts::tr("expected IMAGE_ID QW QX QY QZ TX TY TZ CAMERA_ID NAME"));
            return false;
        }
        image.id = quint32(id);
        image.cameraId = quint32(cameraId);
        // The name is the rest of the line, so names with spaces survive; fields may be separated
        // by tabs as well as spaces.
        const QByteArray &line = reader.line();
        qsizetype at = 0;
        for (int i = 0; i < 9; ++i) {
            while (at < line.size() && !std::isspace(uchar(line.at(at))))
                ++at;
            while (at < line.size() && std::isspace(uchar(line.at(at))))
                ++at;
        }
        image.name = QString::fromUtf8(line.mid(at));
        image.where = reader.message(QString());
        data.images.append(image);
        // The 2D points follow on the next line, which may be empty.
        reader.nextLine(false);
    }
    return true;
}

bool readPointsText(const QString &path, ColmapData &data, QString &error)
{
    SfmTextReader reader;
    if (!reader.open(path, &error))
        return false;
    while (reader.nextLine()) {
        const SfmFields fields = reader.fields();
        ColmapPointRecord point;
        qint64 id = 0, colour[3] = {0, 0, 0};
        bool ok = fields.size() >= 8 && (fields.size() - 8) % 2 == 0 && SfmText::toCount(fields.at(0), id);
        for (int i = 0; ok && i < 3; ++i)
            ok = SfmText::toNumber(fields.at(1 + i), point.position[i]) &&
                 SfmText::toCount(fields.at(4 + i), colour[i], 255);
        if (!ok) {
            error = reader.message(
                Texts::tr("expected POINT3D_ID X Y Z R G B ERROR and pairs IMAGE_ID POINT2D_IDX"));
            return false;
        }
        for (int i = 0; i < 3; ++i)
            point.colour[i] = quint8(colour[i]);
        for (int i = 8; i < fields.size(); i += 2) {
            qint64 imageId = 0;
            if (!SfmText::toCount(fields.at(i), imageId, 0xffffffffLL)) {
                error = reader.message(Texts::tr("the track holds \"%1\", which is not an image id")
                                           .arg(QString::fromLatin1(fields.at(i).left(40))));
                return false;
            }
            point.track.append(quint32(imageId));
        }
        point.where = reader.message(QString());
        data.points.append(point);
    }
    return true;
}

} // namespace

namespace ColmapModel
{

QString modelFolder(const QString &path)
{
    const QFileInfo info(path);
    const QDir dir = info.isDir() ? QDir(info.absoluteFilePath()) : info.absoluteDir();
    return hasModel(dir) ? dir.absolutePath() : QString();
}

SfmReconstruction readModel(const QString &folder)
{
    const QDir dir(folder);
    const bool binary =
        hasFiles(dir, ".bin") || !QFileInfo(dir.filePath(QStringLiteral("cameras.txt"))).isFile();
    SfmReconstruction result;
    result.format = binary ? QStringLiteral("COLMAP binary model") : QStringLiteral("COLMAP text model");

    ColmapData data;
    data.camerasFile = QStringLiteral("cameras") + (binary ? QStringLiteral(".bin") : QStringLiteral(".txt"));
    QString error;
    const QString suffix = binary ? QStringLiteral(".bin") : QStringLiteral(".txt");
    const QString pointsPath = dir.filePath(QStringLiteral("points3D") + suffix);
    bool ok = binary ? ColmapBinary::readCameras(dir.filePath(QStringLiteral("cameras.bin")), data, error) &&
                           ColmapBinary::readImages(dir.filePath(QStringLiteral("images.bin")), data, error)
                     : readCamerasText(dir.filePath(QStringLiteral("cameras.txt")), data, error) &&
                           readImagesText(dir.filePath(QStringLiteral("images.txt")), data, error);
    if (ok && QFileInfo(pointsPath).isFile())
        ok = binary ? ColmapBinary::readPoints(pointsPath, data, error)
                    : readPointsText(pointsPath, data, error);
    else if (ok)
        result.warnings.append(
            Texts::tr("The model has no %1: it brings no 3D points.").arg(QFileInfo(pointsPath).fileName()));
    if (!ok) {
        result.error = error;
        return result;
    }
    ColmapFormat::assemble(data, result);
    return result;
}

} // namespace ColmapModel
