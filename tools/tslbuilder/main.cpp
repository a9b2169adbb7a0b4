// tslbuilder: turns a mesh or point cloud into a multiresolution model file.
// Progress goes to standard output one line at a time; problems to standard error.
// Exit codes: 0 done, 1 bad command line, 2 model unreadable or empty, 3 output not written.

#include "builderoptions.h"
#include "multipartition.h"
#include "tslfile.h"

#include <orvelleversion.h>

#include <ksr/meshio.h>
#include <ksr/safefile.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>

#include <csignal>
#include <cstdio>
#include <malloc.h>
#include <thread>

namespace
{
void printLine(const QString &line)
{
    std::fputs(line.toLocal8Bit().constData(), stdout);
    std::fputc('\n', stdout);
    // The window reads these lines while we work.
    std::fflush(stdout);
}

int fail(int code, const QString &message)
{
    std::fprintf(stderr, "tslbuilder: %s\n", message.toLocal8Bit().constData());
    return code;
}
} // namespace

int main(int argc, char **argv)
{
    // Over the file-size limit a write fails with a reason to report, instead of killing us silently.
    std::signal(SIGXFSZ, SIG_IGN);
    // Large blocks come from the heap and stay there when freed: the passes allocate and free
    // arrays of millions of entries, and fresh pages from the kernel cost a fault each.
    mallopt(M_MMAP_THRESHOLD, 1 << 30);
    mallopt(M_TRIM_THRESHOLD, 1 << 30);
    QCoreApplication app(argc, argv);
    QElapsedTimer timer;
    timer.start();

    BuilderOptions options;
    QString error;
    if (!parseBuilderArguments(app.arguments().mid(1), options, error)) {
        std::fputs(builderUsage().toLocal8Bit().constData(), stderr);
        return fail(1, error);
    }
    if (options.helpRequested) {
        std::fputs(builderUsage().toLocal8Bit().constData(), stdout);
        return 0;
    }
    if (options.versionRequested) {
        std::fputs("tslbuilder " ORVELLE_VERSION "\n", stdout);
        return 0;
    }

    // Known before the long work: a folder that refuses new files, or an output that is a FIFO or
    // a device, which a regular file must not replace.
    QString why;
    if (!ksr::SafeFile::canReplace(options.outputPath, &why))
        return fail(3, QStringLiteral("cannot write %1: %2").arg(options.outputPath, why));

    if (!QFileInfo(options.inputPath).isFile())
        return fail(2, QStringLiteral("cannot read model %1: no such file").arg(options.inputPath));
    ksr::CMesh mesh;
    int loadMask = 0;
    const int code = ksr::io::importMesh(mesh, options.inputPath, loadMask);
    // A partly read model would make a silently incomplete result.
    if (code != 0)
        return fail(2, QStringLiteral("cannot read model %1: %2")
                           .arg(options.inputPath, ksr::io::errorText(options.inputPath, code)));
    printLine(QStringLiteral("Loaded %1: %2 vertices, %3 faces")
                  .arg(options.inputPath)
                  .arg(mesh.vert.size())
                  .arg(mesh.face.size()));

    PartitionSettings settings;
    settings.faceLimit = options.faceLimit;
    settings.pointCloud = options.pointCloud;
    settings.keepColors = options.keepColors;
    settings.inputNormals = loadMask & ksr::io::MaskVertexNormal;
    if (!settings.pointCloud && mesh.face.empty() && !mesh.vert.empty()) {
        std::fputs("tslbuilder: the model has no faces; building it as a point cloud\n", stderr);
        settings.pointCloud = true;
    }

    TslModel model;
    if (!buildMultiresolution(mesh, settings, model, printLine, error))
        return fail(2, QStringLiteral("%1: %2").arg(options.inputPath, error));
    model.origin = mesh.origin;
    mesh.clear();

    // The normals are worked out while the geometry, which they do not touch, is written.
    std::thread normals([&model] { uniformNormals(model); });
    const auto writeGeometry = [&](TslWriter &writer) {
        if (!writer.begin(model, error))
            return false;
        for (int level = 0; level < model.levelCount; ++level) {
            printLine(
                QStringLiteral("Exporting partition level %1 of %2").arg(level).arg(model.levelCount - 1));
            if (!writer.writeLevel(model, level, error))
                return false;
        }
        return true;
    };
    TslWriter writer(options.outputPath);
    const bool written = writeGeometry(writer);
    normals.join();
    if (!written)
        return fail(3, error);
    printLine(QStringLiteral("Uniforming normals"));
    if (!writer.finish(model, error))
        return fail(3, error);
    printLine(QStringLiteral("Wrote %1: %2 levels, %3 nodes in %4 ms")
                  .arg(options.outputPath)
                  .arg(model.levelCount)
                  .arg(model.nodes.size())
                  .arg(timer.elapsed()));
    return 0;
}
