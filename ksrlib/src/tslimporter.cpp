// Reader of our own multiresolution file (docs/tsl-format.md), as written by tslbuilder. The mesh
// gets the finest level: the leaves hold the original geometry, so an index that names its .tsl
// model renders and measures the same surface as the model it was built from.

#include <ksr/meshio.h>
#include <ksr/tslformat.h>

#include "importutils.h"
#include "tsllayout.h"

#include <limits>

namespace ksr
{
namespace io
{

int importTsl(CMesh &mesh, const QString &fileName, int &loadMask)
{
    mesh.clear();
    loadMask = 0;
    QByteArray bytes;
    if (const int readCode = detail::readWholeFile(fileName, bytes))
        return readCode;
    detail::TslLayout layout;
    if (const int code = detail::readTslLayout(bytes, layout, nullptr))
        return code;
    const detail::LittleEndianView in(bytes);
    const bool pointCloud = layout.pointCloud;
    const bool hasColors = layout.hasColors;

    // The leaves are the last 2^(L-1) nodes of the breadth-first table.
    const std::size_t firstLeaf = (std::size_t(1) << (layout.levelCount - 1)) - 1;
    std::vector<detail::TslNodeRecord> leaves(layout.nodes.begin() + std::ptrdiff_t(firstLeaf),
                                              layout.nodes.end());
    quint64 totalVertices = 0, totalTriangles = 0;
    for (const detail::TslNodeRecord &leaf : leaves) {
        totalVertices += leaf.vertices;
        totalTriangles += leaf.triangles;
    }
    if (totalVertices > quint64(std::numeric_limits<int>::max()))
        return ErrorTooLarge;

    loadMask = MaskVertexPosition | MaskVertexNormal | (hasColors ? MaskVertexColor : 0) |
               (pointCloud ? 0 : MaskFaceIndex | MaskFaceNormal);
    mesh.vert.reserve(std::size_t(totalVertices));
    mesh.face.reserve(std::size_t(totalTriangles));
    bool facesValid = true;
    for (const detail::TslNodeRecord &leaf : leaves) {
        const int base = int(mesh.vert.size());
        const quint64 colors = layout.colorsOffset(leaf);
        for (quint32 v = 0; v < leaf.vertices; ++v) {
            CVertex vertex;
            vertex.p = in.point(leaf.geometry + quint64(v) * 12);
            vertex.n = in.point(leaf.normals + quint64(v) * 12);
            if (hasColors) {
                const char *c = in.at(colors + quint64(v) * 4);
                vertex.c = {std::uint8_t(c[0]), std::uint8_t(c[1]), std::uint8_t(c[2]), std::uint8_t(c[3])};
            } else {
                vertex.c = mesh.defaultColor;
            }
            mesh.vert.push_back(vertex);
        }
        const quint64 triangles = layout.trianglesOffset(leaf);
        for (quint32 t = 0; t < leaf.triangles; ++t) {
            CFace face;
            bool valid = true;
            for (int k = 0; k < 3; ++k) {
                const quint32 index = in.u32(triangles + quint64(t) * 12 + quint64(k) * 4);
                valid = valid && index < leaf.vertices;
                face.v[k] = base + int(valid ? index : 0);
            }
            if (valid)
                mesh.face.push_back(face);
            facesValid = facesValid && valid;
        }
    }
    mesh.origin = layout.origin;
    detail::finishMesh(mesh);
    return facesValid ? ErrorNone : ErrorInvalidFace;
}

} // namespace io
} // namespace ksr
