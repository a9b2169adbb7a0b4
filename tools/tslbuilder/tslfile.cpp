#include "tslfile.h"

#include <ksr/tslformat.h>

#include <QDataStream>
#include <QFile>
#include <QtEndian>

#include <cmath>
#include <cstring>

namespace
{
using namespace ksr::tsl;

qint64 geometrySize(const TslNode &node, bool colors)
{
    const qint64 vertices = qint64(node.positions.size());
    return vertices * 12 + (colors ? vertices * 4 : 0) + qint64(node.triangles.size()) * 12;
}

void writePoint(QDataStream &out, const ksr::Point3f &p)
{
    out << p.x << p.y << p.z;
}
void readPoint(QDataStream &in, ksr::Point3f &p)
{
    in >> p.x >> p.y >> p.z;
}
// Raw little-endian doubles: the streams are set to single precision for the floats.
void writeOrigin(QDataStream &out, const ksr::Point3d &origin)
{
    char bytes[24];
    for (int k = 0; k < 3; ++k)
        qToLittleEndian(origin[k], bytes + 8 * k);
    out.writeRawData(bytes, sizeof bytes);
}
void readOrigin(QDataStream &in, ksr::Point3d &origin)
{
    char bytes[24] = {};
    in.readRawData(bytes, sizeof bytes);
    for (int k = 0; k < 3; ++k)
        origin[k] = qFromLittleEndian<double>(bytes + 8 * k);
}

// Blocks are laid out in memory and written in one go: a stream write per value costs more
// than all the building before it.
class BlockBytes
{
public:
    explicit BlockBytes(qint64 size) : m_bytes(qsizetype(size), Qt::Uninitialized), m_at(m_bytes.data()) {}
    template <typename T> void put(T value)
    {
        qToLittleEndian(value, m_at);
        m_at += sizeof value;
    }
    void putPoint(const ksr::Point3f &p)
    {
        put(p.x);
        put(p.y);
        put(p.z);
    }
    const QByteArray &bytes() const { return m_bytes; }

private:
    QByteArray m_bytes;
    char *m_at;
};

void prepare(QDataStream &stream)
{
    stream.setByteOrder(QDataStream::LittleEndian);
    stream.setFloatingPointPrecision(QDataStream::SinglePrecision);
}
} // namespace

void TslNode::updateBoundingBox()
{
    bboxMin = {1.0f, 1.0f, 1.0f};
    bboxMax = {-1.0f, -1.0f, -1.0f};
    for (std::size_t i = 0; i < positions.size(); ++i) {
        const ksr::Point3f &p = positions[i];
        if (i == 0) {
            bboxMin = bboxMax = p;
            continue;
        }
        for (int k = 0; k < 3; ++k) {
            bboxMin[k] = std::min(bboxMin[k], p[k]);
            bboxMax[k] = std::max(bboxMax[k], p[k]);
        }
    }
}

std::size_t TslModel::levelPrimitiveCount(int level) const
{
    std::size_t count = 0;
    const int first = firstNodeOfLevel(level);
    for (int i = first; i < first + nodesInLevel(level) && i < int(nodes.size()); ++i)
        count += nodes[i].primitiveCount(pointCloud);
    return count;
}

TslWriter::TslWriter(const QString &path) : m_file(path) {}

TslWriter::~TslWriter()
{
    // Nothing committed: the target file stays as it was.
    m_file.discard();
}

bool TslWriter::check(QString &error)
{
    if (!m_file.hasFailed())
        return true;
    error = QStringLiteral("cannot write %1: %2").arg(m_file.targetPath(), m_file.errorString());
    m_file.discard();
    return false;
}

bool TslWriter::begin(const TslModel &model, QString &error)
{
    if (model.levelCount < 1 || model.levelCount > int(maxLevels) ||
        model.nodes.size() != std::size_t((1u << model.levelCount) - 1)) {
        error = QStringLiteral("internal error: the partition tree is incomplete");
        return false;
    }
    if (!m_file.open(QIODevice::WriteOnly)) {
        error = QStringLiteral("cannot write %1: %2").arg(m_file.targetPath(), m_file.errorString());
        return false;
    }
    QDataStream out(&m_file);
    prepare(out);
    out.writeRawData(magic, sizeof magic);
    const quint32 version = model.origin.isZero() ? formatVersion : formatVersionWithOrigin;
    out << version << quint32((model.pointCloud ? flagPointCloud : 0) | (model.hasColors ? flagColors : 0))
        << quint32(model.faceLimit) << quint32(model.levelCount) << quint32(model.nodes.size());
    writePoint(out, model.bboxMin);
    writePoint(out, model.bboxMax);
    if (version == formatVersionWithOrigin)
        writeOrigin(out, model.origin);

    quint64 geometryOffset = quint64(headerSizeOf(version) + nodeRecordSize * qint64(model.nodes.size()));
    quint64 normalsOffset = geometryOffset;
    for (const TslNode &node : model.nodes)
        normalsOffset += quint64(geometrySize(node, model.hasColors));
    for (const TslNode &node : model.nodes) {
        out << quint32(node.level) << node.cellSize;
        writePoint(out, node.bboxMin);
        writePoint(out, node.bboxMax);
        out << quint32(node.positions.size()) << quint32(node.triangles.size()) << geometryOffset
            << normalsOffset;
        geometryOffset += quint64(geometrySize(node, model.hasColors));
        normalsOffset += quint64(node.positions.size()) * 12;
    }
    m_nextLevel = 0;
    return check(error);
}

bool TslWriter::writeLevel(const TslModel &model, int level, QString &error)
{
    if (!m_file.isOpen() || level != m_nextLevel || level >= model.levelCount) {
        error = QStringLiteral("internal error: levels written out of order");
        return false;
    }
    const int first = TslModel::firstNodeOfLevel(level);
    for (int i = first; i < first + TslModel::nodesInLevel(level); ++i) {
        const TslNode &node = model.nodes[i];
        BlockBytes block(geometrySize(node, model.hasColors));
        for (const ksr::Point3f &p : node.positions)
            block.putPoint(p);
        if (model.hasColors) {
            for (std::size_t v = 0; v < node.positions.size(); ++v) {
                const ksr::Color4b c = v < node.colors.size() ? node.colors[v] : ksr::Color4b();
                block.put(c.r);
                block.put(c.g);
                block.put(c.b);
                block.put(c.a);
            }
        }
        for (const auto &t : node.triangles) {
            block.put(t[0]);
            block.put(t[1]);
            block.put(t[2]);
        }
        if (m_file.write(block.bytes()) != block.bytes().size())
            break;
    }
    ++m_nextLevel;
    return check(error);
}

bool TslWriter::finish(const TslModel &model, QString &error)
{
    if (!m_file.isOpen() || m_nextLevel != model.levelCount) {
        error = QStringLiteral("internal error: not every level was written");
        return false;
    }
    for (const TslNode &node : model.nodes) {
        BlockBytes block(qint64(node.positions.size()) * 12);
        for (std::size_t v = 0; v < node.positions.size(); ++v)
            block.putPoint(v < node.normals.size() ? node.normals[v] : ksr::Point3f());
        if (m_file.write(block.bytes()) != block.bytes().size())
            break;
    }
    if (!check(error))
        return false;
    if (!m_file.commit()) {
        error = QStringLiteral("cannot write %1: %2").arg(m_file.targetPath(), m_file.errorString());
        return false;
    }
    return true;
}

bool readTslFile(const QString &path, TslModel &model, QString &error)
{
    model = TslModel();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("cannot open %1: %2").arg(path, file.errorString());
        return false;
    }
    const QByteArray bytes = file.readAll();
    const qint64 size = bytes.size();
    if (size < headerSize || std::memcmp(bytes.constData(), magic, sizeof magic) != 0) {
        error = QStringLiteral("%1 is not a multiresolution model file").arg(path);
        return false;
    }
    QDataStream in(bytes);
    prepare(in);
    in.skipRawData(sizeof magic);
    quint32 version, flags, faceLimit, levelCount, nodeCount;
    in >> version >> flags >> faceLimit >> levelCount >> nodeCount;
    readPoint(in, model.bboxMin);
    readPoint(in, model.bboxMax);
    if (version != formatVersion && version != formatVersionWithOrigin) {
        error = QStringLiteral("unsupported format version %1").arg(version);
        return false;
    }
    model.origin = {};
    if (version == formatVersionWithOrigin)
        readOrigin(in, model.origin);
    const bool finiteOrigin =
        std::isfinite(model.origin.x) && std::isfinite(model.origin.y) && std::isfinite(model.origin.z);
    if (!finiteOrigin || size < headerSizeOf(version) || levelCount < 1 || levelCount > maxLevels ||
        nodeCount != (1u << levelCount) - 1 ||
        headerSizeOf(version) + nodeRecordSize * qint64(nodeCount) > size) {
        error = QStringLiteral("damaged node table");
        return false;
    }
    model.pointCloud = flags & flagPointCloud;
    model.hasColors = flags & flagColors;
    model.faceLimit = int(faceLimit);
    model.levelCount = int(levelCount);
    model.nodes.resize(nodeCount);

    struct Placement {
        quint32 vertices, triangles;
        quint64 geometry, normals, geometryBytes;
    };
    std::vector<Placement> placements(nodeCount);
    for (quint32 i = 0; i < nodeCount; ++i) {
        TslNode &node = model.nodes[i];
        quint32 level;
        in >> level >> node.cellSize;
        readPoint(in, node.bboxMin);
        readPoint(in, node.bboxMax);
        Placement &p = placements[i];
        in >> p.vertices >> p.triangles >> p.geometry >> p.normals;
        node.level = int(level);
        // Node i of a breadth-first complete tree sits on level floor(log2(i + 1)).
        int expectedLevel = 0;
        while ((2u << expectedLevel) - 1 <= i)
            ++expectedLevel;
        const quint64 geometryBytes =
            quint64(p.vertices) * (model.hasColors ? 16 : 12) + quint64(p.triangles) * 12;
        p.geometryBytes = geometryBytes;
        if (node.level != expectedLevel || (model.pointCloud && p.triangles != 0) ||
            p.geometry > quint64(size) || geometryBytes > quint64(size) - p.geometry ||
            p.normals > quint64(size) || quint64(p.vertices) * 12 > quint64(size) - p.normals) {
            error = QStringLiteral("damaged record of node %1").arg(i);
            return false;
        }
    }
    for (quint32 i = 0; i < nodeCount; ++i) {
        TslNode &node = model.nodes[i];
        const Placement &p = placements[i];
        // Views into the file's bytes, no copies.
        QDataStream block(
            QByteArray::fromRawData(bytes.constData() + p.geometry, qsizetype(p.geometryBytes)));
        prepare(block);
        node.positions.resize(p.vertices);
        for (ksr::Point3f &point : node.positions)
            readPoint(block, point);
        if (model.hasColors) {
            node.colors.resize(p.vertices);
            for (ksr::Color4b &c : node.colors)
                block >> c.r >> c.g >> c.b >> c.a;
        }
        node.triangles.resize(p.triangles);
        for (auto &t : node.triangles) {
            block >> t[0] >> t[1] >> t[2];
            if (t[0] >= p.vertices || t[1] >= p.vertices || t[2] >= p.vertices) {
                error = QStringLiteral("node %1 refers to a vertex it does not have").arg(i);
                return false;
            }
        }
        QDataStream normals(
            QByteArray::fromRawData(bytes.constData() + p.normals, qsizetype(p.vertices) * 12));
        prepare(normals);
        node.normals.resize(p.vertices);
        for (ksr::Point3f &n : node.normals)
            readPoint(normals, n);
        if (block.status() != QDataStream::Ok || normals.status() != QDataStream::Ok) {
            error = QStringLiteral("node %1 is truncated").arg(i);
            return false;
        }
    }
    return true;
}
