// Depth job before and after the static model buffers: the same shots rendered with the model
// sent whole for every shot (before) and drawn from buffers uploaded once (after), in turn, with
// the per-shot times, their ratio and the largest difference between the two runs' depths.
// Usage: bench_depth [--shots N] [--rounds R] [--grid SIDE] [--project FILE.pfp]
// Default model: a generated terrain of SIDE x SIDE vertices (318: about 200,000 triangles) seen
// from N cameras around it; --project takes the first mesh and the cameras (repeated up to N) of
// a project instead. Needs a display (xvfb-run -a bench_depth).

#include "depth.h"
#include "depthcomputationthread.h"
#include "polyforgeproject.h"
#include "polymodel3d.h"

#include <QCommandLineParser>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <sys/resource.h>

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

QVector<Camera> camerasAround(int side, int shots)
{
    QVector<Camera> cameras;
    const float middle = (side - 1) * 0.5f;
    for (int i = 0; i < shots; ++i) {
        const float angle = 6.2831853f * i / shots;
        const ksr::Point3f eye(middle + middle * 0.8f * std::cos(angle),
                               middle + middle * 0.8f * std::sin(angle), 30.0f + (i % 7) * 10.0f);
        cameras.append(lookAt(eye, ksr::Point3f(middle, middle, 0)));
    }
    return cameras;
}

// Processor seconds used so far by every thread of this process (llvmpipe's included).
double processorSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

struct Run {
    double msPerShot = 0.0;    // wall clock
    double cpuMsPerShot = 0.0; // processor time, all threads
    double drawnShare = 0.0;   // faces sent per shot / faces of the model (after only)
    QVector<float> depths;
};

Run runJob(const QString &model, const QVector<Camera> &cameras, bool useBuffer)
{
    Run run;
    run.depths.resize(cameras.size());
    DepthComputationThread job(model, cameras);
    job.depthRenderer()->setUseModelBuffer(useBuffer);
    double drawn = 0.0;
    QObject::connect(
        &job, &DepthComputationThread::newDepth, &job,
        [&](int i, float value) {
            run.depths[i] = value;
            const ModelBuffer &buffer = job.depthRenderer()->modelBuffer();
            if (!buffer.isEmpty())
                drawn += double(buffer.drawnTriangles()) / double(buffer.triangleCount());
        },
        Qt::DirectConnection);
    QObject::connect(
        &job, &DepthComputationThread::modelProblem, &job,
        [](const QString &title, const QString &message) {
            std::fprintf(stderr, "%s: %s\n", qPrintable(title), qPrintable(message));
        },
        Qt::DirectConnection);
    QElapsedTimer timer;
    timer.start();
    const double cpuStart = processorSeconds();
    job.start();
    job.wait();
    run.msPerShot = double(timer.nsecsElapsed()) / 1e6 / cameras.size();
    run.cpuMsPerShot = (processorSeconds() - cpuStart) * 1e3 / cameras.size();
    run.drawnShare = drawn / cameras.size();
    return run;
}

double median(QVector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.isEmpty() ? 0.0 : values[values.size() / 2];
}

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Depth job: model sent whole per shot (before) against static buffers (after).");
    parser.addHelpOption();
    parser.addOption({"shots", "Shots per run (default 300).", "N", "300"});
    parser.addOption({"rounds", "Before/after pairs (default 3).", "R", "3"});
    parser.addOption({"grid", "Side of the generated terrain in vertices (default 318).", "SIDE", "318"});
    parser.addOption(
        {"only", "Run only the \"before\" or only the \"after\" renderer, for a profiler.", "WHICH"});
    parser.addOption({"project", "Use the first mesh and the cameras of a project file.", "FILE.pfp"});
    parser.process(app);
    const int shots = std::max(1, parser.value("shots").toInt());
    const int rounds = std::max(1, parser.value("rounds").toInt());
    const int side = std::max(2, parser.value("grid").toInt());

    QTemporaryDir dir;
    QString model;
    QVector<Camera> cameras;
    if (parser.isSet("project")) {
        QStringList rasters, meshes;
        QVector<Camera> projectCameras;
        QString error;
        const QString project = parser.value("project");
        if (!PolyforgeProject::readProject(project, projectCameras, rasters, meshes, &error) ||
            projectCameras.isEmpty() || meshes.isEmpty()) {
            std::fprintf(stderr, "bench_depth: %s has no usable cameras and mesh %s\n", qPrintable(project),
                         qPrintable(error));
            return 1;
        }
        model = QFileInfo(project).absoluteDir().filePath(meshes.first());
        for (int i = 0; i < shots; ++i)
            cameras.append(projectCameras[i % projectCameras.size()]);
    } else {
        model = dir.filePath("terrain.ply");
        if (!dir.isValid() || !writeTerrain(model, side)) {
            std::fprintf(stderr, "bench_depth: cannot write the model\n");
            return 1;
        }
        cameras = camerasAround(side, shots);
    }
    PolyModel3D probe;
    probe.load(model);
    std::printf("model %s: %d vertices, %d triangles; %d shots per run, %d rounds\n",
                qPrintable(QFileInfo(model).fileName()), probe.vertexCount(), probe.faceCount(), shots,
                rounds);

    // Wall clock and processor time per shot, before and after, and their ratios, per round.
    QVector<double> wallBefore, wallAfter, wallRatio, cpuBefore, cpuAfter, cpuRatio;
    float largestDifference = 0.0f;
    int differing = 0, compared = 0;
    double drawnShare = 0.0;
    const QString only = parser.value("only");
    for (int round = 0; round < rounds; ++round) {
        if (!only.isEmpty()) {
            const Run run = runJob(model, cameras, only == "after");
            std::printf("%s only: %.2f ms per shot, %.2f ms of processor time\n", qPrintable(only),
                        run.msPerShot, run.cpuMsPerShot);
            continue;
        }
        const Run a = runJob(model, cameras, false);
        const Run b = runJob(model, cameras, true);
        wallBefore.append(a.msPerShot);
        wallAfter.append(b.msPerShot);
        wallRatio.append(a.msPerShot / b.msPerShot);
        cpuBefore.append(a.cpuMsPerShot);
        cpuAfter.append(b.cpuMsPerShot);
        cpuRatio.append(a.cpuMsPerShot / b.cpuMsPerShot);
        drawnShare = b.drawnShare;
        for (int i = 0; i < shots; ++i) {
            const float difference = std::abs(a.depths[i] - b.depths[i]);
            largestDifference = std::max(largestDifference, difference);
            differing += difference != 0.0f;
            ++compared;
        }
        std::printf("round %d: wall ms per shot before %.2f after %.2f (before/after %.2f); "
                    "processor ms per shot before %.2f after %.2f (before/after %.2f)\n",
                    round + 1, a.msPerShot, b.msPerShot, wallRatio.last(), a.cpuMsPerShot, b.cpuMsPerShot,
                    cpuRatio.last());
        std::fflush(stdout);
    }
    if (!only.isEmpty())
        return 0;
    std::printf("median wall ms per shot:      before %.2f after %.2f before/after %.2f\n",
                median(wallBefore), median(wallAfter), median(wallRatio));
    std::printf("median processor ms per shot: before %.2f after %.2f before/after %.2f\n", median(cpuBefore),
                median(cpuAfter), median(cpuRatio));
    std::printf("(model load included; processor time counts llvmpipe's threads too)\n");
    std::printf("after: %.1f %% of the faces sent per shot on average\n", 100.0 * drawnShare);
    std::printf("depths: %d of %d differ, largest difference %g\n", differing, compared,
                double(largestDifference));
    return 0;
}
