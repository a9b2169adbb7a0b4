#include "colmapformat.h"

#include <QCoreApplication>
#include <QSet>

namespace
{

// A named context: lupdate cannot file the texts of free functions otherwise.
struct Texts {
    Q_DECLARE_TR_FUNCTIONS(ColmapModel)
};

const char *const acceptedModels[] = {"SIMPLE_PINHOLE", "PINHOLE", "SIMPLE_RADIAL", "RADIAL", "OPENCV"};
const int acceptedParameters[] = {3, 4, 4, 5, 8};

struct Intrinsics {
    double fx = 0, fy = 0, cx = 0, cy = 0;
    double k1 = 0, k2 = 0;
    bool tangential = false; // OPENCV's p1, p2 not both 0
};

Intrinsics intrinsicsOf(const ColmapCameraRecord &camera)
{
    const QVector<double> &p = camera.params;
    Intrinsics in;
    const bool oneFocal =
        camera.model.startsWith(QLatin1String("SIMPLE_")) || camera.model == QLatin1String("RADIAL");
    if (oneFocal) {
        in.fx = in.fy = p.at(0);
        in.cx = p.at(1);
        in.cy = p.at(2);
        if (p.size() > 3)
            in.k1 = p.at(3);
        if (p.size() > 4)
            in.k2 = p.at(4);
    } else {
        in.fx = p.at(0);
        in.fy = p.at(1);
        in.cx = p.at(2);
        in.cy = p.at(3);
        if (p.size() == 8) {
            in.k1 = p.at(4);
            in.k2 = p.at(5);
            in.tangential = p.at(6) != 0.0 || p.at(7) != 0.0;
        }
    }
    return in;
}

} // namespace

namespace ColmapFormat
{

int parameterCount(const QString &model)
{
    for (int i = 0; i < 5; ++i)
        if (model == QLatin1String(acceptedModels[i]))
            return acceptedParameters[i];
    return -1;
}

QString modelName(int modelId)
{
    static const char *const names[] = {"SIMPLE_PINHOLE",
                                        "PINHOLE",
                                        "SIMPLE_RADIAL",
                                        "RADIAL",
                                        "OPENCV",
                                        "OPENCV_FISHEYE",
                                        "FULL_OPENCV",
                                        "FOV",
                                        "SIMPLE_RADIAL_FISHEYE",
                                        "RADIAL_FISHEYE",
                                        "THIN_PRISM_FISHEYE"};
    if (modelId >= 0 && modelId < int(sizeof names / sizeof *names))
        return QLatin1String(names[modelId]);
    return Texts::tr("model id %1").arg(modelId);
}

QString unsupportedModelText(quint32 cameraId, const QString &model)
{
    return Texts::tr(
               "camera %1 uses the camera model %2, which cannot be imported (accepted: SIMPLE_PINHOLE, "
               "PINHOLE, SIMPLE_RADIAL, RADIAL, OPENCV)")
        .arg(QString::number(cameraId), model);
}

void assemble(const ColmapData &data, SfmReconstruction &result)
{
    QSet<quint32> imageIds;
    QSet<QString> droppedDistortion;
    for (const ColmapImageRecord &image : data.images) {
        if (imageIds.contains(image.id)) {
            result.error = image.where + Texts::tr("image %1 is listed twice").arg(image.id);
            return;
        }
        imageIds.insert(image.id);
        const auto found = data.cameras.constFind(image.cameraId);
        if (found == data.cameras.constEnd()) {
            result.error =
                image.where + Texts::tr("image \"%1\" refers to camera %2, which %3 does not hold")
                                  .arg(image.name, QString::number(image.cameraId), data.camerasFile);
            return;
        }
        double rotation[9];
        if (!SfmCameras::quaternionToMatrix(image.quaternion, rotation)) {
            result.error =
                image.where + Texts::tr("the rotation of image \"%1\" is not a rotation").arg(image.name);
            return;
        }
        const Intrinsics in = intrinsicsOf(*found);
        if (in.fx <= 0 || in.fy <= 0 || found->width <= 0 || found->height <= 0) {
            result.error =
                image.where + Texts::tr("camera %1 of image \"%2\" has no focal length or no image size")
                                  .arg(QString::number(image.cameraId), image.name);
            return;
        }
        // Centre C = -R^T t.
        double centre[3];
        for (int c = 0; c < 3; ++c)
            centre[c] = -(rotation[c] * image.translation[0] + rotation[3 + c] * image.translation[1] +
                          rotation[6 + c] * image.translation[2]);
        SfmImage sfm;
        sfm.name = image.name;
        sfm.camera =
            SfmCameras::fromYDown(rotation, centre, in.fx, in.fy, in.cx, in.cy, found->width, found->height);
        // Radial k1, k2 on normalised coordinates are exactly our distortion.
        sfm.camera.distortion[0] = float(in.k1);
        sfm.camera.distortion[1] = float(in.k2);
        if (in.tangential)
            droppedDistortion.insert(found->model);
        result.images.append(sfm);
    }
    for (const QString &model : std::as_const(droppedDistortion))
        result.warnings.append(
            Texts::tr("The tangential distortion (p1, p2) of the %1 cameras is not kept: the "
                      "imported cameras hold radial distortion only.")
                .arg(model));

    result.points.reserve(data.points.size());
    for (const ColmapPointRecord &point : data.points) {
        for (quint32 imageId : point.track) {
            if (!imageIds.contains(imageId)) {
                result.error =
                    point.where +
                    Texts::tr("a point is seen by image %1, which the model does not hold").arg(imageId);
                result.images.clear();
                result.points.clear();
                return;
            }
        }
        SfmPoint sfm;
        sfm.position = ksr::Point3d(point.position[0], point.position[1], point.position[2]);
        for (int i = 0; i < 3; ++i)
            sfm.colour[i] = point.colour[i];
        result.points.append(sfm);
    }
}

} // namespace ColmapFormat
