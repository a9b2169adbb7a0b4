// The conversion of COLMAP, NVM and Bundler cameras into ours, checked by projecting known model
// points with each format's own formula and with our camera through the projection of the sample
// renderer (the one the GL depth renderer shares).
#include "bundlerfile.h"
#include "colmapmodel.h"
#include "nvmfile.h"
#include "sfmreconstruction.h"
#include "sfmtestutil.h"
#include "softwarerenderer.h"

#include <QTemporaryDir>
#include <QtTest>

using Files = QMap<QString, QByteArray>;

namespace
{

struct Pose {
    double q[4];      // COLMAP world-to-camera quaternion (w, x, y, z), y down, looking along +z
    double rc[9];     // its matrix
    double centre[3]; // camera centre
    double t[3];      // -Rc C
};

Pose makePose(double w, double x, double y, double z, double cx, double cy, double cz)
{
    Pose pose{{w, x, y, z}, {}, {cx, cy, cz}, {}};
    SfmCameras::quaternionToMatrix(pose.q, pose.rc);
    const double n = std::sqrt(w * w + x * x + y * y + z * z);
    for (double &v : pose.q)
        v /= n;
    for (int i = 0; i < 3; ++i)
        pose.t[i] = -(pose.rc[3 * i] * cx + pose.rc[3 * i + 1] * cy + pose.rc[3 * i + 2] * cz);
    return pose;
}

// Model points in front of the camera: along its viewing axis and off to the sides.
QVector<ksr::Point3f> pointsInView(const Pose &pose)
{
    QVector<ksr::Point3f> points;
    const double offsets[][3] = {{0, 0, 10}, {2, 1, 8}, {-3, 2, 12}, {1.5, -2.5, 6}, {-1, -1, 20}};
    for (const auto &o : offsets) {
        // camera frame (y down, z forward) to world: X = Rc^T o + C
        double world[3];
        for (int c = 0; c < 3; ++c)
            world[c] = pose.rc[c] * o[0] + pose.rc[3 + c] * o[1] + pose.rc[6 + c] * o[2] + pose.centre[c];
        points.append(ksr::Point3f(float(world[0]), float(world[1]), float(world[2])));
    }
    return points;
}

// COLMAP / NVM: pixels from the top-left corner.
QPointF projectYDown(const Pose &pose, const ksr::Point3f &X, double fx, double fy, double cx, double cy)
{
    double p[3];
    for (int i = 0; i < 3; ++i)
        p[i] = pose.rc[3 * i] * X.x + pose.rc[3 * i + 1] * X.y + pose.rc[3 * i + 2] * X.z + pose.t[i];
    return QPointF(fx * p[0] / p[2] + cx, fy * p[1] / p[2] + cy);
}

QPointF projectOurs(const Camera &camera, const ksr::Point3f &X)
{
    const auto view =
        SampleGen::ViewProjection::forCamera(camera, camera.viewportPx[0], camera.viewportPx[1]);
    float x = 0, y = 0;
    view.toImage(camera.worldToCamera() * X, x, y);
    return QPointF(x, y);
}

QByteArray numbers(const double *values, int count)
{
    QByteArray text;
    for (int i = 0; i < count; ++i)
        text += QByteArray::number(values[i], 'g', 17) + ' ';
    return text.trimmed();
}

} // namespace

class TestSfmCameras : public QObject
{
    Q_OBJECT

private slots:
    void projectionMatchesSource_data();
    void projectionMatchesSource();
    void pixelSizesAndFocal();
    void axesAndPrincipalPoint_data();
    void axesAndPrincipalPoint();

private:
    QTemporaryDir dir;
};

void TestSfmCameras::projectionMatchesSource_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("cameraLine"); // COLMAP: MODEL WIDTH HEIGHT PARAMS
    QTest::addColumn<double>("fx");
    QTest::addColumn<double>("fy");
    QTest::addColumn<double>("cx");
    QTest::addColumn<double>("cy");
    QTest::newRow("COLMAP PINHOLE, fx != fy, principal point off centre")
        << "colmap"
        << "PINHOLE 1000 700 900 930 480.25 362.75" << 900.0 << 930.0 << 480.25 << 362.75;
    QTest::newRow("COLMAP SIMPLE_PINHOLE, portrait")
        << "colmap"
        << "SIMPLE_PINHOLE 600 800 700 310 390" << 700.0 << 700.0 << 310.0 << 390.0;
    QTest::newRow("COLMAP OPENCV without distortion")
        << "colmap"
        << "OPENCV 1200 900 1000 990 610 440 0 0 0 0" << 1000.0 << 990.0 << 610.0 << 440.0;
    QTest::newRow("NVM, principal point at the centre") << "nvm"
                                                        << "" << 850.0 << 850.0 << 500.0 << 350.0;
    QTest::newRow("Bundler, principal point at the centre") << "bundler"
                                                            << "" << 850.0 << 850.0 << 500.0 << 350.0;
}

void TestSfmCameras::projectionMatchesSource()
{
    QFETCH(QString, format);
    QFETCH(QString, cameraLine);
    QFETCH(double, fx);
    QFETCH(double, fy);
    QFETCH(double, cx);
    QFETCH(double, cy);
    QVERIFY(dir.isValid());
    const Pose pose = makePose(0.8, 0.3, -0.4, 0.2, 3.5, -2.0, 1.25);
    const QString folder = dir.filePath(QString::fromLatin1(QTest::currentDataTag()).left(12));
    const int width = 1000, height = 700; // of the NVM and Bundler photographs

    SfmReconstruction reconstruction;
    if (format == QLatin1String("colmap")) {
        QVERIFY(writeFile(folder + "/cameras.txt", "1 " + cameraLine.toLatin1() + '\n'));
        QVERIFY(writeFile(folder + "/images.txt",
                          "1 " + numbers(pose.q, 4) + ' ' + numbers(pose.t, 3) + " 1 photo.jpg\n\n"));
        reconstruction = ColmapModel::readModel(folder);
    } else if (format == QLatin1String("nvm")) {
        QVERIFY(writeFile(folder + "/scene.nvm", "NVM_V3\n\n1\nphoto.jpg " + QByteArray::number(fx, 'g', 17) +
                                                     ' ' + numbers(pose.q, 4) + ' ' +
                                                     numbers(pose.centre, 3) + " 0 0\n0\n"));
        reconstruction = NvmFile::read(folder + "/scene.nvm");
    } else {
        // Bundler: our own axes (y up, looking along -z), translation R X + t.
        double r[9], t[3];
        for (int c = 0; c < 3; ++c) {
            r[c] = pose.rc[c];
            r[3 + c] = -pose.rc[3 + c];
            r[6 + c] = -pose.rc[6 + c];
        }
        for (int i = 0; i < 3; ++i)
            t[i] = i == 0 ? pose.t[0] : -pose.t[i];
        QVERIFY(writeFile(folder + "/bundle.out", "# Bundle file v0.3\n1 0\n" + QByteArray::number(fx) +
                                                      " 0 0\n" + numbers(r, 3) + '\n' + numbers(r + 3, 3) +
                                                      '\n' + numbers(r + 6, 3) + '\n' + numbers(t, 3) +
                                                      '\n'));
        QVERIFY(writeFile(folder + "/list.txt", "photo.jpg\n"));
        reconstruction = BundlerFile::read(folder + "/bundle.out");
    }
    QVERIFY2(reconstruction.ok(), qPrintable(reconstruction.error));
    QCOMPARE(reconstruction.images.size(), 1);
    const SfmImage &image = reconstruction.images.first();
    QCOMPARE(image.name, QStringLiteral("photo.jpg"));
    const Camera camera =
        image.sizeFromPhoto ? SfmCameras::withImageSize(image.camera, width, height) : image.camera;

    for (const ksr::Point3f &X : pointsInView(pose)) {
        QPointF source;
        if (format == QLatin1String("bundler")) {
            // Bundler's own formula: p = R X + t, (u', v') = -f p.xy / p.z from the centre, v' up.
            const QPointF yDown = projectYDown(pose, X, fx, fx, 0, 0);
            source = QPointF(width / 2.0 + yDown.x(), height / 2.0 + yDown.y());
        } else {
            source = projectYDown(pose, X, fx, fy, cx, cy);
        }
        const QPointF ours = projectOurs(camera, X);
        QVERIFY2(std::fabs(ours.x() - source.x()) < 0.02 && std::fabs(ours.y() - source.y()) < 0.02,
                 qPrintable(QStringLiteral("ours (%1, %2), source (%3, %4)")
                                .arg(ours.x())
                                .arg(ours.y())
                                .arg(source.x())
                                .arg(source.y())));
    }
    // The camera centre is the source's.
    QVERIFY(std::fabs(camera.center.x - pose.centre[0]) < 1e-4 &&
            std::fabs(camera.center.z - pose.centre[2]) < 1e-4);
}

void TestSfmCameras::pixelSizesAndFocal()
{
    // focal / pixel size is the focal length in pixels on each axis; the sensor is 36 mm wide
    // on the longer side.
    const double rotation[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1}, centre[3] = {0, 0, 0};
    const Camera camera = SfmCameras::fromYDown(rotation, centre, 1200, 1000, 400, 300, 800, 600);
    QCOMPARE(camera.pixelSizeMm[0], 0.045f);
    QVERIFY(std::fabs(camera.focalMm / camera.pixelSizeMm[0] - 1200) < 1e-3);
    QVERIFY(std::fabs(camera.focalMm / camera.pixelSizeMm[1] - 1000) < 1e-3);
    const Camera resized = SfmCameras::withImageSize(camera, 3000, 2000);
    QCOMPARE(resized.pixelSizeMm[0], 0.012f);
    QVERIFY(std::fabs(resized.focalMm / resized.pixelSizeMm[1] - 1000) < 1e-3);
    QCOMPARE(resized.centerPx[0], 1500.0f);
    QCOMPARE(resized.centerPx[1], 1000.0f);
}

// One camera at (3, -2, 1.5) looking level along +x (world z up), in each format: image right is
// -y, image up +z, so our rows are x (0, -1, 0), y (0, 0, 1), z (-1, 0, 0), the backward axis.
// COLMAP's rows are right, down, forward: quaternion (0.5, 0.5, -0.5, 0.5), t = -R C = (-2, 1.5, -3);
// Bundler's are ours, t = (-2, -1.5, 3). COLMAP's principal point (610.5, 330.25) from the top-left
// corner of 1000 x 700 is (389.5, 369.75) from the right and bottom edges; NVM and Bundler store
// none, so it is the middle.
void TestSfmCameras::axesAndPrincipalPoint_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<Files>("files");
    QTest::addColumn<QPointF>("principalPoint");
    QTest::newRow("COLMAP, principal point off centre")
        << ""
        << Files{{"cameras.txt", "1 PINHOLE 1000 700 900 900 610.5 330.25\n"},
                 {"images.txt", "1 0.5 0.5 -0.5 0.5 -2 1.5 -3 1 photo.jpg\n\n"}}
        << QPointF(389.5, 369.75);
    QTest::newRow("NVM") << "scene.nvm"
                         << Files{{"scene.nvm", "NVM_V3\n1\nphoto.jpg 900 0.5 0.5 -0.5 "
                                                "0.5 3 -2 1.5 0 0\n0\n"}}
                         << QPointF(500, 350);
    QTest::newRow("Bundler") << "bundle.out"
                             << Files{{"bundle.out", "# Bundle file v0.3\n1 0\n900 0 0\n"
                                                     "0 -1 0\n0 0 1\n-1 0 0\n-2 -1.5 3\n"},
                                      {"list.txt", "photo.jpg\n"}}
                             << QPointF(500, 350);
}

void TestSfmCameras::axesAndPrincipalPoint()
{
    QFETCH(QString, entry);
    QFETCH(Files, files);
    QFETCH(QPointF, principalPoint);
    const QString folder =
        dir.filePath(QStringLiteral("axes-") + QString::fromLatin1(QTest::currentDataTag()));
    for (auto it = files.cbegin(); it != files.cend(); ++it)
        QVERIFY(writeFile(folder + '/' + it.key(), it.value()));
    const QString path = entry.isEmpty() ? folder : folder + '/' + entry;
    const SfmReconstruction reconstruction = path.endsWith(".nvm")   ? NvmFile::read(path)
                                             : path.endsWith(".out") ? BundlerFile::read(path)
                                                                     : ColmapModel::readModel(path);
    QVERIFY2(reconstruction.ok(), qPrintable(reconstruction.error));
    QCOMPARE(reconstruction.images.size(), 1);
    const SfmImage &image = reconstruction.images.first();
    const Camera camera =
        image.sizeFromPhoto ? SfmCameras::withImageSize(image.camera, 1000, 700) : image.camera;

    QCOMPARE(camera.rotation.row(0), ksr::Point3f(0, -1, 0));
    QCOMPARE(camera.rotation.row(1), ksr::Point3f(0, 0, 1));
    QCOMPARE(camera.rotation.row(2), ksr::Point3f(-1, 0, 0));
    QCOMPARE(camera.center, ksr::Point3f(3.0f, -2.0f, 1.5f));
    QCOMPARE(camera.viewportPx[0], 1000);
    QCOMPARE(camera.viewportPx[1], 700);
    QCOMPARE(QPointF(camera.centerPx[0], camera.centerPx[1]), principalPoint);
    QVERIFY(std::fabs(camera.focalMm / camera.pixelSizeMm[0] - 900) < 1e-3);
}

QTEST_GUILESS_MAIN(TestSfmCameras)
#include "tst_sfmcameras.moc"
