// The Metashape, transforms.json, Meshroom and OpenMVG readers (and COLMAP with tabs, NVM FixedK)
// against the COLMAP fixture they were converted from (tools/sfm-fixtures): the same cameras;
// hand-computed cases for the rules the fixtures cannot show; damaged files never crash.
#include "colmapmodel.h"
#include "meshroomsfm.h"
#include "metashapexml.h"
#include "nvmfile.h"
#include "openmvgjson.h"
#include "sfmtestutil.h"
#include "transformsjson.h"

#include <QTemporaryDir>
#include <QtTest>

namespace
{

QString fixture(const QString &name)
{
    return QStringLiteral(ORVELLE_SOURCE_DIR "/tests/data/sfm/") + name;
}

SfmReconstruction readAny(const QString &path)
{
    if (path.endsWith(QLatin1String(".xml")))
        return MetashapeXml::read(path);
    if (path.endsWith(QLatin1String(".sfm")))
        return MeshroomSfm::read(path);
    if (path.endsWith(QLatin1String("sfm_data.json")))
        return OpenMvgJson::read(path);
    if (path.endsWith(QLatin1String(".json")))
        return TransformsJson::read(path);
    if (path.endsWith(QLatin1String(".nvm")))
        return NvmFile::read(path);
    return ColmapModel::readModel(path);
}

// "walk/img_0033", "/data/photos/img_0033.jpg", "images/img_0033" -> "img_0033"
QString stem(const QString &name)
{
    return QFileInfo(name.section(QLatin1Char('/'), -1)).completeBaseName();
}

ksr::Point3f axis(const Camera &camera, int row)
{
    return ksr::Point3f(camera.rotation.m[row][0], camera.rotation.m[row][1], camera.rotation.m[row][2]);
}

double focalPx(const Camera &camera, int i)
{
    return double(camera.focalMm) / camera.pixelSizeMm[i];
}

// Largest differences of the camera from the truth: axes (degrees), centre, focal lengths and
// principal point (pixels).
struct Difference {
    double degrees = 0, centre = 0, pixels = 0;
};

Difference compare(const Camera &camera, const Camera &truth)
{
    Difference d;
    for (int row = 0; row < 3; ++row)
        d.degrees = std::max(d.degrees, angleDegrees(axis(camera, row), axis(truth, row)));
    d.centre = double((camera.center - truth.center).length());
    for (int i = 0; i < 2; ++i)
        d.pixels = std::max({d.pixels, std::fabs(focalPx(camera, i) - focalPx(truth, i)),
                             std::fabs(double(camera.centerPx[i] - truth.centerPx[i]))});
    return d;
}

const QByteArray metashapeHeader =
    "<document version=\"1.5.0\"><chunk><sensors>"
    "<sensor id=\"0\" label=\"body\" type=\"frame\"><calibration class=\"adjusted\">"
    "<resolution width=\"800\" height=\"600\"/><f>700</f></calibration></sensor>"
    "</sensors>";

} // namespace

class TestSfmFormats : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void sameCamerasAsColmap_data();
    void sameCamerasAsColmap();
    void metashapeChunkTransform_data();
    void metashapeChunkTransform();
    void realMetashapeExport();
    void metashapeOlderCalibration();
    void meshroomPixelRatio_data();
    void meshroomPixelRatio();
    void sizeFromThePhotograph_data();
    void sizeFromThePhotograph();
    void refused_data();
    void refused();
    void damagedNeverCrash_data();
    void damagedNeverCrash();

private:
    QTemporaryDir dir;
    QHash<QString, Camera> truth; // by stem
    double sceneSize = 0;
    QString write(const QString &name, const QByteArray &content);
};

QString TestSfmFormats::write(const QString &name, const QByteArray &content)
{
    const QString path = dir.filePath(name);
    writeText(path, content);
    return path;
}

void TestSfmFormats::initTestCase()
{
    const SfmReconstruction colmap = ColmapModel::readModel(fixture("txt"));
    QVERIFY2(colmap.ok(), qPrintable(colmap.error));
    for (const SfmImage &image : colmap.images)
        truth.insert(stem(image.name), image.camera);
    QCOMPARE(truth.size(), 25);
    ksr::Point3f low(1e9f, 1e9f, 1e9f), high(-1e9f, -1e9f, -1e9f);
    for (const SfmPoint &point : colmap.points)
        for (int i = 0; i < 3; ++i) {
            low[i] = std::min(low[i], float(point.position[i]));
            high[i] = std::max(high[i], float(point.position[i]));
        }
    sceneSize = double((high - low).length());
    QVERIFY(sceneSize > 10);

    // COLMAP text with tabs between the fields and a name holding spaces.
    QByteArray images = readBytes(fixture("txt/images.txt"));
    images.replace("img_0033.jpg", "img 0033 copy.jpg");
    QByteArray tabbed;
    for (QByteArray line : images.split('\n')) {
        if (!line.startsWith('#'))
            line.replace(' ', '\t').replace("img\t0033\tcopy", "img 0033 copy");
        tabbed += line + '\n';
    }
    QVERIFY(QDir().mkpath(dir.filePath("tabs")));
    QVERIFY(QFile::copy(fixture("txt/cameras.txt"), dir.filePath("tabs/cameras.txt")));
    write("tabs/images.txt", tabbed);
}

void TestSfmFormats::sameCamerasAsColmap_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("images");
    QTest::addColumn<int>("leftOut");
    QTest::addColumn<int>("points");
    QTest::newRow("Metashape 1.5") << fixture("metashape/cameras-1.5.xml") << 25 << 2 << 0;
    QTest::newRow("Metashape 2.1") << fixture("metashape/cameras-2.1.xml") << 25 << 2 << 0;
    QTest::newRow("nerfstudio") << fixture("transforms/transforms.json") << 25 << 0 << 0;
    QTest::newRow("instant-ngp") << fixture("transforms/instant-ngp.json") << 9 << 0 << 0;
    for (const char *version : {"1.2.0", "1.2.1", "1.2.4", "1.2.5", "1.2.11"})
        QTest::addRow("Meshroom %s", version)
            << fixture(QStringLiteral("meshroom/cameras-%1.sfm").arg(QLatin1String(version))) << 25 << 2
            << (QByteArray(version) == "1.2.5" ? 396 : 0);
    QTest::newRow("OpenMVG") << fixture("openmvg/sfm_data.json") << 25 << 2 << 396;
    QTest::newRow("COLMAP tabs") << QString() << 25 << 0 << 0;
}

void TestSfmFormats::sameCamerasAsColmap()
{
    QFETCH(QString, path);
    QFETCH(int, images);
    QFETCH(int, leftOut);
    QFETCH(int, points);
    const SfmReconstruction result = readAny(path.isEmpty() ? dir.filePath("tabs") : path);
    QVERIFY2(result.ok(), qPrintable(result.error));
    QCOMPARE(result.images.size(), images);
    QCOMPARE(result.leftOut.size(), leftOut);
    QCOMPARE(result.points.size(), points);
    if (leftOut > 0)
        QVERIFY2(result.warnings.join('\n').contains(QString::number(leftOut)),
                 qPrintable(result.warnings.join('\n')));
    Difference worst;
    for (const SfmImage &image : result.images) {
        const QString name = stem(image.name) == QLatin1String("img 0033 copy") ? QStringLiteral("img_0033")
                                                                                : stem(image.name);
        QVERIFY2(truth.contains(name), qPrintable(image.name));
        QVERIFY(!image.sizeFromPhoto);
        const Difference d = compare(image.camera, truth.value(name));
        worst = {std::max(worst.degrees, d.degrees), std::max(worst.centre, d.centre),
                 std::max(worst.pixels, d.pixels)};
        QCOMPARE(image.camera.distortion[0], truth.value(name).distortion[0]);
    }
    qInfo("worst: %.5f degrees, %.5f %% of the scene, %.4f pixels", worst.degrees,
          100 * worst.centre / sceneSize, worst.pixels);
    QVERIFY(worst.degrees < 0.05);
    QVERIFY(worst.centre < 0.001 * sceneSize);
    QVERIFY(worst.pixels < 1.0);
}

void TestSfmFormats::metashapeChunkTransform_data()
{
    QTest::addColumn<QByteArray>("transforms"); // chunk and component transforms
    // Chunk: 90 degrees about z, translation (10, 20, 30), scale 2. The camera at (1, 0, 0) of the
    // chunk, its axes those of the chunk, is at 2 * (0, 1, 0) + (10, 20, 30) in the world, looking
    // along the chunk's z, which stays (0, 0, 1); its image x axis is the world's y.
    const QByteArray similarity = "<transform><rotation>0 -1 0 1 0 0 0 0 1</rotation>"
                                  "<translation>10 20 30</translation><scale>2</scale></transform>";
    QTest::newRow("1.x chunk transform") << QByteArray("</cameras>" + similarity);
    QTest::newRow("2.x repeated on the component, applied once")
        << QByteArray("</cameras>" + similarity + "<components><component id=\"0\">" + similarity +
                      "</component></components>");
}

void TestSfmFormats::metashapeChunkTransform()
{
    QFETCH(QByteArray, transforms);
    const QString path =
        write("chunk.xml",
              metashapeHeader +
                  "<cameras><group id=\"0\"><camera id=\"0\" sensor_id=\"0\" component_id=\"0\" label=\"a\">"
                  "<transform>1 0 0 1  0 1 0 0  0 0 1 0  0 0 0 1</transform></camera></group>"
                  "<camera id=\"1\" sensor_id=\"0\" label=\"unaligned\"/>" +
                  transforms + "</chunk></document>");
    const SfmReconstruction result = MetashapeXml::read(path);
    QVERIFY2(result.ok(), qPrintable(result.error));
    QCOMPARE(result.images.size(), 1);
    QCOMPARE(result.leftOut, QStringList{"unaligned"});
    const Camera &camera = result.images.first().camera;
    QVERIFY(double((camera.center - ksr::Point3f(10, 22, 30)).length()) < 1e-5);
    QVERIFY(angleDegrees(-axis(camera, 2), ksr::Point3f(0, 0, 1)) < 1e-4);
    QVERIFY(angleDegrees(axis(camera, 0), ksr::Point3f(0, 1, 0)) < 1e-4);
    QVERIFY(std::fabs(focalPx(camera, 0) - 700) < 1e-3);
}

// A real 2.0 export (see tests/data/sfm/metashape/SOURCE.md): component transform with a
// georeferenced translation, affinity, skew and distortion terms we do not hold.
void TestSfmFormats::realMetashapeExport()
{
    const SfmReconstruction result = MetashapeXml::read(fixture("metashape/real-2.0-excerpt.xml"));
    QVERIFY2(result.ok(), qPrintable(result.error));
    QCOMPARE(result.images.size(), 1);
    QCOMPARE(result.images.first().name,
             QStringLiteral("/home/user/image_sets/0001/nadir/000001/000001-01/00/000001-01_00001.JPG"));
    const Camera &camera = result.images.first().camera;
    // s R c + t and R times the camera's z axis, worked out from the file's numbers.
    const double centre[3] = {-2499265.9460418783, -4256833.490233691, 4029289.2851942736};
    for (int i = 0; i < 3; ++i)
        QVERIFY2(std::fabs(camera.center[i] - centre[i]) < 1.0,
                 qPrintable(QString::number(camera.center[i])));
    QVERIFY(angleDegrees(-axis(camera, 2), ksr::Point3f(0.40140412f, 0.66916418f, -0.62537511f)) < 1e-3);
    // f + b1 across, f down; principal point offsets from the centre of 5280 x 3956.
    QVERIFY(std::fabs(focalPx(camera, 0) - 3705.9990816810) < 1e-2);
    QVERIFY(std::fabs(focalPx(camera, 1) - 3705.4728792737) < 1e-2);
    QVERIFY(std::fabs(camera.centerPx[0] - 2628.3261476f) < 1e-2f);
    QVERIFY(std::fabs(camera.centerPx[1] - 2005.7497969f) < 1e-2f);
    QCOMPARE(camera.distortion[0], -0.0919367147f);
    const QString warnings = result.warnings.join('\n');
    QVERIFY2(warnings.contains("k3, k4, p1 and p2") && warnings.contains("b2"), qPrintable(warnings));
}

// Older exports write fx, fy and a principal point measured from the top-left corner.
void TestSfmFormats::metashapeOlderCalibration()
{
    const QString path =
        write("older.xml",
              "<document version=\"1.2.0\"><chunk><sensors><sensor id=\"0\" label=\"s\" type=\"frame\">"
              "<resolution width=\"2048\" height=\"1536\"/><calibration type=\"frame\" class=\"adjusted\">"
              "<resolution width=\"2048\" height=\"1536\"/><fx>1023.5</fx><fy>1020</fy><cx>1000</cx>"
              "<cy>700</cy><skew>0</skew><k1>0.01</k1></calibration></sensor></sensors><cameras>"
              "<camera id=\"0\" sensor_id=\"0\" label=\"a\"><transform>1 0 0 0 0 1 0 0 0 0 1 0 0 0 0 1"
              "</transform></camera></cameras></chunk></document>");
    const SfmReconstruction result = MetashapeXml::read(path);
    QVERIFY2(result.ok() && result.warnings.isEmpty(), qPrintable(result.error + result.warnings.join('\n')));
    const Camera &camera = result.images.first().camera;
    QVERIFY(std::fabs(focalPx(camera, 0) - 1023.5) < 1e-3 && std::fabs(focalPx(camera, 1) - 1020) < 1e-3);
    QCOMPARE(camera.centerPx[0], 1048.0f);
    QCOMPARE(camera.centerPx[1], 836.0f);
}

void TestSfmFormats::meshroomPixelRatio_data()
{
    QTest::addColumn<QByteArray>("version");
    QTest::addColumn<double>("fyOverFx");
    QTest::addColumn<bool>("ruleAssumed"); // a warning says the rule is assumed
    // Before 1.2.5 "pixelRatio" held fx / fy, from 1.2.5 the pixel aspect ratio fy / fx.
    QTest::newRow("1.2.4") << QByteArray("4") << 0.5 << false;
    QTest::newRow("1.2.5") << QByteArray("5") << 2.0 << false;
    QTest::newRow("1.2.11") << QByteArray("11") << 2.0 << true;
}

void TestSfmFormats::meshroomPixelRatio()
{
    QFETCH(QByteArray, version);
    QFETCH(double, fyOverFx);
    QFETCH(bool, ruleAssumed);
    const QString path = write(
        "ratio.sfm",
        "{\"version\": [\"1\", \"2\", \"" + version +
            "\"], \"views\": [{\"viewId\": \"1\", \"poseId\": \"1\", \"intrinsicId\": \"2\", \"path\": "
            "\"a.jpg\"}], \"intrinsics\": [{\"intrinsicId\": \"2\", \"width\": \"800\", \"height\": "
            "\"600\", \"sensorWidth\": \"36\", \"focalLength\": \"36\", \"pixelRatio\": \"2\", "
            "\"principalPoint\": [\"10\", \"0\"], \"type\": \"radial3\", \"distortionParams\": [\"0.1\", "
            "\"0\", \"0.01\"]}], \"poses\": [{\"poseId\": \"1\", \"pose\": {\"transform\": {\"rotation\": "
            "[\"1\", \"0\", \"0\", \"0\", \"1\", \"0\", \"0\", \"0\", \"1\"], \"center\": [\"0\", \"0\", "
            "\"0\"]}}}]}");
    const SfmReconstruction result = MeshroomSfm::read(path);
    QVERIFY2(result.ok(), qPrintable(result.error));
    QCOMPARE(result.images.size(), 1);
    const Camera &camera = result.images.first().camera;
    QVERIFY(std::fabs(focalPx(camera, 0) - 800) < 1e-3);
    QVERIFY(std::fabs(focalPx(camera, 1) / focalPx(camera, 0) - fyOverFx) < 1e-5);
    // Offset from the centre: 410 from the left, 390 from the right.
    QCOMPARE(camera.centerPx[0], 390.0f);
    // k3 is reported, not dropped silently.
    const QString warnings = result.warnings.join('\n');
    QVERIFY2(warnings.contains("k1 and k2 only"), qPrintable(warnings));
    QCOMPARE(warnings.contains("version 1.2.11"), ruleAssumed);
}

void TestSfmFormats::sizeFromThePhotograph_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<double>("fx");
    QTest::addColumn<double>("fy");
    QTest::addColumn<float>("centreX"); // ours, from the right edge of an 800 x 600 photograph
    QTest::addColumn<float>("centreY");
    QTest::newRow("NVM FixedK") << "fixed.nvm"
                                << QByteArray(
                                       "NVM_V3 FixedK 700 300 710 250 0\n\n1\na.jpg 650 1 0 0 0 0 0 0 0 0\n")
                                << 700.0 << 710.0 << 500.0f << 350.0f;
    const QByteArray frame = "\"frames\": [{\"file_path\": \"a\", \"transform_matrix\": "
                             "[[1,0,0,0],[0,1,0,0],[0,0,1,0],[0,0,0,1]]}]}";
    // 90 degrees across 800 pixels: 400 pixels.
    QTest::newRow("transforms.json angle only")
        << "angle.json" << QByteArray("{\"camera_angle_x\": 1.5707963267948966, " + frame) << 400.0 << 400.0
        << 400.0f << 300.0f;
    QTest::newRow("transforms.json without size")
        << "nosize.json" << QByteArray("{\"fl_x\": 500, \"fl_y\": 510, \"cx\": 390, \"cy\": 310, " + frame)
        << 500.0 << 510.0 << 410.0f << 290.0f;
}

void TestSfmFormats::sizeFromThePhotograph()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, content);
    QFETCH(double, fx);
    QFETCH(double, fy);
    QFETCH(float, centreX);
    QFETCH(float, centreY);
    const SfmReconstruction result = readAny(write(name, content));
    QVERIFY2(result.ok() && result.warnings.isEmpty(), qPrintable(result.error + result.warnings.join('\n')));
    QVERIFY(result.images.first().sizeFromPhoto);
    const Camera camera = SfmCameras::completedWithPhoto(result.images.first(), 800, 600);
    QCOMPARE(camera.viewportPx[0], 800);
    QVERIFY(std::fabs(focalPx(camera, 0) - fx) < 1e-3 && std::fabs(focalPx(camera, 1) - fy) < 1e-3);
    QCOMPARE(camera.centerPx[0], centreX);
    QCOMPARE(camera.centerPx[1], centreY);
}

void TestSfmFormats::refused_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("expected"); // in the error
    QTest::newRow("Metashape spherical sensor")
        << "s.xml"
        << QByteArray(
               "<document><chunk><sensors><sensor id=\"0\" label=\"360 rig\" type=\"spherical\"/></sensors>"
               "<cameras><camera id=\"0\" sensor_id=\"0\" label=\"a\"><transform>1 0 0 0 0 1 0 0 0 0 1 0 "
               "0 0 0 1</transform></camera></cameras></chunk></document>")
        << "spherical sensor \"360 rig\"";
    QTest::newRow("Metashape sensor without calibration")
        << "s.xml"
        << QByteArray(
               "<document><chunk><sensors><sensor id=\"0\" label=\"body\" type=\"frame\"/></sensors>"
               "<cameras><camera id=\"0\" sensor_id=\"0\" label=\"a\"><transform>1 0 0 0 0 1 0 0 0 0 1 0 "
               "0 0 0 1</transform></camera></cameras></chunk></document>")
        << "\"body\"";
    QTest::newRow("Metashape scale 0")
        << "s.xml"
        << QByteArray(metashapeHeader + "<transform><scale>0</scale></transform></chunk></document>")
        << "chunk's transform";
    QTest::newRow("Metashape no chunk") << "s.xml" << QByteArray("<document/>") << "<chunk>";
    QTest::newRow("transforms fisheye")
        << "t.json"
        << QByteArray("{\"camera_model\": \"OPENCV_FISHEYE\", \"fl_x\": 500, \"frames\": [{\"file_path\": "
                      "\"a\", \"transform_matrix\": [[1,0,0,0],[0,1,0,0],[0,0,1,0],[0,0,0,1]]}]}")
        << "OPENCV_FISHEYE";
    QTest::newRow("transforms scaled matrix")
        << "t.json"
        << QByteArray("{\"fl_x\": 500, \"frames\": [{\"file_path\": \"a\", \"transform_matrix\": "
                      "[[2,0,0,0],[0,2,0,0],[0,0,2,0],[0,0,0,1]]}]}")
        << "frame 1";
    QTest::newRow("transforms no focal")
        << "t.json"
        << QByteArray("{\"frames\": [{\"file_path\": \"a\", \"transform_matrix\": "
                      "[[1,0,0,0],[0,1,0,0],[0,0,1,0],[0,0,0,1]]}]}")
        << "camera_angle_x";
    QTest::newRow("Meshroom version 2")
        << "m.sfm" << QByteArray("{\"version\": [\"2\", \"0\", \"0\"]}") << "version";
    QTest::newRow("Meshroom fisheye")
        << "m.sfm"
        << QByteArray(
               "{\"version\": [\"1\", \"2\", \"5\"], \"intrinsics\": [{\"intrinsicId\": \"7\", \"width\": "
               "\"800\", \"height\": \"600\", \"sensorWidth\": \"36\", \"focalLength\": \"20\", "
               "\"principalPoint\": [\"0\", \"0\"], \"type\": \"fisheye4\"}]}")
        << "intrinsic 7 uses the camera model \"fisheye4\"";
    QTest::newRow("OpenMVG spherical") << "sfm_data.json"
                                       << QByteArray("{\"sfm_data_version\": \"0.3\", \"intrinsics\": "
                                                     "[{\"key\": 0, \"value\": {\"polymorphic_id\": "
                                                     "2147483649, \"polymorphic_name\": \"spherical\", "
                                                     "\"ptr_wrapper\": {\"id\": 1, \"data\": {}}}}]}")
                                       << "\"spherical\"";
    QTest::newRow("OpenMVG rotation")
        << "sfm_data.json"
        << QByteArray("{\"extrinsics\": [{\"key\": 0, \"value\": {\"rotation\": [[1,0,0],[0,1,0],[0,0,-1]], "
                      "\"center\": [0,0,0]}}]}")
        << "extrinsic 1";
    QTest::newRow("NVM FixedK without numbers")
        << "f.nvm" << QByteArray("NVM_V3 FixedK 700\n0\n") << "FixedK";
    QTest::newRow("JSON that is no object") << "t.json" << QByteArray("[1, 2]") << "no JSON object";
}

void TestSfmFormats::refused()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, content);
    QFETCH(QString, expected);
    const SfmReconstruction result = readAny(write(name, content));
    QVERIFY(!result.ok());
    QVERIFY2(result.error.contains(expected) && result.error.contains(name), qPrintable(result.error));
}

void TestSfmFormats::damagedNeverCrash_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("change"); // "cut", "flip", or text replacing the first number
    QTest::addColumn<double>("position");
    const char *files[] = {"metashape/cameras-2.1.xml",   "transforms/transforms.json",
                           "transforms/instant-ngp.json", "meshroom/cameras-1.2.0.sfm",
                           "meshroom/cameras-1.2.5.sfm",  "openmvg/sfm_data.json"};
    for (const char *file : files) {
        for (int i = 0; i < 16; ++i) {
            const double position = i < 5 ? i / 300.0 : (i - 4) / 12.0 * 0.999;
            for (const char *change : {"cut", "flip"})
                QTest::addRow("%s %s %.4f", file, change, position) << file << change << position;
        }
        // Absurd values where a number was: huge, negative, not a number, deeply nested.
        for (const char *absurd : {"1e308", "-4294967296", "nan", "\"\"",
                                   "[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[1]]]]]]]]]]]]]]]]]]]]]]]]]]]]]]]"})
            for (double position : {0.02, 0.3, 0.7})
                QTest::addRow("%s absurd %s %.2f", file, absurd, position) << file << absurd << position;
    }
}

void TestSfmFormats::damagedNeverCrash()
{
    QFETCH(QString, source);
    QFETCH(QString, change);
    QFETCH(double, position);
    QByteArray bytes = readBytes(fixture(source));
    QVERIFY(!bytes.isEmpty());
    const int at = qMin(int(position * bytes.size()), int(bytes.size()) - 1);
    if (change == QLatin1String("cut")) {
        bytes.truncate(at);
    } else if (change == QLatin1String("flip")) {
        bytes[at] = char(bytes.at(at) ^ 0xA5);
    } else {
        // The next number from the position on.
        qsizetype start = at;
        while (start < bytes.size() && !std::isdigit(uchar(bytes.at(start))))
            ++start;
        qsizetype end = start;
        while (end < bytes.size() && (std::isdigit(uchar(bytes.at(end))) || bytes.at(end) == '.'))
            ++end;
        bytes.replace(start, end - start, change.toLatin1());
    }
    const QString name = QFileInfo(source).fileName();
    const SfmReconstruction result = readAny(write(QStringLiteral("damaged/") + name, bytes));
    if (!result.ok()) {
        QVERIFY2(result.error.contains(name), qPrintable(result.error));
        return;
    }
    for (const SfmImage &image : result.images) {
        const Camera c = SfmCameras::completedWithPhoto(image, 1024, 768);
        QVERIFY(std::isfinite(c.focalMm) && c.focalMm > 0 && std::isfinite(c.center.x) &&
                std::isfinite(c.center.z) && std::isfinite(c.rotation.m[2][2]) &&
                std::isfinite(c.pixelSizeMm[1]));
    }
}

QTEST_GUILESS_MAIN(TestSfmFormats)
#include "tst_sfmformats.moc"
