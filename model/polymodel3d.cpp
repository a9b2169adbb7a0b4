#include "polymodel3d.h"

#include <ksr/meshio.h>

#include <QDebug>
#include <QFileInfo>

#include <GL/gl.h>

#include <algorithm>

PolyModel3D::PolyModel3D(QObject *parent) : Model3D(parent) {}

PolyModel3D::~PolyModel3D() = default;

bool PolyModel3D::load(const QString &fileName)
{
    const QFileInfo info(fileName);
    if (!info.exists() || info.isDir())
        return false;
    // The importer gets the absolute path: materials and textures resolve beside the model
    // without touching the process-wide working folder, which other threads rely on.
    auto record = std::make_unique<MeshRecord>();
    int loadMask = 0;
    const int code = ksr::io::importMesh(record->mesh, info.absoluteFilePath(), loadMask);
    m_errorCode = code;
    m_loadMask = loadMask;
    m_errorText = code == 0 ? QString() : ksr::io::errorText(fileName, code);
    m_fileName = fileName;
    if (code != 0)
        qDebug().noquote() << m_errorText;
    record->mesh.updateBoundingBox();
    record->drawer.bind(&record->mesh);
    m_record = std::move(record);
    emit readyToRender();
    return true;
}

void PolyModel3D::render()
{
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glEnable(GL_NORMALIZE);
    if (m_record) {
        m_record->drawer.setPointSize(pointSize);
        m_record->drawer.draw();
    }
    glPopAttrib();
}

const ksr::CMesh *PolyModel3D::mesh() const
{
    return m_record ? &m_record->mesh : nullptr;
}

ksr::Point3d PolyModel3D::origin() const
{
    return m_record ? m_record->mesh.origin : ksr::Point3d();
}

ksr::Point3f PolyModel3D::center() const
{
    const ksr::CMesh empty;
    const ksr::CMesh &m = m_record ? m_record->mesh : empty;
    return (m.bboxMin + m.bboxMax) * 0.5f;
}

float PolyModel3D::radius() const
{
    const ksr::CMesh empty;
    const ksr::CMesh &m = m_record ? m_record->mesh : empty;
    return 0.5f * (m.bboxMax - m.bboxMin).length();
}

void PolyModel3D::depthRange(const float *modelview, float &zMin, float &zMax) const
{
    const ksr::CMesh empty;
    const ksr::CMesh &m = m_record ? m_record->mesh : empty;
    const ksr::Matrix44f matrix = ksr::Matrix44f::fromColumnMajor(modelview);
    for (int k = 0; k < 8; ++k) {
        const ksr::Point3f corner((k & 1) ? m.bboxMax.x : m.bboxMin.x, (k & 2) ? m.bboxMax.y : m.bboxMin.y,
                                  k >= 4 ? m.bboxMax.z : m.bboxMin.z);
        const float z = (matrix * corner).z;
        if (z < zMin)
            zMin = z;
        if (z > zMax)
            zMax = z;
    }
}

int PolyModel3D::vertexCount() const
{
    if (!m_record)
        return 0;
    const auto &v = m_record->mesh.vert;
    return int(std::count_if(v.begin(), v.end(), [](const ksr::CVertex &x) { return !x.isDeleted(); }));
}

int PolyModel3D::faceCount() const
{
    if (!m_record)
        return 0;
    const auto &f = m_record->mesh.face;
    return int(std::count_if(f.begin(), f.end(), [](const ksr::CFace &x) { return !x.isDeleted(); }));
}

bool PolyModel3D::isPointCloud() const
{
    return !m_record || m_record->mesh.isPointCloud();
}
