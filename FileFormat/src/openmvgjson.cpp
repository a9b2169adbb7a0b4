#include "openmvgjson.h"

#include "sfmjson.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QHash>

#include <cmath>

namespace
{

struct Intrinsic {
    QString model;
    double focal = 0, principal[2] = {0, 0};
    int width = 0, height = 0;
    QVector<double> distortion;
};

struct Extrinsic {
    double rotation[9];
    double centre[3];
};

// The "data" of a serialised pointer: the entry's value itself, or its "ptr_wrapper".
QJsonObject pointerData(const QJsonObject &value)
{
    const QJsonObject wrapper = value.value(QLatin1String("ptr_wrapper")).toObject();
    return wrapper.isEmpty() ? value : wrapper.value(QLatin1String("data")).toObject();
}

// Models whose distortion acts on normalised coordinates from ideal to observed, with the member
// holding it; the radial terms come first.
const struct {
    const char *model, *distortionKey;
} acceptedModels[] = {{"pinhole", nullptr},
                      {"pinhole_radial_k1", "disto_k1"},
                      {"pinhole_radial_k3", "disto_k3"},
                      {"pinhole_brown_t2", "disto_t2"}};

bool readIntrinsics(const QJsonArray &list, QHash<qint64, Intrinsic> &intrinsics, QString &error)
{
    // The model's name is written with the first intrinsic of each model only; the others refer
    // to it by its id without the high bit.
    QHash<qint64, QString> modelNames;
    for (int i = 0; i < list.size(); ++i) {
        const QJsonObject entry = list.at(i).toObject();
        const QJsonObject value = entry.value(QLatin1String("value")).toObject();
        qint64 key = 0, polymorphicId = 0;
        if (!SfmJson::count(entry.value(QLatin1String("key")), key) ||
            !SfmJson::count(value.value(QLatin1String("polymorphic_id")), polymorphicId)) {
            error = QCoreApplication::translate("OpenMvgJson", "intrinsic %1 has no key or no polymorphic_id")
                        .arg(i + 1);
            return false;
        }
        Intrinsic in;
        in.model = value.value(QLatin1String("polymorphic_name")).toString();
        if (!in.model.isEmpty())
            modelNames.insert(polymorphicId & 0x7fffffff, in.model);
        else
            in.model = modelNames.value(polymorphicId & 0x7fffffff);
        const QJsonObject data = pointerData(value);
        const char *distortionKey = nullptr;
        bool accepted = false;
        for (const auto &model : acceptedModels)
            if (in.model == QLatin1String(model.model)) {
                accepted = true;
                distortionKey = model.distortionKey;
            }
        if (!accepted) {
            error = QCoreApplication::translate(
                        "OpenMvgJson",
                        "intrinsic %1 uses the camera model \"%2\", which cannot be imported (accepted: "
                        "pinhole, pinhole_radial_k1, pinhole_radial_k3, pinhole_brown_t2)")
                        .arg(key)
                        .arg(in.model);
            return false;
        }
        qint64 width = 0, height = 0;
        if (!SfmJson::count(data.value(QLatin1String("width")), width) ||
            !SfmJson::count(data.value(QLatin1String("height")), height) || width <= 0 || height <= 0 ||
            width > 1000000 || height > 1000000 ||
            !SfmJson::number(data.value(QLatin1String("focal_length")), in.focal) || in.focal <= 0 ||
            !SfmJson::numbers(data.value(QLatin1String("principal_point")), in.principal, 2)) {
            error = QCoreApplication::translate(
                        "OpenMvgJson",
                        "intrinsic %1 needs width, height, a positive focal_length and a principal_point")
                        .arg(key);
            return false;
        }
        in.width = int(width);
        in.height = int(height);
        if (distortionKey) {
            for (const QJsonValue &term : data.value(QLatin1String(distortionKey)).toArray()) {
                double number = 0;
                if (!SfmJson::number(term, number)) {
                    error = QCoreApplication::translate("OpenMvgJson",
                                                        "intrinsic %1: %2 holds a value that is no number")
                                .arg(key)
                                .arg(QLatin1String(distortionKey));
                    return false;
                }
                in.distortion.append(number);
            }
        }
        intrinsics.insert(key, in);
    }
    return true;
}

bool readExtrinsics(const QJsonArray &list, QHash<qint64, Extrinsic> &extrinsics, QString &error)
{
    for (int i = 0; i < list.size(); ++i) {
        const QJsonObject entry = list.at(i).toObject();
        const QJsonObject value = entry.value(QLatin1String("value")).toObject();
        qint64 key = 0;
        Extrinsic pose;
        const QJsonArray rows = value.value(QLatin1String("rotation")).toArray();
        bool ok = SfmJson::count(entry.value(QLatin1String("key")), key) && rows.size() == 3 &&
                  SfmJson::numbers(value.value(QLatin1String("center")), pose.centre, 3);
        for (int r = 0; ok && r < 3; ++r)
            ok = SfmJson::numbers(rows.at(r), pose.rotation + 3 * r, 3);
        if (!ok || !SfmCameras::isRotation(pose.rotation)) {
            error =
                QCoreApplication::translate(
                    "OpenMvgJson", "extrinsic %1 needs a key, a rotation (three rows of three) and a center")
                    .arg(i + 1);
            return false;
        }
        extrinsics.insert(key, pose);
    }
    return true;
}

void readPoints(const QJsonArray &structure, SfmReconstruction &result)
{
    result.points.reserve(structure.size());
    for (const QJsonValue &entry : structure) {
        double position[3];
        if (!SfmJson::numbers(
                entry.toObject().value(QLatin1String("value")).toObject().value(QLatin1String("X")), position,
                3))
            continue;
        SfmPoint point;
        point.position = ksr::Point3d(position[0], position[1], position[2]);
        result.points.append(point);
    }
}

} // namespace

namespace OpenMvgJson
{

QString rootPath(const QString &fileName)
{
    QJsonObject root;
    QString error;
    if (!SfmJson::readObject(fileName, root, error))
        return QString();
    return root.value(QLatin1String("root_path")).toString();
}

SfmReconstruction read(const QString &fileName)
{
    SfmReconstruction result;
    QJsonObject root;
    if (!SfmJson::readObject(fileName, root, result.error))
        return result;
    const QString file = QFileInfo(fileName).fileName() + QStringLiteral(": ");
    result.format =
        QStringLiteral("OpenMVG sfm_data %1").arg(root.value(QLatin1String("sfm_data_version")).toString());
    QHash<qint64, Intrinsic> intrinsics;
    QHash<qint64, Extrinsic> extrinsics;
    QString error;
    if (!readIntrinsics(root.value(QLatin1String("intrinsics")).toArray(), intrinsics, error) ||
        !readExtrinsics(root.value(QLatin1String("extrinsics")).toArray(), extrinsics, error)) {
        result.error = file + error;
        return result;
    }
    const QJsonArray views = root.value(QLatin1String("views")).toArray();
    bool tangential = false, thirdTerm = false;
    for (int i = 0; i < views.size(); ++i) {
        const QJsonObject data = pointerData(views.at(i).toObject().value(QLatin1String("value")).toObject());
        QString name = data.value(QLatin1String("local_path")).toString();
        if (!name.isEmpty() && !name.endsWith(QLatin1Char('/')))
            name += QLatin1Char('/');
        name += data.value(QLatin1String("filename")).toString();
        qint64 intrinsicId = 0, poseId = 0;
        if (data.value(QLatin1String("filename")).toString().isEmpty() ||
            !SfmJson::count(data.value(QLatin1String("id_intrinsic")), intrinsicId) ||
            !SfmJson::count(data.value(QLatin1String("id_pose")), poseId)) {
            result.error =
                file + QCoreApplication::translate("OpenMvgJson",
                                                   "view %1 needs a filename, an id_intrinsic and an id_pose")
                           .arg(i + 1);
            return result;
        }
        const auto pose = extrinsics.constFind(poseId);
        const auto in = intrinsics.constFind(intrinsicId);
        if (pose == extrinsics.constEnd() || in == intrinsics.constEnd()) {
            // Not reconstructed (OpenMVG writes an undefined id for a view without intrinsic).
            result.leftOut.append(name);
            continue;
        }
        SfmImage image;
        image.name = name;
        image.camera = SfmCameras::fromYDown(pose->rotation, pose->centre, in->focal, in->focal,
                                             in->principal[0], in->principal[1], in->width, in->height);
        const QVector<double> &d = in->distortion;
        // Radial terms first, then (Brown) the tangential ones.
        for (int k = 0; k < 2 && k < d.size(); ++k)
            image.camera.distortion[k] = float(d.at(k));
        thirdTerm = thirdTerm || (d.size() >= 3 && d.at(2) != 0);
        tangential = tangential || (d.size() >= 5 && (d.at(3) != 0 || d.at(4) != 0));
        result.images.append(image);
    }
    if (thirdTerm || tangential)
        result.warnings.append(
            QCoreApplication::translate(
                "OpenMvgJson", "The %1 distortion of some cameras is not kept: the imported cameras hold "
                               "k1 and k2 only.")
                .arg(tangential ? QCoreApplication::translate("OpenMvgJson", "tangential (t1, t2) and k3")
                                : QCoreApplication::translate("OpenMvgJson", "k3")));
    if (!result.leftOut.isEmpty())
        result.warnings.append(
            QCoreApplication::translate("OpenMvgJson", "%1 views have no pose in the file and are left out.")
                .arg(result.leftOut.size()));
    readPoints(root.value(QLatin1String("structure")).toArray(), result);
    return result;
}

} // namespace OpenMvgJson
