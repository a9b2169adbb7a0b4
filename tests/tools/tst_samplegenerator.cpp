// The sample generator as a user runs it: the files it writes, read back with the project reader,
// the mesh importers, the image decoder and exiftool; byte-identical output per seed; bad input.

#include "polyforgeproject.h"
#include "shottime.h"
#include "testsupport.h"

#include <ksr/meshio.h>

#include <QColor>
#include <QDirIterator>
#include <QDomDocument>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>

namespace
{

const QString generator = QStringLiteral(ORVELLE_BIN_DIR "/make-sample-dataset");
const QStringList smallSample = {"--views", "12", "--triangles", "3000", "--size", "320x240"};

struct Run {
    int exitCode = -1;
    QByteArray out, err;
};

Run runGenerator(const QStringList &arguments)
{
    QProcess process;
    process.start(generator, arguments);
    Run run;
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit)
        return run;
    run.exitCode = process.exitCode();
    run.out = process.readAllStandardOutput();
    run.err = process.readAllStandardError();
    return run;
}

QJsonObject readTruth(const QString &folder)
{
    return QJsonDocument::fromJson(readFile(folder + "/truth.json")).object();
}

QMap<QString, QByteArray> folderContents(const QString &folder)
{
    QMap<QString, QByteArray> contents;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        contents.insert(QDir(folder).relativeFilePath(path), readFile(path));
    }
    return contents;
}

ksr::Point3f pointFrom(const QJsonValue &value)
{
    const QJsonArray a = value.toArray();
    return {float(a[0].toDouble()), float(a[1].toDouble()), float(a[2].toDouble())};
}

// Where a model point appears in a camera's photograph, worked out from the camera record alone:
// world-to-camera R (p - C), camera looking along -z, frustum at the focal plane
// left = -(W - cx) sx, right = cx sx, bottom = -cy sy, top = (H - cy) sy; GL rows count from the bottom.
bool imagePosition(const Camera &camera, const ksr::Point3f &p, double &column, double &row)
{
    const ksr::Point3f d = p - camera.center.toFloat();
    double q[3];
    for (int i = 0; i < 3; ++i)
        q[i] = camera.rotation.m[i][0] * d.x + camera.rotation.m[i][1] * d.y + camera.rotation.m[i][2] * d.z;
    if (q[2] > -0.5)
        return false;
    const double W = camera.viewportPx[0], H = camera.viewportPx[1];
    const double cx = camera.centerPx[0], cy = camera.centerPx[1];
    const double left = -(W - cx) * camera.pixelSizeMm[0], right = cx * camera.pixelSizeMm[0];
    const double bottom = -cy * camera.pixelSizeMm[1], top = (H - cy) * camera.pixelSizeMm[1];
    const double xf = camera.focalMm * q[0] / -q[2], yf = camera.focalMm * q[1] / -q[2];
    column = (xf - left) / (right - left) * W;
    row = H - (yf - bottom) / (top - bottom) * H;
    return column >= 0 && column < W && row >= 0 && row < H;
}

// Segment from a to b passes through the box (slab test).
bool segmentHitsBox(const ksr::Point3f &a, const ksr::Point3f &b, const ksr::Point3f &lo,
                    const ksr::Point3f &hi)
{
    double t0 = 0.0, t1 = 1.0;
    for (int k = 0; k < 3; ++k) {
        const double d = b[k] - a[k];
        if (std::fabs(d) < 1e-12) {
            if (a[k] < lo[k] || a[k] > hi[k])
                return false;
            continue;
        }
        double ta = (lo[k] - a[k]) / d, tb = (hi[k] - a[k]) / d;
        if (ta > tb)
            std::swap(ta, tb);
        t0 = std::max(t0, ta);
        t1 = std::min(t1, tb);
        if (t0 > t1)
            return false;
    }
    return true;
}

double hueDistanceDegrees(const QColor &a, const QColor &b)
{
    const double d = std::fabs(a.hsvHueF() - b.hsvHueF()) * 360.0;
    return std::min(d, 360.0 - d);
}

} // namespace

class TestSampleGenerator : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir temp;
    QString sampleA, sampleB, sampleC, sampleDefault;
    double defaultSeconds = 0.0;

private slots:
    void initTestCase();
    void defaultSampleIsQuickAndComplete();
    void sameSeedGivesIdenticalFiles();
    void otherSeedGivesAnotherScene();
    void projectReadsBack();
    void modelFilesImport();
    void photographsDecodeAtCameraSize();
    void exifReadsBackWithExiftool();
    void ownExifReaderFindsShotTimes();
    void captureTimesFollowTheWalks();
    void buildingWallsShowTheirColour();
    void truthDepthsArePlausible();
    void rejectsBadArguments_data();
    void rejectsBadArguments();
    void keepsUserFiles();
    void overwriteReplacesSampleAndStaleThumbnails();
    void helpExplainsOptions();
};

void TestSampleGenerator::initTestCase()
{
    QVERIFY2(QFileInfo::exists(generator), qPrintable(generator));
    QVERIFY(temp.isValid());
    sampleA = temp.filePath("a");
    sampleB = temp.filePath("b");
    sampleC = temp.filePath("c");
    sampleDefault = temp.filePath("default");
    for (const auto &[folder, seed] : {std::pair{sampleA, "7"}, {sampleB, "7"}, {sampleC, "8"}}) {
        const Run run = runGenerator(QStringList{folder, "--seed", seed} + smallSample);
        QVERIFY2(run.exitCode == 0, run.err.constData());
    }
    QElapsedTimer timer;
    timer.start();
    const Run run = runGenerator({sampleDefault});
    defaultSeconds = timer.elapsed() / 1000.0;
    QVERIFY2(run.exitCode == 0, run.err.constData());
    qInfo("default sample generated in %.1f s", defaultSeconds);
}

void TestSampleGenerator::defaultSampleIsQuickAndComplete()
{
    QVERIFY2(defaultSeconds < 30.0, qPrintable(QString::number(defaultSeconds)));
    QVector<Camera> cameras;
    QStringList rasters, meshes;
    QVERIFY(PolyforgeProject::readProject(sampleDefault + "/sample.pfp", cameras, rasters, meshes));
    QCOMPARE(cameras.size(), 24);
    int portrait = 0;
    for (const Camera &c : cameras) {
        QVERIFY((c.viewportPx[0] == 1600 && c.viewportPx[1] == 1200) ||
                (c.viewportPx[0] == 1200 && c.viewportPx[1] == 1600));
        portrait += c.viewportPx[1] > c.viewportPx[0];
    }
    QVERIFY(portrait > 0 && portrait < 24);

    const QJsonObject model = readTruth(sampleDefault)["model"].toObject();
    ksr::CMesh full, lowRes;
    int mask = 0;
    QCOMPARE(ksr::io::importMesh(full, sampleDefault + "/" + model["full"].toString(), mask), 0);
    QCOMPARE(ksr::io::importMesh(lowRes, sampleDefault + "/" + model["lowResolution"].toString(), mask), 0);
    QVERIFY2(full.face.size() > 45000 && full.face.size() <= 50000,
             qPrintable(QString::number(full.face.size())));
    QVERIFY(lowRes.face.size() <= 5000);
    QCOMPARE(int(full.face.size()), model["triangles"].toInt());
}

void TestSampleGenerator::sameSeedGivesIdenticalFiles()
{
    const auto a = folderContents(sampleA), b = folderContents(sampleB);
    QCOMPARE(a.keys(), b.keys());
    QVERIFY(a.size() >= 12 + 5);
    for (auto it = a.cbegin(); it != a.cend(); ++it)
        QVERIFY2(it.value() == b.value(it.key()), qPrintable(it.key()));
}

void TestSampleGenerator::otherSeedGivesAnotherScene()
{
    const auto a = folderContents(sampleA), c = folderContents(sampleC);
    QCOMPARE(a.keys(), c.keys());
    for (const QString name : {"model/scene.ply", "truth.json", "sample.pfp", "photos/img_0001.jpg"})
        QVERIFY2(a.value(name) != c.value(name), qPrintable(name));
    QVERIFY(readTruth(sampleA)["objects"] != readTruth(sampleC)["objects"]);
}

void TestSampleGenerator::projectReadsBack()
{
    QVector<Camera> cameras;
    QStringList rasters, meshes;
    QVERIFY(PolyforgeProject::readProject(sampleA + "/sample.pfp", cameras, rasters, meshes));
    QCOMPARE(cameras.size(), 12);
    QCOMPARE(rasters.size(), 12);
    QCOMPARE(meshes.size(), 1);
    QVERIFY(QDir::isRelativePath(meshes.first()));
    QVERIFY(QFileInfo::exists(sampleA + "/" + meshes.first()));
    const QJsonArray photographs = readTruth(sampleA)["photographs"].toArray();
    QCOMPARE(photographs.size(), 12);
    for (int i = 0; i < rasters.size(); ++i) {
        QVERIFY2(QDir::isRelativePath(rasters[i]), qPrintable(rasters[i]));
        QVERIFY2(QFileInfo::exists(sampleA + "/" + rasters[i]), qPrintable(rasters[i]));
        QCOMPARE(rasters[i], photographs[i].toObject()["image"].toString());
        const Camera &c = cameras[i];
        QVERIFY(c.isSet() && c.focalMm > 0.0f);
        QCOMPARE(c.centerPx[0], std::round(c.centerPx[0]));
        QCOMPARE(c.centerPx[1], std::round(c.centerPx[1]));
        for (int r = 0; r < 3; ++r) // rows are the camera axes: unit and mutually orthogonal
            for (int s = 0; s < 3; ++s)
                QVERIFY(std::fabs(c.rotation.row(r).dot(c.rotation.row(s)) - (r == s ? 1.0f : 0.0f)) < 1e-4f);
    }

    QFile file(sampleA + "/sample.pfp");
    QVERIFY(file.open(QIODevice::ReadOnly));
    QDomDocument document;
    QVERIFY(document.setContent(&file));
    QCOMPARE(document.documentElement().tagName(), QString("PolyforgeProject"));
    const QDomNodeList groups = document.documentElement().elementsByTagName("RasterGroup");
    QCOMPARE(groups.size(), 2);
    for (int g = 0; g < 2; ++g)
        QVERIFY(groups.at(g).toElement().elementsByTagName("PFRaster").size() > 0);
    QCOMPARE(document.documentElement().elementsByTagName("MeshGroup").size(), 1);
}

void TestSampleGenerator::modelFilesImport()
{
    const QJsonObject model = readTruth(sampleA)["model"].toObject();
    ksr::CMesh full, lowRes, points;
    int fullMask = 0, lowMask = 0, pointMask = 0;
    QCOMPARE(ksr::io::importMesh(full, sampleA + "/" + model["full"].toString(), fullMask), 0);
    QCOMPARE(ksr::io::importMesh(lowRes, sampleA + "/" + model["lowResolution"].toString(), lowMask), 0);
    QCOMPARE(ksr::io::importMesh(points, sampleA + "/" + model["pointCloud"].toString(), pointMask), 0);
    QVERIFY(fullMask & ksr::io::MaskVertexColor);
    QVERIFY(pointMask & ksr::io::MaskVertexColor);
    QVERIFY(full.face.size() > 2500 && full.face.size() <= 3000);
    QCOMPARE(int(full.face.size()), model["triangles"].toInt());
    QCOMPARE(int(lowRes.face.size()), model["lowResolutionTriangles"].toInt());
    QVERIFY(points.isPointCloud());
    QCOMPARE(int(points.vert.size()), model["points"].toInt());
    // The same surfaces at both resolutions: the same box, which the depth job's clipping uses.
    full.updateBoundingBox();
    lowRes.updateBoundingBox();
    QCOMPARE(full.bboxMin, lowRes.bboxMin);
    QCOMPARE(full.bboxMax, lowRes.bboxMax);
    // Not one grey default: the colours come from the file.
    bool coloured = false;
    for (const ksr::CVertex &v : full.vert)
        coloured = coloured || !(v.c == ksr::Color4b());
    QVERIFY(coloured);
}

void TestSampleGenerator::photographsDecodeAtCameraSize()
{
    QVector<Camera> cameras;
    QStringList rasters, meshes;
    QVERIFY(PolyforgeProject::readProject(sampleA + "/sample.pfp", cameras, rasters, meshes));
    int portrait = 0;
    for (int i = 0; i < rasters.size(); ++i) {
        QImageReader reader(sampleA + "/" + rasters[i]);
        QCOMPARE(reader.format(), QByteArray("jpeg"));
        const QImage image = reader.read();
        QVERIFY2(!image.isNull(), qPrintable(reader.errorString()));
        QCOMPARE(image.size(), QSize(cameras[i].viewportPx[0], cameras[i].viewportPx[1]));
        QVERIFY(image.size() == QSize(320, 240) || image.size() == QSize(240, 320));
        portrait += image.height() > image.width();
    }
    QVERIFY(portrait > 0 && portrait < rasters.size());
}

void TestSampleGenerator::exifReadsBackWithExiftool()
{
    const QString exiftool = QStandardPaths::findExecutable("exiftool");
    if (exiftool.isEmpty())
        QFAIL("exiftool is missing (Debian package libimage-exiftool-perl)");
    const QJsonArray photographs = readTruth(sampleA)["photographs"].toArray();
    QStringList arguments = {"-json", "-DateTimeOriginal", "-ExifByteOrder", "-Warning", "-Error"};
    for (const QJsonValue &p : photographs)
        arguments << sampleA + "/" + p.toObject()["image"].toString();
    QProcess process;
    process.start(exiftool, arguments);
    QVERIFY(process.waitForFinished(60000));
    QCOMPARE(process.exitCode(), 0);
    const QJsonArray read = QJsonDocument::fromJson(process.readAllStandardOutput()).array();
    QCOMPARE(read.size(), photographs.size());
    for (int i = 0; i < read.size(); ++i) {
        const QJsonObject tags = read[i].toObject();
        const QJsonObject truth = photographs[i].toObject();
        QVERIFY2(tags["SourceFile"].toString().endsWith(truth["image"].toString()),
                 qPrintable(truth["image"].toString()));
        QCOMPARE(tags["DateTimeOriginal"].toString(), truth["exifDateTime"].toString());
        QVERIFY2(!tags.contains("Warning") && !tags.contains("Error"),
                 qPrintable(tags["Warning"].toString()));
        // Byte order alternates, starting with Intel order.
        const QString order = tags["ExifByteOrder"].toString();
        QVERIFY2(order.contains(i % 2 == 0 ? "(Intel, II)" : "(Motorola, MM)"), qPrintable(order));
    }
}

void TestSampleGenerator::ownExifReaderFindsShotTimes()
{
    // The reader the ordering job uses must get the same times from both byte orders.
    for (const QJsonValue &v : readTruth(sampleA)["photographs"].toArray()) {
        const QJsonObject p = v.toObject();
        const std::optional<QDateTime> time = readExifShotTime(sampleA + "/" + p["image"].toString());
        QVERIFY2(time.has_value(), qPrintable(p["image"].toString()));
        QCOMPARE(time->toString("yyyy:MM:dd HH:mm:ss"), p["exifDateTime"].toString());
    }
}

void TestSampleGenerator::captureTimesFollowTheWalks()
{
    const QJsonArray photographs = readTruth(sampleA)["photographs"].toArray();
    qint64 longestStep = 0, shortestBreak = std::numeric_limits<qint64>::max();
    int walks = 1;
    for (int i = 1; i < photographs.size(); ++i) {
        const QJsonObject prev = photographs[i - 1].toObject(), cur = photographs[i].toObject();
        const QDateTime a = QDateTime::fromString(prev["captureTime"].toString(), Qt::ISODate);
        const QDateTime b = QDateTime::fromString(cur["captureTime"].toString(), Qt::ISODate);
        QVERIFY(a.isValid() && b.isValid());
        QCOMPARE(b.toString("yyyy:MM:dd HH:mm:ss"), cur["exifDateTime"].toString());
        const qint64 gap = a.secsTo(b);
        QVERIFY2(gap > 0, "capture times must increase");
        if (cur["walk"].toInt() != prev["walk"].toInt()) {
            ++walks;
            shortestBreak = std::min(shortestBreak, gap);
        } else {
            longestStep = std::max(longestStep, gap);
        }
    }
    QCOMPARE(walks, 3);
    QVERIFY(shortestBreak > 5 * longestStep);
}

void TestSampleGenerator::buildingWallsShowTheirColour()
{
    const QJsonObject truth = readTruth(sampleA);
    QVector<Camera> cameras;
    QStringList rasters, meshes;
    QVERIFY(PolyforgeProject::readProject(sampleA + "/sample.pfp", cameras, rasters, meshes));

    struct Box {
        QString name;
        ksr::Point3f lo, hi;
        float wallTop;
        QColor colour;
    };
    QVector<Box> boxes, buildings;
    for (const QJsonValue &v : truth["objects"].toArray()) {
        const QJsonObject o = v.toObject();
        const Box box{o["name"].toString(), pointFrom(o["min"]), pointFrom(o["max"]),
                      float(o["wallTop"].toDouble()), QColor(o["colour"].toString())};
        boxes.append(box);
        if (o["kind"].toString() == "building")
            buildings.append(box);
    }
    QVERIFY(buildings.size() >= 8);

    int checked = 0;
    for (int i = 0; i < cameras.size(); ++i) {
        const Camera &camera = cameras[i];
        const QImage photo(sampleA + "/" + rasters[i]);
        QVERIFY(!photo.isNull());
        for (const Box &b : buildings) {
            const ksr::Point3f mid = (b.lo + b.hi) * 0.5f;
            const float h = b.wallTop * 0.5f;
            // The four walls: centre at half the wall height, outward normal, half extents.
            const struct {
                ksr::Point3f centre, normal, along;
            } walls[4] = {{{mid.x, b.lo.y, h}, {0, -1, 0}, {(b.hi.x - b.lo.x) / 2, 0, 0}},
                          {{mid.x, b.hi.y, h}, {0, 1, 0}, {(b.hi.x - b.lo.x) / 2, 0, 0}},
                          {{b.lo.x, mid.y, h}, {-1, 0, 0}, {0, (b.hi.y - b.lo.y) / 2, 0}},
                          {{b.hi.x, mid.y, h}, {1, 0, 0}, {0, (b.hi.y - b.lo.y) / 2, 0}}};
            for (const auto &wall : walls) {
                if ((camera.center.toFloat() - wall.centre).dot(wall.normal) < 1.0f)
                    continue; // seen from behind or edge-on
                // The wall centre and four points around it must be in view and unobstructed.
                const ksr::Point3f up{0, 0, h * 0.4f};
                const ksr::Point3f probes[5] = {wall.centre, wall.centre + wall.along * 0.4f,
                                                wall.centre - wall.along * 0.4f, wall.centre + up,
                                                wall.centre - up};
                double cols[5], rows[5];
                bool usable = true;
                for (int k = 0; k < 5 && usable; ++k) {
                    const ksr::Point3f onWall = probes[k] + wall.normal * 0.01f;
                    usable = imagePosition(camera, probes[k], cols[k], rows[k]);
                    for (const Box &other : boxes)
                        usable =
                            usable && !segmentHitsBox(camera.center.toFloat(), onWall, other.lo, other.hi);
                }
                if (!usable || std::fabs(cols[1] - cols[2]) < 8 || std::fabs(rows[3] - rows[4]) < 8)
                    continue;
                int sum[3] = {0, 0, 0};
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx) {
                        const QRgb px = photo.pixel(int(cols[0]) + dx, int(rows[0]) + dy);
                        sum[0] += qRed(px);
                        sum[1] += qGreen(px);
                        sum[2] += qBlue(px);
                    }
                const QColor seen(sum[0] / 9, sum[1] / 9, sum[2] / 9);
                const QString where = QString("%1 at (%2, %3) in %4 should show %5, has %6")
                                          .arg(b.name)
                                          .arg(cols[0])
                                          .arg(rows[0])
                                          .arg(rasters[i], b.colour.name(), seen.name());
                // Shading scales the colour; its hue stays.
                QVERIFY2(seen.hsvSaturationF() > 0.3, qPrintable(where));
                QVERIFY2(hueDistanceDegrees(seen, b.colour) < 12.0, qPrintable(where));
                ++checked;
            }
        }
    }
    qInfo("%d building walls checked", checked);
    QVERIFY(checked >= 5);
}

void TestSampleGenerator::truthDepthsArePlausible()
{
    // Depths are positive and within the scene; close-ups see nearer surfaces than the orbit.
    const QJsonArray photographs = readTruth(sampleA)["photographs"].toArray();
    double orbit = 0.0, closeUp = 1e9;
    for (const QJsonValue &v : photographs) {
        const QJsonObject p = v.toObject();
        const double depth = p["depth"].toDouble();
        QVERIFY2(depth > 0.5 && depth < 200.0, qPrintable(p["image"].toString()));
        if (p["walk"].toInt() == 0)
            orbit = std::max(orbit, depth);
        if (p["walk"].toInt() == 2)
            closeUp = std::min(closeUp, depth);
    }
    QVERIFY(closeUp < orbit);
}

void TestSampleGenerator::rejectsBadArguments_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("message");
    QTest::newRow("no folder") << QStringList{} << "OUTPUT_DIR";
    QTest::newRow("empty folder name") << QStringList{""} << "empty";
    QTest::newRow("two folders") << QStringList{"x", "y"} << "OUTPUT_DIR";
    QTest::newRow("no views") << QStringList{"x", "--views", "0"} << "--views";
    QTest::newRow("views not a number") << QStringList{"x", "--views", "many"} << "--views";
    QTest::newRow("too few triangles") << QStringList{"x", "--triangles", "10"} << "--triangles";
    QTest::newRow("size malformed") << QStringList{"x", "--size", "320by240"} << "--size";
    QTest::newRow("size too small") << QStringList{"x", "--size", "8x8"} << "--size";
    QTest::newRow("size too large") << QStringList{"x", "--size", "10000x10000"} << "--size";
    QTest::newRow("negative seed") << QStringList{"x", "--seed", "-3"} << "--seed";
    QTest::newRow("unknown option") << QStringList{"x", "--colour", "red"} << "colour";
}

void TestSampleGenerator::rejectsBadArguments()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, message);
    QTemporaryDir dir;
    for (QString &a : arguments)
        if (a == "x" || a == "y")
            a = dir.filePath(a);
    const Run run = runGenerator(arguments);
    QVERIFY(run.exitCode > 0);
    QVERIFY2(run.err.contains(message.toUtf8()), run.err.constData());
    QVERIFY(!QFileInfo::exists(dir.filePath("x")));
}

void TestSampleGenerator::keepsUserFiles()
{
    QTemporaryDir dir;
    // A folder holding someone's file is refused and the file kept as it was.
    const QString notes = dir.filePath("notes/todo.txt");
    QVERIFY(writeFile(notes, "keep me"));
    Run run = runGenerator(QStringList{dir.filePath("notes")} + smallSample);
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.err.contains("not empty"), run.err.constData());
    QCOMPARE(readFile(notes), QByteArray("keep me"));
    QVERIFY(!QFileInfo::exists(dir.filePath("notes/sample.pfp")));

    // An existing file as output folder, or a folder below a file: a message, nothing touched.
    run = runGenerator(QStringList{notes} + smallSample);
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.err.contains("not a folder"), run.err.constData());
    run = runGenerator(QStringList{notes + "/sample"} + smallSample);
    QCOMPARE(run.exitCode, 1);
    QVERIFY(!run.err.isEmpty());
    QCOMPARE(readFile(notes), QByteArray("keep me"));
}

void TestSampleGenerator::overwriteReplacesSampleAndStaleThumbnails()
{
    QTemporaryDir dir;
    const QString folder = dir.filePath("sample");
    // A trailing slash names the same folder.
    QCOMPARE(runGenerator(QStringList{folder + "/", "--seed", "7"} + smallSample).exitCode, 0);
    QVERIFY(QFileInfo::exists(folder + "/sample.pfp"));
    for (const QString name : {"photos/thumbnails/img_0001.jpg", "mine.txt"})
        QVERIFY(writeFile(folder + "/" + name, "old"));
    QCOMPARE(runGenerator(QStringList{folder, "--seed", "8"} + smallSample).exitCode, 1);
    const Run run = runGenerator(QStringList{folder, "--seed", "8", "--overwrite"} + smallSample);
    QVERIFY2(run.exitCode == 0, run.err.constData());
    // The thumbnail of the old photograph would no longer match it.
    QVERIFY(!QFileInfo::exists(folder + "/photos/thumbnails/img_0001.jpg"));
    QVERIFY(QFileInfo::exists(folder + "/mine.txt"));
    const auto fresh = folderContents(sampleC), replaced = folderContents(folder);
    for (auto it = fresh.cbegin(); it != fresh.cend(); ++it)
        QVERIFY2(replaced.value(it.key()) == it.value(), qPrintable(it.key()));

    // Fewer photographs: the earlier ones beyond the new count go; other files stay.
    QVERIFY(writeFile(folder + "/photos/holiday.jpg", QByteArray()));
    const Run fewer =
        runGenerator({folder, "--overwrite", "--views", "5", "--size", "64x48", "--triangles", "1000"});
    QVERIFY2(fewer.exitCode == 0, fewer.err.constData());
    QVERIFY(QFileInfo::exists(folder + "/photos/img_0005.jpg"));
    QVERIFY(!QFileInfo::exists(folder + "/photos/img_0006.jpg"));
    QVERIFY(!QFileInfo::exists(folder + "/photos/img_0012.jpg"));
    QVERIFY(QFileInfo::exists(folder + "/photos/holiday.jpg"));
    QVERIFY(QFileInfo::exists(folder + "/mine.txt"));
}

void TestSampleGenerator::helpExplainsOptions()
{
    const Run run = runGenerator({"--help"});
    QCOMPARE(run.exitCode, 0);
    for (const char *option : {"--seed", "--views", "--triangles", "--size", "--overwrite", "OUTPUT_DIR"})
        QVERIFY2(run.out.contains(option), option);
}

QTEST_GUILESS_MAIN(TestSampleGenerator)
#include "tst_samplegenerator.moc"
