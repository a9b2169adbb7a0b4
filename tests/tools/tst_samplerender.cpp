// The generator's renderer and writers on scenes whose answers are known: a wall at a known
// distance, where the principal point lands, both model resolutions, bad JPEG input.

#include "camerawalks.h"
#include "exifblock.h"
#include "samplescene.h"
#include "softwarerenderer.h"

#include <QBuffer>
#include <QImage>
#include <QtTest>

using namespace SampleGen;
using ksr::Point3f;

namespace
{

// A wall in the plane y = distance, spanning [x0, x1] x [z0, z1], facing the origin.
ksr::CMesh wall(float distance, float x0 = -500, float x1 = 500, float z0 = -500, float z1 = 500)
{
    SampleScene scene;
    Patch patch;
    patch.corner[0] = {x1, distance, z0};
    patch.corner[1] = {x0, distance, z0};
    patch.corner[2] = {x0, distance, z1};
    patch.corner[3] = {x1, distance, z1};
    patch.colour = {200, 60, 50, 255};
    scene.patches.push_back(patch);
    return tessellate(scene, 2, 1);
}

// At the origin looking along +y, image up +z.
Camera facingWall(int width, int height, int cx, int cy)
{
    Camera camera = lookAtCamera({0, 0, 0}, {0, 1, 0}, 0.0f, QSize(width, height), 24.0f);
    camera.centerPx[0] = float(cx);
    camera.centerPx[1] = float(cy);
    return camera;
}

} // namespace

class TestSampleRender : public QObject
{
    Q_OBJECT

private slots:
    void wallDepthIsItsDistance_data();
    void wallDepthIsItsDistance();
    void principalPointLandsMirroredHorizontally();
    void emptyViewHasNoDepth();
    void bothResolutionsShowTheSameSurfaces();
    void photographShowsBoxWhereItProjects();
    void exifGoesOnlyIntoJpegs();
};

void TestSampleRender::wallDepthIsItsDistance_data()
{
    QTest::addColumn<float>("distance");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("cx");
    QTest::addColumn<int>("cy");
    QTest::newRow("landscape at 10") << 10.0f << 1600 << 1200 << 800 << 600;
    QTest::newRow("portrait at 2.5") << 2.5f << 1200 << 1600 << 600 << 800;
    QTest::newRow("square at 37") << 37.0f << 500 << 500 << 250 << 250;
    QTest::newRow("off-centre principal point") << 10.0f << 3000 << 2000 << 1430 << 1077;
    QTest::newRow("odd size") << 7.25f << 1001 << 667 << 500 << 333;
}

void TestSampleRender::wallDepthIsItsDistance()
{
    QFETCH(float, distance);
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(int, cx);
    QFETCH(int, cy);
    const SoftwareRenderer renderer(wall(distance));
    const Camera camera = facingWall(width, height, cx, cy);
    QCOMPARE(renderer.meanViewDepth(camera), distance);
    // The grid is the depth job's: 64 on the longer side.
    const QSize grid = depthGridSize(camera);
    QCOMPARE(std::max(grid.width(), grid.height()), 64);
    QCOMPARE(grid.width() > grid.height(), width > height);
}

void TestSampleRender::principalPointLandsMirroredHorizontally()
{
    // The wall covers x >= 0 and z >= 0 only: the quarter of the view right of and above the axis.
    // With the projection of the depth job, the axis meets the picture at column W - cx and at
    // row cy counted from the bottom, that is H - cy from the top.
    const int W = 400, H = 300, cx = 100, cy = 75;
    const SoftwareRenderer renderer(wall(10.0f, 0.0f, 500.0f, 0.0f, 500.0f));
    const std::vector<float> depth = renderer.depthImage(facingWall(W, H, cx, cy), W, H, 0.1f, 1000.0f);
    QCOMPARE(int(depth.size()), W * H);
    auto covered = [&](int column, int row) { return depth[std::size_t(row) * W + column] > 0.0f; };
    const int axisColumn = W - cx, axisRow = H - cy;
    QVERIFY(covered(axisColumn + 1, axisRow - 2));
    QVERIFY(!covered(axisColumn - 2, axisRow - 2));
    QVERIFY(!covered(axisColumn + 1, axisRow + 1));
    QVERIFY(covered(W - 1, 0));
    QVERIFY(!covered(0, H - 1));
    QCOMPARE(depth[std::size_t(10) * W + (W - 5)], 10.0f);
    // Where the wall fills the grid partially, the mean is still its distance.
    QCOMPARE(renderer.meanViewDepth(facingWall(W, H, cx, cy)), 10.0f);
}

void TestSampleRender::emptyViewHasNoDepth()
{
    const SoftwareRenderer renderer(wall(10.0f));
    const Camera away = lookAtCamera({0, 0, 0}, {0, -1, 0}, 0.0f, QSize(640, 480), 24.0f);
    QCOMPARE(renderer.meanViewDepth(away), 0.0f);
    Camera broken = facingWall(640, 480, 320, 240);
    broken.pixelSizeMm[0] = 0.0f;
    QCOMPARE(renderer.meanViewDepth(broken), 0.0f);
    QCOMPARE(SoftwareRenderer(ksr::CMesh()).meanViewDepth(facingWall(640, 480, 320, 240)), 0.0f);
}

void TestSampleRender::bothResolutionsShowTheSameSurfaces()
{
    // The ground truth is measured on the low-resolution model; the full one must give the same.
    const SampleScene scene = buildScene(3);
    const ksr::CMesh full = tessellate(scene, 40000, 3), lowRes = tessellate(scene, 4000, 3);
    QVERIFY(full.face.size() <= 40000 && full.face.size() > 36000);
    QVERIFY(lowRes.face.size() <= 4000 && lowRes.face.size() > 3000);
    const SoftwareRenderer fullRenderer(full), lowRenderer(lowRes);
    for (const PlannedShot &shot : planShots(scene, 12, QSize(1600, 1200), 3)) {
        const float a = fullRenderer.meanViewDepth(shot.camera), b = lowRenderer.meanViewDepth(shot.camera);
        QVERIFY(a > 0.0f);
        QVERIFY2(std::fabs(a - b) < 1e-3f * a, qPrintable(QString("%1 vs %2").arg(a).arg(b)));
    }
}

void TestSampleRender::photographShowsBoxWhereItProjects()
{
    // A small red building off the axis, seen with an off-centre principal point: its front wall's
    // centre must appear where the camera record projects it.
    SampleScene scene;
    addGround(scene, 50.0f);
    addBuilding(scene, "red", {3, 20, 0}, {5, 22, 2}, 0.0f, {210, 40, 30, 255}, {60, 60, 60, 255});
    const SoftwareRenderer renderer(tessellate(scene, 20000, 1));
    Camera camera = lookAtCamera({0, 0, 1}, {0, 10, 1}, 0.0f, QSize(640, 480), 35.0f);
    camera.centerPx[0] = 290;
    camera.centerPx[1] = 260;
    const QImage photo = renderer.renderPhoto(camera);
    QCOMPARE(photo.size(), QSize(640, 480));
    // Camera frame: x = +x, y = +z, z = -y; front wall centre (4, 20, 1) is at (4, 0, -20).
    const double xf = 35.0 * 4 / 20, yf = 0.0;
    const double sx = camera.pixelSizeMm[0];
    const double column = (xf + (640 - 290) * sx) / (640 * sx) * 640;
    const double row = 480 - (yf + 260 * sx) / (480 * sx) * 480;
    const QColor seen = photo.pixelColor(int(column), int(row));
    QVERIFY2(seen.red() > 2 * seen.green() && seen.red() > 2 * seen.blue(), qPrintable(seen.name()));
    // The unmirrored reading of the centre would look at sky or grass.
    const QColor mirrored = photo.pixelColor(int(column) - 2 * (640 / 2 - 290), int(row));
    QVERIFY2(!(mirrored.red() > 2 * mirrored.green()), qPrintable(mirrored.name()));
}

void TestSampleRender::exifGoesOnlyIntoJpegs()
{
    ExifFields fields;
    fields.shotTime = QDateTime(QDate(2024, 5, 1), QTime(9, 59, 58), Qt::UTC);
    const QByteArray payload = exifPayload(fields);
    QVERIFY(payload.startsWith(QByteArray("Exif\0\0II", 8)));

    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    QImage(8, 8, QImage::Format_RGB32).save(&buffer, "PNG");
    const QByteArray before = png;
    QString error;
    QVERIFY(!insertExif(png, payload, &error));
    QCOMPARE(png, before);
    QVERIFY(!error.isEmpty());

    QByteArray jpeg;
    QBuffer jpegBuffer(&jpeg);
    jpegBuffer.open(QIODevice::WriteOnly);
    QImage image(16, 8, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    QVERIFY(image.save(&jpegBuffer, "JPG", 90));
    QVERIFY(insertExif(jpeg, payload, &error));
    QVERIFY(jpeg.contains(payload));
    const QImage decoded = QImage::fromData(jpeg, "JPG");
    QCOMPARE(decoded.size(), QSize(16, 8));
    // A payload that cannot fit in one section is refused.
    QByteArray copy = jpeg;
    QVERIFY(!insertExif(copy, QByteArray(70000, 'x'), &error));
    QCOMPARE(copy, jpeg);
}

QTEST_GUILESS_MAIN(TestSampleRender)
#include "tst_samplerender.moc"
