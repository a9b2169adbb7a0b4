// Frames per second of the viewer preview at 1280x720 on a real scene, drawn off-screen as the
// window's widget draws it: the model with the current photograph projected, the dome, every
// framelet and the thumbnail bar, the view turning a little every frame. The full mesh and its
// multiresolution model (drawn as a view-dependent cut) are timed side by side, from the first
// shot and from the view of the whole model.
//
//   bench_preview [DATASET] [MODEL] [FRAMES] [TSL] [TOLERANCE]
// Defaults: tests/data/sceaux/sceaux.pfp with its fine mesh, 40 frames of each kind. TSL is the
// multiresolution model of MODEL; without it one is built into a temporary folder by the staged
// tslbuilder with the window's options (-C -F 10000); "-" builds it too. TOLERANCE replaces the
// cut's default tolerance (pixels). The eight kinds of frames (view; projection
// on, off; mesh, cut) are timed in alternating blocks of ten (paired), wall clock and this
// process's processor time. The view moves every frame, so the cut is the one of a moving view
// (ViewerScene::setMoving); BENCH_AT_REST=1 times the cut of a resting view instead. The
// environment variable BENCH_SIZE=WxH changes the picture size.

#include "offscreenviewer.h"
#include "session.h"
#include "viewerinput.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>
#include <ctime>
#include <memory>

namespace
{
double processorSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + t.tv_nsec * 1e-9;
}

bool buildMultiresolution(const QString &model, const QString &output)
{
    QProcess builder;
    builder.start(QStringLiteral(TSLBUILDER_PATH), {"-C", "-F", "10000", "-o", output, model});
    if (!builder.waitForFinished(600000) || builder.exitStatus() != QProcess::NormalExit ||
        builder.exitCode() != 0) {
        std::fprintf(stderr, "tslbuilder failed: %s\n", builder.readAllStandardError().constData());
        return false;
    }
    return true;
}
} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    const QString data = QStringLiteral(ORVELLE_SOURCE_DIR "/tests/data/sceaux/");
    const QString dataset = args.size() > 1 ? args.at(1) : data + QStringLiteral("sceaux.pfp");
    const QString model = args.size() > 2 ? args.at(2) : data + QStringLiteral("scene_mesh_refine.ply");
    const int frames = args.size() > 3 ? args.at(3).toInt() : 40;
    QTemporaryDir temporary;
    const bool build = args.size() <= 4 || args.at(4) == QLatin1String("-");
    const QString tsl = build ? temporary.filePath(QStringLiteral("model.tsl")) : args.at(4);
    if (build && !buildMultiresolution(model, tsl))
        return 1;

    Session session;
    if (!session.importDataset(dataset).accepted) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(dataset));
        return 1;
    }
    ViewerSettings settings = ViewerInput::settings(session.request());
    settings.backgroundKind = OrvelleIndex::DomeBackground;
    settings.dome = {{0.6f, 0.6f, 0.6f, -1.0f}, {0.7f, 0.85f, 0.85f, 0.0f}, {0.4f, 0.6f, 0.8f, 1.0f}};
    // BENCH_SIZE=WxH: another picture size, to tell the cost of the pixels from that of the geometry.
    QSize size(1280, 720);
    const QStringList asked = qEnvironmentVariable("BENCH_SIZE").split(QLatin1Char('x'));
    if (asked.size() == 2 && asked[0].toInt() > 0 && asked[1].toInt() > 0)
        size = QSize(asked[0].toInt(), asked[1].toInt());
    // One viewer (context) per model: each keeps its buffers for the whole run.
    std::unique_ptr<OffscreenViewer> viewers[2] = {std::make_unique<OffscreenViewer>(),
                                                   std::make_unique<OffscreenViewer>()};
    const QString files[2] = {model, tsl};
    const char *modelNames[2] = {"mesh", "cut "};
    for (int m = 0; m < 2; ++m) {
        ViewerScene &scene = viewers[m]->scene();
        QString why;
        if (!scene.loadModel(files[m], &why)) {
            std::fprintf(stderr, "%s\n", qPrintable(why));
            return 1;
        }
        scene.setShots(ViewerInput::shots(session.dataset()), ViewerInput::viewingOrder(session.dataset()));
        scene.setSettings(settings);
        scene.setCurrentShot(0);
        if (args.size() > 5)
            scene.setLodTolerancePixels(args.at(5).toDouble());
        scene.setMoving(!qEnvironmentVariableIsSet("BENCH_AT_REST"));
        // The first frame uploads the model, the photograph and its depth map.
        QElapsedTimer first;
        first.start();
        if (!viewers[m]->drawOnly(scene.shotView(0), size)) {
            std::fprintf(stderr, "no GL: %s\n", qPrintable(viewers[m]->errorString()));
            return 1;
        }
        std::printf("%s: %d triangles, first frame (uploads, depth map) %.0f ms\n", modelNames[m],
                    scene.triangleCount(), double(first.nsecsElapsed()) / 1e6);
    }
    ViewerScene &cutScene = viewers[1]->scene();
    const SceneView startViews[2] = {cutScene.shotView(0), cutScene.overallView()};
    const char *viewNames[2] = {"first shot", "whole model"};
    const bool moving = cutScene.isMoving();
    for (int v = 0; v < 2; ++v) {
        cutScene.setMoving(false);
        const int resting = cutScene.cutTriangleCount(startViews[v], size.width(), size.height());
        cutScene.setMoving(true);
        std::printf("%s view: the cut draws %d triangles at rest (tolerance %.1f pixels), %d moving (%.1f "
                    "pixels)\n",
                    viewNames[v], resting, cutScene.lodTolerancePixels(),
                    cutScene.cutTriangleCount(startViews[v], size.width(), size.height()),
                    cutScene.movingLodTolerancePixels());
    }
    cutScene.setMoving(moving);
    std::printf("timed: the cut of a %s view\n", moving ? "moving" : "resting");

    // kind = view * 4 + (projection off) * 2 + model
    SceneView views[8];
    for (int kind = 0; kind < 8; ++kind)
        views[kind] = startViews[kind / 4];
    double wall[8] = {}, processor[8] = {};
    int counted[8] = {};
    const Vec3d up(settings.upDirection);
    for (int block = 0; block * 10 < 8 * frames; ++block) {
        const int kind = block % 8, m = kind % 2;
        ViewerScene &scene = viewers[m]->scene();
        scene.setProjectionEnabled((kind / 2) % 2 == 0);
        QElapsedTimer clock;
        clock.start();
        const double cpu = processorSeconds();
        for (int i = 0; i < 10; ++i) {
            views[kind].orbit(scene.modelCentre(), up, 0.002, 0.0);
            viewers[m]->drawOnly(views[kind], size);
        }
        wall[kind] += double(clock.nsecsElapsed()) * 1e-9;
        processor[kind] += processorSeconds() - cpu;
        counted[kind] += 10;
    }
    std::printf("picture %dx%d, %d frames of each kind\n", size.width(), size.height(), counted[7]);
    for (int kind = 0; kind < 8; ++kind)
        if (counted[kind] > 0)
            std::printf("%-11s, projection %s, %s: %.1f frames per second (wall), %.1f ms processor time per "
                        "frame\n",
                        viewNames[kind / 4], (kind / 2) % 2 ? "off" : "on ", modelNames[kind % 2],
                        counted[kind] / wall[kind], 1000.0 * processor[kind] / counted[kind]);
    return 0;
}
