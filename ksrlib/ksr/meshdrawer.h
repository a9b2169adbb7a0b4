#pragma once
// Immediate-mode drawer of a CMesh. Needs a current GL context (compatibility profile) on the
// calling thread; the caller sets up projection and modelview. Does not own the mesh.
//
// A mesh without faces is drawn as GL_POINTS (every vertex not deleted, with its normal and colour,
// point smoothing off). Where point parameters exist (GL 1.4), point sizes are attenuated with the
// distance from the eye: a point at the bounding-box centre's distance gets pointSize(), clamped
// to [1, 16] pixels. A mesh with faces is drawn as one GL_TRIANGLES batch of flat faces (face
// normal, then colour and position of each corner, through client vertex arrays); deleted faces
// are skipped and vertices are not drawn as points.

#include <ksr/mesh.h>

#include <cstdint>
#include <vector>

namespace ksr
{

class MeshDrawer
{
public:
    MeshDrawer() = default;
    explicit MeshDrawer(const CMesh *mesh) : m_mesh(mesh) {}

    // Binds a mesh (or none). Call again after changing the bound mesh: the drawer keeps
    // a flat copy of its triangles, built at the first draw.
    void bind(const CMesh *mesh)
    {
        m_mesh = mesh;
        m_corners.clear();
        m_colors.clear();
        m_normals.clear();
        m_cornersBuilt = false;
    }
    const CMesh *mesh() const { return m_mesh; }

    void setPointSize(float size) { m_pointSize = size; }
    float pointSize() const { return m_pointSize; }

    // Draws the bound mesh; does nothing when none is bound.
    void draw() const;

private:
    void drawPoints() const;
    void drawTriangles() const;
    void buildCorners() const;

    const CMesh *m_mesh = nullptr;
    float m_pointSize = 1.0f;
    // Three corners per drawn face: positions, colours, the face normal repeated (vertex arrays).
    mutable std::vector<float> m_corners;
    mutable std::vector<std::uint8_t> m_colors;
    mutable std::vector<float> m_normals;
    mutable bool m_cornersBuilt = false;
};

} // namespace ksr
