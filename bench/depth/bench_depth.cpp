// Times the depth job: 1,000 shots around a generated terrain of about 200,000 triangles.
// Usage: bench_depth [shots] [grid side]; needs a display (xvfb-run -a bench_depth).

#include "depth.h"
#include "depthcomputationthread.h"
#include "polymodel3d.h"

#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <cmath>
#include <cstdio>

namespace
{

// A bumpy square terrain of side x side vertices, two triangles per cell, as binary PLY.
bool writeTerrain(const QString &path, int side)
{
    QByteArray out = "ply\nformat binary_little_endian 1.0\nelement vertex " +
                     QByteArray::number(side * side) +
                     "\nproperty float x\nproperty float y\nproperty float z\nelement face " +
                     QByteArray::number(2 * (side - 1) * (side - 1)) +
                     "\nproperty list uchar int vertex_indices\nend_header\n";
    for (int j = 0; j < side; ++j)
        for (int i = 0; i < side; ++i) {
            const float p[3] = {float(i), float(j), 5.0f * std::sin(i * 0.05f) * std::cos(j * 0.07f)};
            out.append(reinterpret_cast<const char *>(p), sizeof p);
        }
    for (int j = 0; j + 1 < side; ++j)
        for (int i = 0; i + 1 < side; ++i) {
            const int a = j * side + i, b = a + 1, c = a + side, d = c + 1;
            const int triangles[2][3] = {{a, b, d}, {a, d, c}};
            for (const auto &t : triangles) {
                out.append(char(3));
                out.append(reinterpret_cast<const char *>(t), sizeof t);
            }
        }
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(out) == out.size();
}

// A camera at `eye` looking at `target`, z up; 3000 x 2000 pixels.
Camera lookAt(const ksr::Point3f &eye, const ksr::Point3f &target)
{
    const ksr::Point3f back = (eye - target).normalized();
    const ksr::Point3f right = ksr::Point3f(0, 0, 1).cross(back).normalized();
    const ksr::Point3f up = back.cross(right);
    Camera c;
    c.focalMm = 35.0f;
    c.viewportPx[0] = 3000;
    c.viewportPx[1] = 2000;
    c.pixelSizeMm[0] = c.pixelSizeMm[1] = 0.01f;
    c.centerPx[0] = 1500.0f;
    c.centerPx[1] = 1000.0f;
    c.rotation.setRow(0, right);
    c.rotation.setRow(1, up);
    c.rotation.setRow(2, back);
    c.center = eye;
    return c;
}

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    const int shots = argc > 1 ? std::max(1, atoi(argv[1])) : 1000;
    const int side = argc > 2 ? std::max(2, atoi(argv[2])) : 318;
    QTemporaryDir dir;
    const QString model = dir.filePath("terrain.ply");
    if (!dir.isValid() || !writeTerrain(model, side)) {
        std::fprintf(stderr, "bench_depth: cannot write the model\n");
        return 1;
    }
    QVector<Camera> cameras;
    const float middle = (side - 1) * 0.5f;
    for (int i = 0; i < shots; ++i) {
        const float angle = 6.2831853f * i / shots;
        const ksr::Point3f eye(middle + middle * 0.8f * std::cos(angle),
                               middle + middle * 0.8f * std::sin(angle), 30.0f + (i % 7) * 10.0f);
        cameras.append(lookAt(eye, ksr::Point3f(middle, middle, 0)));
    }

    QElapsedTimer timer;
    timer.start();
    {
        PolyModel3D probe;
        probe.load(model);
        std::printf("model: %d vertices, %d triangles, loaded in %lld ms\n", probe.vertexCount(),
                    probe.faceCount(), timer.elapsed());
    }

    DepthComputationThread job(model, cameras);
    int reported = 0;
    double sum = 0.0;
    QObject::connect(
        &job, &DepthComputationThread::newDepth, &job,
        [&](int, float value) {
            ++reported;
            sum += value;
        },
        Qt::DirectConnection);
    QObject::connect(
        &job, &DepthComputationThread::modelProblem, &job,
        [](const QString &title, const QString &message) {
            std::fprintf(stderr, "%s: %s\n", qPrintable(title), qPrintable(message));
        },
        Qt::DirectConnection);
    timer.restart();
    job.start();
    job.wait();
    const qint64 total = timer.elapsed();
    std::printf("depth job: %d shots in %lld ms (model load included): %.2f ms per shot; mean depth %.2f\n",
                reported, total, reported ? double(total) / reported : 0.0, reported ? sum / reported : 0.0);
    return reported == shots ? 0 : 1;
}
