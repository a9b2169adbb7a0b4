#ifndef MODEL_POLYMODEL3D_H
#define MODEL_POLYMODEL3D_H

#include "model3d.h"

#include <ksr/mesh.h>
#include <ksr/meshdrawer.h>

#include <memory>

// A triangle mesh or point cloud read by the mesh library's importers and drawn by its drawer.
// Loading needs no GL context and never changes the process's working folder: files the model
// refers to are found relative to the model's own folder.
class PolyModel3D : public Model3D
{
    Q_OBJECT
public:
    explicit PolyModel3D(QObject *parent = nullptr);
    ~PolyModel3D() override;

    // False (nothing changes, no signal) when no file exists at fileName. Otherwise builds a new
    // mesh from what the importer could read, writes the importer's error text to the debug
    // output when it failed, emits readyToRender() and returns true.
    bool load(const QString &fileName) override;
    void render() override;
    ksr::Point3d origin() const override;
    ksr::Point3f center() const override;
    float radius() const override;
    void depthRange(const float *modelview, float &zMin, float &zMax) const override;

    // Outcome of the last load: importer error code (0 = success), its text, and the load mask.
    int errorCode() const { return m_errorCode; }
    QString errorText() const { return m_errorText; }
    int loadMask() const { return m_loadMask; }
    QString fileName() const { return m_fileName; }

    // The mesh of the last load; null before the first one.
    const ksr::CMesh *mesh() const;
    // Vertices and faces not flagged deleted.
    int vertexCount() const;
    int faceCount() const;
    bool isPointCloud() const;

private:
    struct MeshRecord {
        ksr::CMesh mesh;
        ksr::MeshDrawer drawer;
    };
    std::unique_ptr<MeshRecord> m_record;
    int m_errorCode = 0;
    int m_loadMask = 0;
    QString m_errorText;
    QString m_fileName;
};

#endif
