// The ordering job as the window runs it: signals and their order, progress, the dataset's feature store.

#include "../exif/exiftestjpeg.h"
#include "orderandsemanticthread.h"
#include "ordering.h"

#include <QFile>
#include <QFileInfo>
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

OrderingWeights uniform(float weight)
{
    const FeatureWeightSet set{weight, weight, weight, weight, weight, weight};
    return {set, set};
}

Run runJob(const QStringList &paths, const QVector<Camera> &cameras, const QVector<float> &depths,
           const std::shared_ptr<FeatureStore> &store = nullptr, float weight = 1.0f, bool stopFirst = false)
{
    OrderAndSemanticThread job(paths, cameras, depths, uniform(weight), store, FeatureDecoding::FullSize);
    Recorder recorder(job);
    if (stopFirst)
        job.requestStop();
    job.start();
    if (!job.wait(120000))
        qFatal("ordering job did not finish");
    return {recorder.events, recorder.order, recorder.semantic, recorder.unreadableNames};
}

// Whatever the store holds for the file as it is now.
std::optional<ShotFeatures> stored(const FeatureStore &store, const QString &path)
{
    return store.find(path, ImageFeatureNeeds{false, false});
}

bool touch(const QString &path, const QDateTime &modified)
{
    QFile file(path);
    return file.open(QIODevice::ReadWrite) && file.setFileTime(modified, QFileDevice::FileModificationTime);
}

// Zeros in place of the photograph, size and modification time kept: only a reused record still
// knows its colours.
bool garble(const QString &path)
{
    const QDateTime modified = QFileInfo(path).lastModified();
    QFile file(path);
    const bool written =
        file.open(QIODevice::ReadWrite) && file.write(QByteArray(file.size(), '\0')) == file.size();
    file.close();
    return written && touch(path, modified);
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
    void signalsAndProgress_data();
    void signalsAndProgress();
    void weightsInSlotOrder();
    void storeServesItsDatasetByShot();
    void storeFollowsTheFile();
    void stopEndsTheRun();
    void unreadablePhotosAndShortInputs();
    void datasetsSideBySideKeepTheirResults();
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
    const auto store = std::make_shared<FeatureStore>();
    const Run run = runJob(paths, cameras, depths, store);
    QCOMPARE(run.events, events);
    QVERIFY(isPermutation(run.order, n));
    QCOMPARE(run.semantic.size(), n);
    if (n == 1) {
        QCOMPARE(run.order, QVector<int>{0});
        QCOMPARE(run.semantic, QVector<int>{0});
    }
    QCOMPARE(store->size(), n);
}

void TestOrderAndSemanticThread::weightsInSlotOrder()
{
    const OrderingWeights weights{{1, 2, 3, 4, 5, 6}, {11, 12, 13, 14, 15, 16}};
    OrderAndSemanticThread job({}, {}, {}, weights, nullptr, FeatureDecoding::FullSize);
    QCOMPARE(job.weights(), weights);
    QCOMPARE(job.orderWeights(), (FeatureTable{1, 5, 6, 2, 3, 4, 0}));
    QCOMPARE(job.semanticWeights(), (FeatureTable{11, 15, 16, 12, 13, 14, 0}));
}

void TestOrderAndSemanticThread::storeServesItsDatasetByShot()
{
    QStringList paths, reordered;
    QVector<Camera> cameras, reorderedCameras;
    for (int i = 0; i < 5; ++i) {
        paths << photo(QString("r%1.jpg").arg(i), qRgb(50 * i, 255 - 40 * i, 90), 16, 8,
                       "2010:01:01 10:0" + QByteArray::number(i) + ":00");
        cameras << cameraAt(float(i % 3), float(i));
    }
    for (int i : {3, 0, 4, 1, 2}) {
        reordered << paths[i];
        reorderedCameras << cameras[i];
    }
    const QVector<float> depths(5, 1.5f);
    const Run fresh = runJob(reordered, reorderedCameras, depths);

    const auto store = std::make_shared<FeatureStore>(), other = std::make_shared<FeatureStore>();
    runJob(paths, cameras, depths, store);
    QCOMPARE(store->size(), 5);
    QCOMPARE(other->size(), 0);
    for (const QString &path : paths)
        QVERIFY(garble(path));

    // The photo list in another order, new geometry per row: every shot finds its own record, so
    // nothing is read again and the result is that of a fresh run on the intact photographs.
    const Run reused = runJob(reordered, reorderedCameras, depths, store);
    QCOMPARE(reused.unreadableNames, QStringList());
    QCOMPARE(reused.order, fresh.order);
    QCOMPARE(reused.semantic, fresh.semantic);
    // Another dataset's store holds none of them: its run reads the garbled files.
    QCOMPARE(runJob(reordered, reorderedCameras, depths, other).unreadableNames, reordered);
    QVERIFY(stored(*store, paths[0])->imageReadable);
    QVERIFY(!stored(*other, paths[0])->imageReadable);

    // A photograph changed since (a new modification time) is read again.
    QVERIFY(touch(paths[0], QDateTime::currentDateTime().addSecs(60)));
    QCOMPARE(runJob(reordered, reorderedCameras, depths, store).unreadableNames, QStringList{paths[0]});
}

void TestOrderAndSemanticThread::storeFollowsTheFile()
{
    // A record serves only the file it was read from (same size and modification time), and only
    // runs whose needs it covers.
    const ImageFeatureNeeds colours{false, true};
    FeatureStore store;
    const QString path = photo("f0.jpg", qRgb(255, 0, 0));
    store.store(computeImageFeatures(path, colours));
    QCOMPARE(store.find(path, colours)->colorDistr[48], 16 * 8);
    QVERIFY(!store.find(path, ImageFeatureNeeds{false, true, FeatureDecoding::Reduced}));
    QVERIFY(!store.find(path, ImageFeatureNeeds{true, true}));
    QVERIFY(!store.find(m_dir.filePath("f1.jpg"), colours));
    photo("f0.jpg", qRgb(255, 0, 0), 24);
    QVERIFY(!store.find(path, colours));
    store.store(computeImageFeatures(path, colours));
    QVERIFY(store.find(path, colours));
    QVERIFY(touch(path, QDateTime::currentDateTime().addSecs(-3600)));
    QVERIFY(!store.find(path, colours));

    // A photograph gone since; one read while missing serves while it stays so. Nameless records
    // (a photograph the import did not find) are not kept.
    QVERIFY(QFile::remove(path));
    QVERIFY(!store.find(path, colours));
    store.store(computeImageFeatures(path, colours));
    QVERIFY(!store.find(path, colours)->imageReadable);
    store.store(computeImageFeatures(QString(), colours));
    QCOMPARE(store.size(), 1);
}

void TestOrderAndSemanticThread::stopEndsTheRun()
{
    QStringList paths;
    for (int i = 0; i < 4; ++i)
        paths << photo(QString("s%1.jpg").arg(i), qRgb(10, 20, 30 * i));
    const auto store = std::make_shared<FeatureStore>();
    const Run run = runJob(paths, {}, {}, store, 1.0f, true);
    QCOMPARE(run.events, QStringList{"0"});
    QVERIFY(run.order.isEmpty());
    QCOMPARE(store->size(), 0);

    // Stopped after the second photograph: no results, but the photographs read so far are kept.
    OrderAndSemanticThread job(paths, {}, {}, uniform(1.0f), store, FeatureDecoding::FullSize);
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
    QVERIFY(store->size() >= 2);
    QVERIFY(stored(*store, paths[0]) && stored(*store, paths[1]));
}

void TestOrderAndSemanticThread::unreadablePhotosAndShortInputs()
{
    // Missing files, random bytes named .jpg, fewer cameras and depths than photographs.
    const QString junk = m_dir.filePath("junk.jpg");
    QVERIFY(writeFile(junk, QByteArray(3000, '\x5A')));
    const QStringList paths{photo("u0.jpg", qRgb(1, 2, 3)), junk, m_dir.filePath("missing.JPG"),
                            photo("u3.jpg", qRgb(200, 2, 3)), junk};
    const Run run = runJob(paths, {cameraAt(3)}, {});
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

void TestOrderAndSemanticThread::datasetsSideBySideKeepTheirResults()
{
    // Two datasets of different content, each with its store: side by side, and again with their
    // stores filled, each job gives the results of a fresh run of its own.
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
    const Run freshA = runJob(a, camerasA, depths);
    const Run freshB = runJob(b, camerasB, depths);

    const auto storeA = std::make_shared<FeatureStore>(), storeB = std::make_shared<FeatureStore>();
    for (int round = 0; round < 3; ++round) {
        OrderAndSemanticThread jobA(a, camerasA, depths, uniform(1.0f), storeA, FeatureDecoding::FullSize);
        OrderAndSemanticThread jobB(b, camerasB, depths, uniform(1.0f), storeB, FeatureDecoding::FullSize);
        Recorder recA(jobA), recB(jobB);
        jobA.start();
        jobB.start();
        QVERIFY(jobA.wait(60000));
        QVERIFY(jobB.wait(60000));
        QCOMPARE(recA.order, freshA.order);
        QCOMPARE(recA.semantic, freshA.semantic);
        QCOMPARE(recB.order, freshB.order);
        QCOMPARE(recB.semantic, freshB.semantic);
    }
    QCOMPARE(storeA->size(), 12);
    QVERIFY(!stored(*storeA, b[0]) && !stored(*storeB, a[0]));
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

    // A store filled without the parts this run needs is read again.
    const auto store = std::make_shared<FeatureStore>();
    OrderAndSemanticThread first(paths, cameras, depths, OrderingWeights{}, store, FeatureDecoding::FullSize);
    first.start();
    QVERIFY(first.wait(60000));

    OrderAndSemanticThread job(paths, cameras, depths, weights, store, FeatureDecoding::FullSize);
    Recorder recorder(job);
    job.start();
    QVERIFY(job.wait(60000));
    QCOMPARE(recorder.unreadableNames, QStringList{junk});
    QVector<ShotFeatures> cache;
    for (const QString &path : paths)
        cache.append(stored(*store, path).value_or(ShotFeatures()));
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
