#include "shotfeatures.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace
{

ShotFeatures withTime(qint64 seconds)
{
    ShotFeatures f;
    f.time = QDateTime::fromSecsSinceEpoch(1200000000 + seconds);
    updateDerivedFeatures(f);
    return f;
}

ShotFeatures withCells(int blue, int green, int red)
{
    ShotFeatures f;
    for (int cell = 0; cell < 16; ++cell) {
        f.colorSpatialDistr[3 * cell] = blue;
        f.colorSpatialDistr[3 * cell + 1] = green;
        f.colorSpatialDistr[3 * cell + 2] = red;
    }
    f.colorDistr[0] = 1; // a decoded image
    updateDerivedFeatures(f);
    return f;
}

ShotFeatures withHistogram(std::initializer_list<std::pair<int, int>> bins)
{
    ShotFeatures f;
    for (auto [bin, count] : bins)
        f.colorDistr[bin] = count;
    updateDerivedFeatures(f);
    return f;
}

bool sameBits(float a, float b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

} // namespace

Q_DECLARE_METATYPE(ShotFeatures)

class TestShotFeatures : public QObject
{
    Q_OBJECT

private slots:
    void colorFeatures_data();
    void colorFeatures();
    void colorFeaturesOfNoisyImage();
    void colorFeaturesFromFiles();
    void reducedDecodeAgreesWithFullSize();
    void cameraGeometry();
    void labConversion();
    void distances();
    void colorSpatialUsesStoredOrder();
    void colorSpatialMatchesPerCallConversion();
    void colorDistribution_data();
    void colorDistribution();
    void normalizationSampling();
    void weightsAndCombinedDistance();
};

void TestShotFeatures::colorFeatures_data()
{
    QTest::addColumn<QImage>("image");
    QTest::addColumn<QVector<int>>("histogram"); // (bin, count) pairs
    QTest::addColumn<QVector<int>>("spatial");   // the 48 used values

    QImage single(1, 1, QImage::Format_RGB32);
    single.setPixel(0, 0, qRgb(200, 100, 50));
    QVector<int> singleSpatial(48, 0);
    singleSpatial[0] = 50, singleSpatial[1] = 100, singleSpatial[2] = 200;
    // 16 * (200 >> 6) + 4 * (100 >> 6) + (50 >> 6) = 48 + 4 + 0
    QTest::newRow("1 x 1 pixel") << single << QVector<int>{52, 1} << singleSpatial;

    QImage white(8, 4, QImage::Format_RGB32);
    white.fill(Qt::white);
    QTest::newRow("white") << white << QVector<int>{63, 32} << QVector<int>(48, 255);

    // 10 pixels wide, 7 high: cells 3 x 2; the last column of cells holds one pixel column and the
    // last row one pixel row, and their means are still the image's colour.
    QImage narrow(10, 7, QImage::Format_RGB32);
    narrow.fill(qRgb(90, 90, 90));
    QTest::newRow("10 x 7, clipped edge cells") << narrow << QVector<int>{21, 70} << QVector<int>(48, 90);

    // Quadrants of four colours: cells take the colour of their quadrant.
    QImage quadrants(8, 8, QImage::Format_RGB32);
    const QRgb colours[4] = {qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255), qRgb(64, 128, 192)};
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            quadrants.setPixel(x, y, colours[2 * (y / 4) + (x / 4)]);
    QVector<int> quadrantSpatial(48);
    for (int cell = 0; cell < 16; ++cell) {
        const QRgb c = colours[2 * ((cell / 4) / 2) + (cell % 4) / 2];
        quadrantSpatial[3 * cell] = qBlue(c), quadrantSpatial[3 * cell + 1] = qGreen(c),
                            quadrantSpatial[3 * cell + 2] = qRed(c);
    }
    QTest::newRow("quadrants") << quadrants << QVector<int>{48, 16, 12, 16, 3, 16, 16 + 8 + 3, 16}
                               << quadrantSpatial;

    // Grey images are read as 32-bit RGB.
    QImage grey(4, 4, QImage::Format_Grayscale8);
    grey.fill(128);
    QTest::newRow("greyscale") << grey << QVector<int>{42, 16} << QVector<int>(48, 128);

    QTest::newRow("null image") << QImage() << QVector<int>{} << QVector<int>(48, 0);
}

void TestShotFeatures::colorFeatures()
{
    QFETCH(QImage, image);
    QFETCH(QVector<int>, histogram);
    QFETCH(QVector<int>, spatial);
    ShotFeatures f;
    f.colorDistr.fill(7); // stale values must go
    computeColorFeatures(image, f);
    std::array<int, 64> expected{};
    for (int k = 0; k + 1 < histogram.size(); k += 2)
        expected[histogram[k]] = histogram[k + 1];
    for (int bin = 0; bin < 64; ++bin)
        QCOMPARE(f.colorDistr[bin], expected[bin]);
    for (int k = 0; k < 48; ++k)
        QCOMPARE(f.colorSpatialDistr[k], spatial[k]);
    QCOMPARE(f.colorValid, !image.isNull());
    QCOMPARE(f.pixelCount, qint64(image.isNull() ? 0 : image.width() * image.height()));
}

void TestShotFeatures::colorFeaturesOfNoisyImage()
{
    // Odd sizes with wide cells: every pixel counted once, in its own bin and cell, whatever the
    // grouping of pixels inside the scan.
    for (const QSize size : {QSize(37, 9), QSize(4001, 3), QSize(5, 301)}) {
        QImage image(size, QImage::Format_ARGB32);
        quint32 state = 7;
        for (int y = 0; y < size.height(); ++y)
            for (int x = 0; x < size.width(); ++x) {
                state = state * 1664525u + 1013904223u;
                image.setPixel(x, y, state | 0xFF000000u);
            }
        const int cw = (size.width() + 3) / 4, ch = (size.height() + 3) / 4;
        std::array<int, 64> histogram{};
        std::array<qint64, 48> sums{};
        for (int y = 0; y < size.height(); ++y)
            for (int x = 0; x < size.width(); ++x) {
                const QRgb c = image.pixel(x, y);
                ++histogram[16 * (qRed(c) / 64) + 4 * (qGreen(c) / 64) + qBlue(c) / 64];
                const int cell = 4 * (y / ch) + x / cw;
                sums[3 * cell] += qBlue(c), sums[3 * cell + 1] += qGreen(c), sums[3 * cell + 2] += qRed(c);
            }
        ShotFeatures f;
        computeColorFeatures(image, f);
        for (int bin = 0; bin < 64; ++bin)
            QCOMPARE(f.colorDistr[bin], histogram[bin]);
        for (int k = 0; k < 48; ++k) {
            const int cell = k / 3;
            const int area = std::max(0, std::min(cw, size.width() - (cell % 4) * cw)) *
                             std::max(0, std::min(ch, size.height() - (cell / 4) * ch));
            QCOMPARE(f.colorSpatialDistr[k], area > 0 ? int(sums[k] / area) : 0);
        }
    }
}

void TestShotFeatures::colorFeaturesFromFiles()
{
    QTemporaryDir dir;
    QImage image(40, 30, QImage::Format_RGB32);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x)
            image.setPixel(x, y, qRgb(x * 6, y * 8, (x + y) * 3));
    const QString jpeg = dir.filePath("shot.JPG");
    QVERIFY(image.save(jpeg, "JPEG", 95));

    // One decode of the file gives exactly what a plain decode and a separate scan give.
    const ShotFeatures fromFile = computeShotFeatures(jpeg, cameraAt({1, 2, 3}), 5.0f);
    ShotFeatures fromImage;
    computeColorFeatures(QImage(jpeg), fromImage);
    QCOMPARE(fromFile.name, jpeg);
    QVERIFY(fromFile.colorValid);
    QVERIFY(fromFile.colorDistr == fromImage.colorDistr);
    QVERIFY(fromFile.colorSpatialDistr == fromImage.colorSpatialDistr);
    QCOMPARE(fromFile.fileSize, QFileInfo(jpeg).size());

    // A file that does not decode: zero colours, flagged, colour distances 0, never NaN.
    const QString broken = dir.filePath("broken.jpg");
    QVERIFY(writeFile(broken, "\xFF\xD8 not really a photograph"));
    const ShotFeatures none = computeShotFeatures(broken, cameraAt({0, 0, 0}), 1.0f);
    QVERIFY(!none.colorValid);
    QCOMPARE(none.pixelCount, qint64(0));
    QCOMPARE(colorDistributionDistance(none, fromFile), 0.0f);
    QCOMPARE(colorSpatialDistance(fromFile, none), 0.0f);
    QCOMPARE(colorDistributionDistance(none, none), 0.0f);

    const ShotFeatures missing = computeShotFeatures(dir.filePath("missing.png"), Camera(), 0.0f);
    QVERIFY(!missing.colorValid);
    QCOMPARE(missing.fileSize, qint64(-1));
}

void TestShotFeatures::reducedDecodeAgreesWithFullSize()
{
    const QDir images(QStringLiteral(ORVELLE_TEST_DATA "/sceaux/images"));
    const QStringList names = images.entryList({QStringLiteral("*.jpg")}, QDir::Files, QDir::Name);
    QVERIFY(names.size() >= 10);
    QVector<ShotFeatures> full, reduced;
    for (const QString &name : names) {
        const QString path = images.filePath(name);
        // 1416 x 1064 photographs decode at half size, the scale of the thumbnails.
        QCOMPARE(decodeForColorFeatures(path, FeatureDecoding::Reduced).size(), QSize(708, 532));
        full.append(computeImageFeatures(path, ImageFeatureNeeds{false, true, FeatureDecoding::FullSize}));
        reduced.append(computeImageFeatures(path, ImageFeatureNeeds{false, true, FeatureDecoding::Reduced}));
        QVERIFY(reduced.last().colorValid);
        // A record stands only for the decoding it was made with.
        QVERIFY(coversNeeds(reduced.last(), ImageFeatureNeeds{false, true, FeatureDecoding::Reduced}));
        QVERIFY(!coversNeeds(reduced.last(), ImageFeatureNeeds{false, true, FeatureDecoding::FullSize}));
        QVERIFY(coversNeeds(full.last(), ImageFeatureNeeds{false, true, FeatureDecoding::FullSize}));
    }
    // The colour-distribution distances of every pair move by less than 0.02 (of at most 2): the
    // smoothing of the reduction moves pixels across the bins' edges (0.013 on these).
    double largestMove = 0.0;
    for (int i = 0; i < full.size(); ++i)
        for (int j = i + 1; j < full.size(); ++j)
            largestMove =
                std::max(largestMove, std::fabs(double(colorDistributionDistance(full[i], full[j])) -
                                                colorDistributionDistance(reduced[i], reduced[j])));
    QVERIFY2(largestMove < 0.02, qPrintable(QString::number(largestMove)));
}

void TestShotFeatures::cameraGeometry()
{
    // The identity camera looks along -z: its target lies in front of it.
    Camera identity;
    identity.center = {1, 2, 3};
    ShotFeatures f;
    applyCameraFeatures(f, identity, 5.0f);
    QCOMPARE(f.dir, ksr::Point3f(0, 0, -1));
    QCOMPARE(f.pos, ksr::Point3f(1, 2, 3));
    QCOMPARE(f.target, ksr::Point3f(1, 2, -2));
    QCOMPARE(f.depth, 5.0f);

    // The viewing axis is the third row, not the third column: a camera turned 90 degrees about x
    // (rows x, -z, y) looks along -y.
    Camera turned;
    turned.rotation[1][1] = 0;
    turned.rotation[1][2] = -1;
    turned.rotation[2][1] = 1;
    turned.rotation[2][2] = 0;
    ShotFeatures t;
    applyCameraFeatures(t, turned, 2.0f);
    QCOMPARE(t.dir, ksr::Point3f(0, -1, 0));
    QCOMPARE(t.target, ksr::Point3f(0, -2, 0));

    // A z axis that is not unit length is normalised before the target is placed.
    applyCameraFeatures(f, cameraAt({0, 0, 0}, {0, 3, 4}), 10.0f);
    QCOMPARE(f.dir, ksr::Point3f(0, -0.6f, -0.8f));
    QCOMPARE(f.target, ksr::Point3f(0, -6, -8));

    // Two level cameras looking in opposite directions are as far apart as directions can be.
    ShotFeatures north, south;
    applyCameraFeatures(north, cameraAt({0, 0, 0}, {0, 1, 0}), 1.0f);
    applyCameraFeatures(south, cameraAt({0, 0, 0}, {0, -1, 0}), 1.0f);
    QCOMPARE(directionDistance(north, south), 2.0f);

    ShotFeatures zero;
    applyCameraFeatures(zero, cameraAt({4, 5, 6}, {0, 0, 0}), 7.0f);
    QCOMPARE(zero.dir, ksr::Point3f(0, 0, 0));
    QCOMPARE(zero.target, zero.pos);
    QCOMPARE(directionDistance(zero, f), 1.0f);
    QCOMPARE(directionDistance(f, zero), 1.0f);
}

void TestShotFeatures::labConversion()
{
    const LabColor black = srgbToLab(0, 0, 0);
    QCOMPARE(black.L, 0.0);
    QVERIFY(std::abs(black.a) < 1e-12 && std::abs(black.b) < 1e-12);
    const LabColor white = srgbToLab(255, 255, 255);
    QVERIFY(std::abs(white.L - 100.0) < 0.01);
    QVERIFY(std::abs(white.a) < 0.02 && std::abs(white.b) < 0.02);
    const LabColor red = srgbToLab(255, 0, 0);
    QVERIFY(std::abs(red.L - 53.2329) < 0.001);
    QVERIFY(std::abs(red.a - 80.1093) < 0.001);
    QVERIFY(std::abs(red.b - 67.2201) < 0.001);
    // A dark grey lies on the linear part of both curves.
    const LabColor darkGrey = srgbToLab(5, 5, 5);
    QVERIFY(std::abs(darkGrey.L - 903.3 * (5.0 / 255.0 / 12.92)) < 0.05);
}

void TestShotFeatures::distances()
{
    const ShotFeatures early = withTime(0), late = withTime(90);
    QCOMPARE(timeDistance(early, late), 90.0f);
    QCOMPARE(timeDistance(late, early), 90.0f);
    QCOMPARE(timeDistance(late, late), 0.0f);

    ShotFeatures a, b;
    a.dir = {0, 0, 1};
    b.dir = {0, 0, 1};
    QCOMPARE(directionDistance(a, b), 0.0f);
    b.dir = {0, 5, 0}; // not yet unit length
    QCOMPARE(directionDistance(a, b), 1.0f);
    b.dir = {0, 0, -2};
    QCOMPARE(directionDistance(a, b), 2.0f);

    a.pos = {1, 1, 1};
    b.pos = {4, 5, 1};
    a.target = {0, 0, 0};
    b.target = {0, 0, -2};
    QCOMPARE(positionDistance(a, b), 5.0f);
    QCOMPARE(targetDistance(b, a), 2.0f);
    QCOMPARE(constantDistance(a, b), 1.0f);
    for (int slot = 0; slot < featureSlotCount; ++slot)
        QVERIFY(slotDistance(slot, a, b) >= 0.0f);
    QCOMPARE(slotDistance(positionSlot, a, b), 5.0f);
    QCOMPARE(slotDistance(constantSlot, a, b), 1.0f);
}

void TestShotFeatures::colorSpatialUsesStoredOrder()
{
    // Stored triples are (blue, green, red) means; red against black scores as red, not as blue.
    const ShotFeatures black = withCells(0, 0, 0);
    const ShotFeatures blue = withCells(255, 0, 0);
    const ShotFeatures red = withCells(0, 0, 255);
    const LabColor asRed = srgbToLab(255, 0, 0), asBlue = srgbToLab(0, 0, 255);
    const float expectedRed = float(std::sqrt(asRed.L * asRed.L + asRed.a * asRed.a + asRed.b * asRed.b));
    const float expectedBlue =
        float(std::sqrt(asBlue.L * asBlue.L + asBlue.a * asBlue.a + asBlue.b * asBlue.b));
    QVERIFY(std::abs(colorSpatialDistance(red, black) - expectedRed) < 1e-3f);
    QVERIFY(std::abs(colorSpatialDistance(black, blue) - expectedBlue) < 1e-3f);
    QCOMPARE(colorSpatialDistance(red, red), 0.0f);
}

void TestShotFeatures::colorSpatialMatchesPerCallConversion()
{
    // The per-record L*a*b* cells give bit for bit what converting inside the distance gives.
    for (int seed = 0; seed < 20; ++seed) {
        ShotFeatures a, b;
        for (int k = 0; k < 48; ++k) {
            a.colorSpatialDistr[k] = (k * 37 + seed * 11) % 256;
            b.colorSpatialDistr[k] = (k * 53 + seed * 29) % 256;
        }
        a.colorDistr[3] = b.colorDistr[9] = 10;
        updateDerivedFeatures(a);
        updateDerivedFeatures(b);
        double sum = 0.0;
        for (int cell = 0; cell < 16; ++cell) {
            const int *p = &a.colorSpatialDistr[3 * cell], *q = &b.colorSpatialDistr[3 * cell];
            const LabColor la = srgbToLab(p[2], p[1], p[0]), lb = srgbToLab(q[2], q[1], q[0]);
            sum += std::sqrt((la.L - lb.L) * (la.L - lb.L) + (la.a - lb.a) * (la.a - lb.a) +
                             (la.b - lb.b) * (la.b - lb.b));
        }
        QVERIFY(sameBits(colorSpatialDistance(a, b), float(sum * 0.0625)));
    }
}

void TestShotFeatures::colorDistribution_data()
{
    QTest::addColumn<ShotFeatures>("a");
    QTest::addColumn<ShotFeatures>("b");
    QTest::addColumn<float>("expected");
    QTest::newRow("identical") << withHistogram({{1, 5}, {7, 5}}) << withHistogram({{1, 5}, {7, 5}}) << 0.0f;
    QTest::newRow("same shares, other size")
        << withHistogram({{1, 5}, {7, 15}}) << withHistogram({{1, 50}, {7, 150}}) << 0.0f;
    QTest::newRow("disjoint") << withHistogram({{0, 4}}) << withHistogram({{63, 1000}}) << 2.0f;
    QTest::newRow("half shared") << withHistogram({{0, 2}, {1, 2}}) << withHistogram({{0, 1}, {2, 1}})
                                 << 1.0f;
    QTest::newRow("quarter moved") << withHistogram({{0, 4}}) << withHistogram({{0, 3}, {5, 1}}) << 0.5f;
    QTest::newRow("one without pixels") << withHistogram({{0, 4}}) << withHistogram({}) << 0.0f;
}

void TestShotFeatures::colorDistribution()
{
    QFETCH(ShotFeatures, a);
    QFETCH(ShotFeatures, b);
    QFETCH(float, expected);
    QCOMPARE(colorDistributionDistance(a, b), expected);
    QCOMPARE(colorDistributionDistance(b, a), expected);
}

void TestShotFeatures::normalizationSampling()
{
    // n = 25: step 2, i over the even rows, j over the odd ones. Rows 2 and 4 lie 20000 s apart,
    // but both are even, so that pair is never sampled: the largest sampled distance is 10000.
    QVector<ShotFeatures> rows;
    for (int i = 0; i < 25; ++i)
        rows.append(withTime(i == 2 ? 10000 : (i == 4 ? -10000 : 0)));
    FeatureTable factors = normalizationFor(rows);
    QCOMPARE(factors[timeSlot], float(1.0 / 10000.0));
    // Every other slot has only zero distances: factor 1.
    for (int slot = 1; slot < featureSlotCount; ++slot)
        QCOMPARE(factors[slot], 1.0f);

    // n = 30: step 3, i = 0, 3, ..., 27 and j = 1, 4, ..., 28: row 2 is never sampled, so its
    // outlying position does not count; the largest sampled distance is |0 - 28|.
    rows.clear();
    for (int i = 0; i < 30; ++i) {
        ShotFeatures f = withTime(0);
        f.pos = {float(i == 2 ? 1000 : i), 0, 0};
        rows.append(f);
    }
    factors = normalizationFor(rows);
    QCOMPARE(factors[positionSlot], float(1.0 / 28.0));
    rows.resize(1);
    factors = normalizationFor(rows);
    for (float v : factors)
        QCOMPARE(v, 1.0f);
    factors = normalizationFor({});
    for (float v : factors)
        QCOMPARE(v, 1.0f);
}

void TestShotFeatures::weightsAndCombinedDistance()
{
    ShotFeatures a = withTime(0), b = withTime(50), c = withTime(200);
    a.pos = {0, 0, 0};
    b.pos = {0, 3, 4};
    c.pos = {0, 0, 10};
    const QVector<ShotFeatures> rows{a, b, c};
    const FeatureTable factors = normalizationFor(rows); // n = 3, step 1: pairs (0..2, 1..2)
    QCOMPARE(factors[timeSlot], float(1.0 / 200.0));
    QCOMPARE(factors[positionSlot], float(1.0 / 10.0));
    QCOMPARE(factors[constantSlot], 1.0f);

    const FeatureTable weights = weightsFor({1.0f, 0, 0, 0, 0.5f, 0, 0.25f}, factors);
    QCOMPARE(weights[timeSlot], float(1.0 / 200.0));
    QCOMPARE(weights[positionSlot], 0.5f * float(1.0 / 10.0));
    QCOMPARE(weights[constantSlot], 0.25f);
    // 50 s of 200 and 5 of 10 units at half weight, plus the constant term.
    const float expected = 50.0f * weights[timeSlot] + 5.0f * weights[positionSlot] + 0.25f;
    QVERIFY(std::abs(combinedDistance(a, b, weights) - expected) < 1e-6f);
    QVERIFY(sameBits(combinedDistance(a, b, weights), combinedDistance(b, a, weights)));
    QCOMPARE(combinedDistance(a, a, weights), 0.25f);
    QCOMPARE(combinedDistance(a, c, weightsFor(FeatureTable{}, factors)), 0.0f);
}

QTEST_GUILESS_MAIN(TestShotFeatures)
#include "tst_shotfeatures.moc"
