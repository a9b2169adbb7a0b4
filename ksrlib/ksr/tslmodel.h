#pragma once
// In-memory multiresolution model (docs/tsl-format.md): a complete binary tree of partition nodes
// stored breadth-first (node i has children 2i+1 and 2i+2). Level 0 is the root, the coarsest; the
// last level holds the original geometry split into leaves of at most faceLimit triangles (points
// for clouds). Written by tslbuilder, read by ksr/tslreader.h.

#include <ksr/geometry.h>
#include <ksr/mesh.h>

#include <array>
#include <cstdint>
#include <vector>

struct TslNode {
    int level = 0;
    ksr::Point3f bboxMin{1.0f, 1.0f, 1.0f}; // empty box: min > max
    ksr::Point3f bboxMax{-1.0f, -1.0f, -1.0f};
    float cellSize = 0.0f; // clustering cell that made this node; 0 for original geometry
    std::vector<ksr::Point3f> positions;
    std::vector<ksr::Color4b> colors;                    // one per position when colours are kept, else empty
    std::vector<ksr::Point3f> normals;                   // one per position after the normals pass
    std::vector<std::array<std::uint32_t, 3>> triangles; // node-local vertex indices; empty for clouds

    // Triangles for a mesh, points for a cloud.
    std::size_t primitiveCount(bool pointCloud) const
    {
        return pointCloud ? positions.size() : triangles.size();
    }
    void updateBoundingBox();
};

struct TslModel {
    bool pointCloud = false;
    bool hasColors = false;
    int faceLimit = 0;
    int levelCount = 0;
    ksr::Point3f bboxMin{1.0f, 1.0f, 1.0f};
    ksr::Point3f bboxMax{-1.0f, -1.0f, -1.0f};
    ksr::Point3d origin; // positions and boxes are relative to it (the input mesh's origin)
    std::vector<TslNode> nodes;

    static int firstNodeOfLevel(int level) { return (1 << level) - 1; }
    static int nodesInLevel(int level) { return 1 << level; }
    bool isLeaf(int node) const { return 2 * std::size_t(node) + 1 >= nodes.size(); }
    std::size_t levelPrimitiveCount(int level) const;
};
