// The multiresolution file's checked layout and the reader of its whole node tree.

#include <ksr/meshio.h>
#include <ksr/tslformat.h>
#include <ksr/tslreader.h>

#include "importutils.h"
#include "tsllayout.h"

#include <climits>
#include <cmath>

namespace ksr
{
namespace io
{
namespace detail
{

namespace
{
// True when [offset, offset + length) lies inside a file of the given size.
bool inside(quint64 offset, quint64 length, quint64 size)
{
    return offset <= size && length <= size - offset;
}

int refuse(int code, QString *reason, const QString &why)
{
    if (reason)
        *reason = why;
    return code;
}
} // namespace

int readTslLayout(const QByteArray &bytes, TslLayout &layout, QString *reason)
{
    using namespace tsl;
    layout = TslLayout();
    const quint64 size = quint64(bytes.size());
    if (size < quint64(headerSize) || std::memcmp(bytes.constData(), magic, sizeof magic) != 0)
        return refuse(ErrorInvalidHeader, reason, QStringLiteral("not a multiresolution model file"));
    const LittleEndianView in(bytes);
    const quint32 version = in.u32(8);
    if (version != formatVersion && version != formatVersionWithOrigin)
        return refuse(ErrorUnsupported, reason, QStringLiteral("unsupported format version %1").arg(version));
    const quint64 tableOffset = quint64(headerSizeOf(version));
    if (size < tableOffset)
        return refuse(ErrorInvalidHeader, reason, QStringLiteral("the header is cut short"));
    if (version == formatVersionWithOrigin) {
        const Point3d origin{in.f64(52), in.f64(60), in.f64(68)};
        if (!std::isfinite(origin.x) || !std::isfinite(origin.y) || !std::isfinite(origin.z))
            return refuse(ErrorInvalidHeader, reason, QStringLiteral("the local origin is not a number"));
        layout.origin = origin;
    }
    const quint32 flags = in.u32(12);
    layout.pointCloud = flags & flagPointCloud;
    layout.hasColors = flags & flagColors;
    layout.faceLimit = in.u32(16);
    layout.levelCount = in.u32(20);
    layout.boxMin = in.point(28);
    layout.boxMax = in.point(40);
    const quint32 nodeCount = in.u32(24);
    if (layout.levelCount < 1 || layout.levelCount > maxLevels || nodeCount != (1u << layout.levelCount) - 1)
        return refuse(ErrorInvalidHeader, reason, QStringLiteral("damaged node table"));
    if (!inside(tableOffset, quint64(nodeRecordSize) * nodeCount, size))
        return refuse(ErrorTooLarge, reason, QStringLiteral("the node table is cut short"));

    layout.nodes.resize(nodeCount);
    quint32 expectedLevel = 0;
    for (quint32 i = 0; i < nodeCount; ++i) {
        // Node i of a breadth-first complete tree sits on level floor(log2(i + 1)).
        if ((2u << expectedLevel) - 1 <= i)
            ++expectedLevel;
        const quint64 at = tableOffset + quint64(nodeRecordSize) * i;
        TslNodeRecord &node = layout.nodes[i];
        node.level = in.u32(at);
        node.cellSize = in.f32(at + 4);
        node.boxMin = in.point(at + 8);
        node.boxMax = in.point(at + 20);
        node.vertices = in.u32(at + 32);
        node.triangles = in.u32(at + 36);
        node.geometry = in.u64(at + 40);
        node.normals = in.u64(at + 48);
        const quint64 geometryBytes =
            quint64(node.vertices) * layout.vertexGeometryBytes() + quint64(node.triangles) * 12;
        if (node.level != expectedLevel || (layout.pointCloud && node.triangles != 0))
            return refuse(ErrorInvalidHeader, reason, QStringLiteral("damaged record of node %1").arg(i));
        if (!inside(node.geometry, geometryBytes, size) ||
            !inside(node.normals, quint64(node.vertices) * 12, size))
            return refuse(ErrorUnexpectedEnd, reason, QStringLiteral("node %1 is truncated").arg(i));
    }
    return ErrorNone;
}

} // namespace detail

int readTslTree(const QString &fileName, TslModel &model, QString *reason)
{
    model = TslModel();
    QByteArray bytes;
    if (const int readCode = detail::readWholeFile(fileName, bytes)) {
        if (reason)
            *reason = errorText(fileName, readCode);
        return readCode;
    }
    detail::TslLayout layout;
    if (const int code = detail::readTslLayout(bytes, layout, reason))
        return code;
    const detail::LittleEndianView in(bytes);
    TslModel read;
    read.pointCloud = layout.pointCloud;
    read.hasColors = layout.hasColors;
    read.faceLimit = int(std::min<quint32>(layout.faceLimit, quint32(INT_MAX)));
    read.levelCount = int(layout.levelCount);
    read.bboxMin = layout.boxMin;
    read.bboxMax = layout.boxMax;
    read.origin = layout.origin;
    read.nodes.resize(layout.nodes.size());
    for (std::size_t i = 0; i < layout.nodes.size(); ++i) {
        const detail::TslNodeRecord &record = layout.nodes[i];
        TslNode &node = read.nodes[i];
        node.level = int(record.level);
        node.cellSize = record.cellSize;
        node.bboxMin = record.boxMin;
        node.bboxMax = record.boxMax;
        node.positions.resize(record.vertices);
        node.normals.resize(record.vertices);
        for (quint32 v = 0; v < record.vertices; ++v) {
            node.positions[v] = in.point(record.geometry + quint64(v) * 12);
            node.normals[v] = in.point(record.normals + quint64(v) * 12);
        }
        if (layout.hasColors) {
            node.colors.resize(record.vertices);
            for (quint32 v = 0; v < record.vertices; ++v) {
                const char *c = in.at(layout.colorsOffset(record) + quint64(v) * 4);
                node.colors[v] = {std::uint8_t(c[0]), std::uint8_t(c[1]), std::uint8_t(c[2]),
                                  std::uint8_t(c[3])};
            }
        }
        node.triangles.resize(record.triangles);
        const quint64 triangles = layout.trianglesOffset(record);
        for (quint32 t = 0; t < record.triangles; ++t)
            for (int k = 0; k < 3; ++k) {
                const quint32 index = in.u32(triangles + quint64(t) * 12 + quint64(k) * 4);
                if (index >= record.vertices) {
                    if (reason)
                        *reason = QStringLiteral("node %1 refers to a vertex it does not have").arg(i);
                    return ErrorInvalidFace;
                }
                node.triangles[t][std::size_t(k)] = index;
            }
    }
    model = std::move(read);
    return ErrorNone;
}

} // namespace io
} // namespace ksr
