#include "meshroomsfm.h"

#include "sfmjson.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QHash>

namespace
{

struct Version {
    int major = 0, minor = 0, patch = 0;
    bool before(int mj, int mn, int p) const
    {
        return major != mj ? major < mj : minor != mn ? minor < mn : patch < p;
    }
};

struct Intrinsic {
    double fx = 0, fy = 0, u0 = 0, v0 = 0; // pixels; principal point from the top-left corner
    int width = 0, height = 0;
    double k1 = 0, k2 = 0;
    bool unkeptDistortion = false;
    bool uncertainRatio = false; // a pixel ratio other than 1 in a file whose rule is assumed
};

bool readVersion(const QJsonValue &value, Version &version)
{
    double parts[3];
    if (!SfmJson::numbers(value, parts, 3))
        return false;
    version = {int(parts[0]), int(parts[1]), int(parts[2])};
    return version.major == 1 && !version.before(1, 0, 0);
}

// Distortion models whose first terms are radial on normalised coordinates, ideal to observed.
bool acceptedDistortion(const QString &name)
{
    static const QStringList accepted = {QString(),
                                         QStringLiteral("none"),
                                         QStringLiteral("pinhole"),
                                         QStringLiteral("radial1"),
                                         QStringLiteral("radial3"),
                                         QStringLiteral("radialk1"),
                                         QStringLiteral("radialk3"),
                                         QStringLiteral("brown")};
    return accepted.contains(name);
}

bool readFocal(const QJsonObject &object, const Version &version, Intrinsic &in)
{
    if (version.before(1, 2, 2)) {
        // Pixels: one value before 1.2.0, then (x, y); either is accepted in both.
        const QJsonValue px = object.value(QLatin1String("pxFocalLength"));
        double pair[2];
        if (SfmJson::numbers(px, pair, 2)) {
            in.fx = pair[0];
            in.fy = pair[1];
            return true;
        }
        return SfmJson::number(px, in.fx) && (in.fy = in.fx) > 0;
    }
    // Millimetres on a sensor of sensorWidth mm across the image width, and a ratio.
    double focalMm = 0, sensorWidth = 0, ratio = 1;
    if (!SfmJson::number(object.value(QLatin1String("focalLength")), focalMm) ||
        !SfmJson::number(object.value(QLatin1String("sensorWidth")), sensorWidth) || sensorWidth <= 0)
        return false;
    const QJsonValue ratioValue = object.value(QLatin1String("pixelRatio"));
    if (!ratioValue.isUndefined() && (!SfmJson::number(ratioValue, ratio) || ratio <= 0))
        return false;
    in.fx = focalMm / sensorWidth * in.width;
    // Before 1.2.5 "pixelRatio" held fx / fy; from 1.2.5 the pixel aspect ratio, fy / fx.
    in.fy = version.before(1, 2, 5) ? in.fx / ratio : in.fx * ratio;
    in.uncertainRatio = !version.before(1, 2, 11) && ratio != 1;
    return true;
}

bool readIntrinsic(const QJsonObject &object, const Version &version, Intrinsic &in, QString &error)
{
    qint64 width = 0, height = 0;
    double principal[2];
    if (!SfmJson::count(object.value(QLatin1String("width")), width) ||
        !SfmJson::count(object.value(QLatin1String("height")), height) || width <= 0 || height <= 0 ||
        width > 1000000 || height > 1000000 ||
        !SfmJson::numbers(object.value(QLatin1String("principalPoint")), principal, 2)) {
        error = QCoreApplication::translate("MeshroomSfm", "needs width, height and principalPoint");
        return false;
    }
    in.width = int(width);
    in.height = int(height);
    if (!readFocal(object, version, in) || in.fx <= 0 || in.fy <= 0) {
        error = version.before(1, 2, 2)
                    ? QCoreApplication::translate(
                          "MeshroomSfm", "needs a positive pxFocalLength (file version before 1.2.2)")
                    : QCoreApplication::translate("MeshroomSfm",
                                                  "needs a positive focalLength, sensorWidth and pixelRatio");
        return false;
    }
    // An offset from the image centre from 1.2.1 on, absolute before.
    in.u0 = principal[0] + (version.before(1, 2, 1) ? 0.0 : in.width / 2.0);
    in.v0 = principal[1] + (version.before(1, 2, 1) ? 0.0 : in.height / 2.0);

    const QString type = object.value(QLatin1String("type")).toString();
    const QString distortion = object.value(QLatin1String("distortionType")).toString();
    if (!acceptedDistortion(type) || !acceptedDistortion(distortion)) {
        error = QCoreApplication::translate(
                    "MeshroomSfm",
                    "uses the camera model \"%1\", which cannot be imported (accepted: pinhole, radial1, "
                    "radial3, brown)")
                    .arg(acceptedDistortion(type) ? distortion : type);
        return false;
    }
    const QJsonArray terms = object.value(QLatin1String("distortionParams")).toArray();
    for (int i = 0; i < terms.size(); ++i) {
        double term = 0;
        if (!SfmJson::number(terms.at(i), term)) {
            error = QCoreApplication::translate("MeshroomSfm",
                                                "distortionParams holds a value that is no number");
            return false;
        }
        if (i == 0)
            in.k1 = term;
        else if (i == 1)
            in.k2 = term;
        else if (term != 0)
            in.unkeptDistortion = true;
    }
    return true;
}

bool readPose(const QJsonObject &transform, double rotation[9], double centre[3])
{
    double columns[9];
    if (!SfmJson::numbers(transform.value(QLatin1String("rotation")), columns, 9) ||
        !SfmJson::numbers(transform.value(QLatin1String("center")), centre, 3))
        return false;
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            rotation[3 * r + c] = columns[3 * c + r];
    return SfmCameras::isRotation(rotation);
}

void readPoints(const QJsonArray &structure, SfmReconstruction &result)
{
    result.points.reserve(structure.size());
    for (const QJsonValue &entry : structure) {
        const QJsonObject landmark = entry.toObject();
        double position[3], colour[3];
        if (!SfmJson::numbers(landmark.value(QLatin1String("X")), position, 3))
            continue;
        SfmPoint point;
        point.position = ksr::Point3d(position[0], position[1], position[2]);
        if (SfmJson::numbers(landmark.value(QLatin1String("color")), colour, 3))
            for (int i = 0; i < 3; ++i)
                point.colour[i] = quint8(qBound(0.0, colour[i], 255.0));
        result.points.append(point);
    }
}

} // namespace

namespace MeshroomSfm
{

SfmReconstruction read(const QString &fileName)
{
    SfmReconstruction result;
    QJsonObject root;
    if (!SfmJson::readObject(fileName, root, result.error))
        return result;
    const QString file = QFileInfo(fileName).fileName() + QStringLiteral(": ");
    Version version;
    if (!readVersion(root.value(QLatin1String("version")), version)) {
        result.error =
            file +
            QCoreApplication::translate(
                "MeshroomSfm", "the file version (\"version\": [\"1\", \"2\", \"n\"]) is missing or not 1.x");
        return result;
    }
    result.format =
        QStringLiteral("Meshroom .sfm %1.%2.%3").arg(version.major).arg(version.minor).arg(version.patch);

    QHash<QString, Intrinsic> intrinsics;
    for (const QJsonValue &entry : root.value(QLatin1String("intrinsics")).toArray()) {
        const QJsonObject object = entry.toObject();
        const QString id = SfmJson::text(object.value(QLatin1String("intrinsicId")));
        Intrinsic in;
        QString why;
        if (!readIntrinsic(object, version, in, why)) {
            result.error = file + QCoreApplication::translate("MeshroomSfm", "intrinsic %1 %2").arg(id, why);
            return result;
        }
        intrinsics.insert(id, in);
    }
    struct Pose {
        double rotation[9], centre[3];
    };
    QHash<QString, Pose> poses;
    for (const QJsonValue &entry : root.value(QLatin1String("poses")).toArray()) {
        const QJsonObject object = entry.toObject();
        const QString id = SfmJson::text(object.value(QLatin1String("poseId")));
        Pose pose;
        const QJsonObject transform =
            object.value(QLatin1String("pose")).toObject().value(QLatin1String("transform")).toObject();
        if (!readPose(transform, pose.rotation, pose.centre)) {
            result.error =
                file +
                QCoreApplication::translate(
                    "MeshroomSfm", "pose %1 needs a rotation (nine values holding a rotation) and a center")
                    .arg(id);
            return result;
        }
        poses.insert(id, pose);
    }

    bool unkept = false, uncertain = false;
    for (const QJsonValue &entry : root.value(QLatin1String("views")).toArray()) {
        const QJsonObject view = entry.toObject();
        const QString path = view.value(QLatin1String("path")).toString();
        if (path.isEmpty()) {
            result.error = file + QCoreApplication::translate("MeshroomSfm", "view %1 has no path")
                                      .arg(SfmJson::text(view.value(QLatin1String("viewId"))));
            return result;
        }
        const auto pose = poses.constFind(SfmJson::text(view.value(QLatin1String("poseId"))));
        const auto in = intrinsics.constFind(SfmJson::text(view.value(QLatin1String("intrinsicId"))));
        if (pose == poses.constEnd() || in == intrinsics.constEnd()) {
            result.leftOut.append(path);
            continue;
        }
        SfmImage image;
        image.name = path;
        image.camera = SfmCameras::fromYDown(pose->rotation, pose->centre, in->fx, in->fy, in->u0, in->v0,
                                             in->width, in->height);
        image.camera.distortion[0] = float(in->k1);
        image.camera.distortion[1] = float(in->k2);
        unkept = unkept || in->unkeptDistortion;
        uncertain = uncertain || in->uncertainRatio;
        result.images.append(image);
    }
    if (unkept)
        result.warnings.append(QCoreApplication::translate(
            "MeshroomSfm", "The distortion beyond k1 and k2 of some cameras is not kept: the imported "
                           "cameras hold k1 and k2 only."));
    if (uncertain)
        result.warnings.append(
            QCoreApplication::translate(
                "MeshroomSfm",
                "Some cameras have a pixelRatio other than 1 in a file of version %1; it is read "
                "as the pixel aspect ratio (fy / fx), as in versions 1.2.5 to 1.2.10.")
                .arg(result.format.section(QLatin1Char(' '), -1)));
    if (!result.leftOut.isEmpty())
        result.warnings.append(
            QCoreApplication::translate("MeshroomSfm", "%1 views have no pose in the file and are left out.")
                .arg(result.leftOut.size()));
    readPoints(root.value(QLatin1String("structure")).toArray(), result);
    return result;
}

} // namespace MeshroomSfm
