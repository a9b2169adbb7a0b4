#pragma once
// Helpers shared by the tests of every folder: files written and read in one call, the generated
// sample dataset, cameras placed for a test (where the test sees the camera type), and models
// moved to real-world coordinates (where the test sees the mesh library).

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QString>
#include <QStringList>

// Writes bytes to path, making its folder first; false when any of them is not written.
inline bool writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// The whole file; empty when it cannot be read.
inline QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// make-sample-dataset FOLDER --views N --size WxH, with --triangles T when T > 0 (else the
// generator's own count); false, with the generator's words in why, when it fails or leaves no
// sample.pfp.
inline bool makeSample(const QString &folder, int views, const QString &size, QString &why, int triangles = 0)
{
    QStringList arguments{folder, QStringLiteral("--views"), QString::number(views), QStringLiteral("--size"),
                          size};
    if (triangles > 0)
        arguments << QStringLiteral("--triangles") << QString::number(triangles);
    QProcess generator;
    generator.start(QStringLiteral(ORVELLE_BIN_DIR "/make-sample-dataset"), arguments);
    const bool finished = generator.waitForFinished(120000);
    if (finished && generator.exitStatus() == QProcess::NormalExit && generator.exitCode() == 0 &&
        QFileInfo::exists(folder + QStringLiteral("/sample.pfp")))
        return true;
    if (!finished) {
        generator.kill();
        generator.waitForFinished();
    }
    why = QString::fromLocal8Bit(generator.readAllStandardError()) + generator.errorString();
    return false;
}

#if __has_include("camera.h")
#include "camera.h"

// A camera at centre whose z axis (third rotation row) is zAxis as given, of any length, so that
// it looks along -zAxis; the other rows stay those of the identity. 20 mm focal length on 0.01 mm
// pixels, 800 x 600 with the principal point in the middle.
inline Camera cameraAt(const ksr::Point3f &centre, const ksr::Point3f &zAxis = {0, 0, 1})
{
    Camera camera;
    camera.focalMm = 20.0f;
    camera.viewportPx[0] = 800;
    camera.viewportPx[1] = 600;
    camera.pixelSizeMm[0] = camera.pixelSizeMm[1] = 0.01f;
    camera.centerPx[0] = 400.0f;
    camera.centerPx[1] = 300.0f;
    camera.rotation.m[2][0] = zAxis.x;
    camera.rotation.m[2][1] = zAxis.y;
    camera.rotation.m[2][2] = zAxis.z;
    camera.center = centre;
    return camera;
}

inline Camera cameraAt(float x, float y = 0.0f, float z = 0.0f)
{
    return cameraAt(ksr::Point3f(x, y, z));
}
#endif

#if __has_include(<ksr/meshio.h>)
#include <ksr/meshio.h>

// A binary PLY of the model's coordinates moved by offset, positions as doubles, faces kept,
// vertex colours when asked for (normals left out); false when the model cannot be read or the
// file written.
inline bool writeMovedPly(const QString &from, const QString &to, const ksr::Point3d &offset,
                          bool withColours = false)
{
    ksr::CMesh mesh;
    int loadMask = 0;
    if (ksr::io::importMesh(mesh, from, loadMask) != 0)
        return false;
    QByteArray bytes =
        QStringLiteral("ply\nformat binary_little_endian 1.0\nelement vertex %1\n"
                       "property double x\nproperty double y\nproperty double z\n%3"
                       "element face %2\nproperty list uchar int vertex_indices\nend_header\n")
            .arg(mesh.vert.size())
            .arg(mesh.face.size())
            .arg(withColours ? "property uchar red\nproperty uchar green\nproperty uchar blue\n" : "")
            .toLatin1();
    for (const ksr::CVertex &v : mesh.vert) {
        const ksr::Point3d p = mesh.origin + ksr::Point3d(v.p) + offset;
        bytes.append(reinterpret_cast<const char *>(&p.x), 3 * sizeof(double));
        if (withColours)
            bytes.append(char(v.c.r)).append(char(v.c.g)).append(char(v.c.b));
    }
    for (const ksr::CFace &f : mesh.face) {
        bytes.append(char(3));
        bytes.append(reinterpret_cast<const char *>(f.v), 3 * sizeof(int));
    }
    return writeFile(to, bytes);
}
#endif
