#include "tslfile.h"

#include <ksr/meshio.h>
#include <ksr/tslformat.h>
#include <ksr/tslreader.h>

#include <QDataStream>
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
// Raw little-endian doubles: the streams are set to single precision for the floats.
void writeOrigin(QDataStream &out, const ksr::Point3d &origin)
{
    char bytes[24];
    for (int k = 0; k < 3; ++k)
        qToLittleEndian(origin[k], bytes + 8 * k);
    out.writeRawData(bytes, sizeof bytes);
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
    return ksr::io::readTslTree(path, model, &error) == ksr::io::ErrorNone;
}
