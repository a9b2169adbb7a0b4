#pragma once
// Private parts of ViewerScene shared by its two source files (content and drawing).

#include "viewerscene.h"

#include <cstdint>
#include <vector>

namespace ksr
{
struct CMesh;
}

// The model as the graphics card gets it: positions relative to the bounding-box centre (so large
// coordinates keep their precision), a normal and a colour per vertex, three indices per face.
// A multiresolution model keeps every node of its tree in the same arrays, each node a range.
struct ViewerScene::Geometry {
    struct Node {
        std::uint32_t firstIndex = 0, indexCount = 0, firstVertex = 0, vertexCount = 0;
        ksr::Point3f boxMin{1.0f, 1.0f, 1.0f},
            boxMax{-1.0f, -1.0f, -1.0f}; // relative to centre; empty: min > max
        float error = 0.0f;              // clustering cell size, 0 for leaves (the original geometry)
        bool leaf = true;
    };

    Vec3d centre;
    double radius = 1.0;
    bool pointCloud = false;
    ksr::Point3f boxMin, boxMax; // relative to centre
    std::vector<float> positions;
    std::vector<float> normals;
    std::vector<std::uint8_t> colours;
    std::vector<std::uint32_t> indices;
    std::uint64_t revision = 0; // changes with every load, so the GL copy follows
    // Multiresolution: the tree breadth-first (node i's children 2i + 1, 2i + 2); empty for a mesh.
    std::vector<Node> nodes;
    // The original geometry (the leaves, last in the arrays): from these on to the end.
    std::uint32_t exactFirstIndex = 0, exactFirstVertex = 0;

    // Appends mesh's vertices in use, moved by -offset, and its faces along a space-filling curve.
    // Normals: the mesh's own when ownNormals (and for point clouds), else summed from the faces.
    void append(const ksr::CMesh &mesh, const Vec3d &offset, bool ownNormals);
};
