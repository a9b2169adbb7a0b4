#include "cameracheck.h"

#include <QCoreApplication>

#include <cmath>

namespace
{

bool allFinite(const Camera &camera)
{
    const float values[] = {camera.focalMm,         camera.pixelSizeMm[0],  camera.pixelSizeMm[1],
                            camera.centerPx[0],     camera.centerPx[1],     float(camera.center.x),
                            float(camera.center.y), float(camera.center.z), camera.distortion[0],
                            camera.distortion[1],   camera.distortion[2],   camera.distortion[3]};
    for (float value : values)
        if (!std::isfinite(value))
            return false;
    for (int i = 0; i < 16; ++i)
        if (!std::isfinite(camera.rotation.m[i / 4][i % 4]))
            return false;
    return true;
}

// A positive number a float holds at full precision: 1e-40 is no focal length.
bool positive(float value)
{
    return std::isnormal(value) && value > 0.0f;
}

bool isRotation(const ksr::Matrix44f &matrix)
{
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) {
            double dot = 0.0;
            for (int k = 0; k < 3; ++k)
                dot += double(matrix.m[i][k]) * double(matrix.m[j][k]);
            if (std::fabs(dot - (i == j ? 1.0 : 0.0)) > CameraCheck::RotationTolerance)
                return false;
        }
    const auto &m = matrix.m;
    const double determinant = double(m[0][0]) * (double(m[1][1]) * m[2][2] - double(m[1][2]) * m[2][1]) -
                               double(m[0][1]) * (double(m[1][0]) * m[2][2] - double(m[1][2]) * m[2][0]) +
                               double(m[0][2]) * (double(m[1][0]) * m[2][1] - double(m[1][1]) * m[2][0]);
    return determinant > 0.0;
}

} // namespace

namespace CameraCheck
{

QString problem(const Camera &camera)
{
    if (!allFinite(camera))
        return QCoreApplication::translate("CameraCheck", "holds a value that is not a finite number");
    if (!positive(camera.focalMm))
        return QCoreApplication::translate("CameraCheck", "has a focal length of %1 mm")
            .arg(double(camera.focalMm));
    if (!positive(camera.pixelSizeMm[0]) || !positive(camera.pixelSizeMm[1]))
        return QCoreApplication::translate("CameraCheck", "has a pixel size of %1 x %2 mm")
            .arg(double(camera.pixelSizeMm[0]))
            .arg(double(camera.pixelSizeMm[1]));
    if (camera.viewportPx[0] <= 0 || camera.viewportPx[1] <= 0)
        return QCoreApplication::translate("CameraCheck", "has a viewport of %1 x %2 pixels")
            .arg(camera.viewportPx[0])
            .arg(camera.viewportPx[1]);
    if (!isRotation(camera.rotation))
        return QCoreApplication::translate("CameraCheck", "has a rotation matrix that is not a rotation");
    return QString();
}

} // namespace CameraCheck
