#pragma once
// Helpers shared by the tests of every folder: files written and read in one call, the generated
// sample dataset, and cameras placed for a test (where the test sees the camera type).

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
