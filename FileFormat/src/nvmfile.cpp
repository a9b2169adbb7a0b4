#include "nvmfile.h"

#include "sfmtextreader.h"

#include <QCoreApplication>

namespace
{

// A named context: lupdate cannot file the texts of free functions otherwise.
struct Texts {
    Q_DECLARE_TR_FUNCTIONS(NvmFile)
};

// A count line; false at the end of the file or when the line is not a count.
bool readCount(SfmTextReader &reader, qint64 &count)
{
    return reader.nextLine() && reader.fields().size() == 1 && SfmText::toCount(reader.fields().at(0), count);
}

// fixedK: fx, cx, fy, cy of the whole file, or null when each camera has its own focal length.
bool readCamera(SfmTextReader &reader, SfmReconstruction &result, int &distorted, const double *fixedK)
{
    const SfmFields fields = reader.fields();
    // name, focal, quaternion w x y z, centre x y z, radial distortion, 0
    double values[8];
    bool ok = fields.size() >= 10;
    for (int i = 0; ok && i < 8; ++i)
        ok = SfmText::toNumber(fields.at(1 + i), values[i]);
    double rotation[9];
    if (!ok || values[0] <= 0 || !SfmCameras::quaternionToMatrix(values + 1, rotation)) {
        result.error = reader.message(
            Texts::tr("expected NAME FOCAL QW QX QY QZ CX CY CZ DISTORTION 0, with a positive focal length"));
        return false;
    }
    double distortion = 0;
    if (!SfmText::toNumber(fields.at(9), distortion)) {
        result.error = reader.message(Texts::tr("the radial distortion is not a usable number"));
        return false;
    }
    if (distortion != 0)
        ++distorted;
    SfmImage image;
    image.name = QString::fromUtf8(fields.at(0));
    image.camera = fixedK ? SfmCameras::fromYDown(rotation, values + 5, fixedK[0], fixedK[2], 0, 0, 0, 0)
                          : SfmCameras::fromYDown(rotation, values + 5, values[0], values[0], 0, 0, 0, 0);
    image.sizeFromPhoto = true;
    if (fixedK) {
        image.principalPoint[0] = fixedK[1];
        image.principalPoint[1] = fixedK[3];
    }
    result.images.append(image);
    return true;
}

bool readPoint(SfmTextReader &reader, qint64 cameraCount, SfmReconstruction &result)
{
    const SfmFields fields = reader.fields();
    // x y z, r g b, measurement count, then per measurement: image index, feature index, x, y
    SfmPoint point;
    double position[3];
    qint64 colour[3], measurements = 0;
    bool ok = fields.size() >= 7 && SfmText::toCount(fields.at(6), measurements) &&
              fields.size() == 7 + 4 * measurements;
    for (int i = 0; ok && i < 3; ++i)
        ok = SfmText::toNumber(fields.at(i), position[i]) &&
             SfmText::toCount(fields.at(3 + i), colour[i], 255);
    if (!ok) {
        result.error = reader.message(Texts::tr("expected X Y Z R G B COUNT and COUNT measurements"));
        return false;
    }
    for (qint64 m = 0; m < measurements; ++m) {
        qint64 image = 0;
        if (!SfmText::toCount(fields.at(7 + 4 * m), image) || image >= cameraCount) {
            result.error = reader.message(
                Texts::tr("a measurement refers to camera \"%1\"; the model has %2 cameras")
                    .arg(QString::fromLatin1(fields.at(7 + 4 * m).left(40)), QString::number(cameraCount)));
            return false;
        }
    }
    point.position = ksr::Point3d(position[0], position[1], position[2]);
    for (int i = 0; i < 3; ++i)
        point.colour[i] = quint8(colour[i]);
    result.points.append(point);
    return true;
}

// Models after the first: counted as long as they read as models; the list ends with a count of 0.
int countFurtherModels(SfmTextReader &reader)
{
    int models = 0;
    qint64 cameras = 0, points = 0;
    while (readCount(reader, cameras) && cameras > 0 && cameras <= reader.remainingLines()) {
        for (qint64 i = 0; i < cameras; ++i)
            reader.nextLine();
        if (!readCount(reader, points) || points > reader.remainingLines())
            break;
        for (qint64 i = 0; i < points; ++i)
            reader.nextLine();
        ++models;
    }
    return models;
}

} // namespace

namespace NvmFile
{

SfmReconstruction read(const QString &fileName)
{
    SfmReconstruction result;
    result.format = QStringLiteral("NVM");
    SfmTextReader reader;
    if (!reader.open(fileName, &result.error))
        return result;
    if (!reader.nextLine() || reader.fields().at(0) != "NVM_V3") {
        result.error = reader.message(Texts::tr("the file does not start with NVM_V3"));
        return result;
    }
    // "NVM_V3 FixedK fx cx fy cy r": one calibration, principal point included, for every camera.
    const SfmFields header = reader.fields();
    double fixedK[4] = {0, 0, 0, 0};
    const bool hasFixedK = header.size() > 1 && header.at(1).compare("FixedK", Qt::CaseInsensitive) == 0;
    bool fixedOk = hasFixedK && header.size() >= 6;
    for (int i = 0; fixedOk && i < 4; ++i)
        fixedOk = SfmText::toNumber(header.at(2 + i), fixedK[i]);
    if (hasFixedK && (!fixedOk || fixedK[0] <= 0 || fixedK[2] <= 0)) {
        result.error = reader.message(Texts::tr("expected NVM_V3 FixedK FX CX FY CY with positive focal lengths"));
        return result;
    }
    if (header.size() > 1 && !hasFixedK)
        result.warnings.append(reader.message(Texts::tr("\"%1\" after NVM_V3 is not understood and not used")
                                                  .arg(QString::fromLatin1(header.at(1).left(40)))));

    qint64 cameras = 0;
    if (!readCount(reader, cameras)) {
        result.error = reader.message(Texts::tr("expected the number of cameras"));
        return result;
    }
    if (cameras > reader.remainingLines()) {
        result.error = reader.message(Texts::tr("%1 cameras are announced but only %2 lines follow")
                                          .arg(cameras)
                                          .arg(reader.remainingLines()));
        return result;
    }
    result.images.reserve(qsizetype(cameras));
    int distorted = 0;
    for (qint64 i = 0; i < cameras; ++i) {
        if (!reader.nextLine()) {
            result.error =
                reader.message(Texts::tr("the file ends after %1 of %2 cameras").arg(i).arg(cameras));
            return result;
        }
        if (!readCamera(reader, result, distorted, hasFixedK ? fixedK : nullptr))
            return result;
    }

    if (distorted > 0)
        result.warnings.append(
            Texts::tr("The radial distortion of %1 NVM cameras is not kept: NVM's distortion "
                      "(on measured pixels) is not the kind the imported cameras hold.")
                .arg(distorted));

    qint64 points = 0;
    if (!readCount(reader, points)) {
        // A file may end after the cameras; anything else there is an error.
        if (!reader.line().isEmpty())
            result.error = reader.message(Texts::tr("expected the number of points"));
        return result;
    }
    if (points > reader.remainingLines()) {
        result.error = reader.message(Texts::tr("%1 points are announced but only %2 lines follow")
                                          .arg(points)
                                          .arg(reader.remainingLines()));
        return result;
    }
    result.points.reserve(qsizetype(points));
    for (qint64 i = 0; i < points; ++i) {
        if (!reader.nextLine()) {
            result.error =
                reader.message(Texts::tr("the file ends after %1 of %2 points").arg(i).arg(points));
            return result;
        }
        if (!readPoint(reader, cameras, result))
            return result;
    }

    const int skipped = countFurtherModels(reader);
    if (skipped > 0)
        result.warnings.append(
            Texts::tr("The file holds %1 more models after the first; only the first was imported.")
                .arg(skipped));
    return result;
}

} // namespace NvmFile
