// The ordering job as the window runs it: signals and their order, progress, the feature cache.

#include "../exif/exiftestjpeg.h"
#include "orderandsemanticthread.h"
#include "ordering.h"

#include <QFile>
#include <QMutex>
#include <QTemporaryDir>
#include <QTest>

using namespace exiftest;

namespace
{

// Records every signal of a job, in the order the job emitted them (direct calls in its thread).
class Recorder : public QObject
{
    Q_OBJECT
public:
    explicit Recorder(OrderAndSemanticThread &job)
    {
        connect(&job, &OrderAndSemanticThread::progress, this, &Recorder::onProgress, Qt::DirectConnection);
        connect(&job, &OrderAndSemanticThread::newOrder, this, &Recorder::onOrder, Qt::DirectConnection);
        connect(&job, &OrderAndSemanticThread::newSemantic, this, &Recorder::onSemantic,
                Qt::DirectConnection);
        connect(&job, &OrderAndSemanticThread::unreadableImage, this, &Recorder::onUnreadable,
                Qt::DirectConnection);
    }
    QStringList events;
    QStringList unreadableNames;
    QVector<int> order, semantic;

public slots:
    void onProgress(int percent) { add(QString::number(percent)); }
    void onUnreadable(int row, QString name)
    {
        add(QString("unreadable %1").arg(row));
        QMutexLocker lock(&m_mutex);
        unreadableNames << name;
    }
    void onOrder(QVector<int> o)
    {
        QMutexLocker lock(&m_mutex);
        order = o;
        events << "order";
    }
    void onSemantic(QVector<int> s)
    {
        QMutexLocker lock(&m_mutex);
        semantic = s;
        events << "semantic";
    }

private:
    void add(const QString &event)
    {
        QMutexLocker lock(&m_mutex);
        events << event;
    }
    QMutex m_mutex;
};

struct Run {
    QStringList events;
    QVector<int> order, semantic;
    QStringList unreadableNames;
};

Run runJob(const QStringList &paths, const QVector<Camera> &cameras, const QVector<float> &depths,
           float weight = 1.0f, bool stopFirst = false)
{
    OrderAndSemanticThread job(paths, cameras, depths, weight, weight, weight, weight, weight, weight, weight,
                               weight, weight, weight, weight, weight);
    Recorder recorder(job);
    if (stopFirst)
        job.requestStop();
    job.start();
    if (!job.wait(120000))
        qFatal("ordering job did not finish");
    return {recorder.events, recorder.order, recorder.semantic, recorder.unreadableNames};
}

bool isPermutation(QVector<int> order, int n)
{
    std::sort(order.begin(), order.end());
    for (int i = 0; i < order.size(); ++i)
        if (order[i] != i)
            return false;
    return order.size() == n;
}

} // namespace

class TestOrderAndSemanticThread : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString photo(const QString &name, QRgb colour, int width = 16, int height = 8,
                  const QByteArray &date = {})
    {
        const QString path = m_dir.filePath(name);
        const QByteArray jpeg = date.isEmpty() ? plainJpeg(width, height, colour)
                                               : withSections(plainJpeg(width, height, colour), app1([&] {
                                                                  TiffBuilder t(false);
                                                                  t.directories = {{ascii(0x9003, date)}};
                                                                  return t.tiff();
                                                              }()));
        if (!writeFile(path, jpeg))
            qFatal("cannot write %s", qPrintable(path));
        return path;
    }

private slots:
    void init() { OrderAndSemanticThread::clearFeatureCache(); }
    void signalsAndProgress_data();
    void signalsAndProgress();
    void weightsInSlotOrder();
    void cacheKeepsOnlyWhatComesFromTheFile();
    void cacheFollowsTheFile();
    void stopEndsTheRun();
    void unreadablePhotosAndShortInputs();
    void sharedTablesAfterRun();
    void concurrentJobsKeepTheirResults();
    void photographsReadOnlyForWeightedFeatures_data();
    void photographsReadOnlyForWeightedFeatures();
};

void TestOrderAndSemanticThread::signalsAndProgress_data()
{
    QTest::addColumn<int>("n");
    QTest::addColumn<QStringList>("events");
    QTest::newRow("no shots") << 0 << QStringList{"0", "order", "semantic", "100"};
    QTest::newRow("one shot") << 1 << QStringList{"0", "80", "order", "90", "semantic", "100"};
    QTest::newRow("three shots") << 3 << QStringList{"0", "26", "53", "80", "order", "90", "semantic", "100"};
}

void TestOrderAndSemanticThread::signalsAndProgress()
{
    QFETCH(int, n);
    QFETCH(QStringList, events);
    QStringList paths;
    QVector<Camera> cameras;
    QVector<float> depths;
    for (int i = 0; i < n; ++i) {
        paths << photo(QString("p%1.jpg").arg(i), qRgb(40 * i, 100, 200), 16, 8,
                       "2010:01:01 10:00:0" + QByteArray::number(i));
        cameras << cameraAt(float(i));
        depths << 1.0f;
    }
    const Run run = runJob(paths, cameras, depths);
    QCOMPARE(run.events, events);
    QVERIFY(isPermutation(run.order, n));
    QCOMPARE(run.semantic.size(), n);
    if (n == 1) {
        QCOMPARE(run.order, QVector<int>{0});
        QCOMPARE(run.semantic, QVector<int>{0});
    }
    QCOMPARE(OrderAndSemanticThread::featureCache().size(), n);
}

void TestOrderAndSemanticThread::weightsInSlotOrder()
{
    // Constructor order: time, direction, position, target, color, color spatial (twice).
    OrderAndSemanticThread job({}, {}, {}, 1, 2, 3, 4, 5, 6, 11, 12, 13, 14, 15, 16);
    QCOMPARE(job.orderWeights(), (FeatureTable{1, 5, 6, 2, 3, 4, 0}));
    QCOMPARE(job.semanticWeights(), (FeatureTable{11, 15, 16, 12, 13, 14, 0}));

    // The value type names the same twelve weights.
    const OrderingWeights weights{{1, 2, 3, 4, 5, 6}, {11, 12, 13, 14, 15, 16}};
    QCOMPARE(job.weights(), weights);
    OrderAndSemanticThread fromValue({}, {}, {}, weights);
    QCOMPARE(fromValue.orderWeights(), job.orderWeights());
    QCOMPARE(fromValue.semanticWeights(), job.semanticWeights());
}

void TestOrderAndSemanticThread::cacheKeepsOnlyWhatComesFromTheFile()
{
    // Photos without a date get the current time when decoded: an unchanged time proves the
    // cached entry was reused instead of the file being read again.
    const QStringList paths{photo("c0.jpg", qRgb(255, 0, 0)), photo("c1.jpg", qRgb(0, 255, 0)),
                            photo("c2.jpg", qRgb(0, 0, 255))};
    runJob(paths, {cameraAt(0), cameraAt(1), cameraAt(2)}, {1, 1, 1});
    const QVector<ShotFeatures> first = OrderAndSemanticThread::featureCache();
    QCOMPARE(first.size(), 3);
    QTest::qWait(1100);

    // New cameras and depths (a new depth run): geometry follows them, time and colours are reused.
    runJob(paths, {cameraAt(10), cameraAt(11, 5), cameraAt(12)}, {2, 3, 4});
    const QVector<ShotFeatures> second = OrderAndSemanticThread::featureCache();
    QCOMPARE(second.size(), 3);
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(second[i].name, paths[i]);
        QCOMPARE(second[i].time, first[i].time);
        QVERIFY(second[i].colorDistr == first[i].colorDistr);
        QCOMPARE(second[i].pos, ksr::Point3f(10.0f + i, i == 1 ? 5.0f : 0.0f, 0.0f));
        QCOMPARE(second[i].depth, float(2 + i));
        QCOMPARE(second[i].target, second[i].pos - ksr::Point3f(0, 0, float(2 + i))); // looks along -z
    }

    // A shorter table cuts the cache; a row whose path changed is computed anew.
    const QString other = photo("c3.jpg", qRgb(255, 255, 255));
    runJob({paths[0], other}, {cameraAt(0), cameraAt(1)}, {1, 1});
    const QVector<ShotFeatures> third = OrderAndSemanticThread::featureCache();
    QCOMPARE(third.size(), 2);
    QCOMPARE(third[0].time, first[0].time);
    QCOMPARE(third[1].name, other);
    QVERIFY(third[1].time > first[1].time);
    QCOMPARE(third[1].colorDistr[63], 16 * 8);
}

void TestOrderAndSemanticThread::cacheFollowsTheFile()
{
    const QString path = photo("f0.jpg", qRgb(255, 0, 0), 16, 8, "2010:01:01 10:00:00");
    const QString steady = photo("f1.jpg", qRgb(0, 0, 0), 16, 8, "2010:01:01 11:00:00");
    runJob({path, steady}, {cameraAt(0), cameraAt(1)}, {1, 1});
    QCOMPARE(OrderAndSemanticThread::featureCache()[0].colorDistr[48], 16 * 8);

    // The photograph replaced on disk under the same name: new colours and new time of shot.
    photo("f0.jpg", qRgb(0, 0, 255), 24, 8, "2011:02:02 12:00:00");
    runJob({path, steady}, {cameraAt(0), cameraAt(1)}, {1, 1});
    QVector<ShotFeatures> cache = OrderAndSemanticThread::featureCache();
    QCOMPARE(cache[0].colorDistr[48], 0);
    QCOMPARE(cache[0].colorDistr[3], 24 * 8);
    QCOMPARE(cache[0].time, QDateTime(QDate(2011, 2, 2), QTime(12, 0), Qt::LocalTime));

    QCOMPARE(cache[1].colorDistr[0], 16 * 8);

    // The same bytes with a new modification time: read again (an undated photo gets a new time).
    const QString undated = photo("g0.jpg", qRgb(0, 255, 0));
    runJob({undated}, {cameraAt(0)}, {1});
    const QDateTime before = OrderAndSemanticThread::featureCache()[0].time;
    QTest::qWait(1100);
    runJob({undated}, {cameraAt(0)}, {1});
    QCOMPARE(OrderAndSemanticThread::featureCache()[0].time, before);
    QFile file(undated);
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.setFileTime(QDateTime::currentDateTime().addSecs(3600), QFileDevice::FileModificationTime));
    file.close();
    runJob({undated}, {cameraAt(0)}, {1});
    QVERIFY(OrderAndSemanticThread::featureCache()[0].time > before);
}

void TestOrderAndSemanticThread::stopEndsTheRun()
{
    QStringList paths;
    for (int i = 0; i < 4; ++i)
        paths << photo(QString("s%1.jpg").arg(i), qRgb(10, 20, 30 * i));
    const Run run = runJob(paths, {}, {}, 1.0f, true);
    QCOMPARE(run.events, QStringList{"0"});
    QVERIFY(run.order.isEmpty());
    QVERIFY(OrderAndSemanticThread::featureCache().isEmpty());

    // Stopped after the second photograph: no results, but the rows done so far stay cached.
    OrderAndSemanticThread job(paths, {}, {}, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1);
    Recorder recorder(job);
    connect(
        &job, &OrderAndSemanticThread::progress, &job,
        [&job](int percent) {
            if (percent == 40)
                job.requestStop();
        },
        Qt::DirectConnection);
    job.start();
    QVERIFY(job.wait(60000));
    QCOMPARE(recorder.events, (QStringList{"0", "20", "40"}));
    const QVector<ShotFeatures> cache = OrderAndSemanticThread::featureCache();
    QCOMPARE(cache.size(), 2);
    QCOMPARE(cache[1].name, paths[1]);
}

void TestOrderAndSemanticThread::unreadablePhotosAndShortInputs()
{
    // Missing files, random bytes named .jpg, fewer cameras and depths than photographs.
    const QString junk = m_dir.filePath("junk.jpg");
    QVERIFY(writeFile(junk, QByteArray(3000, '\x5A')));
    const QStringList paths{photo("u0.jpg", qRgb(1, 2, 3)), junk, m_dir.filePath("missing.JPG"),
                            photo("u3.jpg", qRgb(200, 2, 3)), junk};
    const Run run = runJob(paths, {cameraAt(3)}, {}, 1.0f);
    QCOMPARE(run.events.mid(0, 9), (QStringList{"0", "16", "unreadable 1", "32", "unreadable 2", "48", "64",
                                                "unreadable 4", "80"}));
    QVERIFY(isPermutation(run.order, 5));
    QCOMPARE(run.semantic.size(), 5);
    for (int k = 1; k < 5; ++k)
        QVERIFY(run.semantic[run.order[k]] > run.semantic[run.order[k - 1]]);
    QCOMPARE(run.events.last(), QString("100"));
    QCOMPARE(run.unreadableNames, (QStringList{paths[1], paths[2], paths[4]}));

    // A photograph the import did not find has no path: it is named by its row, never by a blank.
    const Run unnamed = runJob({paths[0], QString()}, {}, {});
    QCOMPARE(unnamed.unreadableNames, QStringList{"Photograph 2: not found"});
}

void TestOrderAndSemanticThread::sharedTablesAfterRun()
{
    const QStringList paths{photo("t0.jpg", qRgb(255, 0, 0), 16, 8, "2010:01:01 10:00:00"),
                            photo("t1.jpg", qRgb(0, 255, 0), 16, 8, "2010:01:01 10:01:40")};
    OrderAndSemanticThread job(paths, {cameraAt(0), cameraAt(4)}, {1, 1}, 1, 0, 0, 0, 0, 0, 0, 0, 0.5f, 0, 0,
                               0);
    job.start();
    QVERIFY(job.wait(60000));
    // The clustering weights were set last: position weight 0.5 times its factor 1/4.
    const FeatureTable factors = normalizationFactors();
    QCOMPARE(factors[timeSlot], float(1.0 / 100.0));
    QCOMPARE(factors[positionSlot], 0.25f);
    QCOMPARE(featureWeights(), weightsFor(job.semanticWeights(), factors));
}

void TestOrderAndSemanticThread::concurrentJobsKeepTheirResults()
{
    // Two tables of different content: alone and side by side, each job gives the same results.
    QStringList a, b;
    QVector<Camera> camerasA, camerasB;
    for (int i = 0; i < 12; ++i) {
        a << photo(QString("ca%1.jpg").arg(i), qRgb(20 * i, 0, 0), 16, 8,
                   "2010:01:01 10:00:" + QByteArray::number(10 + i));
        b << photo(QString("cb%1.jpg").arg(i), qRgb(0, 0, 250 - 20 * i), 8, 16,
                   "2012:05:05 1" + QByteArray::number(i % 10) + ":00:00");
        camerasA << cameraAt(float((i * 7) % 12));
        camerasB << cameraAt(float(i % 3) * 50.0f, float(i));
    }
    const QVector<float> depths(12, 2.0f);
    const Run aloneA = runJob(a, camerasA, depths);
    const Run aloneB = runJob(b, camerasB, depths);

    for (int round = 0; round < 3; ++round) {
        OrderAndSemanticThread jobA(a, camerasA, depths, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1);
        OrderAndSemanticThread jobB(b, camerasB, depths, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1);
        Recorder recA(jobA), recB(jobB);
        jobA.start();
        jobB.start();
        QVERIFY(jobA.wait(60000));
        QVERIFY(jobB.wait(60000));
        QCOMPARE(recA.order, aloneA.order);
        QCOMPARE(recA.semantic, aloneA.semantic);
        QCOMPARE(recB.order, aloneB.order);
        QCOMPARE(recB.semantic, aloneB.semantic);
    }
}

void TestOrderAndSemanticThread::photographsReadOnlyForWeightedFeatures_data()
{
    QTest::addColumn<OrderingWeights>("weights");
    QTest::addColumn<bool>("time");
    QTest::addColumn<bool>("colors");
    const FeatureWeightSet defaults{0, 0.5f, 0.5f, 0, 0, 0};
    FeatureWeightSet timed = defaults, colored = defaults, spatial = defaults;
    timed.time = 0.3f;
    colored.color = 0.2f;
    spatial.colorSpatial = 1.0f;
    QTest::newRow("default weights") << OrderingWeights{defaults, defaults} << false << false;
    QTest::newRow("time for clustering") << OrderingWeights{defaults, timed} << true << false;
    QTest::newRow("colours for ordering") << OrderingWeights{colored, defaults} << false << true;
    QTest::newRow("colour layout for clustering") << OrderingWeights{defaults, spatial} << false << true;
    QTest::newRow("everything") << OrderingWeights{{1, 1, 1, 1, 1, 1}, {1, 1, 1, 1, 1, 1}} << true << true;
}

void TestOrderAndSemanticThread::photographsReadOnlyForWeightedFeatures()
{
    QFETCH(OrderingWeights, weights);
    QFETCH(bool, time);
    QFETCH(bool, colors);
    QStringList paths;
    QVector<Camera> cameras;
    const QVector<float> depths(10, 2.0f);
    for (int i = 0; i < 9; ++i) {
        paths << photo(QString("w%1.jpg").arg(i), qRgb(25 * i, 255 - 20 * i, (90 * i) % 256), 16, 8,
                       "2010:01:01 10:0" + QByteArray::number(9 - i) + ":00");
        cameras << cameraAt(float((i * 5) % 9), float(i % 2));
    }
    // A file that is no photograph is reported even when no pixel is read.
    const QString junk = m_dir.filePath("w-junk.jpg");
    QVERIFY(writeFile(junk, QByteArray(500, '\x5A')));
    paths << junk;
    cameras << cameraAt(4.5f);

    // A cache filled without the parts this run needs is read again.
    OrderAndSemanticThread first(paths, cameras, depths, OrderingWeights{});
    first.start();
    QVERIFY(first.wait(60000));

    OrderAndSemanticThread job(paths, cameras, depths, weights);
    Recorder recorder(job);
    job.start();
    QVERIFY(job.wait(60000));
    QCOMPARE(recorder.unreadableNames, QStringList{junk});
    const QVector<ShotFeatures> cache = OrderAndSemanticThread::featureCache();
    QCOMPARE(cache.size(), paths.size());
    for (int i = 0; i < 9; ++i) {
        QCOMPARE(cache[i].hasShotTime, time);
        QCOMPARE(cache[i].hasColors, colors);
        QCOMPARE(cache[i].imageReadable, true);
        QCOMPARE(cache[i].time == QDateTime(QDate(2010, 1, 1), QTime(10, 9 - i), Qt::LocalTime), time);
        QCOMPARE(cache[i].pixelCount, colors ? 16 * 8 : 0);
    }

    // The same results as from records with every part read.
    QVector<ShotFeatures> full;
    for (int i = 0; i < paths.size(); ++i)
        full.append(computeShotFeatures(paths[i], cameras[i], 2.0f));
    full.last().time = cache.last().time; // an undated file takes the time it was read
    updateDerivedFeatures(full.last());
    const FeatureTable factors = normalizationFor(full);
    const FeatureTable orderWeights = weightsFor(job.orderWeights(), factors);
    const QVector<int> order = ordering::computeOrder(full, orderWeights);
    QCOMPARE(recorder.order, order);
    QCOMPARE(recorder.semantic,
             ordering::computeSemantic(full, order, weightsFor(job.semanticWeights(), factors)));
}

QTEST_GUILESS_MAIN(TestOrderAndSemanticThread)
#include "tst_orderandsemanticthread.moc"
