// Reader of our own multiresolution file (docs/tsl-format.md), as written by tslbuilder. The mesh
// gets the finest level: the leaves hold the original geometry, so an index that names its .tsl
// model renders and measures the same surface as the model it was built from.

#include <ksr/meshio.h>
#include <ksr/tslformat.h>

#include "importutils.h"

#include <QByteArray>
#include <QtEndian>

#include <cmath>
#include <cstring>
#include <limits>

namespace ksr
{
namespace io
{

namespace
{

using namespace tsl;

// Little-endian fields at byte offsets of a buffer whose size the caller has checked.
class LittleEndianView
{
public:
    explicit LittleEndianView(const QByteArray &bytes) : m_data(bytes.constData()) {}
    quint32 u32(quint64 offset) const { return qFromLittleEndian<quint32>(m_data + offset); }
    quint64 u64(quint64 offset) const { return qFromLittleEndian<quint64>(m_data + offset); }
    float f32(quint64 offset) const
    {
        const quint32 bits = u32(offset);
        float value;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }
    double f64(quint64 offset) const
    {
        const quint64 bits = u64(offset);
        double value;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }
    Point3f point(quint64 offset) const { return {f32(offset), f32(offset + 4), f32(offset + 8)}; }
    const char *at(quint64 offset) const { return m_data + offset; }

private:
    const char *m_data;
};

struct TslLeaf {
    quint32 vertices = 0;
    quint32 triangles = 0;
    quint64 geometry = 0;
    quint64 normals = 0;
};

// True when [offset, offset + length) lies inside a file of the given size.
bool inside(quint64 offset, quint64 length, quint64 size)
{
    return offset <= size && length <= size - offset;
}

} // namespace

int importTsl(CMesh &mesh, const QString &fileName, int &loadMask)
{
    mesh.clear();
    loadMask = 0;
    QByteArray bytes;
    if (const int readCode = detail::readWholeFile(fileName, bytes))
        return readCode;
    const quint64 size = quint64(bytes.size());
    if (size < quint64(headerSize) || std::memcmp(bytes.constData(), magic, sizeof magic) != 0)
        return ErrorInvalidHeader;
    const LittleEndianView in(bytes);
    const quint32 version = in.u32(8);
    if (version != formatVersion && version != formatVersionWithOrigin)
        return ErrorUnsupported;
    const qint64 tableOffset = headerSizeOf(version);
    if (size < quint64(tableOffset))
        return ErrorInvalidHeader;
    if (version == formatVersionWithOrigin) {
        mesh.origin = {in.f64(52), in.f64(60), in.f64(68)};
        if (!std::isfinite(mesh.origin.x) || !std::isfinite(mesh.origin.y) || !std::isfinite(mesh.origin.z)) {
            mesh.origin = {};
            return ErrorInvalidHeader;
        }
    }
    const quint32 flags = in.u32(12);
    const quint32 levelCount = in.u32(20);
    const quint32 nodeCount = in.u32(24);
    if (levelCount < 1 || levelCount > maxLevels || nodeCount != (1u << levelCount) - 1)
        return ErrorInvalidHeader;
    if (!inside(quint64(tableOffset), quint64(nodeRecordSize) * nodeCount, size))
        return ErrorTooLarge;
    const bool pointCloud = flags & flagPointCloud;
    const bool hasColors = flags & flagColors;
    const quint64 vertexGeometryBytes = hasColors ? 16 : 12;

    // The leaves are the last 2^(L-1) nodes of the breadth-first table.
    const quint32 firstLeaf = (1u << (levelCount - 1)) - 1;
    std::vector<TslLeaf> leaves;
    quint64 totalVertices = 0, totalTriangles = 0;
    for (quint32 i = firstLeaf; i < nodeCount; ++i) {
        const quint64 record = quint64(tableOffset) + quint64(nodeRecordSize) * i;
        TslLeaf leaf;
        leaf.vertices = in.u32(record + 32);
        leaf.triangles = in.u32(record + 36);
        leaf.geometry = in.u64(record + 40);
        leaf.normals = in.u64(record + 48);
        if (in.u32(record) != levelCount - 1 || (pointCloud && leaf.triangles != 0))
            return ErrorInvalidHeader;
        const quint64 geometryBytes = leaf.vertices * vertexGeometryBytes + quint64(leaf.triangles) * 12;
        if (!inside(leaf.geometry, geometryBytes, size) ||
            !inside(leaf.normals, quint64(leaf.vertices) * 12, size))
            return ErrorUnexpectedEnd;
        totalVertices += leaf.vertices;
        totalTriangles += leaf.triangles;
        leaves.push_back(leaf);
    }
    if (totalVertices > quint64(std::numeric_limits<int>::max()))
        return ErrorTooLarge;

    loadMask = MaskVertexPosition | MaskVertexNormal | (hasColors ? MaskVertexColor : 0) |
               (pointCloud ? 0 : MaskFaceIndex | MaskFaceNormal);
    mesh.vert.reserve(std::size_t(totalVertices));
    mesh.face.reserve(std::size_t(totalTriangles));
    bool facesValid = true;
    for (const TslLeaf &leaf : leaves) {
        const int base = int(mesh.vert.size());
        const quint64 colors = leaf.geometry + quint64(leaf.vertices) * 12;
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
        const quint64 triangles = leaf.geometry + quint64(leaf.vertices) * vertexGeometryBytes;
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
    detail::finishMesh(mesh);
    return facesValid ? ErrorNone : ErrorInvalidFace;
}

} // namespace io
} // namespace ksr
