// PLY reader (ascii, binary little and big endian). Own reader rather than assimp's: on truncated
// or inconsistent files that one reports success with data read past the valid contents (e.g. face
// indices beyond the vertex list), and it hangs on a header announcing billions of vertices.

#include "importutils.h"
#include "textscanner.h"

#include <ksr/meshio.h>

#include <QFile>
#include <QtGlobal>

#include <algorithm>
#include <cstring>
#include <limits>
#include <vector>

namespace ksr
{
namespace io
{

using detail::ByteScanner;

namespace
{

enum class PlyType { Int8, UInt8, Int16, UInt16, Int32, UInt32, Float32, Float64, Invalid };
enum class PlyFormat { Ascii, BinaryLittle, BinaryBig };

int typeSize(PlyType t)
{
    switch (t) {
    case PlyType::Int8:
    case PlyType::UInt8:
        return 1;
    case PlyType::Int16:
    case PlyType::UInt16:
        return 2;
    case PlyType::Int32:
    case PlyType::UInt32:
    case PlyType::Float32:
        return 4;
    case PlyType::Float64:
        return 8;
    case PlyType::Invalid:
        break;
    }
    return 0;
}

PlyType typeFromName(const QByteArray &n)
{
    if (n == "char" || n == "int8")
        return PlyType::Int8;
    if (n == "uchar" || n == "uint8")
        return PlyType::UInt8;
    if (n == "short" || n == "int16")
        return PlyType::Int16;
    if (n == "ushort" || n == "uint16")
        return PlyType::UInt16;
    if (n == "int" || n == "int32")
        return PlyType::Int32;
    if (n == "uint" || n == "uint32")
        return PlyType::UInt32;
    if (n == "float" || n == "float32")
        return PlyType::Float32;
    if (n == "double" || n == "float64")
        return PlyType::Float64;
    return PlyType::Invalid;
}

bool isFloatType(PlyType t)
{
    return t == PlyType::Float32 || t == PlyType::Float64;
}

struct PlyProperty {
    QByteArray name;
    PlyType type = PlyType::Invalid;
    bool isList = false;
    PlyType countType = PlyType::Invalid;
};

struct PlyElement {
    QByteArray name;
    qint64 count = 0;
    std::vector<PlyProperty> properties;

    bool hasLists() const
    {
        return std::any_of(properties.begin(), properties.end(),
                           [](const PlyProperty &p) { return p.isList; });
    }
    // Smallest number of bytes one instance can take: used to bound counts by the file's size.
    qint64 minimumSize(PlyFormat format) const
    {
        qint64 size = 0;
        for (const PlyProperty &p : properties)
            size += format == PlyFormat::Ascii ? 2 : typeSize(p.isList ? p.countType : p.type);
        return std::max<qint64>(size, 1);
    }
};

struct PlyHeader {
    PlyFormat format = PlyFormat::Ascii;
    std::vector<PlyElement> elements;
};

int parseHeader(ByteScanner &in, PlyHeader &header)
{
    QByteArray line;
    if (!in.readLine(line) || line.trimmed() != "ply")
        return ErrorInvalidHeader;
    bool haveFormat = false;
    while (in.readLine(line)) {
        const QList<QByteArray> words = line.simplified().split(' ');
        const QByteArray &key = words.first();
        if (key.isEmpty() || key == "comment" || key == "obj_info")
            continue;
        if (key == "end_header")
            return haveFormat ? ErrorNone : ErrorInvalidHeader;
        if (key == "format") {
            if (words.size() < 2)
                return ErrorInvalidHeader;
            if (words[1] == "ascii")
                header.format = PlyFormat::Ascii;
            else if (words[1] == "binary_little_endian")
                header.format = PlyFormat::BinaryLittle;
            else if (words[1] == "binary_big_endian")
                header.format = PlyFormat::BinaryBig;
            else
                return ErrorInvalidHeader;
            haveFormat = true;
        } else if (key == "element") {
            if (words.size() < 3)
                return ErrorInvalidHeader;
            PlyElement element;
            element.name = words[1];
            bool ok = false;
            element.count = words[2].toLongLong(&ok);
            if (!ok || element.count < 0)
                return ErrorInvalidHeader;
            header.elements.push_back(element);
        } else if (key == "property") {
            if (header.elements.empty() || words.size() < 3)
                return ErrorInvalidHeader;
            PlyProperty p;
            if (words[1] == "list") {
                if (words.size() < 5)
                    return ErrorInvalidHeader;
                p.isList = true;
                p.countType = typeFromName(words[2]);
                p.type = typeFromName(words[3]);
                p.name = words[4];
                if (p.countType == PlyType::Invalid || isFloatType(p.countType))
                    return ErrorUnsupported;
            } else {
                p.type = typeFromName(words[1]);
                p.name = words[2];
            }
            if (p.type == PlyType::Invalid)
                return ErrorUnsupported;
            header.elements.back().properties.push_back(p);
        } else {
            // Some exporters write lines such as "Created by ..." without "comment".
            qWarning("PLY header: \"%s\" is not a header keyword; read as a comment",
                     line.trimmed().constData());
        }
    }
    return ErrorInvalidHeader; // no end_header
}

class PlyValueReader
{
public:
    PlyValueReader(ByteScanner &in, PlyFormat format) : m_in(in), m_format(format) {}

    bool read(PlyType type, double &value)
    {
        if (m_format == PlyFormat::Ascii) {
            const char *begin = nullptr;
            int length = 0;
            return m_in.readToken(begin, length) && detail::parseDouble(begin, length, value);
        }
        unsigned char bytes[8];
        const int size = typeSize(type);
        if (!m_in.readBytes(bytes, size))
            return false;
        if (m_format == PlyFormat::BinaryBig)
            std::reverse(bytes, bytes + size);
        switch (type) {
        case PlyType::Int8:
            value = static_cast<signed char>(bytes[0]);
            break;
        case PlyType::UInt8:
            value = bytes[0];
            break;
        case PlyType::Int16:
            value = fromBytes<std::int16_t>(bytes);
            break;
        case PlyType::UInt16:
            value = fromBytes<std::uint16_t>(bytes);
            break;
        case PlyType::Int32:
            value = fromBytes<std::int32_t>(bytes);
            break;
        case PlyType::UInt32:
            value = fromBytes<std::uint32_t>(bytes);
            break;
        case PlyType::Float32:
            value = fromBytes<float>(bytes);
            break;
        case PlyType::Float64:
            value = fromBytes<double>(bytes);
            break;
        case PlyType::Invalid:
            return false;
        }
        return true;
    }

private:
    template <typename T> static T fromBytes(const unsigned char *bytes)
    {
        T v;
        std::memcpy(&v, bytes, sizeof v); // little-endian host
        return v;
    }

    ByteScanner &m_in;
    PlyFormat m_format;
};

// One binary value at `at`, as the value reader would return it.
template <typename T> T loadBinary(const unsigned char *at, bool swap)
{
    unsigned char bytes[sizeof(T)];
    std::memcpy(bytes, at, sizeof bytes);
    if (swap)
        std::reverse(bytes, bytes + sizeof bytes);
    T v;
    std::memcpy(&v, bytes, sizeof v); // little-endian host
    return v;
}

double binaryValue(const unsigned char *at, PlyType type, bool swap)
{
    switch (type) {
    case PlyType::Int8:
        return static_cast<signed char>(at[0]);
    case PlyType::UInt8:
        return at[0];
    case PlyType::Int16:
        return loadBinary<std::int16_t>(at, swap);
    case PlyType::UInt16:
        return loadBinary<std::uint16_t>(at, swap);
    case PlyType::Int32:
        return loadBinary<std::int32_t>(at, swap);
    case PlyType::UInt32:
        return loadBinary<std::uint32_t>(at, swap);
    case PlyType::Float32:
        return loadBinary<float>(at, swap);
    case PlyType::Float64:
        return loadBinary<double>(at, swap);
    case PlyType::Invalid:
        break;
    }
    return 0.0;
}

// An integer list entry or count, exactly (every integer type fits).
long long binaryInteger(const unsigned char *at, PlyType type, bool swap)
{
    switch (type) {
    case PlyType::Int8:
        return static_cast<signed char>(at[0]);
    case PlyType::UInt8:
        return at[0];
    case PlyType::Int16:
        return loadBinary<std::int16_t>(at, swap);
    case PlyType::UInt16:
        return loadBinary<std::uint16_t>(at, swap);
    case PlyType::Int32:
        return loadBinary<std::int32_t>(at, swap);
    case PlyType::UInt32:
        return loadBinary<std::uint32_t>(at, swap);
    default:
        break;
    }
    return -2;
}

enum VertexRole {
    RoleX,
    RoleY,
    RoleZ,
    RoleNx,
    RoleNy,
    RoleNz,
    RoleRed,
    RoleGreen,
    RoleBlue,
    RoleAlpha,
    RoleNone
};

VertexRole vertexRole(const QByteArray &name)
{
    static const struct {
        const char *name;
        VertexRole role;
    } table[] = {{"x", RoleX},
                 {"y", RoleY},
                 {"z", RoleZ},
                 {"nx", RoleNx},
                 {"ny", RoleNy},
                 {"nz", RoleNz},
                 {"red", RoleRed},
                 {"green", RoleGreen},
                 {"blue", RoleBlue},
                 {"alpha", RoleAlpha},
                 {"r", RoleRed},
                 {"g", RoleGreen},
                 {"b", RoleBlue},
                 {"a", RoleAlpha},
                 {"diffuse_red", RoleRed},
                 {"diffuse_green", RoleGreen},
                 {"diffuse_blue", RoleBlue},
                 {"diffuse_alpha", RoleAlpha}};
    for (const auto &entry : table)
        if (name == entry.name)
            return entry.role;
    return RoleNone;
}

std::uint8_t colorByte(double value, PlyType type)
{
    const double scaled = isFloatType(type) ? value * 255.0 : value;
    if (!(scaled > 0.0)) // also NaN
        return 0;
    return scaled >= 255.0 ? 255 : static_cast<std::uint8_t>(scaled + 0.5);
}

// Polygon lists of one element, kept as flat index runs until every vertex is known.
struct PolygonLists {
    std::vector<long long> indices;
    std::vector<qint64> sizes;
    bool strips = false; // triangle strips with -1 as restart marker
};

class PlyBodyReader
{
public:
    PlyBodyReader(ByteScanner &in, const PlyHeader &header, CMesh &mesh, int &loadMask)
        : m_in(in), m_header(header), m_values(in, header.format), m_mesh(mesh), m_loadMask(loadMask)
    {
    }

    int read()
    {
        for (const PlyElement &element : m_header.elements) {
            int code = ErrorNone;
            // An element without properties would repeat nothing for billions of rounds.
            if (element.count > 0 && element.properties.empty())
                code = ErrorEmptyElement;
            else if (element.name == "vertex")
                code = readVertices(element);
            else if (element.name == "face" || element.name == "tristrips")
                code = readPolygons(element, element.name == "tristrips");
            else
                code = skipElement(element);
            if (code != ErrorNone) {
                buildFaces();
                return code;
            }
        }
        return buildFaces();
    }

    // The positions as read.
    const detail::PositionCollector &positions() const { return m_positions; }

private:
    qint64 boundedCount(const PlyElement &element) const
    {
        return std::min(element.count, m_in.remaining() / element.minimumSize(m_header.format) + 1);
    }

    int readVertices(const PlyElement &element)
    {
        if (element.count > std::numeric_limits<int>::max())
            return ErrorTooLarge;
        std::vector<VertexRole> roles;
        bool hasPosition[3] = {false, false, false};
        for (const PlyProperty &p : element.properties) {
            const VertexRole role = p.isList ? RoleNone : vertexRole(p.name);
            roles.push_back(role);
            if (role <= RoleZ)
                hasPosition[role] = true;
            if (role >= RoleNx && role <= RoleNz)
                m_loadMask |= MaskVertexNormal;
            if (role >= RoleRed && role <= RoleAlpha)
                m_loadMask |= MaskVertexColor;
        }
        if (hasPosition[0] && hasPosition[1] && hasPosition[2])
            m_loadMask |= MaskVertexPosition;
        m_mesh.vert.reserve(size_t(boundedCount(element)));
        if (m_header.format != PlyFormat::Ascii && !element.hasLists())
            return readBinaryVertices(element, roles);
        for (qint64 i = 0; i < element.count; ++i) {
            CVertex v;
            Point3d position;
            v.c = m_mesh.defaultColor;
            for (size_t k = 0; k < element.properties.size(); ++k) {
                const PlyProperty &p = element.properties[k];
                if (p.isList) {
                    if (!skipList(p))
                        return ErrorUnexpectedEnd;
                    continue;
                }
                double value = 0.0;
                if (!m_values.read(p.type, value))
                    return readFailure();
                switch (roles[k]) {
                case RoleX:
                case RoleY:
                case RoleZ:
                    position[roles[k]] = value;
                    break;
                case RoleNx:
                case RoleNy:
                case RoleNz:
                    v.n[roles[k] - RoleNx] = float(value);
                    break;
                case RoleRed:
                    v.c.r = colorByte(value, p.type);
                    break;
                case RoleGreen:
                    v.c.g = colorByte(value, p.type);
                    break;
                case RoleBlue:
                    v.c.b = colorByte(value, p.type);
                    break;
                case RoleAlpha:
                    v.c.a = colorByte(value, p.type);
                    break;
                case RoleNone:
                    break;
                }
            }
            m_mesh.vert.push_back(v);
            m_positions.add(m_mesh, position);
        }
        return ErrorNone;
    }

    // Fixed-size binary records, decoded in place: as many whole records as the file holds.
    int readBinaryVertices(const PlyElement &element, const std::vector<VertexRole> &roles)
    {
        const bool swap = m_header.format == PlyFormat::BinaryBig;
        const qint64 stride = element.minimumSize(m_header.format);
        const qint64 whole = std::min(element.count, m_in.remaining() / stride);
        const unsigned char *record = m_in.current();
        for (qint64 i = 0; i < whole; ++i, record += stride) {
            CVertex v;
            Point3d position;
            v.c = m_mesh.defaultColor;
            const unsigned char *at = record;
            for (size_t k = 0; k < element.properties.size(); ++k) {
                const PlyType type = element.properties[k].type;
                const VertexRole role = roles[k];
                if (role != RoleNone) {
                    const double value = binaryValue(at, type, swap);
                    if (role <= RoleZ)
                        position[role] = value;
                    else if (role <= RoleNz)
                        v.n[role - RoleNx] = float(value);
                    else if (role == RoleRed)
                        v.c.r = colorByte(value, type);
                    else if (role == RoleGreen)
                        v.c.g = colorByte(value, type);
                    else if (role == RoleBlue)
                        v.c.b = colorByte(value, type);
                    else
                        v.c.a = colorByte(value, type);
                }
                at += typeSize(type);
            }
            m_mesh.vert.push_back(v);
            m_positions.add(m_mesh, position);
        }
        m_in.skip(whole * stride);
        return whole < element.count ? int(ErrorUnexpectedEnd) : int(ErrorNone);
    }

    // Binary faces whose only property is an integer index list, read once every vertex is known:
    // triangles go straight to the mesh instead of through the polygon lists.
    bool canReadFacesDirectly(const PlyElement &element, bool strips) const
    {
        if (strips || m_header.format == PlyFormat::Ascii || element.properties.size() != 1)
            return false;
        const PlyProperty &p = element.properties.front();
        if (!p.isList || isFloatType(p.type) || (p.name != "vertex_indices" && p.name != "vertex_index"))
            return false;
        const auto later = std::find_if(m_header.elements.begin(), m_header.elements.end(),
                                        [&](const PlyElement &e) { return &e == &element; });
        return std::none_of(later, m_header.elements.end(),
                            [](const PlyElement &e) { return e.name == "vertex"; });
    }

    int readFacesDirectly(const PlyElement &element)
    {
        buildFaces(); // earlier polygon lists keep their place before these faces
        const PlyProperty &p = element.properties.front();
        const bool swap = m_header.format == PlyFormat::BinaryBig;
        const int countSize = typeSize(p.countType), indexSize = typeSize(p.type);
        const long long vertexCount = (long long)m_mesh.vert.size();
        // Room for the triangles the remaining bytes can hold, not for what a header claims.
        const qint64 triangleBytes = countSize + 3 * indexSize;
        m_mesh.face.reserve(m_mesh.face.size() +
                            size_t(std::min(element.count, m_in.remaining() / triangleBytes)));
        std::vector<long long> corners;
        for (qint64 i = 0; i < element.count; ++i) {
            if (m_in.remaining() < countSize)
                return ErrorUnexpectedEnd;
            const long long count = binaryInteger(m_in.current(), p.countType, swap);
            if (count < 0 || count > m_in.remaining() || count * indexSize > m_in.remaining() - countSize)
                return ErrorUnexpectedEnd;
            m_in.skip(countSize);
            corners.resize(size_t(count));
            for (long long k = 0; k < count; ++k)
                corners[size_t(k)] = binaryInteger(m_in.current() + k * indexSize, p.type, swap);
            m_in.skip(count * indexSize);
            m_loadMask |= MaskFaceIndex;
            for (long long k = 2; k < count; ++k) // fan; out-of-range corners drop the triangle
                addTriangle(corners[0], corners[size_t(k - 1)], corners[size_t(k)], vertexCount);
        }
        return ErrorNone;
    }

    void addTriangle(long long a, long long b, long long c, long long vertexCount)
    {
        if (a < 0 || b < 0 || c < 0 || a >= vertexCount || b >= vertexCount || c >= vertexCount) {
            m_badIndex = true;
            return;
        }
        CFace f;
        f.v[0] = int(a);
        f.v[1] = int(b);
        f.v[2] = int(c);
        m_mesh.face.push_back(f);
    }

    int readPolygons(const PlyElement &element, bool strips)
    {
        if (canReadFacesDirectly(element, strips))
            return readFacesDirectly(element);
        m_polygons.emplace_back();
        PolygonLists &lists = m_polygons.back(); // complete polygons survive a truncated file
        lists.strips = strips;
        for (qint64 i = 0; i < element.count; ++i) {
            for (const PlyProperty &p : element.properties) {
                const bool isIndexList = p.isList && (p.name == "vertex_indices" || p.name == "vertex_index");
                if (!isIndexList) {
                    if (!(p.isList ? skipList(p) : skipValue(p.type)))
                        return ErrorUnexpectedEnd;
                    continue;
                }
                qint64 count = 0;
                if (!readListCount(p, count))
                    return ErrorUnexpectedEnd;
                const size_t start = lists.indices.size();
                for (qint64 k = 0; k < count; ++k) {
                    double value = 0.0;
                    if (!m_values.read(p.type, value)) {
                        lists.indices.resize(start);
                        return readFailure();
                    }
                    lists.indices.push_back(value >= -1.0 && value < 4294967296.0 ? (long long)value : -2);
                }
                lists.sizes.push_back(count);
            }
        }
        return ErrorNone;
    }

    // Turns the polygon lists into triangles now that the vertex count is final.
    int buildFaces()
    {
        const long long vertexCount = (long long)m_mesh.vert.size();
        auto addTriangle = [&](long long a, long long b, long long c) {
            this->addTriangle(a, b, c, vertexCount);
        };
        for (const PolygonLists &lists : m_polygons) {
            if (!lists.sizes.empty())
                m_loadMask |= MaskFaceIndex;
            size_t offset = 0;
            for (qint64 size : lists.sizes) {
                const long long *idx = lists.indices.data() + offset;
                offset += size_t(size);
                if (!lists.strips) {
                    for (qint64 k = 2; k < size; ++k) // fan; -1 or out-of-range corners drop the triangle
                        addTriangle(idx[0], idx[k - 1], idx[k]);
                    continue;
                }
                qint64 run = 0; // position inside the current strip
                for (qint64 k = 0; k < size; ++k) {
                    if (idx[k] == -1) {
                        run = 0;
                        continue;
                    }
                    if (++run >= 3) {
                        if (run % 2 == 1)
                            addTriangle(idx[k - 2], idx[k - 1], idx[k]);
                        else
                            addTriangle(idx[k - 1], idx[k - 2], idx[k]);
                    }
                }
            }
        }
        m_polygons.clear();
        return m_badIndex ? ErrorInvalidFace : ErrorNone;
    }

    // A binary read only fails for want of bytes; an ascii one also on a malformed number.
    int readFailure() const
    {
        return m_header.format != PlyFormat::Ascii || m_in.atEnd() ? ErrorUnexpectedEnd : ErrorInvalidValue;
    }

    bool readListCount(const PlyProperty &p, qint64 &count)
    {
        double value = 0.0;
        if (!m_values.read(p.countType, value) || !(value >= 0.0))
            return false;
        // A list cannot hold more entries than the bytes left in the file.
        if (value > double(m_in.remaining()))
            return false;
        count = qint64(value);
        return true;
    }

    bool skipValue(PlyType type)
    {
        double value = 0.0;
        return m_values.read(type, value);
    }

    bool skipList(const PlyProperty &p)
    {
        qint64 count = 0;
        if (!readListCount(p, count))
            return false;
        for (qint64 k = 0; k < count; ++k)
            if (!skipValue(p.type))
                return false;
        return true;
    }

    int skipElement(const PlyElement &element)
    {
        if (element.hasLists() || m_header.format == PlyFormat::Ascii) {
            for (qint64 i = 0; i < element.count; ++i)
                for (const PlyProperty &p : element.properties)
                    if (!(p.isList ? skipList(p) : skipValue(p.type)))
                        return ErrorUnexpectedEnd;
            return ErrorNone;
        }
        const qint64 size = element.minimumSize(m_header.format);
        if (element.count > m_in.remaining() / size)
            return ErrorUnexpectedEnd;
        m_in.seek(m_in.position() + element.count * size);
        return ErrorNone;
    }

    ByteScanner &m_in;
    const PlyHeader &m_header;
    PlyValueReader m_values;
    CMesh &m_mesh;
    int &m_loadMask;
    std::vector<PolygonLists> m_polygons;
    detail::PositionCollector m_positions;
    bool m_badIndex = false; // a triangle dropped for a corner outside the vertex list
};

} // namespace

int importPly(CMesh &mesh, const QString &fileName, int &loadMask)
{
    mesh.clear();
    loadMask = 0;
    QByteArray data;
    if (const int readCode = detail::readWholeFile(fileName, data))
        return readCode;
    ByteScanner in(data);
    PlyHeader header;
    const int headerCode = parseHeader(in, header);
    if (headerCode != ErrorNone)
        return in.lineTooLong() ? int(ErrorLineTooLong) : headerCode;
    PlyBodyReader body(in, header, mesh, loadMask);
    const int code = body.read();
    body.positions().place(mesh);
    detail::finishMesh(mesh);
    return code;
}

} // namespace io
} // namespace ksr
