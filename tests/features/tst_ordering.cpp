// The ordering rules on hand-made distance matrices, and the order and semantic values on records.

#include "ordering.h"
#include "polyforgeproject.h"
#include "syntheticrecords.h"

#include <QDir>
#include <QImageReader>
#include <QTest>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>

namespace Job = ordering;

namespace
{

// Symmetric matrix from its upper triangle, given row by row (a < b).
Job::DistanceMatrix matrixFrom(int n, const QVector<float> &upper)
{
    Job::DistanceMatrix m(n);
    int k = 0;
    for (int a = 0; a < n; ++a)
        for (int b = a + 1; b < n; ++b) {
            const float d = upper.value(k++);
            m.set(a, b, d);
            m.total += d;
        }
    return m;
}

bool isPermutation(const QVector<int> &order, int n)
{
    QVector<int> sorted = order;
    std::sort(sorted.begin(), sorted.end());
    for (int i = 0; i < n; ++i)
        if (sorted.value(i, -1) != i)
            return false;
    return sorted.size() == n;
}

ShotFeatures timed(qint64 seconds)
{
    ShotFeatures f;
    f.time = QDateTime::fromSecsSinceEpoch(1200000000 + seconds);
    updateDerivedFeatures(f);
    return f;
}

QVector<ShotFeatures> randomRecords(int n, unsigned seed)
{
    std::mt19937 random(seed);
    std::uniform_real_distribution<float> unit(-1.0f, 1.0f);
    QVector<ShotFeatures> rows;
    for (int i = 0; i < n; ++i) {
        ShotFeatures f = timed(qint64(random() % 100000));
        for (int k = 0; k < 64; ++k)
            f.colorDistr[k] = int(random() % 1000);
        for (int k = 0; k < 48; ++k)
            f.colorSpatialDistr[k] = int(random() % 256);
        f.dir = ksr::Point3f(unit(random), unit(random), unit(random)).normalized();
        f.pos = {100 * unit(random), 100 * unit(random), 10 * unit(random)};
        f.depth = 5 + 5 * unit(random);
        f.target = f.pos + f.dir * f.depth;
        updateDerivedFeatures(f);
        rows.append(f);
    }
    return rows;
}

// Records from the real Sceaux photographs and cameras: each photograph's time, colours of crops
// of it at many places and its camera moved along a small path, n records in all.
QVector<ShotFeatures> sceauxRecords(int n)
{
    const QString folder = QStringLiteral(ORVELLE_TEST_DATA "/sceaux");
    QVector<Camera> cameras;
    QStringList rasters, meshes;
    if (!PolyforgeProject::readProject(folder + "/sceaux.pfp", cameras, rasters, meshes) || cameras.isEmpty())
        return {};
    QVector<ShotFeatures> photos;
    QVector<QImage> images;
    for (int i = 0; i < cameras.size(); ++i) {
        const QString path = QDir(folder).filePath(rasters.value(i));
        photos.append(computeShotFeatures(path, cameras[i], 8.0f + i));
        images.append(QImageReader(path).read().convertToFormat(QImage::Format_RGB32));
        if (images.last().isNull())
            return {};
    }
    std::mt19937 random(7);
    QVector<ShotFeatures> rows;
    for (int i = 0; i < n; ++i) {
        const int k = i % photos.size();
        ShotFeatures f = photos[k];
        const QImage &image = images[k];
        const int w = image.width() / 4, h = image.height() / 4;
        computeColorFeatures(
            image.copy(int(random() % (image.width() - w)), int(random() % (image.height() - h)), w, h), f);
        f.time = f.time.addSecs(i / photos.size());
        f.pos = f.pos + ksr::Point3f(0.01f * float(i / photos.size()), 0.0f, 0.002f * float(random() % 100));
        f.target = f.pos + f.dir * f.depth;
        updateDerivedFeatures(f);
        rows.append(f);
    }
    return rows;
}

// FNV-1a over the values in turn.
quint64 checksum(const QVector<int> &values, quint64 hash = 14695981039346656037ull)
{
    for (int value : values)
        for (int byte = 0; byte < 4; ++byte) {
            hash ^= (quint32(value) >> (8 * byte)) & 0xFFu;
            hash *= 1099511628211ull;
        }
    return hash;
}

} // namespace

class TestOrdering : public QObject
{
    Q_OBJECT

private slots:
    void groupByLeader_data();
    void groupByLeader();
    void chainWithinGroup_data();
    void chainWithinGroup();
    void chainGroups_data();
    void chainGroups();
    void allDistancesZero();
    void hostileDistancesStillGiveAPermutation();
    void matrixIsIdenticalToOneThread();
    void similarShotsBecomeNeighbours();
    void semanticSteps();
    void streetLayoutWorkedByHand();
    void orderWithoutMatrix_data();
    void orderWithoutMatrix();
    void benchRecordsKeepTheirOrder();
};

void TestOrdering::groupByLeader_data()
{
    QTest::addColumn<int>("n");
    QTest::addColumn<QVector<float>>("upper");
    QTest::addColumn<double>("threshold");
    QTest::addColumn<QVector<QVector<int>>>("groups");

    // Rows 0..4; 0-2 close, 1-3 close, 4 alone.
    const QVector<float> five{9, 1, 9, 9, /*1:*/ 9, 1, 9, /*2:*/ 9, 9, /*3:*/ 9};
    QTest::newRow("two pairs and a single") << 5 << five << 2.0 << QVector<QVector<int>>{{0, 2}, {1, 3}, {4}};
    QTest::newRow("distance equal to threshold stays out")
        << 5 << five << 1.0 << QVector<QVector<int>>{{0}, {1}, {2}, {3}, {4}};
    QTest::newRow("zero threshold") << 3 << QVector<float>{0, 0, 0} << 0.0
                                    << QVector<QVector<int>>{{0}, {1}, {2}};
    // Row 2 is near leader 0 and near leader 1: it joins 0 and never moves.
    QTest::newRow("first leader keeps its rows")
        << 3 << QVector<float>{9, 1, 1} << 2.0 << QVector<QVector<int>>{{0, 2}, {1}};
    // Members are gathered by the leader's distance only: 2 is near 1 but 1 is not the leader.
    QTest::newRow("only the leader's distance counts")
        << 3 << QVector<float>{1, 9, 1} << 2.0 << QVector<QVector<int>>{{0, 1}, {2}};
    QTest::newRow("everyone near row 0")
        << 4 << QVector<float>{1, 1, 1, 9, 9, 9} << 2.0 << QVector<QVector<int>>{{0, 1, 2, 3}};
}

void TestOrdering::groupByLeader()
{
    QFETCH(int, n);
    QFETCH(QVector<float>, upper);
    QFETCH(double, threshold);
    QFETCH(QVector<QVector<int>>, groups);
    QCOMPARE(Job::groupByLeader(matrixFrom(n, upper), threshold), groups);
}

void TestOrdering::chainWithinGroup_data()
{
    QTest::addColumn<int>("n");
    QTest::addColumn<QVector<float>>("upper");
    QTest::addColumn<QVector<int>>("group");
    QTest::addColumn<int>("start");
    QTest::addColumn<QVector<int>>("rows");
    QTest::addColumn<int>("lastPosition");

    // Points on a line at 0, 1, 3, 6: nearest neighbour from 0 walks right.
    const QVector<float> line{1, 3, 6, 2, 5, 3};
    QTest::newRow("walk along a line")
        << 4 << line << QVector<int>{0, 1, 2, 3} << 0 << QVector<int>{0, 1, 2, 3} << 3;
    QTest::newRow("start in the middle")
        << 4 << line << QVector<int>{0, 1, 2, 3} << 2 << QVector<int>{2, 1, 0, 3} << 3;
    // All equal: the first unvisited position in the cyclic scan after the current one wins.
    const QVector<float> equal(6, 1.0f);
    QTest::newRow("ties follow the cyclic scan")
        << 4 << equal << QVector<int>{0, 1, 2, 3} << 2 << QVector<int>{2, 3, 0, 1} << 1;
    QTest::newRow("zero distances") << 4 << QVector<float>(6, 0.0f) << QVector<int>{0, 1, 2, 3} << 3
                                    << QVector<int>{3, 0, 1, 2} << 2;
    // A group of rows that are not 0..m-1: positions are mapped through the group.
    QTest::newRow("group of other rows") << 5 << QVector<float>{9, 9, 9, 9, 9, 9, 9, 4, 1, 2}
                                         << QVector<int>{4, 2, 3} << 0 << QVector<int>{4, 2, 3} << 2;
    QTest::newRow("single member") << 2 << QVector<float>{1} << QVector<int>{1} << 0 << QVector<int>{1} << 0;
}

void TestOrdering::chainWithinGroup()
{
    QFETCH(int, n);
    QFETCH(QVector<float>, upper);
    QFETCH(QVector<int>, group);
    QFETCH(int, start);
    QFETCH(QVector<int>, rows);
    QFETCH(int, lastPosition);
    const Job::GroupChain chain = Job::chainWithinGroup(matrixFrom(n, upper), group, start);
    QCOMPARE(chain.rows, rows);
    QCOMPARE(chain.lastPosition, lastPosition);
}

void TestOrdering::chainGroups_data()
{
    QTest::addColumn<int>("n");
    QTest::addColumn<QVector<float>>("upper");
    QTest::addColumn<QVector<QVector<int>>>("groups");
    QTest::addColumn<QVector<int>>("order");

    // Groups {0}, {1, 2}, {3}: the larger group goes first, then the nearest by whole hop distance.
    //            0-1 0-2 0-3 1-2 1-3 2-3
    QTest::newRow("largest first, then nearest")
        << 4 << QVector<float>{5, 8, 9, 1, 7, 3.5f} << QVector<QVector<int>>{{0}, {1, 2}, {3}}
        << QVector<int>{1, 2, 3, 0};
    // Equal sizes: the lower group index starts; equal hops go to the lower member position.
    QTest::newRow("equal sizes: lowest index first")
        << 4 << QVector<float>{1, 9, 9, 9, 9, 1} << QVector<QVector<int>>{{0, 1}, {2, 3}}
        << QVector<int>{0, 1, 2, 3};
    // Hops below 1 (normalised distances) are told apart: 0.1 beats 0.9.
    QTest::newRow("fractional hops compared")
        << 3 << QVector<float>{0.9f, 0.1f, 5} << QVector<QVector<int>>{{0}, {1}, {2}}
        << QVector<int>{0, 2, 1};
    // 1.2 beats 1.9 though both have the same whole part; equal hops (9, 9) go to the lower index.
    QTest::newRow("nearest hop, then lowest index")
        << 4 << QVector<float>{2.5f, 1.9f, 1.2f, 9, 9, 9} << QVector<QVector<int>>{{0}, {1}, {2}, {3}}
        << QVector<int>{0, 3, 1, 2};
    // The larger group starts; the next group is entered at its member nearest to the last row
    // (row 1, not its leader 0), and chained on from there.
    //                      0-1 0-2 0-3 0-4 1-2 1-3 1-4 2-3 2-4 3-4
    QTest::newRow("enter at the nearest member")
        << 5 << QVector<float>{1, 9, 9, 9, 9, 2, 9, 3, 1, 2} << QVector<QVector<int>>{{0, 1}, {2, 3, 4}}
        << QVector<int>{2, 4, 3, 1, 0};
}

void TestOrdering::chainGroups()
{
    QFETCH(int, n);
    QFETCH(QVector<float>, upper);
    QFETCH(QVector<QVector<int>>, groups);
    QFETCH(QVector<int>, order);
    QCOMPARE(Job::chainGroups(matrixFrom(n, upper), groups), order);
}

void TestOrdering::allDistancesZero()
{
    const Job::DistanceMatrix zero = matrixFrom(6, QVector<float>(15, 0.0f));
    QCOMPARE(Job::groupingThreshold(zero), 0.0);
    QCOMPARE(Job::groupByLeader(zero, 0.0).size(), 6);
    QCOMPARE(Job::orderFromMatrix(zero), (QVector<int>{0, 1, 2, 3, 4, 5}));

    // All weights 0 on real records: every combined distance is 0.
    const QVector<ShotFeatures> rows = randomRecords(7, 3);
    const FeatureTable noWeights{};
    const QVector<int> order = Job::computeOrder(rows, noWeights);
    QCOMPARE(order, (QVector<int>{0, 1, 2, 3, 4, 5, 6}));
    QCOMPARE(Job::computeSemantic(rows, order, noWeights), (QVector<int>{0, 1, 2, 3, 4, 5, 6}));

    QVERIFY(Job::computeOrder({}, noWeights).isEmpty());
    QVERIFY(Job::computeSemantic({}, {}, noWeights).isEmpty());
    QCOMPARE(Job::orderFromMatrix(matrixFrom(1, {})), QVector<int>{0});
}

void TestOrdering::hostileDistancesStillGiveAPermutation()
{
    // Distances at or beyond the search bound, and infinite ones, never win a comparison; every
    // row must still be visited exactly once.
    const float inf = std::numeric_limits<float>::infinity();
    const QVector<float> huge{3e9f, 4e9f, inf, 5e9f, inf, 1e10f};
    const Job::DistanceMatrix m = matrixFrom(4, huge);
    QVERIFY(isPermutation(Job::orderFromMatrix(m), 4));
    QVERIFY(isPermutation(Job::chainWithinGroup(m, {0, 1, 2, 3}, 1).rows, 4));
    QVERIFY(isPermutation(Job::chainGroups(m, {{0}, {1}, {2}, {3}}), 4));

    // Records with NaN geometry: the matrix holds 0 instead of NaN.
    QVector<ShotFeatures> rows = randomRecords(5, 9);
    rows[2].pos = {std::nanf(""), 0, 0};
    const FeatureTable weights{0, 0, 0, 0, 1, 0, 0};
    const Job::DistanceMatrix nanMatrix = Job::distanceMatrix(rows, weights);
    for (float v : nanMatrix.values)
        QVERIFY(!std::isnan(v));
    const QVector<int> order = Job::computeOrder(rows, weights);
    QVERIFY(isPermutation(order, 5));
    const QVector<int> semantic = Job::computeSemantic(rows, order, weights);
    for (int k = 1; k < 5; ++k)
        QVERIFY(semantic[order[k]] > semantic[order[k - 1]]);
}

void TestOrdering::matrixIsIdenticalToOneThread()
{
    // Large enough to be split over two threads; every value and the total must match a plain
    // single-threaded loop bit for bit.
    const QVector<ShotFeatures> rows = randomRecords(300, 1);
    const FeatureTable weights = weightsFor({1, 1, 1, 1, 1, 1, 0}, normalizationFor(rows));
    const Job::DistanceMatrix m = Job::distanceMatrix(rows, weights);
    double total = 0.0;
    for (int a = 0; a < rows.size(); ++a) {
        QCOMPARE(m.at(a, a), 0.0f);
        for (int b = a + 1; b < rows.size(); ++b) {
            float d = combinedDistance(rows[a], rows[b], weights);
            if (d <= 0)
                d = 0;
            total += d;
            QVERIFY(std::memcmp(&d, &m.values[std::size_t(a) * 300 + b], sizeof d) == 0);
            QVERIFY(std::memcmp(&d, &m.values[std::size_t(b) * 300 + a], sizeof d) == 0);
        }
    }
    QVERIFY(std::memcmp(&total, &m.total, sizeof total) == 0);

    // Asked to stop: no matrix.
    std::atomic<bool> stop{true};
    QCOMPARE(Job::distanceMatrix(rows, weights, &stop).n, 0);
    QVERIFY(Job::computeOrder(rows, weights, &stop).isEmpty());
}

void TestOrdering::similarShotsBecomeNeighbours()
{
    // Two places 100 units apart, rows interleaved in the table.
    QVector<ShotFeatures> rows;
    for (int i = 0; i < 8; ++i) {
        ShotFeatures f = timed(0);
        f.pos = {(i % 2) * 100.0f + i * 0.5f, 0, 0};
        rows.append(f);
    }
    const FeatureTable weights = weightsFor({0, 0, 0, 0, 1, 0, 0}, normalizationFor(rows));
    const QVector<int> order = Job::computeOrder(rows, weights);
    QVERIFY(isPermutation(order, 8));
    for (int k = 0; k < 4; ++k)
        QCOMPARE(order[k] % 2, order[0] % 2);
    for (int k = 4; k < 8; ++k)
        QCOMPARE(order[k] % 2, 1 - order[0] % 2);

    // The semantic values jump where the order crosses from one place to the other.
    const QVector<int> semantic = Job::computeSemantic(rows, order, weights);
    QCOMPARE(semantic[order[0]], 0);
    int largestStep = 0, largestAt = 0;
    for (int k = 1; k < 8; ++k) {
        const int step = semantic[order[k]] - semantic[order[k - 1]];
        QVERIFY(step >= 1);
        if (step > largestStep)
            largestStep = step, largestAt = k;
    }
    QCOMPARE(largestAt, 4);
}

void TestOrdering::semanticSteps()
{
    // Time weight 2^-10: d = seconds / 1024, step = 1000 d rounded half away from zero.
    const FeatureTable weights{1.0f / 1024.0f, 0, 0, 0, 0, 0, 0};
    // seconds:            0  +2 (1.95 -> 2)  +3 (2.93 -> 3)  +0 (-> 1)  +64 (62.5 -> 63)
    const QVector<ShotFeatures> rows{timed(0), timed(2), timed(5), timed(5), timed(69)};
    QCOMPARE(Job::computeSemantic(rows, {0, 1, 2, 3, 4}, weights), (QVector<int>{0, 2, 5, 6, 69}));
    // Values are indexed by row, accumulated along the order.
    QCOMPARE(Job::computeSemantic(rows, {4, 3, 2, 1, 0}, weights), (QVector<int>{69, 67, 64, 63, 0}));
    // The constant term alone: 1000 x 0.25 per step.
    const FeatureTable constant{0, 0, 0, 0, 0, 0, 0.25f};
    QCOMPARE(Job::computeSemantic(rows, {0, 1, 2, 3, 4}, constant), (QVector<int>{0, 250, 500, 750, 1000}));
}

// Six shots taken walking along a facade, 5 m in front of it, by position only (user weight 1,
// normalised by the largest distance, 10 m):
//   shot      0  1  2  3  4   5
//   x (m)     0  1  3  8  10  9
// Distances 0-1 1, 0-2 3, 0-3 8, 0-4 10, 0-5 9, 1-2 2, 1-3 7, 1-4 9, 1-5 8, 2-3 5, 2-4 7, 2-5 6,
// 3-4 2, 3-5 1, 4-5 1: sum 79, mean 79 / 15 = 5.27 m, threshold a third of it: 1.76 m (a half,
// 2.63 m, would take in the pairs 2 m apart and give 3 5 4 2 1 0).
// Leaders gather what is strictly nearer: {0, 1}, {2}, {3, 5}, {4}. The first of the largest
// groups starts: 0 -> 1; nearest group to 1 is {2} (2 m); from 2, {3, 5} entered at 3 (5 m),
// 3 -> 5; then {4}. Order 0 1 2 3 5 4; clusters add 1000 x step / 10 m along it: 0 100 300 800 900
// 1000, listed by shot below.
void TestOrdering::streetLayoutWorkedByHand()
{
    QVector<ShotFeatures> rows;
    for (float x : {0.0f, 1.0f, 3.0f, 8.0f, 10.0f, 9.0f}) {
        ShotFeatures f = timed(0);
        f.pos = {x, -5.0f, 1.6f};
        f.dir = {0.0f, 1.0f, 0.0f};
        f.depth = 5.0f;
        f.target = f.pos + f.dir * f.depth;
        rows.append(f);
    }
    const FeatureTable weights = weightsFor({0, 0, 0, 0, 1, 0, 0}, normalizationFor(rows));
    const QVector<int> order = Job::computeOrder(rows, weights);
    QCOMPARE(order, (QVector<int>{0, 1, 2, 3, 5, 4}));
    QCOMPARE(Job::orderFromMatrix(Job::distanceMatrix(rows, weights)), order);
    QCOMPARE(Job::computeSemantic(rows, order, weights), (QVector<int>{0, 100, 300, 800, 1000, 900}));
}

void TestOrdering::orderWithoutMatrix_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<int>("n");
    QTest::addColumn<QVector<float>>("userWeights"); // slot order

    const QVector<float> all{1, 1, 1, 1, 1, 1, 0}, geometry{0, 0, 0, 0.5f, 0.5f, 0, 0};
    QTest::newRow("random, one row") << "random" << 1 << all;
    QTest::newRow("random, two rows") << "random" << 2 << all;
    QTest::newRow("random, all features, 300") << "random" << 300 << all;
    QTest::newRow("random, all features, 5000") << "random" << 5000 << all;
    QTest::newRow("random, positions and directions, 5000") << "random" << 5000 << geometry;
    // Whole seconds only: many equal distances, so every tie rule is at work.
    // Shots without colours count 0 for colours against every shot: their floors are 0.
    QTest::newRow("random, some without colours, 2000") << "uncoloured" << 2000 << all;
    QTest::newRow("random, time only, 3000") << "random" << 3000 << QVector<float>{1, 0, 0, 0, 0, 0, 0};
    QTest::newRow("random, one big group, 3000") << "clustered" << 3000 << geometry;
    QTest::newRow("random, NaN position unweighted, 500")
        << "nan" << 500 << QVector<float>{0, 0, 0, 1, 0, 1, 0};
    QTest::newRow("all distances zero, 200") << "random" << 200 << QVector<float>{0, 0, 0, 0, 0, 0, 0};
    QTest::newRow("sceaux, all features, 5000") << "sceaux" << 5000 << all;
    QTest::newRow("sceaux, positions and directions, 5000") << "sceaux" << 5000 << geometry;
    QTest::newRow("sceaux, colours only, 2000") << "sceaux" << 2000 << QVector<float>{0, 1, 1, 0, 0, 0, 0};
}

void TestOrdering::orderWithoutMatrix()
{
    QFETCH(QString, source);
    QFETCH(int, n);
    QFETCH(QVector<float>, userWeights);
    QVector<ShotFeatures> rows = source == "sceaux" ? sceauxRecords(n) : randomRecords(n, unsigned(n));
    QCOMPARE(rows.size(), n);
    if (source == "clustered") // most shots near row 0, a few far away
        for (int i = 0; i < n; ++i)
            rows[i].pos = rows[i].pos * (i % 50 == 49 ? 10.0f : 0.001f);
    if (source == "nan")
        rows[n / 2].pos = {std::nanf(""), 0, 0};
    if (source == "uncoloured")
        for (int i = 0; i < n; i += 7) {
            rows[i].colorDistr.fill(0);
            updateDerivedFeatures(rows[i]);
            QVERIFY(!rows[i].colorValid);
        }
    FeatureTable user{};
    std::copy(userWeights.begin(), userWeights.end(), user.begin());
    const FeatureTable weights = weightsFor(user, normalizationFor(rows));

    const Job::DistanceMatrix matrix = Job::distanceMatrix(rows, weights);
    const Job::PairDistances distances(rows, weights);
    for (int k = 0; k < 2000 && n > 1; ++k) { // a sample of single values, bit for bit
        const int a = int((k * 7919LL) % n), b = int((k * 104729LL + 1) % n);
        const float d = a == b ? 0.0f : distances.distance(a, b);
        QVERIFY(std::memcmp(&d, &matrix.values[std::size_t(a) * n + b], sizeof d) == 0);
    }
    const double total = Job::pairTotal(distances);
    QVERIFY(std::memcmp(&total, &matrix.total, sizeof total) == 0);
    const double threshold = Job::groupingThreshold(matrix);
    const QVector<QVector<int>> groups = Job::groupByLeader(matrix, threshold);
    QCOMPARE(Job::groupByLeader(distances, threshold), groups);

    const QVector<int> expected = Job::orderFromMatrix(matrix);
    const QVector<int> order = Job::orderFromDistances(distances);
    QVERIFY(isPermutation(order, n));
    QCOMPARE(order, expected);
    QCOMPARE(Job::computeOrder(rows, weights), expected);
    std::atomic<bool> stop{true};
    QVERIFY(Job::orderFromDistances(distances, &stop).isEmpty());
    QCOMPARE(Job::computeSemantic(distances, order), Job::computeSemantic(rows, expected, weights));
}

// The order and semantic values of 5,000 bench records with every weight, as the ordering job
// computes them, against checksums taken before the ordering was made faster.
void TestOrdering::benchRecordsKeepTheirOrder()
{
    const QVector<ShotFeatures> rows = syntheticRecords(5000);
    const FeatureTable weights =
        weightsFor({0.5f, 0.3f, 0.6f, 0.4f, 1.0f, 0.8f, 0.0f}, normalizationFor(rows));
    const QVector<int> order = Job::computeOrder(rows, weights);
    QVERIFY(isPermutation(order, rows.size()));
    const QVector<int> semantic = Job::computeSemantic(rows, order, weights);
    QCOMPARE(checksum(order), 0xe064634946b42855ull);
    QCOMPARE(checksum(semantic), 0xfccbc173a583f8d9ull);
}

QTEST_GUILESS_MAIN(TestOrdering)
#include "tst_ordering.moc"
