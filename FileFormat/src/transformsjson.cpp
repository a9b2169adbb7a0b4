#include "transformsjson.h"

#include "sfmjson.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <cmath>

namespace
{

// Intrinsics as the file states them; 0 (or an empty model) for what it leaves out.
struct Intrinsics {
    QString model;
    double fx = 0, fy = 0, cx = -1, cy = -1, width = 0, height = 0, angleX = 0, angleY = 0;
    double k1 = 0, k2 = 0, unkept = 0; // unkept: the largest of |p1|, |p2|, |k3|, |k4|
};

// Keys present in object override those in intrinsics; false with why on a value that is no number.
bool overrideWith(const QJsonObject &object, Intrinsics &in, QString &why)
{
    const struct {
        const char *key;
        double *value;
    } keys[] = {{"fl_x", &in.fx},
                {"fl_y", &in.fy},
                {"cx", &in.cx},
                {"cy", &in.cy},
                {"w", &in.width},
                {"h", &in.height},
                {"k1", &in.k1},
                {"k2", &in.k2},
                {"camera_angle_x", &in.angleX},
                {"camera_angle_y", &in.angleY}};
    for (const auto &key : keys) {
        const QJsonValue value = object.value(QLatin1String(key.key));
        if (value.isUndefined() || value.isNull())
            continue;
        if (!SfmJson::number(value, *key.value)) {
            why = QCoreApplication::translate("TransformsJson", "\"%1\" is not a usable number")
                      .arg(QLatin1String(key.key));
            return false;
        }
    }
    for (const char *key : {"p1", "p2", "k3", "k4"}) {
        double value = 0;
        if (SfmJson::number(object.value(QLatin1String(key)), value))
            in.unkept = std::max(in.unkept, std::fabs(value));
    }
    if (object.contains(QLatin1String("camera_model")))
        in.model = object.value(QLatin1String("camera_model")).toString();
    return true;
}

bool pose(const QJsonValue &value, double rotation[9], double centre[3])
{
    // Four rows of four; the last row is 0 0 0 1 and not looked at.
    const QJsonArray rows = value.toArray();
    if (rows.size() != 4)
        return false;
    double cameraToWorld[9];
    for (int r = 0; r < 3; ++r) {
        double row[4];
        if (!SfmJson::numbers(rows.at(r), row, 4))
            return false;
        for (int c = 0; c < 3; ++c)
            cameraToWorld[3 * r + c] = row[c];
        centre[r] = row[3];
    }
    if (!SfmCameras::isRotation(cameraToWorld))
        return false;
    SfmCameras::yUpCameraToWorldAsYDown(cameraToWorld, rotation);
    return true;
}

// The frame's camera; false with why when the intrinsics do not place it.
bool frameCamera(const Intrinsics &in, const double rotation[9], const double centre[3], SfmImage &image,
                 QString &why)
{
    if (!in.model.isEmpty() && in.model != QLatin1String("OPENCV") && in.model != QLatin1String("PINHOLE") &&
        in.model != QLatin1String("SIMPLE_PINHOLE")) {
        why = QCoreApplication::translate(
                  "TransformsJson", "the camera model %1 cannot be imported (accepted: OPENCV, PINHOLE)")
                  .arg(in.model);
        return false;
    }
    const int width = int(in.width), height = int(in.height);
    const bool sized = width > 0 && height > 0 && width <= 1000000 && height <= 1000000;
    double fx = in.fx, fy = in.fy;
    if (fx <= 0 && in.angleX > 0 && in.angleX < M_PI && sized)
        fx = 0.5 * width / std::tan(0.5 * in.angleX);
    if (fy <= 0 && in.angleY > 0 && in.angleY < M_PI && sized && in.fx <= 0)
        fy = 0.5 * height / std::tan(0.5 * in.angleY);
    if (fy <= 0)
        fy = fx;
    if (fx <= 0 && !(in.angleX > 0 && in.angleX < M_PI)) {
        why = QCoreApplication::translate("TransformsJson",
                                          "no focal length (fl_x) and no field of view (camera_angle_x)");
        return false;
    }
    if (sized) {
        const double cx = in.cx >= 0 ? in.cx : width / 2.0, cy = in.cy >= 0 ? in.cy : height / 2.0;
        image.camera = SfmCameras::fromYDown(rotation, centre, fx, fy, cx, cy, width, height);
    } else {
        // The photograph gives the size; a field of view needs it to become a focal length.
        image.camera =
            SfmCameras::fromYDown(rotation, centre, fx > 0 ? fx : 1000, fy > 0 ? fy : 1000, 0, 0, 0, 0);
        image.sizeFromPhoto = true;
        image.principalPoint[0] = in.cx;
        image.principalPoint[1] = in.cy;
        if (in.fx <= 0)
            image.fieldOfViewX = in.angleX;
    }
    image.camera.distortion[0] = float(in.k1);
    image.camera.distortion[1] = float(in.k2);
    return true;
}

} // namespace

namespace TransformsJson
{

SfmReconstruction read(const QString &fileName)
{
    SfmReconstruction result;
    result.format = QStringLiteral("transforms.json");
    QJsonObject root;
    if (!SfmJson::readObject(fileName, root, result.error))
        return result;
    const QString file = QFileInfo(fileName).fileName();
    Intrinsics global;
    QString why;
    if (!overrideWith(root, global, why)) {
        result.error = file + QStringLiteral(": ") + why;
        return result;
    }
    const QJsonValue frames = root.value(QLatin1String("frames"));
    if (!frames.isArray()) {
        result.error =
            QCoreApplication::translate("TransformsJson", "%1: there is no list of \"frames\"").arg(file);
        return result;
    }
    int unkept = 0;
    const QJsonArray list = frames.toArray();
    for (int i = 0; i < list.size(); ++i) {
        const QJsonObject frame = list.at(i).toObject();
        const QString where =
            QCoreApplication::translate("TransformsJson", "%1, frame %2: ").arg(file).arg(i + 1);
        SfmImage image;
        image.name = frame.value(QLatin1String("file_path")).toString();
        if (image.name.startsWith(QLatin1String("./")))
            image.name = image.name.mid(2);
        if (image.name.isEmpty()) {
            result.error = where + QCoreApplication::translate("TransformsJson", "no \"file_path\"");
            return result;
        }
        double rotation[9], centre[3];
        if (!pose(frame.value(QLatin1String("transform_matrix")), rotation, centre)) {
            result.error = where + QCoreApplication::translate(
                                       "TransformsJson",
                                       "\"transform_matrix\" of \"%1\" is not four rows of four numbers "
                                       "holding a rotation")
                                       .arg(image.name);
            return result;
        }
        Intrinsics in = global;
        if (!overrideWith(frame, in, why) || !frameCamera(in, rotation, centre, image, why)) {
            result.error = where + why;
            return result;
        }
        if (in.unkept != 0)
            ++unkept;
        result.images.append(image);
    }
    if (unkept > 0)
        result.warnings.append(
            QCoreApplication::translate(
                "TransformsJson", "The tangential and higher radial distortion (p1, p2, k3, k4) of %1 frames "
                                  "is not kept: the imported cameras hold k1 and k2 only.")
                .arg(unkept));
    return result;
}

} // namespace TransformsJson
