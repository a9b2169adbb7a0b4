#pragma once
// Private parts of ViewerScene shared by its two source files (content and drawing).

#include "viewerscene.h"

#include <cstdint>
#include <vector>

// The model as the graphics card gets it: positions relative to the bounding-box centre (so large
// coordinates keep their precision), a normal and a colour per vertex, three indices per face.
struct ViewerScene::Geometry {
    Vec3d centre;
    double radius = 1.0;
    bool pointCloud = false;
    ksr::Point3f boxMin, boxMax; // relative to centre
    std::vector<float> positions;
    std::vector<float> normals;
    std::vector<std::uint8_t> colours;
    std::vector<std::uint32_t> indices;
    std::uint64_t revision = 0; // changes with every load, so the GL copy follows
};
