#include <ksr/meshdrawer.h>

#define GL_GLEXT_PROTOTYPES 1
#include <GL/gl.h>
#include <GL/glext.h>

#include <cstdio>

namespace ksr
{

namespace
{

// Point parameters are core since GL 1.4.
bool hasPointParameters()
{
    const char *version = reinterpret_cast<const char *>(glGetString(GL_VERSION));
    int major = 0, minor = 0;
    if (!version || std::sscanf(version, "%d.%d", &major, &minor) != 2)
        return false;
    return major > 1 || (major == 1 && minor >= 4);
}

} // namespace

void MeshDrawer::draw() const
{
    if (!m_mesh)
        return;
    if (m_mesh->isPointCloud())
        drawPoints();
    else
        drawTriangles();
}

void MeshDrawer::drawPoints() const
{
    glPushAttrib(GL_POINT_BIT);
    glDisable(GL_POINT_SMOOTH);
    glPointSize(m_pointSize);
    if (hasPointParameters()) {
        // Size at the centre's distance d is pointSize: attenuation 1 / sqrt(q d^2) with q = 1 / d^2.
        GLfloat modelview[16];
        glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
        const Point3f c = m_mesh->bboxCenter();
        const Point3f eye = Matrix44f::fromColumnMajor(modelview) * c;
        const float d2 = eye.squaredLength();
        const GLfloat attenuation[3] = {0.0f, 0.0f, d2 > 0.0f ? 1.0f / d2 : 1.0f};
        glPointParameterfv(GL_POINT_DISTANCE_ATTENUATION, attenuation);
        glPointParameterf(GL_POINT_SIZE_MIN, 1.0f);
        glPointParameterf(GL_POINT_SIZE_MAX, 16.0f);
    }
    glBegin(GL_POINTS);
    for (const CVertex &v : m_mesh->vert) {
        if (v.isDeleted())
            continue;
        glNormal3f(v.n.x, v.n.y, v.n.z);
        glColor4ub(v.c.r, v.c.g, v.c.b, v.c.a);
        glVertex3f(v.p.x, v.p.y, v.p.z);
    }
    glEnd();
    if (hasPointParameters()) {
        const GLfloat none[3] = {1.0f, 0.0f, 0.0f};
        glPointParameterfv(GL_POINT_DISTANCE_ATTENUATION, none);
    }
    glPopAttrib();
}

void MeshDrawer::buildCorners() const
{
    const std::vector<CVertex> &vert = m_mesh->vert;
    m_corners.clear();
    m_colors.clear();
    m_normals.clear();
    m_corners.reserve(m_mesh->face.size() * 9);
    m_colors.reserve(m_mesh->face.size() * 12);
    m_normals.reserve(m_mesh->face.size() * 9);
    for (const CFace &f : m_mesh->face) {
        if (f.isDeleted())
            continue;
        for (int k = 0; k < 3; ++k) {
            const CVertex &v = vert[size_t(f.v[k])];
            m_corners.insert(m_corners.end(), {v.p.x, v.p.y, v.p.z});
            m_colors.insert(m_colors.end(), {v.c.r, v.c.g, v.c.b, v.c.a});
            m_normals.insert(m_normals.end(), {f.n.x, f.n.y, f.n.z});
        }
    }
    m_cornersBuilt = true;
}

void MeshDrawer::drawTriangles() const
{
    if (!m_cornersBuilt)
        buildCorners();
    if (m_corners.empty())
        return;
    glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glEnableClientState(GL_NORMAL_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, m_corners.data());
    glColorPointer(4, GL_UNSIGNED_BYTE, 0, m_colors.data());
    glNormalPointer(GL_FLOAT, 0, m_normals.data());
    glDrawArrays(GL_TRIANGLES, 0, GLsizei(m_corners.size() / 3));
    glPopClientAttrib();
}

} // namespace ksr
