// OBJ through assimp, without post-processing: polygons are fanned into triangles here, lines are
// left out, a file of bare vertices stays a point cloud, and corners repeated per face are merged.
// assimp 5.2 drops the vertices of a file without faces once it names an object ("o name"), and
// turns faces whose corners refer to missing texture coordinates into single points: when it
// gives back no faces or no vertices, the "v" and "f" lines are read here instead. Faces that
// point nowhere are dropped and reported.
// The file is opened by its full path, so assimp finds materials next to it (no change of the
// process's working folder).

#include "importutils.h"
#include "textscanner.h"

#include <ksr/inputlimits.h>
#include <ksr/meshio.h>

#include <assimp/Importer.hpp>
#include <assimp/scene.h>

#include <QDebug>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace ksr
{
namespace io
{

namespace
{

std::uint8_t colorByte(float value)
{
    const float scaled = value * 255.0f;
    if (!(scaled > 0.0f))
        return 0;
    return scaled >= 255.0f ? 255 : std::uint8_t(scaled + 0.5f);
}

class SceneCopier
{
public:
    SceneCopier(const aiScene &scene, CMesh &mesh, int &loadMask)
        : m_scene(scene), m_mesh(mesh), m_loadMask(loadMask), m_welder(mesh)
    {
    }

    bool droppedFaces() const { return m_droppedFaces; }
    void place(CMesh &mesh) const { m_welder.place(mesh); }

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
        if (colors)
            m_loadMask |= MaskVertexColor;
        if (normals)
            m_loadMask |= MaskVertexNormal;
        std::vector<int> index(in->mNumVertices);
        for (unsigned i = 0; i < in->mNumVertices; ++i) {
            CVertex v;
            const aiVector3D p = transform * in->mVertices[i];
            if (normals) {
                const aiVector3D n = rotation * in->mNormals[i];
                v.n = Point3f(n.x, n.y, n.z);
            }
            v.c = m_mesh.defaultColor;
            if (colors) {
                const aiColor4D &c = in->mColors[0][i];
                v.c = {colorByte(c.r), colorByte(c.g), colorByte(c.b), colorByte(c.a)};
            }
            index[i] = m_welder.add(v, Point3f(p.x, p.y, p.z));
        }
        for (unsigned i = 0; i < in->mNumFaces && in->mFaces; ++i) {
            const aiFace &face = in->mFaces[i];
            if (face.mNumIndices >= 3)
                m_loadMask |= MaskFaceIndex;
            for (unsigned k = 2; k < face.mNumIndices; ++k) {
                const unsigned corner[3] = {face.mIndices[0], face.mIndices[k - 1], face.mIndices[k]};
                if (corner[0] >= in->mNumVertices || corner[1] >= in->mNumVertices ||
                    corner[2] >= in->mNumVertices) {
                    m_droppedFaces = true;
                    continue;
                }
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
    bool m_droppedFaces = false;
};

// Own reading of the "v" and "f" lines, for the files assimp gives back without faces or
// without vertices. Polygons are fanned; texture and normal references are ignored.
int readObjLines(const QString &fileName, CMesh &mesh, int &loadMask)
{
    QByteArray data;
    if (const int readCode = detail::readWholeFile(fileName, data))
        return readCode;
    detail::ByteScanner in(data);
    QByteArray line;
    int code = ErrorNone;
    std::vector<long long> corners;
    detail::PositionCollector positions;
    while (in.readLine(line)) {
        const QList<QByteArray> words = line.simplified().split(' ');
        if (words.first() == "v") {
            double value[6] = {0, 0, 0, 0, 0, 0};
            const int count = int(words.size()) - 1;
            bool ok = count == 3 || count == 4 || count == 6 || count == 7;
            for (int k = 0; ok && k < std::min(count, 6); ++k)
                ok = detail::parseDouble(words[k + 1].constData(), int(words[k + 1].size()), value[k]);
            if (!ok) {
                code = ErrorInvalidValue;
                continue;
            }
            CVertex v;
            v.c = mesh.defaultColor;
            if (count >= 6) {
                v.c = {colorByte(float(value[3])), colorByte(float(value[4])), colorByte(float(value[5])),
                       255};
                loadMask |= MaskVertexColor;
            }
            mesh.vert.push_back(v);
            positions.add(mesh, Point3d(value[0], value[1], value[2]));
        } else if (words.first() == "f") {
            corners.clear();
            bool ok = true;
            for (int k = 1; ok && k < words.size(); ++k) {
                const QByteArray index =
                    words[k].left(words[k].indexOf('/') < 0 ? words[k].size() : words[k].indexOf('/'));
                long long value = 0;
                ok = detail::parseLong(index.constData(), int(index.size()), value) && value != 0;
                // 1-based; negative counts back from the latest vertex.
                corners.push_back(value > 0 ? value - 1 : (long long)mesh.vert.size() + value);
            }
            for (long long c : corners)
                ok = ok && c >= 0 && c < (long long)mesh.vert.size();
            if (!ok) {
                code = ErrorInvalidFace;
                continue;
            }
            loadMask |= MaskFaceIndex;
            for (size_t k = 2; k < corners.size(); ++k) {
                CFace f;
                f.v[0] = int(corners[0]);
                f.v[1] = int(corners[k - 1]);
                f.v[2] = int(corners[k]);
                mesh.face.push_back(f);
            }
        }
    }
    if (!mesh.vert.empty())
        loadMask |= MaskVertexPosition;
    positions.place(mesh);
    return in.lineTooLong() ? int(ErrorLineTooLong) : code;
}

} // namespace

int importObj(CMesh &mesh, const QString &fileName, int &loadMask)
{
    mesh.clear();
    loadMask = 0;
    if (!QFile::exists(fileName))
        return ErrorCantOpen;
    // The external importer reads without a bound: only a regular file within the bound reaches it.
    if (!inputFileProblem(fileName).isEmpty())
        return QFileInfo(fileName).isFile() ? ErrorCantOpen : ErrorNotAFile;
    if (QFileInfo(fileName).size() > DefaultReadLimit)
        return ErrorFileTooLarge;
    Assimp::Importer importer;
    const aiScene *scene = importer.ReadFile(QFile::encodeName(fileName).constData(), 0);
    if (!scene) {
        qWarning().noquote() << "OBJ import of" << fileName << "failed:" << importer.GetErrorString();
        // Keep whatever can be read; our own reading then says what was wrong.
        const int ownCode = readObjLines(fileName, mesh, loadMask);
        detail::finishMesh(mesh);
        return mesh.vert.empty() ? int(ErrorImporter) : ownCode;
    }
    SceneCopier copier(*scene, mesh, loadMask);
    copier.copy();
    copier.place(mesh);
    int code = copier.droppedFaces() ? ErrorInvalidFace : ErrorNone;
    // assimp keeps positions in float: large coordinates come back rounded (0.5 at 4,500,000),
    // so such files are read here, in double.
    const bool rounded = !mesh.origin.isZero();
    if (mesh.vert.empty() || mesh.face.empty() || rounded) {
        CMesh own;
        int ownMask = 0;
        const int ownCode = readObjLines(fileName, own, ownMask);
        const bool exact = rounded && ownCode == ErrorNone && !own.vert.empty();
        if (exact || own.vert.size() > mesh.vert.size() || own.face.size() > mesh.face.size()) {
            mesh = std::move(own);
            loadMask = ownMask;
            code = ownCode;
        }
    }
    detail::finishMesh(mesh);
    return code;
}

} // namespace io
} // namespace ksr
