// tslbuilder's time against the time of just reading its input, and optionally against another
// (older) builder on the same input, whose output must be byte-identical.
// Usage: bench_tslbuilder [--runs N] [--builder PATH] [--before PATH] MODEL...
// For every model, N rounds of: read the model in this process (the importer the builder uses),
// run the builder (-C -F 10000, as the window starts it), run the older builder if given.
// Prints the medians and the ratios builder/read and before/after.

#include <ksr/meshio.h>

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <sys/resource.h>

namespace
{

double median(QVector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.isEmpty() ? 0.0 : values[values.size() / 2];
}

// Processor seconds so far of this process (RUSAGE_SELF) or of its waited-for children.
double processorSeconds(int who)
{
    rusage usage{};
    getrusage(who, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

struct BuilderRun {
    bool ok = false;
    double ms = 0.0;
    double cpuMs = 0.0;
    QByteArray digest; // of the output file
};

BuilderRun runProgram(const QString &program, const QStringList &arguments, const QString &output)
{
    BuilderRun run;
    if (!output.isEmpty())
        QFile::remove(output);
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QElapsedTimer timer;
    const double cpuStart = processorSeconds(RUSAGE_CHILDREN);
    timer.start();
    process.start(program, arguments);
    // Reading the output as it comes, as the window does, so the pipe never fills.
    while (process.state() != QProcess::NotRunning && process.waitForReadyRead(-1))
        process.readAllStandardOutput();
    process.waitForFinished(-1);
    run.ms = double(timer.nsecsElapsed()) / 1e6;
    run.cpuMs = (processorSeconds(RUSAGE_CHILDREN) - cpuStart) * 1e3;
    run.ok = process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    QFile file(output);
    if (run.ok && !output.isEmpty() && file.open(QIODevice::ReadOnly)) {
        QCryptographicHash hash(QCryptographicHash::Sha256);
        hash.addData(&file);
        run.digest = hash.result().toHex();
    }
    return run;
}

BuilderRun runBuilder(const QString &builder, const QString &model, const QString &output)
{
    return runProgram(builder, {"-C", "-F", "10000", "-o", output, model}, output);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription("tslbuilder against reading its input, and against an older builder.");
    parser.addHelpOption();
    parser.addOption({"runs", "Rounds per model (default 3).", "N", "3"});
    parser.addOption({"builder", "The builder to time (default: the one built with this program).", "PATH",
                      TSLBUILDER_PATH});
    parser.addOption({"before", "An older builder to time in turn and compare outputs with.", "PATH"});
    parser.addOption({"reader",
                      "A program that only reads the model, run as \"PATH inspect MODEL\" for the time of "
                      "reading as a whole process (default: orvelle-index, when built).",
                      "PATH", ORVELLE_INDEX_PATH});
    parser.addPositionalArgument("MODEL", "Models to build (ply, stl, off, obj).", "MODEL...");
    parser.process(app);
    const int runs = std::max(1, parser.value("runs").toInt());
    const QString builder = parser.value("builder"), before = parser.value("before");
    const QString reader = QFile::exists(parser.value("reader")) ? parser.value("reader") : QString();
    if (parser.positionalArguments().isEmpty())
        parser.showHelp(1);
    QTemporaryDir dir;
    if (!dir.isValid()) {
        std::fprintf(stderr, "bench_tslbuilder: no temporary folder\n");
        return 1;
    }

    bool allIdentical = true;
    for (const QString &model : parser.positionalArguments()) {
        QVector<double> readProcess, readProcessCpu, read, readCpu, built, builtCpu, old, oldCpu, buildRatio,
            beforeRatio;
        bool identical = true, failed = false;
        std::size_t faces = 0;
        for (int round = 0; round < runs && !failed; ++round) {
            QElapsedTimer timer;
            timer.start();
            const double cpuStart = processorSeconds(RUSAGE_SELF);
            {
                ksr::CMesh mesh;
                int mask = 0;
                if (ksr::io::importMesh(mesh, model, mask) != 0) {
                    std::fprintf(stderr, "bench_tslbuilder: cannot read %s\n", qPrintable(model));
                    return 1;
                }
                faces = mesh.face.size();
            }
            read.append(double(timer.nsecsElapsed()) / 1e6);
            readCpu.append((processorSeconds(RUSAGE_SELF) - cpuStart) * 1e3);
            if (!reader.isEmpty()) {
                const BuilderRun reading = runProgram(reader, {"inspect", model}, QString());
                readProcess.append(reading.ms);
                readProcessCpu.append(reading.cpuMs);
            }
            const BuilderRun after = runBuilder(builder, model, dir.filePath("after.tsl"));
            failed = !after.ok;
            built.append(after.ms);
            builtCpu.append(after.cpuMs);
            buildRatio.append(after.ms / read.last());
            if (!before.isEmpty() && after.ok) {
                const BuilderRun earlier = runBuilder(before, model, dir.filePath("before.tsl"));
                failed = !earlier.ok;
                old.append(earlier.ms);
                oldCpu.append(earlier.cpuMs);
                beforeRatio.append(earlier.ms / after.ms);
                identical = identical && earlier.digest == after.digest;
            }
        }
        std::printf("%s (%zu faces), medians of %d rounds:\n", qPrintable(QFileInfo(model).fileName()), faces,
                    int(read.size()));
        if (failed) {
            std::printf("  a builder failed\n");
            allIdentical = false;
            continue;
        }
        std::printf(
            "  read %.0f ms (processor %.0f ms); builder %.0f ms (processor %.0f ms); builder/read %.2f "
            "(processor %.2f)\n",
            median(read), median(readCpu), median(built), median(builtCpu), median(buildRatio),
            median(builtCpu) / median(readCpu));
        if (!reader.isEmpty()) {
            std::printf("  read as a process %.0f ms (processor %.0f ms); builder/read-process %.2f "
                        "(processor %.2f)\n",
                        median(readProcess), median(readProcessCpu), median(built) / median(readProcess),
                        median(builtCpu) / median(readProcessCpu));
            if (!before.isEmpty())
                std::printf("  before/read-process %.2f (processor %.2f)\n",
                            median(old) / median(readProcess), median(oldCpu) / median(readProcessCpu));
        }
        if (!before.isEmpty()) {
            std::printf(
                "  before %.0f ms (processor %.0f ms); before/after %.2f; before/read %.2f (processor "
                "%.2f); outputs %s\n",
                median(old), median(oldCpu), median(beforeRatio), median(old) / median(read),
                median(oldCpu) / median(readCpu), identical ? "byte-identical" : "DIFFER");
            allIdentical = allIdentical && identical;
        }
        std::fflush(stdout);
    }
    return allIdentical ? 0 : 2;
}
