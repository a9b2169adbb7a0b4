#pragma once
// Triangle-mesh and point-cloud container of the mesh library.
// A mesh without faces is a point cloud. Plain data, no GL and no Qt.

#include <ksr/geometry.h>

#include <cstdint>
#include <vector>

namespace ksr {

struct Color4b {
    std::uint8_t r = 128, g = 128, b = 128, a = 255;
    bool operator==(const Color4b &o) const { return r == o.r && g == o.g && b == o.b && a == o.a; }
};

enum ElementFlag : int { DeletedFlag = 1 };

struct CVertex {
    Point3f p;          // position
    Point3f n;          // normal (not necessarily unit length)
    int flags = 0;      // DeletedFlag marks a removed vertex
    Color4b c;          // RGBA colour; opaque grey when the file has none

    bool isDeleted() const { return flags & DeletedFlag; }
    void setDeleted(bool on = true) { flags = on ? (flags | DeletedFlag) : (flags & ~DeletedFlag); }
};

struct CFace {
    int v[3] = {0, 0, 0}; // indices into CMesh::vert
    Point3f n;            // face normal
    int flags = 0;

    bool isDeleted() const { return flags & DeletedFlag; }
    void setDeleted(bool on = true) { flags = on ? (flags | DeletedFlag) : (flags & ~DeletedFlag); }
};

// Vertex positions are relative to origin: a vertex's model coordinates are origin + p, in double.
// The origin is zero unless the file's coordinates are too large for floats (ksr/localorigin.h).
struct CMesh {
    std::vector<CVertex> vert;
    std::vector<CFace> face;
    // Empty box: min (1,1,1), max (-1,-1,-1).
    Point3f bboxMin{1.0f, 1.0f, 1.0f};
    Point3f bboxMax{-1.0f, -1.0f, -1.0f};
    Color4b defaultColor; // opaque grey
    Point3d origin;       // model coordinates of the point the vertices are stored relative to

    bool isPointCloud() const { return face.empty(); }
    bool bboxIsEmpty() const { return bboxMin.x > bboxMax.x; }

    // The box is relative to origin, like the vertices.
    // Resets the box to empty, then grows it over every vertex not flagged deleted.
    void updateBoundingBox()
    {
        bboxMin = {1.0f, 1.0f, 1.0f};
        bboxMax = {-1.0f, -1.0f, -1.0f};
        bool first = true;
        for (const CVertex &v : vert) {
            if (v.isDeleted())
                continue;
            if (first) {
                bboxMin = bboxMax = v.p;
                first = false;
                continue;
            }
            for (int k = 0; k < 3; ++k) {
                if (v.p[k] < bboxMin[k]) bboxMin[k] = v.p[k];
                if (v.p[k] > bboxMax[k]) bboxMax[k] = v.p[k];
            }
        }
    }
    Point3f bboxCenter() const { return (bboxMin + bboxMax) * 0.5f; }
    float bboxDiagonal() const { return (bboxMax - bboxMin).length(); }

    // Face normals from the current positions (unnormalised cross products).
    void updateFaceNormals()
    {
        for (CFace &f : face) {
            const Point3f &a = vert[f.v[0]].p, &b = vert[f.v[1]].p, &c = vert[f.v[2]].p;
            f.n = (b - a).cross(c - a);
        }
    }
    void clear() { *this = CMesh(); }
};

} // namespace ksr
