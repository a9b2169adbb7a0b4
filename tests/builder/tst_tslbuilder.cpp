// The real builder program on generated models, its file read back, and its failures.
#include "multipartition.h"
#include "tesselcomputationprocess.h"
#include "testsupport.h"
#include "tslfile.h"

#include <ksr/meshio.h>

#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <limits>
#include <map>
#include <set>

#include <sys/resource.h>
#include <sys/stat.h>

namespace
{
const QString builderPath = QStringLiteral(ORVELLE_BIN_DIR "/tessel/tslbuilder");

struct Grid {
    int columns, rows; // cells; 2 triangles each
    int triangles() const { return 2 * columns * rows; }
};
} // namespace
Q_DECLARE_METATYPE(Grid)
namespace
{

// A wavy height field with colours, as a binary little-endian PLY.
bool writeGridPly(const QString &path, const Grid &grid, bool withFaces = true, float firstX = 0.0f)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const int vx = grid.columns + 1, vy = grid.rows + 1;
    QByteArray header = "ply\nformat binary_little_endian 1.0\n";
    header += "element vertex " + QByteArray::number(vx * vy) + "\n";
    header += "property float x\nproperty float y\nproperty float z\n";
    header += "property uchar red\nproperty uchar green\nproperty uchar blue\n";
    if (withFaces)
        header += "element face " + QByteArray::number(grid.triangles()) +
                  "\nproperty list uchar int vertex_indices\n";
    header += "end_header\n";
    file.write(header);
    QDataStream out(&file);
    out.setByteOrder(QDataStream::LittleEndian);
    out.setFloatingPointPrecision(QDataStream::SinglePrecision);
    for (int j = 0; j < vy; ++j)
        for (int i = 0; i < vx; ++i) {
            const float x = float(i) / grid.columns * 4.0f, y = float(j) / grid.rows * 2.0f;
            out << (i == 0 && j == 0 ? firstX : x) << y << 0.2f * std::sin(3.0f * x) * std::cos(3.0f * y);
            out << quint8(i * 255 / grid.columns) << quint8(j * 255 / grid.rows) << quint8(40);
        }
    if (withFaces)
        for (int j = 0; j < grid.rows; ++j)
            for (int i = 0; i < grid.columns; ++i) {
                const qint32 a = j * vx + i, b = a + 1, c = a + vx, d = c + 1;
                out << quint8(3) << a << b << d << quint8(3) << a << d << c;
            }
    return out.status() == QDataStream::Ok && file.flush();
}

struct BuilderRun {
    int exitCode = -1;
    QStringList lines;
    QString errorText;
    qint64 milliseconds = 0;
};

BuilderRun runBuilder(const QStringList &arguments)
{
    BuilderRun run;
    QProcess process;
    QElapsedTimer timer;
    timer.start();
    process.start(builderPath, arguments);
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit)
        return run;
    run.milliseconds = timer.elapsed();
    run.exitCode = process.exitCode();
    run.lines = QString::fromLocal8Bit(process.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    run.errorText = QString::fromLocal8Bit(process.readAllStandardError()).trimmed();
    return run;
}

// Index of the step a progress line belongs to, -1 for other lines.
int stepOf(const QString &line)
{
    const char *const prefixes[] = {"Building multipartition", "N_triangles", "Exporting partition",
                                    "Uniforming normals"};
    for (int i = 0; i < 4; ++i)
        if (line.startsWith(QLatin1String(prefixes[i])))
            return i;
    return -1;
}

bool inside(const ksr::Point3f &p, const ksr::Point3f &lo, const ksr::Point3f &hi)
{
    const float eps = 1e-4f;
    for (int k = 0; k < 3; ++k)
        if (p[k] < lo[k] - eps || p[k] > hi[k] + eps)
            return false;
    return true;
}
} // namespace

class TstTslBuilder : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;
    QString m_bigModel;
    const Grid m_bigGrid{500, 200};

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        QVERIFY2(QFile::exists(builderPath), qPrintable(builderPath));
        m_bigModel = m_dir.filePath("grid.ply");
        QVERIFY(writeGridPly(m_bigModel, m_bigGrid));
        QCOMPARE(m_bigGrid.triangles(), 200000);
    }

    void buildsLargeMesh()
    {
        const QString output = m_dir.filePath("grid.tsl");
        const BuilderRun run = runBuilder({"-C", "-F", "10000", "-o", output, m_bigModel});
        QCOMPARE(run.exitCode, 0);
        QVERIFY2(run.errorText.isEmpty(), qPrintable(run.errorText));
        qDebug("builder on %d triangles: %lld ms", m_bigGrid.triangles(), run.milliseconds);

        // Progress lines come step by step, never going back to an earlier step.
        QList<int> steps;
        QStringList counts;
        for (const QString &line : run.lines) {
            const int step = stepOf(line);
            if (step < 0)
                continue;
            QVERIFY2(steps.isEmpty() || step >= steps.last(), qPrintable(line));
            steps << step;
            if (step == 1)
                counts << line.split(' ', Qt::SkipEmptyParts).last();
        }
        QCOMPARE(steps.count(3), 1);
        QCOMPARE(counts.first(), QString("200000"));

        TslModel model;
        QString error;
        QVERIFY2(readTslFile(output, model, error), qPrintable(error));
        // 200000 / 2^5 = 6250 <= 10000 < 12500
        QCOMPARE(model.levelCount, 6);
        QCOMPARE(steps.count(0), model.levelCount);
        QCOMPARE(steps.count(1), model.levelCount);
        QCOMPARE(steps.count(2), model.levelCount);
        QVERIFY(model.hasColors);
        QVERIFY(!model.pointCloud);
        QCOMPARE(model.faceLimit, 10000);
        for (int level = 0; level < model.levelCount; ++level)
            QCOMPARE(QString::number(model.levelPrimitiveCount(model.levelCount - 1 - level)),
                     counts.at(level));

        // Leaves hold exactly the input triangles; coarser levels are real, smaller meshes.
        const int leafLevel = model.levelCount - 1;
        QCOMPARE(model.levelPrimitiveCount(leafLevel), std::size_t(200000));
        for (int level = 0; level < leafLevel; ++level)
            QVERIFY(model.levelPrimitiveCount(level) < model.levelPrimitiveCount(level + 1));
        QVERIFY(model.nodes.front().triangles.size() > 1000);

        std::set<std::array<float, 9>> leafTriangles;
        for (const TslNode &node : model.nodes) {
            QVERIFY(node.triangles.size() <= 10000);
            QVERIFY(inside(node.bboxMin, model.bboxMin, model.bboxMax));
            QVERIFY(inside(node.bboxMax, model.bboxMin, model.bboxMax));
            QCOMPARE(node.colors.size(), node.positions.size());
            for (std::size_t v = 0; v < node.positions.size(); ++v) {
                QVERIFY(inside(node.positions[v], node.bboxMin, node.bboxMax));
                // The surface faces up everywhere.
                QVERIFY(std::abs(node.normals[v].length() - 1.0f) < 1e-3f);
                QVERIFY(node.normals[v].z > 0.5f);
            }
            if (node.level != leafLevel)
                continue;
            QCOMPARE(node.cellSize, 0.0f);
            for (const auto &t : node.triangles) {
                std::array<float, 9> corners;
                for (int k = 0; k < 3; ++k)
                    for (int c = 0; c < 3; ++c)
                        corners[3 * k + c] = node.positions[t[k]][c];
                leafTriangles.insert(corners);
            }
        }
        QCOMPARE(leafTriangles.size(), std::size_t(200000));

        // Seams: a vertex that leaves inside and outside a node both use keeps its place in that
        // node, so a cut mixing levels has no cracks.
        const int firstLeaf = TslModel::firstNodeOfLevel(leafLevel);
        std::map<std::array<float, 3>, std::uint64_t> leavesUsing; // one bit per leaf
        for (int leaf = 0; leaf < TslModel::nodesInLevel(leafLevel); ++leaf)
            for (const ksr::Point3f &p : model.nodes[std::size_t(firstLeaf + leaf)].positions)
                leavesUsing[{p.x, p.y, p.z}] |= std::uint64_t(1) << leaf;
        int seamVertices = 0;
        for (int node = 0; node < firstLeaf; ++node) {
            const int level = model.nodes[std::size_t(node)].level, span = 1 << (leafLevel - level);
            const int first = (node - TslModel::firstNodeOfLevel(level)) * span;
            const std::uint64_t covered = ((std::uint64_t(1) << span) - 1) << first;
            std::set<std::array<float, 3>> kept;
            for (const ksr::Point3f &p : model.nodes[std::size_t(node)].positions)
                kept.insert({p.x, p.y, p.z});
            for (const auto &[position, leaves] : leavesUsing)
                if ((leaves & covered) && (leaves & ~covered)) {
                    ++seamVertices;
                    QVERIFY2(kept.count(position), qPrintable(QString::number(node)));
                }
        }
        QVERIFY(seamVertices > 1000);

        // The mesh library reads the file's finest level: the input's triangles.
        ksr::CMesh mesh;
        int mask = 0;
        QCOMPARE(ksr::io::importMesh(mesh, output, mask), int(ksr::io::ErrorNone));
        QCOMPARE(mesh.face.size(), std::size_t(200000));
        QCOMPARE(mesh.bboxMax.x, 4.0f);

        QCOMPARE(model.bboxMin, ksr::Point3f(0.0f, 0.0f, model.bboxMin.z));
        QCOMPARE(model.bboxMax.x, 4.0f);
        QCOMPARE(model.bboxMax.y, 2.0f);
    }

    void wrapperFollowsRealBuilder()
    {
        TesselComputationProcess process;
        process.setBuilderProgram(builderPath);
        QSignalSpy progress(&process, &TesselComputationProcess::tesselProgress);
        QSignalSpy ready(&process, &TesselComputationProcess::tesselReady);
        QSignalSpy errors(&process, &TesselComputationProcess::error);
        process.startBuilder(m_bigModel, false, m_dir.filePath("wrapped.tsl"));
        QVERIFY(process.waitForFinished(120000));
        QTRY_COMPARE(ready.count(), 1);
        QVERIFY(errors.isEmpty());
        QList<int> values;
        for (const auto &args : progress)
            values << args.at(0).toInt();
        // Six depths, then k = 5 for 200000 triangles: steps of 8, capped at 60 and 85.
        QCOMPARE(values.mid(1),
                 (QList<int>{5, 10, 15, 20, 25, 30, 38, 46, 54, 60, 60, 60, 68, 76, 84, 85, 85, 85, 95, 95}));
        QVERIFY(QFile::exists(m_dir.filePath("wrapped.tsl")));
    }

    void buildsPointCloud_data()
    {
        QTest::addColumn<bool>("withFaces");
        QTest::addColumn<QStringList>("options");
        QTest::newRow("-P on a mesh") << true << QStringList{"-P", "-F", "500"};
        QTest::newRow("no faces, no -P") << false << QStringList{"-F", "500"};
    }
    void buildsPointCloud()
    {
        QFETCH(bool, withFaces);
        QFETCH(QStringList, options);
        const Grid grid{60, 40};
        const QString input = m_dir.filePath(QStringLiteral("cloud%1.ply").arg(withFaces));
        const QString output = m_dir.filePath(QStringLiteral("cloud%1.tsl").arg(withFaces));
        QVERIFY(writeGridPly(input, grid, withFaces));
        const BuilderRun run = runBuilder(options + QStringList{"-o", output, input});
        QCOMPARE(run.exitCode, 0);
        QVERIFY(run.lines.contains(QStringLiteral("N_triangles %1").arg(61 * 41)));
        TslModel model;
        QString error;
        QVERIFY2(readTslFile(output, model, error), qPrintable(error));
        QVERIFY(model.pointCloud);
        QVERIFY(!model.hasColors);
        QCOMPARE(model.levelCount, partitionDepth(61 * 41, 500) + 1);
        QCOMPARE(model.levelPrimitiveCount(model.levelCount - 1), std::size_t(61 * 41));
        for (const TslNode &node : model.nodes) {
            QVERIFY(node.triangles.empty());
            QVERIFY(node.positions.size() <= 500);
            QVERIFY(!node.positions.empty());
        }
    }

    void survivesHostileCoordinates_data()
    {
        QTest::addColumn<float>("firstX");
        QTest::addColumn<int>("leafTriangles");
        QTest::newRow("not a number") << std::numeric_limits<float>::quiet_NaN() << 1200 - 2;
        QTest::newRow("infinite") << std::numeric_limits<float>::infinity() << 1200 - 2;
        QTest::newRow("huge") << -3.0e38f << 1200;
    }
    void survivesHostileCoordinates()
    {
        QFETCH(float, firstX);
        QFETCH(int, leafTriangles);
        const QString input = m_dir.filePath("hostile.ply"), output = m_dir.filePath("hostile.tsl");
        QVERIFY(writeGridPly(input, Grid{30, 20}, true, firstX));
        const BuilderRun run = runBuilder({"-F", "100", "-o", output, input});
        QCOMPARE(run.exitCode, 0);
        TslModel model;
        QString error;
        QVERIFY2(readTslFile(output, model, error), qPrintable(error));
        QCOMPARE(model.levelPrimitiveCount(model.levelCount - 1), std::size_t(leafTriangles));
        for (const TslNode &node : model.nodes) {
            QVERIFY(node.triangles.size() <= 100);
            for (const ksr::Point3f &p : node.positions)
                QVERIFY(std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z));
        }
    }

    void smallModelIsOneLevel()
    {
        const QString input = m_dir.filePath("small.ply"), output = m_dir.filePath("small.tsl");
        QVERIFY(writeGridPly(input, Grid{4, 3}));
        const BuilderRun run = runBuilder({"-C", "-o", output, input});
        QCOMPARE(run.exitCode, 0);
        TslModel model;
        QString error;
        QVERIFY2(readTslFile(output, model, error), qPrintable(error));
        QCOMPARE(model.levelCount, 1);
        QCOMPARE(model.nodes.front().triangles.size(), std::size_t(24));
        QCOMPARE(model.nodes.front().positions.size(), std::size_t(20));
    }

    // A model in projected coordinates is built relative to its origin, which the file keeps (as
    // version 2) and the mesh library reads back: the finest level lands where the input was.
    void keepsTheOriginOfLargeCoordinates()
    {
        const QString plain = m_dir.filePath("plain.ply"), moved = m_dir.filePath("utm.ply");
        const QString output = m_dir.filePath("utm.tsl");
        const ksr::Point3d offset(500000.25, 4500000.5, 0);
        QVERIFY(writeGridPly(plain, Grid{60, 40}));
        QVERIFY(writeMovedPly(plain, moved, offset));
        QCOMPARE(runBuilder({"-F", "500", "-o", output, moved}).exitCode, 0);
        TslModel model;
        QString error;
        QVERIFY2(readTslFile(output, model, error), qPrintable(error));
        QVERIFY(!model.origin.isZero());
        QCOMPARE(readFile(output).mid(8, 4), QByteArray("\x02\0\0\0", 4));

        ksr::CMesh before, after;
        int mask = 0;
        QCOMPARE(ksr::io::importMesh(before, plain, mask), int(ksr::io::ErrorNone));
        QCOMPARE(ksr::io::importMesh(after, output, mask), int(ksr::io::ErrorNone));
        QCOMPARE(after.origin, model.origin);
        QCOMPARE(after.face.size(), before.face.size());
        const ksr::Point3d low = after.origin + ksr::Point3d(after.bboxMin) - offset;
        const ksr::Point3d high = after.origin + ksr::Point3d(after.bboxMax) - offset;
        QVERIFY((low - ksr::Point3d(before.bboxMin)).length() < 1e-3);
        QVERIFY((high - ksr::Point3d(before.bboxMax)).length() < 1e-3);
    }

    // The file's bytes do not change when the builder gets faster: digests of the files the
    // builder wrote for these models (meshes: since seams keep their place; clouds: before the
    // hash maps and writes were replaced).
    void outputUnchangedByteForByte_data()
    {
        QTest::addColumn<Grid>("grid");
        QTest::addColumn<float>("firstX");
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QByteArray>("sha256");
        QTest::newRow("mesh with colours")
            << Grid{150, 80} << 0.0f << QStringList{"-C", "-F", "2000"}
            << QByteArray("f0037491d824820c919cda90a4739cb93fb60700eb777f5738f7edd070c69736");
        QTest::newRow("mesh") << Grid{150, 80} << 0.0f << QStringList{"-F", "3000"}
                              << QByteArray(
                                     "424161697d936cfaebfbec19b6907bf9b4803d5c1a79355b414efc3fddd97c7d");
        QTest::newRow("point cloud")
            << Grid{60, 40} << 0.0f << QStringList{"-P", "-C", "-F", "300"}
            << QByteArray("e36c8691178f59cd4799a5b527b715debc4d4a1d65656915e8100cf0dc5682ca");
        QTest::newRow("not a number")
            << Grid{30, 20} << std::numeric_limits<float>::quiet_NaN() << QStringList{"-F", "100"}
            << QByteArray("eea23cb7900010db268bf41fd2040363a8c1790dffba15243fd707d63da83d20");
    }
    void outputUnchangedByteForByte()
    {
        QFETCH(Grid, grid);
        QFETCH(float, firstX);
        QFETCH(QStringList, options);
        QFETCH(QByteArray, sha256);
        const QString input = m_dir.filePath("same.ply"), output = m_dir.filePath("same.tsl");
        QVERIFY(writeGridPly(input, grid, true, firstX));
        QCOMPARE(runBuilder(options + QStringList{"-o", output, input}).exitCode, 0);
        QCOMPARE(QCryptographicHash::hash(readFile(output), QCryptographicHash::Sha256).toHex(), sha256);
    }

    void depthOfPartition_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("limit");
        QTest::addColumn<int>("depth");
        QTest::newRow("fits") << 10000 << 10000 << 0;
        QTest::newRow("one over") << 10001 << 10000 << 1;
        QTest::newRow("twice the limit") << 20000 << 10000 << 1;
        QTest::newRow("twice plus one") << 20001 << 10000 << 2;
        QTest::newRow("200000") << 200000 << 10000 << 5;
        QTest::newRow("three by one") << 3 << 1 << 2;
    }
    void depthOfPartition()
    {
        QFETCH(int, count);
        QFETCH(int, limit);
        QFETCH(int, depth);
        QCOMPARE(::partitionDepth(std::size_t(count), limit), depth);
    }

    void refusesBadCommandLine_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("reason");
        const QString in = QStringLiteral("IN"), out = QStringLiteral("OUT");
        QTest::newRow("nothing") << QStringList{} << "no output file";
        QTest::newRow("no output") << QStringList{"-C", in} << "no output file";
        QTest::newRow("no input") << QStringList{"-o", out} << "no input model";
        QTest::newRow("two inputs") << QStringList{"-o", out, in, in} << "only one input";
        QTest::newRow("unknown option") << QStringList{"-X", "-o", out, in} << "unknown option -X";
        QTest::newRow("limit zero") << QStringList{"-F", "0", "-o", out, in} << "face limit";
        QTest::newRow("limit not a number") << QStringList{"-F", "many", "-o", out, in} << "face limit";
        QTest::newRow("limit missing") << QStringList{"-o", out, in, "-F"} << "needs a value";
        QTest::newRow("output is the input") << QStringList{"-o", in, in} << "must not be the input";
    }
    void refusesBadCommandLine()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, reason);
        const QString input = m_dir.filePath("keep.ply"), output = m_dir.filePath("never.tsl");
        QVERIFY(writeGridPly(input, Grid{2, 2}));
        const QByteArray before = readFile(input);
        arguments.replaceInStrings(QRegularExpression("^IN$"), input);
        arguments.replaceInStrings(QRegularExpression("^OUT$"), output);
        const BuilderRun run = runBuilder(arguments);
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.errorText.contains(reason), qPrintable(run.errorText));
        QVERIFY(!QFile::exists(output));
        QCOMPARE(readFile(input), before);
    }

    void refusesUnreadableModel_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("reason");
        QTest::newRow("missing") << "missing.ply" << QByteArray() << "no such file";
        QTest::newRow("not a model") << "garbage.ply" << QByteArray("hello\n") << "cannot read model";
        QTest::newRow("truncated")
            << "cut.ply"
            << QByteArray("ply\nformat ascii 1.0\nelement vertex 3\nproperty float x\nproperty float y\n"
                          "property float z\nelement face 1\nproperty list uchar int vertex_indices\n"
                          "end_header\n0 0 0\n1 0 0\n")
            << "cannot read model";
        QTest::newRow("unknown ending") << "model.xyz" << QByteArray("0 0 0\n") << "cannot read model";
        QTest::newRow("empty model") << "empty.ply"
                                     << QByteArray(
                                            "ply\nformat ascii 1.0\nelement vertex 0\nproperty float x\n"
                                            "property float y\nproperty float z\nend_header\n")
                                     << "the model has no";
    }
    void refusesUnreadableModel()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        QFETCH(QString, reason);
        const QString input = m_dir.filePath(name);
        if (!content.isEmpty())
            QVERIFY(writeFile(input, content));
        // An earlier result at the output path survives a failed run.
        const QString output = m_dir.filePath("earlier.tsl");
        QVERIFY(writeFile(output, "earlier result"));
        const BuilderRun run = runBuilder({"-C", "-o", output, input});
        QCOMPARE(run.exitCode, 2);
        QVERIFY2(run.errorText.startsWith("tslbuilder: ") && run.errorText.contains(reason),
                 qPrintable(run.errorText));
        QCOMPARE(readFile(output), QByteArray("earlier result"));
    }

    void unwritableOutputFails()
    {
        const QString input = m_dir.filePath("small2.ply");
        QVERIFY(writeGridPly(input, Grid{3, 3}));
        const BuilderRun run = runBuilder({"-o", m_dir.filePath("no/such/folder/out.tsl"), input});
        QCOMPARE(run.exitCode, 3);
        QVERIFY2(run.errorText.contains("cannot write"), qPrintable(run.errorText));
    }

    // Over the file-size limit (ulimit -f) the write fails with the system's reason instead of
    // the signal killing the builder without a word.
    void fileSizeLimitIsReported()
    {
        QProcess process;
        process.setChildProcessModifier([] {
            const rlimit limit{4096, 4096};
            ::setrlimit(RLIMIT_FSIZE, &limit);
        });
        const QString output = m_dir.filePath("limited.tsl");
        process.start(builderPath, {"-o", output, m_bigModel});
        QVERIFY(process.waitForFinished(120000));
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), 3);
        const QString error = QString::fromLocal8Bit(process.readAllStandardError());
        QVERIFY2(error.contains("File too large"), qPrintable(error));
        QVERIFY(!QFileInfo::exists(output));
    }

    // A FIFO or a device is not replaced by a regular file, and the model is not even read.
    void outputThatIsNoFileIsRefused()
    {
        const QString input = m_dir.filePath("small3.ply");
        QVERIFY(writeGridPly(input, Grid{3, 3}));
        const QString fifo = m_dir.filePath("out.fifo");
        QVERIFY(::mkfifo(QFile::encodeName(fifo).constData(), 0600) == 0);
        const BuilderRun run = runBuilder({"-o", fifo, input});
        QCOMPARE(run.exitCode, 3);
        QVERIFY2(run.errorText.contains("not a regular file"), qPrintable(run.errorText));
        QVERIFY(run.lines.filter("Loaded").isEmpty());
        QVERIFY(QFileInfo(fifo).exists() && !QFileInfo(fifo).isFile());
    }

    void readerRejectsDamagedFiles_data()
    {
        QTest::addColumn<int>("cutAt");    // keep this many bytes, -1 keeps all
        QTest::addColumn<int>("flipByte"); // byte to change, -1 none
        QTest::newRow("truncated in the normals") << -2 << -1;
        QTest::newRow("only the header") << 60 << -1;
        QTest::newRow("bad magic") << -1 << 0;
        QTest::newRow("bad version") << -1 << 8;
        QTest::newRow("bad level count") << -1 << 20;
    }
    void readerRejectsDamagedFiles()
    {
        QFETCH(int, cutAt);
        QFETCH(int, flipByte);
        const QString input = m_dir.filePath("r.ply"), output = m_dir.filePath("r.tsl");
        QVERIFY(writeGridPly(input, Grid{30, 20}));
        QCOMPARE(runBuilder({"-F", "300", "-o", output, input}).exitCode, 0);
        TslModel model;
        QString error;
        QVERIFY(readTslFile(output, model, error));
        QFile file(output);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QByteArray bytes = file.readAll();
        if (cutAt == -2)
            bytes.chop(4);
        else if (cutAt >= 0)
            bytes.truncate(cutAt);
        if (flipByte >= 0)
            bytes[flipByte] = char(bytes[flipByte] ^ 0x40);
        QVERIFY(file.resize(0));
        file.seek(0);
        file.write(bytes);
        file.close();
        QVERIFY(!readTslFile(output, model, error));
        QVERIFY(!error.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TstTslBuilder)
#include "tst_tslbuilder.moc"
