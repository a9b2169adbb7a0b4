#include "plyfiles.h"

#include <QtEndian>

#include <cstring>

namespace SampleGen
{

QByteArray binaryMeshPly(const ksr::CMesh &mesh, const QByteArray &comment)
{
    QByteArray out;
    out += "ply\nformat binary_little_endian 1.0\ncomment " + comment + "\n";
    out += "element vertex " + QByteArray::number(qulonglong(mesh.vert.size())) + "\n";
    out += "property float x\nproperty float y\nproperty float z\n";
    out += "property uchar red\nproperty uchar green\nproperty uchar blue\n";
    out += "element face " + QByteArray::number(qulonglong(mesh.face.size())) + "\n";
    out += "property list uchar int vertex_indices\nend_header\n";

    const qsizetype header = out.size();
    out.resize(header + qsizetype(mesh.vert.size()) * 15 + qsizetype(mesh.face.size()) * 13);
    char *p = out.data() + header;
    for (const ksr::CVertex &v : mesh.vert) {
        for (float c : {v.p.x, v.p.y, v.p.z}) {
            quint32 bits;
            std::memcpy(&bits, &c, sizeof bits);
            qToLittleEndian(bits, p);
            p += 4;
        }
        *p++ = char(v.c.r);
        *p++ = char(v.c.g);
        *p++ = char(v.c.b);
    }
    for (const ksr::CFace &f : mesh.face) {
        *p++ = 3;
        for (int index : f.v) {
            qToLittleEndian(qint32(index), p);
            p += 4;
        }
    }
    return out;
}

QByteArray asciiPointCloudPly(const std::vector<ksr::CVertex> &points, const QByteArray &comment)
{
    QByteArray out;
    out += "ply\nformat ascii 1.0\ncomment " + comment + "\n";
    out += "element vertex " + QByteArray::number(qulonglong(points.size())) + "\n";
    out += "property float x\nproperty float y\nproperty float z\n";
    out += "property float nx\nproperty float ny\nproperty float nz\n";
    out += "property uchar red\nproperty uchar green\nproperty uchar blue\nend_header\n";
    out.reserve(out.size() + qsizetype(points.size()) * 64);
    // QByteArray::number ignores the locale, so the decimal point is always a point.
    for (const ksr::CVertex &v : points) {
        for (float c : {v.p.x, v.p.y, v.p.z})
            out += QByteArray::number(double(c), 'f', 4) + ' ';
        for (float c : {v.n.x, v.n.y, v.n.z})
            out += QByteArray::number(double(c), 'f', 4) + ' ';
        out += QByteArray::number(v.c.r) + ' ' + QByteArray::number(v.c.g) + ' ' + QByteArray::number(v.c.b) +
               '\n';
    }
    return out;
}

} // namespace SampleGen
