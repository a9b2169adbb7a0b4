#pragma once
// Small models and cameras the depth tests build for themselves.

#include "camera.h"
#include "testsupport.h"

#include <ksr/geometry.h>

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QVector>

#include <cmath>

namespace testmodels
{

struct Triangle {
    int a, b, c;
};

// Writes an ascii PLY; false when the file cannot be written.
inline bool writePly(const QString &path, const QVector<ksr::Point3f> &points, const QVector<Triangle> &faces)
{
    QByteArray out = "ply\nformat ascii 1.0\nelement vertex " + QByteArray::number(points.size()) +
                     "\nproperty float x\nproperty float y\nproperty float z\n";
    if (!faces.isEmpty())
        out +=
            "element face " + QByteArray::number(faces.size()) + "\nproperty list uchar int vertex_indices\n";
    out += "end_header\n";
    for (const ksr::Point3f &p : points)
        out += QByteArray::number(p.x, 'g', 9) + ' ' + QByteArray::number(p.y, 'g', 9) + ' ' +
               QByteArray::number(p.z, 'g', 9) + '\n';
    for (const Triangle &t : faces)
        out += "3 " + QByteArray::number(t.a) + ' ' + QByteArray::number(t.b) + ' ' +
               QByteArray::number(t.c) + '\n';
    return writeFile(path, out);
}

// Rotation whose rows are the camera axes, from angles in degrees about x, then y, then z.
inline ksr::Matrix44f rotation(float ax, float ay, float az)
{
    const float rad = 3.14159265358979f / 180.0f;
    ksr::Matrix44f x, y, z;
    const float cx = std::cos(ax * rad), sx = std::sin(ax * rad);
    const float cy = std::cos(ay * rad), sy = std::sin(ay * rad);
    const float cz = std::cos(az * rad), sz = std::sin(az * rad);
    x.m[1][1] = cx;
    x.m[1][2] = -sx;
    x.m[2][1] = sx;
    x.m[2][2] = cx;
    y.m[0][0] = cy;
    y.m[0][2] = sy;
    y.m[2][0] = -sy;
    y.m[2][2] = cy;
    z.m[0][0] = cz;
    z.m[0][1] = -sz;
    z.m[1][0] = sz;
    z.m[1][1] = cz;
    return x * y * z;
}

inline Camera camera(const ksr::Matrix44f &r, const ksr::Point3f &centre, int width = 3000, int height = 2000,
                     float cx = 1500.0f, float cy = 1000.0f)
{
    Camera c;
    c.focalMm = 35.0f;
    c.viewportPx[0] = width;
    c.viewportPx[1] = height;
    c.pixelSizeMm[0] = c.pixelSizeMm[1] = 0.01f;
    c.centerPx[0] = cx;
    c.centerPx[1] = cy;
    c.rotation = r;
    c.center = centre;
    return c;
}

// A square wall of half-side `half`, facing the camera squarely at `distance` along its view axis.
inline void wallFacing(const Camera &cam, float distance, float half, QVector<ksr::Point3f> &points,
                       QVector<Triangle> &faces)
{
    const ksr::Point3f right = cam.rotation.row(0), up = cam.rotation.row(1), back = cam.rotation.row(2);
    const ksr::Point3f middle = cam.center.toFloat() - back * distance;
    points = {middle - right * half - up * half, middle + right * half - up * half,
              middle + right * half + up * half, middle - right * half + up * half};
    faces = {{0, 1, 2}, {0, 2, 3}};
}

} // namespace testmodels
