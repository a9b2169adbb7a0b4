// OBJ through assimp, without post-processing: polygons are fanned into triangles here, lines are
// left out, a file of bare vertices stays a point cloud, and corners repeated per face are merged.
// The file is opened by its full path, so assimp finds materials next to it (no change of the
// process's working folder).

#include "importutils.h"

#include <ksr/meshio.h>

#include <assimp/Importer.hpp>
#include <assimp/scene.h>

#include <QDebug>
#include <QFile>

namespace ksr { namespace io {

namespace {

std::uint8_t colorByte(float value)
{
    const float scaled = value * 255.0f;
    if (!(scaled > 0.0f))
        return 0;
    return scaled >= 255.0f ? 255 : std::uint8_t(scaled + 0.5f);
}

class SceneCopier {
public:
    SceneCopier(const aiScene &scene, CMesh &mesh, int &loadMask) : m_scene(scene), m_mesh(mesh), m_loadMask(loadMask), m_welder(mesh) {}

    void copy()
    {
        if (m_scene.mRootNode)
            copyNode(*m_scene.mRootNode, aiMatrix4x4());
        else
            for (unsigned m = 0; m < m_scene.mNumMeshes; ++m)
                copyMesh(m_scene.mMeshes[m], aiMatrix4x4());
    }

private:
    void copyNode(const aiNode &node, const aiMatrix4x4 &parent, int depth = 0)
    {
        if (depth > 256) // a hostile file could nest without end
            return;
        const aiMatrix4x4 transform = parent * node.mTransformation;
        for (unsigned i = 0; i < node.mNumMeshes; ++i)
            if (node.mMeshes[i] < m_scene.mNumMeshes)
                copyMesh(m_scene.mMeshes[node.mMeshes[i]], transform);
        for (unsigned i = 0; i < node.mNumChildren; ++i)
            if (node.mChildren[i])
                copyNode(*node.mChildren[i], transform, depth + 1);
    }

    void copyMesh(const aiMesh *in, const aiMatrix4x4 &transform)
    {
        if (!in || !in->mVertices)
            return;
        const aiMatrix3x3 rotation(transform);
        const bool colors = in->HasVertexColors(0);
        const bool normals = in->HasNormals();
        m_loadMask |= MaskVertexPosition;
        if (colors) m_loadMask |= MaskVertexColor;
        if (normals) m_loadMask |= MaskVertexNormal;
        std::vector<int> index(in->mNumVertices);
        for (unsigned i = 0; i < in->mNumVertices; ++i) {
            CVertex v;
            const aiVector3D p = transform * in->mVertices[i];
            v.p = Point3f(p.x, p.y, p.z);
            if (normals) {
                const aiVector3D n = rotation * in->mNormals[i];
                v.n = Point3f(n.x, n.y, n.z);
            }
            v.c = m_mesh.defaultColor;
            if (colors) {
                const aiColor4D &c = in->mColors[0][i];
                v.c = {colorByte(c.r), colorByte(c.g), colorByte(c.b), colorByte(c.a)};
            }
            index[i] = m_welder.add(v);
        }
        for (unsigned i = 0; i < in->mNumFaces && in->mFaces; ++i) {
            const aiFace &face = in->mFaces[i];
            if (face.mNumIndices >= 3)
                m_loadMask |= MaskFaceIndex;
            for (unsigned k = 2; k < face.mNumIndices; ++k) {
                const unsigned corner[3] = {face.mIndices[0], face.mIndices[k - 1], face.mIndices[k]};
                if (corner[0] >= in->mNumVertices || corner[1] >= in->mNumVertices || corner[2] >= in->mNumVertices)
                    continue;
                CFace f;
                for (int c = 0; c < 3; ++c)
                    f.v[c] = index[corner[c]];
                m_mesh.face.push_back(f);
            }
        }
    }

    const aiScene &m_scene;
    CMesh &m_mesh;
    int &m_loadMask;
    detail::VertexWelder m_welder;
};

} // namespace

int importObj(CMesh &mesh, const QString &fileName, int &loadMask)
{
    mesh.clear();
    loadMask = 0;
    if (!QFile::exists(fileName))
        return ErrorCantOpen;
    Assimp::Importer importer;
    const aiScene *scene = importer.ReadFile(QFile::encodeName(fileName).constData(), 0);
    if (!scene) {
        qWarning().noquote() << "OBJ import of" << fileName << "failed:" << importer.GetErrorString();
        return ErrorImporter;
    }
    SceneCopier(*scene, mesh, loadMask).copy();
    detail::finishMesh(mesh);
    return ErrorNone;
}

}} // namespace ksr::io
