// The depth renderer on real GL (run under xvfb; fails, never skips, without GL).

#include "depth.h"
#include "polymodel3d.h"
#include "testmodels.h"

#include <QTemporaryDir>
#include <QtTest>

#include <cmath>
#include <limits>

using ksr::Point3f;
using testmodels::camera;
using testmodels::rotation;

class TestDepth : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;
    int m_files = 0;

    QString writeModel(const QVector<Point3f> &points, const QVector<testmodels::Triangle> &faces)
    {
        const QString path = m_dir.filePath(QString("model%1.ply").arg(++m_files));
        if (!testmodels::writePly(path, points, faces))
            qFatal("cannot write %s", qPrintable(path));
        return path;
    }

    // A renderer that has GL and the given model; QVERIFY inside the caller checks the result.
    bool prepare(Depth &depth, const QString &model)
    {
        if (!depth.isValid() || !depth.updateGL()) {
            qWarning().noquote() << "no GL:" << depth.errorString();
            return false;
        }
        return depth.setModel(model);
    }

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void renderSize_data()
    {
        QTest::addColumn<int>("w");
        QTest::addColumn<int>("h");
        QTest::addColumn<QSize>("size");
        QTest::addRow("landscape") << 3000 << 2000 << QSize(64, 42);
        QTest::addRow("portrait") << 2000 << 3000 << QSize(42, 64);
        QTest::addRow("square") << 1000 << 1000 << QSize(64, 64);
        QTest::addRow("thin") << 5000 << 10 << QSize(64, 1);
        QTest::addRow("zero width") << 0 << 10 << QSize();
        QTest::addRow("negative") << 100 << -1 << QSize();
    }
    void renderSize()
    {
        QFETCH(int, w);
        QFETCH(int, h);
        QFETCH(QSize, size);
        QCOMPARE(Depth::renderSizeFor(w, h), size);
    }

    void clipRange_data()
    {
        QTest::addColumn<float>("distance");
        QTest::addColumn<float>("radius");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<float>("expectedNear");
        QTest::addColumn<float>("expectedFar");
        QTest::addRow("outside the sphere") << 10.0f << 2.0f << true << 8.0f << 12.0f;
        QTest::addRow("inside the sphere") << 10.0f << 50.0f << true << 0.05f << 60.0f;
        QTest::addRow("at the centre") << 0.0f << 5.0f << false << 0.0f << 5.0f;
        QTest::addRow("not a number")
            << std::numeric_limits<float>::quiet_NaN() << 1.0f << false << 0.0f << 0.0f;
    }
    void clipRange()
    {
        QFETCH(float, distance);
        QFETCH(float, radius);
        QFETCH(bool, valid);
        float zNear = -1, zFar = -1;
        QCOMPARE(Depth::clipRange(distance, radius, zNear, zFar), valid);
        if (valid) {
            QFETCH(float, expectedNear);
            QFETCH(float, expectedFar);
            QCOMPARE(zNear, expectedNear);
            QCOMPARE(zFar, expectedFar);
        }
    }

    void frustumMirrorsHorizontalCentre()
    {
        Camera c = camera(ksr::Matrix44f(), Point3f(), 100, 50, 30.0f, 10.0f);
        c.focalMm = 10.0f;
        c.pixelSizeMm[0] = 0.1f;
        c.pixelSizeMm[1] = 0.2f;
        double b[4];
        QVERIFY(Depth::frustumBounds(c, 1.0f, b));
        QCOMPARE(b[0], double(-(100 - 30) * 0.1f * 0.1f)); // left = -(W - cx) sx zNear / f
        QCOMPARE(b[1], double(30 * 0.1f * 0.1f));          // right = cx sx zNear / f
        QCOMPARE(b[2], double(-10 * 0.2f * 0.1f));         // bottom = -cy sy zNear / f
        QCOMPARE(b[3], double((50 - 10) * 0.2f * 0.1f));   // top = (H - cy) sy zNear / f
        c.focalMm = 0.0f;
        QVERIFY(!Depth::frustumBounds(c, 1.0f, b));
    }

    // A wall facing the camera squarely at distance 10 reads 10 for any rotation and principal point.
    void wallAtDistanceTen_data()
    {
        QTest::addColumn<Point3f>("angles");
        QTest::addColumn<Point3f>("centre");
        QTest::addColumn<QPointF>("principal");
        QTest::addRow("axis aligned") << Point3f(0, 0, 0) << Point3f(0, 0, 0) << QPointF(1500, 1000);
        QTest::addRow("rolled") << Point3f(0, 0, 30) << Point3f(1, 2, 3) << QPointF(1500, 1000);
        QTest::addRow("oblique") << Point3f(20, -35, 10) << Point3f(-4, 7, 100) << QPointF(1500, 1000);
        QTest::addRow("off-centre principal point")
            << Point3f(-60, 45, 90) << Point3f(0, 0, 0) << QPointF(400, 1700);
        QTest::addRow("principal point at a corner")
            << Point3f(10, 170, 0) << Point3f(3, 3, 3) << QPointF(0, 0);
    }
    void wallAtDistanceTen()
    {
        QFETCH(Point3f, angles);
        QFETCH(Point3f, centre);
        QFETCH(QPointF, principal);
        const Camera cam = camera(rotation(angles.x, angles.y, angles.z), centre, 3000, 2000,
                                  float(principal.x()), float(principal.y()));
        QVector<Point3f> points;
        QVector<testmodels::Triangle> faces;
        testmodels::wallFacing(cam, 10.0f, 40.0f, points, faces);
        Depth depth;
        QVERIFY(prepare(depth, writeModel(points, faces)));
        const float value = depth.computeDepth(cam);
        QVERIFY2(std::fabs(value - 10.0f) < 0.01f, qPrintable(QString::number(value)));
        QCOMPARE(depth.renderSize(), QSize(64, 42));
        // The camera stands inside the wall's bounding sphere: the near plane is clamped.
        QCOMPARE(depth.zNear(), 0.005f * 10.0f);
    }

    // Only the pixels the wall covers count: a small wall in a corner still reads its distance.
    void partlyCoveredViewAveragesCoveredPixels()
    {
        const Camera cam = camera(ksr::Matrix44f(), Point3f(0, 0, 0), 2000, 3000, 1000, 1500);
        const QVector<Point3f> points = {{0.5f, 0.5f, -20}, {3, 0.5f, -20}, {3, 3, -20}, {0.5f, 3, -20}};
        Depth depth;
        QVERIFY(prepare(depth, writeModel(points, {{0, 1, 2}, {0, 2, 3}})));
        const float value = depth.computeDepth(cam);
        QVERIFY2(std::fabs(value - 20.0f) < 0.02f, qPrintable(QString::number(value)));
        QCOMPARE(depth.renderSize(), QSize(42, 64));
        // Outside the bounding sphere: near plane at the centre's distance less the radius.
        QCOMPARE(depth.zNear(), depth.model()->center().length() - depth.model()->radius());
    }

    void modelOutsideTheView_data()
    {
        QTest::addColumn<Point3f>("wallCentre");
        QTest::addRow("behind the camera") << Point3f(0, 0, 10);
        QTest::addRow("far to the side") << Point3f(500, 0, -10);
    }
    void modelOutsideTheView()
    {
        QFETCH(Point3f, wallCentre);
        const Camera cam = camera(ksr::Matrix44f(), Point3f(0, 0, 0));
        const Point3f c = wallCentre;
        const QVector<Point3f> points = {c + Point3f(-1, -1, 0), c + Point3f(1, -1, 0), c + Point3f(1, 1, 0),
                                         c + Point3f(-1, 1, 0)};
        Depth depth;
        QVERIFY(prepare(depth, writeModel(points, {{0, 1, 2}, {0, 2, 3}})));
        QCOMPARE(depth.computeDepth(cam), 0.0f);
    }

    // Views that cannot be set up give 0.0 and leave the renderer usable for the next shot.
    void degenerateCamerasGiveZero_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addRow("zero viewport width") << 0;
        QTest::addRow("zero viewport height") << 1;
        QTest::addRow("zero pixel size") << 2;
        QTest::addRow("zero focal length") << 3;
        QTest::addRow("camera at the model centre") << 4;
        QTest::addRow("NaN rotation") << 5;
        QTest::addRow("infinite centre") << 6;
        QTest::addRow("NaN principal point") << 7;
    }
    void degenerateCamerasGiveZero()
    {
        QFETCH(int, kind);
        const Camera good = camera(ksr::Matrix44f(), Point3f(0, 0, 0));
        QVector<Point3f> points;
        QVector<testmodels::Triangle> faces;
        testmodels::wallFacing(good, 10.0f, 5.0f, points, faces);
        Depth depth;
        QVERIFY(prepare(depth, writeModel(points, faces)));
        Camera bad = good;
        const float nan = std::numeric_limits<float>::quiet_NaN();
        switch (kind) {
        case 0:
            bad.viewportPx[0] = 0;
            break;
        case 1:
            bad.viewportPx[1] = 0;
            break;
        case 2:
            bad.pixelSizeMm[0] = 0.0f;
            break;
        case 3:
            bad.focalMm = 0.0f;
            break;
        case 4:
            bad.center = Point3f(0, 0, -10);
            break;
        case 5:
            bad.rotation.m[1][1] = nan;
            break;
        case 6:
            bad.center.x = std::numeric_limits<float>::infinity();
            break;
        case 7:
            bad.centerPx[0] = nan;
            break;
        }
        QCOMPARE(depth.computeDepth(bad), 0.0f);
        const float after = depth.computeDepth(good);
        QVERIFY2(std::fabs(after - 10.0f) < 0.01f, qPrintable(QString::number(after)));
    }

    // A point cloud is drawn as points: a dense grid of points on a wall reads the wall's distance.
    void pointCloudIsDrawn()
    {
        const Camera cam = camera(rotation(0, 30, 0), Point3f(2, 0, 1), 1000, 1000, 500, 500);
        QVector<Point3f> wall;
        QVector<testmodels::Triangle> unused;
        testmodels::wallFacing(cam, 15.0f, 3.0f, wall, unused);
        const Point3f origin = wall[0], right = (wall[1] - wall[0]) / 40.0f, up = (wall[3] - wall[0]) / 40.0f;
        QVector<Point3f> points;
        for (int i = 0; i <= 40; ++i)
            for (int j = 0; j <= 40; ++j)
                points.append(origin + right * float(i) + up * float(j));
        Depth depth;
        QVERIFY(prepare(depth, writeModel(points, {})));
        QVERIFY(depth.model()->isPointCloud());
        const float value = depth.computeDepth(cam);
        QVERIFY(!depth.drewFromModelBuffer());
        QVERIFY2(std::fabs(value - 15.0f) < 0.02f, qPrintable(QString::number(value)));
    }

    // A mesh is drawn as triangles only: the near vertex of a face that is not drawn leaves no point.
    void meshVerticesAreNotDrawnAsPoints()
    {
        const Camera cam = camera(ksr::Matrix44f(), Point3f(0, 0, 0), 1000, 1000, 500, 500);
        // Far wall at 30 plus a lone vertex at 5 straight ahead that no face uses.
        const QVector<Point3f> points = {
            {-30, -30, -30}, {30, -30, -30}, {30, 30, -30}, {-30, 30, -30}, {0, 0, -5}};
        Depth depth;
        QVERIFY(prepare(depth, writeModel(points, {{0, 1, 2}, {0, 2, 3}})));
        const float value = depth.computeDepth(cam);
        QVERIFY2(std::fabs(value - 30.0f) < 0.05f, qPrintable(QString::number(value)));
    }

    // Drawing from the uploaded buffers, which skips the faces that cannot cover a pixel centre,
    // reads the very depths of sending the whole model: views across a bumpy terrain of small
    // faces, from above, from inside its bounding sphere, with faces behind the eye, and away.
    void bufferedDrawMatchesWholeModel_data()
    {
        QTest::addColumn<Point3f>("eye");
        QTest::addColumn<Point3f>("target");
        QTest::addColumn<QSize>("viewport");
        QTest::addColumn<QPointF>("principal");
        QTest::addColumn<bool>("sees");
        QTest::addColumn<Point3f>("offset"); // of the whole scene: large coordinates strain float
        QTest::addRow("from above") << Point3f(44, 40, 150) << Point3f(44, 44, 0) << QSize(3000, 2000)
                                    << QPointF(1500, 1000) << true << Point3f();
        QTest::addRow("low across") << Point3f(5, 5, 8) << Point3f(60, 60, 0) << QSize(3000, 2000)
                                    << QPointF(1500, 1000) << true << Point3f();
        QTest::addRow("close to the ground") << Point3f(44, 44, 4) << Point3f(80, 47, 0) << QSize(3000, 2000)
                                             << QPointF(1500, 1000) << true << Point3f();
        QTest::addRow("portrait, off-centre") << Point3f(-10, 20, 30) << Point3f(50, 50, 0)
                                              << QSize(2000, 3000) << QPointF(300, 2500) << true << Point3f();
        QTest::addRow("looking away") << Point3f(-20, 44, 5) << Point3f(-80, 44, 5) << QSize(3000, 2000)
                                      << QPointF(1500, 1000) << false << Point3f();
        QTest::addRow("far from the origin")
            << Point3f(-10, 20, 30) << Point3f(50, 50, 0) << QSize(3000, 2000) << QPointF(1400, 1100) << true
            << Point3f(500000, 250000, 80);
    }

    void bufferedDrawMatchesWholeModel()
    {
        QFETCH(Point3f, eye);
        QFETCH(Point3f, target);
        QFETCH(QSize, viewport);
        QFETCH(QPointF, principal);
        QFETCH(bool, sees);
        QFETCH(Point3f, offset);
        const int side = 90;
        QVector<Point3f> points;
        QVector<testmodels::Triangle> faces;
        for (int j = 0; j < side; ++j)
            for (int i = 0; i < side; ++i)
                points.append(offset +
                              Point3f(float(i), float(j), 3.0f * std::sin(0.3f * i) * std::cos(0.25f * j)));
        for (int j = 0; j + 1 < side; ++j)
            for (int i = 0; i + 1 < side; ++i) {
                const int a = j * side + i;
                faces.append({a, a + 1, a + side + 1});
                faces.append({a, a + side + 1, a + side});
            }
        const Point3f back = (eye - target).normalized();
        const Point3f right = Point3f(0, 0, 1).cross(back).normalized();
        ksr::Matrix44f r;
        r.setRow(0, right);
        r.setRow(1, back.cross(right));
        r.setRow(2, back);
        const Camera cam = camera(r, eye + offset, viewport.width(), viewport.height(), float(principal.x()),
                                  float(principal.y()));
        Depth depth;
        QVERIFY(prepare(depth, writeModel(points, faces)));
        depth.setUseModelBuffer(false);
        const float whole = depth.computeDepth(cam);
        QVERIFY(!depth.drewFromModelBuffer());
        depth.setUseModelBuffer(true);
        const float buffered = depth.computeDepth(cam);
        QVERIFY(depth.drewFromModelBuffer());
        QCOMPARE(buffered, whole);
        QCOMPARE(whole > 0.0f, sees);
        QCOMPARE(depth.modelBuffer().triangleCount(), std::size_t(faces.size()));
        QVERIFY(depth.modelBuffer().drawnTriangles() < depth.modelBuffer().triangleCount());
    }

    void noModelNoDepth()
    {
        Depth depth;
        QVERIFY(depth.isValid());
        QVERIFY(depth.updateGL());
        QTest::ignoreMessage(QtDebugMsg, QRegularExpression("^file not found \".*absent.ply\"$"));
        QVERIFY(!depth.setModel(m_dir.filePath("absent.ply")));
        QVERIFY(!depth.modelLoaded());
        QCOMPARE(depth.computeDepth(camera(ksr::Matrix44f(), Point3f())), 0.0f);
    }
};

QTEST_MAIN(TestDepth)
#include "tst_depth.moc"
