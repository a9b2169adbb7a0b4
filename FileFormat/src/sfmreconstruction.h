#pragma once
// A structure-from-motion reconstruction as the readers of COLMAP models, NVM, Bundler, Metashape,
// transforms.json, Meshroom and OpenMVG files return it: one entry per reconstructed photograph with its
// camera already in our convention, the 3D points, and what the reader had to say. A plain value.
//
// Conventions (docs/sfm-conventions.md): the source cameras look along +z with image y down
// (COLMAP, NVM) or along -z with image y up (Bundler); ours looks along -z with y up, its rows
// are the camera axes, and its centre is measured from the image's right and bottom edges.

#include "camera.h"

#include <QString>
#include <QStringList>
#include <QVector>

#include <cstdint>

struct SfmImage {
    QString name;  // as the file lists it (relative to the images folder)
    Camera camera; // viewport 0 x 0 until the image size is known (see SfmCameras::withImageSize)
    // The format stores no image size (NVM, Bundler, some transforms.json): the viewport comes
    // from the photograph (SfmCameras::completedWithPhoto), the principal point is the image
    // centre unless principalPoint says otherwise.
    bool sizeFromPhoto = false;
    // With sizeFromPhoto: principal point in pixels from the top-left corner (NVM FixedK); < 0 when
    // it is the image centre.
    double principalPoint[2] = {-1, -1};
    // With sizeFromPhoto: horizontal field of view in radians when the focal length is given only
    // relative to the width the file does not state (camera_angle_x); 0 otherwise.
    double fieldOfViewX = 0;
};

struct SfmPoint {
    ksr::Point3d position; // double: reconstructions may be georeferenced
    std::uint8_t colour[3] = {128, 128, 128};
};

struct SfmReconstruction {
    QString format; // "COLMAP text model", "NVM", "Metashape camera XML 1.5.0", "Meshroom .sfm 1.2.5", ...
    QVector<SfmImage> images;
    QVector<SfmPoint> points;
    // Photographs the file lists without a reconstructed camera.
    QStringList leftOut;
    // Fatal: the file could not be read; nothing else is meaningful. Names file and line/record.
    QString error;
    // Not fatal (dropped distortion, skipped models, left-out photographs, ...), one per line.
    QStringList warnings;

    bool ok() const { return error.isEmpty(); }
};

namespace SfmCameras
{

// Sensor width on the longer image side: the pixel size is chosen from it, then the focal length
// in mm so that focalMm / pixelSizeMm is the focal length in pixels.
inline constexpr double sensorMm = 36.0;

// A pinhole camera from a source whose camera frame is x right, y down, z forward (COLMAP, NVM).
// worldToCamera: the 3 x 3 rotation, row-major; centre: the camera centre in world coordinates;
// fx, fy: focal lengths in pixels; cx, cy: principal point in pixels from the image's top-left
// corner (the corner, not the first pixel's centre); width, height: image size, 0 when unknown.
Camera fromYDown(const double worldToCamera[9], const double centre[3], double fx, double fy, double cx,
                 double cy, int width, int height);

// The same for a camera frame x right, y up, looking along -z (Bundler): the rotation is ours.
Camera fromYUp(const double worldToCamera[9], const double centre[3], double focalPx, int width, int height);

// A camera whose principal point is the image centre, completed with the photograph's size:
// viewport set, centre at the middle, pixel size rescaled keeping the focal length in pixels.
Camera withImageSize(const Camera &camera, int width, int height);

// The camera of an image with sizeFromPhoto completed with the photograph's size: as
// withImageSize, then its own principal point or its field of view applied.
Camera completedWithPhoto(const SfmImage &image, int width, int height);

// The rotation of a source whose camera frame is x right, y up, looking along -z (OpenGL) given
// as camera-to-world rows (the upper 3 x 3 of a camera-to-world matrix), as the world-to-camera
// rotation of a y-down frame, for fromYDown.
void yUpCameraToWorldAsYDown(const double cameraToWorld[9], double worldToCamera[9]);

// The rows form a rotation: orthonormal within tolerance, determinant +1.
bool isRotation(const double rows[9], double tolerance = 1e-3);

// Rotation matrix (row-major) of a quaternion w, x, y, z; false when it has no length or is
// not finite.
bool quaternionToMatrix(const double q[4], double rotation[9]);

// Finite and of a size that a float holds with room to spare.
bool usableNumber(double value);

} // namespace SfmCameras
