#pragma once
// One calibrated camera: intrinsics in millimetres and pixels, extrinsics in model units.
// A plain value, copied freely.

#include <ksr/geometry.h>

struct Camera {
    float focalMm = 0.0f;                        // focal length, mm
    int viewportPx[2] = {0, 0};                  // width, height in pixels
    float pixelSizeMm[2] = {0.0f, 0.0f};         // mm per pixel, x and y
    float centerPx[2] = {0.0f, 0.0f};            // image point of the projection centre, pixels
    float distortionCenterPx[2] = {0.0f, 0.0f};  // not stored in files
    float distortion[4] = {0.0f, 0.0f, 0.0f, 0.0f}; // k1..k4; files store k1, k2
    int cameraType = 0;                          // 0 = perspective
    ksr::Matrix44f rotation;                     // model-to-camera rotation; rows are the camera axes
    ksr::Point3d center;                         // the viewpoint in model coordinates, double: they
                                                 // may be projected or geocentric (millions)

    // A camera counts as set when both pixel sizes are positive.
    bool isSet() const { return pixelSizeMm[0] > 0.0f && pixelSizeMm[1] > 0.0f; }

    // World-to-camera transform R . T(-C) for points given relative to origin (a mesh's local origin):
    // C - origin is taken in double, so the float matrix only holds a small translation.
    // The camera looks along its negative z axis.
    ksr::Matrix44f worldToCamera(const ksr::Point3d &origin = {}) const
    {
        return rotation * ksr::Matrix44f::translation(-(center - origin).toFloat());
    }
    // The same camera with its centre relative to origin.
    Camera relativeTo(const ksr::Point3d &origin) const
    {
        Camera local = *this;
        local.center = center - origin;
        return local;
    }
};
