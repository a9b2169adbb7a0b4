#pragma once
// Rasteriser on the processor for the sample photographs and their ground-truth depths.
// It uses the projection of the GL depth renderer and preview, so the photographs show exactly
// what those see from the same camera record:
//   frustum at the focal plane (mm): left = -(W - cx) sx, right = cx sx, bottom = -cy sy, top = (H - cy) sy,
//   world-to-camera R . T(-C), the camera looking along its negative z axis, GL window rows counted from
//   the bottom (image row 0 is the top of the picture).
// Thread safety: a renderer is read-only after construction; several threads may render at once.

#include "camera.h"

#include <ksr/mesh.h>

#include <QImage>
#include <QSize>

#include <vector>

namespace SampleGen
{

// Where points of one camera's view land in a rendering of width x height pixels.
struct ViewProjection {
    ksr::Matrix44f worldToCamera;
    float focalMm = 0.0f;
    float left = 0.0f, right = 0.0f, bottom = 0.0f, top = 0.0f; // frustum at the focal plane, mm
    int width = 0, height = 0;

    static ViewProjection forCamera(const Camera &camera, int width, int height);
    // False for a camera that cannot project (no focal length, pixel size or viewport).
    bool isValid() const;
    // Camera-space point (z < 0 in front) to image coordinates: x to the right, y down,
    // pixel (i, j) covering [i, i + 1) x [j, j + 1).
    void toImage(const ksr::Point3f &cameraPoint, float &x, float &y) const;
};

// The depth job's grid: 64 pixels on the camera's longer side, the other side 64 times the
// aspect ratio, truncated.
QSize depthGridSize(const Camera &camera);

class SoftwareRenderer
{
public:
    // Copies what it needs from the mesh (positions, colours, faces).
    explicit SoftwareRenderer(const ksr::CMesh &mesh);

    // The photograph of the camera at its viewport size: shaded surfaces under a fixed sun,
    // sky where nothing is hit; exposure scales the brightness.
    QImage renderPhoto(const Camera &camera, float exposure = 1.0f) const;

    // Mean distance along the viewing axis of the surface seen on the depth grid, with the depth
    // job's clipping planes (from the mesh's bounding box); 0 when the view covers no surface.
    float meanViewDepth(const Camera &camera) const;

    // Distance along the viewing axis per pixel of a width x height rendering (row 0 at the top),
    // 0 where nothing is hit, clipped to [zNear, zFar].
    std::vector<float> depthImage(const Camera &camera, int width, int height, float zNear, float zFar) const;

private:
    struct Target;
    void draw(const ViewProjection &view, float zNear, float zFar, Target &target) const;

    std::vector<ksr::Point3f> positions;
    std::vector<ksr::Color4b> colours;
    std::vector<int> faceCorners; // three per face
    std::vector<float> faceLight; // sun shading per face
    ksr::Point3f boxCentre;
    float boxRadius = 0.0f;
};

} // namespace SampleGen
