// STL reader (ascii and binary). Own reader rather than assimp's: that one rejects a valid binary
// file with zero facets and reads a binary file whose facet count exceeds its size without saying so.
// Corners shared by several facets are merged into one vertex.

#include "importutils.h"
#include "textscanner.h"

#include <ksr/meshio.h>

#include <QByteArray>

#include <cstring>

namespace ksr
{
namespace io
{

using detail::ByteScanner;

namespace
{

constexpr qint64 BinaryHeaderSize = 84;
constexpr qint64 BinaryFacetSize = 50;

quint32 binaryFacetCount(const QByteArray &data)
{
    quint32 count = 0;
    std::memcpy(&count, data.constData() + 80, 4); // little-endian host
    return count;
}

// Binary when the facet count matches the size exactly (even if the header starts with "solid",
// as many exporters write); ascii when it starts with "solid" and reads as text; binary otherwise.
// A binary file whose header says "solid" but that carries a few bytes after its facets still has
// the zero bytes of its count and numbers right after the header, which no text file has.
bool looksBinary(const QByteArray &data)
{
    const qint64 facets = data.size() >= BinaryHeaderSize ? qint64(binaryFacetCount(data)) : -1;
    if (facets >= 0 && BinaryHeaderSize + BinaryFacetSize * facets == data.size())
        return true;
    int start = 0;
    while (start < data.size() && ByteScanner::isSpace(data[start]))
        ++start;
    if (data.mid(start, 5).toLower() != "solid")
        return true;
    const bool fitsAsBinary = facets > 0 && BinaryHeaderSize + BinaryFacetSize * facets <= data.size();
    return fitsAsBinary && data.left(BinaryHeaderSize + BinaryFacetSize).contains('\0');
}

int readBinary(const QByteArray &data, CMesh &mesh, detail::VertexWelder &welder, int &loadMask)
{
    if (data.size() < BinaryHeaderSize)
        return ErrorInvalidHeader;
    const quint32 announced = binaryFacetCount(data);
    const qint64 available = (data.size() - BinaryHeaderSize) / BinaryFacetSize;
    const qint64 count = std::min<qint64>(announced, available);
    loadMask = MaskVertexPosition | MaskFaceIndex | MaskFaceNormal;
    mesh.face.reserve(size_t(count));
    const char *facet = data.constData() + BinaryHeaderSize;
    for (qint64 i = 0; i < count; ++i, facet += BinaryFacetSize) {
        float values[12];
        std::memcpy(values, facet, sizeof values);
        CFace f;
        f.n = Point3f(values[0], values[1], values[2]);
        for (int k = 0; k < 3; ++k) {
            CVertex v;
            v.c = mesh.defaultColor;
            f.v[k] = welder.add(v, Point3f(values[3 + 3 * k], values[4 + 3 * k], values[5 + 3 * k]));
        }
        mesh.face.push_back(f);
    }
    return announced > available ? ErrorUnexpectedEnd : ErrorNone;
}

bool tokenIs(const char *begin, int length, const char *word)
{
    return int(std::strlen(word)) == length && qstrnicmp(begin, word, uint(length)) == 0;
}

int readAscii(const QByteArray &data, CMesh &mesh, detail::VertexWelder &welder, int &loadMask)
{
    ByteScanner in(data);
    const char *token = nullptr;
    int length = 0;
    loadMask = MaskVertexPosition | MaskFaceIndex | MaskFaceNormal;
    bool insideSolid = false;
    CFace face;
    int corners = 0;
    auto readNumbers = [&](double *out) {
        for (int k = 0; k < 3; ++k)
            if (!in.readToken(token, length) || !detail::parseDouble(token, length, out[k]))
                return false;
        return true;
    };
    while (in.readToken(token, length)) {
        if (tokenIs(token, length, "solid")) {
            insideSolid = true;
        } else if (tokenIs(token, length, "endsolid")) {
            insideSolid = false;
        } else if (tokenIs(token, length, "facet")) {
            corners = 0;
            face = CFace();
            if (!in.readToken(token, length) || !tokenIs(token, length, "normal"))
                return ErrorInvalidValue;
            double n[3];
            if (!readNumbers(n))
                return in.atEnd() ? ErrorUnexpectedEnd : ErrorInvalidValue;
            face.n = Point3f(float(n[0]), float(n[1]), float(n[2]));
        } else if (tokenIs(token, length, "vertex")) {
            double p[3];
            if (!readNumbers(p))
                return in.atEnd() ? ErrorUnexpectedEnd : ErrorInvalidValue;
            if (corners >= 3)
                return ErrorInvalidFace; // only triangles are valid STL facets
            CVertex v;
            v.c = mesh.defaultColor;
            face.v[corners++] = welder.add(v, Point3d(p[0], p[1], p[2]));
        } else if (tokenIs(token, length, "endfacet")) {
            if (corners != 3)
                return ErrorInvalidFace;
            mesh.face.push_back(face);
            corners = 0;
        }
        // "outer", "loop", "endloop" and the solid's name need nothing.
    }
    return insideSolid || corners != 0 ? ErrorUnexpectedEnd : ErrorNone;
}

} // namespace

int importStl(CMesh &mesh, const QString &fileName, int &loadMask)
{
    mesh.clear();
    loadMask = 0;
    QByteArray data;
    if (const int readCode = detail::readWholeFile(fileName, data))
        return readCode;
    detail::VertexWelder welder(mesh);
    const int code = looksBinary(data) ? readBinary(data, mesh, welder, loadMask)
                                       : readAscii(data, mesh, welder, loadMask);
    welder.place(mesh);
    detail::finishMesh(mesh);
    return code;
}

} // namespace io
} // namespace ksr
