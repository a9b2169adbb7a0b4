#include "sfmreconstruction.h"

#include <algorithm>
#include <cmath>

namespace
{

// Pixel size in mm for an image whose longer side is longerSidePx; a nominal 1000 pixels while
// the size is unknown (withImageSize rescales).
double pixelSizeFor(int width, int height)
{
    const int longer = std::max(width, height);
    return SfmCameras::sensorMm / double(longer > 0 ? longer : 1000);
}

void setIntrinsics(Camera &camera, double fx, double fy, int width, int height)
{
    const double pixelSize = pixelSizeFor(width, height);
    camera.focalMm = float(fx * pixelSize);
    camera.pixelSizeMm[0] = float(pixelSize);
    // Same focal length in mm, so fy pixels need their own pixel height.
    camera.pixelSizeMm[1] = float(fx * pixelSize / fy);
    camera.viewportPx[0] = width;
    camera.viewportPx[1] = height;
}

void setPose(Camera &camera, const double rows[9], const double centre[3])
{
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            camera.rotation.m[r][c] = float(rows[3 * r + c]);
    camera.center = ksr::Point3d(centre[0], centre[1], centre[2]);
}

} // namespace

namespace SfmCameras
{

Camera fromYDown(const double worldToCamera[9], const double centre[3], double fx, double fy, double cx,
                 double cy, int width, int height)
{
    // Our y and z axes are the source's negated: same x, y up, looking along -z.
    double rows[9];
    for (int c = 0; c < 3; ++c) {
        rows[c] = worldToCamera[c];
        rows[3 + c] = -worldToCamera[3 + c];
        rows[6 + c] = -worldToCamera[6 + c];
    }
    Camera camera;
    setPose(camera, rows, centre);
    setIntrinsics(camera, fx, fy, width, height);
    // Our centre is measured from the right and bottom edges (the projection takes the
    // horizontal offset mirrored and counts rows from the bottom).
    if (width > 0 && height > 0) {
        camera.centerPx[0] = float(width - cx);
        camera.centerPx[1] = float(height - cy);
    }
    return camera;
}

Camera fromYUp(const double worldToCamera[9], const double centre[3], double focalPx, int width, int height)
{
    Camera camera;
    setPose(camera, worldToCamera, centre);
    setIntrinsics(camera, focalPx, focalPx, width, height);
    if (width > 0 && height > 0) {
        camera.centerPx[0] = float(width / 2.0);
        camera.centerPx[1] = float(height / 2.0);
    }
    return camera;
}

Camera withImageSize(const Camera &camera, int width, int height)
{
    Camera sized = camera;
    if (width <= 0 || height <= 0 || camera.pixelSizeMm[0] <= 0.0f || camera.pixelSizeMm[1] <= 0.0f)
        return sized;
    const double fx = double(camera.focalMm) / camera.pixelSizeMm[0];
    const double fy = double(camera.focalMm) / camera.pixelSizeMm[1];
    setIntrinsics(sized, fx, fy, width, height);
    sized.centerPx[0] = float(width / 2.0);
    sized.centerPx[1] = float(height / 2.0);
    return sized;
}

Camera completedWithPhoto(const SfmImage &image, int width, int height)
{
    Camera camera = withImageSize(image.camera, width, height);
    if (width <= 0 || height <= 0)
        return camera;
    if (image.fieldOfViewX > 0 && image.fieldOfViewX < M_PI) {
        const double focalPx = 0.5 * width / std::tan(0.5 * image.fieldOfViewX);
        setIntrinsics(camera, focalPx, focalPx, width, height);
    }
    if (image.principalPoint[0] >= 0 && image.principalPoint[1] >= 0) {
        camera.centerPx[0] = float(width - image.principalPoint[0]);
        camera.centerPx[1] = float(height - image.principalPoint[1]);
    }
    return camera;
}

void yUpCameraToWorldAsYDown(const double cameraToWorld[9], double worldToCamera[9])
{
    // Transposed (world-to-camera), then y and z negated into the y-down frame.
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            worldToCamera[3 * r + c] = (r == 0 ? 1.0 : -1.0) * cameraToWorld[3 * c + r];
}

bool isRotation(const double m[9], double tolerance)
{
    for (int i = 0; i < 9; ++i)
        if (!std::isfinite(m[i]))
            return false;
    for (int a = 0; a < 3; ++a)
        for (int b = a; b < 3; ++b) {
            const double dot =
                m[3 * a] * m[3 * b] + m[3 * a + 1] * m[3 * b + 1] + m[3 * a + 2] * m[3 * b + 2];
            if (std::fabs(dot - (a == b ? 1.0 : 0.0)) > tolerance)
                return false;
        }
    const double det = m[0] * (m[4] * m[8] - m[5] * m[7]) - m[1] * (m[3] * m[8] - m[5] * m[6]) +
                       m[2] * (m[3] * m[7] - m[4] * m[6]);
    return det > 0;
}

bool quaternionToMatrix(const double q[4], double rotation[9])
{
    const double norm = std::sqrt(q[0] * q[0] + q[1] * q[1] + q[2] * q[2] + q[3] * q[3]);
    if (!std::isfinite(norm) || norm < 1e-12)
        return false;
    const double w = q[0] / norm, x = q[1] / norm, y = q[2] / norm, z = q[3] / norm;
    const double values[9] = {1 - 2 * (y * y + z * z), 2 * (x * y - w * z),     2 * (x * z + w * y),
                              2 * (x * y + w * z),     1 - 2 * (x * x + z * z), 2 * (y * z - w * x),
                              2 * (x * z - w * y),     2 * (y * z + w * x),     1 - 2 * (x * x + y * y)};
    std::copy(values, values + 9, rotation);
    return true;
}

bool usableNumber(double value)
{
    return std::isfinite(value) && std::fabs(value) < 1e15;
}

} // namespace SfmCameras
