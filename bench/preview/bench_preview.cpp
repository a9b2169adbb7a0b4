// Frames per second of the viewer preview at 1280x720 on a real scene, drawn off-screen as the
// window's widget draws it: the model with the current photograph projected, the dome, every
// framelet and the thumbnail bar, the view turning a little every frame.
//
//   bench_preview [DATASET] [MODEL] [FRAMES]
// Defaults: tests/data/sceaux/sceaux.pfp with its fine mesh, 120 frames. Projection on and off are
// timed in alternating blocks of ten frames (paired), wall clock and this process's processor time.

#include "offscreenviewer.h"
#include "session.h"
#include "viewerinput.h"

#include <QElapsedTimer>
#include <QGuiApplication>

#include <cstdio>
#include <ctime>

namespace
{
double processorSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + t.tv_nsec * 1e-9;
}
} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    const QString data = QStringLiteral(ORVELLE_SOURCE_DIR "/tests/data/sceaux/");
    const QString dataset = args.size() > 1 ? args.at(1) : data + QStringLiteral("sceaux.pfp");
    const QString model = args.size() > 2 ? args.at(2) : data + QStringLiteral("scene_mesh_refine.ply");
    const int frames = args.size() > 3 ? args.at(3).toInt() : 120;

    Session session;
    if (!session.importDataset(dataset).accepted) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(dataset));
        return 1;
    }
    OffscreenViewer viewer;
    ViewerScene &scene = viewer.scene();
    QString why;
    if (!scene.loadModel(model, &why)) {
        std::fprintf(stderr, "%s\n", qPrintable(why));
        return 1;
    }
    scene.setShots(ViewerInput::shots(session.dataset()), ViewerInput::viewingOrder(session.dataset()));
    ViewerSettings settings = ViewerInput::settings(session.request());
    settings.backgroundKind = OrvelleIndex::DomeBackground;
    settings.dome = {{0.6f, 0.6f, 0.6f, -1.0f}, {0.7f, 0.85f, 0.85f, 0.0f}, {0.4f, 0.6f, 0.8f, 1.0f}};
    scene.setSettings(settings);
    scene.setCurrentShot(0);
    const QSize size(1280, 720);
    SceneView view = scene.shotView(0);
    // The first frame uploads the model, the photograph and its depth map.
    QElapsedTimer first;
    first.start();
    if (!viewer.drawOnly(view, size)) {
        std::fprintf(stderr, "no GL: %s\n", qPrintable(viewer.errorString()));
        return 1;
    }
    std::printf("first frame (uploads, depth map): %.0f ms\n", double(first.nsecsElapsed()) / 1e6);

    double wall[2] = {0, 0}, processor[2] = {0, 0};
    int counted[2] = {0, 0};
    const Vec3d up(settings.upDirection);
    for (int block = 0; block * 10 < frames; ++block) {
        const int kind = block % 2; // 0 projection on, 1 off
        scene.setProjectionEnabled(kind == 0);
        QElapsedTimer clock;
        clock.start();
        const double cpu = processorSeconds();
        for (int i = 0; i < 10; ++i) {
            view.orbit(scene.modelCentre(), up, 0.002, 0.0);
            viewer.drawOnly(view, size);
        }
        wall[kind] += double(clock.nsecsElapsed()) * 1e-9;
        processor[kind] += processorSeconds() - cpu;
        counted[kind] += 10;
    }
    std::printf("model: %d triangles, picture %dx%d, %d frames\n", scene.triangleCount(), size.width(),
                size.height(), counted[0] + counted[1]);
    const char *names[2] = {"projection on ", "projection off"};
    for (int kind = 0; kind < 2; ++kind)
        std::printf("%s: %.1f frames per second (wall), %.1f ms processor time per frame\n", names[kind],
                    counted[kind] / wall[kind], 1000.0 * processor[kind] / counted[kind]);
    return 0;
}
