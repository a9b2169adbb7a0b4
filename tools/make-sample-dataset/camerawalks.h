#pragma once
// Where the sample photographs are taken: a few walks (groups) around and into the scene, each a
// run of shots a few seconds apart, with longer breaks between walks. Landscape and portrait shots.

#include "camera.h"
#include "samplescene.h"

#include <QDateTime>
#include <QSize>

#include <cstdint>
#include <vector>

namespace SampleGen
{

struct PlannedShot {
    Camera camera;
    QDateTime shotTime; // UTC, whole seconds
    int walk = 0;       // group index, 0-based
    bool portrait = false;
    float exposure = 1.0f;
};

// A camera at centre looking at target, image up as close to +z as the view allows, rolled by
// rollDegrees about the viewing axis. Intrinsics: focal length, a 36 mm wide sensor on the longer
// side, principal point at the image centre (whole pixel).
Camera lookAtCamera(const ksr::Point3f &centre, const ksr::Point3f &target, float rollDegrees, QSize viewport,
                    float focalMm);

// The shots for a scene: count views, landscape size (the longer side first), walks of up to six
// shots. Deterministic for a seed.
std::vector<PlannedShot> planShots(const SampleScene &scene, int views, QSize landscapeSize,
                                   std::uint64_t seed);

} // namespace SampleGen
