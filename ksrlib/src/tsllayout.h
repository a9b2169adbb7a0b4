#pragma once
// The checked header and node table of a multiresolution file, shared by the finest-level importer
// and the whole-tree reader (docs/tsl-format.md).

#include <ksr/geometry.h>

#include <QByteArray>
#include <QString>
#include <QtEndian>

#include <cstring>
#include <vector>

namespace ksr
{
namespace io
{
namespace detail
{

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

struct TslNodeRecord {
    quint32 level = 0;
    float cellSize = 0.0f;
    Point3f boxMin, boxMax;
    quint32 vertices = 0;
    quint32 triangles = 0;
    quint64 geometry = 0; // file offsets of the node's blocks, both inside the file
    quint64 normals = 0;
};

struct TslLayout {
    quint32 faceLimit = 0;
    quint32 levelCount = 0;
    bool pointCloud = false;
    bool hasColors = false;
    Point3f boxMin, boxMax;
    Point3d origin;
    std::vector<TslNodeRecord> nodes;

    quint64 vertexGeometryBytes() const { return hasColors ? 16 : 12; }
    quint64 colorsOffset(const TslNodeRecord &node) const
    {
        return node.geometry + quint64(node.vertices) * 12;
    }
    quint64 trianglesOffset(const TslNodeRecord &node) const
    {
        return node.geometry + quint64(node.vertices) * vertexGeometryBytes();
    }
};

// Checks the magic, the version, the finite origin, nodeCount = 2^L - 1, every node's level
// against its index and that every block lies inside the file. ErrorNone, or an import error code
// with the fault in *reason. Triangle indices are left to the caller (the importer drops bad ones).
int readTslLayout(const QByteArray &bytes, TslLayout &layout, QString *reason);

} // namespace detail
} // namespace io
} // namespace ksr
