#pragma once
// Helpers shared by the importers.

#include <ksr/localorigin.h>
#include <ksr/mesh.h>

#include <QString>

#include <cstring>
#include <unordered_map>
#include <vector>

class QByteArray;

namespace ksr
{
namespace io
{
namespace detail
{

// Reads the whole file, up to a bound (see ksr/inputlimits.h): ErrorNone, ErrorCantOpen,
// ErrorNotAFile or ErrorFileTooLarge.
int readWholeFile(const QString &fileName, QByteArray &data);

// Face normals and bounding box from the imported data; drops faces with bad vertex references.
// Returns false when faces had to be dropped.
bool finishMesh(CMesh &mesh);

// The positions as read, one per vertex, in double: chooses the mesh's origin (ksr/localorigin.h)
// and stores each vertex relative to it. Call before finishMesh.
void placeVertices(CMesh &mesh, const std::vector<Point3d> &positions);

// Keeps the positions as read, in double, from the first one too large for floats on (an ordinary
// model pays one comparison per vertex and no copy); place() then moves the mesh to its origin.
class PositionCollector
{
public:
    // position: that of the vertex just appended to mesh.vert, whose p becomes its float.
    void add(CMesh &mesh, const Point3d &position)
    {
        mesh.vert.back().p = position.toFloat();
        if (!m_large && largestMagnitude(position) > largeCoordinate) {
            m_large = true;
            m_exact.reserve(mesh.vert.capacity());
            for (size_t i = 0; i + 1 < mesh.vert.size(); ++i)
                m_exact.push_back(mesh.vert[i].p); // small enough for their floats
        }
        if (m_large)
            m_exact.push_back(position);
    }
    // Call before finishMesh; nothing to do when every position fitted a float.
    void place(CMesh &mesh) const
    {
        if (m_large)
            placeVertices(mesh, m_exact);
    }

private:
    bool m_large = false;
    std::vector<Point3d> m_exact;
};

// Merges corners that share position and colour, for formats that repeat a vertex per face corner
// (STL, the per-corner vertex lists of the external importer). Geometry is unchanged. Corners are
// compared by their exact position as read, so large coordinates that round alike in float stay
// apart; place() moves the mesh to its origin as PositionCollector does.
class VertexWelder
{
public:
    explicit VertexWelder(CMesh &mesh) : m_mesh(mesh) {}

    int add(const CVertex &v, const Point3d &position)
    {
        Key key;
        std::memcpy(key.p, &position.x, sizeof(double));
        std::memcpy(key.p + 1, &position.y, sizeof(double));
        std::memcpy(key.p + 2, &position.z, sizeof(double));
        std::memcpy(&key.c, &v.c, sizeof(key.c));
        const auto found = m_index.find(key);
        if (found != m_index.end())
            return found->second;
        const int index = int(m_mesh.vert.size());
        m_mesh.vert.push_back(v);
        m_positions.add(m_mesh, position);
        m_index.emplace(key, index);
        return index;
    }
    void place(CMesh &mesh) const { m_positions.place(mesh); }

private:
    struct Key {
        std::uint64_t p[3];
        std::uint32_t c;
        bool operator==(const Key &o) const
        {
            return p[0] == o.p[0] && p[1] == o.p[1] && p[2] == o.p[2] && c == o.c;
        }
    };
    struct KeyHash {
        size_t operator()(const Key &k) const
        {
            size_t h = k.c;
            for (std::uint64_t v : k.p)
                h = h * 1000003u ^ size_t(v ^ (v >> 32));
            return h;
        }
    };
    CMesh &m_mesh;
    PositionCollector m_positions;
    std::unordered_map<Key, int, KeyHash> m_index;
};

} // namespace detail
} // namespace io
} // namespace ksr
